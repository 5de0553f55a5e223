#include "board/board_surface.h"

#include "board/board_accessible.h"
#include "game/board_geometry.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>
#include <algorithm>

namespace tavrin {

namespace {

// Where the frame's pen is centred on the near sides, in board units: just outside the board.
constexpr double kFrameNear = -1.0;

} // namespace

BoardSurface::BoardSurface(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    installBoardAccessibility();
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

qreal BoardSurface::pictureRatio() const
{
    return picture_.isNull() ? devicePixelRatioF() : picture_.devicePixelRatio();
}

QRect BoardSurface::cellPixels(int x, int y) const
{
    const qreal ratio = pictureRatio();
    const PixelRun left = gridLine(x - 1, width(), ratio);
    const PixelRun right = gridLine(x, width(), ratio);
    const PixelRun top = gridLine(y - 1, height(), ratio);
    const PixelRun bottom = gridLine(y, height(), ratio);
    return QRect(QPoint(left.end(), top.end()), QPoint(right.start - 1, bottom.start - 1));
}

QRectF BoardSurface::cellArea(int x, int y) const
{
    const qreal ratio = pictureRatio();
    const QRect pixels = cellPixels(x, y);
    return QRectF(QPointF(pixels.topLeft()) / ratio, QSizeF(pixels.size()) / ratio);
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
    notifyAccessibleName(x, y);
}

void BoardSurface::paintStones(const GameState &state, bool clearEmpty)
{
    for (int y = 1; y <= kBoardSize; ++y) {
        for (int x = 1; x <= kBoardSize; ++x) {
            const std::int16_t code = state.board[x][y];
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
    if (focusFrameShown()) {
        paintFocusFrame(painter);
    }
}

bool BoardSurface::focusFrameShown() const
{
    return keyboardInUse_ && hasFocus() && !picture_.isNull();
}

void BoardSurface::paintFocusFrame(QPainter &painter) const
{
    const qreal ratio = pictureRatio();
    const int outer = qMax(1, qRound(kFocusOuterWidth * ratio));
    const int inner = qMax(1, qRound(kFocusInnerWidth * ratio));
    const auto ring = [&painter](const QRect &box, int width, const QColor &colour) {
        painter.fillRect(QRect(box.left(), box.top(), box.width(), width), colour);
        painter.fillRect(QRect(box.left(), box.bottom() + 1 - width, box.width(), width), colour);
        painter.fillRect(QRect(box.left(), box.top(), width, box.height()), colour);
        painter.fillRect(QRect(box.right() + 1 - width, box.top(), width, box.height()), colour);
    };
    // In the picture's pixels, inside the grid lines of the cell: nothing else changes.
    const QRect cell = cellPixels(int(focusCell_.column), int(focusCell_.row));
    painter.save();
    painter.scale(1.0 / ratio, 1.0 / ratio);
    ring(cell, outer, kFocusOuterColour);
    ring(cell.adjusted(outer, outer, -outer, -outer), inner, kFocusInnerColour);
    painter.restore();
}

void BoardSurface::mouseMoveEvent(QMouseEvent *event)
{
    setKeyboardInUse(false);
    emit pointerMoved(cellAt(boardX(event->position().x()), boardY(event->position().y())));
}

void BoardSurface::mouseReleaseEvent(QMouseEvent *event)
{
    emit released(
        cellAt(boardX(event->position().x()), boardY(event->position().y())), event->button());
}

void BoardSurface::keyPressEvent(QKeyEvent *event)
{
    if (readingKey(*event)) {
        return;
    }
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool plays = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    const std::optional<PointerCell> target = focusTarget(key);
    if (!plain || (!plays && !target)) {
        QWidget::keyPressEvent(event);
        return;
    }
    setKeyboardInUse(true);
    if (target) {
        moveFocusCell(*target);
    } else if (!event->isAutoRepeat()) {
        // A key held down plays once, as a button held down is released once.
        emit released(focusCell_, Qt::LeftButton);
    }
}

bool BoardSurface::readingKey(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    if (modifiers != Qt::NoModifier && !(shift && event.key() == Qt::Key_L)) {
        return false;
    }
    switch (event.key()) {
    case Qt::Key_L:
        setKeyboardInUse(true);
        if (const std::optional<PointerCell> cell = nextPlayableCell(shift)) {
            const bool same = cell->column == focusCell_.column && cell->row == focusCell_.row;
            same ? emit readingRequested(Reading::FocusCell) : moveFocusCell(*cell);
        } else {
            emit readingRequested(Reading::NoPlayableCell);
        }
        return true;
    case Qt::Key_S:
        emit readingRequested(Reading::Position);
        return true;
    case Qt::Key_R:
        emit readingRequested(Reading::LastExchange);
        return true;
    default:
        return false;
    }
}

bool BoardSurface::playableCell(int x, int y) const
{
    return state_ != nullptr && state_->gameStarted == 1 && state_->board[x][y] == kEmpty
        && state_->playable[x][y] == kLegal;
}

std::optional<PointerCell> BoardSurface::nextPlayableCell(bool backwards) const
{
    constexpr int kCells = kBoardSize * kBoardSize;
    const int step = backwards ? kCells - 1 : 1;
    const int focus = boardCellIndex(int(focusCell_.column), int(focusCell_.row));
    for (int index = (focus + step) % kCells, seen = 0; seen < kCells;
         index = (index + step) % kCells, ++seen) {
        const int x = index % kBoardSize + 1;
        const int y = index / kBoardSize + 1;
        if (playableCell(x, y)) {
            return PointerCell {x, y};
        }
    }
    return std::nullopt;
}

std::optional<PointerCell> BoardSurface::focusTarget(int key) const
{
    // The arrows step one cell; Home and End go to the ends of the row, Page Up and Page Down to
    // those of the column (a step of a whole board, stopped at its edge).
    struct Step
    {
        int key, across, down;
    };
    static constexpr Step kSteps[]
        = {{Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1},
            {Qt::Key_Home, -kBoardSize, 0}, {Qt::Key_End, kBoardSize, 0},
            {Qt::Key_PageUp, 0, -kBoardSize}, {Qt::Key_PageDown, 0, kBoardSize}};
    const auto *step = std::find_if(
        std::begin(kSteps), std::end(kSteps), [key](const Step &s) { return s.key == key; });
    if (step == std::end(kSteps)) {
        return std::nullopt;
    }
    const auto onBoard = [](long long index) {
        return std::clamp(index, 1LL, static_cast<long long>(kBoardSize));
    };
    return PointerCell {
        onBoard(focusCell_.column + step->across), onBoard(focusCell_.row + step->down)};
}

void BoardSurface::moveFocusCell(const PointerCell &cell)
{
    if (cell.column == focusCell_.column && cell.row == focusCell_.row) {
        return;
    }
    updateFocusCell();
    focusCell_ = cell;
    updateFocusCell();
    emit focusCellMoved(focusCell_);
    notifyAccessibleFocus();
}

void BoardSurface::updateFocusCell()
{
    update(cellArea(int(focusCell_.column), int(focusCell_.row)).toAlignedRect());
}

void BoardSurface::setKeyboardInUse(bool inUse)
{
    if (keyboardInUse_ == inUse) {
        return;
    }
    keyboardInUse_ = inUse;
    updateFocusCell();
}

// Focus shows or hides the frame alone: the rest of the board looks the same either way.
void BoardSurface::focusInEvent(QFocusEvent *)
{
    updateFocusCell();
    // After the toolkit has told of the board itself taking the focus, which it does once this
    // handler has returned: the focus cell is then what a screen reader reads.
    if (QAccessible::isActive()) {
        QMetaObject::invokeMethod(this, &BoardSurface::notifyAccessibleFocus, Qt::QueuedConnection);
    }
}

void BoardSurface::focusOutEvent(QFocusEvent *)
{
    updateFocusCell();
}

void BoardSurface::notifyAccessibleFocus()
{
    if (QAccessible::isActive() && hasFocus()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(boardCellIndex(int(focusCell_.column), int(focusCell_.row)));
        QAccessible::updateAccessibility(&event);
    }
}

void BoardSurface::notifyAccessibleName(int x, int y)
{
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        event.setChild(boardCellIndex(x, y));
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace tavrin
