#include "app/WebPanel.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>

#ifdef TAVI_WEB_PANEL
#include <QWebEngineView>
#endif

namespace tavi {

WebPanel::WebPanel(QWidget *parent) : QWidget(parent), pmEmpty_(new QMenu(this))
{
    setObjectName(QStringLiteral("pnlWeb"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
#ifdef TAVI_WEB_PANEL
    auto *browser = new QWebEngineView(this);
    browser->setContextMenuPolicy(Qt::NoContextMenu);
    webLink_ = browser;
#else
    auto *plain = new QLabel(QStringLiteral("Tavi周记事本"), this);
    plain->setAlignment(Qt::AlignCenter);
    webLink_ = plain;
#endif
    webLink_->setObjectName(QStringLiteral("webLink"));
    // Much larger than the panel: only its region (11, 16)..(311, 266) shows.
    webLink_->setGeometry(-11, -16, 2000, 841);
    qApp->installEventFilter(this);
}

WebPanel::~WebPanel()
{
    qApp->removeEventFilter(this);
}

void WebPanel::navigate(const QUrl &page)
{
#ifdef TAVI_WEB_PANEL
    static_cast<QWebEngineView *>(webLink_)->load(page);
#else
    webLink_->setToolTip(page.toString());
#endif
}

bool WebPanel::isInView(QObject *object) const
{
    for (; object; object = object->parent()) {
        if (object == webLink_)
            return true;
    }
    return false;
}

bool WebPanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::ContextMenu)
        return false;
    if (type != QEvent::ContextMenu && static_cast<QMouseEvent *>(event)->button() != Qt::RightButton)
        return false;
    if (!isInView(watched))
        return false;
    if (type == QEvent::MouseButtonPress)
        pmEmpty_->popup(QCursor::pos());
    return true;
}

} // namespace tavi
