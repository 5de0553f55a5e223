#include "replay/review_window.h"

#include "board/board_surface.h"
#include "board/spoken_notice.h"
#include "desktop/accessible_factory.h"
#include "desktop/fonts.h"
#include "desktop/window_icon.h"
#include "flow/flow_texts.h"
#include "replay/board_picture.h"
#include "replay/review_texts.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QTextStream>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace tavrin::replay {

namespace {

// The panel above the board: white, as the game window's.
const QColor kPanelColour(0xFF, 0xFF, 0xFF);
const QColor kFaultColour(0xC0, 0x00, 0x00);
// Point sizes: the game's count captions, and a smaller one for the fault's file and reason.
constexpr double kCaptionPoints = 10.5;
constexpr double kFaultPoints = 9.0;
constexpr int kPanelMargin = 6;

// "白棋 10,9", "黑棋放弃": the side that made entry `index` (1-based), and its cell.
QString moveCaption(int index, RecordEntry entry)
{
    const QString side = index % 2 == 1 ? reviewtext::kWhiteSide : reviewtext::kBlackSide;
    if (entry.x == 0) {
        return side + reviewtext::kPassed;
    }
    return QStringLiteral("%1 %2,%3").arg(side).arg(entry.x).arg(entry.y);
}

// The result of a finished game with these counts, as a statement: "白棋胜 130 : 126".
QString resultStatement(std::int16_t white, std::int16_t black)
{
    if (white == black)
        return reviewtext::kDrawn.arg(white).arg(black);
    return white > black ? reviewtext::kWhiteWon.arg(white).arg(black)
                         : reviewtext::kBlackWon.arg(black).arg(white);
}

// Screen readers see the review window as a frame named by its title, as any main window.
class ReviewAccessible : public QAccessibleWidget
{
public:
    explicit ReviewAccessible(ReviewWindow *window) : QAccessibleWidget(window, QAccessible::Window)
    {
    }
};

QLabel *makeLabel(QWidget *parent, const char *name, const QFont &font)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

int fail(int status, const QString &message)
{
    QTextStream(stderr) << "tavrin-replay: " << message << '\n';
    return status;
}

} // namespace

ReviewWindow::ReviewWindow(
    ReviewGame game, const QString &fileName, const QString &faultMessage, QWidget *parent)
    : QWidget(parent), game_(std::move(game))
{
    installAccessibleInterface<ReviewWindow, ReviewAccessible>();
    // Tooltips and boxes show Chinese in the default font: the Song face supplies it.
    QApplication::setFont(withSongFallback(QApplication::font()));
    setObjectName(QStringLiteral("review"));
    setWindowTitle(reviewtext::kTitle + reviewtext::kTitleSeparator + fileName);
    setWindowIcon(tavrinIcon());

    board_ = new BoardSurface(this);
    board_->setObjectName(QStringLiteral("board"));
    board_->setFixedSize(kWindowBoardPixels, kWindowBoardPixels);
    // A position of a finished game is looked at, not played: no key reaches the board.
    board_->setFocusPolicy(Qt::NoFocus);
    board_->drawGrid();
    notice_ = new SpokenNotice(this);

    createActions();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createPanel(faultMessage));
    layout->addWidget(board_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget *ReviewWindow::createPanel(const QString &faultMessage)
{
    auto *panel = new QWidget(this);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kPanelColour);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);

    const QFont font = songFont(kCaptionPoints);
    whiteCount_ = makeLabel(panel, "whiteCount", font);
    blackCount_ = makeLabel(panel, "blackCount", font);
    stepCaption_ = makeLabel(panel, "stepCaption", font);
    moveCaption_ = makeLabel(panel, "moveCaption", font);
    result_ = makeLabel(panel, "result", songFont(kCaptionPoints, QFont::Bold));
    // The result comes and goes; its line stays, so the window keeps its size.
    result_->setMinimumHeight(result_->fontMetrics().height());

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    grid->addWidget(whiteCount_, 0, 0);
    grid->addWidget(blackCount_, 1, 0);
    grid->addWidget(stepCaption_, 0, 1, Qt::AlignRight);
    grid->addWidget(moveCaption_, 1, 1, Qt::AlignRight);
    grid->addWidget(createButtons(), 2, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(result_, 3, 0, 1, 2, Qt::AlignHCenter);
    if (!faultMessage.isEmpty()) {
        QLabel *fault = makeLabel(panel, "fault", songFont(kFaultPoints));
        fault->setText(faultMessage);
        fault->setWordWrap(true);
        fault->setMaximumWidth(kWindowBoardPixels - 2 * kPanelMargin);
        QPalette red = fault->palette();
        red.setColor(QPalette::WindowText, kFaultColour);
        fault->setPalette(red);
        grid->addWidget(fault, 4, 0, 1, 2);
    }
    return panel;
}

void ReviewWindow::createActions()
{
    first_ = createStepAction(
        "first", QStyle::SP_MediaSkipBackward, reviewtext::kFirstTip, Qt::Key_Home);
    back_ = createStepAction(
        "back", QStyle::SP_MediaSeekBackward, reviewtext::kBackTip, Qt::Key_Left);
    forward_ = createStepAction(
        "forward", QStyle::SP_MediaSeekForward, reviewtext::kForwardTip, Qt::Key_Right);
    last_
        = createStepAction("last", QStyle::SP_MediaSkipForward, reviewtext::kLastTip, Qt::Key_End);
    connect(first_, &QAction::triggered, this, [this] { showEntry(0); });
    connect(back_, &QAction::triggered, this, [this] { showEntry(entry_ - 1); });
    connect(forward_, &QAction::triggered, this, [this] { showEntry(entry_ + 1); });
    connect(last_, &QAction::triggered, this, [this] { showEntry(game_.lastEntry()); });

    auto *close = new QAction(this);
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    addAction(close);
}

QWidget *ReviewWindow::createButtons()
{
    auto *buttons = new QWidget(this);
    auto *row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    for (QAction *action : {first_, back_, forward_, last_}) {
        auto *button = new QToolButton(buttons);
        button->setDefaultAction(action);
        row->addWidget(button);
    }
    return buttons;
}

QAction *ReviewWindow::createStepAction(
    const char *name, QStyle::StandardPixmap icon, const QString &tip, Qt::Key key)
{
    auto *action = new QAction(style()->standardIcon(icon), tip, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(tip);
    // The window's own keys, whichever of its widgets has the focus.
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void ReviewWindow::showEntry(int index)
{
    const int shown = std::clamp(index, 0, game_.lastEntry());
    if (shown == entry_) {
        return;
    }
    entry_ = shown;
    showBoard();
    showCaptions();
    first_->setEnabled(entry_ > 0);
    back_->setEnabled(entry_ > 0);
    forward_->setEnabled(entry_ < game_.lastEntry());
    last_->setEnabled(entry_ < game_.lastEntry());
}

void ReviewWindow::showBoard()
{
    // The marked disc goes back to the plain board first, so that painting the stones leaves
    // no mark behind, whatever the cell holds now.
    if (marked_) {
        board_->paintDisc(marked_->x, marked_->y, BoardSurface::Disc::Background);
        marked_.reset();
    }
    board_->paintStones(game_.positions[static_cast<std::size_t>(entry_)], true);
    if (entry_ > 0) {
        const RecordEntry entry = game_.entries[static_cast<std::size_t>(entry_ - 1)];
        if (entry.x != 0) {
            board_->markDisc(entry.x, entry.y);
            marked_ = entry;
        }
    }
}

void ReviewWindow::showCaptions()
{
    const GameState &position = game_.positions[static_cast<std::size_t>(entry_)];
    whiteCount_->setText(flowtext::countCaption(kWhite, position.whiteCount));
    blackCount_->setText(flowtext::countCaption(kBlack, position.blackCount));
    stepCaption_->setText(reviewtext::kStepCaption.arg(entry_).arg(game_.lastEntry()));
    moveCaption_->setText(entry_ == 0
            ? QString()
            : moveCaption(entry_, game_.entries[static_cast<std::size_t>(entry_ - 1)]));
    const bool ended = game_.gameOver && entry_ == game_.lastEntry();
    result_->setText(ended ? resultStatement(position.whiteCount, position.blackCount) : QString());

    const QString move = entry_ == 0 ? reviewtext::kOpening : moveCaption_->text();
    QString spoken = reviewtext::kSpokenStep.arg(stepCaption_->text(), move)
                         .arg(position.whiteCount)
                         .arg(position.blackCount);
    if (ended)
        spoken += reviewtext::kSpokenResult.arg(result_->text());
    board_->setAccessibleDescription(spoken);
    notice_->say(spoken);
}

int runReview(const QByteArray &recordName, const ReplayOptions &options)
{
    const QString path = QFile::decodeName(recordName);
    const Result<QByteArray> file = readRecordFile(recordName);
    if (!file) {
        QMessageBox box(QMessageBox::Warning, reviewtext::kTitle,
            reviewtext::kUnreadable + path + QLatin1Char('\n') + file.reason(), QMessageBox::Ok);
        box.setWindowIcon(tavrinIcon());
        box.button(QMessageBox::Ok)->setText(reviewtext::kOk);
        box.exec();
        return fail(2, QStringLiteral("%1: %2").arg(path, file.reason()));
    }
    const RecordText record = parseRecord(file.value());
    if (options.step > static_cast<int>(record.entries.size())) {
        return fail(2,
            QStringLiteral("--step %1 lies beyond the record's %2 entries")
                .arg(options.step)
                .arg(record.entries.size()));
    }
    ReviewGame game = prepareReview(record, options.checkComputer);
    const bool faulty = game.fault.has_value();
    const QString faultMessage = faulty
        ? QStringLiteral("%1:%2: %3").arg(path).arg(game.fault->line).arg(game.fault->reason)
        : QString();
    if (faulty) {
        fail(1, faultMessage);
    }
    ReviewWindow window(std::move(game), QFileInfo(path).fileName(), faultMessage);
    window.showEntry(options.step < 0 ? std::numeric_limits<int>::max() : options.step);
    window.show();
    QApplication::exec();
    return faulty ? 1 : 0;
}

} // namespace tavrin::replay
