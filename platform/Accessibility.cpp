#include "platform/Accessibility.h"

#include "platform/LinkLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace Accessibility {
namespace {

// A window named by its caption, also while it is minimised (when the
// toolkit would name it by its empty icon text).
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return widget()->windowTitle();
        return QAccessibleWidget::text(t);
    }
};

class LinkAccessible final : public QAccessibleWidget {
public:
    explicit LinkAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text t) const override
    {
        const QWidget* w = widget();
        if (t == QAccessible::Name && w->accessibleName().isEmpty())
            return link()->text().trimmed();
        if (t == QAccessible::Description && w->accessibleDescription().isEmpty())
            return w->toolTip();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override
    {
        if (actionName == pressAction())
            link()->activate();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    LinkLabel* link() const { return static_cast<LinkLabel*>(widget()); }
};

// Asked with the class name of each level of the object's class, most
// derived first; answering nothing leaves the object to the toolkit.
QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    const QMetaObject* meta = object->metaObject();
    if (className != QLatin1StringView(meta->className()))
        return nullptr;
    if (auto* link = qobject_cast<LinkLabel*>(object))
        return new LinkAccessible(link);
    auto* widget = static_cast<QWidget*>(object);
    if (widget->isWindow() && meta->superClass() == &QWidget::staticMetaObject)
        return new WindowAccessible(widget);
    return nullptr;
}

}  // namespace

void install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace Accessibility
