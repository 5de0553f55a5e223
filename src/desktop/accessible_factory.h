#pragma once

#include <QAccessible>
#include <QObject>
#include <QString>

namespace tavrin {

namespace detail {

template<typename Widget, typename Interface>
QAccessibleInterface *createAccessible(const QString &className, QObject *object)
{
    if (object == nullptr || !object->isWidgetType()
        || className != QLatin1String(Widget::staticMetaObject.className()))
        return nullptr;
    return new Interface(static_cast<Widget *>(object));
}

} // namespace detail

// Makes screen readers see every widget of class `Widget` through `Interface` (constructed from
// the widget), from the first call on; later calls do nothing. Call it from `Widget`'s
// constructor.
template<typename Widget, typename Interface>
void installAccessibleInterface()
{
    static const bool installed
        = (QAccessible::installFactory(detail::createAccessible<Widget, Interface>), true);
    Q_UNUSED(installed);
}

} // namespace tavrin
