#include "notes/DailyBackup.h"

#include "storage/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace tavi {
namespace {

const QString kPrefix = QStringLiteral("UserData-");
const QString kSuffix = QStringLiteral(".db");

// The copies in the folder by their day, newest first.
std::map<QDate, QString, std::greater<>> copiesByDay(const QString &folder)
{
    std::map<QDate, QString, std::greater<>> copies;
    const QStringList names = QDir(folder).entryList({kPrefix + QStringLiteral("*") + kSuffix}, QDir::Files);
    for (const QString &name : names) {
        const QDate day = QDate::fromString(name.mid(kPrefix.size(), 10), Qt::ISODate);
        if (day.isValid() && name == kPrefix + day.toString(Qt::ISODate) + kSuffix)
            copies.emplace(day, QDir(folder).filePath(name));
    }
    return copies;
}

} // namespace

QString dailyBackupPath(const QString &folder, const QDate &day)
{
    return QDir(folder).filePath(kPrefix + day.toString(Qt::ISODate) + kSuffix);
}

std::optional<QString> backUpDaily(Database &db, const QString &folder, const QDate &today)
{
    // What a copy cut short by a crash left: its partial file and its journals.
    const auto copies = copiesByDay(folder);
    for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) {
        const bool finished = std::any_of(copies.begin(), copies.end(),
                                          [&](const auto &copy) { return copy.second == file.filePath(); });
        if (!finished && file.fileName().startsWith(kPrefix))
            QFile::remove(file.filePath());
    }
    const QString path = dailyBackupPath(folder, today);
    if (QFileInfo::exists(path))
        return std::nullopt;
    if (!QDir().mkpath(folder))
        throw DatabaseError("cannot make the folder " + folder.toStdString(),
                            QStringLiteral("无法建立文件夹 %1").arg(folder));
    // Written under a temporary name: a copy cut short by a crash never passes for the day's copy.
    const QString partial = path + QStringLiteral(".partial");
    db.backUpTo(partial);
    QString verdict;
    {
        Database copy(partial);
        verdict = copy.integrityCheck();
    }
    if (verdict != QLatin1String("ok")) {
        QFile::remove(partial);
        return QStringLiteral("今天的备份 %1 没有通过检查，已删除：%2").arg(path, verdict);
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw DatabaseError("cannot name the backup " + path.toStdString(), QStringLiteral("无法保存备份 %1").arg(path));
    }
    pruneBackups(folder);
    return std::nullopt;
}

void pruneBackups(const QString &folder)
{
    const auto copies = copiesByDay(folder);
    std::set<std::pair<int, int>> weeks; // (year, week number) of the copies kept
    int daily = 0, weekly = 0;
    for (const auto &[day, path] : copies) {
        int year = 0;
        const int week = day.weekNumber(&year);
        if (daily < 7) {
            ++daily;
            weeks.insert({year, week});
            continue;
        }
        // The newest copy of each of the four weeks before those the daily copies cover.
        if (weekly < 4 && weeks.insert({year, week}).second) {
            ++weekly;
            continue;
        }
        QFile::remove(path);
    }
}

} // namespace tavi
