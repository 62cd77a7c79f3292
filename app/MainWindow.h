#pragma once

#include "app/WindowChrome.h"
#include "backgrounds/BackgroundList.h"
#include "editing/EditingCommands.h"
#include "notes/WeekNotes.h"
#include "wallpaper/ApplyToDesktop.h"

#include <QDate>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;

namespace tavi {

class ApplyQuestionDialog;
class BackgroundsDialog;
class Clock;
class Dialogs;
class NotesDatabase;
class PasswordDialog;
class RichEdit;
class Screen;
class SidePanel;

// The application title: the taskbar text and the caption of its messages.
extern const char16_t *const kApplicationTitle;

// "今天是 2010年6月6日(日)": no leading zeros, ASCII brackets.
QString dateLabelText(const QDate &date);

// What the main window works with, handed in by the program entry (tests
// hand in fakes).
struct MainWindowServices {
    QString programFolder;
    NotesDatabase &notes;
    NotesWriter &writer;
    const Clock &clock;
    const Screen &screen;
    Dialogs &dialogs;
    std::function<void()> endProgram; // asks the program to end
};

// The main window: header, left panel and the week page of six day boxes.
// It owns the windows it opens, each made when first asked for.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kDesignSize{898, 501};

    explicit MainWindow(const MainWindowServices &services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence, run once by the program entry before the window
    // is shown: the login, today's month, the settings files, the background
    // list and the week.
    void startUp();
    // True when start-up was refused (the login): the program must end before the user can work.
    bool endedDuringStartUp() const { return refused_; }
    // How the wallpaper is set (the desktop's setter; tests give their own).
    void setWallpaperSetter(SetWallpaper setter) { setWallpaper_ = std::move(setter); }

    // The caption buttons. Close saves the week and the window settings, then
    // ends the program; minimise sends it to the taskbar; maximise toggles
    // between the screen's width and 906 x 540 (where the compositor alone
    // places windows, between its maximised state and the window's own bounds).
    void closeAndSave();
    void minimise();
    void toggleMaximised();
    // "退出程序", and any other close: ends at once, without saving again.
    void exitProgram();
    // The session ends (logging out, SIGTERM, SIGHUP): the week and the
    // window settings are stored, no question asked, and the program ends.
    void endSession();
    // The same without ending: the session manager asks before a logout
    // that may still be cancelled.
    void storeEverything();

    // Week slots and months.
    void switchSlot(int slot);
    void switchMonth(int month);
    // "上一年", "下一年" (step -1, 1) and "今天" in the month menu.
    void switchYear(int step);
    void showToday();
    // "查找…" and Ctrl+F: the search window; the day chosen is shown, its match selected.
    void openSearch();
    void openMonthMenu();
    void openOptionsMenu();
    // "内容导出": the shown week into a text file.
    void exportWeek();
    // "登陆密码": the password settings window.
    void openPasswordSettings();
    // "历史版本…": the shown week's earlier states; the one chosen is put back.
    void openHistory();
    // "添加桌面背景": the background selection window, then the list again.
    void openBackgrounds();
    // "应用到桌面": after the question (unless switched off), the shown week
    // becomes the wallpaper on the next background of the list.
    void applyToDesktop();

    // The six day boxes' plain texts, Monday first.
    WeekTexts weekTexts() const;

    // What tests and the other parts of the program look at.
    int currentSlot() const { return currentSlot_; }
    QString selectedYearMonth() const { return selectedYear_ + selectedMonth_; }
    bool hasBeenShown() const { return shown_; }
    bool asksBeforeApply() const { return askBeforeApply_; }
    const BackgroundList &backgrounds() const { return backgrounds_; }
    // Reads the background list file again (see BackgroundList::load).
    void loadBackgroundList(bool changed);
    const ChromePictures &captionPictures() const { return pictures_; }
    QLabel *captionPicture(const char *name) const;
    QLabel *background() const { return background_; }
    SidePanel *sidePanel() const { return sidePanel_; }
    const std::array<RichEdit *, kDayBoxCount> &dayBoxes() const { return dayBoxes_; }
    QPushButton *weekButton(int slot) const { return weekButtons_[slot - 1]; }
    QLabel *monthLabel() const { return monthLabel_; }
    QMenu *monthMenu();
    QLabel *dateLabel() const { return dateLabel_; }
    QWidget *weekPage() const { return weekPage_; }
    QLineEdit *hiddenMonthField() const { return hiddenMonth_; }
    RichEdit *memoBox() const { return memoBox_; }
    QMenu *optionsMenu();
    QMenu *dayBoxMenu() const { return dayBoxMenu_; }
    EditingCommands &editing() { return *editing_; }
    QPushButton *tickButton() const { return tickButton_; }
    QPushButton *crossButton() const { return crossButton_; }
    QPushButton *clearButton() const { return clearButton_; }
    QLabel *dateButton() const { return dateButton_; }
    QLabel *colourButton() const { return colourButton_; }
    QLabel *addBackgroundButton() const { return addBackgroundButton_; }
    QLabel *applyButton() const { return applyButton_; }
    // The windows it opens, made on first use.
    BackgroundsDialog &backgroundsDialog();
    ApplyQuestionDialog &applyQuestion();
    PasswordDialog &passwordDialog();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildChrome();
    void applyChrome(ChromeEvent event);
    void buildHeader();
    void buildToolbar();
    void buildDayBoxMenu();
    void buildWeekPage();
    void arrangeWeekPage();
    // A handler that reports any error it does not catch itself.
    std::function<void()> reported(std::function<void()> handler);
    QPushButton *toolButton(const char *name, const QString &caption, const QRect &place);
    QLabel *pictureButton(const char *name, const QString &hint, const QPixmap &picture, const QRect &place);

    // The login gate: asks for the password when one is set; a refusal ends the program.
    void checkLogin();
    void loadMemoFile();
    void loadWallpaperQuestion();
    void loadWindowSettings();
    void saveWindowSettings();
    QString dataPath(const char *relativePath) const;
    // Writes a settings file; a failure is kept for the one report after start-up.
    void writeAtStartUp(const QString &path, const QStringList &lines);
    void setSelectedMonth(const QString &month);
    // The month label shows month (with its year when that is not this one).
    void showMonth(const QString &month);
    // Shows the week of that month and slot (the shown week may be left).
    void showWeekOf(int year, int month, int slot);
    void colourWeekButtons(int slot);
    void showPanelPage();
    void hiddenMonthChanged();

    // The shown week into the day boxes, and the boxes into the notes database.
    void loadWeek(int slot);
    void saveWeek(SaveReason reason = SaveReason::Edit);
    void showWeek(const std::optional<WeekNote> &week);
    // Every change and focus loss of a day box saves the week.
    void dayBoxChanged();
    // Whether the shown week may be left: it is stored, or the user lets its
    // unsaved edits go. mayLeaveShownWeek tries one more save first.
    bool unsavedMayGo(const QString &question);
    bool mayLeaveShownWeek(const QString &question);

    MainWindowServices services_;
    WeekNotes weekNotes_;
    std::unique_ptr<EditingCommands> editing_;
    SetWallpaper setWallpaper_;

    int currentSlot_ = 1;
    QString selectedYear_;
    QString selectedMonth_;
    QString labelMonth_; // the month the label shows, which FormSize.ini keeps
    bool shown_ = false;
    bool askBeforeApply_ = true;
    BackgroundList backgrounds_;
    bool ending_ = false;
    bool refused_ = false;
    bool applying_ = false;
    bool wallpaperFailureShown_ = false; // told once per run
    bool backupFailureShown_ = false;
    QStringList startUpFailures_;
    // The bounds the close path remembers (FormSize.ini lines 2 to 5).
    QRect windowBounds_;
    // Controls that keep their distance from the right edge, with their design places.
    std::vector<std::pair<QWidget *, QRect>> rightAnchored_;

    std::unique_ptr<BackgroundsDialog> backgroundsDialog_;
    std::unique_ptr<ApplyQuestionDialog> applyQuestion_;
    std::unique_ptr<PasswordDialog> passwordDialog_;

    QLabel *background_ = nullptr;
    // close, minimise and maximise: normal, highlight and down pictures each
    std::array<std::array<QLabel *, 3>, 3> caption_{};
    ChromePictures pictures_;
    QLabel *dateLabel_ = nullptr;
    std::array<QPushButton *, 5> weekButtons_{};
    QLabel *monthLabel_ = nullptr;
    QMenu *monthMenu_ = nullptr;
    QLineEdit *hiddenMonth_ = nullptr;
    QSpinBox *monthSpin_ = nullptr;
    QPushButton *tickButton_ = nullptr;
    QPushButton *crossButton_ = nullptr;
    QLabel *dateButton_ = nullptr;
    QLabel *colourButton_ = nullptr;
    QPushButton *clearButton_ = nullptr;
    QMenu *dayBoxMenu_ = nullptr;
    QLabel *optionsLabel_ = nullptr;
    QMenu *optionsMenu_ = nullptr;
    SidePanel *sidePanel_ = nullptr;
    QLabel *addBackgroundButton_ = nullptr;
    QLabel *applyButton_ = nullptr;
    QFrame *rightPanel_ = nullptr;
    RichEdit *memoBox_ = nullptr;
    QWidget *pageContainer_ = nullptr;
    QWidget *weekPage_ = nullptr;
    std::array<QLabel *, 2> titleStrips_{};
    std::array<QLabel *, kDayBoxCount> weekdayLabels_{};
    // The page's black lines: left edge, the two column lines, right edge, bottom.
    std::array<QFrame *, 5> pageLines_{};
    std::array<RichEdit *, kDayBoxCount> dayBoxes_{};
};

} // namespace tavi
