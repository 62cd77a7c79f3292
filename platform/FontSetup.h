#pragma once

namespace tavi {

// Points fontconfig at the program's own configuration (assets/fonts.conf
// beside the executable), which maps the Windows faces the program is designed
// with ("宋体", "Arial") onto installed ones. Must run before QGuiApplication
// exists; a FONTCONFIG_FILE set by the user is left alone.
void useProgramFonts();

} // namespace tavi
