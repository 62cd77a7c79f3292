#include "app/MainWindow.h"

#include "app/ProgramPages.h"
#include "app/SidePanel.h"
#include "app/WeekPageLayout.h"
#include "dialogs/ApplyQuestionDialog.h"
#include "dialogs/BackgroundsDialog.h"
#include "dialogs/HistoryDialog.h"
#include "dialogs/LoginDialog.h"
#include "dialogs/PasswordDialog.h"
#include "dialogs/SearchDialog.h"
#include "editing/Export.h"
#include "formats/LineFile.h"
#include "formats/SettingsFiles.h"
#include "login/PasswordFile.h"
#include "notes/NotesDatabase.h"
#include "notes/WeekDayName.h"
#include "notes/WeekHistory.h"
#include "storage/Database.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/ProgramFolder.h"
#include "platform/Screen.h"
#include "widgets/EventHook.h"
#include "widgets/RichEdit.h"
#include "widgets/Skin.h"
#include "widgets/WindowMove.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QTextCursor>
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
    QPixmap picture = skinPixmap(QSize(44, 15), Qt::white);
    QPainter painter(&picture);
    painter.setPen(QColor(0x5B, 0x7F, 0xB5));
    painter.drawRect(0, 0, 43, 14);
    painter.setFont(songFont(11));
    painter.drawText(QRect(0, 0, 44, 15), Qt::AlignCenter, QStringLiteral("日期"));
    return picture;
}

QPixmap colourPicture()
{
    QPixmap picture = skinPixmap(QSize(20, 11), QColor(255, 0, 0));
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

MainWindow::MainWindow(const MainWindowServices &services, QWidget *parent)
    : QWidget(parent), services_(services), weekNotes_(services.notes, services.writer)
{
    setWindowTitle(QStringLiteral("Tavi桌面记事"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setBackground(this, Qt::white);
    buildChrome();
    buildHeader();
    buildWeekPage();
    weekNotes_.saveFailed = [this](const QString &reason) {
        services_.dialogs.showError(this, QStringLiteral("本周内容未能保存：") + reason);
    };
    weekNotes_.loadFailed = [this](const QString &reason) {
        services_.dialogs.showError(this, QStringLiteral("本周内容未能读取：") + reason);
    };
    connect(&services_.writer, &NotesWriter::backupFailed, this, [this](const QString &reason) {
        if (!std::exchange(backupFailureShown_, true))
            services_.dialogs.showError(this, reason);
    });
    editing_ = std::make_unique<EditingCommands>(weekPage_, services_.clock, services_.dialogs,
                                                 [this] { saveWeek(SaveReason::Clear); });
    buildToolbar();
    buildDayBoxMenu();
    // Ctrl+F finds, wherever the focus is in the window.
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, reported([this] { openSearch(); }));
    resize(kDesignSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildHeader()
{
    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(programLogo(QSize(210, 56)));
    logo->setGeometry(55, 11, 210, 56);
    setWindowIcon(QIcon(programLogo(QSize(64, 64))));

    dateLabel_ = new QLabel(this);
    dateLabel_->setFont(songFont(12));
    dateLabel_->move(343, 19);

    for (int slot = 1; slot <= 5; ++slot) {
        auto *button = new QPushButton(QString(QChar(u'A' + slot - 1)), this);
        button->setObjectName(QStringLiteral("btn") + button->text());
        button->setFlat(true);
        button->setFont(songFont(16, true));
        button->setFocusPolicy(Qt::NoFocus); // clicking a slot must not take the focus from a box
        button->setGeometry(469 + 26 * (slot - 1), 55, 23, 22);
        connect(button, &QPushButton::clicked, this, reported([this, slot] { switchSlot(slot); }));
        weekButtons_[slot - 1] = button;
    }

    monthLabel_ = new QLabel(this);
    monthLabel_->setObjectName(QStringLiteral("lblMonth"));
    monthLabel_->setFont(songFont(29, true));
    QPalette blue = monthLabel_->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    monthLabel_->setPalette(blue);
    monthLabel_->setCursor(Qt::PointingHandCursor);
    monthLabel_->move(635, 49);
    onClick(monthLabel_, reported([this] { openMonthMenu(); }));
    rightAnchored_.emplace_back(monthLabel_, QRect(635, 49, 0, 0));

    // The hidden month field and its up-down control.
    hiddenMonth_ = new QLineEdit(QStringLiteral("1"), this);
    hiddenMonth_->hide();
    monthSpin_ = new QSpinBox(this);
    monthSpin_->setRange(1, 12);
    monthSpin_->setValue(1);
    monthSpin_->hide();
    connect(monthSpin_, &QSpinBox::valueChanged, hiddenMonth_,
            [this](int month) { hiddenMonth_->setText(QString::number(month)); });
    connect(hiddenMonth_, &QLineEdit::textChanged, this, [this] { hiddenMonthChanged(); });

    optionsLabel_ = new QLabel(QStringLiteral("|  选项"), this);
    optionsLabel_->setObjectName(QStringLiteral("lblSet"));
    optionsLabel_->setFont(songFont(12));
    optionsLabel_->setCursor(Qt::PointingHandCursor);
    optionsLabel_->move(746, 60);
    optionsLabel_->adjustSize();
    rightAnchored_.emplace_back(optionsLabel_, QRect(746, 60, 0, 0));
    onClick(optionsLabel_, reported([this] { openOptionsMenu(); }));

    auto *leftPanel = new QFrame(this);
    leftPanel->setObjectName(QStringLiteral("pnlLeft"));
    leftPanel->setGeometry(kLeftPanel);
    sidePanel_ = new SidePanel(leftPanel);
    sidePanel_->setGeometry(1, 1, 300, 250);
    addBackgroundButton_ = new QLabel(leftPanel);
    addBackgroundButton_->setObjectName(QStringLiteral("imgAddToDesk"));
    addBackgroundButton_->setPixmap(buttonPicture(QStringLiteral("添加桌面背景"), QSize(120, 28)));
    addBackgroundButton_->setCursor(Qt::PointingHandCursor);
    addBackgroundButton_->setGeometry(1, 262, 120, 28);
    onClick(addBackgroundButton_, reported([this] { openBackgrounds(); }));

    applyButton_ = new QLabel(this);
    applyButton_->setObjectName(QStringLiteral("imgAppToDesk"));
    applyButton_->setPixmap(buttonPicture(QStringLiteral("应用到桌面"), QSize(84, 29)));
    applyButton_->setCursor(Qt::PointingHandCursor);
    applyButton_->setGeometry(810, 49, 84, 29);
    onClick(applyButton_, reported([this] { applyToDesktop(); }));
    rightAnchored_.emplace_back(applyButton_, QRect(810, 49, 84, 29));
}

// The menus are made when first opened: the window's first paint needs neither.
QMenu *MainWindow::monthMenu()
{
    if (monthMenu_)
        return monthMenu_;
    monthMenu_ = new QMenu(this);
    for (int month = 1; month <= 12; ++month) {
        QAction *item = monthMenu_->addAction(QStringLiteral("%1月").arg(month));
        item->setObjectName(QStringLiteral("N_Month%1").arg(month));
        connect(item, &QAction::triggered, this, reported([this, month] { switchMonth(month); }));
    }
    monthMenu_->addSeparator();
    const struct {
        const char *name, *caption;
        std::function<void()> action;
    } years[] = {{"N_PreviousYear", "上一年", [this] { switchYear(-1); }},
                 {"N_NextYear", "下一年", [this] { switchYear(1); }},
                 {"N_Today", "今天", [this] { showToday(); }}};
    for (const auto &entry : years) {
        QAction *item = monthMenu_->addAction(QString::fromUtf8(entry.caption));
        item->setObjectName(QLatin1String(entry.name));
        connect(item, &QAction::triggered, this, reported(entry.action));
    }
    return monthMenu_;
}

QMenu *MainWindow::optionsMenu()
{
    if (optionsMenu_)
        return optionsMenu_;
    optionsMenu_ = new QMenu(this);
    QAction *exportItem = optionsMenu_->addAction(QStringLiteral("内容导出"));
    exportItem->setObjectName(QStringLiteral("N_"));
    connect(exportItem, &QAction::triggered, this, reported([this] { exportWeek(); }));
    QAction *searchItem = optionsMenu_->addAction(QStringLiteral("查找…"));
    searchItem->setObjectName(QStringLiteral("N_Search"));
    connect(searchItem, &QAction::triggered, this, reported([this] { openSearch(); }));
    QAction *historyItem = optionsMenu_->addAction(QStringLiteral("历史版本…"));
    historyItem->setObjectName(QStringLiteral("N_History"));
    connect(historyItem, &QAction::triggered, this, reported([this] { openHistory(); }));
    optionsMenu_->addSeparator()->setObjectName(QStringLiteral("N8"));
    QAction *passwordItem = optionsMenu_->addAction(QStringLiteral("登陆密码"));
    passwordItem->setObjectName(QStringLiteral("N7"));
    connect(passwordItem, &QAction::triggered, this, reported([this] { openPasswordSettings(); }));
    QAction *help = optionsMenu_->addAction(QStringLiteral("帮助说明"));
    help->setObjectName(QStringLiteral("N_help"));
    connect(help, &QAction::triggered, this, reported([this] {
                services_.dialogs.showPage(this, QStringLiteral("帮助说明 - Tavi周记事本"),
                                           helpPageHtml(services_.programFolder));
            }));
    QAction *feedback = optionsMenu_->addAction(QStringLiteral("意见反馈"));
    feedback->setObjectName(QStringLiteral("N_Submit"));
    connect(feedback, &QAction::triggered, this, reported([this] { giveFeedback(services_.dialogs, this, issuesPage()); }));
    optionsMenu_->addSeparator()->setObjectName(QStringLiteral("N4"));
    QAction *exit = optionsMenu_->addAction(QStringLiteral("退出程序"));
    exit->setObjectName(QStringLiteral("N_ExitPrj"));
    connect(exit, &QAction::triggered, this, reported([this] { exitProgram(); }));
    return optionsMenu_;
}

void MainWindow::buildChrome()
{
    // The background: white with a thin light-blue outline. Pressing any button on it moves the
    // window, or resizes it near an edge; the mouse passing over it resets the caption pictures.
    background_ = new QLabel(this);
    background_->setObjectName(QStringLiteral("imgBG"));
    background_->setStyleSheet(QStringLiteral("background: white; border: 1px solid rgb(216, 227, 243);"));
    background_->setMouseTracking(true);
    new WindowMove(background_, 4);
    onEvent(background_, QEvent::MouseMove, [this] { applyChrome(ChromeEvent::MouseOverBackground); });

    const struct {
        CaptionButton kind;
        const char *name;
        QRect normal;
        QPoint pressedAt; // highlight and down pictures
        ChromeEvent over, press;
        std::function<void()> action;
    } buttons[] = {
        {CaptionButton::Close, "close", QRect(858, 1, 39, 20), QPoint(858, 1), ChromeEvent::MouseOverCloseNormal,
         ChromeEvent::PressOnCloseHighlight, [this] { closeAndSave(); }},
        {CaptionButton::Mini, "mini", QRect(802, 1, 28, 20), QPoint(801, 1), ChromeEvent::MouseOverMiniNormal,
         ChromeEvent::PressOnMiniHighlight, [this] { minimise(); }},
        {CaptionButton::Max, "max", QRect(830, 1, 28, 20), QPoint(830, 1), ChromeEvent::MouseOverMaxNormal,
         ChromeEvent::PressOnMaxHighlight, [this] { toggleMaximised(); }},
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

void MainWindow::applyChrome(ChromeEvent event)
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

QLabel *MainWindow::captionPicture(const char *name) const
{
    return findChild<QLabel *>(QLatin1String(name));
}

void MainWindow::minimise()
{
    // The taskbar entry stays, so the window comes back from it at the bounds it had.
    showMinimized();
    applyChrome(ChromeEvent::MiniClicked);
}

void MainWindow::toggleMaximised()
{
    applyChrome(ChromeEvent::MaxClicked);
    if (!services_.screen.reportsWindowPositions()) {
        // Only the compositor places windows (Wayland): bounds as wide as the
        // screen would keep the window's corner and push its caption off the
        // screen, while the compositor's own maximised state fills the screen.
        isMaximized() ? showNormal() : showMaximized();
        return;
    }
    setGeometry(maximiseToggle(geometry(), services_.screen.geometry()));
}

std::function<void()> MainWindow::reported(std::function<void()> handler)
{
    return [this, handler = std::move(handler)] { runReportingErrors(services_.dialogs, this, handler); };
}

QPushButton *MainWindow::toolButton(const char *name, const QString &caption, const QRect &place)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(QLatin1String(name));
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus); // the day box being typed in keeps the focus
    button->setGeometry(place);
    return button;
}

QLabel *MainWindow::pictureButton(const char *name, const QString &hint, const QPixmap &picture, const QRect &place)
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

void MainWindow::buildToolbar()
{
    tickButton_ = toolButton("btnGou", QStringLiteral("√"), QRect(341, 55, 23, 22));
    connect(tickButton_, &QPushButton::clicked, this, reported([this] { editing_->tick(); }));
    crossButton_ = toolButton("btnX", QStringLiteral("X"), QRect(365, 55, 23, 22));
    connect(crossButton_, &QPushButton::clicked, this, reported([this] { editing_->cross(); }));
    dateButton_ = pictureButton("imgDate", QStringLiteral("插入日期"), datePicture(), QRect(395, 59, 44, 15));
    onClick(dateButton_, reported([this] { editing_->stampDate(); }));
    colourButton_ = pictureButton("imgRedColor", QStringLiteral("字体颜色"), colourPicture(), QRect(441, 61, 20, 11));
    onClick(colourButton_, reported([this] { editing_->chooseColour(this); }));
    clearButton_ = toolButton("btnClearRdt", QStringLiteral("内容清空"), QRect(683, 55, 57, 22));
    clearButton_->setFont(songFont(12));
    connect(clearButton_, &QPushButton::clicked, this, reported([this] { editing_->clearWeek(); }));
    rightAnchored_.emplace_back(clearButton_, QRect(683, 55, 57, 22));
}

void MainWindow::buildDayBoxMenu()
{
    dayBoxMenu_ = new QMenu(this);
    const struct {
        const char *name;
        const char *caption; // nullptr: a separator
        void (EditingCommands::*command)();
    } items[] = {
        {"N1", "复制", &EditingCommands::copy},     {"N2", "粘贴", &EditingCommands::paste},
        {"N9", "删除", &EditingCommands::deleteSelection}, {"N3", "剪切", &EditingCommands::cut},
        {"N6", nullptr, nullptr},                   {"V1", "打V", &EditingCommands::tick},
        {"X1", "打X", &EditingCommands::cross},     {"N5", nullptr, nullptr},
        {"CtrlZ1", "撤销(Ctrl+Z)", &EditingCommands::undo},
    };
    for (const auto &item : items) {
        if (!item.caption) {
            dayBoxMenu_->addSeparator()->setObjectName(QLatin1String(item.name));
            continue;
        }
        QAction *action = dayBoxMenu_->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QLatin1String(item.name));
        connect(action, &QAction::triggered, this,
                reported([this, command = item.command] { (editing_.get()->*command)(); }));
    }
    for (RichEdit *box : dayBoxes_)
        box->setContextMenu(dayBoxMenu_);
    memoBox_->setContextMenu(dayBoxMenu_);
}

void MainWindow::buildWeekPage()
{
    rightPanel_ = new QFrame(this);
    rightPanel_->setObjectName(QStringLiteral("pngRight"));
    rightPanel_->setGeometry(kRightPanel);

    // The memo box lies under the page container and is never seen. Hidden, it
    // is never laid out: a long unbroken line from content.ini would take
    // minutes to lay out on the first show.
    memoBox_ = new RichEdit(rightPanel_);
    memoBox_->setObjectName(QStringLiteral("rdtMain"));
    memoBox_->hide();
    pageContainer_ = new QWidget(rightPanel_);
    pageContainer_->setObjectName(QStringLiteral("pgcMain"));
    weekPage_ = new QWidget(pageContainer_);
    weekPage_->setObjectName(QStringLiteral("tsMain"));
    setBackground(weekPage_, Qt::white);

    for (QLabel *&strip : titleStrips_) {
        strip = new QLabel(weekPage_);
        setBackground(strip, kSkinLight);
    }
    for (QFrame *&line : pageLines_)
        line = blackBar(weekPage_);

    static const char *const weekdays[] = {"周 一", "周 二", "周 三", "周 四", "周 五", "周 六/日"};
    for (int day = 0; day < kDayBoxCount; ++day) {
        auto *box = new RichEdit(weekPage_);
        box->setObjectName(QStringLiteral("redt%1").arg(day + 1));
        box->setFont(dayNoteFont());
        box->setBackgroundColor(day == 5 ? kDayBoxGrey : QColor(Qt::white));
        box->setHideSelectionOnFocusLoss(day != 0 && day != 5);
        connect(box, &RichEdit::changed, this, reported([this] { dayBoxChanged(); }));
        connect(box, &RichEdit::focusLost, this, reported([this] { dayBoxChanged(); }));
        dayBoxes_[day] = box;

        auto *label = new QLabel(QString::fromUtf8(weekdays[day]), weekPage_);
        label->setFont(songFont(12));
        label->setAttribute(Qt::WA_TranslucentBackground);
        label->adjustSize();
        weekdayLabels_[day] = label;
    }
    // Labels lie over the title strips.
    for (QLabel *label : weekdayLabels_)
        label->raise();
}

void MainWindow::startUp()
{
    currentSlot_ = 1;
    shown_ = false;

    checkLogin();

    const QDate today = services_.clock.today();
    dateLabel_->setText(dateLabelText(today));
    dateLabel_->adjustSize();

    selectedYear_ = QString::number(today.year());
    setSelectedMonth(QString::number(today.month()));
    monthSpin_->setValue(today.month()); // not shown yet: the field's change does nothing
    hiddenMonth_->setText(selectedMonth_);
    showMonth(selectedMonth_);

    loadMemoFile();
    loadWallpaperQuestion();
    try {
        loadBackgroundList(false);
    } catch (const std::exception &error) {
        startUpFailures_.append(QString::fromUtf8(error.what()));
    }
    loadWindowSettings();

    colourWeekButtons(currentSlot_);
    loadWeek(currentSlot_);

    // Settings that could not be written are reported once; the week is loaded either way.
    if (!startUpFailures_.isEmpty())
        services_.dialogs.showError(nullptr, startUpFailures_.join(u'\n'));
    startUpFailures_.clear();
}

QString MainWindow::dataPath(const char *relativePath) const
{
    return resolvePath(services_.programFolder, QString::fromLatin1(relativePath));
}

void MainWindow::writeAtStartUp(const QString &path, const QStringList &lines)
{
    try {
        writeLineFile(path, lines);
    } catch (const FileError &error) {
        startUpFailures_.append(QString::fromUtf8(error.what()));
    }
}

void MainWindow::loadMemoFile()
{
    const QString path = dataPath("Data\\content.ini");
    bool exists = false;
    const std::optional<QStringList> lines = readAtStartUp(path, startUpFailures_, exists);
    if (lines)
        memoBox_->setContentText(memoText(*lines));
    else if (!exists)
        writeAtStartUp(path, {memoBox_->plainTextCrLf()});
}

void MainWindow::loadWallpaperQuestion()
{
    askBeforeApply_ = true;
    const QString path = dataPath("data\\configSetBg.ini");
    bool exists = false;
    const std::optional<QStringList> lines = readAtStartUp(path, startUpFailures_, exists);
    if (lines)
        askBeforeApply_ = askBeforeSetBg(*lines);
    else if (!exists)
        writeAtStartUp(path, {QStringLiteral("1")});
}

void MainWindow::loadWindowSettings()
{
    const QString path = dataPath("data\\FormSize.ini");
    const QRect screen = services_.screen.geometry();
    bool exists = false;
    const std::optional<QStringList> lines = readAtStartUp(path, startUpFailures_, exists);
    if (lines) {
        const WindowSettings settings = parseWindowSettings(*lines, screen);
        // A slot without a week table would leave the page unsaved without a word.
        currentSlot_ = weekTableName(settings.slot).isEmpty() ? 1 : settings.slot;
        windowBounds_ = settings.bounds;
        if (settings.month) {
            setSelectedMonth(*settings.month);
            bool isNumber = false;
            const int month = settings.month->toInt(&isNumber);
            if (isNumber) {
                monthSpin_->setValue(month);
                showMonth(selectedMonth_);
            }
        }
    } else {
        currentSlot_ = 1;
        windowBounds_ = defaultWindowBounds(screen);
    }
    setGeometry(windowBounds_);
    if (!exists)
        writeAtStartUp(path, windowSettingsLines(currentSlot_, windowBounds_, selectedMonth_));
}

void MainWindow::saveWindowSettings()
{
    writeLineFile(dataPath("data\\FormSize.ini"), windowSettingsLines(currentSlot_, windowBounds_, labelMonth_));
}

void MainWindow::showPanelPage()
{
    sidePanel_->showPage(panelPageHtml(services_.clock.today(), selectedYear_.toInt(), selectedMonth_.toInt()));
}

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!shown_) {
        showPanelPage();
        shown_ = true;
    }
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    background_->setGeometry(rect());
    const int dx = width() - kDesignSize.width();
    const int dy = height() - kDesignSize.height();
    for (const auto &[widget, design] : rightAnchored_)
        widget->move(design.left() + dx, design.top());
    rightPanel_->setGeometry(kRightPanel.adjusted(0, 0, dx, dy));
    arrangeWeekPage();
}

void MainWindow::arrangeWeekPage()
{
    memoBox_->setGeometry(rightPanel_->rect());
    pageContainer_->setGeometry(rightPanel_->rect());
    const int width = pageContainer_->width() - kPageLeft - kPageRightMargin;
    const int height = pageContainer_->height() - kPageTop - kPageBottomMargin;
    weekPage_->setGeometry(kPageLeft, kPageTop, width, height);

    const WeekPageGeometry g = tavi::ArrangeWeekPage(width, height, kPageLeft, kPageTop);
    pageLines_[0]->setGeometry(0, 0, 1, height);
    pageLines_[1]->setGeometry(g.yearLine1Left, 0, 1, height);
    pageLines_[2]->setGeometry(g.yearLine2Left, 0, 1, height);
    pageLines_[3]->setGeometry(width - 1, 0, 1, height);
    pageLines_[4]->setGeometry(0, height - kButtonLineHeight, width, kButtonLineHeight);
    titleStrips_[0]->setGeometry(0, 0, width, kTitleStripHeight);
    titleStrips_[1]->setGeometry(0, g.title2Top, width, kTitleStripHeight);
    for (int day = 0; day < kDayBoxCount; ++day) {
        dayBoxes_[day]->setGeometry(g.boxes[day]);
        weekdayLabels_[day]->move(g.labels[day]);
    }
    dayBoxes_[5]->setBackgroundColor(kDayBoxGrey);
}

void MainWindow::colourWeekButtons(int slot)
{
    if (slot < 1 || slot > 5)
        return;
    for (int i = 1; i <= 5; ++i) {
        QPalette pal = weekButtons_[i - 1]->palette();
        pal.setColor(QPalette::ButtonText, i == slot ? QColor(255, 0, 0) : QColor(0, 0, 0));
        weekButtons_[i - 1]->setPalette(pal);
    }
}

bool MainWindow::unsavedMayGo(const QString &question)
{
    return weekNotes_.storeAll() || services_.dialogs.askYesNo(this, question);
}

bool MainWindow::mayLeaveShownWeek(const QString &question)
{
    if (!weekNotes_.storeAll())
        saveWeek(); // one more try first
    return unsavedMayGo(question);
}

void MainWindow::switchSlot(int slot)
{
    saveWeek();
    if (!unsavedMayGo(kSwitchQuestion))
        return;
    colourWeekButtons(slot);
    currentSlot_ = slot;
    loadWeek(slot);
}

void MainWindow::setSelectedMonth(const QString &month)
{
    selectedMonth_ = month;
    if (shown_)
        showPanelPage();
}

void MainWindow::showMonth(const QString &month)
{
    labelMonth_ = month;
    // Another year than this one is shown with its year: "2025年12月".
    const bool otherYear = selectedYear_.toInt() != services_.clock.today().year();
    monthLabel_->setText(otherYear ? QStringLiteral("%1年%2月").arg(selectedYear_, month) : month);
    monthLabel_->adjustSize();
}

void MainWindow::showWeekOf(int year, int month, int slot)
{
    selectedYear_ = QString::number(year);
    setSelectedMonth(QString::number(month));
    showMonth(selectedMonth_);
    colourWeekButtons(slot);
    currentSlot_ = slot;
    loadWeek(slot);
}

void MainWindow::switchYear(int step)
{
    if (!mayLeaveShownWeek(kSwitchQuestion))
        return;
    bool isNumber = false;
    const int month = selectedMonth_.toInt(&isNumber);
    showWeekOf(selectedYear_.toInt() + step, isNumber ? month : services_.clock.today().month(), currentSlot_);
}

void MainWindow::showToday()
{
    if (!mayLeaveShownWeek(kSwitchQuestion))
        return;
    const QDate today = services_.clock.today();
    showWeekOf(today.year(), today.month(), currentSlot_);
}

void MainWindow::openSearch()
{
    weekNotes_.storeAll(); // what was just typed can be found
    SearchDialog search(
        [this](const QString &term) {
            try {
                return searchNotes(services_.notes.database(), term);
            } catch (const DatabaseError &) {
                // A damaged index is made anew, then asked again.
                services_.writer.repairSearchIndex();
                services_.writer.flush();
                return searchNotes(services_.notes.database(), term);
            }
        },
        services_.dialogs, this);
    const std::optional<SearchHit> hit = search.choose();
    if (!hit || !mayLeaveShownWeek(kSwitchQuestion))
        return;
    showWeekOf(hit->year, hit->month, hit->slot);
    // The day's box, with the match selected.
    RichEdit *box = dayBoxes_[std::size_t(hit->day)];
    QTextCursor cursor(box->document());
    const qsizetype at = box->document()->toRawText().indexOf(hit->text.mid(hit->at, hit->length), 0, Qt::CaseInsensitive);
    if (at >= 0) {
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + hit->length), QTextCursor::KeepAnchor);
    }
    box->setTextCursor(cursor);
    box->setFocus(Qt::OtherFocusReason);
}

void MainWindow::switchMonth(int month)
{
    if (!mayLeaveShownWeek(kSwitchQuestion))
        return;
    showMonth(QString::number(month));
    setSelectedMonth(QString::number(month));
    loadWeek(currentSlot_);
}

void MainWindow::openMonthMenu()
{
    popUpBelow(monthLabel_, monthMenu());
}

void MainWindow::openOptionsMenu()
{
    popUpBelow(optionsLabel_, optionsMenu());
}

void MainWindow::exportWeek()
{
    tavi::exportWeek(weekTexts(), currentSlot_, services_.dialogs, this);
}

void MainWindow::hiddenMonthChanged()
{
    if (!shown_ || !mayLeaveShownWeek(kSwitchQuestion))
        return;
    showMonth(hiddenMonth_->text());
    setSelectedMonth(labelMonth_);
    loadWeek(currentSlot_);
}

WeekTexts MainWindow::weekTexts() const
{
    WeekTexts texts;
    std::size_t n = 0;
    for (RichEdit *box : tavi::dayBoxes(weekPage_))
        texts[n++] = box->plainTextCrLf();
    return texts;
}

void MainWindow::checkLogin()
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
        LoginDialog login(path, services_.dialogs, services_.endProgram, this);
        // Centred on the screen: the main window is not shown yet.
        login.centreOn(services_.screen.geometry());
        if (!login.ask()) {
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

BackgroundsDialog &MainWindow::backgroundsDialog()
{
    if (!backgroundsDialog_)
        backgroundsDialog_ = std::make_unique<BackgroundsDialog>(services_.programFolder, services_.dialogs, this);
    return *backgroundsDialog_;
}

ApplyQuestionDialog &MainWindow::applyQuestion()
{
    if (!applyQuestion_)
        applyQuestion_ = std::make_unique<ApplyQuestionDialog>(dataPath("data\\configSetBg.ini"), services_.dialogs, this);
    return *applyQuestion_;
}

PasswordDialog &MainWindow::passwordDialog()
{
    if (!passwordDialog_)
        passwordDialog_ = std::make_unique<PasswordDialog>(dataPath("Data\\loginstr.db"), services_.dialogs, this);
    return *passwordDialog_;
}

void MainWindow::openHistory()
{
    weekNotes_.storeAll(); // the list shows every state handed over
    HistoryDialog history(weekVersions(services_.notes.database(), currentSlot_, selectedYearMonth()),
                          services_.dialogs, this);
    const std::optional<WeekVersion> chosen = history.choose();
    if (!chosen)
        return;
    WeekNote week;
    for (int day = 0; day < kDayBoxCount; ++day)
        week[day] = DayNote(chosen->memos[day]);
    showWeek(week);
    saveWeek(SaveReason::Restore);
}

void MainWindow::openPasswordSettings()
{
    services_.dialogs.runModal(&passwordDialog());
}

void MainWindow::loadBackgroundList(bool changed)
{
    backgrounds_.load(dataPath("Data\\BGPicList.ini"), changed);
}

void MainWindow::openBackgrounds()
{
    const QString chosen = backgroundsDialog().choose(backgrounds_.current);
    if (chosen == backgrounds_.current) {
        loadBackgroundList(false);
    } else {
        backgrounds_.current = chosen;
        loadBackgroundList(true);
    }
}

void MainWindow::applyToDesktop()
{
    // Setting the wallpaper may wait in a nested event loop; the flow runs to its end first.
    if (applying_)
        return;
    applying_ = true;
    const auto done = qScopeGuard([this] { applying_ = false; });
    if (askBeforeApply_) {
        const ApplyQuestionDialog::Answer answer = applyQuestion().ask();
        if (answer.stopAsking)
            askBeforeApply_ = false;
        if (!answer.apply)
            return;
    }
    try {
        tavi::applyWeekToDesktop(weekTexts(), backgrounds_, dataPath("source\\DeskTopBG\\"), setWallpaper_);
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

void MainWindow::dayBoxChanged()
{
    // Nothing is edited before the window shows; a load fills the boxes with their signals blocked.
    if (shown_)
        saveWeek();
}

void MainWindow::loadWeek(int slot)
{
    showWeek(weekNotes_.load(slot, selectedYearMonth()));
}

void MainWindow::showWeek(const std::optional<WeekNote> &week)
{
    const std::array<RtfDocument, kDayBoxCount> documents = week ? tavi::documents(*week) : decltype(documents){};
    for (int day = 0; day < kDayBoxCount; ++day) {
        RichEdit *box = dayBoxes_[day];
        const QSignalBlocker quiet(box);
        box->setRichText(documents[day]);
        // A week that could not be read takes no typing that could never be stored.
        box->setReadOnly(!week);
    }
}

void MainWindow::saveWeek(SaveReason reason)
{
    WeekNote notes;
    for (int day = 0; day < kDayBoxCount; ++day)
        notes[day] = DayNote(dayBoxes_[day]->rtf());
    weekNotes_.save(currentSlot_, selectedYearMonth(), notes, reason);
}

void MainWindow::closeAndSave()
{
    runReportingErrors(services_.dialogs, this, [this] {
        saveWeek();
        if (!unsavedMayGo(kCloseQuestion))
            return;
        windowBounds_ = boundsToKeep(windowBounds_, geometry(), services_.screen.reportsWindowPositions());
        saveWindowSettings(); // a failure is reported and the program goes on
        ending_ = true;
        services_.endProgram();
    });
}

void MainWindow::storeEverything()
{
    saveWeek();
    weekNotes_.storeAll();
    windowBounds_ = boundsToKeep(windowBounds_, geometry(), services_.screen.reportsWindowPositions());
    try {
        saveWindowSettings();
    } catch (const std::exception &) {
        // nobody is there to be told any more
    }
}

void MainWindow::endSession()
{
    if (ending_)
        return;
    storeEverything();
    ending_ = true;
    services_.endProgram();
}

void MainWindow::exitProgram()
{
    // Edits are stored as they are made; only a week whose saves failed makes this wait.
    if (!mayLeaveShownWeek(kCloseQuestion))
        return;
    ending_ = true;
    services_.endProgram();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Only the close picture takes the close path; any other close ends the program at once.
    if (!ending_)
        exitProgram();
    if (ending_)
        event->accept();
    else
        event->ignore();
}

} // namespace tavi
