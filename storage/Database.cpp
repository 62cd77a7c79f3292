#include "storage/Database.h"

#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <string>

namespace tavi {
namespace {

// The engine's result in words a user can act on, with its own message after.
QString userReason(sqlite3 *db)
{
    if (!db)
        return QStringLiteral("内存不足");
    const char *meaning = nullptr;
    switch (sqlite3_extended_errcode(db) & 0xFF) {
    case SQLITE_FULL: meaning = "磁盘已满"; break;
    case SQLITE_IOERR: meaning = "读写磁盘时出错"; break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: meaning = "数据库正被另一个程序使用"; break;
    case SQLITE_READONLY:
    case SQLITE_PERM: meaning = "数据库文件不可写"; break;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: meaning = "数据库文件已损坏"; break;
    case SQLITE_CANTOPEN: meaning = "无法打开数据库文件"; break;
    case SQLITE_NOMEM: meaning = "内存不足"; break;
    default: return QString::fromUtf8(sqlite3_errmsg(db));
    }
    return QStringLiteral("%1（%2）").arg(QString::fromUtf8(meaning), QString::fromUtf8(sqlite3_errmsg(db)));
}

[[noreturn]] void throwError(sqlite3 *db, const std::string &what)
{
    throw DatabaseError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"), userReason(db));
}

} // namespace

Database::Database(const QString &path, Open mode)
{
    const QByteArray file = path.toUtf8();
    if (mode == Open::CreateNew && QFileInfo::exists(path))
        throw DatabaseError("will not overwrite " + file.toStdString());
    // Without SQLITE_OPEN_CREATE unless asked: the program never makes a database of its own.
    const int flags = SQLITE_OPEN_READWRITE | (mode == Open::CreateNew ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(file.constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = "cannot open " + file.toStdString();
        try {
            throwError(db_, message);
        } catch (...) {
            sqlite3_close(db_);
            db_ = nullptr;
            throw;
        }
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, 2000);
    try {
        // Reading the schema proves the file is a database before anything else runs.
        exec("PRAGMA schema_version");
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

Database::~Database()
{
    sqlite3_close(db_);
}

void Database::exec(const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = std::string(sql) + ": " + (error ? error : sqlite3_errmsg(db_));
        sqlite3_free(error);
        throw DatabaseError(message, userReason(db_));
    }
}

void Database::backUpTo(const QString &path)
{
    Database copy(path, Open::CreateNew);
    sqlite3_backup *backup = sqlite3_backup_init(copy.db_, "main", db_, "main");
    if (!backup)
        throwError(copy.db_, "cannot back up into " + path.toStdString());
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw DatabaseError("cannot back up into " + path.toStdString() + ": " + sqlite3_errstr(rc),
                            QString::fromUtf8(sqlite3_errstr(rc)));
}

QString Database::integrityCheck()
{
    Statement check(*this, QStringLiteral("PRAGMA integrity_check"));
    QStringList findings;
    while (check.next())
        findings.append(QString::fromUtf8(check.bytes(0)));
    return findings.join(u'\n');
}

bool Database::isReadOnly() const
{
    return sqlite3_db_readonly(db_, "main") != 0;
}

void Database::checkNotMoved() const
{
    int moved = 0;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK && moved)
        throw DatabaseError("the database file was moved or replaced since it was opened",
                            QStringLiteral("数据库文件已被移走或替换"));
}

Statement::Statement(Database &db, const QString &sql) : db_(db)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &stmt_, nullptr) != SQLITE_OK)
        throwError(db.handle(), "cannot prepare \"" + text.toStdString() + "\"");
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

void Statement::fail(const char *what) const
{
    throwError(db_.handle(), std::string(what) + " \"" + sqlite3_sql(stmt_) + "\"");
}

void Statement::bind(int index, const QByteArray &blob)
{
    // An empty value is an empty BLOB, never NULL.
    const char *data = blob.isEmpty() ? "" : blob.constData();
    if (sqlite3_bind_blob64(stmt_, index, data, sqlite3_uint64(blob.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        fail("cannot bind a value of");
}

void Statement::bind(int index, std::int64_t value)
{
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        fail("cannot bind a value of");
}

void Statement::bindText(int index, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (sqlite3_bind_text64(stmt_, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                            SQLITE_UTF8)
        != SQLITE_OK)
        fail("cannot bind a value of");
}

void Statement::bindNull(int index)
{
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK)
        fail("cannot bind a value of");
}

bool Statement::next()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail("cannot run");
}

void Statement::run()
{
    while (next()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(stmt_);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(stmt_);
}

int Statement::columnIndex(const char *name) const
{
    for (int i = 0, n = columnCount(); i < n; ++i) {
        if (sqlite3_stricmp(sqlite3_column_name(stmt_, i), name) == 0)
            return i;
    }
    return -1;
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

QByteArray Statement::bytes(int column) const
{
    // Blob first: asking for the size first could convert the value.
    const void *data = sqlite3_column_blob(stmt_, column);
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? QByteArray(static_cast<const char *>(data), size) : QByteArray();
}

std::int64_t Statement::integer(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

} // namespace tavi
