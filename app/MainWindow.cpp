#include "app/MainWindow.h"

#include "notes/WeekDayName.h"
#include "notes/NotesDatabase.h"
#include "app/WeekPageLayout.h"
#include "platform/Clock.h"
#include "app/ProgramPages.h"
#include "app/WebPanel.h"
#include "formats/SettingsFiles.h"
#include "backgrounds/BackgroundList.h"
#include "dialogs/BackgroundsDialog.h"
#include "login/PasswordFile.h"
#include "dialogs/LoginDialog.h"
#include "dialogs/PasswordDialog.h"
#include "wallpaper/ApplyToDesktop.h"
#include "wallpaper/WeekPicture.h"
#include "dialogs/ApplyQuestionDialog.h"
#include "editing/Export.h"
#include "platform/Dialogs.h"
#include "widgets/Skin.h"
#include "widgets/WindowMove.h"
#include "widgets/EventHook.h"
#include "formats/LineFile.h"
#include "platform/ProgramFolder.h"
#include "widgets/RichEdit.h"
#include "platform/Screen.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QFontMetricsF>
#include <QIcon>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>

namespace tavi {
namespace {

QFont songFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void setBackground(QWidget *widget, const QColor &colour)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    widget->setPalette(pal);
}

QFrame *blackBar(QWidget *parent)
{
    auto *bar = new QFrame(parent);
    setBackground(bar, Qt::black);
    return bar;
}


// Reads a settings file; an unreadable one counts as missing content but is
// not replaced, and the failure is reported with the others.
std::optional<QStringList> readAtStartUp(const QString &path, QStringList &failures, bool &exists)
{
    exists = QFileInfo::exists(path);
    try {
        return readLineFile(path);
    } catch (const FileError &error) {
        failures.append(QString::fromUtf8(error.what()));
        return std::nullopt;
    }
}

// Opens menu below label; from then on a right click on the label opens it too.
void popUpBelow(QLabel *label, QMenu *menu)
{
    if (label->contextMenuPolicy() != Qt::CustomContextMenu) {
        label->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(label, &QWidget::customContextMenuRequested, menu,
                         [label, menu](const QPoint &at) { menu->popup(label->mapToGlobal(at)); });
    }
    menu->popup(label->mapToGlobal(QPoint(0, label->height())));
}

// Plain pictures for the date and colour buttons until the skins arrive.
QPixmap datePicture()
{
    QPixmap picture(44, 15);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QColor(0x5B, 0x7F, 0xB5));
    painter.drawRect(0, 0, 43, 14);
    painter.setFont(songFont(11));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("日期"));
    return picture;
}

QPixmap colourPicture()
{
    QPixmap picture(20, 11);
    picture.fill(QColor(255, 0, 0));
    QPainter painter(&picture);
    painter.setPen(QColor(0x80, 0, 0));
    painter.drawRect(0, 0, 19, 10);
    return picture;
}

const QColor kDayBoxGrey(0xF7, 0xF7, 0xF7); // the Saturday/Sunday box
const QString kCloseQuestion = QStringLiteral("本周内容未能保存，退出后将会丢失。\n仍要退出吗？");
const QString kSwitchQuestion = QStringLiteral("本周内容未能保存，切换后将会丢失。\n仍要切换吗？");
constexpr QRect kLeftPanel(4, 80, 302, 441);
constexpr QRect kRightPanel(315, 80, 579, 416);
// The page container's inner margins around the week page.
constexpr int kPageLeft = 4, kPageTop = 4, kPageRightMargin = 4, kPageBottomMargin = 6;

} // namespace

const char16_t *const kApplicationTitle = u"Tavi周记事本";

QString dateLabelText(const QDate &date)
{
    return QStringLiteral("今天是 %1年%2月%3日(%4)")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(weekdayNumeral(date.dayOfWeek()));
}

TMainFrm::TMainFrm(const MainFrmServices &services, QWidget *parent) : QWidget(parent), services_(services)
{
    setWindowTitle(QStringLiteral("Tavi桌面记事"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setBackground(this, Qt::white);
    buildChrome();
    buildHeader();
    buildWeekPage();
    weekNotes_ = std::make_unique<WeekNotes>(services_.dm, services_.state, redt_);
    weekNotes_->saveFailed = [this](const QString &reason) {
        services_.dialogs.showError(this, QStringLiteral("本周内容未能保存：") + reason);
    };
    weekNotes_->loadFailed = [this](const QString &reason) {
        services_.dialogs.showError(this, QStringLiteral("本周内容未能读取：") + reason);
    };
    editing_ = std::make_unique<EditingCommands>(tsMain, services_.clock, services_.dialogs, [this] {
        weekNotes_->SaveWeek(CurrentWeekSlot, SelectedYearMonth);
    });
    buildToolbar();
    buildDayBoxMenu();
    resize(kDesignSize);
}

TMainFrm::~TMainFrm() = default;

void TMainFrm::buildHeader()
{
    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(programLogo(QSize(210, 56)));
    imgLogo->setGeometry(55, 11, 210, 56);
    setWindowIcon(QIcon(programLogo(QSize(64, 64))));

    lblDateTime = new QLabel(this);
    lblDateTime->setFont(songFont(12));
    lblDateTime->move(343, 19);

    for (int slot = 1; slot <= 5; ++slot) {
        auto *button = new QPushButton(QString(QChar(u'A' + slot - 1)), this);
        button->setObjectName(QStringLiteral("btn") + button->text());
        button->setFlat(true);
        button->setFont(songFont(16, true));
        button->setFocusPolicy(Qt::NoFocus); // clicking a slot must not take the focus from a box
        button->setGeometry(469 + 26 * (slot - 1), 55, 23, 22);
        connect(button, &QPushButton::clicked, this, reported([this, slot] { weekSlotSwitch(slot); }));
        weekButtons_[slot - 1] = button;
    }

    lblMonth = new QLabel(this);
    lblMonth->setObjectName(QStringLiteral("lblMonth"));
    lblMonth->setFont(songFont(29, true));
    QPalette blue = lblMonth->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    lblMonth->setPalette(blue);
    lblMonth->setCursor(Qt::PointingHandCursor);
    lblMonth->move(635, 49);
    onClick(lblMonth, reported([this] { lblMonthClick(); }));
    rightAnchored_.emplace_back(lblMonth, QRect(635, 49, 0, 0));

    ppMonth = new QMenu(this);
    for (int month = 1; month <= 12; ++month) {
        QAction *item = ppMonth->addAction(QStringLiteral("%1月").arg(month));
        item->setObjectName(QStringLiteral("N_Month%1").arg(month));
        connect(item, &QAction::triggered, this, reported([this, month] { monthSwitch(month); }));
    }

    // The hidden month field and its up-down control.
    edtMonth = new QLineEdit(QStringLiteral("1"), this);
    edtMonth->hide();
    ud_Month = new QSpinBox(this);
    ud_Month->setRange(1, 12);
    ud_Month->setValue(1);
    ud_Month->hide();
    connect(ud_Month, &QSpinBox::valueChanged, edtMonth, [this](int month) {
        edtMonth->setText(QString::number(month));
    });
    connect(edtMonth, &QLineEdit::textChanged, this, [this] { edtMonthChange(); });

    // The options label and its menu; the chrome issue gives it all its items.
    lblSet = new QLabel(QStringLiteral("|  选项"), this);
    lblSet->setObjectName(QStringLiteral("lblSet"));
    lblSet->setFont(songFont(12));
    lblSet->setCursor(Qt::PointingHandCursor);
    lblSet->move(746, 60);
    lblSet->adjustSize();
    rightAnchored_.emplace_back(lblSet, QRect(746, 60, 0, 0));
    popSysset = new QMenu(this);
    QAction *exportItem = popSysset->addAction(QStringLiteral("内容导出"));
    exportItem->setObjectName(QStringLiteral("N_"));
    connect(exportItem, &QAction::triggered, this, reported([this] { N_Click(); }));
    popSysset->addSeparator()->setObjectName(QStringLiteral("N8"));
    QAction *passwordItem = popSysset->addAction(QStringLiteral("登陆密码"));
    passwordItem->setObjectName(QStringLiteral("N7"));
    connect(passwordItem, &QAction::triggered, this, reported([this] { N7Click(); }));
    QAction *help = popSysset->addAction(QStringLiteral("帮助说明"));
    help->setObjectName(QStringLiteral("N_help"));
    connect(help, &QAction::triggered, this, reported([this] {
                services_.dialogs.showPage(this, QStringLiteral("帮助说明 - Tavi周记事本"), helpPageHtml(services_.programFolder));
            }));
    QAction *feedback = popSysset->addAction(QStringLiteral("意见反馈"));
    feedback->setObjectName(QStringLiteral("N_Submit"));
    connect(feedback, &QAction::triggered, this, reported([this] { giveFeedback(services_.dialogs, this, issuesPage()); }));
    popSysset->addSeparator()->setObjectName(QStringLiteral("N4"));
    QAction *exit = popSysset->addAction(QStringLiteral("退出程序"));
    exit->setObjectName(QStringLiteral("N_ExitPrj"));
    connect(exit, &QAction::triggered, this, reported([this] { N_ExitPrjClick(); }));
    onClick(lblSet, reported([this] { lblSetClick(); }));

    pnlLeft = new QFrame(this);
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    pnlLeft->setGeometry(kLeftPanel);
    pnlWeb = new WebPanel(pnlLeft);
    pnlWeb->setGeometry(1, 1, 300, 250);
    imgAddToDesk = new QLabel(pnlLeft);
    imgAddToDesk->setObjectName(QStringLiteral("imgAddToDesk"));
    imgAddToDesk->setPixmap(buttonPicture(QStringLiteral("添加桌面背景"), QSize(120, 28)));
    imgAddToDesk->setCursor(Qt::PointingHandCursor);
    imgAddToDesk->setGeometry(1, 262, 120, 28);
    onClick(imgAddToDesk, reported([this] { imgAddToDeskClick(); }));

    imgAppToDesk = new QLabel(this);
    imgAppToDesk->setObjectName(QStringLiteral("imgAppToDesk"));
    imgAppToDesk->setPixmap(buttonPicture(QStringLiteral("应用到桌面"), QSize(84, 29)));
    imgAppToDesk->setCursor(Qt::PointingHandCursor);
    imgAppToDesk->setGeometry(810, 49, 84, 29);
    onClick(imgAppToDesk, reported([this] { imgAppToDeskClick(); }));
    rightAnchored_.emplace_back(imgAppToDesk, QRect(810, 49, 84, 29));
}

void TMainFrm::buildChrome()
{
    // The background: white with a thin light-blue outline. Pressing any button on it moves the
    // window, or resizes it near an edge; the mouse passing over it resets the caption pictures.
    imgBG = new QLabel(this);
    imgBG->setObjectName(QStringLiteral("imgBG"));
    imgBG->setStyleSheet(QStringLiteral("background: white; border: 1px solid rgb(216, 227, 243);"));
    imgBG->setMouseTracking(true);
    new WindowMove(imgBG, 4);
    onEvent(imgBG, QEvent::MouseMove, [this] { applyChrome(ChromeEvent::MouseOverBackground); });

    const struct {
        CaptionButton kind;
        const char *name;
        QRect normal;
        QPoint pressedAt; // highlight and down pictures
        ChromeEvent over, press;
        std::function<void()> action;
    } buttons[] = {
        {CaptionButton::Close, "close", QRect(858, 1, 39, 20), QPoint(858, 1), ChromeEvent::MouseOverCloseNormal,
         ChromeEvent::PressOnCloseHighlight, [this] { img_close_highlightClick(); }},
        {CaptionButton::Mini, "mini", QRect(802, 1, 28, 20), QPoint(801, 1), ChromeEvent::MouseOverMiniNormal,
         ChromeEvent::PressOnMiniHighlight, [this] { img_mini_highlightClick(); }},
        {CaptionButton::Max, "max", QRect(830, 1, 28, 20), QPoint(830, 1), ChromeEvent::MouseOverMaxNormal,
         ChromeEvent::PressOnMaxHighlight, [this] { img_max_highlightClick(); }},
    };
    static const char *const states[] = {"normal", "highlight", "down"};
    for (const auto &button : buttons) {
        auto &pictures = caption_[std::size_t(button.kind)];
        for (int state = 0; state < 3; ++state) {
            auto *picture = new QLabel(this);
            picture->setObjectName(QStringLiteral("img_%1_%2").arg(QLatin1String(button.name), QLatin1String(states[state])));
            picture->setPixmap(tavi::captionPicture(button.kind, state, button.normal.size()));
            const QRect place(state == 0 ? button.normal.topLeft() : button.pressedAt, button.normal.size());
            picture->setGeometry(place);
            rightAnchored_.emplace_back(picture, place);
            pictures[std::size_t(state)] = picture;
        }
        pictures[0]->setMouseTracking(true);
        onEvent(pictures[0], QEvent::MouseMove, [this, event = button.over] { applyChrome(event); });
        onEvent(pictures[1], QEvent::MouseButtonPress, [this, event = button.press] { applyChrome(event); });
        // The press shows the down picture over the highlight; the release may reach either.
        onClick(pictures[1], reported(button.action));
        onClick(pictures[2], reported(button.action));
    }
    applyChrome(ChromeEvent::MouseOverBackground);
}

void TMainFrm::applyChrome(ChromeEvent event)
{
    pictures_ = applyChromeEvent(pictures_, event);
    const ChromePictures::Button *states[] = {&pictures_.close, &pictures_.mini, &pictures_.max};
    for (std::size_t i = 0; i < 3; ++i) {
        caption_[i][0]->setVisible(states[i]->normal);
        // The highlight stays under the down picture: hiding the picture that took
        // the press would make Qt drop the release, and the click with it.
        caption_[i][1]->setVisible(states[i]->highlight || states[i]->down);
        caption_[i][2]->setVisible(states[i]->down);
        for (QLabel *picture : caption_[i])
            picture->raise();
    }
}

QLabel *TMainFrm::captionPicture(const char *name) const
{
    return findChild<QLabel *>(QLatin1String(name));
}

void TMainFrm::img_mini_highlightClick()
{
    // The taskbar entry stays, so the window comes back from it at the bounds it had.
    showMinimized();
    applyChrome(ChromeEvent::MiniClicked);
}

void TMainFrm::img_max_highlightClick()
{
    applyChrome(ChromeEvent::MaxClicked);
    setGeometry(maximiseToggle(geometry(), services_.screen.geometry()));
}

std::function<void()> TMainFrm::reported(std::function<void()> handler)
{
    return [this, handler = std::move(handler)] { runReportingErrors(services_.dialogs, this, handler); };
}

QPushButton *TMainFrm::toolButton(const char *name, const QString &caption, const QRect &place)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus); // the day box being typed in keeps the focus
    button->setGeometry(place);
    return button;
}

QLabel *TMainFrm::pictureButton(const char *name, const QString &hint, const QPixmap &picture, const QRect &place)
{
    auto *label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setPixmap(picture);
    label->setToolTip(hint);
    label->setCursor(Qt::PointingHandCursor);
    label->setFocusPolicy(Qt::NoFocus);
    label->setGeometry(place);
    return label;
}

void TMainFrm::buildToolbar()
{
    btnGou = toolButton("btnGou", QStringLiteral("√"), QRect(341, 55, 23, 22));
    connect(btnGou, &QPushButton::clicked, this, reported([this] { editing_->btnGouClick(); }));
    btnX = toolButton("btnX", QStringLiteral("X"), QRect(365, 55, 23, 22));
    connect(btnX, &QPushButton::clicked, this, reported([this] { editing_->btnXClick(); }));
    imgDate = pictureButton("imgDate", QStringLiteral("插入日期"), datePicture(), QRect(395, 59, 44, 15));
    onClick(imgDate, reported([this] { editing_->imgDateClick(); }));
    imgRedColor = pictureButton("imgRedColor", QStringLiteral("字体颜色"), colourPicture(), QRect(441, 61, 20, 11));
    onClick(imgRedColor, reported([this] { editing_->imgRedColorClick(this); }));
    btnClearRdt = toolButton("btnClearRdt", QStringLiteral("内容清空"), QRect(683, 55, 57, 22));
    btnClearRdt->setFont(songFont(12));
    connect(btnClearRdt, &QPushButton::clicked, this, reported([this] { editing_->btnClearRdtClick(); }));
    rightAnchored_.emplace_back(btnClearRdt, QRect(683, 55, 57, 22));
}

void TMainFrm::buildDayBoxMenu()
{
    pmDeskTopMonCal = new QMenu(this);
    const struct {
        const char *name;
        const char *caption; // nullptr: a separator
        void (EditingCommands::*command)();
    } items[] = {
        {"N1", "复制", &EditingCommands::N1Click},     {"N2", "粘贴", &EditingCommands::N2Click},
        {"N9", "删除", &EditingCommands::N9Click},     {"N3", "剪切", &EditingCommands::N3Click},
        {"N6", nullptr, nullptr},                      {"V1", "打V", &EditingCommands::V1Click},
        {"X1", "打X", &EditingCommands::X1Click},      {"N5", nullptr, nullptr},
        {"CtrlZ1", "撤销(Ctrl+Z)", &EditingCommands::CtrlZ1Click},
    };
    for (const auto &item : items) {
        if (!item.caption) {
            pmDeskTopMonCal->addSeparator()->setObjectName(QLatin1String(item.name));
            continue;
        }
        QAction *action = pmDeskTopMonCal->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        connect(action, &QAction::triggered, this, reported([this, command = item.command] {
                    (editing_.get()->*command)();
                }));
    }
    for (RichEdit *box : redt_)
        box->setContextMenu(pmDeskTopMonCal);
    rdtMain->setContextMenu(pmDeskTopMonCal);
}

void TMainFrm::buildWeekPage()
{
    pngRight = new QFrame(this);
    pngRight->setObjectName(QStringLiteral("pngRight"));
    pngRight->setGeometry(kRightPanel);

    // The memo box lies under the page container and is never seen. Hidden, it
    // is never laid out: a long unbroken line from content.ini would take
    // minutes to lay out on the first show.
    rdtMain = new RichEdit(pngRight);
    rdtMain->setObjectName(QStringLiteral("rdtMain"));
    rdtMain->hide();
    pgcMain = new QWidget(pngRight);
    pgcMain->setObjectName(QStringLiteral("pgcMain"));
    tsMain = new QWidget(pgcMain);
    tsMain->setObjectName(QStringLiteral("tsMain"));
    setBackground(tsMain, Qt::white);

    imgtitle_year1 = new QLabel(tsMain);
    imgtitle_year2 = new QLabel(tsMain);
    for (QLabel *strip : {imgtitle_year1, imgtitle_year2})
        setBackground(strip, kSkinLight);

    pnl_yearLine0 = blackBar(tsMain);
    pnl_yearLine1 = blackBar(tsMain);
    pnl_yearLine2 = blackBar(tsMain);
    pnl_yearLineREdge = blackBar(tsMain);
    pnl_buttonline = blackBar(tsMain);

    static const char *const weekdays[] = {"周 一", "周 二", "周 三", "周 四", "周 五", "周 六/日"};
    for (int day = 0; day < kDayBoxCount; ++day) {
        auto *box = new RichEdit(tsMain);
        box->setObjectName(QStringLiteral("redt%1").arg(day + 1));
        box->setFont(songFont(15));
        box->setBackgroundColor(day == 5 ? kDayBoxGrey : QColor(Qt::white));
        box->setHideSelectionOnFocusLoss(day != 0 && day != 5);
        connect(box, &RichEdit::changed, this, reported([this] { redt1Exit(); }));
        connect(box, &RichEdit::focusLost, this, reported([this] { redt1Exit(); }));
        redt_[day] = box;

        auto *label = new QLabel(QString::fromUtf8(weekdays[day]), tsMain);
        label->setFont(songFont(12));
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->adjustSize();
        lblweek_[day] = label;
    }
    // Labels lie over the title strips.
    for (QLabel *label : lblweek_)
        label->raise();
}

void TMainFrm::FormCreate()
{
    // Qt paints every widget double-buffered already.
    CurrentBGPic.clear();
    services_.state.PicBGCount = 0;
    services_.state.PicBGList.clear();
    CurrentWeekSlot = 1;
    services_.state.NotesReady = false;
    FormShown = false;

    CheckLogin();

    const QDate today = services_.clock.today();
    lblDateTime->setText(dateLabelText(today));
    lblDateTime->adjustSize();

    SelectedYear = QString::number(today.year());
    SelectedMonth = QString::number(today.month());
    SelectedYearMonth = SelectedYear + SelectedMonth;
    ud_Month->setValue(today.month()); // FormShown is false: the field's change does nothing
    edtMonth->setText(SelectedMonth);
    lblMonth->setText(SelectedMonth);
    lblMonth->adjustSize();

    loadMemoFile();
    loadWallpaperQuestion();
    try {
        LoadBGList(false);
    } catch (const std::exception &error) {
        startUpFailures_.append(QString::fromUtf8(error.what()));
    }
    LoadWindowSettings();

    colourWeekButtons(CurrentWeekSlot);
    weekNotes_->LoadWeek(CurrentWeekSlot, SelectedYearMonth);

    // Settings that could not be written are reported once; the week is loaded either way.
    if (!startUpFailures_.isEmpty())
        services_.dialogs.showError(nullptr, startUpFailures_.join(u'\n'));
    startUpFailures_.clear();
}

QString TMainFrm::dataPath(const char *relativePath) const
{
    return resolvePath(services_.programFolder, QString::fromLatin1(relativePath));
}

void TMainFrm::writeAtStartUp(const QString &path, const QStringList &lines)
{
    try {
        writeLineFile(path, lines);
    } catch (const FileError &error) {
        startUpFailures_.append(QString::fromUtf8(error.what()));
    }
}

void TMainFrm::loadMemoFile()
{
    const QString path = dataPath("Data\\content.ini");
    bool exists = false;
    const std::optional<QStringList> lines = readAtStartUp(path, startUpFailures_, exists);
    if (lines)
        rdtMain->setContentText(memoText(*lines));
    else if (!exists)
        writeAtStartUp(path, {rdtMain->plainTextCrLf()});
}

void TMainFrm::loadWallpaperQuestion()
{
    ProgramState &state = services_.state;
    state.AskBeforeSetBg = true;
    state.SetBgConfirmed = 0;
    state.ConfigSetBgPath = dataPath("data\\configSetBg.ini");
    bool exists = false;
    const std::optional<QStringList> lines = readAtStartUp(state.ConfigSetBgPath, startUpFailures_, exists);
    if (lines)
        state.AskBeforeSetBg = askBeforeSetBg(*lines);
    else if (!exists)
        writeAtStartUp(state.ConfigSetBgPath, {QStringLiteral("1")});
}

void TMainFrm::LoadWindowSettings()
{
    const QString path = dataPath("data\\FormSize.ini");
    const QRect screen = services_.screen.geometry();
    bool exists = false;
    const std::optional<QStringList> lines = readAtStartUp(path, startUpFailures_, exists);
    if (lines) {
        const WindowSettings settings = parseWindowSettings(*lines, screen);
        // A slot without a week table would leave the page unsaved without a word.
        CurrentWeekSlot = weekTableName(settings.slot).isEmpty() ? 1 : settings.slot;
        windowBounds_ = settings.bounds;
        if (settings.month) {
            setSelectedMonth(*settings.month);
            bool isNumber = false;
            const int month = settings.month->toInt(&isNumber);
            if (isNumber) {
                ud_Month->setValue(month);
                lblMonth->setText(SelectedMonth);
                lblMonth->adjustSize();
            }
        }
    } else {
        CurrentWeekSlot = 1;
        windowBounds_ = defaultWindowBounds(screen);
    }
    setGeometry(windowBounds_);
    if (!exists)
        writeAtStartUp(path, windowSettingsLines(CurrentWeekSlot, windowBounds_, SelectedMonth));
}

void TMainFrm::SaveWindowSettings()
{
    writeLineFile(dataPath("data\\FormSize.ini"), windowSettingsLines(CurrentWeekSlot, windowBounds_, lblMonth->text()));
}

void TMainFrm::FormShow()
{
    showPanelPage();
    FormShown = true;
}

void TMainFrm::showPanelPage()
{
    pnlWeb->showPage(panelPageHtml(services_.clock.today(), SelectedYear.toInt(), SelectedMonth.toInt()));
}

void TMainFrm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!FormShown)
        FormShow();
}

void TMainFrm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    imgBG->setGeometry(rect());
    const int dx = width() - kDesignSize.width();
    const int dy = height() - kDesignSize.height();
    for (const auto &[widget, design] : rightAnchored_)
        widget->move(design.left() + dx, design.top());
    pngRight->setGeometry(kRightPanel.adjusted(0, 0, dx, dy));
    FormResize();
}

void TMainFrm::FormResize()
{
    ArrangeWeekPage();
}

void TMainFrm::ArrangeWeekPage()
{
    rdtMain->setGeometry(pngRight->rect());
    pgcMain->setGeometry(pngRight->rect());
    const int width = pgcMain->width() - kPageLeft - kPageRightMargin;
    const int height = pgcMain->height() - kPageTop - kPageBottomMargin;
    tsMain->setGeometry(kPageLeft, kPageTop, width, height);

    const WeekPageGeometry g = tavi::ArrangeWeekPage(width, height, kPageLeft, kPageTop);
    pnl_yearLine0->setGeometry(0, 0, 1, height);
    pnl_yearLine1->setGeometry(g.yearLine1Left, 0, 1, height);
    pnl_yearLine2->setGeometry(g.yearLine2Left, 0, 1, height);
    pnl_yearLineREdge->setGeometry(width - 1, 0, 1, height);
    pnl_buttonline->setGeometry(0, height - kButtonLineHeight, width, kButtonLineHeight);
    imgtitle_year1->setGeometry(0, 0, width, kTitleStripHeight);
    imgtitle_year2->setGeometry(0, g.title2Top, width, kTitleStripHeight);
    for (int day = 0; day < kDayBoxCount; ++day) {
        redt_[day]->setGeometry(g.boxes[day]);
        lblweek_[day]->move(g.labels[day]);
    }
    redt_[5]->setBackgroundColor(kDayBoxGrey);
}

void TMainFrm::colourWeekButtons(int slot)
{
    if (slot < 1 || slot > 5)
        return;
    for (int i = 1; i <= 5; ++i) {
        QPalette pal = weekButtons_[i - 1]->palette();
        pal.setColor(QPalette::ButtonText, i == slot ? QColor(255, 0, 0) : QColor(0, 0, 0));
        weekButtons_[i - 1]->setPalette(pal);
    }
}

bool TMainFrm::unsavedMayGo(const QString &question)
{
    return !weekNotes_->unsaved() || services_.dialogs.askYesNo(this, question);
}

bool TMainFrm::mayLeaveShownWeek(const QString &question)
{
    if (weekNotes_->unsaved())
        weekNotes_->SaveWeek(CurrentWeekSlot, SelectedYearMonth); // one more try first
    return unsavedMayGo(question);
}

void TMainFrm::weekSlotSwitch(int slot)
{
    weekNotes_->SaveWeek(CurrentWeekSlot, SelectedYearMonth);
    if (!unsavedMayGo(kSwitchQuestion))
        return;
    colourWeekButtons(slot);
    CurrentWeekSlot = 0; // the coming load's box changes are not saved
    weekNotes_->LoadWeek(slot, SelectedYearMonth);
    CurrentWeekSlot = slot;
}

void TMainFrm::setSelectedMonth(const QString &month)
{
    SelectedMonth = month;
    SelectedYearMonth = SelectedYear + SelectedMonth;
    if (FormShown)
        showPanelPage();
}

void TMainFrm::monthSwitch(int month)
{
    if (!mayLeaveShownWeek(kSwitchQuestion))
        return;
    lblMonth->setText(QString::number(month));
    lblMonth->adjustSize();
    setSelectedMonth(QString::number(month));
    weekNotes_->LoadWeek(CurrentWeekSlot, SelectedYearMonth);
}

void TMainFrm::lblMonthClick()
{
    popUpBelow(lblMonth, ppMonth);
}

void TMainFrm::lblSetClick()
{
    popUpBelow(lblSet, popSysset);
}

void TMainFrm::N_Click()
{
    tavi::N_Click(tsMain, CurrentWeekSlot, services_.dialogs, this);
}

void TMainFrm::edtMonthChange()
{
    if (!FormShown || !mayLeaveShownWeek(kSwitchQuestion))
        return;
    lblMonth->setText(edtMonth->text());
    lblMonth->adjustSize();
    setSelectedMonth(lblMonth->text());
    weekNotes_->LoadWeek(CurrentWeekSlot, SelectedYearMonth);
}

void TMainFrm::FillWeekCon()
{
    std::vector<TWeekCon> &list = services_.deskBG.WeekConList;
    list.resize(kDayBoxCount); // entries already there keep their SubText
    std::size_t n = 0;
    for (RichEdit *box : tavi::dayBoxes(tsMain))
        list[n++].MainText = box->plainTextCrLf();
}

void TMainFrm::CheckLogin()
{
    try {
        const QString path = dataPath("Data\\loginstr.db");
        const std::optional<QStringList> lines = readPasswordFile(path);
        if (!lines) {
            // Laid out like the other files, so that the password window finds it.
            try {
                writeNoPassword(path);
            } catch (const FileError &error) {
                startUpFailures_.append(QString::fromUtf8(error.what()));
            }
            return;
        }
        if (lines->isEmpty() || lines->first() == QLatin1String(kNoPasswordSentinel))
            return;
        if (!loginWindow_)
            loginWindow_ = new TLockLogin(path, services_.state, services_.dialogs, services_.endProgram, this);
        services_.dialogs.runModal(loginWindow_);
        if (!services_.state.LoginPassed) {
            // Refused: nothing is saved on the way out.
            refused_ = true;
            ending_ = true;
            close();
            services_.endProgram();
        }
    } catch (const std::exception &) {
        // a password file that cannot be read asks no login
    }
}

void TMainFrm::N7Click()
{
    if (windows_.pwsetFrm)
        services_.dialogs.runModal(&windows_.pwsetFrm());
}

void TMainFrm::LoadBGList(bool changed)
{
    tavi::LoadBGList(dataPath("Data\\BGPicList.ini"), changed, services_.state, CurrentBGPic, BGPicIndex);
}

void TMainFrm::imgAddToDeskClick()
{
    if (!windows_.picSel)
        return;
    TPicSelFrm &picSel = windows_.picSel();
    picSel.CurrentPic = CurrentBGPic;
    services_.dialogs.runModal(&picSel);
    if (picSel.CurrentPic == CurrentBGPic) {
        LoadBGList(false);
    } else {
        CurrentBGPic = picSel.CurrentPic;
        LoadBGList(true);
    }
}

void TMainFrm::imgAppToDeskClick()
{
    // Setting the wallpaper may wait in a nested event loop; the flow runs to its end first.
    if (applying_)
        return;
    applying_ = true;
    const auto done = qScopeGuard([this] { applying_ = false; });
    ProgramState &state = services_.state;
    if (state.AskBeforeSetBg) {
        if (windows_.inforFrm)
            services_.dialogs.runModal(&windows_.inforFrm());
        if (state.SetBgConfirmed == 0)
            return;
    }
    try {
        FillWeekCon();
        applyToDesktop(services_.deskBG, services_.mixPic, state.PicBGList, BGPicIndex);
    } catch (const WallpaperNotSet &error) {
        // The picture is ready but no way of showing it worked here: say so once, with where it lies.
        if (!wallpaperFailureShown_) {
            wallpaperFailureShown_ = true;
            services_.dialogs.showMessageBox(
                this, QString::fromUtf16(kApplicationTitle),
                QStringLiteral("无法在这个桌面上自动设置壁纸。\n合成好的图片保存在：\n%1\n可以手动把它设为桌面壁纸。")
                    .arg(error.picturePath));
        }
    } catch (const std::exception &) {
        // every other failure ends the apply without a word
    }
}

void TMainFrm::redt1Exit()
{
    weekNotes_->autoSave(FormShown, CurrentWeekSlot, SelectedYearMonth);
}

void TMainFrm::img_close_highlightClick()
{
    runReportingErrors(services_.dialogs, this, [this] {
        weekNotes_->SaveWeek(CurrentWeekSlot, SelectedYearMonth);
        if (!unsavedMayGo(kCloseQuestion))
            return;
        windowBounds_ = geometry();
        SaveWindowSettings(); // a failure is reported and the program goes on
        ending_ = true;
        services_.endProgram();
    });
}

void TMainFrm::N_ExitPrjClick()
{
    // Edits are stored as they are made; only a week whose saves failed makes this wait.
    if (!mayLeaveShownWeek(kCloseQuestion))
        return;
    ending_ = true;
    services_.endProgram();
}

void TMainFrm::closeEvent(QCloseEvent *event)
{
    // Only the close picture takes the close path; any other close ends the program at once.
    if (!ending_)
        N_ExitPrjClick();
    if (ending_)
        event->accept();
    else
        event->ignore();
}

} // namespace tavi
