#include "app/Program.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FontSetup.h"
#include "platform/ProgramFolder.h"
#include "platform/Screen.h"

#include <QApplication>

int main(int argc, char **argv)
{
    tavi::useProgramFonts();
    QApplication app(argc, argv);
    const QString title = QString::fromUtf16(tavi::kApplicationTitle);
    QApplication::setApplicationName(title);

    tavi::SystemClock clock;
    tavi::QtScreen screen;
    tavi::QtDialogs dialogs(title);
    tavi::Program program(tavi::programFolder(), clock, screen, dialogs, [] { QCoreApplication::quit(); });
    if (!program.start())
        return 1;
    program.mainWindow()->show();
    return QApplication::exec();
}
