#include "login/PasswordFile.h"

#include "formats/LineFile.h"
#include "formats/TextCodec.h"

#include <QRegularExpression>

#include <sodium.h>

#include <stdexcept>

namespace tavi {

const char *const kNoPasswordSentinel = "NOKEY7302468";

namespace {

void ensureSodium()
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium could not be initialised");
}

bool isArgon2Hash(const QString &line)
{
    return line.startsWith(QLatin1String("$argon2id$"));
}

// A damaged or planted file could name costs that take minutes or all the
// memory to verify. Ours are 64 MiB and 2 passes; anything beyond four times
// that is refused unverified.
bool hasBearableCost(const QString &hash)
{
    static const QRegularExpression costs(QStringLiteral(R"(^\$argon2id\$v=\d+\$m=(\d{1,10}),t=(\d{1,10}),p=(\d{1,10})\$)"));
    const QRegularExpressionMatch match = costs.match(hash);
    return match.hasMatch() && match.captured(1).toULongLong() <= 4 * 65536 && match.captured(2).toULongLong() <= 8
        && match.captured(3).toULongLong() <= 4;
}

// Only the owner may read the file: it holds the password's hash.
void writeLines(const QString &path, const QStringList &lines)
{
    QList<QByteArray> raw;
    for (const QString &line : lines)
        raw.append(encodeGbk(line));
    writeFileAtomically(path, joinLines(raw), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

std::optional<QStringList> readPasswordFile(const QString &path)
{
    return readLineFile(path);
}

bool passwordMatches(const QString &typed, const QString &storedLine1)
{
    if (!isArgon2Hash(storedLine1))
        return typed == storedLine1;
    if (!hasBearableCost(storedLine1))
        return false;
    ensureSodium();
    const QByteArray hash = storedLine1.toLatin1();
    const QByteArray password = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), password.constData(), std::size_t(password.size())) == 0;
}

QString hashPassword(const QString &text)
{
    ensureSodium();
    char hash[crypto_pwhash_STRBYTES];
    const QByteArray password = text.toUtf8();
    if (crypto_pwhash_str(hash, password.constData(), std::size_t(password.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::runtime_error("not enough memory to protect the password");
    return QString::fromLatin1(hash);
}

void writePassword(const QString &path, const QString &entry1, const QString &entry2)
{
    writeLines(path, {hashPassword(entry1), hashPassword(entry2), QStringLiteral("-1")});
}

void writeNoPassword(const QString &path)
{
    const QString sentinel = QString::fromLatin1(kNoPasswordSentinel);
    writeLines(path, {sentinel, sentinel, QStringLiteral("0")});
}

} // namespace tavi
