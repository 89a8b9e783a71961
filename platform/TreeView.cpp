#include "platform/TreeView.h"

#include "platform/KeyCodes.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
constexpr int ImageRole = Qt::UserRole + 2;
}

QTreeWidgetItem* TreeNodes::Add(const QString& parentKey, int relationship, const QString& key,
                                const QString& text, int image)
{
    Q_UNUSED(relationship);  // only the child relationship is ever used
    QTreeWidgetItem* parent = parentKey.isEmpty() ? nullptr : m_byKey.value(parentKey);
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    item->setData(0, ImageRole, image);
    item->setIcon(0, m_tree->image(image));
    m_byKey.insert(key, item);
    return item;
}

void TreeNodes::Clear()
{
    m_tree->clear();
    m_byKey.clear();
}

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(true);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                if (current && !m_mouseBusy)
                    Q_EMIT NodeClick(current);
            });
}

QIcon TreeView::image(int index) const
{
    return index >= 1 && index <= m_images.size() ? m_images.at(index - 1) : QIcon();
}

QString TreeView::nodeKey(const QTreeWidgetItem* item)
{
    return item ? item->data(0, KeyRole).toString() : QString();
}

int TreeView::nodeImage(const QTreeWidgetItem* item)
{
    return item ? item->data(0, ImageRole).toInt() : 0;
}

void TreeView::mousePressEvent(QMouseEvent* e)
{
    Q_EMIT MouseDown(KeyCodes::mouseButton(e->button()), KeyCodes::shiftState(e->modifiers()),
                     e->position().x() * 15.0, e->position().y() * 15.0);
    m_pressed = itemAt(e->position().toPoint());
    m_mouseBusy = true;
    QTreeWidget::mousePressEvent(e);
    if (e->button() == Qt::RightButton && m_pressed)
        setCurrentItem(m_pressed);
    m_mouseBusy = false;
}

void TreeView::mouseReleaseEvent(QMouseEvent* e)
{
    QTreeWidget::mouseReleaseEvent(e);
    QTreeWidgetItem* item = itemAt(e->position().toPoint());
    const bool clickedNode = item && item == m_pressed;
    m_pressed = nullptr;
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
        return;
    if (clickedNode)
        Q_EMIT NodeClick(item);
    Q_EMIT Click();
}

void TreeView::mouseDoubleClickEvent(QMouseEvent* e)
{
    m_mouseBusy = true;
    QTreeWidget::mouseDoubleClickEvent(e);
    m_mouseBusy = false;
    Q_EMIT DblClick();
}

void TreeView::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && currentItem()) {
        Q_EMIT DblClick();
        return;
    }
    QTreeWidget::keyPressEvent(e);
}
