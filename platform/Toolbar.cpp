#include "platform/Toolbar.h"

#include <QAction>
#include <QToolButton>

Toolbar::Toolbar(QWidget* parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setContentsMargins(0, 0, 0, 0);
    // Seven buttons share a narrow strip: no handle, margins or spacing.
    setStyleSheet(QStringLiteral("QToolBar { border: 0px; padding: 0px; spacing: 1px; }"
                                 "QToolButton { padding: 1px; margin: 0px; }"));
    // The toolkit's button for buttons that do not fit is hidden while all
    // fit, but a screen reader still lists it: give it a name.
    if (auto* more = findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")))
        more->setAccessibleName(QStringLiteral("More buttons"));
}

QAction* Toolbar::addButton(const QString& key, const QIcon& icon, const QString& toolTip)
{
    QAction* action = addAction(icon, key);
    action->setObjectName(key);
    action->setToolTip(toolTip);
    connect(action, &QAction::triggered, this, [this, key] { Q_EMIT ButtonClick(key); });
    if (QWidget* w = widgetForAction(action)) {
        w->setObjectName(key);
        w->setAccessibleName(key);
        w->setFocusPolicy(Qt::TabFocus);
    }
    return action;
}

QWidget* Toolbar::button(const QString& key) const
{
    for (QAction* a : actions())
        if (a->objectName() == key)
            return widgetForAction(a);
    return nullptr;
}
