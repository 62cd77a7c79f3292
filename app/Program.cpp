#include "app/Program.h"

#include "platform/Dialogs.h"
#include "wallpaper/ApplyToDesktop.h"
#include "platform/ProgramFolder.h"
#include "desktop/WallpaperQuoting.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace tavi {

Program::Program(const QString &programFolder, const Clock &clock, const Screen &screen, Dialogs &dialogs,
                 std::function<void()> endProgram)
    : folder_(programFolder), clock_(clock), screen_(screen), dialogs_(dialogs), endProgram_(std::move(endProgram))
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
        .arg(shellWord(legacy), shellWord(folder_ + QStringLiteral("tavi-cli")), shellWord(folder_));
}

bool Program::start()
{
    // Every edit is stored at once: a database that can only be read would drop them all without a word.
    if (!dm_.DataModuleCreate(resolvePath(folder_, QStringLiteral("Data\\UserData.db")))
        || sqlite3_db_readonly(dm_.database().handle(), "main") != 0) {
        const QString hint = legacyImportHint();
        dialogs_.showMessage(nullptr, QStringLiteral("配置文件加载失败，请重试！") + (hint.isEmpty() ? hint : u'\n' + hint));
        exitCode_ = 1;
        return false;
    }
    deskBG_ = std::make_unique<TDeskBGSetFrm>(folder_);
    mainFrm_ = std::make_unique<TMainFrm>(
        MainFrmServices{folder_, dm_, *deskBG_, mixPic_, state_, clock_, screen_, dialogs_, endProgram_});
    mainFrm_->FormCreate();
    mainFrm_->attachWindows({[this]() -> TPicSelFrm & { return picSel(); },
                             [this]() -> TInforFrm & { return inforFrm(); },
                             [this]() -> TpwsetFrm & { return pwsetFrm(); }});
    wallpaperSetter_ = std::make_unique<WallpaperSetter>(environment_, runner_, bus_);
    deskBG_->setWallpaper = [this](const QString &path) { return setWallpaperOrThrow(*wallpaperSetter_, path); };
    if (mainFrm_->endedDuringStartUp())
        return false;

    // The build lays out an empty notes database, so the old notes are pointed
    // to while this one holds nothing yet; the program goes on meanwhile.
    if (const QString hint = legacyImportHint(); !hint.isEmpty()) {
        try {
            if (!dm_.holdsNotes())
                dialogs_.showNotice(mainFrm_.get(), hint);
        } catch (const DatabaseError &) {
            // a database that cannot be read here shows its trouble at the first load or save
        }
    }
    return true;
}

// The other windows are made on first use, once each, and kept until the end:
// building them before the main window shows would only delay it.
TPicSelFrm &Program::picSel()
{
    if (!picSel_)
        picSel_ = std::make_unique<TPicSelFrm>(folder_, dialogs_, mainFrm_.get());
    return *picSel_;
}

TInforFrm &Program::inforFrm()
{
    if (!inforFrm_)
        inforFrm_ = std::make_unique<TInforFrm>(state_, dialogs_, mainFrm_.get());
    return *inforFrm_;
}

TpwsetFrm &Program::pwsetFrm()
{
    if (!pwsetFrm_)
        pwsetFrm_ = std::make_unique<TpwsetFrm>(resolvePath(folder_, QStringLiteral("Data\\loginstr.db")), dialogs_,
                                                mainFrm_.get());
    return *pwsetFrm_;
}

} // namespace tavi
