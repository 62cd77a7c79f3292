#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace tavi {

QRect QtScreen::geometry() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

} // namespace tavi
