#include "backgrounds/BackgroundList.h"
#include "login/PasswordFile.h"
#include "notes/NotesDatabase.h"
#include "notes/WeekHistory.h"
#include "formats/LineFile.h"
#include "formats/RtfReader.h"
#include "tests/crash/SaveLoopContent.h"
#include "tests/support/NotesFixture.h"

#include <QDir>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

using namespace tavi;
using SteadyClock = std::chrono::steady_clock;

namespace {

// Run k numbers its rounds from k * kRunStride, so a round's number also tells its run.
constexpr qint64 kRunStride = 1'000'000;

// One run of crash-save-loop with its acknowledgements read from a pipe.
class SaveLoop {
public:
    SaveLoop(const QString &folder, qint64 first)
    {
        int pipeFds[2];
        if (pipe2(pipeFds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe2 failed");
        fd_ = pipeFds[0];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        const QByteArray folderArg = QFile::encodeName(folder), firstArg = QByteArray::number(first);
        char *args[] = {const_cast<char *>(TAVI_CRASH_SAVE_LOOP), const_cast<char *>(folderArg.constData()),
                        const_cast<char *>(firstArg.constData()), nullptr};
        const int spawned = posix_spawn(&pid_, TAVI_CRASH_SAVE_LOOP, &actions, nullptr, args, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        if (spawned != 0)
            throw std::runtime_error("cannot start " TAVI_CRASH_SAVE_LOOP);
    }
    ~SaveLoop()
    {
        if (pid_ > 0)
            kill();
        close(fd_);
    }

    // Reads acknowledgements until the first one or the deadline; false on the deadline or end of output.
    bool waitForAck(SteadyClock::time_point deadline)
    {
        while (acks_.empty()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
            pollfd ready{fd_, POLLIN, 0};
            if (left <= 0 || poll(&ready, 1, int(left)) <= 0 || !readSome())
                return false;
        }
        return true;
    }

    // SIGKILL, then everything it printed before it died. Empty when the kill
    // ended it, otherwise how it had ended already.
    std::string kill()
    {
        ::kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        while (readSome()) {
        }
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            return {};
        return WIFEXITED(status) ? "exited with " + std::to_string(WEXITSTATUS(status))
                                 : "died of signal " + std::to_string(WTERMSIG(status));
    }

    const std::vector<qint64> &acks() const { return acks_; }

private:
    bool readSome()
    {
        char chunk[4096];
        const ssize_t got = read(fd_, chunk, sizeof chunk);
        if (got <= 0)
            return false;
        pending_.append(chunk, got);
        for (qsizetype end; (end = pending_.indexOf('\n')) >= 0; pending_.remove(0, end + 1)) {
            const QByteArray line = pending_.left(end);
            if (line.startsWith("saved "))
                acks_.push_back(line.mid(6).toLongLong());
        }
        return true;
    }

    pid_t pid_ = 0;
    int fd_ = -1;
    QByteArray pending_;
    std::vector<qint64> acks_;
};

// Whether a file's lines are exactly what round n wrote, as the program's readers see them.
using Holds = bool (*)(const QStringList &lines, qint64 n);

struct SettingsFile {
    const char *name;
    QString (*path)(const QString &folder);
    std::optional<QStringList> (*read)(const QString &path);
    Holds holds;
};

const SettingsFile kSettingsFiles[] = {
    {"FormSize.ini", crash::formSizePath, [](const QString &path) { return readLineFile(path); },
     [](const QStringList &lines, qint64 n) {
         const QRect screen(0, 0, 1920, 1080);
         const WindowSettings read = parseWindowSettings(lines, screen);
         const WindowSettings wrote = parseWindowSettings(crash::formSizeLines(n), screen);
         return read.complete && read.slot == wrote.slot && read.bounds == wrote.bounds && read.month == wrote.month;
     }},
    {"content.ini", crash::contentPath, [](const QString &path) { return readLineFile(path); },
     [](const QStringList &lines, qint64 n) { return memoText(lines) == memoText(crash::memoLines(n)); }},
    {"configSetBg.ini", crash::configSetBgPath, [](const QString &path) { return readLineFile(path); },
     [](const QStringList &lines, qint64 n) {
         return lines == QStringList{crash::configSetBgLine(n)} && askBeforeSetBg(lines) == (n % 2 == 1);
     }},
    {"BGPicList.ini", crash::picListPath, readBackgroundList,
     [](const QStringList &lines, qint64 n) {
         return lines == QStringList{crash::currentPicture(n)} + crash::pictures(n);
     }},
    // Last: each candidate costs two Argon2id verifications.
    {"loginstr.db", crash::passwordPath, readPasswordFile,
     [](const QStringList &lines, qint64 n) {
         return lines.size() == 3 && lines[2] == u"-1" && passwordMatches(crash::password(n), lines[0])
             && passwordMatches(crash::password(n), lines[1]);
     }},
};

bool weekHolds(const std::optional<WeekMemos> &memos, qint64 n)
{
    if (n == 0) // nothing saved yet: no row, or the row inserted just before its first update
        return !memos
            || std::all_of(memos->begin(), memos->end(), [](const QByteArray &memo) { return memo.isEmpty(); });
    if (!memos)
        return false;
    for (int day = 0; day < kDayBoxCount; ++day)
        if (readRtf((*memos)[day]).plainText() != crash::dayText(n, day))
            return false;
    return true;
}

QString describe(const std::optional<QStringList> &lines)
{
    if (!lines)
        return QStringLiteral("<missing>");
    return lines->isEmpty() ? QStringLiteral("<empty>") : u'"' + lines->mid(0, 3).join(QStringLiteral("\" \"")) + u'"';
}

// The round each day box names ("第N次保存"), or what it holds instead.
QString describe(const std::optional<WeekMemos> &memos)
{
    if (!memos)
        return QStringLiteral("<no row>");
    QStringList days;
    for (const QByteArray &memo : *memos) {
        const QString text = readRtf(memo).plainText();
        days.append(text.startsWith(u'第') ? text.section(u'次', 0, 0).mid(1) : u'"' + text.left(20) + u'"');
    }
    return QStringLiteral("days from rounds ") + days.join(QStringLiteral(", "));
}

// Whether memos hold one whole round, whichever it is.
bool wholeRound(const WeekMemos &memos)
{
    const qint64 n = crash::roundNamed(readRtf(memos[0]).plainText());
    return n > 0 && weekHolds(memos, n);
}

// Problems with the kept versions of the week in db: each must be one whole round.
QStringList versionProblems(Database &db, const QString &where)
{
    QStringList problems;
    for (const WeekVersion &version : weekVersions(db, crash::kSlot, crash::yearMonth())) {
        if (!wholeRound(version.memos))
            problems.append(where + QStringLiteral(": version %1 is no whole round: ").arg(version.id)
                            + describe(std::optional<WeekMemos>(version.memos)));
    }
    return problems;
}

// Problems with the day's backups: each must pass integrity_check and hold whole rounds.
QStringList backupProblems(const QString &folder)
{
    QStringList problems;
    const QDir backups(crash::backupFolder(folder));
    for (const QString &name : backups.entryList({QStringLiteral("UserData-*.db")}, QDir::Files)) {
        try {
            NotesDatabase copy;
            if (!copy.open(backups.filePath(name))) {
                problems.append(name + QStringLiteral(" does not open"));
                continue;
            }
            const QString verdict = copy.database().integrityCheck();
            if (verdict != QLatin1String("ok"))
                problems.append(name + QStringLiteral(": integrity_check: ") + verdict);
            const std::optional<WeekMemos> memos = copy.readWeek(crash::kSlot, crash::yearMonth());
            if (memos && !wholeRound(*memos) && !weekHolds(memos, 0))
                problems.append(name + QStringLiteral(": the week is no whole round: ") + describe(memos));
            problems += versionProblems(copy.database(), name);
        } catch (const std::exception &error) {
            problems.append(name + QStringLiteral(": ") + QString::fromUtf8(error.what()));
        }
    }
    return problems;
}

std::string roundsText(const std::vector<qint64> &rounds)
{
    std::string text;
    for (qint64 n : rounds)
        text += (text.empty() ? "" : ", ") + std::to_string(n);
    return text;
}

struct KillResult {
    QStringList problems;
    // How far the unacknowledged round had come: whether its week was stored, how many of its files.
    bool weekAhead = false;
    int filesAhead = 0;
};

// Checks what a kill left in folder. rounds: the rounds whose writes may be
// there, the last acknowledged one first (0: none yet, files may be missing).
KillResult checkFolder(const QString &folder, const std::vector<qint64> &rounds)
{
    KillResult result;
    {
        NotesDatabase dm;
        if (!dm.open(crash::databasePath(folder))) {
            result.problems.append(QStringLiteral("the notes database does not open"));
            return result;
        }
        try {
            QStringList integrity;
            Statement check(dm.database(), QStringLiteral("PRAGMA integrity_check"));
            while (check.next())
                integrity.append(QString::fromUtf8(check.bytes(0)));
            if (integrity != QStringList{QStringLiteral("ok")})
                result.problems.append(QStringLiteral("integrity_check: ") + integrity.join(u'\n'));
            const std::optional<WeekMemos> memos = dm.readWeek(crash::kSlot, crash::yearMonth());
            const auto found =
                std::find_if(rounds.begin(), rounds.end(), [&](qint64 n) { return weekHolds(memos, n); });
            if (found == rounds.end())
                result.problems.append(QStringLiteral("the week holds no acknowledged or later round: ")
                                       + describe(memos));
            result.weekAhead = found != rounds.end() && found != rounds.begin();
            result.problems += versionProblems(dm.database(), QStringLiteral("UserData.db"));
        } catch (const std::exception &error) {
            result.problems.append(QStringLiteral("notes database: ") + QString::fromUtf8(error.what()));
        }
    }
    result.problems += backupProblems(folder);
    for (const SettingsFile &file : kSettingsFiles) {
        try {
            const std::optional<QStringList> lines = file.read(file.path(folder));
            const auto found = std::find_if(rounds.begin(), rounds.end(), [&](qint64 n) {
                return lines ? n != 0 && file.holds(*lines, n) : n == 0;
            });
            if (found == rounds.end())
                result.problems.append(QString::fromLatin1(file.name)
                                       + QStringLiteral(" holds no acknowledged or later round: ") + describe(lines));
            result.filesAhead += found != rounds.end() && found != rounds.begin();
        } catch (const std::exception &error) {
            result.problems.append(QString::fromLatin1(file.name) + QStringLiteral(": ")
                                   + QString::fromUtf8(error.what()));
        }
    }
    return result;
}

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

} // namespace

// Kills a program folder's writer at random moments, again and again on the
// same folder, and checks after each kill that the notes database is sound,
// holds the last acknowledged save, that every kept version and daily backup
// is whole and that every settings file reads as one whole round, never an
// empty or half-written one.
TEST(CrashSafety, RandomKillsLoseNoAcknowledgedSaveAndLeaveWholeFiles)
{
    const int kills = environmentNumber("TAVI_CRASH_KILLS", 50);
    const std::uint64_t seed = qEnvironmentVariableIsSet("TAVI_CRASH_SEED")
        ? qEnvironmentVariable("TAVI_CRASH_SEED").toULongLong()
        : std::random_device{}();
    SCOPED_TRACE("TAVI_CRASH_SEED=" + std::to_string(seed));
    std::mt19937_64 random(seed);

    test::ProgramFolderFixture folder;
    const QString dataFolder = crash::databasePath(folder.folder()).section(u'/', 0, -2);
    const QStringList expectedFiles = {QStringLiteral("UserData.db"),   QStringLiteral("UserData.db-wal"),
                                       QStringLiteral("UserData.db-shm"), QStringLiteral("FormSize.ini"),
                                       QStringLiteral("content.ini"),     QStringLiteral("configSetBg.ini"),
                                       QStringLiteral("BGPicList.ini"),   QStringLiteral("loginstr.db")};
    QStringList leftBehind;
    qint64 acked = 0;              // the last acknowledged round (0: none yet)
    std::vector<qint64> unacked;   // rounds begun after it whose writes may have landed
    double firstAckMs = 400; // measured as the runs go
    int killsBeforeAck = 0, failingKills = 0, weekNotAhead = 0;
    std::array<int, std::size(kSettingsFiles) + 1> filesAhead{}; // kills by files of the unacknowledged round found
    qint64 totalAcks = 0;
    const SteadyClock::time_point started = SteadyClock::now();

    int kill = 0;
    for (; kill < kills && failingKills < 10; ++kill) {
        const qint64 first = (kill + 1) * kRunStride;
        SaveLoop loop(folder.folder(), first);
        // A round starts with the week's save and the four small files (the first
        // few ms after an acknowledgement), then hashes the password for most of
        // its time and writes loginstr.db last. The time to the first
        // acknowledgement, about one round, scales the waits to this machine.
        const SteadyClock::time_point spawned = SteadyClock::now();
        const int roundMs = int(firstAckMs);
        int delayMs = 0;
        if (const auto kind = random() % 5; kind == 0) {
            delayMs = int(random() % roundMs); // before the first round can have finished
        } else {
            ASSERT_TRUE(loop.waitForAck(spawned + std::chrono::seconds(20)))
                << "no round finished, kill " << kill << " (" << loop.kill() << ")";
            firstAckMs = 0.8 * firstAckMs
                + 0.2 * std::chrono::duration<double, std::milli>(SteadyClock::now() - spawned).count();
            delayMs = int(kind <= 2 ? random() % 20 : random() % (roundMs + roundMs / 5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        const std::string ended = loop.kill();
        ASSERT_EQ(ended, "") << "crash-save-loop ended before the kill, kill " << kill;

        const std::vector<qint64> &acks = loop.acks();
        for (std::size_t i = 0; i < acks.size(); ++i)
            ASSERT_EQ(acks[i], first + qint64(i)) << "acknowledgements out of order, kill " << kill;
        if (acks.empty()) {
            ++killsBeforeAck;
            unacked.push_back(first);
        } else {
            acked = acks.back();
            unacked = {acked + 1};
            totalAcks += qint64(acks.size());
        }
        std::vector<qint64> rounds{acked};
        rounds.insert(rounds.end(), unacked.begin(), unacked.end());

        KillResult result = checkFolder(folder.folder(), rounds);
        weekNotAhead += !result.weekAhead;
        ++filesAhead[std::size_t(result.filesAhead)];
        // A kill between writing and renaming leaves the one temporary file of that
        // data file, which the next save takes over; anything else is litter.
        for (const QString &name : QDir(dataFolder).entryList(QDir::Files | QDir::Hidden)) {
            const QString base = name.endsWith(QLatin1String(kTemporarySuffix))
                ? name.chopped(qsizetype(std::strlen(kTemporarySuffix)))
                : name;
            if (!expectedFiles.contains(base))
                result.problems.append(QStringLiteral("a stray file in Data/: ") + name);
            else if (base != name && !leftBehind.contains(name))
                leftBehind.append(name);
        }
        if (!result.problems.isEmpty()) {
            ++failingKills;
            ADD_FAILURE() << "kill " << kill << " after " << delayMs << " ms, " << acks.size()
                          << " rounds acknowledged in this run; possible rounds " << roundsText(rounds) << ":\n"
                          << result.problems.join(u'\n').toStdString();
        }
    }

    const double seconds = std::chrono::duration<double>(SteadyClock::now() - started).count();
    std::cout << "crash safety: " << kill << " kills, " << failingKills << " failing, " << totalAcks
              << " rounds acknowledged, " << killsBeforeAck << " kills before a run's first acknowledgement; "
              << weekNotAhead << " kills before the next round's week was stored; kills by settings files the next "
                 "round had written (0.."
              << std::size(kSettingsFiles) << "):";
    for (int count : filesAhead)
        std::cout << ' ' << count;
    std::cout << "; files left behind: " << leftBehind.size() << (leftBehind.isEmpty() ? "" : " (")
              << leftBehind.join(QStringLiteral(", ")).toStdString() << (leftBehind.isEmpty() ? "" : ")") << "; "
              << seconds << " s, seed " << seed << std::endl;
}
