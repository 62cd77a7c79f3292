#include "platform/FontSetup.h"

#include "platform/ProgramFolder.h"

#include <QFileInfo>

namespace tavi {

void useProgramFonts()
{
    if (qEnvironmentVariableIsSet("FONTCONFIG_FILE"))
        return;
    const QString config = programFolder() + QStringLiteral("assets/fonts.conf");
    if (QFileInfo::exists(config))
        qputenv("FONTCONFIG_FILE", config.toLocal8Bit());
}

} // namespace tavi
