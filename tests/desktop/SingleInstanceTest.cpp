#include "desktop/SingleInstance.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace tavi;

namespace {

struct Folder {
    QTemporaryDir dir;
    Folder() { QDir(dir.path()).mkpath(QStringLiteral("Data")); }
    QString path() const { return dir.path() + u'/'; }
};

} // namespace

TEST(SingleInstance, ALaterStartAsksTheRunningOneToShowItselfAndStops)
{
    Folder folder;
    SingleInstance first(folder.path());
    ASSERT_TRUE(first.claim());
    QSignalSpy shown(&first, &SingleInstance::showRequested);
    {
        SingleInstance second(folder.path());
        EXPECT_FALSE(second.claim());
    }
    EXPECT_TRUE(shown.count() == 1 || shown.wait(2000));

    // Another folder is another program.
    Folder other;
    SingleInstance elsewhere(other.path());
    EXPECT_TRUE(elsewhere.claim());
}

TEST(SingleInstance, TheLockGoesWithTheProcessEvenWhenItIsKilled)
{
    Folder folder;
    for (int start = 0; start < 2; ++start) {
        SingleInstance ended(folder.path()); // a clean end, twice
        ASSERT_TRUE(ended.claim());
    }

    // A process that holds the lock file (as a crashed start did) and is killed.
    QProcess holder;
    holder.start(QStringLiteral("flock"), {QStringLiteral("-o"), folder.path() + QStringLiteral("Data/tavi.lock"), QStringLiteral("sleep"),
                                           QStringLiteral("30")});
    ASSERT_TRUE(holder.waitForStarted());
    QThread::msleep(200);
    {
        SingleInstance whileHeld(folder.path());
        EXPECT_FALSE(whileHeld.claim()); // nobody answers, yet it never starts a second writer
    }
    holder.kill(); // SIGKILL
    holder.waitForFinished();
    SingleInstance afterCrash(folder.path());
    EXPECT_TRUE(afterCrash.claim());
}

TEST(SingleInstance, TheSocketNameIsTheSameForEverySpellingOfTheFolder)
{
    Folder folder;
    EXPECT_EQ(SingleInstance::socketName(folder.path()), SingleInstance::socketName(folder.dir.path()));
    EXPECT_EQ(SingleInstance::socketName(folder.path()),
              SingleInstance::socketName(folder.path() + QStringLiteral("Data/..")));
    EXPECT_NE(SingleInstance::socketName(folder.path()), SingleInstance::socketName(QStringLiteral("/tmp")));
}
