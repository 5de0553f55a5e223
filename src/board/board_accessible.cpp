#include "board/board_accessible.h"

#include "board/board_surface.h"
#include "desktop/accessible_factory.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>
#include <array>

namespace tavrin {

namespace {

constexpr int kCellCount = kBoardSize * kBoardSize;

// What a screen reader hears.
constexpr char kBoardName[] = "棋盘";
constexpr char kWhiteStone[] = "白棋";
constexpr char kBlackStone[] = "黑棋";
constexpr char kEmptyCell[] = "空";
constexpr char kPlayable[] = " 可落子";

// One cell of the board: a child of the board's grid, owned by it.
class BoardCell : public QAccessibleInterface
{
public:
    BoardCell(BoardSurface *board, int index) : board_(board), index_(index) { }

    BoardSurface *board() const { return board_; }
    int index() const { return index_; }
    int column() const { return index_ % kBoardSize + 1; }
    int row() const { return index_ / kBoardSize + 1; }

    bool isValid() const override { return board_ != nullptr; }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return board_ ? board_->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(board_);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name && board_ ? boardCellName(*board_, column(), row())
                                                   : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;

private:
    QPointer<BoardSurface> board_;
    int index_;
};

QRect BoardCell::rect() const
{
    if (!board_) {
        return {};
    }
    const QRectF area = board_->cellArea(column(), row());
    return QRectF(board_->mapToGlobal(area.topLeft()), area.size()).toAlignedRect();
}

QAccessible::State BoardCell::state() const
{
    QAccessible::State state;
    state.focusable = true;
    if (board_) {
        const PointerCell focus = board_->focusCell();
        state.focused
            = board_->hasFocus() && boardCellIndex(int(focus.column), int(focus.row)) == index_;
        state.invisible = !board_->isVisible();
    }
    return state;
}

// The board as a grid whose cells are its children. A cell's interface is made the first time
// it is asked for and kept until the grid goes.
class BoardGrid : public QAccessibleWidget
{
public:
    explicit BoardGrid(BoardSurface *board) : QAccessibleWidget(board, QAccessible::Table) { }
    ~BoardGrid() override
    {
        for (const QAccessible::Id id : cellIds_) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    BoardSurface *board() const { return static_cast<BoardSurface *>(widget()); }

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? QString::fromUtf8(kBoardName)
                                         : QAccessibleWidget::text(type);
    }
    int childCount() const override { return kCellCount; }
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto *cell = dynamic_cast<const BoardCell *>(child);
        return cell && cell->board() == board() ? cell->index() : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override
    {
        const PointerCell focus = board()->focusCell();
        return board()->hasFocus() ? child(boardCellIndex(int(focus.column), int(focus.row)))
                                   : nullptr;
    }

private:
    mutable std::array<QAccessible::Id, kCellCount> cellIds_ {}; // 0: not made yet
};

QAccessibleInterface *BoardGrid::child(int index) const
{
    if (index < 0 || index >= kCellCount) {
        return nullptr;
    }
    QAccessible::Id &id = cellIds_[static_cast<std::size_t>(index)];
    QAccessibleInterface *cell = id != 0 ? QAccessible::accessibleInterface(id) : nullptr;
    if (cell == nullptr) {
        cell = new BoardCell(board(), index);
        id = QAccessible::registerAccessibleInterface(cell);
    }
    return cell;
}

QAccessibleInterface *BoardGrid::childAt(int x, int y) const
{
    const QPoint at = board()->mapFromGlobal(QPoint(x, y));
    if (!board()->rect().contains(at)) {
        return nullptr;
    }
    return child(boardCellIndex(
        at.x() * kBoardSize / board()->width() + 1, at.y() * kBoardSize / board()->height() + 1));
}

} // namespace

void installBoardAccessibility()
{
    installAccessibleInterface<BoardSurface, BoardGrid>();
}

QString boardCellName(const BoardSurface &board, int x, int y)
{
    const QString cell
        = QString::number(x) + QLatin1Char(',') + QString::number(y) + QLatin1Char(' ');
    if (const GameState *state = board.state()) {
        if (state->board[x][y] == kWhite) {
            return cell + QString::fromUtf8(kWhiteStone);
        }
        if (state->board[x][y] == kBlack) {
            return cell + QString::fromUtf8(kBlackStone);
        }
        return cell + QString::fromUtf8(kEmptyCell)
            + (board.playableCell(x, y) ? QString::fromUtf8(kPlayable) : QString());
    }
    switch (board.shownDisc(x, y)) {
    case BoardSurface::Disc::White:
        return cell + QString::fromUtf8(kWhiteStone);
    case BoardSurface::Disc::Black:
        return cell + QString::fromUtf8(kBlackStone);
    default:
        return cell + QString::fromUtf8(kEmptyCell);
    }
}

} // namespace tavrin
