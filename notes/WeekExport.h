#pragma once

#include "notes/DayNote.h"

#include <QString>
#include <QStringList>

namespace tavi {

// The text export of a week: for each day, its weekday heading and then its
// plain text as one entry (several lines joined by CR LF; empty when empty).
QStringList exportLines(const WeekTexts &texts);

// Writes the entries as GBK with CR LF after each, replacing any file there.
// Throws FileError naming the full path when the file cannot be written.
void writeExport(const QString &path, const QStringList &lines);

} // namespace tavi
