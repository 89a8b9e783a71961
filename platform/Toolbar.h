#pragma once
#include <QIcon>
#include <QToolBar>

// Toolbar whose buttons are identified by their key; a press reports
// ButtonClick with the key. The key is also the button's accessible name.
class Toolbar : public QToolBar {
    Q_OBJECT
public:
    explicit Toolbar(QWidget* parent = nullptr);
    QAction* addButton(const QString& key, const QIcon& icon, const QString& toolTip);
    QWidget* button(const QString& key) const;

Q_SIGNALS:
    void ButtonClick(const QString& key);
};
