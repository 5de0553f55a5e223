#pragma once

#include "xq.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>

namespace tavrin::test {

// Points the user's runtime folder (and so the instance lock) at a fresh folder of this test
// process, so that test programs running side by side never see each other's windows.
class PrivateRuntimeFolder
{
public:
    PrivateRuntimeFolder() { qputenv("XDG_RUNTIME_DIR", folder_.path().toLocal8Bit()); }
    QString path() const { return folder_.path(); }

private:
    QTemporaryDir folder_;
};

// What a modal message box showed.
struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons; // captions of the buttons, in the box's order
};

// Answers modal windows as they appear, one answer per window, in order. An answer receives
// the modal window and must close it. A window that appears when no answer is left is
// rejected and counted as unexpected.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget *)>;

    ModalAnswerer();

    void add(Answer answer) { answers_.push_back(std::move(answer)); }
    int unexpected() const { return unexpected_; }
    int answered() const { return answered_; }
    bool allAnswered() const { return answers_.empty(); }

private:
    QTimer timer_;
    std::deque<Answer> answers_;
    int unexpected_ = 0;
    int answered_ = 0;
};

// The box seen, then `button` pressed.
ModalAnswerer::Answer pressButton(QMessageBox::StandardButton button, SeenBox *seen = nullptr);
// Types `path` into a Save dialog and accepts it.
ModalAnswerer::Answer saveAs(
    const QString &path, QString *initialDirectory = nullptr, QString *initialName = nullptr);
// Cancels a dialog.
ModalAnswerer::Answer cancelDialog();

// The main window with the system beep counted instead of sounded.
class BeepCountingWindow : public xq
{
public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

// Creates `window`'s load step and waits until the window is on the screen.
bool loadWindow(xq &window);

// Pixel position of the centre of cell (column, row) on a board `sidePixels` wide.
QPointF cellCentre(int column, int row, double sidePixels);

// Sends a pointer event to `widget` at a position in its own pixels, fractions included.
void sendRelease(QWidget *widget, const QPointF &position, Qt::MouseButton button = Qt::LeftButton);
void sendMove(QWidget *widget, const QPointF &position);

} // namespace tavrin::test
