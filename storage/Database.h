#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace tavi {

class DatabaseError : public std::runtime_error {
public:
    // what: the technical account (statement and engine message); reason:
    // what a user can act on, empty when it says nothing more than what.
    explicit DatabaseError(const std::string &what, QString reason = {})
        : std::runtime_error(what), reason_(std::move(reason))
    {
    }
    // A short account for the user: "磁盘已满（database or disk is full）".
    QString reason() const { return reason_.isEmpty() ? QString::fromUtf8(what()) : reason_; }

private:
    QString reason_;
};

// What a user is told of a failure: a DatabaseError's reason, else its own words.
inline QString reasonOf(const std::exception &error)
{
    if (const auto *database = dynamic_cast<const DatabaseError *>(&error))
        return database->reason();
    return QString::fromUtf8(error.what());
}

// A connection to an SQLite file, in WAL mode with synchronous=FULL so that
// every committed write survives a crash of the program or the machine.
class Database {
public:
    enum class Open { Existing, CreateNew };
    // Open::Existing never creates a file: a missing file, or one that is not
    // a database, throws DatabaseError. Open::CreateNew makes a new, empty file
    // and throws when path already exists.
    explicit Database(const QString &path, Open mode = Open::Existing);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Runs statements that return no rows.
    void exec(const char *sql);
    sqlite3 *handle() const { return db_; }
    // True when SQLite could open the file for reading only.
    bool isReadOnly() const;
    // Copies the whole database into a new file at path with SQLite's online
    // backup, which sees one consistent state. Throws DatabaseError.
    void backUpTo(const QString &path);
    // "ok", or what PRAGMA integrity_check found wrong.
    QString integrityCheck();
    // Throws DatabaseError when the file was deleted, moved or replaced since
    // it was opened: writes would go on into a file nobody will ever read.
    void checkNotMoved() const;

private:
    sqlite3 *db_ = nullptr;
};

// One prepared statement; rows are stepped through with next().
class Statement {
public:
    Statement(Database &db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    void bind(int index, const QByteArray &blob);   // 1-based, as SQLite counts
    void bind(int index, std::int64_t value);
    void bindText(int index, const QString &text);
    void bindNull(int index);
    // Steps to the next row: true when there is one, false at the end.
    bool next();
    // Runs a statement that returns no rows.
    void run();
    // Makes the statement ready to run again (bindings are kept).
    void reset();

    int columnCount() const;
    // Index of the named column (case-insensitive), or -1.
    int columnIndex(const char *name) const;
    bool isNull(int column) const;
    QByteArray bytes(int column) const; // a BLOB or TEXT value as stored
    std::int64_t integer(int column) const;

private:
    [[noreturn]] void fail(const char *what) const;

    Database &db_;
    sqlite3_stmt *stmt_ = nullptr;
};

} // namespace tavi
