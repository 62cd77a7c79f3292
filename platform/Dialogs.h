#pragma once

#include <QColor>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QDialog;
class QTextBrowser;
class QWidget;

namespace tavi {

// Every modal message the program shows goes through here, so that tests can
// script the answers and see what was said.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The ordinary message dialog: the application title as caption, the
    // text, one OK button and no icon.
    virtual void showMessage(QWidget *owner, const QString &text) = 0;
    // The message box: the caller's caption, one OK button and no icon.
    virtual void showMessageBox(QWidget *owner, const QString &caption, const QString &text) = 0;
    // The general error report: the application title as caption, the
    // error's text (see errorReportText()), one OK button and the error icon.
    virtual void showError(QWidget *owner, const QString &text) = 0;
    // A message that does not wait for its answer: the program goes on while it shows.
    virtual void showNotice(QWidget *owner, const QString &text) = 0;
    // A question with the application title as caption, answered yes or no;
    // no is the default, and so is Escape or closing it.
    virtual bool askYesNo(QWidget *owner, const QString &text) = 0;
    // The colour chooser, fully open, starting on initial. Nothing when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget *owner, const QColor &initial) = 0;
    // The save-file dialog with one filter ("description|pattern") and a
    // proposed name; it does not ask before replacing a file (the caller
    // asks, once it knows the final name). Nothing when cancelled; the name as
    // the user left it otherwise (possibly empty).
    virtual std::optional<QString> saveFileName(QWidget *owner, const QString &filter, const QString &proposedName) = 0;
    // The open-file dialog with one filter ("description|patterns", patterns
    // separated by "; "). It does not insist that the file exists. Nothing
    // when cancelled.
    virtual std::optional<QString> openFileName(QWidget *owner, const QString &filter) = 0;
    // Shows one of the program's own windows modally and returns when it has closed.
    virtual void runModal(QDialog *window) = 0;
    // Opens a web page in the user's web browser; what happens then is not looked at.
    virtual void openUrl(const QUrl &page) = 0;
    // Shows one of the program's own pages (HTML) in a window beside the
    // owner, which stays open while the user goes on working; showing a page
    // again brings that window forward.
    virtual void showPage(QWidget *owner, const QString &caption, const QString &html) = 0;
};

// Runs a command; an error it does not catch itself ends it and goes to the
// general error report, and the program goes on.
void runReportingErrors(Dialogs &dialogs, QWidget *owner, const std::function<void()> &command);

// The error report's text: a full stop is appended when the last character
// sorts after the full stop.
QString errorReportText(const QString &message);

// "description|patterns" as a Qt name filter, "description (patterns)", each
// pattern made to match without regard to case ("*.jpg" as "*.[jJ][pP][gG]"):
// the GTK file dialog compares patterns case-sensitively, and camera files
// are named IMG_0001.JPG.
QString dialogNameFilter(const QString &filter);

} // namespace tavi
