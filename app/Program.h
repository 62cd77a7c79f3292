#pragma once

#include "app/MainWindow.h"
#include "desktop/WallpaperSetter.h"
#include "desktop/WallpaperSystem.h"
#include "notes/NotesDatabase.h"
#include "notes/NotesWriter.h"

#include <QString>

#include <functional>
#include <memory>

namespace tavi {

class Clock;
class Dialogs;
class Screen;

// The program's start-up: the notes database, then the main window and its
// start-up sequence.
class Program {
public:
    // A folder of its own is laid out by the build or the install: a missing
    // notes database there is a fault to report. A per-user folder is laid
    // out by the program (what is missing, never replacing anything).
    enum class Folder { OfItsOwn, PerUser };

    Program(const QString &programFolder, const Clock &clock, const Screen &screen, Dialogs &dialogs,
            std::function<void()> endProgram, Folder kind = Folder::OfItsOwn);
    ~Program();

    // False when the program must end before the user can work (a per-user
    // folder cannot be laid out, the notes database cannot be opened, or the
    // login was refused); the reason has been shown already.
    bool start();
    MainWindow *mainWindow() const { return mainWindow_.get(); }
    // The notes' one writer (after start()).
    NotesWriter &notesWriter() { return *writer_; }
    // The exit status when start() said the program must end: 1 for the
    // folder or database failure, 0 for a refused login.
    int exitCode() const { return exitCode_; }

private:
    QString legacyImportHint() const;

    QString folder_;
    const Clock &clock_;
    const Screen &screen_;
    Dialogs &dialogs_;
    std::function<void()> endProgram_;
    Folder kind_;
    NotesDatabase notes_;
    std::unique_ptr<NotesWriter> writer_;
    // The desktop's wallpaper setter and what it works through, made at the
    // first apply: connecting to the session bus would only delay the start.
    struct Desktop {
        SystemEnvironment environment;
        ProcessRunner runner;
        SessionDBus bus;
        WallpaperSetter setter{environment, runner, bus};
    };
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<MainWindow> mainWindow_; // before the writer goes: it hands the writer its last saves
    int exitCode_ = 0;
};

} // namespace tavi
