#include "platform/FontSetup.h"

#include "platform/ProgramFolder.h"

#include <QFileInfo>

namespace tavi {

void useProgramFonts()
{
    useProgramFonts(programFolder());
}

void useProgramFonts(const QString &folder)
{
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE"))
        return;
    const QString config = resolvePath(folder, QStringLiteral("assets/fonts.conf"));
    if (QFileInfo::exists(config))
        qputenv("FONTCONFIG_FILE", config.toLocal8Bit());
}

} // namespace tavi
