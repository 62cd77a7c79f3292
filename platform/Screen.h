#pragma once

#include <QSize>

namespace tavi {

// The primary display. Tests replace it to fix the size.
class Screen {
public:
    virtual ~Screen() = default;
    // Width and height of the primary display in pixels.
    virtual QSize size() const = 0;
};

class QtScreen : public Screen {
public:
    QSize size() const override;
};

} // namespace tavi
