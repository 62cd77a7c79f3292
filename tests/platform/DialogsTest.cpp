#include "platform/Dialogs.h"
#include "formats/LineFile.h"

#include <gtest/gtest.h>

#include <fnmatch.h>

#include <stdexcept>

using namespace tavi;

TEST(ErrorReport, FullStopOnlyAfterCharactersThatSortAfterIt)
{
    EXPECT_EQ(errorReportText(QStringLiteral("Disk full")), QStringLiteral("Disk full."));
    EXPECT_EQ(errorReportText(QStringLiteral("无法写入文件")), QStringLiteral("无法写入文件."));
    EXPECT_EQ(errorReportText(QStringLiteral("code 5")), QStringLiteral("code 5."));
    EXPECT_EQ(errorReportText(QStringLiteral("done.")), QStringLiteral("done."));
    EXPECT_EQ(errorReportText(QStringLiteral("what!")), QStringLiteral("what!"));
    EXPECT_EQ(errorReportText(QStringLiteral("a-")), QStringLiteral("a-"));
    EXPECT_EQ(errorReportText(QString()), QString());
}

namespace {

struct RecordingDialogs : Dialogs {
    void showMessage(QWidget *, const QString &) override {}
    void showMessageBox(QWidget *, const QString &, const QString &) override {}
    void showError(QWidget *, const QString &text) override { errors.append(text); }
    void showNotice(QWidget *, const QString &) override {}
    bool askYesNo(QWidget *, const QString &) override { return false; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return std::nullopt; }
    std::optional<QString> saveFileName(QWidget *, const QString &, const QString &) override { return std::nullopt; }
    std::optional<QString> openFileName(QWidget *, const QString &) override { return std::nullopt; }
    void runModal(QDialog *) override {}
    void openUrl(const QUrl &) override {}
    void showPage(QWidget *, const QString &, const QString &) override {}
    QStringList errors;
};

} // namespace

TEST(ErrorReport, AnUncaughtErrorEndsOnlyTheCommand)
{
    RecordingDialogs dialogs;
    bool after = false;
    runReportingErrors(dialogs, nullptr, [&] {
        throw FileError("无法写入文件 /x/y.txt：No such file or directory");
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("无法写入文件 /x/y.txt：No such file or directory")});
    runReportingErrors(dialogs, nullptr, [&] { after = true; });
    EXPECT_TRUE(after);
    EXPECT_EQ(dialogs.errors.size(), 1);
}

// The GTK file dialog matches its patterns case-sensitively, as fnmatch does.
TEST(FileDialogFilter, PatternsMatchNamesInAnyCase)
{
    const QString filter = dialogNameFilter(QStringLiteral("(*.Bmp; *.JPG; *Gif)|*.bmp; *.jpg; *.jpeg; *.gif"));
    ASSERT_TRUE(filter.startsWith(QStringLiteral("(*.Bmp; *.JPG; *Gif) ("))) << filter.toStdString();
    const QStringList patterns = filter.section(QStringLiteral(") ("), 1).chopped(1).split(u' ');
    const auto shown = [&](const char *name) {
        for (const QString &pattern : patterns)
            if (fnmatch(pattern.toUtf8().constData(), name, 0) == 0)
                return true;
        return false;
    };
    for (const char *name : {"IMG_0001.JPG", "sea.jpg", "Sea.Jpeg", "a.GIF", "壁纸.BMP"})
        EXPECT_TRUE(shown(name)) << name;
    for (const char *name : {"a.png", "jpg", "a.jpg.txt"})
        EXPECT_FALSE(shown(name)) << name;
}
