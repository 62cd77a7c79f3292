#pragma once

#include <QDateTime>

namespace tavi {

// Local date and time. Tests replace it to fix the day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};

} // namespace tavi
