#include "bench_window_support.h"

#include "bench_positions.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QMouseEvent>

namespace tavrin::bench {

namespace {

constexpr int kPollMilliseconds = 20;

} // namespace

EndOfGameAnswerer::EndOfGameAnswerer()
{
    connect(&timer_, &QTimer::timeout, this, &EndOfGameAnswerer::poll);
    timer_.start(kPollMilliseconds);
}

void EndOfGameAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) {
        return;
    }
    ++answered_;
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        if (QAbstractButton *no = box->button(QMessageBox::No)) {
            no->click();
            return;
        }
    }
    if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        dialog->reject();
    } else {
        modal->close();
    }
}

void releaseOnCell(MainWindow &window, int x, int y)
{
    auto *board = window.findChild<QWidget *>(QStringLiteral("qp"));
    const double cell = board->width() / static_cast<double>(kBoardSize);
    const QPointF position((x - 0.5) * cell, (y - 0.5) * cell);
    QMouseEvent release(QEvent::MouseButtonRelease, position, board->mapToGlobal(position),
        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(board, &release);
}

void playWhiteTurn(MainWindow &window)
{
    const RecordEntry cell = firstLegalCell(window.flow());
    if (cell.x == 0) {
        window.findChild<QAction *>(QStringLiteral("fqyz"))->trigger();
        return;
    }
    releaseOnCell(window, cell.x, cell.y);
}

} // namespace tavrin::bench
