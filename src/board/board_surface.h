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

// The board picture: keeps everything drawn on it in an image of its own and shows that image,
// so the picture survives being covered. Drawing uses a scale of 1000 × 1000 units over the
// whole surface; pointer positions are reported in the same units.
class BoardSurface : public QWidget
{
    Q_OBJECT
public:
    // What a cell shows after a disc has been painted on it.
    enum class Disc { Background, White, Black };

    // Radius of a stone disc, in board units.
    static constexpr double kDiscRadius = 22.0;
    // Pen widths, in pixels, of the frame and of the grid lines.
    static constexpr int kFramePen = 3;
    static constexpr int kGridPen = 1;

    explicit BoardSurface(QWidget *parent = nullptr);

    // Frame and grid, drawn over whatever the surface holds.
    void drawGrid();
    // Paints the disc of cell (x, y), 1..16 each; a cell that already shows it is left alone.
    void paintDisc(int x, int y, Disc disc);
    // Paints a disc for every stone of `state`, and with `clearEmpty` the board colour over every
    // empty cell.
    void paintStones(const GameState &state, bool clearEmpty);
    // The picture as it stands, at the device pixel ratio of the surface.
    const QImage &picture() const { return picture_; }

signals:
    // The pointer moved to, or a button was released over, the cell under it: nothing when the
    // pointer is on a grid line; a cell outside 1..16 when it is off the board.
    void pointerMoved(const std::optional<tavrin::PointerCell> &cell);
    void released(const std::optional<tavrin::PointerCell> &cell, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

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

    QImage picture_;
    Disc shown_[kBoardSize + 1][kBoardSize + 1] = {}; // what each cell of the picture shows
};

} // namespace tavrin
