#pragma once

#include <QString>

namespace tavi {

// "星期一" .. "星期六" for the day boxes 1 .. 6; the empty text otherwise.
QString GetWeekDayName(int day);

} // namespace tavi
