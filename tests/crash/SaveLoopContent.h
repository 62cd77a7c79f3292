#pragma once

#include "formats/SettingsFiles.h"
#include "platform/ProgramFolder.h"

#include <QRect>
#include <QString>
#include <QStringList>

// What crash-save-loop writes in its round n, shared with the test that
// checks what a kill left behind. Every file of a round but configSetBg.ini
// (one bit) names n, so it cannot pass for another round's.
namespace tavi::crash {

constexpr int kSlot = 1;
inline QString yearMonth() { return QStringLiteral("20266"); }

// Where the program keeps each file, spelt as the program spells it.
inline QString databasePath(const QString &folder) { return resolvePath(folder, QStringLiteral("Data\\UserData.db")); }
inline QString formSizePath(const QString &folder) { return resolvePath(folder, QStringLiteral("data\\FormSize.ini")); }
inline QString contentPath(const QString &folder) { return resolvePath(folder, QStringLiteral("Data\\content.ini")); }
inline QString configSetBgPath(const QString &folder)
{
    return resolvePath(folder, QStringLiteral("data\\configSetBg.ini"));
}
inline QString picListPath(const QString &folder) { return resolvePath(folder, QStringLiteral("Data\\BGPicList.ini")); }
inline QString passwordPath(const QString &folder) { return resolvePath(folder, QStringLiteral("Data\\loginstr.db")); }
inline QString backupFolder(const QString &folder) { return resolvePath(folder, QStringLiteral("Data\\backups")); }

// A few KB of Chinese per box, rotated every round so that most bytes change.
inline QString dayText(qint64 n, int day)
{
    static const QString paragraph = QStringLiteral(
        "周一上午九点开会，讨论下季度的工作计划；下午整理报表并交给财务部。周二拜访客户，带上合同样本和报价单。"
        "周三复查项目进度，记得给王经理回电话。周四参加培训，晚上去超市买菜、水果和牛奶。周五提交周报，准备周末的家庭聚会。");
    const qsizetype shift = (n * 7 + day * 13) % paragraph.size();
    return QStringLiteral("第%1次保存，第%2天：").arg(n).arg(day + 1)
        + (paragraph.mid(shift) + paragraph.left(shift)).repeated(6);
}

inline QStringList memoLines(qint64 n)
{
    return {QStringLiteral("第%1周备忘").arg(n), QStringLiteral("交房租、续办公积金"),
            QStringLiteral("第%1号快递待取").arg(n % 1000)};
}

// The left edge tells the rounds of one run apart (runs number their rounds
// from a multiple of a million) and stays inside the bounds a window can have.
inline QStringList formSizeLines(qint64 n)
{
    return windowSettingsLines(int(n % 5) + 1,
                               QRect(int(n % 1000000), int(n % 400), 906 + int(n % 50), 540 + int(n % 30)),
                               QString::number(n % 12 + 1));
}

inline QString configSetBgLine(qint64 n) { return n % 2 ? QStringLiteral("1") : QStringLiteral("0"); }

inline QString currentPicture(qint64 n) { return QStringLiteral("背景%1.bmp").arg(n); }
inline QStringList pictures(qint64 n)
{
    return {QStringLiteral("A1.bmp"), QStringLiteral("风景%1.bmp").arg(n), currentPicture(n),
            QStringLiteral("家人合影%1.bmp").arg(n % 7)};
}

inline QString password(qint64 n) { return QStringLiteral("口令%1").arg(n); }

// The time crash-save-loop's clock shows in round n (seconds since 1970):
// eleven minutes a round, so that every save keeps the state it replaces as a
// version, and three days more for each run (runs number their rounds from a
// multiple of a million), so that daily backups and the thinning of old
// versions happen too.
inline qint64 roundTime(qint64 n) { return 1700000000 + (n / 1000000) * 3 * 86400 + (n % 1000000) * 660; }

// The round a day's text names ("第N次保存"), or -1.
inline qint64 roundNamed(const QString &text)
{
    if (!text.startsWith(u'第'))
        return -1;
    bool ok = false;
    const qint64 n = text.section(u'次', 0, 0).mid(1).toLongLong(&ok);
    return ok ? n : -1;
}

} // namespace tavi::crash
