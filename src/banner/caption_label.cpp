#include "banner/caption_label.h"

#include <QAccessibleWidget>
#include <QPaintEvent>
#include <QPainter>

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

QAccessibleInterface *createCaptionAccessible(const QString &className, QObject *object)
{
    if (object != nullptr && object->isWidgetType()
        && className == QLatin1String(CaptionLabel::staticMetaObject.className())) {
        return new CaptionAccessible(static_cast<CaptionLabel *>(object));
    }
    return nullptr;
}

} // namespace

CaptionLabel::CaptionLabel(QWidget *parent) : QLabel(parent)
{
    static const bool installed = (QAccessible::installFactory(createCaptionAccessible), true);
    Q_UNUSED(installed);
}

CaptionLabel::Look CaptionLabel::currentLook() const
{
    return Look {text(), size(), devicePixelRatioF(), palette().cacheKey(), font(), alignment(),
        isEnabled()};
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
        return;
    }
    if (picture_.isNull() || !(pictureLook_ == currentLook())) {
        QLabel::paintEvent(event);
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
