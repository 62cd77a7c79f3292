#pragma once

#include <QString>

namespace tavi {

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
};

} // namespace tavi
