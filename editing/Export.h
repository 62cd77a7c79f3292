#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace tavi {

class Dialogs;
class RichEdit;

// The text export of a week: for each box, its weekday heading and then its
// plain text as one entry (several lines joined by CR LF; empty when empty).
QStringList exportLines(const QList<RichEdit *> &boxes);
// The same over the day boxes of the week page.
QStringList exportLines(QWidget *weekPage);

// The name the save dialog proposes: the slot's letter and "记事".
QString defaultExportName(int slot);

// The chosen name with ".txt" appended unless it already ends so (any case).
QString exportFilePath(const QString &chosen);

// Writes the entries as GBK with CR LF after each, replacing any file there.
// Throws FileError naming the full path when the file cannot be written.
void writeExport(const QString &path, const QStringList &lines);

// The export command: asks for a file name and writes the shown week there.
// Cancelling writes nothing; an empty name is refused with a message. An
// existing file is replaced only when the user says so; a read-only one, and
// any other write failure, is thrown to the caller's error report untouched.
void N_Click(QWidget *weekPage, int currentWeekSlot, Dialogs &dialogs, QWidget *owner);

} // namespace tavi
