#pragma once

#include <QString>

namespace tavi {

// Points fontconfig at the program's own configuration (fonts.conf among the
// program's files, see programFilesFolder), which maps the Windows faces the
// program is designed with ("宋体", "Arial") onto installed ones. Must run
// before QGuiApplication exists; a FONTCONFIG_FILE set by the user is left alone.
void useProgramFonts();
// The same for an executable in the folder given (tests, tools living elsewhere).
void useProgramFonts(const QString &executableFolder);

} // namespace tavi
