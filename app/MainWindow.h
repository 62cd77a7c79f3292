#pragma once

#include "app/WindowChrome.h"
#include "editing/EditingCommands.h"
#include "notes/WeekNotes.h"
#include "platform/ProgramState.h"

#include <QDate>
#include <QUrl>
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

class Clock;
class Dialogs;
class RichEdit;
class Screen;
class TDeskBGSetFrm;
class TPicSelFrm;
class TInforFrm;
class TpwsetFrm;
class TLockLogin;
class WebPanel;
class TMixPicFrm;
class TDM;

// The application title: the taskbar text and the caption of its messages.
extern const char16_t *const kApplicationTitle;

// "今天是 2010年6月6日(日)": no leading zeros, ASCII brackets.
QString dateLabelText(const QDate &date);

// What the main window works with, handed in by the program entry (tests
// hand in fakes).
struct MainFrmServices {
    QString programFolder;
    TDM &dm;
    TDeskBGSetFrm &deskBG;
    TMixPicFrm &mixPic;
    ProgramState &state;
    const Clock &clock;
    const Screen &screen;
    Dialogs &dialogs;
    std::function<void()> endProgram; // asks the program to end
};

// The main window: header, left panel and the week page of six day boxes.
class TMainFrm : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kDesignSize{898, 501};

    explicit TMainFrm(const MainFrmServices &services, QWidget *parent = nullptr);
    ~TMainFrm() override;

    // The start-up sequence, run once by the program entry before the window is shown.
    void FormCreate();
    void FormShow();
    void FormResize();
    // The close button: save the week and the window settings, then end the program.
    void img_close_highlightClick();
    // "退出程序", and any other close: end at once, without saving anything again.
    void N_ExitPrjClick();
    // The minimise picture button: the window goes to the taskbar.
    void img_mini_highlightClick();
    // The maximise picture button: toggles between full width and 906 x 540.
    void img_max_highlightClick();
    // Which caption button pictures are visible.
    const ChromePictures &captionPictures() const { return pictures_; }
    QLabel *captionPicture(const char *name) const;
    QLabel *background() const { return imgBG; }
    WebPanel *webPanel() const { return pnlWeb; }
    void LoadWindowSettings();
    void SaveWindowSettings();

    // Week slots and months.
    void weekSlotSwitch(int slot);
    void monthSwitch(int month);
    void colourWeekButtons(int slot);
    void lblMonthClick();
    void lblSetClick();
    // "内容导出": the shown week into a text file.
    void N_Click();
    void edtMonthChange();
    // The automatic save of every day box's change and focus loss.
    void redt1Exit();
    // Copies the six boxes' plain text into the content picture's week list.
    void FillWeekCon();
    // Reads the background list (see tavi::LoadBGList).
    void LoadBGList(bool changed);
    // Opens the background selection window, then reloads the list.
    void imgAddToDeskClick();
    // The windows it opens, each made by its owner when first asked for.
    struct OtherWindows {
        std::function<TPicSelFrm &()> picSel;
        std::function<TInforFrm &()> inforFrm;
        std::function<TpwsetFrm &()> pwsetFrm;
    };
    void attachWindows(OtherWindows windows) { windows_ = std::move(windows); }
    // The login gate: asks for the password when one is set; a refusal ends the program.
    void CheckLogin();
    // True when start-up was refused (the login): the program must end before the user can work.
    bool endedDuringStartUp() const { return refused_; }
    // "登陆密码": the password settings window.
    void N7Click();
    // Apply to desktop: after the question (unless switched off), the shown
    // week becomes the wallpaper on the next background of the list.
    void imgAppToDeskClick();

    // State the other windows and the tests read.
    int CurrentWeekSlot = 1;
    QString SelectedYear;
    QString SelectedMonth;
    QString SelectedYearMonth;
    bool FormShown = false;
    QString CurrentBGPic;
    int BGPicIndex = 0;

    const std::array<RichEdit *, kDayBoxCount> &dayBoxes() const { return redt_; }
    QPushButton *weekButton(int slot) const { return weekButtons_[slot - 1]; }
    QLabel *monthLabel() const { return lblMonth; }
    QMenu *monthMenu() const { return ppMonth; }
    QLabel *dateLabel() const { return lblDateTime; }
    QWidget *weekPage() const { return tsMain; }
    QLineEdit *hiddenMonthField() const { return edtMonth; }
    RichEdit *memoBox() const { return rdtMain; }
    QMenu *optionsMenu() const { return popSysset; }
    QMenu *dayBoxMenu() const { return pmDeskTopMonCal; }
    EditingCommands &editing() { return *editing_; }
    QPushButton *tickButton() const { return btnGou; }
    QPushButton *crossButton() const { return btnX; }
    QPushButton *clearButton() const { return btnClearRdt; }
    QLabel *dateButton() const { return imgDate; }
    QLabel *colourButton() const { return imgRedColor; }
    QLabel *addBackgroundButton() const { return imgAddToDesk; }
    QLabel *applyButton() const { return imgAppToDesk; }

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
    // A handler that reports any error it does not catch itself.
    std::function<void()> reported(std::function<void()> handler);
    QPushButton *toolButton(const char *name, const QString &caption, const QRect &place);
    QLabel *pictureButton(const char *name, const QString &hint, const QPixmap &picture, const QRect &place);
    void buildWeekPage();
    void ArrangeWeekPage();
    void setSelectedMonth(const QString &month);
    // The panel's page for the shown month.
    void showPanelPage();
    QString dataPath(const char *relativePath) const;
    void loadMemoFile();
    void loadWallpaperQuestion();
    // Writes a settings file; a failure is kept for the one report after start-up.
    void writeAtStartUp(const QString &path, const QStringList &lines);
    // Whether the shown week may be left: it is stored, or the user lets its
    // unsaved edits go. mayLeaveShownWeek tries one more save first.
    bool unsavedMayGo(const QString &question);
    bool mayLeaveShownWeek(const QString &question);

    MainFrmServices services_;
    std::unique_ptr<WeekNotes> weekNotes_;
    std::unique_ptr<EditingCommands> editing_;
    bool ending_ = false;
    QStringList startUpFailures_;
    // The bounds the close path remembers (FormSize.ini lines 2 to 5).
    QRect windowBounds_;
    // Controls that keep their distance from the right edge, with their design places.
    std::vector<std::pair<QWidget *, QRect>> rightAnchored_;

    QLabel *imgBG = nullptr;
    // close, minimise and maximise: normal, highlight and down pictures each
    std::array<std::array<QLabel *, 3>, 3> caption_{};
    ChromePictures pictures_;
    QLabel *imgLogo = nullptr;
    QLabel *lblDateTime = nullptr;
    std::array<QPushButton *, 5> weekButtons_{};
    QLabel *lblMonth = nullptr;
    QMenu *ppMonth = nullptr;
    QLineEdit *edtMonth = nullptr;
    QSpinBox *ud_Month = nullptr;
    QPushButton *btnGou = nullptr;
    QPushButton *btnX = nullptr;
    QLabel *imgDate = nullptr;
    QLabel *imgRedColor = nullptr;
    QPushButton *btnClearRdt = nullptr;
    QMenu *pmDeskTopMonCal = nullptr;
    QLabel *lblSet = nullptr;
    QMenu *popSysset = nullptr;
    QFrame *pnlLeft = nullptr;
    QLabel *imgAddToDesk = nullptr;
    WebPanel *pnlWeb = nullptr;
    OtherWindows windows_;
    TLockLogin *loginWindow_ = nullptr; // created by the gate when a password is set
    bool refused_ = false;
    QLabel *imgAppToDesk = nullptr;
    bool wallpaperFailureShown_ = false; // told once per run
    bool applying_ = false;
    QFrame *pngRight = nullptr;
    RichEdit *rdtMain = nullptr;
    QWidget *pgcMain = nullptr;
    QWidget *tsMain = nullptr;
    QLabel *imgtitle_year1 = nullptr;
    QLabel *imgtitle_year2 = nullptr;
    std::array<QLabel *, 6> lblweek_{};
    QFrame *pnl_yearLine0 = nullptr;
    QFrame *pnl_yearLine1 = nullptr;
    QFrame *pnl_yearLine2 = nullptr;
    QFrame *pnl_yearLineREdge = nullptr;
    QFrame *pnl_buttonline = nullptr;
    std::array<RichEdit *, kDayBoxCount> redt_{};
};

} // namespace tavi
