#include "app/DayBoxTryWindow.h"

#include "platform/RichEdit.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavi {

DayBoxTryWindow::DayBoxTryWindow(QWidget *parent) : QWidget(parent), box_(new RichEdit(this))
{
    setWindowTitle(QStringLiteral("Tavi周记事本"));
    auto *rtfView = new QPlainTextEdit(this);
    rtfView->setReadOnly(true);
    auto *undo = new QPushButton(QStringLiteral("撤销"), this);
    undo->setFocusPolicy(Qt::NoFocus);

    box_->setFont(QFont(QStringLiteral("宋体"), 9));
    box_->setBackgroundColor(QColor(0xFF, 0xFF, 0xF0));
    auto *menu = new QMenu(this);
    menu->addAction(QStringLiteral("复制"), box_, &QTextEdit::copy);
    menu->addAction(QStringLiteral("剪切"), box_, &QTextEdit::cut);
    menu->addAction(QStringLiteral("粘贴"), box_, &QTextEdit::paste);
    menu->addAction(QStringLiteral("撤销"), box_, &QTextEdit::undo);
    menu->addSeparator();
    const std::pair<const char *, QColor> colours[] = {
        {"红色", QColor(255, 0, 0)}, {"蓝色", QColor(0, 0, 255)}, {"黑色", QColor(0, 0, 0)}};
    for (const auto &[name, colour] : colours)
        menu->addAction(QString::fromUtf8(name), box_, [this, c = colour] { box_->setSelectionColor(c); });
    box_->setContextMenu(menu);

    connect(box_, &RichEdit::changed, rtfView, [this, rtfView] {
        rtfView->setPlainText(QString::fromLatin1(box_->rtf()));
    });
    connect(undo, &QPushButton::clicked, box_, &QTextEdit::undo);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(undo);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    auto *panes = new QHBoxLayout;
    panes->addWidget(box_, 1);
    panes->addWidget(rtfView, 1);
    layout->addLayout(panes);
    resize(898, 501);
    box_->setContentText(QStringLiteral("在这里写下本周的计划。"));
}

} // namespace tavi
