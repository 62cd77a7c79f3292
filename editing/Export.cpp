#include "editing/Export.h"

#include "formats/LineFile.h"
#include "notes/WeekExport.h"
#include "platform/Dialogs.h"

#include <QFileInfo>

namespace tavi {

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

void exportWeek(const WeekTexts &texts, int slot, Dialogs &dialogs, QWidget *owner)
{
    // The texts are taken before the dialog opens: the week as shown when asked.
    const QStringList lines = exportLines(texts);
    const std::optional<QString> name =
        dialogs.saveFileName(owner, QStringLiteral("*.Txt|*.Txt"), defaultExportName(slot));
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
