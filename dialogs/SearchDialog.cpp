#include "dialogs/SearchDialog.h"

#include "notes/WeekDayName.h"
#include "platform/Dialogs.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

namespace tavi {
namespace {

enum Role { BeforeRole = Qt::UserRole, MatchRole, AfterRole };

// A row: the place, then the words around the match with the match marked.
class HitDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, option.widget);
        const bool selected = option.state & QStyle::State_Selected;
        const QColor text = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
        QRect room = option.rect.adjusted(4, 0, -4, 0);
        const auto draw = [&](const QString &part, const QColor &colour, const QColor &under) {
            const int width = option.fontMetrics.horizontalAdvance(part);
            if (under.isValid())
                painter->fillRect(QRect(room.left(), room.top() + 1, width, room.height() - 2), under);
            painter->setPen(colour);
            painter->drawText(room, Qt::AlignLeft | Qt::AlignVCenter, part);
            room.setLeft(room.left() + width);
        };
        painter->save();
        draw(index.data(Qt::DisplayRole).toString() + QStringLiteral("  "), text, {});
        draw(index.data(BeforeRole).toString(), text, {});
        draw(index.data(MatchRole).toString(), Qt::black, QColor(255, 230, 120));
        draw(index.data(AfterRole).toString(), text, {});
        painter->restore();
    }
};

} // namespace

QString hitPlace(const SearchHit &hit)
{
    return QStringLiteral("%1年%2月 %3 %4")
        .arg(hit.year)
        .arg(hit.month)
        .arg(QChar(u'A' + hit.slot - 1))
        .arg(weekdayHeading(hit.day + 1));
}

SearchDialog::SearchDialog(Search search, Dialogs &dialogs, QWidget *parent)
    : SkinnedDialog(QSize(560, 360), parent), search_(std::move(search)), dialogs_(dialogs)
{
    addTitledFace(QStringLiteral("查找"));

    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("searchText"));
    field_->setPlaceholderText(QStringLiteral("要查找的文字"));
    field_->setGeometry(14, 40, 532, 24);
    results_ = new QListWidget(this);
    results_->setObjectName(QStringLiteral("searchResults"));
    results_->setGeometry(14, 72, 532, 272);
    results_->setItemDelegate(new HitDelegate(results_));
    results_->setUniformItemSizes(true);
    connect(field_, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(results_, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) { chooseRow(results_->row(item)); });
}

std::optional<SearchHit> SearchDialog::choose()
{
    chosen_.reset();
    field_->setFocus();
    field_->selectAll();
    dialogs_.runModal(this);
    return chosen_;
}

void SearchDialog::refresh()
{
    results_->clear();
    try {
        hits_ = search_(field_->text());
    } catch (const std::exception &error) {
        hits_.clear();
        dialogs_.showError(this, QString::fromUtf8(error.what()));
    }
    for (const SearchHit &hit : hits_) {
        const Excerpt excerpt = excerptOf(hit);
        auto *item = new QListWidgetItem(hitPlace(hit), results_);
        item->setData(BeforeRole, excerpt.before);
        item->setData(MatchRole, excerpt.match);
        item->setData(AfterRole, excerpt.after);
    }
    if (!hits_.empty())
        results_->setCurrentRow(0);
}

void SearchDialog::chooseRow(int row)
{
    if (row < 0 || std::size_t(row) >= hits_.size())
        return;
    chosen_ = hits_[std::size_t(row)];
    accept();
}

void SearchDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter in the field chooses the row under the cursor, and the arrows move it.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        chooseRow(results_->currentRow());
        return;
    case Qt::Key_Down:
    case Qt::Key_Up:
        results_->setCurrentRow(std::clamp(results_->currentRow() + (event->key() == Qt::Key_Down ? 1 : -1), 0,
                                           results_->count() - 1));
        return;
    default:
        SkinnedDialog::keyPressEvent(event);
    }
}

} // namespace tavi
