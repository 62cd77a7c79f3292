#include "app/WindowChrome.h"

#include "formats/SettingsFiles.h"

namespace tavi {
namespace {

constexpr ChromePictures::Button kNormal{true, false, false};
constexpr ChromePictures::Button kHighlight{false, true, false};
constexpr ChromePictures::Button kDown{false, false, true};

} // namespace

ChromePictures applyChromeEvent(ChromePictures p, ChromeEvent event)
{
    switch (event) {
    case ChromeEvent::MouseOverBackground:
        p.close = p.mini = p.max = kNormal;
        break;
    case ChromeEvent::MouseOverCloseNormal:
        p.close = kHighlight;
        p.mini = kNormal;
        break;
    case ChromeEvent::PressOnCloseHighlight:
        p.close = kDown;
        p.mini = kNormal;
        break;
    case ChromeEvent::MouseOverMiniNormal:
        p.close = kNormal;
        p.mini = kHighlight;
        break;
    case ChromeEvent::PressOnMiniHighlight:
        p.close = kNormal;
        p.mini = kDown;
        break;
    case ChromeEvent::MiniClicked:
    case ChromeEvent::MaxClicked:
        p.close = p.mini = kNormal;
        break;
    case ChromeEvent::MouseOverMaxNormal:
        p.close = p.mini = kNormal;
        p.max = kHighlight;
        break;
    case ChromeEvent::PressOnMaxHighlight:
        p.close = p.mini = kNormal;
        p.max = kDown;
        break;
    }
    return p;
}

QRect maximiseToggle(const QRect &window, const QRect &screen)
{
    const QSize size = window.width() == screen.width()
        ? kDefaultWindowSize
        : QSize(screen.width(), screen.height() - kTaskbarAllowance);
    const int left = screen.left() + (screen.width() - size.width()) / 2;
    const int top = screen.top() + (screen.height() - size.height() - kTaskbarAllowance) / 2;
    return QRect(QPoint(left, top), size);
}

QRect boundsToKeep(const QRect &known, const QRect &window, bool positionReported)
{
    return positionReported ? window : QRect(known.topLeft(), window.size());
}

} // namespace tavi
