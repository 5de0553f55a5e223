#pragma once

#include "banner/feed_url.h"
#include "board/board_surface.h"
#include "flow/game_flow.h"
#include "flow/window_services.h"
#include "ui/single_instance.h"

#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace tavrin {

// `xq`: the main window. Owns the game, shows the panel, the board and the banner, and hands
// every event of the game to the game flow, for which it provides the window's services.
class xq : public QMainWindow, public WindowServices
{
    Q_OBJECT
public:
    // `feedUrl` is where the banner fetches its feed; the program always uses the built-in one.
    explicit xq(QWidget *parent = nullptr, const QString &feedUrl = defaultFeedUrl());
    ~xq() override;

    // The game: board, counts, record, clock count and the handlers of the game.
    GameFlow &flow() { return flow_; }
    const GameFlow &flow() const { return flow_; }

    // Whether the Save dialog may be the desktop's own; tests turn it off to drive Qt's dialog.
    static void setNativeFileDialogsAllowed(bool allowed);

    // `drawnewqp`: the board's scale, frame and grid.
    void drawnewqp();

    // The window's services for the game.
    bool askYesNo(const QString &text, const QString &title, Icon icon) override;
    void showInformation(const QString &text, const QString &title) override;
    QString chooseSaveFile(const QString &title, const QString &initialName) override;
    void beep() override;
    void endProgram() override;
    void hq() override;
    void hq2() override;
    void startClock() override;
    void showStatusLabels() override;
    void setModeCaption(const QString &caption) override;

public slots:
    // Window load: show, leave if another instance runs, draw the grid, set up the board.
    void load();
    // One second of the clock `Timer1`.
    void clockTick();
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
    // Pointer feedback over the board.
    void boardPointerMoved(int button, int shift, float x, float y);

    GameFlow flow_; // the game state and its handlers
    SingleInstance instance_; // the lock that keeps a second copy from running
    bool loaded_ = false; // window load has run
    bool programEnding_ = false; // set once the program has been told to end

    QWidget *Picture1 = nullptr; // top panel holding the five labels
    QLabel *bqxy = nullptr; // white stone count
    QLabel *hqxy = nullptr; // black stone count
    QLabel *xzld = nullptr; // mode of play
    QLabel *xqwz = nullptr; // cell under the pointer
    QLabel *timenow = nullptr; // elapsed time of the game
    BoardSurface *qp = nullptr; // the board picture
    QTimer *Timer1 = nullptr; // the one-second clock

    QMenu *game = nullptr; // the game menu
    QAction *MNrj = nullptr; // new game against the computer
    QAction *mnRR = nullptr; // two players: never enabled
    QAction *mnFP = nullptr; // replay: never enabled
    QAction *STEP = nullptr; // separator line of the game menu
    QAction *mnExit = nullptr; // ends the program
    QMenu *hlp = nullptr; // the help menu
    QAction *rules = nullptr; // shows the rules
    QAction *mnAbout = nullptr; // opens the home page and shows the About box
    QAction *fqyz = nullptr; // the player passes: a command on the menu bar itself
};

} // namespace tavrin
