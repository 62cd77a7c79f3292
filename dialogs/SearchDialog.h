#pragma once

#include "dialogs/SkinnedDialog.h"
#include "notes/NotesSearch.h"

#include <functional>
#include <optional>
#include <vector>

class QLineEdit;
class QListWidget;

namespace tavi {

class Dialogs;

// What a result row says before the words around the match: "2025年12月 B 周二".
QString hitPlace(const SearchHit &hit);

// The search window: a text field and the days that hold its text, newest
// first, found again at every keystroke. Enter or a double click on a row
// chooses that day.
class SearchDialog : public SkinnedDialog {
    Q_OBJECT
public:
    using Search = std::function<std::vector<SearchHit>(const QString &term)>;
    SearchDialog(Search search, Dialogs &dialogs, QWidget *parent = nullptr);

    // Shows the window modally; the day chosen, or nothing.
    std::optional<SearchHit> choose();

    QLineEdit *field() const { return field_; }
    QListWidget *results() const { return results_; }
    const std::vector<SearchHit> &hits() const { return hits_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void refresh();
    void chooseRow(int row);

    Search search_;
    Dialogs &dialogs_;
    std::vector<SearchHit> hits_;
    std::optional<SearchHit> chosen_;
    QLineEdit *field_ = nullptr;
    QListWidget *results_ = nullptr;
};

} // namespace tavi
