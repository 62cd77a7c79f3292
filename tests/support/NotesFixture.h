#pragma once

#include "notes/NotesDatabase.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Screen.h"

#include <QDialog>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>
#include <vector>

namespace tavi::test {

// A program folder in a temporary directory: Data/ with a fresh notes
// database and source/DeskTopBG/.
class ProgramFolderFixture {
public:
    ProgramFolderFixture();
    QString folder() const { return dir_.path() + u'/'; }
    QString databasePath() const { return folder() + QStringLiteral("Data/UserData.db"); }

private:
    QTemporaryDir dir_;
};

// Every statement a connection runs, in order, as SQLite saw its text.
class StatementLog {
public:
    explicit StatementLog(Database &db);
    ~StatementLog();
    QStringList statements() const { return statements_; }
    // Statements that change data (insert, update, delete).
    QStringList writes() const;
    void clear() { statements_.clear(); }

private:
    static int onTrace(unsigned, void *context, void *statement, void *);
    Database &db_;
    QStringList statements_;
};

// A second connection to inspect or prepare a notes database behind the program's back.
class NotesInspector {
public:
    explicit NotesInspector(const QString &path) : db_(path) {}
    void exec(const QString &sql);
    // Rows of "select YearMonthStr, <memo columns> from table" in rowid order.
    std::vector<QStringList> rows(const QString &table);
    // The stored bytes of one memo column of the first row with that key.
    QByteArray memo(const QString &table, const QString &yearMonth, int day);
    void insertWeek(const QString &table, const QString &yearMonth, const WeekMemos &memos);
    Database &database() { return db_; }

private:
    Database db_;
};

class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime at) : at_(std::move(at)) {}
    QDateTime now() const override { return at_; }
    QDateTime at_;
};

// Records what would have been shown. Messages are answered with OK; colour
// and file dialogs give the scripted answers in turn (cancel when none is left).
class FakeDialogs : public Dialogs {
public:
    struct Shown {
        QString kind; // "message", "box", "error", "notice", "question", "save", "open" or "page"
        QString caption;
        QString text;
    };
    void showMessage(QWidget *, const QString &text) override { shown.push_back({"message", {}, text}); }
    void showMessageBox(QWidget *, const QString &caption, const QString &text) override
    {
        shown.push_back({"box", caption, text});
    }
    void showError(QWidget *, const QString &text) override { shown.push_back({"error", {}, text}); }
    void showNotice(QWidget *, const QString &text) override { shown.push_back({"notice", {}, text}); }
    // Answered from questionAnswers in turn; no when none is left.
    bool askYesNo(QWidget *, const QString &text) override
    {
        shown.push_back({"question", {}, text});
        if (questionAnswers.empty())
            return false;
        const bool answer = questionAnswers.front();
        questionAnswers.erase(questionAnswers.begin());
        return answer;
    }
    std::optional<QColor> chooseColor(QWidget *, const QColor &initial) override
    {
        colourDialogsOpenedOn.push_back(initial);
        if (colourAnswers.empty())
            return std::nullopt;
        const std::optional<QColor> answer = colourAnswers.front();
        colourAnswers.erase(colourAnswers.begin());
        return answer;
    }
    std::optional<QString> saveFileName(QWidget *, const QString &filter, const QString &proposedName) override
    {
        shown.push_back({"save", filter, proposedName});
        if (fileAnswers.empty())
            return std::nullopt;
        // Taken apart rather than copied: GCC 12 misreads a copied optional<QString> as uninitialised.
        const bool cancelled = !fileAnswers.front().has_value();
        const QString name = cancelled ? QString() : *fileAnswers.front();
        fileAnswers.erase(fileAnswers.begin());
        if (cancelled)
            return std::nullopt;
        return name;
    }

    std::optional<QString> openFileName(QWidget *, const QString &filter) override
    {
        shown.push_back({"open", filter, {}});
        if (openAnswers.empty())
            return std::nullopt;
        const bool cancelled = !openAnswers.front().has_value();
        const QString name = cancelled ? QString() : *openAnswers.front();
        openAnswers.erase(openAnswers.begin());
        if (cancelled)
            return std::nullopt;
        return name;
    }
    // Runs the scripted user of the window instead of an event loop.
    void runModal(QDialog *window) override
    {
        modalWindows.push_back(window);
        window->show();
        if (whileModal)
            whileModal(window);
        window->hide();
    }

    void openUrl(const QUrl &page) override { opened.push_back(page); }
    void showPage(QWidget *, const QString &caption, const QString &html) override
    {
        shown.push_back({"page", caption, html});
    }

    std::vector<Shown> shown;
    std::vector<QUrl> opened;
    std::vector<std::optional<QString>> openAnswers;
    std::vector<QDialog *> modalWindows;
    std::function<void(QDialog *)> whileModal;
    std::vector<QColor> colourDialogsOpenedOn;
    std::vector<std::optional<QColor>> colourAnswers;
    std::vector<std::optional<QString>> fileAnswers;
    std::vector<bool> questionAnswers;
};

class FakeScreen : public Screen {
public:
    explicit FakeScreen(QSize size) : geometry_(QPoint(), size) {}
    explicit FakeScreen(QRect geometry) : geometry_(geometry) {}
    QRect geometry() const override { return geometry_; }
    bool reportsWindowPositions() const override { return reportsPositions; }
    QRect geometry_;
    bool reportsPositions = true;
};

} // namespace tavi::test
