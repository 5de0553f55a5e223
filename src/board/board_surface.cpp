#include "board/board_surface.h"

#include "game/board_geometry.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavrin {

namespace {

// The corners of the frame rectangle, in board units.
constexpr double kFrameNear = -1.0;
constexpr double kFrameFar = 1000.0;

} // namespace

BoardSurface::BoardSurface(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double BoardSurface::unitsToPixelsX(double units) const
{
    return units * width() / kBoardUnits;
}

double BoardSurface::unitsToPixelsY(double units) const
{
    return units * height() / kBoardUnits;
}

float BoardSurface::boardX(double pixels) const
{
    return static_cast<float>(pixels * kBoardUnits / width());
}

float BoardSurface::boardY(double pixels) const
{
    return static_cast<float>(pixels * kBoardUnits / height());
}

QRectF BoardSurface::discBox(int x, int y) const
{
    const double centreX = cellCentreUnits(x);
    const double centreY = cellCentreUnits(y);
    const QPointF topLeft(
        unitsToPixelsX(centreX - kDiscRadius) - 1.0, unitsToPixelsY(centreY - kDiscRadius) - 1.0);
    const QPointF bottomRight(
        unitsToPixelsX(centreX + kDiscRadius) + 1.0, unitsToPixelsY(centreY + kDiscRadius) + 1.0);
    return QRectF(topLeft, bottomRight);
}

void BoardSurface::drawGrid()
{
    const qreal ratio = devicePixelRatioF();
    if (picture_.isNull()) {
        picture_ = QImage(size() * ratio, QImage::Format_RGB32);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(kBoardColour);
    }
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kGridColour, kFramePen));
    painter.drawRect(QRectF(QPointF(unitsToPixelsX(kFrameNear), unitsToPixelsY(kFrameNear)),
        QPointF(unitsToPixelsX(kFrameFar), unitsToPixelsY(kFrameFar))));
    painter.setPen(QPen(kGridColour, kGridPen));
    for (int i = 1; i < kBoardSize; ++i) {
        const double at = i * kCellUnits;
        painter.drawLine(QPointF(unitsToPixelsX(at), 0), QPointF(unitsToPixelsX(at), height()));
        painter.drawLine(QPointF(0, unitsToPixelsY(at)), QPointF(width(), unitsToPixelsY(at)));
    }
    update();
}

void BoardSurface::paintDisc(int x, int y, Disc disc)
{
    // Callers paint board cells only; anything else is a mistake, and is ignored in a release
    // build.
    Q_ASSERT(x >= 1 && x <= kBoardSize && y >= 1 && y <= kBoardSize);
    if (x < 1 || x > kBoardSize || y < 1 || y > kBoardSize || picture_.isNull()
        || shown_[x][y] == disc) {
        return;
    }
    shown_[x][y] = disc;
    const QRectF box = discBox(x, y);
    QPainter painter(&picture_);
    // An antialiased disc painted over another would keep a fringe of the old colour, so the
    // cell goes back to the plain board first; the box stays clear of the grid lines.
    painter.fillRect(box, kBoardColour);
    if (disc != Disc::Background) {
        const QColor colour = disc == Disc::White ? kWhiteStoneColour : kBlackStoneColour;
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(colour, kGridPen));
        painter.setBrush(colour);
        painter.drawEllipse(box.center(), unitsToPixelsX(kDiscRadius), unitsToPixelsY(kDiscRadius));
    }
    update(box.toAlignedRect());
}

void BoardSurface::paintStones(const GameState &state, bool clearEmpty)
{
    for (int y = 1; y <= kBoardSize; ++y) {
        for (int x = 1; x <= kBoardSize; ++x) {
            const std::int16_t code = state.qizi[x][y];
            if (code == kWhite) {
                paintDisc(x, y, Disc::White);
            } else if (code == kBlack) {
                paintDisc(x, y, Disc::Black);
            } else if (clearEmpty) {
                paintDisc(x, y, Disc::Background);
            }
        }
    }
}

void BoardSurface::markDisc(int x, int y)
{
    // Radius of the ring, in board units, and its pen in pixels: small enough to leave a band of
    // the disc's own colour around it, so the stone's side stays plain to see.
    constexpr double kRingRadius = 11.0;
    constexpr double kRingPen = 2.0;
    if (x < 1 || x > kBoardSize || y < 1 || y > kBoardSize || picture_.isNull()
        || shown_[x][y] == Disc::Background) {
        return;
    }
    const QColor ring = shown_[x][y] == Disc::White ? kBlackStoneColour : kWhiteStoneColour;
    const QRectF box = discBox(x, y);
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(ring, kRingPen));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box.center(), unitsToPixelsX(kRingRadius), unitsToPixelsY(kRingRadius));
    update(box.toAlignedRect());
}

void BoardSurface::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(event->rect(), kBoardColour);
        return;
    }
    painter.drawImage(event->rect(), picture_,
        QRectF(QPointF(event->rect().topLeft()) * picture_.devicePixelRatio(),
            QSizeF(event->rect().size()) * picture_.devicePixelRatio()));
}

void BoardSurface::mouseMoveEvent(QMouseEvent *event)
{
    emit pointerMoved(cellAt(boardX(event->position().x()), boardY(event->position().y())));
}

void BoardSurface::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(
        cellAt(boardX(event->position().x()), boardY(event->position().y())), event->button());
}

} // namespace tavrin
