// Each data file damaged in turn, then the whole program started and closed:
// what it falls back to, what the user is told, what is written back, and
// that the notes already stored come through unchanged.
#include "app/Program.h"
#include "login/PasswordFile.h"
#include "dialogs/LoginDialog.h"
#include "widgets/RichEdit.h"
#include "tests/support/NotesFixture.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include <unistd.h>

using namespace tavi;

namespace {

enum class Damage { Empty, Junk, HugeLine, BadGbk, Truncated, Negative, HugeNumbers, Folder, ReadOnly, MissingTable };
const char *const kDamageNames[] = {"Empty",    "Junk",        "HugeLine", "BadGbk",   "Truncated",
                                    "Negative", "HugeNumbers", "Folder",   "ReadOnly", "MissingTable"};

enum class Start { Works, Refused, LoginRefused };

struct Cell {
    const char *file; // in Data/
    Damage damage;
    Start start = Start::Works;
    const char *state = "";      // what the started program fell back to (see observedState)
    const char *told = "";       // what was shown, in order: "login", "box", "error", "message"
    const char *after = nullptr; // the file's bytes after the close; nullptr: exactly as damaged
    bool endsOnClose = true;
};

constexpr char kPassword[] = "secret";

// The FormSize.ini the close writes after the window was moved to 50,60 1000x700.
#define MOVED(slot, month) slot "\r\n1000\r\n700\r\n50\r\n60\r\n" month "\r\n"

const Cell kCells[] = {
    // Bounds that are no number, or none a window can have, take the default; the close writes the window back.
    {"FormSize.ini", Damage::Empty, Start::Works, "slot 1, 187,115 906x540, week 20106", "", MOVED("1", "6")},
    {"FormSize.ini", Damage::Junk, Start::Works, "slot 1, 187,115 906x540, week <80 chars>", "", MOVED("1", "6")},
    {"FormSize.ini", Damage::HugeLine, Start::Works, "slot 1, 187,115 906x540, week 20106", "", MOVED("1", "6")},
    {"FormSize.ini", Damage::BadGbk, Start::Works, "slot 1, 187,115 906x540, week 20106", "", MOVED("1", "6")},
    {"FormSize.ini", Damage::Truncated, Start::Works, "slot 2, 187,115 1000x600, week 20106", "", MOVED("2", "6")},
    {"FormSize.ini", Damage::Negative, Start::Works, "slot 1, -99999,-99999 906x540, week 2010-6", "",
     MOVED("1", "-6")},
    {"FormSize.ini", Damage::HugeNumbers, Start::Works, "slot 1, 187,115 906x540, week 201099", "", MOVED("1", "99")},
    {"FormSize.ini", Damage::Folder, Start::Works, "slot 1, 187,115 906x540, week 20106", "error error", nullptr,
     false},
    {"FormSize.ini", Damage::ReadOnly, Start::Works, "slot 2, 30,40 1000x600, week 20106", "", MOVED("2", "6")},
    // The memo box takes whatever the file holds; the file is never written while it exists.
    {"content.ini", Damage::Empty, Start::Works, "memo 0 lines, 0 chars"},
    {"content.ini", Damage::Junk, Start::Works, "memo 41 lines, 3218 chars"},
    {"content.ini", Damage::HugeLine, Start::Works, "memo 1 lines, 10485762 chars"},
    {"content.ini", Damage::BadGbk, Start::Works, "memo 2 lines, 10 chars"},
    {"content.ini", Damage::Truncated, Start::Works, "memo 1 lines, 11 chars"},
    {"content.ini", Damage::Folder, Start::Works, "memo 0 lines, 0 chars", "error"},
    {"content.ini", Damage::ReadOnly, Start::Works, "memo 2 lines, 19 chars"},
    // A first line that is no integer asks before the wallpaper changes.
    {"configSetBg.ini", Damage::Empty, Start::Works, "asks"},
    {"configSetBg.ini", Damage::Junk, Start::Works, "asks"},
    {"configSetBg.ini", Damage::HugeLine, Start::Works, "asks"},
    {"configSetBg.ini", Damage::BadGbk, Start::Works, "asks"},
    {"configSetBg.ini", Damage::Negative, Start::Works, "does not ask"},
    {"configSetBg.ini", Damage::HugeNumbers, Start::Works, "asks"},
    {"configSetBg.ini", Damage::Folder, Start::Works, "asks", "error"},
    {"configSetBg.ini", Damage::ReadOnly, Start::Works, "does not ask"},
    // The list is taken as it is (a NUL byte ends it); only a missing file is replaced.
    {"BGPicList.ini", Damage::Empty, Start::Works, "current , 0 lines, index 0"},
    {"BGPicList.ini", Damage::Junk, Start::Works, "current <19 chars>, 1 lines, index 0"},
    {"BGPicList.ini", Damage::HugeLine, Start::Works, "current <10485760 chars>, 1 lines, index 0"},
    {"BGPicList.ini", Damage::BadGbk, Start::Works, "current <5 chars>, 2 lines, index 1"},
    {"BGPicList.ini", Damage::Truncated, Start::Works, "current B2.bmp, 2 lines, index 1"},
    {"BGPicList.ini", Damage::Folder, Start::Works, "current , 0 lines, index 0", "error"},
    {"BGPicList.ini", Damage::ReadOnly, Start::Works, "current B2.bmp, 3 lines, index 2"},
    // Line 1 that is not the no-password mark is the password: nothing typed opens a damaged one.
    {"loginstr.db", Damage::Empty, Start::Works, "no login"},
    {"loginstr.db", Damage::Junk, Start::LoginRefused, "", "login box"},
    {"loginstr.db", Damage::HugeLine, Start::LoginRefused, "", "login box"},
    {"loginstr.db", Damage::BadGbk, Start::LoginRefused, "", "login box"},
    {"loginstr.db", Damage::Truncated, Start::Works, "login accepted", "login"}, // line 1 is whole
    {"loginstr.db", Damage::Folder, Start::Works, "no login"},
    {"loginstr.db", Damage::ReadOnly, Start::Works, "login accepted", "login"},
    // The program never works on a notes database it cannot fully use.
    {"UserData.db", Damage::Empty, Start::Refused, "", "message"},
    {"UserData.db", Damage::Junk, Start::Refused, "", "message"},
    {"UserData.db", Damage::Truncated, Start::Refused, "", "message"},
    {"UserData.db", Damage::Folder, Start::Refused, "", "message"},
    {"UserData.db", Damage::ReadOnly, Start::Refused, "", "message"},
    {"UserData.db", Damage::MissingTable, Start::Refused, "", "message"},
};

#undef MOVED

void PrintTo(const Cell &cell, std::ostream *out)
{
    *out << cell.file << ' ' << kDamageNames[int(cell.damage)];
}

QByteArray junk()
{
    std::mt19937 random(7); // the same bytes on every run
    QByteArray bytes(4096, '\0');
    for (char &byte : bytes)
        byte = char(random() & 0xFF);
    return bytes;
}

// Short text as it is; anything long or not printable ASCII by its length.
QString printable(const QString &text)
{
    const bool plain = text.size() <= 24
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7F; });
    return plain ? text : QStringLiteral("<%1 chars>").arg(text.size());
}

bool isRoot()
{
    return geteuid() == 0;
}

class DamagedDataFilesTest : public ::testing::TestWithParam<Cell> {
protected:
    static void SetUpTestSuite()
    {
        passwordHash_ = new QString(hashPassword(QString::fromLatin1(kPassword)));
        RichEdit box;
        emptyBox_ = new QByteArray(box.rtf());
    }
    static void TearDownTestSuite()
    {
        delete passwordHash_;
        delete emptyBox_;
    }
    void TearDown() override
    {
        if (immutable_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path()});
    }

    QString path() const { return folder.folder() + QStringLiteral("Data/") + QLatin1String(GetParam().file); }
    bool is(const char *name) const { return qstrcmp(GetParam().file, name) == 0; }

    // The file as the program would have written it.
    QByteArray validBytes()
    {
        if (is("FormSize.ini"))
            return "2\r\n1000\r\n600\r\n30\r\n40\r\n6\r\n";
        if (is("content.ini"))
            return "memo line\r\nsecond\r\n";
        if (is("configSetBg.ini"))
            return "0\r\n";
        if (is("BGPicList.ini"))
            return "B2.bmp\r\nA1.bmp\r\nB2.bmp\r\n";
        if (is("loginstr.db"))
            return passwordHash_->toLatin1() + "\r\n" + passwordHash_->toLatin1() + "\r\n-1\r\n";
        return readFile(path());
    }
    static QByteArray readFile(const QString &file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<unreadable>");
    }

    void seedNotes()
    {
        test::NotesInspector db(folder.databasePath());
        RichEdit box;
        const std::pair<const char *, const char *> weeks[] = {{"tb_A", "20106"}, {"tb_B", "20106"}, {"tb_C", "20105"}};
        for (const auto &[table, yearMonth] : weeks) {
            WeekMemos memos;
            for (int day = 0; day < kDayBoxCount; ++day) {
                box.setContentText(QStringLiteral("%1 周%2 计划").arg(QLatin1String(table)).arg(day + 1));
                memos[day] = box.rtf(); // as the day box writes it, so that a save gives the same bytes
            }
            db.insertWeek(QLatin1String(table), QLatin1String(yearMonth), memos);
            firstDay_[{table, yearMonth}] = QStringLiteral("%1 周1 计划").arg(QLatin1String(table));
        }
        for (const char *table : {"tb_A", "tb_B", "tb_C", "tb_D", "tb_E"})
            seeded_[table] = db.rows(QLatin1String(table));
    } // closed: the database file holds every row, its journal is gone

    void damage()
    {
        const QString file = path();
        auto write = [&](const QByteArray &bytes) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_EQ(out.write(bytes), bytes.size());
        };
        const QByteArray valid = validBytes();
        switch (GetParam().damage) {
        case Damage::Empty: write({}); break;
        case Damage::Junk: write(junk()); break;
        case Damage::HugeLine: write(QByteArray(10 << 20, '9')); break;
        case Damage::BadGbk: write("\x81\x20\xFF\xFE\x80\r\n\xA1\r\n"); break;
        case Damage::Truncated: write(valid.left(valid.size() / 2)); break;
        case Damage::Negative:
            write(is("FormSize.ini") ? "-3\r\n-906\r\n-540\r\n-99999\r\n-99999\r\n-6\r\n" : "-3\r\n");
            break;
        case Damage::HugeNumbers:
            write(is("FormSize.ini") ? "99\r\n2147483647\r\n2147483647\r\n2147483647\r\n2147483647\r\n99\r\n"
                                     : "99999999999\r\n");
            break;
        case Damage::Folder:
            QFile::remove(file);
            ASSERT_TRUE(QDir().mkdir(file));
            break;
        case Damage::ReadOnly:
            write(valid);
            ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            // Root writes through a permission; only an immutable file makes SQLite open it read-only.
            if (is("UserData.db") && isRoot()) {
                if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), file}) != 0)
                    GTEST_SKIP() << "root here cannot make a file immutable";
                immutable_ = true;
            }
            break;
        case Damage::MissingTable: test::NotesInspector(file).exec(QStringLiteral("drop table tb_C")); break;
        }
    }

    QString observedState() const
    {
        MainWindow *window = program->mainWindow();
        if (is("FormSize.ini")) {
            const QRect r = window->geometry();
            return QStringLiteral("slot %1, %2,%3 %4x%5, week %6")
                .arg(window->currentSlot())
                .arg(r.left())
                .arg(r.top())
                .arg(r.width())
                .arg(r.height())
                .arg(printable(window->selectedYearMonth()));
        }
        if (is("content.ini")) {
            const QString memo = window->memoBox()->plainTextCrLf();
            return QStringLiteral("memo %1 lines, %2 chars").arg(memo.count(QStringLiteral("\r\n"))).arg(memo.size());
        }
        if (is("configSetBg.ini"))
            return program->mainWindow()->asksBeforeApply() ? QStringLiteral("asks") : QStringLiteral("does not ask");
        if (is("loginstr.db"))
            return dialogs.modalWindows.empty() ? QStringLiteral("no login") : QStringLiteral("login accepted");
        if (is("BGPicList.ini"))
            return QStringLiteral("current %1, %2 lines, index %3")
                .arg(printable(window->backgrounds().current))
                .arg(program->mainWindow()->backgrounds().linesRead)
                .arg(window->backgrounds().index);
        return {};
    }

    QString told() const
    {
        QStringList kinds;
        if (!dialogs.modalWindows.empty())
            kinds.append(QStringLiteral("login"));
        for (const auto &shown : dialogs.shown) {
            kinds.append(shown.kind);
            if (shown.kind == u"error") {
                EXPECT_TRUE(shown.text.contains(path())) << shown.text.toStdString();
            } else if (shown.kind == u"message") {
                EXPECT_EQ(shown.text, QStringLiteral("配置文件加载失败，请重试！"));
            } else if (shown.kind == u"box") {
                EXPECT_EQ(shown.text, QStringLiteral("密码不正确,请重新输入登录密码!"));
            }
        }
        return kinds.join(u' ');
    }

    // Every row stored before the start is still there, byte for byte; a row
    // the close added holds nothing but empty boxes.
    void expectNotesKept()
    {
        test::NotesInspector db(folder.databasePath());
        for (const auto &[table, before] : seeded_) {
            if (GetParam().damage == Damage::MissingTable && table == "tb_C")
                continue;
            const std::vector<QStringList> rows = db.rows(QString::fromStdString(table));
            ASSERT_GE(rows.size(), before.size()) << table;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                if (i < before.size()) {
                    EXPECT_EQ(rows[i], before[i]) << table;
                    continue;
                }
                for (int day = 1; day <= kDayBoxCount; ++day)
                    EXPECT_EQ(rows[i][day].toLatin1(), *emptyBox_) << table << " added row " << i;
            }
        }
    }

    test::ProgramFolderFixture folder;
    test::FakeClock clock{QDateTime(QDate(2010, 6, 1), QTime(8, 0))};
    test::FakeScreen screen{QSize(1280, 800)};
    test::FakeDialogs dialogs;
    std::unique_ptr<Program> program;
    int endRequests = 0;
    std::map<std::string, std::vector<QStringList>> seeded_;
    std::map<std::pair<std::string, std::string>, QString> firstDay_;
    bool immutable_ = false;
    static inline QString *passwordHash_ = nullptr;
    static inline QByteArray *emptyBox_ = nullptr;
};

TEST_P(DamagedDataFilesTest, StartAndClose)
{
    const Cell &cell = GetParam();
    seedNotes();
    damage();
    if (IsSkipped() || HasFatalFailure())
        return;
    const QByteArray damaged = QFileInfo(path()).isDir() ? QByteArray("<folder>") : readFile(path());

    // The user types the right password, and cancels when it is refused.
    dialogs.whileModal = [this](QDialog *window) {
        auto *login = qobject_cast<LoginDialog *>(window);
        ASSERT_NE(login, nullptr);
        login->passwordField()->setText(QString::fromLatin1(kPassword));
        login->okButton()->click();
        if (!login->passed())
            login->cancelButton()->click();
    };
    QElapsedTimer timer;
    timer.start();
    program = std::make_unique<Program>(folder.folder(), clock, screen, dialogs, [this] { ++endRequests; });
    const bool started = program->start();
    ASSERT_EQ(started, cell.start == Start::Works);
    EXPECT_EQ(program->exitCode(), cell.start == Start::Refused ? 1 : 0);

    if (started) {
        MainWindow *window = program->mainWindow();
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(observedState().toStdString(), cell.state);
        // The page shows its week and saves it: a failed load would drop every edit without a word.
        EXPECT_FALSE(window->dayBoxes()[0]->isReadOnly());
        const auto week = firstDay_.find({weekTableName(window->currentSlot()).toStdString(),
                                          window->selectedYearMonth().toStdString()});
        EXPECT_EQ(window->dayBoxes()[0]->toPlainText(), week == firstDay_.end() ? QString() : week->second);

        window->setGeometry(50, 60, 1000, 700);
        window->closeAndSave();
        EXPECT_EQ(endRequests, cell.endsOnClose ? 1 : 0);
    }
    EXPECT_EQ(told().toStdString(), cell.told);
    program.reset();
    EXPECT_LT(timer.elapsed(), 15000) << "start to close";

    const QByteArray after = QFileInfo(path()).isDir() ? QByteArray("<folder>") : readFile(path());
    if (cell.after) {
        EXPECT_EQ(after, QByteArray(cell.after));
    } else {
        EXPECT_TRUE(after == damaged) << "the damaged file was written";
    }
    if (cell.damage == Damage::ReadOnly) {
        EXPECT_FALSE(QFileInfo(path()).permissions() & QFile::WriteOwner) << "the file stays read-only";
    }
    if (!is("UserData.db") || cell.damage == Damage::ReadOnly || cell.damage == Damage::MissingTable)
        expectNotesKept();
}

INSTANTIATE_TEST_SUITE_P(DamagedDataFiles, DamagedDataFilesTest, ::testing::ValuesIn(kCells),
                         [](const ::testing::TestParamInfo<Cell> &info) {
                             std::string name = info.param.file;
                             name = name.substr(0, name.find('.'));
                             return name + '_' + kDamageNames[int(info.param.damage)];
                         });

} // namespace
