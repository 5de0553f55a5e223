#include "ui_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

namespace tavrin::test {

ModalAnswerer::ModalAnswerer()
{
    connect(&timer_, &QTimer::timeout, this, [this] {
        auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (modal && modal->isVisible()) {
            ++(answers_.empty() ? unexpected_ : answered_);
            const Answer answer = answers_.empty() ? cancelDialog() : answers_.front();
            if (!answers_.empty()) {
                answers_.pop_front();
            }
            answer(modal);
        }
    });
    timer_.start(20);
}

ModalAnswerer::Answer pressButton(QMessageBox::StandardButton button, SeenBox *seen)
{
    return [button, seen](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && seen) {
            *seen = {box->windowTitle(), box->text(), box->icon(), {}};
            for (QAbstractButton *each : box->buttons()) {
                seen->buttons << each->text();
            }
        }
        box && box->button(button) ? box->button(button)->click()
                                   : qobject_cast<QDialog *>(modal)->reject();
    };
}

ModalAnswerer::Answer saveAs(const QString &path, QString *initialDirectory, QString *initialName)
{
    return [=](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        auto *name = dialog ? dialog->findChild<QLineEdit *>("fileNameEdit") : nullptr;
        if (!name) {
            return qobject_cast<QDialog *>(modal)->reject();
        }
        if (initialDirectory) {
            *initialDirectory = dialog->directory().absolutePath();
        }
        if (initialName) {
            *initialName = name->text();
        }
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

ModalAnswerer::Answer cancelDialog()
{
    return [](QWidget *modal) {
        qobject_cast<QDialog *>(modal)->reject();
    };
}

bool loadWindow(xq &window)
{
    window.load();
    return QTest::qWaitForWindowExposed(&window);
}

QPointF cellCentre(int column, int row, double sidePixels)
{
    return QPointF(column - 0.5, row - 0.5) * sidePixels / 16.0;
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
