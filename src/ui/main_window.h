#pragma once

#include "banner/feed_url.h"
#include "board/board_surface.h"
#include "board/spoken_notice.h"
#include "flow/game_flow.h"
#include "flow/window_services.h"
#include "ui/single_instance.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace tavrin {

// `MainWindow`: the main window. Owns the game, shows the panel, the board and the banner, and
// hands every event of the game to the game flow, for which it provides the window's services.
class MainWindow : public QMainWindow, public WindowServices
{
    Q_OBJECT
public:
    // `feedUrl` is where the banner fetches its feed; the program always uses the built-in one.
    explicit MainWindow(QWidget *parent = nullptr, const QString &feedUrl = defaultFeedUrl());
    ~MainWindow() override;

    // The game: board, counts, record, clock count and the handlers of the game.
    GameFlow &flow() { return flow_; }
    const GameFlow &flow() const { return flow_; }

    // Draws the board's scale, frame and grid.
    void drawEmptyBoard();

    // The window's services for the game.
    bool askYesNo(
        const QString &text, const QString &title, Icon icon, const QString &spokenDetail) override;
    void showInformation(const QString &text, const QString &title) override;
    QString chooseSaveFile(const QString &title, const QString &initialName) override;
    void beep() override;
    void endProgram() override;
    void paintStones() override;
    void repaintBoard() override;
    void startClock() override;
    void showStatusLabels() override;
    void setModeCaption(const QString &caption) override;
    void announceExchange(const Exchange &exchange) override;

public slots:
    // Window load: show, leave if another instance runs, draw the grid, set up the board.
    void load();
    // One second of the game clock.
    void advanceClock();
    // The menu commands of the help menu and Exit.
    void showRules();
    void showAbout();
    void exitProgram();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createPanel(QWidget *area);
    void createBoard(QWidget *area);
    void createBanner(QWidget *area, const QString &feedUrl);
    void createMenus();
    void createClock();
    // Paints the stones of the board, and with `clearEmpty` the empty cells too; then the counts.
    void paintPosition(bool clearEmpty);
    // Pointer feedback over the board: the pointer shape and the position caption.
    void showPointerFeedback(const std::optional<PointerCell> &cell);
    // The position caption: cell (x, y) as "x,y".
    void showPosition(const PointerCell &cell);
    // What a key on the board asked to be read out, said to the screen reader.
    void readOut(BoardSurface::Reading reading);

    GameFlow flow_; // the game state and its handlers
    SingleInstance instance_; // the lock that keeps a second copy from running
    bool loaded_ = false; // window load has run
    bool programEnding_ = false; // set once the program has been told to end

    // The controls; each one's object name is the name the game has always given it.
    QWidget *panel_ = nullptr; // `Picture1`: the top panel holding the five labels
    QLabel *whiteCountLabel_ = nullptr; // `bqxy`: white stone count
    QLabel *blackCountLabel_ = nullptr; // `hqxy`: black stone count
    QLabel *modeLabel_ = nullptr; // `xzld`: mode of play
    QLabel *positionLabel_ = nullptr; // `xqwz`: cell under the pointer
    QLabel *clockLabel_ = nullptr; // `timenow`: elapsed time of the game
    BoardSurface *board_ = nullptr; // `qp`: the board picture
    QTimer *clockTimer_ = nullptr; // `Timer1`: the one-second clock
    SpokenNotice *notice_ = nullptr; // what the screen reader is told without being asked
    std::optional<Exchange> lastExchange_; // of the game under way, for the key R

    QMenu *gameMenu_ = nullptr; // `game`
    QAction *newGameAction_ = nullptr; // `MNrj`: new game against the computer
    QAction *twoPlayerAction_ = nullptr; // `mnRR`: two players, never enabled
    QAction *replayAction_ = nullptr; // `mnFP`: replay, never enabled
    QAction *separatorAction_ = nullptr; // `STEP`: separator line of the game menu
    QAction *exitAction_ = nullptr; // `mnExit`: ends the program
    QMenu *helpMenu_ = nullptr; // `hlp`
    QAction *rulesAction_ = nullptr; // `rules`: shows the rules
    QAction *aboutAction_ = nullptr; // `mnAbout`: opens the home page and shows the About box
    QAction *passAction_ = nullptr; // `fqyz`: the player passes; a command on the menu bar itself
};

} // namespace tavrin
