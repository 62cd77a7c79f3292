#include "app/SidePanel.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTextBrowser>

namespace tavi {

SidePanel::SidePanel(QWidget *parent) : QWidget(parent), pmEmpty_(new QMenu(this))
{
    setObjectName(QStringLiteral("pnlWeb"));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    webLink_ = new QTextBrowser(this);
    webLink_->setObjectName(QStringLiteral("webLink"));
    webLink_->setFrameShape(QFrame::NoFrame);
    webLink_->setOpenLinks(false); // the page has no links; nothing is ever loaded from elsewhere
    webLink_->setFocusPolicy(Qt::NoFocus); // the day box being typed in keeps the focus
    QFont song(QStringLiteral("宋体"));
    song.setPixelSize(12);
    webLink_->setFont(song);
    qApp->installEventFilter(this);
}

SidePanel::~SidePanel()
{
    qApp->removeEventFilter(this);
}

void SidePanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    webLink_->setGeometry(rect());
}

void SidePanel::showPage(const QString &html)
{
    page_ = html;
    if (painted_)
        webLink_->setHtml(html);
}

bool SidePanel::isInView(QObject *object) const
{
    for (; object; object = object->parent()) {
        if (object == webLink_)
            return true;
    }
    return false;
}

bool SidePanel::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::Paint && !painted_ && watched == webLink_->viewport()) {
        // The window's first paint goes out with the view still empty; the page follows at once.
        painted_ = true;
        QMetaObject::invokeMethod(this, [this] { webLink_->setHtml(page_); }, Qt::QueuedConnection);
        return false;
    }
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
