#include "notes/WeekExport.h"

#include "formats/LineFile.h"
#include "notes/WeekDayName.h"

#include <QFileInfo>

namespace tavi {

QStringList exportLines(const WeekTexts &texts)
{
    QStringList lines;
    lines.reserve(kDayBoxCount * 2);
    for (int day = 0; day < kDayBoxCount; ++day) {
        lines.append(weekdayHeading(day + 1));
        lines.append(texts[day]);
    }
    return lines;
}

void writeExport(const QString &path, const QStringList &lines)
{
    // Absolute, so that an error message names the full path.
    writeLineFile(QFileInfo(path).absoluteFilePath(), lines);
}

} // namespace tavi
