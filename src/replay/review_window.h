#pragma once

#include "replay/replay.h"
#include "replay/review_game.h"

#include <QStyle>
#include <QWidget>
#include <optional>

class QAction;
class QLabel;

namespace tavrin {
class BoardSurface;
class SpokenNotice;
} // namespace tavrin

namespace tavrin::replay {

// The review window: the board of one position of a saved game, drawn as the game window draws
// it, with the stone of the entry that led there marked; both stone counts, the entry shown, who
// made it and where; and, after the last entry of a finished game, its result with the counts.
// The arrow keys, Home and End (and the buttons beside them) step through the entries; a screen
// reader hears each step, and sees the window as a frame named by its title.
class ReviewWindow : public QWidget
{
    Q_OBJECT
public:
    // `fileName` names the record in the title; `faultMessage`, shown in red, says why the
    // entries stop before the end of the file (empty for a sound record).
    ReviewWindow(ReviewGame game, const QString &fileName, const QString &faultMessage,
        QWidget *parent = nullptr);

    // Shows the position after entry `index`, held within 0 and the last entry.
    void showEntry(int index);
    int entry() const { return entry_; }

private:
    void createActions();
    QWidget *createPanel(const QString &faultMessage);
    QWidget *createButtons();
    QAction *createStepAction(
        const char *name, QStyle::StandardPixmap icon, const QString &tip, Qt::Key key);
    void showBoard();
    void showCaptions();

    ReviewGame game_;
    int entry_ = -1;
    std::optional<RecordEntry> marked_; // the cell whose disc carries the mark
    BoardSurface *board_ = nullptr;
    QLabel *whiteCount_ = nullptr;
    QLabel *blackCount_ = nullptr;
    QLabel *stepCaption_ = nullptr;
    QLabel *moveCaption_ = nullptr;
    QLabel *result_ = nullptr;
    SpokenNotice *notice_ = nullptr; // tells a screen reader each step
    QAction *first_ = nullptr;
    QAction *back_ = nullptr;
    QAction *forward_ = nullptr;
    QAction *last_ = nullptr;
};

// Opens the review window on the record named by `recordName` (the file name's bytes), shows the
// entry options.step (the last entry when it is negative) and runs until the window is closed.
// Returns the replay tool's exit status: 0 for a sound record, 1 for one with a fault (shown in the
// window and written to stderr), 2 for a file that cannot be read (said in a message box) or a step
// beyond the record.
int runReview(const QByteArray &recordName, const ReplayOptions &options);

} // namespace tavrin::replay
