#include "board/board_accessible.h"

#include "board/board_surface.h"

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

// One cell of the board: a child of the board's table, owned by it.
class BoardCell : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    BoardCell(BoardSurface *board, int index) : board_(board), index_(index) { }

    BoardSurface *board() const { return board_; }
    int index() const { return index_; }

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
        return type == QAccessible::Name && board_
            ? boardCellName(*board_, columnIndex() + 1, rowIndex() + 1)
            : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override;
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface
            ? static_cast<QAccessibleTableCellInterface *>(this)
            : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return index_ % kBoardSize; }
    int rowIndex() const override { return index_ / kBoardSize; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

private:
    QPointer<BoardSurface> board_;
    int index_;
};

QRect BoardCell::rect() const
{
    if (!board_) {
        return {};
    }
    const QRectF area = board_->cellArea(columnIndex() + 1, rowIndex() + 1);
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

// The board as a table whose cells are its children. A cell's interface is made the first time
// it is asked for and kept until the table goes.
class BoardTable : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit BoardTable(BoardSurface *board) : QAccessibleWidget(board, QAccessible::Table) { }
    ~BoardTable() override
    {
        for (const QAccessible::Id id : cellIds_) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    BoardSurface *board() const { return static_cast<BoardSurface *>(widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface *>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name) {
            return QString::fromUtf8(kBoardName);
        }
        return type == QAccessible::Description ? board()->announcement()
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

    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override
    {
        return row < 0 || row >= kBoardSize || column < 0 || column >= kBoardSize
            ? nullptr
            : child(row * kBoardSize + column);
    }
    int columnCount() const override { return kBoardSize; }
    int rowCount() const override { return kBoardSize; }
    QString columnDescription(int column) const override { return QString::number(column + 1); }
    QString rowDescription(int row) const override { return QString::number(row + 1); }
    // Nothing on the board is ever selected.
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface *> selectedCells() const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override { }

private:
    mutable std::array<QAccessible::Id, kCellCount> cellIds_ {}; // 0: not made yet
};

QAccessibleInterface *BoardTable::child(int index) const
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

QAccessibleInterface *BoardTable::childAt(int x, int y) const
{
    const QPoint at = board()->mapFromGlobal(QPoint(x, y));
    if (!board()->rect().contains(at)) {
        return nullptr;
    }
    return cellAt(at.y() * kBoardSize / board()->height(), at.x() * kBoardSize / board()->width());
}

QAccessibleInterface *createBoardTable(const QString &className, QObject *object)
{
    if (object != nullptr && object->isWidgetType()
        && className == QLatin1String(BoardSurface::staticMetaObject.className())) {
        return new BoardTable(static_cast<BoardSurface *>(object));
    }
    return nullptr;
}

} // namespace

void installBoardAccessibility()
{
    static const bool installed = (QAccessible::installFactory(createBoardTable), true);
    Q_UNUSED(installed);
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
        const bool playable = state->gameStarted == 1 && state->playable[x][y] == kLegal;
        return cell + QString::fromUtf8(kEmptyCell)
            + (playable ? QString::fromUtf8(kPlayable) : QString());
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
