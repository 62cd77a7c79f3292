#include "editing/Export.h"

#include "editing/EditingCommands.h"
#include "notes/WeekDayName.h"
#include "platform/Dialogs.h"
#include "formats/LineFile.h"
#include "widgets/RichEdit.h"

#include <QFileInfo>

namespace tavi {

QStringList exportLines(const QList<RichEdit *> &boxes)
{
    QStringList lines;
    lines.reserve(boxes.size() * 2);
    int day = 0;
    for (const RichEdit *box : boxes) {
        lines.append(GetWeekDayName(++day));
        lines.append(box->plainTextCrLf());
    }
    return lines;
}

QStringList exportLines(QWidget *weekPage)
{
    return exportLines(dayBoxes(weekPage));
}

QString defaultExportName(int slot)
{
    const QString letter = slot >= 1 && slot <= 5 ? QString(QChar(u'A' + slot - 1)) : QString();
    return letter + QStringLiteral("记事");
}

QString exportFilePath(const QString &chosen)
{
    // A name already ending in .txt keeps it rather than becoming name.txt.txt.
    if (chosen.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QStringLiteral(".txt");
}

void writeExport(const QString &path, const QStringList &lines)
{
    // Absolute, so that an error message names the full path.
    writeLineFile(QFileInfo(path).absoluteFilePath(), lines);
}

void N_Click(QWidget *weekPage, int currentWeekSlot, Dialogs &dialogs, QWidget *owner)
{
    // The text is taken before the dialog opens: it is the week as shown when asked.
    const QStringList lines = exportLines(weekPage);
    const std::optional<QString> name =
        dialogs.saveFileName(owner, QStringLiteral("*.Txt|*.Txt"), defaultExportName(currentWeekSlot));
    if (!name)
        return;
    if (name->isEmpty()) {
        dialogs.showMessage(owner, QStringLiteral("文件名不能为空！"));
        return;
    }
    const QFileInfo target(QFileInfo(exportFilePath(*name)).absoluteFilePath());
    if (target.exists()) {
        // Renaming over a file needs only the folder's permission: a read-only file is refused here instead.
        if (target.isFile() && !(target.permissions() & QFileDevice::WriteOwner))
            throw FileError(QStringLiteral("无法写入文件 %1：文件是只读的").arg(target.filePath()).toStdString());
        if (target.isFile()
            && !dialogs.askYesNo(owner, QStringLiteral("%1 已存在。\n要替换它吗？").arg(target.filePath())))
            return;
    }
    writeExport(target.filePath(), lines);
}

} // namespace tavi
