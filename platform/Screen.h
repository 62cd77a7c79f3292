#pragma once

#include <QRect>

namespace tavi {

// The primary display. Tests replace it to fix its place and size.
class Screen {
public:
    virtual ~Screen() = default;
    // The primary display's full geometry in desktop coordinates: beside other
    // monitors it need not start at (0, 0).
    virtual QRect geometry() const = 0;
    // Whether a window's position is what the display server shows: not on
    // Wayland, where only the compositor places windows and never says where.
    virtual bool reportsWindowPositions() const = 0;
};

class QtScreen : public Screen {
public:
    QRect geometry() const override;
    bool reportsWindowPositions() const override;
};

} // namespace tavi
