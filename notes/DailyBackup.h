#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace tavi {

class Database;

// The day's copy of the notes database: folder/UserData-YYYY-MM-DD.db.
QString dailyBackupPath(const QString &folder, const QDate &day);

// Copies the notes database into the day's backup once a day (nothing when
// that copy is there already), checks the copy with integrity_check and keeps
// the last 7 daily and 4 weekly copies. A copy that fails its check is
// deleted; the reason comes back, to be told. Throws what the copy throws.
std::optional<QString> backUpDaily(Database &db, const QString &folder, const QDate &today);

// Deletes the copies beyond the 7 newest days and the newest copy of each of
// the 4 weeks before theirs.
void pruneBackups(const QString &folder);

} // namespace tavi
