#pragma once

#include <QChar>
#include <QString>

namespace tavi {

// "星期一" .. "星期六" for the day boxes 1 .. 6; the empty text otherwise.
QString weekdayHeading(int day);

// The calendar weekday (1 Monday .. 7 Sunday) as its one-character name:
// "一" .. "六", and "日" for Sunday.
QChar weekdayNumeral(int dayOfWeek);

} // namespace tavi
