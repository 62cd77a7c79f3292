#pragma once

#include <QUrl>
#include <QWidget>

class QMenu;

namespace tavi {

// The small web panel of the left panel: a window onto part of a much larger
// browser view, which never shows the browser's own context menu. Built with
// QtWebEngine when TAVI_WEB_PANEL is on; otherwise a plain panel.
class WebPanel : public QWidget {
    Q_OBJECT
public:
    explicit WebPanel(QWidget *parent = nullptr);
    ~WebPanel() override;

    void navigate(const QUrl &page);
    // The browser view (or the plain stand-in) that the right-button filter guards.
    QWidget *view() const { return webLink_; }

protected:
    // Right mouse buttons on the view and everything inside it go no further:
    // the empty menu opens instead of the browser's.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isInView(QObject *object) const;

    QWidget *webLink_ = nullptr;
    QMenu *pmEmpty_ = nullptr;
};

} // namespace tavi
