#pragma once

#include <QDate>
#include <QString>

class QWidget;

namespace tavi {

class Dialogs;

// The program's version, as the build names it.
QString programVersion();

// The panel's page: the calendar of the month the main window shows (Monday
// first), today marked when it falls in that month, and a few tips on the day
// boxes. A month outside 1..12 shows today's month.
QString panelPageHtml(const QDate &today, int shownYear, int shownMonth);

// "帮助说明": how to use every command, and where the notes of programFolder are kept.
QString helpPageHtml(const QString &programFolder);

// The project's issue page (TAVI_ISSUES_URL at build time); empty when none is configured.
QString issuesPage();

// "意见反馈": opens the issue page when there is one, else says how to report
// a problem and what to include.
void giveFeedback(Dialogs &dialogs, QWidget *owner, const QString &issuesPage);

} // namespace tavi
