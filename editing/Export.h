#pragma once

#include "notes/DayNote.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace tavi {

class Dialogs;

// The name the save dialog proposes: the slot's letter and "记事".
QString defaultExportName(int slot);

// The chosen name with ".txt" appended unless it already ends so (any case).
QString exportFilePath(const QString &chosen);

// The export command: asks for a file name and writes the week's texts there.
// Cancelling writes nothing; an empty name is refused with a message. An
// existing file is replaced only when the user says so; a read-only one, and
// any other write failure, is thrown to the caller's error report untouched.
void exportWeek(const WeekTexts &texts, int slot, Dialogs &dialogs, QWidget *owner);

} // namespace tavi
