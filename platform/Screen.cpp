#include "platform/Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace tavi {

QSize QtScreen::size() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

} // namespace tavi
