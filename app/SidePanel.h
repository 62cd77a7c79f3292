#pragma once

#include <QWidget>

class QMenu;
class QTextBrowser;

namespace tavi {

// The panel at the top of the left panel: a page the program draws itself
// (see panelPageHtml), shown in a text browser that never shows its own
// context menu.
class SidePanel : public QWidget {
    Q_OBJECT
public:
    explicit SidePanel(QWidget *parent = nullptr);
    ~SidePanel() override;

    // Laying the page out costs the window's first paint a few milliseconds,
    // so the view shows it only from just after that paint on.
    void showPage(const QString &html);
    // The view that shows the page and that the right-button filter guards.
    QTextBrowser *view() const { return webLink_; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    // Right mouse buttons on the view and everything inside it go no further:
    // the empty menu opens instead of the view's own.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isInView(QObject *object) const;

    QTextBrowser *webLink_ = nullptr;
    QMenu *pmEmpty_ = nullptr;
    QString page_;
    bool painted_ = false; // the view has been painted once
};

} // namespace tavi
