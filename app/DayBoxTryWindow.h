#pragma once

#include <QWidget>

namespace tavi {
class RichEdit;

// A small window with one day box, to try the component by hand until the
// main window exists: the box's RTF is shown live beside it.
class DayBoxTryWindow : public QWidget {
    Q_OBJECT
public:
    explicit DayBoxTryWindow(QWidget *parent = nullptr);

private:
    RichEdit *box_;
};

} // namespace tavi
