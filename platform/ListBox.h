#pragma once
#include <QListWidget>

// List box holding plain text items in the order they were added. ListIndex
// is the selected item's index from 0, or -1 when nothing is selected (an
// item that merely has the keyboard cursor does not count). Click fires
// whenever the selection changes, also when the program changes it;
// DblClick fires for a double-click on an item.
class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent = nullptr);

    void AddItem(const QString& item);
    void Clear();
    int ListCount() const { return count(); }
    int ListIndex() const;
    void setListIndex(int index);
    // Text of the selected item, "" when nothing is selected.
    QString Text() const;
    QString List(int index) const;
    void SetFocus() { setFocus(Qt::OtherFocusReason); }

Q_SIGNALS:
    void Click();
    void DblClick();
};
