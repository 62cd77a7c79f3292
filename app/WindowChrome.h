#pragma once

#include <QRect>
#include <QSize>

#include <array>

// The logic of the main window's own caption buttons, apart from the widgets.
namespace tavi {

// Which of the three pictures (normal, highlight, down) of the close,
// minimise and maximise buttons are visible.
struct ChromePictures {
    struct Button {
        bool normal = true, highlight = false, down = false;
        friend bool operator==(const Button &, const Button &) = default;
    };
    Button close, mini, max;
    friend bool operator==(const ChromePictures &, const ChromePictures &) = default;
};

enum class ChromeEvent {
    MouseOverBackground,
    MouseOverCloseNormal,
    PressOnCloseHighlight,
    MouseOverMiniNormal,
    PressOnMiniHighlight,
    MiniClicked,
    MouseOverMaxNormal,
    PressOnMaxHighlight,
    MaxClicked,
};

// The pictures after an event: a button is highlighted while the mouse is
// over it and down while pressed; passing over the background resets all.
// Events about one button leave the pictures they do not name as they are.
ChromePictures applyChromeEvent(ChromePictures pictures, ChromeEvent event);

// The maximise toggle: a window as wide as the screen becomes 906 x 540,
// any other one as wide as the screen and 30 pixels less high; either way
// centred above the 30-pixel allowance. Only bounds: never the maximised state.
QRect maximiseToggle(const QRect &window, const QRect &screen);

// The bounds FormSize.ini keeps: the window's, except where the display
// server never tells a window where it stands (Wayland): there the last
// position known stays and only the size is taken.
QRect boundsToKeep(const QRect &known, const QRect &window, bool positionReported);

} // namespace tavi
