#include "platform/ListBox.h"

ListBox::ListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, &ListBox::Click);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { Q_EMIT DblClick(); });
}

void ListBox::AddItem(const QString& item)
{
    addItem(item);
}

void ListBox::Clear()
{
    clear();
}

int ListBox::ListIndex() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.constFirst());
}

void ListBox::setListIndex(int index)
{
    if (index < 0 || index >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

QString ListBox::Text() const
{
    const int index = ListIndex();
    return index < 0 ? QString() : item(index)->text();
}

QString ListBox::List(int index) const
{
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}
