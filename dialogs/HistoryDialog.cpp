#include "dialogs/HistoryDialog.h"

#include "notes/DayNote.h"
#include "platform/Dialogs.h"

#include <QDateTime>
#include <QListWidget>
#include <QPushButton>

namespace tavi {
namespace {

constexpr int kWordsPerDay = 8;

} // namespace

QString versionSummary(const WeekVersion &version)
{
    static const char *const days[] = {"周一", "周二", "周三", "周四", "周五", "周六/日"};
    QString line = QDateTime::fromSecsSinceEpoch(version.storedAt).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    for (int day = 0; day < kDayBoxCount; ++day) {
        const QString text = DayNote(version.memos[day]).document().plainText().simplified();
        if (text.isEmpty())
            continue;
        line += QStringLiteral("  %1 %2").arg(QString::fromUtf8(days[day]), text.left(kWordsPerDay));
        if (text.size() > kWordsPerDay)
            line += QChar(0x2026);
    }
    return line;
}

HistoryDialog::HistoryDialog(std::vector<WeekVersion> versions, Dialogs &dialogs, QWidget *parent)
    : SkinnedDialog(QSize(524, 286), parent), versions_(std::move(versions)), dialogs_(dialogs)
{
    addTitledFace(QStringLiteral("历史版本"));

    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("versions"));
    list_->setGeometry(14, 40, 496, 196);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const WeekVersion &version : versions_)
        list_->addItem(versionSummary(version));
    if (versions_.empty())
        list_->addItem(QStringLiteral("这一周还没有历史版本。"));
    list_->setEnabled(!versions_.empty());

    restoreButton_ = new QPushButton(QStringLiteral("恢  复"), this);
    auto *closeButton = new QPushButton(QStringLiteral("关  闭"), this);
    placeButtonRow({restoreButton_, closeButton}, QPoint(400, 248), QSize(52, 24), 58);
    restoreButton_->setEnabled(false);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) { restoreButton_->setEnabled(row >= 0 && !versions_.empty()); });
    connect(list_, &QListWidget::itemDoubleClicked, restoreButton_, &QPushButton::click);
    connect(restoreButton_, &QPushButton::clicked, this, [this] {
        const int row = list_->currentRow();
        if (row < 0 || std::size_t(row) >= versions_.size())
            return;
        chosen_ = versions_[std::size_t(row)];
        accept();
    });
    connect(closeButton, &QPushButton::clicked, this, &HistoryDialog::reject);
}

std::optional<WeekVersion> HistoryDialog::choose()
{
    chosen_.reset();
    dialogs_.runModal(this);
    return chosen_;
}

} // namespace tavi
