// crash-save-loop FOLDER FIRST: saves one week of FOLDER's notes through the
// program's notes writer (versions and daily backups included) and rewrites
// its settings and list files through the program's own code, round after
// round from round FIRST, until it is killed. After each complete round it
// prints "saved N". CrashSafetyTest kills it at random moments.

#include "backgrounds/BackgroundList.h"
#include "login/PasswordFile.h"
#include "notes/WeekNotes.h"
#include "formats/LineFile.h"
#include "notes/NotesDatabase.h"
#include "notes/NotesWriter.h"
#include "platform/Clock.h"
#include "tests/crash/SaveLoopContent.h"

#include <QGuiApplication>

#include <array>
#include <atomic>
#include <cstdio>
#include <exception>

using namespace tavi;

namespace {

// The writer reads the time on its own thread.
class RoundClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::fromSecsSinceEpoch(crash::roundTime(round.load())); }
    std::atomic<qint64> round{0};
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: crash-save-loop FOLDER FIRST\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    qint64 n = QByteArray(argv[2]).toLongLong();

    try {
        RoundClock clock;
        clock.round = n;
        NotesDatabase db;
        if (!db.open(crash::databasePath(folder))) {
            std::fprintf(stderr, "crash-save-loop: cannot open the notes database\n");
            return 1;
        }
        NotesWriter writer(crash::databasePath(folder), crash::backupFolder(folder), clock);
        WeekNotes notes(db, writer);
        // save() writes only the week it loaded.
        if (!notes.load(crash::kSlot, crash::yearMonth())) {
            std::fprintf(stderr, "crash-save-loop: the week did not load\n");
            return 1;
        }

        for (;; ++n) {
            clock.round = n;
            WeekNote week;
            for (int day = 0; day < kDayBoxCount; ++day)
                week[day] = DayNote::fromPlainText(crash::dayText(n, day));
            notes.save(crash::kSlot, crash::yearMonth(), week);
            // A round is acknowledged only when the writer says its week is stored.
            if (!notes.storeAll()) {
                std::fprintf(stderr, "crash-save-loop: round %lld was not stored\n", static_cast<long long>(n));
                return 1;
            }

            // The memo box's text, as content.ini holds it.
            writeLineFile(crash::contentPath(folder), {DayNote::fromPlainText(crash::memoLines(n).join(u'\n')).plainText()});
            writeLineFile(crash::formSizePath(folder), crash::formSizeLines(n));
            writeLineFile(crash::configSetBgPath(folder), {crash::configSetBgLine(n)});
            saveBackgroundList(crash::picListPath(folder), crash::currentPicture(n), crash::pictures(n));
            writePassword(crash::passwordPath(folder), crash::password(n), crash::password(n));

            std::printf("saved %lld\n", static_cast<long long>(n));
            std::fflush(stdout);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "crash-save-loop: %s\n", error.what());
        return 1;
    }
}
