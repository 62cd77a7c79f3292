#include "app/Program.h"
#include "platform/Clock.h"
#include "platform/EndSignals.h"
#include "widgets/QtDialogs.h"
#include "platform/FontSetup.h"
#include "platform/ProgramFolder.h"
#include "platform/Screen.h"
#include "desktop/SingleInstance.h"

#include <QApplication>
#include <QDir>

#include <exception>

namespace {

// The last line of the general error report: an error that escaped every
// handler's own report still ends only the command that raised it.
class TaviApplication : public QApplication {
public:
    TaviApplication(int &argc, char **argv, tavi::Dialogs &dialogs) : QApplication(argc, argv), dialogs_(dialogs) {}
    bool notify(QObject *receiver, QEvent *event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception &error) {
            dialogs_.showError(activeWindow(), QString::fromUtf8(error.what()));
            return false;
        }
    }

private:
    tavi::Dialogs &dialogs_;
};

} // namespace

int main(int argc, char **argv)
{
    tavi::useProgramFonts();
    const QString title = QString::fromUtf16(tavi::kApplicationTitle);
    tavi::QtDialogs dialogs(title);
    TaviApplication app(argc, argv, dialogs);
    QApplication::setApplicationName(title);
    // Lets Wayland docks match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tavi.WeekNotes"));

    // A per-user folder is made at its first start; its Data/ holds the lock
    // that keeps one running program per folder.
    const QString folder = tavi::programFolder();
    const bool perUser = tavi::isPerUserFolder();
    if (perUser)
        QDir().mkpath(folder + QStringLiteral("Data"));
    // A second start of the same folder brings the running window forward and ends.
    tavi::SingleInstance instance(folder);
    if (!instance.claim())
        return 0;

    tavi::SystemClock clock;
    tavi::QtScreen screen;
    tavi::Program program(folder, clock, screen, dialogs, [] { QCoreApplication::quit(); },
                          perUser ? tavi::Program::Folder::PerUser : tavi::Program::Folder::OfItsOwn);
    QObject::connect(&instance, &tavi::SingleInstance::showRequested, [&program] {
        // The login window, while it is up; else the main window.
        QWidget *window = QApplication::activeModalWidget();
        if (!window)
            window = program.mainWindow();
        if (window) {
            window->showNormal();
            window->raise();
            window->activateWindow();
        }
    });
    if (!program.start())
        return program.exitCode();
    // A logout or a stop stores the week and the window settings before the program ends.
    tavi::EndSignals endSignals;
    QObject::connect(&endSignals, &tavi::EndSignals::received, [&program] { program.mainWindow()->endSession(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, [&program] { program.mainWindow()->storeEverything(); });
    program.mainWindow()->show();
    return QApplication::exec();
}
