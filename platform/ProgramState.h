#pragma once

#include <QString>

#include <vector>

namespace tavi {

// One line of the background list: its position (0 is the current
// background's line) and the picture's file name.
struct TPicBGList {
    int Index = 0;
    QString FileName;
    friend bool operator==(const TPicBGList &, const TPicBGList &) = default;
};

// The program-wide state that several parts of the program share, gathered in
// one place and handed to whoever needs it (no hidden globals).
struct ProgramState {
    // False while a week is being loaded or saved, and from start-up until
    // the first load succeeds: the guard that keeps a load or save from
    // triggering the automatic save.
    bool NotesReady = false;

    // Whether to ask before the wallpaper is changed (configSetBg.ini), the
    // answer of that question, and the file's full path.
    bool AskBeforeSetBg = true;
    int SetBgConfirmed = 0;
    QString ConfigSetBgPath;

    // The background list as the main window last read it, and how many lines that read took over.
    std::vector<TPicBGList> PicBGList;
    int PicBGCount = 0;

    // Set by the login window: the password was accepted.
    bool LoginPassed = false;
};

} // namespace tavi
