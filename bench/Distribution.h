#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace tavi::bench {

// Times each iteration by hand, so that the work around the measured call
// (typing the keystroke) stays out, and reports the median and the tail: a
// save that is fast on average but stalls now and then is felt while typing.
class Distribution {
public:
    explicit Distribution(benchmark::State &state) : state_(state) { times_.reserve(std::size_t(state.max_iterations)); }
    ~Distribution()
    {
        if (times_.empty())
            return;
        std::sort(times_.begin(), times_.end());
        auto at = [this](double q) { return times_[std::min(times_.size() - 1, std::size_t(q * double(times_.size())))]; };
        state_.counters["p50_ms"] = at(0.50) * 1e3;
        state_.counters["p99_ms"] = at(0.99) * 1e3;
        state_.counters["max_ms"] = times_.back() * 1e3;
    }

    template <typename F>
    void time(F &&work)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state_.SetIterationTime(seconds);
        times_.push_back(seconds);
    }

private:
    benchmark::State &state_;
    std::vector<double> times_;
};

} // namespace tavi::bench
