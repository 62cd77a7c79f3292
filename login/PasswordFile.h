#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The password file, Data/loginstr.db: three GBK lines. Line 1 decides the
// login: the sentinel means no password; anything else is the password.
// Lines 1 and 2 hold Argon2id hashes (older files hold the text itself,
// which still works); line 3 is "-1" with a password, "0" without.
namespace tavi {

extern const char *const kNoPasswordSentinel; // "NOKEY7302468"

// The lines of the file; nothing when it does not exist. Throws FileError when it cannot be read.
std::optional<QStringList> readPasswordFile(const QString &path);

// True when the stored line 1 accepts the typed text: an Argon2id hash is
// verified, anything else (an older file) is compared exactly.
bool passwordMatches(const QString &typed, const QString &storedLine1);

// An Argon2id hash string of the text (libsodium, interactive limits).
QString hashPassword(const QString &text);

// Writes the password (both entries hashed) with line 3 "-1".
void writePassword(const QString &path, const QString &entry1, const QString &entry2);
// Writes the sentinel twice and "0".
void writeNoPassword(const QString &path);

} // namespace tavi
