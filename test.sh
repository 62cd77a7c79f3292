#!/usr/bin/env bash
# Builds everything and runs every test headless; ends with CTest's summary.
#   ./test.sh             the normal build (build/)
#   ./test.sh --sanitize  the same suite built with AddressSanitizer and
#                         UndefinedBehaviorSanitizer (build-sanitize/)
set -euo pipefail
cd "$(dirname "$0")"
source tools/packages.sh
bash tools/ensure-packages.sh "${TAVI_BUILD_PACKAGES[@]}" "${TAVI_TEST_PACKAGES[@]}"

build=build sanitize=OFF
case "${1:-}" in
  "") ;;
  --sanitize) build=build-sanitize sanitize=ON ;;
  *) echo "usage: ./test.sh [--sanitize]" >&2; exit 2 ;;
esac

export QT_QPA_PLATFORM=offscreen
# Every finding stops the test that made it; leaks are reported too, except
# those of the system libraries listed in tests/lsan.supp.
export ASAN_OPTIONS=abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVI_WERROR=ON -DTAVI_SANITIZE="$sanitize" >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
