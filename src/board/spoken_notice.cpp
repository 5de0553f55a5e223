#include "board/spoken_notice.h"

#include "desktop/accessible_factory.h"

#include <QAccessibleWidget>

namespace tavrin {

namespace {

class NoticeAccessible : public QAccessibleWidget
{
public:
    explicit NoticeAccessible(SpokenNotice *notice)
        : QAccessibleWidget(notice, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name ? static_cast<SpokenNotice *>(widget())->text()
                                         : QAccessibleWidget::text(type);
    }
};

} // namespace

SpokenNotice::SpokenNotice(QWidget *parent) : QWidget(parent)
{
    installAccessibleInterface<SpokenNotice, NoticeAccessible>();
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    hide();
}

void SpokenNotice::say(const QString &text)
{
    if (!QAccessible::isActive()) {
        return;
    }
    // Shown again each time: a screen reader presents a notification when it appears.
    hide();
    text_ = text;
    show();
}

} // namespace tavrin
