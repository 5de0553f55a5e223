#include "ui/main_window.h"

#include "banner/banner.h"
#include "board/board_accessible.h"
#include "desktop/fonts.h"
#include "desktop/home_page.h"
#include "desktop/open_url.h"
#include "desktop/window_icon.h"
#include "flow/flow_texts.h"
#include "flow/record_file.h"
#include "game/board_geometry.h"
#include "ui/clock_caption.h"
#include "ui/help_texts.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

namespace tavrin {

namespace {

// Layout values are twips: 15 to a pixel at the usual screen scale.
constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// The window.
constexpr char kCaption[] = "Tavrin";
constexpr int kInnerWidth = 5100;
constexpr int kInnerHeight = 6255;

// Controls of the window and of the top panel, in twips.
const QRect kPanelRect = twipsRect(0, 0, 5100, 615);
const QRect kBoardRect = twipsRect(0, 660, 5100, 5100);
const QRect kBannerRect = twipsRect(0, 5760, 5175, 495);
const QRect kWhiteCountRect = twipsRect(0, 80, 1575, 255);
const QRect kBlackCountRect = twipsRect(0, 330, 1575, 255);
const QRect kModeRect = twipsRect(1680, 0, 2295, 375);
const QRect kPositionRect = twipsRect(4200, 0, 855, 255);
const QRect kClockRect = twipsRect(4200, 240, 855, 255);

// Colours of the panel.
const QColor kPanelColour(0xFF, 0xFF, 0xFF);
const QColor kModeBackground(0x00, 0xFF, 0xFF);
const QColor kPositionColour(0x00, 0xC0, 0x00);
const QColor kClockColour(0x00, 0x00, 0xFF);

// Captions of the labels when the window is created.
constexpr char kWhiteCountStart[] = "白棋现有 2 子";
constexpr char kBlackCountStart[] = "黑棋现有 2 子";
constexpr char kModeStart[] = "现在该    棋下";
constexpr char kPositionStart[] = "1,1";
constexpr char kClockStart[] = "00:00";

// Menu captions; "&" marks the access key.
constexpr char kGameMenu[] = "游  戏&F";
constexpr char kNewGameItem[] = "人机大战";
constexpr char kTwoPlayerItem[] = "人人对抗";
constexpr char kReplayItem[] = "复    盘";
constexpr char kExitItem[] = "退    出&X";
constexpr char kHelpMenu[] = "帮  助&H";
constexpr char kRulesItem[] = "游戏规则";
constexpr char kAboutItem[] = "关    于&A";
constexpr char kPassCommand[] = "放弃一子&C";

// What a screen reader is told when the key L finds no cell to play, and what separates the
// parts of the position that the key S reads.
constexpr char kNoPlayableCell[] = "没有可落子的位置";
constexpr char kReadingApart[] = "，";
constexpr char kReadingClock[] = "用时 ";

// Interval of the clock, in milliseconds.
constexpr int kClockInterval = 1000;

// The game's texts end their lines with a carriage return alone; Qt breaks lines at '\n'.
QString withLineBreaks(const QString &text)
{
    QString converted = text;
    converted.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return converted;
}

// Point size of message-box texts: the Song face at the size of the classic system font.
constexpr double kMessagePoints = 9.0;

// Message texts are laid out in the Song face, whose Latin letters are half-width and of one
// width, so the figure of the rules keeps its columns; and each line stays on one line, as it
// was written, instead of being wrapped at half the screen's width.
void layOutMessage(QMessageBox &box)
{
    box.setTextFormat(Qt::PlainText);
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label) {
        return;
    }
    label->setFont(songFont(kMessagePoints));
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString &line : box.text().split(QLatin1Char('\n'))) {
        widest = qMax(widest, metrics.horizontalAdvance(line));
    }
    label->setMinimumWidth(widest + metrics.averageCharWidth());
}

// A Yes/No question of the game: only 是 and 否 answer it. Escape and the window's close button
// do nothing, so a stray key never answers No (and ends the program) for the player.
class QuestionBox : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

QString titleOrCaption(const QString &title)
{
    return title.isEmpty() ? QString::fromUtf8(kCaption) : title;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QRect &rect, const QColor &text,
    const QColor &background, const QFont &font, Qt::Alignment alignment, const char *caption,
    bool shown)
{
    auto *label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, background);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    label->setVisible(shown);
    return label;
}

QAction *makeAction(QObject *parent, const char *name, const char *caption)
{
    auto *action = new QAction(QString::fromUtf8(caption), parent);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

MainWindow::MainWindow(QWidget *parent, const QString &feedUrl) : QMainWindow(parent), flow_(*this)
{
    // Menus and message boxes show Chinese in the default font: the Song face supplies it.
    QApplication::setFont(withSongFallback(QApplication::font()));
    setObjectName(QStringLiteral("xq"));
    setWindowTitle(QString::fromUtf8(kCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(tavrinIcon());

    auto *area = new QWidget(this);
    area->setFixedSize(px(kInnerWidth), px(kInnerHeight));
    setCentralWidget(area);
    createPanel(area);
    createBoard(area);
    createClock();
    createMenus();
    createBanner(area, feedUrl);
    // The window takes the size of its menu bar and inner area and keeps it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // Window load runs once the event loop is going, so that ending the program from it works.
    QMetaObject::invokeMethod(this, &MainWindow::load, Qt::QueuedConnection);
}

MainWindow::~MainWindow() = default;

void MainWindow::createPanel(QWidget *area)
{
    panel_ = new QWidget(area);
    panel_->setObjectName(QStringLiteral("Picture1"));
    panel_->setGeometry(kPanelRect);
    QPalette palette = panel_->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    panel_->setPalette(palette);
    panel_->setAutoFillBackground(true);

    const QColor buttonText = panel_->palette().color(QPalette::ButtonText);
    const auto left = Qt::AlignLeft | Qt::AlignTop;
    const auto centre = Qt::AlignHCenter | Qt::AlignTop;
    whiteCountLabel_ = makeLabel(panel_, "bqxy", kWhiteCountRect, buttonText, kPanelColour,
        songFont(10.5), left, kWhiteCountStart, false);
    blackCountLabel_ = makeLabel(panel_, "hqxy", kBlackCountRect, buttonText, kPanelColour,
        songFont(10.5), left, kBlackCountStart, false);
    modeLabel_ = makeLabel(panel_, "xzld", kModeRect, buttonText, kModeBackground,
        songFont(15, QFont::Bold), left, kModeStart, false);
    positionLabel_ = makeLabel(panel_, "xqwz", kPositionRect, kPositionColour, kPanelColour,
        arialFont(10.5, QFont::Bold), centre, kPositionStart, false);
    clockLabel_ = makeLabel(panel_, "timenow", kClockRect, kClockColour, kPanelColour,
        systemFont(9.75, QFont::Bold), centre, kClockStart, true);
}

void MainWindow::createBoard(QWidget *area)
{
    board_ = new BoardSurface(area);
    board_->setObjectName(QStringLiteral("qp"));
    board_->setGeometry(kBoardRect);
    // Screen readers read the game itself; the keyboard plays on the board from the start.
    board_->setState(&flow_);
    board_->setFocus();
    connect(board_, &BoardSurface::pointerMoved, this, &MainWindow::showPointerFeedback);
    connect(board_, &BoardSurface::focusCellMoved, this, &MainWindow::showPosition);
    connect(board_, &BoardSurface::readingRequested, this, &MainWindow::readOut);
    notice_ = new SpokenNotice(area);
    connect(board_, &BoardSurface::released, this,
        [this](const std::optional<PointerCell> &cell, Qt::MouseButton button) {
            flow_.release(cell, button);
        });
}

void MainWindow::createBanner(QWidget *area, const QString &feedUrl)
{
    // `Gg1`: the advertisement banner below the board; its right end is cut off by the window.
    auto *banner = new Banner(area, feedUrl);
    banner->setObjectName(QStringLiteral("Gg1"));
    banner->setGeometry(kBannerRect);
}

void MainWindow::createClock()
{
    clockTimer_ = new QTimer(this);
    clockTimer_->setObjectName(QStringLiteral("Timer1"));
    clockTimer_->setInterval(kClockInterval);
    connect(clockTimer_, &QTimer::timeout, this, &MainWindow::advanceClock);
}

void MainWindow::createMenus()
{
    menuBar()->setNativeMenuBar(false);

    gameMenu_ = menuBar()->addMenu(QString::fromUtf8(kGameMenu));
    gameMenu_->setObjectName(QStringLiteral("game"));
    newGameAction_ = makeAction(this, "MNrj", kNewGameItem);
    newGameAction_->setShortcut(Qt::Key_F2);
    twoPlayerAction_ = makeAction(this, "mnRR", kTwoPlayerItem);
    twoPlayerAction_->setShortcut(Qt::Key_F3);
    twoPlayerAction_->setEnabled(false);
    replayAction_ = makeAction(this, "mnFP", kReplayItem);
    replayAction_->setShortcut(Qt::Key_F4);
    replayAction_->setEnabled(false);
    // A separator keeps no caption: styles draw a separator's text as a section heading.
    separatorAction_ = makeAction(this, "STEP", "");
    separatorAction_->setSeparator(true);
    exitAction_ = makeAction(this, "mnExit", kExitItem);
    gameMenu_->addActions(
        {newGameAction_, twoPlayerAction_, replayAction_, separatorAction_, exitAction_});

    helpMenu_ = menuBar()->addMenu(QString::fromUtf8(kHelpMenu));
    helpMenu_->setObjectName(QStringLiteral("hlp"));
    rulesAction_ = makeAction(this, "rules", kRulesItem);
    rulesAction_->setShortcut(Qt::Key_F1);
    aboutAction_ = makeAction(this, "mnAbout", kAboutItem);
    helpMenu_->addActions({rulesAction_, aboutAction_});

    passAction_ = makeAction(this, "fqyz", kPassCommand);
    menuBar()->addAction(passAction_);

    connect(newGameAction_, &QAction::triggered, this, [this] { flow_.newGame(); });
    connect(exitAction_, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(rulesAction_, &QAction::triggered, this, &MainWindow::showRules);
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::showAbout);
    connect(passAction_, &QAction::triggered, this, [this] { flow_.pass(); });
}

void MainWindow::load()
{
    if (loaded_) {
        return;
    }
    loaded_ = true;
    // 1. Show the window, 2. leave quietly if another copy runs, 3. grid, 4. starting position.
    show();
    if (!instance_.acquire()) {
        endProgram();
        return;
    }
    drawEmptyBoard();
    flow_.placeStartingStones();
}

void MainWindow::drawEmptyBoard()
{
    board_->drawGrid();
}

void MainWindow::paintPosition(bool clearEmpty)
{
    board_->paintStones(flow_, clearEmpty);
    whiteCountLabel_->setText(flowtext::countCaption(kWhite, flow_.whiteCount));
    blackCountLabel_->setText(flowtext::countCaption(kBlack, flow_.blackCount));
}

void MainWindow::paintStones()
{
    paintPosition(false);
}

void MainWindow::repaintBoard()
{
    // hq2 sets up every new game, which starts with no exchange to repeat.
    lastExchange_.reset();
    paintPosition(true);
}

void MainWindow::showPointerFeedback(const std::optional<PointerCell> &cell)
{
    // Past the border cells nothing of the legal-move map may be read: no-drop, caption kept.
    if (!cell || cell->column < 0 || cell->column > kBoardSize || cell->row < 0
        || cell->row > kBoardSize) {
        board_->setCursor(Qt::ForbiddenCursor);
        return;
    }
    const bool legal = flow_.playable[cell->column][cell->row] == kLegal;
    board_->setCursor(legal ? Qt::CrossCursor : Qt::ForbiddenCursor);
    showPosition(*cell);
}

void MainWindow::showPosition(const PointerCell &cell)
{
    positionLabel_->setText(
        QString::number(cell.column) + QLatin1Char(',') + QString::number(cell.row));
}

void MainWindow::advanceClock()
{
    flow_.elapsedSeconds = nextClockCount(flow_.elapsedSeconds);
    clockLabel_->setText(clockCaption(flow_.elapsedSeconds));
}

void MainWindow::showRules()
{
    showInformation(rulesText(), QString::fromUtf8(kRulesTitle));
}

void MainWindow::showAbout()
{
    const QString homePage = QString::fromUtf8(kAuthorHomePage);
    openWebAddress(homePage);
    showInformation(aboutText(homePage), QString::fromUtf8(kAboutTitle));
}

void MainWindow::exitProgram()
{
    endProgram();
}

bool MainWindow::askYesNo(
    const QString &text, const QString &title, Icon icon, const QString &spokenDetail)
{
    QuestionBox box(icon == Icon::Question ? QMessageBox::Question : QMessageBox::NoIcon,
        titleOrCaption(title), withLineBreaks(text), QMessageBox::Yes | QMessageBox::No, this);
    box.setAccessibleDescription(spokenDetail);
    layOutMessage(box);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void MainWindow::showInformation(const QString &text, const QString &title)
{
    QMessageBox box(
        QMessageBox::NoIcon, titleOrCaption(title), withLineBreaks(text), QMessageBox::Ok, this);
    layOutMessage(box);
    box.exec();
}

QString MainWindow::chooseSaveFile(const QString &title, const QString &initialName)
{
    QFileDialog dialog(this, title);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The initial name is "<folder>/<pattern>": open in the folder, listing what the pattern
    // matches, with the pattern as the name. After a failed save it is the name that was tried,
    // listed among the record files.
    QFileInfo chosen(initialName);
    for (;;) {
        dialog.setDirectory(chosen.absolutePath());
        dialog.setNameFilter(
            isFilePattern(chosen.fileName()) ? chosen.fileName() : flowtext::kRecordPattern);
        dialog.selectFile(chosen.fileName());
        if (dialog.exec() != QDialog::Accepted) {
            return QString();
        }
        chosen.setFile(dialog.selectedFiles().value(0));
        // Accepting a wildcard pattern lists the files it matches and keeps the dialog open.
        if (!isFilePattern(chosen.fileName())) {
            return chosen.filePath();
        }
    }
}

void MainWindow::beep()
{
    QApplication::beep();
}

void MainWindow::endProgram()
{
    if (programEnding_) {
        return;
    }
    programEnding_ = true;
    clockTimer_->stop();
    hide();
    QCoreApplication::exit(0);
}

void MainWindow::startClock()
{
    clockTimer_->start();
}

void MainWindow::showStatusLabels()
{
    whiteCountLabel_->setVisible(true);
    blackCountLabel_->setVisible(true);
    modeLabel_->setVisible(true);
    positionLabel_->setVisible(true);
}

void MainWindow::setModeCaption(const QString &caption)
{
    modeLabel_->setText(caption);
}

void MainWindow::announceExchange(const Exchange &exchange)
{
    lastExchange_ = exchange;
    if (QAccessible::isActive()) {
        notice_->say(exchangeAnnouncement(exchange));
    }
}

void MainWindow::readOut(BoardSurface::Reading reading)
{
    if (!QAccessible::isActive()) {
        return;
    }
    switch (reading) {
    case BoardSurface::Reading::NoPlayableCell:
        notice_->say(QString::fromUtf8(kNoPlayableCell));
        break;
    case BoardSurface::Reading::FocusCell: {
        const PointerCell cell = board_->focusCell();
        notice_->say(boardCellName(*board_, int(cell.column), int(cell.row)));
        break;
    }
    case BoardSurface::Reading::Position: {
        const QString apart = QString::fromUtf8(kReadingApart);
        notice_->say(whiteCountLabel_->text() + apart + blackCountLabel_->text() + apart
            + QString::fromUtf8(kReadingClock) + clockLabel_->text());
        break;
    }
    case BoardSurface::Reading::LastExchange:
        if (lastExchange_) {
            notice_->say(exchangeAnnouncement(*lastExchange_));
        }
        break;
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    endProgram();
    event->accept();
}

} // namespace tavrin
