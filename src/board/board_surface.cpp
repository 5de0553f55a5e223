#include "board/board_surface.h"

#include "game/board_geometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace tavrin {

namespace {

// Where the frame's pen is centred on the near sides, in board units: just outside the board.
constexpr double kFrameNear = -1.0;

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
    const double centreX = (x - 1) * kCellUnits + kCellUnits / 2;
    const double centreY = (y - 1) * kCellUnits + kCellUnits / 2;
    const QPointF topLeft(
        unitsToPixelsX(centreX - kDiscRadius) - 1.0, unitsToPixelsY(centreY - kDiscRadius) - 1.0);
    const QPointF bottomRight(
        unitsToPixelsX(centreX + kDiscRadius) + 1.0, unitsToPixelsY(centreY + kDiscRadius) + 1.0);
    return QRectF(topLeft, bottomRight);
}

BoardSurface::PixelRun BoardSurface::gridLine(int index, double logical, qreal ratio) const
{
    // The frame's pen is centred just outside the board; what shows is its part inside, the
    // same on every side.
    const double frameInside = logical * kFrameNear / kBoardUnits + kFramePen / 2.0;
    const int frame = qMax(1, qRound(frameInside * ratio));
    if (index <= 0) {
        return {0, frame};
    }
    if (index >= kBoardSize) {
        return {qRound(logical * ratio) - frame, frame};
    }
    const int width = qMax(1, qRound(kGridPen * ratio));
    const double centre = index * kCellUnits * logical / kBoardUnits * ratio;
    return {qFloor(centre - width / 2.0 + 0.5), width};
}

void BoardSurface::drawGrid()
{
    const qreal ratio = devicePixelRatioF();
    if (picture_.isNull()) {
        picture_ = QImage(size() * ratio, QImage::Format_RGB32);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(kBoardColour);
    }
    // Each line covers whole device pixels, so that all lines are equally wide at any scale; a
    // pen at a fractional scale would make some lines a pixel wider than others.
    const qreal pictureRatio = picture_.devicePixelRatio();
    QPainter painter(&picture_);
    painter.scale(1.0 / pictureRatio, 1.0 / pictureRatio);
    for (int i = 0; i <= kBoardSize; ++i) {
        const PixelRun across = gridLine(i, width(), pictureRatio);
        const PixelRun down = gridLine(i, height(), pictureRatio);
        painter.fillRect(QRect(across.start, 0, across.width, picture_.height()), kGridColour);
        painter.fillRect(QRect(0, down.start, picture_.width(), down.width), kGridColour);
    }
    update();
}

void BoardSurface::paintDisc(int x, int y, Disc disc)
{
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
