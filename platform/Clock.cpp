#include "platform/Clock.h"

namespace tavi {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace tavi
