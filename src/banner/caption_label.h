#pragma once

#include <QFont>
#include <QImage>
#include <QLabel>

namespace tavrin {

// A plain-text label that keeps a picture of itself. The ticker moves its caption a pixel at a
// time, and every move repaints the caption (and the edge of a neighbour it touches); drawing
// the kept picture instead of laying the text out again keeps an idle window nearly idle.
// The picture is taken outside painting, once the label has been painted with new contents.
// Screen readers see it as a link that can be pressed. A caption that takes the keyboard focus
// (Tab) shows a focus frame while it has it, and Enter or Space presses it.
class CaptionLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CaptionLabel(QWidget *parent = nullptr);

    // Presses the link, as a screen reader does: `activated` tells the banner.
    void activate() { emit activated(); }

signals:
    void activated();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Everything the label's picture depends on.
    struct Look
    {
        QString text;
        QSize size;
        qreal pixelRatio = 1.0;
        qint64 palette = 0;
        QFont font;
        Qt::Alignment alignment;
        bool enabled = true;
        bool focused = false;

        friend bool operator==(const Look &, const Look &) = default;
    };

    Look currentLook() const;
    // The label draws its own opaque background only with an opaque window colour; a picture of
    // any other label would lose what shows through it.
    bool keepsPicture() const;
    void takePicture();
    void paintFocusFrame();

    QImage picture_;
    Look pictureLook_;
    bool picturePending_ = false;
};

} // namespace tavrin
