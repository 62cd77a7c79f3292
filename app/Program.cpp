#include "app/Program.h"

#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "desktop/WallpaperQuoting.h"
#include "setup/FolderLayout.h"

#include <QDir>
#include <QFileInfo>

namespace tavi {

Program::Program(const QString &programFolder, const Clock &clock, const Screen &screen, Dialogs &dialogs,
                 std::function<void()> endProgram, Folder kind)
    : folder_(programFolder), clock_(clock), screen_(screen), dialogs_(dialogs), endProgram_(std::move(endProgram)),
      kind_(kind)
{
}

Program::~Program() = default;

// For people coming from the Windows version: their notes are in an Access
// file that the companion tool brings over. Empty when there is none.
QString Program::legacyImportHint() const
{
    const QString legacy = resolvePath(folder_, QStringLiteral("Data\\UserData.mdb"));
    if (!QFileInfo::exists(legacy))
        return {};
    return QStringLiteral("找到旧版的笔记 %1，可用此命令导入：%2 import-mdb --folder %3 %1")
        .arg(shellWord(legacy), shellWord(executableFolder() + QStringLiteral("tavi-cli")), shellWord(folder_));
}

bool Program::start()
{
    if (kind_ == Folder::PerUser) {
        try {
            layOutProgramFolder(folder_);
        } catch (const std::exception &error) {
            dialogs_.showMessage(nullptr, QStringLiteral("无法建立数据文件夹 %1：%2")
                                              .arg(QDir::toNativeSeparators(folder_), QString::fromUtf8(error.what())));
            exitCode_ = 1;
            return false;
        }
    }
    // Every edit is stored at once: a database that can only be read would drop them all without a word.
    if (!notes_.open(resolvePath(folder_, QStringLiteral("Data\\UserData.db")))
        || notes_.database().isReadOnly()) {
        const QString hint = legacyImportHint();
        dialogs_.showMessage(nullptr, QStringLiteral("配置文件加载失败，请重试！") + (hint.isEmpty() ? hint : u'\n' + hint));
        exitCode_ = 1;
        return false;
    }
    writer_ = std::make_unique<NotesWriter>(resolvePath(folder_, QStringLiteral("Data\\UserData.db")),
                                            resolvePath(folder_, QStringLiteral("Data\\backups")), clock_);
    mainWindow_ = std::make_unique<MainWindow>(
        MainWindowServices{folder_, notes_, *writer_, clock_, screen_, dialogs_, endProgram_});
    mainWindow_->setWallpaperSetter([this](const QString &path) {
        if (!desktop_)
            desktop_ = std::make_unique<Desktop>();
        return wallpaperThrough(desktop_->setter)(path);
    });
    mainWindow_->startUp();
    if (mainWindow_->endedDuringStartUp())
        return false;

    // The build lays out an empty notes database, so the old notes are pointed
    // to while this one holds nothing yet; the program goes on meanwhile.
    if (const QString hint = legacyImportHint(); !hint.isEmpty()) {
        try {
            if (!notes_.holdsNotes())
                dialogs_.showNotice(mainWindow_.get(), hint);
        } catch (const DatabaseError &) {
            // a database that cannot be read here shows its trouble at the first load or save
        }
    }
    return true;
}

} // namespace tavi
