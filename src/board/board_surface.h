#pragma once

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
    // The picture as it stands, at the device pixel ratio of the surface.
    const QImage &picture() const { return picture_; }

signals:
    // Pointer moved or button released, with buttons and shift state coded as 1 left / shift,
    // 2 right / ctrl, 4 middle / alt, and the position in board units.
    void pointerMoved(int button, int shift, float x, float y);
    void released(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Pixels (logical) per board unit, across and down.
    double unitsToPixelsX(double units) const;
    double unitsToPixelsY(double units) const;
    // Position of a pointer event in board units.
    float boardX(double pixels) const;
    float boardY(double pixels) const;
    // The square that holds the disc of cell (x, y), with a pixel of margin, in logical pixels.
    QRectF discBox(int x, int y) const;

    QImage picture_;
    Disc shown_[kBoardSize + 1][kBoardSize + 1] = {}; // what each cell of the picture shows
};

} // namespace tavrin
