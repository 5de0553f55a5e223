#include "ui_test_support.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace tavrin::test {

namespace {

constexpr int kPollMilliseconds = 20;

} // namespace

PrivateRuntimeFolder::PrivateRuntimeFolder()
{
    qputenv("XDG_RUNTIME_DIR", folder_.path().toLocal8Bit());
}

ModalAnswerer::ModalAnswerer()
{
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_.start(kPollMilliseconds);
}

void ModalAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
        return;
    }
    if (answers_.empty()) {
        ++unexpected_;
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        return;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    ++answered_;
    answer(modal);
}

ModalAnswerer::Answer pressButton(QMessageBox::StandardButton button, SeenBox *seen)
{
    return [button, seen](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            qobject_cast<QDialog *>(modal)->reject();
            return;
        }
        if (seen) {
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            for (QAbstractButton *each : box->buttons()) {
                seen->buttons << each->text();
            }
        }
        if (QAbstractButton *chosen = box->button(button)) {
            chosen->click();
        } else {
            box->reject();
        }
    };
}

ModalAnswerer::Answer saveAs(const QString &path, QString *initialDirectory, QString *initialName)
{
    return [path, initialDirectory, initialName](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            qobject_cast<QDialog *>(modal)->reject();
            return;
        }
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (initialDirectory) {
            *initialDirectory = dialog->directory().absolutePath();
        }
        if (initialName && name) {
            *initialName = name->text();
        }
        if (!name) {
            dialog->reject();
            return;
        }
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

ModalAnswerer::Answer cancelDialog()
{
    return [](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        }
    };
}

bool loadWindow(xq &window)
{
    window.load();
    return QTest::qWaitForWindowExposed(&window);
}

QPointF cellCentre(int column, int row, double sidePixels)
{
    const double cell = sidePixels / 16.0;
    return QPointF((column - 0.5) * cell, (row - 0.5) * cell);
}

void sendRelease(QWidget *widget, const QPointF &position, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonRelease, position, widget->mapToGlobal(position), button,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void sendMove(QWidget *widget, const QPointF &position)
{
    QMouseEvent event(QEvent::MouseMove, position, widget->mapToGlobal(position), Qt::NoButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace tavrin::test
