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
    twin->setObjectName(objectName);
    twin->setGeometry(flat->geometry());
    twin->setFocusPolicy(Qt::NoFocus);
    twin->hide();
    return twin;
}
