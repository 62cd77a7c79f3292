#include "notes/WeekDayName.h"

namespace tavi {

QString GetWeekDayName(int day)
{
    static const char16_t numerals[] = u"一二三四五六";
    if (day < 1 || day > 6)
        return {};
    return QStringLiteral("星期") + QChar(numerals[day - 1]);
}

} // namespace tavi
