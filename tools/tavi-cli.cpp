// tavi-cli: the notebook's companion tool. It works on the same libraries as
// the program but needs no display.
#include "backgrounds/BackgroundList.h"
#include "backgrounds/DefaultBackground.h"
#include "pictures/PictureConversion.h"
#include "setup/FolderLayout.h"
#include "login/PasswordFile.h"
#include "notes/WeekDayName.h"
#include "notes/LegacyImport.h"
#include "notes/WeekExport.h"
#include "notes/NotesSearch.h"
#include "notes/WeekHistory.h"
#include "notes/WeekNotes.h"
#include "notes/NotesWriter.h"
#include "formats/SettingsFiles.h"
#include "notes/NotesDatabase.h"
#include "wallpaper/ApplyToDesktop.h"
#include "wallpaper/WeekPicture.h"
#include "pictures/Blend.h"
#include "storage/AccessFile.h"
#include "pictures/BmpReader.h"
#include "storage/Database.h"
#include "platform/Clock.h"
#include "platform/FontSetup.h"
#include "formats/LineFile.h"
#include "platform/ProgramFolder.h"
#include "desktop/WallpaperSetter.h"
#include "desktop/WallpaperSystem.h"

#include <QGuiApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>

namespace {

using Args = std::span<char *>;

struct Command {
    const char *name;
    const char *usage;
    const char *summary;
    int (*run)(Args);
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void printErr(const QString &message)
{
    std::fprintf(stderr, "tavi-cli: %s\n", message.toLocal8Bit().constData());
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

// Splits "--name value" options from the positional arguments.
struct ParsedArgs {
    std::map<std::string, QString> options;
    QStringList positional;
    std::set<std::string> flags;

    // known: options that take a value; knownFlags: options that stand alone.
    ParsedArgs(Args args, std::initializer_list<const char *> known, std::initializer_list<const char *> knownFlags = {})
    {
        for (size_t i = 0; i < args.size(); ++i) {
            const std::string arg = args[i];
            if (!arg.starts_with("--")) {
                positional.append(QString::fromLocal8Bit(args[i]));
                continue;
            }
            const std::string name = arg.substr(2);
            if (std::find_if(knownFlags.begin(), knownFlags.end(), [&](const char *k) { return name == k; })
                != knownFlags.end()) {
                flags.insert(name);
                continue;
            }
            if (std::find_if(known.begin(), known.end(), [&](const char *k) { return name == k; }) == known.end())
                throw UsageError("unknown option " + arg);
            if (i + 1 >= args.size())
                throw UsageError("option " + arg + " needs a value");
            options[name] = QString::fromLocal8Bit(args[++i]);
        }
    }
    QString required(const char *name) const
    {
        const auto found = options.find(name);
        if (found == options.end())
            throw UsageError(std::string("missing --") + name);
        return found->second;
    }
    std::optional<QString> optional(const char *name) const
    {
        const auto found = options.find(name);
        return found == options.end() ? std::nullopt : std::optional<QString>(found->second);
    }
    QString onlyPositional() const
    {
        if (positional.size() != 1)
            throw UsageError("expected one file name");
        return positional.first();
    }
};

// --folder, else the folder the program itself uses (see programFolder).
QString folderOf(const ParsedArgs &parsed)
{
    return parsed.optional("folder").value_or(tavi::programFolder());
}

// The note held in FILE as the notes database would hold it; nothing (with a
// message) when the file cannot be read.
std::optional<tavi::DayNote> readNote(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        printErr(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return tavi::DayNote(file.readAll());
}

QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

int rtfToText(Args args)
{
    const std::optional<tavi::DayNote> note = readNote(ParsedArgs(args, {}).onlyPositional());
    if (!note)
        return 1;
    writeOut(withLineFeeds(note->plainText()).toUtf8() + '\n');
    return 0;
}

int rtfRoundTrip(Args args)
{
    const std::optional<tavi::DayNote> note = readNote(ParsedArgs(args, {}).onlyPositional());
    if (!note)
        return 1;
    writeOut(tavi::DayNote::fromDocument(note->document()).stored());
    return 0;
}

int createDatabase(Args args)
{
    const QString path = ParsedArgs(args, {}).onlyPositional();
    try {
        tavi::createNotesDatabase(path);
    } catch (const tavi::DatabaseError &error) {
        printErr(QString::fromUtf8(error.what()));
        return 1;
    }
    return 0;
}

// Copies the notes of the Windows version's Access database into a program
// folder's notes database. The file is read by a child process (this tool,
// run as read-access-file), so that a damaged file cannot bring this one down.
int importMdb(Args args)
{
    const ParsedArgs parsed(args, {"folder"}, {"replace"});
    const QString source = parsed.onlyPositional();
    const QString folder = folderOf(parsed);
    const QString dataFolder = tavi::resolvePath(folder, QStringLiteral("Data"));
    const QString database = tavi::resolvePath(folder, QStringLiteral("Data\\UserData.db"));

    std::vector<tavi::LegacyTable> tables;
    try {
        tables = tavi::legacyNotes(tavi::readAccessFileContained(
            QCoreApplication::applicationFilePath(), {QStringLiteral("read-access-file")}, source));
    } catch (const std::exception &error) {
        printErr(QStringLiteral("nothing imported: %1").arg(QString::fromUtf8(error.what())));
        return 1;
    }
    if (!QFileInfo::exists(database)) {
        if (!QDir().mkpath(dataFolder)) {
            printErr(QStringLiteral("nothing imported: cannot make the folder %1").arg(dataFolder));
            return 1;
        }
        tavi::createNotesDatabase(database);
    }
    tavi::Database db(database);
    const tavi::ImportReport report = tavi::importLegacyNotes(db, tables, parsed.flags.contains("replace"),
                                                                    QDateTime::currentSecsSinceEpoch());
    if (!report.written) {
        printErr(QStringLiteral("nothing imported: %1 already holds notes for these months "
                                "(run again with --replace to overwrite them):")
                     .arg(database));
        for (const QString &conflict : report.conflicts)
            std::fprintf(stderr, "  %s\n", conflict.toUtf8().constData());
        return 3;
    }
    for (const tavi::ImportCount &count : report.counts)
        writeOut(QStringLiteral("%1: %2 rows, %3 values\n").arg(count.table).arg(count.rows).arg(count.values).toUtf8());
    if (!report.conflicts.isEmpty())
        writeOut(QStringLiteral("replaced the notes of %1 months\n").arg(report.conflicts.size()).toUtf8());
    return 0;
}

// The child side of import-mdb: writes the file's tables to standard output.
int readAccessFileToStdout(const char *path)
{
    try {
        const QByteArray dump = tavi::serializeAccessDump(tavi::readAccessFile(QFile::decodeName(path)));
        return std::fwrite(dump.constData(), 1, size_t(dump.size()), stdout) == size_t(dump.size())
                && std::fflush(stdout) == 0
            ? 0
            : 1;
    } catch (const std::exception &error) {
        // The parent shows this line inside its own message.
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}

QString notesPath(const QString &folder)
{
    return tavi::resolvePath(folder, QStringLiteral("Data\\UserData.db"));
}

int slotOf(const QString &letter)
{
    if (letter.size() == 1 && letter[0].toUpper() >= u'A' && letter[0].toUpper() <= u'E')
        return letter[0].toUpper().unicode() - u'A' + 1;
    throw UsageError("--slot takes A, B, C, D or E");
}

// The notes database of a program folder; nothing (with a message) when it cannot be opened.
std::unique_ptr<tavi::NotesDatabase> openNotes(const QString &folder)
{
    auto db = std::make_unique<tavi::NotesDatabase>();
    const QString database = notesPath(folder);
    if (!db->open(database)) {
        printErr(QStringLiteral("cannot open the notes database %1").arg(database));
        return nullptr;
    }
    return db;
}

// Loads one week from a program folder's notes database as the program
// reads it; nullopt (with a message) when the database cannot be opened or read.
std::optional<tavi::WeekNote> loadWeek(const QString &folder, int slot, const QString &yearMonth)
{
    const std::unique_ptr<tavi::NotesDatabase> db = openNotes(folder);
    if (!db)
        return std::nullopt;
    try {
        return tavi::readWeekNotes(*db, slot, yearMonth);
    } catch (const tavi::DatabaseError &error) {
        printErr(QStringLiteral("cannot read the week from %1: %2").arg(notesPath(folder), error.reason()));
        return std::nullopt;
    }
}

struct WeekArgs {
    QString folder;
    int slot = 0;
    QString yearMonth;
};

// --folder, --slot, --month and --year (default: this year).
WeekArgs weekArgs(const ParsedArgs &parsed)
{
    WeekArgs week;
    week.folder = folderOf(parsed);
    week.slot = slotOf(parsed.required("slot"));
    bool ok = false;
    const int month = parsed.required("month").toInt(&ok);
    if (!ok || month < 1 || month > 12)
        throw UsageError("--month takes 1 to 12");
    const QString year = parsed.optional("year").value_or(QString::number(QDate::currentDate().year()));
    if (year.toInt(&ok) <= 0 || !ok)
        throw UsageError("--year takes a year such as 2026");
    week.yearMonth = year + QString::number(month);
    return week;
}

std::optional<tavi::WeekNote> loadWeek(const ParsedArgs &parsed)
{
    const WeekArgs week = weekArgs(parsed);
    return loadWeek(week.folder, week.slot, week.yearMonth);
}

// Stores a week through the program's own writer, history and backups
// included, and waits until it is stored: 0, or 1 with the reason.
int storeWeek(const QString &folder, int slot, const QString &yearMonth, const tavi::WeekMemos &memos,
              tavi::SaveReason reason)
{
    tavi::SystemClock clock;
    QString failure;
    {
        tavi::NotesWriter writer(notesPath(folder), tavi::resolvePath(folder, QStringLiteral("Data\\backups")), clock);
        QObject::connect(&writer, &tavi::NotesWriter::saveFailed, [&](const QString &reason) { failure = reason; });
        writer.save(slot, yearMonth, memos, reason);
        if (writer.flush())
            return 0;
        QCoreApplication::processEvents(); // the failure's reason
    }
    printErr(QStringLiteral("not stored: %1").arg(failure));
    return 1;
}

// search: one line per day that holds TEXT, newest first: year, month, slot,
// weekday and the line of the day that holds it. Exit 1 when nothing holds it.
int searchDays(Args args)
{
    const ParsedArgs parsed(args, {"folder"});
    if (parsed.positional.size() != 1 || parsed.positional.first().isEmpty())
        throw UsageError("expected the TEXT to look for");
    const QString term = parsed.positional.first();
    const std::unique_ptr<tavi::NotesDatabase> db = openNotes(folderOf(parsed));
    if (!db)
        return 1;
    std::vector<tavi::SearchHit> hits;
    try {
        if (!tavi::hasSearchIndex(db->database())) {
            // An older database: made once, here, in one transaction.
            db->database().exec("BEGIN IMMEDIATE");
            tavi::rebuildSearchIndex(db->database());
            db->database().exec("COMMIT");
        }
        hits = tavi::searchNotes(db->database(), term, std::numeric_limits<int>::max());
    } catch (const tavi::DatabaseError &error) {
        printErr(QStringLiteral("cannot search (tavi-cli reindex makes the index anew): %1").arg(error.reason()));
        return 1;
    }
    QString out;
    for (const tavi::SearchHit &hit : hits) {
        const qsizetype start = hit.text.lastIndexOf(u'\n', hit.at) + 1;
        const qsizetype end = hit.text.indexOf(u'\n', hit.at);
        out += QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(hit.year)
                   .arg(hit.month)
                   .arg(QChar(u'A' + hit.slot - 1))
                   .arg(tavi::weekdayHeading(hit.day + 1), hit.text.mid(start, end < 0 ? -1 : end - start));
    }
    writeOut(out.toUtf8());
    return hits.empty() ? 1 : 0;
}

// reindex: makes the search index anew from every week.
int reindex(Args args)
{
    const std::unique_ptr<tavi::NotesDatabase> db = openNotes(folderOf(ParsedArgs(args, {"folder"})));
    if (!db)
        return 1;
    tavi::Database &database = db->database();
    database.exec("BEGIN IMMEDIATE");
    try {
        tavi::rebuildSearchIndex(database);
        database.exec("COMMIT");
    } catch (...) {
        database.exec("ROLLBACK");
        throw;
    }
    return 0;
}

// set-day: one day's plain text, stored as the day box would store it.
int setDay(Args args)
{
    const ParsedArgs parsed(args, {"folder", "slot", "month", "year", "day"});
    const WeekArgs week = weekArgs(parsed);
    bool ok = false;
    const int day = parsed.required("day").toInt(&ok);
    if (!ok || day < 1 || day > tavi::kDayBoxCount)
        throw UsageError("--day takes 1 (Monday) to 6 (Saturday and Sunday)");
    if (parsed.positional.size() != 1)
        throw UsageError("expected the day's TEXT");
    const std::optional<tavi::WeekNote> notes = loadWeek(week.folder, week.slot, week.yearMonth);
    if (!notes)
        return 1;
    tavi::WeekMemos memos;
    for (int i = 0; i < tavi::kDayBoxCount; ++i)
        memos[i] = (*notes)[i].stored();
    memos[day - 1] = tavi::DayNote::fromPlainText(parsed.positional.first()).stored();
    return storeWeek(week.folder, week.slot, week.yearMonth, memos, tavi::SaveReason::Edit);
}

// history: one line per kept version of a week.
int printHistory(Args args)
{
    const WeekArgs week = weekArgs(ParsedArgs(args, {"folder", "slot", "month", "year"}));
    const std::unique_ptr<tavi::NotesDatabase> db = openNotes(week.folder);
    if (!db)
        return 1;
    QString out;
    for (const tavi::WeekVersion &version : tavi::weekVersions(db->database(), week.slot, week.yearMonth)) {
        out += QStringLiteral("%1  %2 ").arg(version.id).arg(
            QDateTime::fromSecsSinceEpoch(version.storedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        for (const QByteArray &memo : version.memos)
            out += QStringLiteral(" %1").arg(tavi::DayNote(memo).document().plainText().size());
        out += u'\n';
    }
    writeOut(out.toUtf8());
    return 0;
}

// restore: puts a version back as its week; the state it replaces is kept as a version too.
int restoreVersion(Args args)
{
    const ParsedArgs parsed(args, {"folder", "version"});
    const QString folder = folderOf(parsed);
    bool ok = false;
    const qint64 id = parsed.required("version").toLongLong(&ok);
    if (!ok)
        throw UsageError("--version takes a version's number (see history)");
    const std::unique_ptr<tavi::NotesDatabase> db = openNotes(folder);
    if (!db)
        return 1;
    const std::optional<tavi::WeekVersion> version = tavi::weekVersion(db->database(), id);
    if (!version) {
        printErr(QStringLiteral("no version %1 in %2").arg(id).arg(notesPath(folder)));
        return 1;
    }
    return storeWeek(folder, version->slot, version->yearMonth, version->memos, tavi::SaveReason::Restore);
}

int printWeek(Args args)
{
    const std::optional<tavi::WeekNote> week = loadWeek(ParsedArgs(args, {"folder", "slot", "month", "year"}));
    if (!week)
        return 1;
    QString out;
    for (int day = 0; day < tavi::kDayBoxCount; ++day) {
        out += tavi::weekdayHeading(day + 1) + u'\n';
        const QString text = withLineFeeds((*week)[day].plainText());
        if (!text.isEmpty())
            out += text + u'\n';
        if (day + 1 < tavi::kDayBoxCount)
            out += u'\n';
    }
    writeOut(out.toUtf8());
    return 0;
}

int exportWeek(Args args)
{
    const ParsedArgs parsed(args, {"folder", "slot", "month", "year"});
    const QString out = parsed.onlyPositional();
    const std::optional<tavi::WeekNote> week = loadWeek(parsed);
    if (!week)
        return 1;
    try {
        tavi::writeExport(out, tavi::exportLines(tavi::plainTexts(*week)));
    } catch (const tavi::FileError &error) {
        printErr(QString::fromUtf8(error.what()));
        return 1;
    }
    return 0;
}

int toBmp(Args args)
{
    const QString path = ParsedArgs(args, {}).onlyPositional();
    const QString bmp = tavi::convertToBmp(path);
    if (bmp.isEmpty()) {
        printErr(QStringLiteral("%1: not a BMP, JPEG or GIF file name").arg(path));
        return 1;
    }
    writeOut(bmp.toUtf8() + '\n');
    return 0;
}

// The week the program would show at start: slot and month from the window
// settings, today's month and slot A when there are none.
int applyWeek(Args args)
{
    const ParsedArgs parsed(args, {"folder"});
    const QString folder = folderOf(parsed);
    const QString data = tavi::resolvePath(folder, QStringLiteral("Data"));
    const std::optional<QStringList> settings = tavi::readLineFile(tavi::resolvePath(data, QStringLiteral("FormSize.ini")));
    const tavi::WindowSettings shown = tavi::parseWindowSettings(settings.value_or(QStringList()), QRect(0, 0, 1920, 1080));
    const QString month = shown.month.value_or(QString::number(QDate::currentDate().month()));

    const std::optional<tavi::WeekNote> week =
        loadWeek(folder, shown.slot, QString::number(QDate::currentDate().year()) + month);
    if (!week)
        return 1;

    tavi::BackgroundList backgrounds;
    backgrounds.load(tavi::resolvePath(data, QStringLiteral("BGPicList.ini")), false);
    tavi::SystemEnvironment environment;
    tavi::ProcessRunner runner;
    tavi::SessionDBus bus;
    tavi::WallpaperSetter setter(environment, runner, bus);
    try {
        const tavi::ApplyResult result =
            tavi::applyWeekToDesktop(tavi::plainTexts(*week), backgrounds,
                                     tavi::resolvePath(folder, QStringLiteral("source\\DeskTopBG\\")),
                                     tavi::wallpaperThrough(setter));
        writeOut(QStringLiteral("wallpaper set by %1: %2 (background %3)\n")
                     .arg(result.method, result.wallpaper, result.background)
                     .toUtf8());
        return 0;
    } catch (const tavi::WallpaperNotSet &error) {
        printErr(QStringLiteral("no way to set the wallpaper worked (%1); the picture is %2")
                     .arg(QString::fromUtf8(error.what()), error.picturePath));
        return 1;
    }
}

int layOutFolder(Args args)
{
    for (const QString &made : tavi::layOutProgramFolder(ParsedArgs(args, {}).onlyPositional()))
        writeOut(made.toUtf8() + '\n');
    return 0;
}

int defaultBackground(Args args)
{
    tavi::writeBmp(ParsedArgs(args, {}).onlyPositional(), tavi::makeDefaultBackground());
    return 0;
}

int noPassword(Args args)
{
    const QString path = ParsedArgs(args, {}).onlyPositional();
    if (QFileInfo::exists(path)) {
        printErr(QStringLiteral("will not overwrite %1").arg(path));
        return 1;
    }
    tavi::writeNoPassword(path);
    return 0;
}

int loadBmp(Args args)
{
    const ParsedArgs parsed(args, {});
    if (parsed.positional.size() != 2)
        throw UsageError("expected IN and OUT");
    tavi::Bitmap picture = tavi::readBmp(parsed.positional[0]);
    picture.convertTo32();
    tavi::writeBmp(parsed.positional[1], picture);
    return 0;
}

int blend(Args args)
{
    const ParsedArgs parsed(args, {"shift", "weight"});
    if (parsed.positional.size() != 3)
        throw UsageError("expected CONTENT, BACKGROUND and OUT");
    auto number = [&](const char *name, int fallback) {
        const std::optional<QString> text = parsed.optional(name);
        if (!text)
            return fallback;
        bool ok = false;
        const int value = text->toInt(&ok);
        if (!ok)
            throw UsageError(std::string("--") + name + " takes a whole number");
        return value;
    };
    const int shift = number("shift", 30);
    const int weight = number("weight", 50);
    tavi::Bitmap content = tavi::readBmp(parsed.positional[0]);
    tavi::Bitmap background = tavi::readBmp(parsed.positional[1]);
    tavi::Bitmap &mixed = tavi::blend(content, background, shift, weight);
    mixed.convertTo32(); // two 24-bit pictures blend in 24 bits; this command promises 32
    tavi::writeBmp(parsed.positional[2], mixed);
    return 0;
}

int contentPicture(Args args)
{
    const ParsedArgs parsed(args, {});
    if (parsed.positional.size() != 2)
        throw UsageError("expected DIR and OUT");
    tavi::WeekTexts week;
    for (int day = 0; day < tavi::kDayBoxCount; ++day) {
        QFile file(parsed.positional[0] + QStringLiteral("/%1.txt").arg(day + 1));
        if (file.exists() && !file.open(QIODevice::ReadOnly))
            throw tavi::FileError(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()).toStdString());
        week[day] = file.isOpen() ? QString::fromUtf8(file.readAll()) : QString();
    }
    tavi::writeBmp(parsed.positional[1], tavi::drawWeekPicture(week));
    return 0;
}

const Command commands[] = {
    {"rtf-to-text", "rtf-to-text FILE", "print the plain text a day box shows after reading FILE (UTF-8)",
     rtfToText},
    {"rtf-roundtrip", "rtf-roundtrip FILE", "read FILE into a day box and print the box's RTF", rtfRoundTrip},
    {"week", "week [--folder DIR] --slot A..E --month N [--year YYYY]",
     "print a week's six day boxes from DIR's notes database", printWeek},
    {"export", "export [--folder DIR] --slot A..E --month N [--year YYYY] OUT",
     "write a week's export text file (GBK, CR LF) as the program's export does", exportWeek},
    {"to-bmp", "to-bmp FILE", "convert a JPEG or GIF to the BMP beside it (as adding a background does); print its path",
     toBmp},
    {"load-bmp", "load-bmp IN OUT", "read a BMP file and write it again as a 32-bit BMP", loadBmp},
    {"blend", "blend CONTENT BACKGROUND OUT [--shift 30] [--weight 50]",
     "lay CONTENT over BACKGROUND as the wallpaper is made; write a 32-bit BMP", blend},
    {"content-picture", "content-picture DIR OUT",
     "draw DIR/1.txt .. DIR/6.txt (UTF-8, missing files empty) as the week's content picture", contentPicture},
    {"apply", "apply [--folder DIR]",
     "make the week the program would show the desktop wallpaper, without asking (for login scripts)", applyWeek},
    {"default-background", "default-background FILE", "write the program's default background picture (A1.bmp)",
     defaultBackground},
    {"create-database", "create-database FILE", "make a new, empty notes database (never overwrites)",
     createDatabase},
    {"no-password", "no-password FILE", "write the password file that asks no password (never overwrites)",
     noPassword},
    {"lay-out-folder", "lay-out-folder DIR",
     "make DIR a program folder: Data/, source/DeskTopBG/ and whichever of the empty notes database, the "
     "no-password file and A1.bmp is missing (never overwrites); print the files it made",
     layOutFolder},
    {"search", "search [--folder DIR] TEXT",
     "print each day that holds TEXT (any year, newest first): year, month, slot, weekday and its line", searchDays},
    {"reindex", "reindex [--folder DIR]", "make the search index anew from every week", reindex},
    {"set-day", "set-day [--folder DIR] --slot A..E --month N [--year YYYY] --day 1..6 TEXT",
     "store a day's plain text through the program's own save path (history included)", setDay},
    {"history", "history [--folder DIR] --slot A..E --month N [--year YYYY]",
     "print one line per kept version of a week: its number, time and characters per day", printHistory},
    {"restore", "restore [--folder DIR] --version ID",
     "put a kept version back as its week (the state it replaces is kept too)", restoreVersion},
    {"import-mdb", "import-mdb [--folder DIR] [--replace] FILE.mdb",
     "copy every note of the Windows version's Access database into DIR's notes database", importMdb},
};

int usage(FILE *out)
{
    std::fprintf(out, "usage: tavi-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const Command &command : commands)
        std::fprintf(out, "  %s\n      %s\n", command.usage, command.summary);
    std::fprintf(out, "\nWithout --folder: the folder of tavi-cli when a Data/ folder stands beside it, "
                      "else $XDG_DATA_HOME/tavi (~/.local/share/tavi), as the program itself decides.\n");
    return out == stdout ? 0 : 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return usage(stderr);
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help")
        return usage(stdout);
    // Run by import-mdb in a child process; needs no Qt application.
    if (name == "read-access-file" && argc == 3)
        return readAccessFileToStdout(argv[2]);

    // Fonts and rich text need a QGuiApplication; offscreen, so no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's note about a missing runtime folder means nothing to a command-line tool.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &message) {
        if (!message.startsWith(QLatin1String("QStandardPaths: ")))
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    });
    tavi::useProgramFonts();
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    for (const Command &command : commands) {
        if (name != command.name)
            continue;
        try {
            return command.run(Args(argv + 2, size_t(argc - 2)));
        } catch (const UsageError &error) {
            std::fprintf(stderr, "tavi-cli: %s\nusage: tavi-cli %s\n", error.what(), command.usage);
            return 2;
        } catch (const std::exception &error) {
            printErr(QString::fromUtf8(error.what()));
            return 1;
        }
    }
    printErr(QStringLiteral("unknown command '%1' (see tavi-cli --help)").arg(QString::fromStdString(name)));
    return 2;
}
