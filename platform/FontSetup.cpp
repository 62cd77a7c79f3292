#include "platform/FontSetup.h"

#include "platform/ProgramFolder.h"

#include <QFileInfo>

namespace tavi {

void useProgramFonts()
{
    useProgramFonts(executableFolder());
}

void useProgramFonts(const QString &executableFolder)
{
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE"))
        return;
    const QString config = programFilesFolderFor(executableFolder) + QStringLiteral("fonts.conf");
    if (QFileInfo::exists(config))
        qputenv("FONTCONFIG_FILE", config.toLocal8Bit());
}

} // namespace tavi
