#include "notes/WeekDayName.h"

namespace tavi {

QChar weekdayNumeral(int dayOfWeek)
{
    static const char16_t numerals[] = u"一二三四五六日";
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? QChar(numerals[dayOfWeek - 1]) : QChar(u'?');
}

QString weekdayHeading(int day)
{
    if (day < 1 || day > 6)
        return {};
    return QStringLiteral("星期") + weekdayNumeral(day);
}

} // namespace tavi
