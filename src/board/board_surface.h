#pragma once

#include "game/board_geometry.h"
#include "game/game_state.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace tavrin {

// Colours of the board picture.
inline const QColor kGridColour(0x00, 0xFF, 0xFF); // grid lines and frame: light cyan
inline const QColor kWhiteStoneColour(0xFF, 0xFF, 0xFF); // white stone
inline const QColor kBlackStoneColour(0x00, 0x00, 0x00); // black stone
inline const QColor kBoardColour(0xFF, 0xC0, 0x80); // the board's background

// Colours of the keyboard focus frame: a dark band along the grid lines and a light band inside
// it. The dark blue stands out 7.4:1 from the board, 9.5:1 from the grid and 11.9:1 from a white
// stone; the white band stands out 21:1 from a black stone and 11.9:1 from the dark band.
inline const QColor kFocusOuterColour(0x00, 0x00, 0xC0); // dark blue
inline const QColor kFocusInnerColour(0xFF, 0xFF, 0xFF); // white

// The board picture: keeps everything drawn on it in an image of its own and shows that image,
// so the picture survives being covered. Drawing uses a scale of 1000 × 1000 units over the
// whole surface; pointer positions are reported in the same units.
//
// The keyboard plays on it too: a focus cell moves with the arrow keys, and Enter or Space
// releases the left button there; L and Shift+L take it to the next or previous cell where white
// may play, and S and R ask for the position and the last exchange to be read out. A frame marks
// the focus cell once a key has been used, until the pointer moves over the board again; it is
// drawn over the picture, never into it. Screen readers see the board as a grid of cells
// (board_accessible.h).
class BoardSurface : public QWidget
{
    Q_OBJECT
public:
    // What a cell shows after a disc has been painted on it.
    enum class Disc { Background, White, Black };
    // What a key asks to be read out: that no cell is playable (L found none), the focus cell
    // (L found no other playable cell than the one the focus is on), the counts and the clock
    // (S), the last exchange again (R).
    enum class Reading { NoPlayableCell, FocusCell, Position, LastExchange };

    // Radius of a stone disc, in board units.
    static constexpr double kDiscRadius = 22.0;
    // Pen widths, in pixels, of the frame and of the grid lines.
    static constexpr int kFramePen = 3;
    static constexpr int kGridPen = 1;
    // Widths, in pixels, of the two bands of the focus frame.
    static constexpr int kFocusOuterWidth = 2;
    static constexpr int kFocusInnerWidth = 1;
    // The focus cell before any key has moved it.
    static constexpr int kFirstFocusColumn = 8;
    static constexpr int kFirstFocusRow = 8;

    explicit BoardSurface(QWidget *parent = nullptr);

    // Frame and grid, drawn over whatever the surface holds.
    void drawGrid();
    // Paints the disc of cell (x, y), 1..16 each; a cell that already shows it is left alone.
    void paintDisc(int x, int y, Disc disc);
    // Paints a disc for every stone of `state`, and with `clearEmpty` the board colour over every
    // empty cell.
    void paintStones(const GameState &state, bool clearEmpty);
    // Marks the disc of cell (x, y) as the move just made: a ring in the other side's colour
    // inside it. A cell without a disc gets no mark; painting the cell's background takes the
    // mark away.
    void markDisc(int x, int y);
    // The picture as it stands, at the device pixel ratio of the surface.
    const QImage &picture() const { return picture_; }
    // What the picture shows on cell (x, y), 1..16 each.
    Disc shownDisc(int x, int y) const { return shown_[x][y]; }

    // The game whose stones and legal cells a screen reader is told of; without one it hears
    // what the picture shows. The state must outlive the surface.
    void setState(const GameState *state) { state_ = state; }
    const GameState *state() const { return state_; }

    // The cell that the keyboard acts on, 1..16 each way, and whether its frame is showing.
    PointerCell focusCell() const { return focusCell_; }
    bool focusFrameShown() const;
    // The area of cell (x, y) between its grid lines, in the surface's own coordinates.
    QRectF cellArea(int x, int y) const;

    // Whether white may play on cell (x, y) in a game under way, as far as the game state says.
    bool playableCell(int x, int y) const;

signals:
    // The pointer moved to, or a button was released over, the cell under it: nothing when the
    // pointer is on a grid line; a cell outside 1..16 when it is off the board. The keys that
    // play release the left button over the focus cell.
    void pointerMoved(const std::optional<tavrin::PointerCell> &cell);
    void released(const std::optional<tavrin::PointerCell> &cell, Qt::MouseButton button);
    // A key moved the focus cell.
    void focusCellMoved(const tavrin::PointerCell &cell);
    // A key asked for something to be read out to a screen reader.
    void readingRequested(tavrin::BoardSurface::Reading reading);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // A run of whole device pixels across or down the picture.
    struct PixelRun
    {
        int start = 0;
        int width = 0;
        int end() const { return start + width; }
    };

    // Pixels (logical) per board unit, across and down.
    double unitsToPixelsX(double units) const;
    double unitsToPixelsY(double units) const;
    // Position of a pointer event in board units.
    float boardX(double pixels) const;
    float boardY(double pixels) const;
    // The square that holds the disc of cell (x, y), with a pixel of margin, in logical pixels.
    QRectF discBox(int x, int y) const;
    // Line `index` of the grid across `logical` pixels at `ratio` device pixels to a pixel:
    // lines 0 and 16 are the sides of the frame, lines 1..15 lie between the cells.
    PixelRun gridLine(int index, double logical, qreal ratio) const;
    // Device pixels per logical pixel of the picture, or of the surface before there is one.
    qreal pictureRatio() const;
    // Cell (x, y) between its grid lines, in the picture's device pixels.
    QRect cellPixels(int x, int y) const;
    void paintFocusFrame(QPainter &painter) const;
    // The keys L, Shift+L, S and R; false for any other key.
    bool readingKey(const QKeyEvent &event);
    // The cell a navigation key moves the focus cell to, or nothing for any other key.
    std::optional<PointerCell> focusTarget(int key) const;
    // The first playable cell after the focus cell in reading order (row by row), or before it
    // with `backwards`, going round the board; nothing when no cell is playable.
    std::optional<PointerCell> nextPlayableCell(bool backwards) const;
    void moveFocusCell(const PointerCell &cell);
    // Repaints the focus cell, with its frame or without.
    void updateFocusCell();
    // Shows or hides the focus frame for keyboard use.
    void setKeyboardInUse(bool inUse);
    void notifyAccessibleFocus();
    void notifyAccessibleName(int x, int y);

    QImage picture_;
    Disc shown_[kBoardSize + 1][kBoardSize + 1] = {}; // what each cell of the picture shows
    const GameState *state_ = nullptr;
    PointerCell focusCell_ {kFirstFocusColumn, kFirstFocusRow};
    bool keyboardInUse_ = false; // a key was used since the pointer last moved over the board
};

} // namespace tavrin
