#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace tavi {

QRect QtScreen::geometry() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

bool QtScreen::reportsWindowPositions() const
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace tavi
