#include "platform/Database.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <string>

namespace tavi {
namespace {

[[noreturn]] void throwError(sqlite3 *db, const std::string &what)
{
    throw DatabaseError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
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
        throw DatabaseError(message);
    }
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
