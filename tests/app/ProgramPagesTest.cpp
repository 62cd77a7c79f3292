// The program's own pages: the panel's calendar and the feedback entry.
#include "app/ProgramPages.h"
#include "tests/support/NotesFixture.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

// The panel's calendar as it reads once laid out: its title, the weeks below
// the heading row, and the days drawn on a coloured cell.
struct Calendar {
    QString title;
    QStringList headings;
    std::vector<QStringList> weeks;
    QStringList marked;
};

QString cellText(const QTextTableCell &cell)
{
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

Calendar readCalendar(const QString &html)
{
    QTextDocument page;
    page.setHtml(html);
    Calendar calendar;
    calendar.title = page.firstBlock().text();
    for (auto it = page.rootFrame()->begin(); !it.atEnd(); ++it) {
        auto *table = qobject_cast<QTextTable *>(it.currentFrame());
        if (!table)
            continue;
        for (int row = 0; row < table->rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                cells.append(cellText(cell));
                if (row > 0 && cell.format().background().style() != Qt::NoBrush)
                    calendar.marked.append(cells.back());
            }
            if (row == 0)
                calendar.headings = cells;
            else
                calendar.weeks.push_back(cells);
        }
    }
    return calendar;
}

} // namespace

TEST(ProgramPages, PanelCalendarMondayFirstWithTodayMarkedInTheShownMonth)
{
    const struct {
        QDate today;
        int shownYear, shownMonth;
        QString title;
        QStringList firstWeek, lastWeek;
        std::size_t weeks;
        QStringList marked;
    } cases[] = {
        // 1 June 2010 is a Tuesday.
        {QDate(2010, 6, 1), 2010, 6, "2010年6月", {"", "1", "2", "3", "4", "5", "6"},
         {"28", "29", "30", "", "", "", ""}, 5, {"1"}},
        // Another month shown: nothing marked; May 2010 needs six rows.
        {QDate(2010, 6, 1), 2010, 5, "2010年5月", {"", "", "", "", "", "1", "2"},
         {"31", "", "", "", "", "", ""}, 6, {}},
        // February 2010 starts on a Monday and fills four rows; today is its last Sunday.
        {QDate(2010, 2, 28), 2010, 2, "2010年2月", {"1", "2", "3", "4", "5", "6", "7"},
         {"22", "23", "24", "25", "26", "27", "28"}, 4, {"28"}},
        {QDate(2012, 2, 29), 2012, 2, "2012年2月", {"", "", "1", "2", "3", "4", "5"},
         {"27", "28", "29", "", "", "", ""}, 5, {"29"}},
        // A month that is no month (a hand-edited FormSize.ini) shows today's.
        {QDate(2010, 6, 1), 2010, 0, "2010年6月", {"", "1", "2", "3", "4", "5", "6"},
         {"28", "29", "30", "", "", "", ""}, 5, {"1"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title.toStdString() + " " + c.today.toString(Qt::ISODate).toStdString());
        const Calendar calendar = readCalendar(panelPageHtml(c.today, c.shownYear, c.shownMonth));
        EXPECT_EQ(calendar.title, c.title);
        EXPECT_EQ(calendar.headings, (QStringList{"一", "二", "三", "四", "五", "六", "日"}));
        ASSERT_EQ(calendar.weeks.size(), c.weeks);
        EXPECT_EQ(calendar.weeks.front(), c.firstWeek);
        EXPECT_EQ(calendar.weeks.back(), c.lastWeek);
        EXPECT_EQ(calendar.marked, c.marked);
    }
}

TEST(ProgramPages, FeedbackOpensTheIssuePageOrSaysHowToReport)
{
    {
        test::FakeDialogs dialogs;
        giveFeedback(dialogs, nullptr, QStringLiteral("https://example.org/tavi/issues"));
        EXPECT_EQ(dialogs.opened, (std::vector<QUrl>{QUrl("https://example.org/tavi/issues")}));
        EXPECT_TRUE(dialogs.shown.empty());
    }
    {
        test::FakeDialogs dialogs;
        giveFeedback(dialogs, nullptr, QString());
        EXPECT_TRUE(dialogs.opened.empty());
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, "message");
        // What to tell: the version filled in, the desktop and the steps asked for.
        EXPECT_FALSE(programVersion().isEmpty());
        EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("Tavi周记事本 ") + programVersion()));
        EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("桌面")));
        EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("步骤")));
    }
}
