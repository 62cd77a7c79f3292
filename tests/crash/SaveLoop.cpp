// crash-save-loop FOLDER FIRST: saves one week of FOLDER's notes and rewrites
// its settings and list files through the program's own code, round after
// round from round FIRST, until it is killed. After each complete round it
// prints "saved N". CrashSafetyTest kills it at random moments.

#include "backgrounds/BackgroundList.h"
#include "login/PasswordFile.h"
#include "notes/WeekNotes.h"
#include "formats/LineFile.h"
#include "widgets/RichEdit.h"
#include "tests/crash/SaveLoopContent.h"

#include <QApplication>

#include <array>
#include <cstdio>
#include <exception>
#include <memory>

using namespace tavi;

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash-save-loop FOLDER FIRST\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    qint64 n = QByteArray(argv[2]).toLongLong();

    try {
        TDM dm;
        if (!dm.DataModuleCreate(crash::databasePath(folder))) {
            std::fprintf(stderr, "crash-save-loop: cannot open the notes database\n");
            return 1;
        }
        ProgramState state;
        std::array<std::unique_ptr<RichEdit>, kDayBoxCount> owned;
        std::array<RichEdit *, kDayBoxCount> boxes{};
        for (int day = 0; day < kDayBoxCount; ++day) {
            owned[day] = std::make_unique<RichEdit>();
            boxes[day] = owned[day].get();
        }
        RichEdit memo; // the main window's memo box, which content.ini holds
        WeekNotes notes(dm, state, boxes);
        notes.LoadWeek(crash::kSlot, crash::yearMonth()); // SaveWeek writes only the week it loaded
        if (!state.NotesReady) {
            std::fprintf(stderr, "crash-save-loop: the week did not load\n");
            return 1;
        }

        for (;; ++n) {
            for (int day = 0; day < kDayBoxCount; ++day)
                boxes[day]->setContentText(crash::dayText(n, day));
            notes.SaveWeek(crash::kSlot, crash::yearMonth());
            // SaveWeek swallows its errors; a round is acknowledged only when its week is stored.
            const std::optional<WeekMemos> stored = dm.readWeek(crash::kSlot, crash::yearMonth());
            for (int day = 0; day < kDayBoxCount; ++day) {
                if (!stored || (*stored)[day] != boxes[day]->rtf()) {
                    std::fprintf(stderr, "crash-save-loop: round %lld was not stored\n", static_cast<long long>(n));
                    return 1;
                }
            }

            memo.setContentText(crash::memoLines(n).join(u'\n'));
            writeLineFile(crash::contentPath(folder), {memo.plainTextCrLf()});
            writeLineFile(crash::formSizePath(folder), crash::formSizeLines(n));
            writeLineFile(crash::configSetBgPath(folder), {crash::configSetBgLine(n)});
            SavePicList(crash::picListPath(folder), crash::currentPicture(n), crash::pictures(n));
            writePassword(crash::passwordPath(folder), crash::password(n), crash::password(n));

            std::printf("saved %lld\n", static_cast<long long>(n));
            std::fflush(stdout);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "crash-save-loop: %s\n", error.what());
        return 1;
    }
}
