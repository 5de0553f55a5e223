#include "banner/caption_label.h"

#include "desktop/accessible_factory.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace tavrin {

namespace {

// A caption as a screen reader sees it: a link named by its text, with a press action.
class CaptionAccessible : public QAccessibleWidget
{
public:
    explicit CaptionAccessible(CaptionLabel *label)
        : QAccessibleWidget(label, QAccessible::Link) { }

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? caption()->text() : QAccessibleWidget::text(type);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction()) {
            caption()->activate();
        }
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    CaptionLabel *caption() const { return static_cast<CaptionLabel *>(widget()); }
};

} // namespace

CaptionLabel::CaptionLabel(QWidget *parent) : QLabel(parent)
{
    installAccessibleInterface<CaptionLabel, CaptionAccessible>();
}

CaptionLabel::Look CaptionLabel::currentLook() const
{
    return Look {text(), size(), devicePixelRatioF(), palette().cacheKey(), font(), alignment(),
        isEnabled(), hasFocus()};
}

bool CaptionLabel::keepsPicture() const
{
    return autoFillBackground() && palette().brush(backgroundRole()).isOpaque()
        && textFormat() == Qt::PlainText && !wordWrap() && frameShape() == QFrame::NoFrame;
}

void CaptionLabel::paintEvent(QPaintEvent *event)
{
    if (!keepsPicture()) {
        QLabel::paintEvent(event);
        paintFocusFrame();
        return;
    }
    if (picture_.isNull() || !(pictureLook_ == currentLook())) {
        QLabel::paintEvent(event);
        paintFocusFrame();
        // Rendering the label from inside its own paint event would end that paint event early.
        if (!picturePending_) {
            picturePending_ = true;
            QMetaObject::invokeMethod(this, &CaptionLabel::takePicture, Qt::QueuedConnection);
        }
        return;
    }
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, picture_,
        QRectF(QPointF(area.topLeft()) * picture_.devicePixelRatio(),
            QSizeF(area.size()) * picture_.devicePixelRatio()));
}

void CaptionLabel::paintFocusFrame()
{
    if (!hasFocus()) {
        return;
    }
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(backgroundRole());
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

void CaptionLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            activate();
        }
        return;
    }
    QLabel::keyPressEvent(event);
}

// Only the keyboard gives a caption the focus, so a mouse player never sees the frame.
void CaptionLabel::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void CaptionLabel::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}

void CaptionLabel::takePicture()
{
    picturePending_ = false;
    if (!keepsPicture() || size().isEmpty()) {
        picture_ = QImage();
        return;
    }
    const Look look = currentLook();
    QImage picture(size() * look.pixelRatio, QImage::Format_RGB32);
    picture.setDevicePixelRatio(look.pixelRatio);
    render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    picture_ = picture;
    pictureLook_ = look;
}

} // namespace tavrin
