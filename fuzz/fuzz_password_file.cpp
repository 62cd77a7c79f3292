// Any bytes as the password file: reading it and checking a typed password
// against its first line must neither crash nor accept a wrong password.
#include "FuzzFile.h"
#include "login/PasswordFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratchFileWith(data, size, "loginstr.db");
    const std::optional<QStringList> lines = tavi::readPasswordFile(path);
    if (!lines)
        std::abort();
    if (lines->isEmpty())
        return 0;
    const QString &stored = lines->first();
    // A wrong guess never passes; an older plain-text line accepts itself.
    if (tavi::passwordMatches(stored + QStringLiteral("\x01wrong"), stored))
        std::abort();
    if (!stored.startsWith(QLatin1String("$argon2")) && !tavi::passwordMatches(stored, stored))
        std::abort();
    return 0;
}
