#pragma once

#include <QString>
#include <QWidget>

namespace tavrin {

// Speaks a short text through the screen reader without showing anything: a widget of no size
// that takes no input, which screen readers see as a notification named by its text. Each say()
// hides it and shows it again, which Orca presents at once ("notification <text>"), even when
// the text repeats. Nothing happens while no screen reader is active.
class SpokenNotice : public QWidget
{
    Q_OBJECT
public:
    explicit SpokenNotice(QWidget *parent);

    void say(const QString &text);
    // The text last said, the notification's name.
    const QString &text() const { return text_; }

private:
    QString text_;
};

} // namespace tavrin
