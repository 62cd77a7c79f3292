#pragma once

#include "dialogs/SkinnedDialog.h"
#include "notes/WeekHistory.h"

#include <optional>
#include <vector>

class QListWidget;
class QPushButton;

namespace tavi {

class Dialogs;

// One line of the history window: when the state was stored, and the first
// words of each day ("周一 开会 周二 …").
QString versionSummary(const WeekVersion &version);

// The shown week's earlier states, newest first; "恢复" puts the chosen one back.
class HistoryDialog : public SkinnedDialog {
    Q_OBJECT
public:
    HistoryDialog(std::vector<WeekVersion> versions, Dialogs &dialogs, QWidget *parent = nullptr);

    // Shows the window modally; the version chosen with "恢复", or nothing.
    std::optional<WeekVersion> choose();

    QListWidget *versionList() const { return list_; }
    QPushButton *restoreButton() const { return restoreButton_; }

private:
    std::vector<WeekVersion> versions_;
    Dialogs &dialogs_;
    std::optional<WeekVersion> chosen_;
    QListWidget *list_ = nullptr;
    QPushButton *restoreButton_ = nullptr;
};

} // namespace tavi
