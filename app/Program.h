#pragma once

#include "app/MainWindow.h"
#include "dialogs/BackgroundsDialog.h"
#include "dialogs/PasswordDialog.h"
#include "desktop/WallpaperSetter.h"
#include "desktop/WallpaperSystem.h"
#include "dialogs/ApplyQuestionDialog.h"
#include "notes/NotesDatabase.h"
#include "platform/ProgramState.h"
#include "wallpaper/WeekPicture.h"
#include "pictures/Blend.h"

#include <QString>

#include <functional>
#include <memory>

namespace tavi {

class Clock;
class Dialogs;
class Screen;

// The program's start-up: the data module, then the main window and its
// start-up sequence. Windows of later steps join in the same order.
class Program {
public:
    Program(const QString &programFolder, const Clock &clock, const Screen &screen, Dialogs &dialogs,
            std::function<void()> endProgram);
    ~Program();

    // False when the program must end before the user can work (the notes
    // database cannot be opened, or the login was refused); the reason has
    // been shown already.
    bool start();
    TMainFrm *mainWindow() const { return mainFrm_.get(); }
    TDeskBGSetFrm &deskBG() { return *deskBG_; }
    TMixPicFrm &mixPic() { return mixPic_; }
    // The windows the main window opens, made when first asked for (after start()).
    TPicSelFrm &picSel();
    TInforFrm &inforFrm();
    TpwsetFrm &pwsetFrm();
    // The exit status when start() said the program must end: 1 for the
    // database failure, 0 for a refused login.
    int exitCode() const { return exitCode_; }
    TDM &dataModule() { return dm_; }
    ProgramState &state() { return state_; }

private:
    QString legacyImportHint() const;

    QString folder_;
    const Clock &clock_;
    const Screen &screen_;
    Dialogs &dialogs_;
    std::function<void()> endProgram_;
    ProgramState state_;
    TDM dm_;
    // Created with the program, never shown: the content picture and the blend.
    std::unique_ptr<TDeskBGSetFrm> deskBG_;
    TMixPicFrm mixPic_;
    std::unique_ptr<TMainFrm> mainFrm_;
    std::unique_ptr<TPicSelFrm> picSel_;
    std::unique_ptr<TInforFrm> inforFrm_;
    std::unique_ptr<TpwsetFrm> pwsetFrm_;
    // The desktop's wallpaper setter and what it works through.
    SystemEnvironment environment_;
    ProcessRunner runner_;
    SessionDBus bus_;
    std::unique_ptr<WallpaperSetter> wallpaperSetter_;
    int exitCode_ = 0;

};

} // namespace tavi
