#include "app/DayBoxTryWindow.h"
#include "platform/FontSetup.h"

#include <QApplication>

int main(int argc, char **argv)
{
    tavi::useProgramFonts();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavi周记事本"));
    tavi::DayBoxTryWindow window;
    window.show();
    return QApplication::exec();
}
