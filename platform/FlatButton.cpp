#include "platform/FlatButton.h"

FlatButton::FlatButton(const QString& caption, const QString& toolTip, QWidget* parent)
    : QPushButton(caption, parent)
{
    setFlat(true);
    setToolTip(toolTip);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

QPushButton* makeHiddenTwin(const QString& objectName, const FlatButton* flat, QWidget* parent)
{
    auto* twin = new QPushButton(flat->text(), parent);
    // A window of its own that is never shown: a screen reader lists the
    // controls of a window, not the windows it owns, and one that was never
    // shown is not on the desktop at all. So only the flat button is found,
    // and pressing it is what a screen reader does. The parent still owns it.
    twin->setWindowFlags(Qt::Window);
    twin->setObjectName(objectName);
    twin->setGeometry(flat->geometry());
    twin->setFocusPolicy(Qt::NoFocus);
    twin->hide();
    return twin;
}
