#pragma once
#include <QHash>
#include <QIcon>
#include <QList>
#include <QTreeWidget>

class TreeView;

// The tree's node collection: Nodes.Add(parent key or none, relationship,
// key, text, image index from 1).
class TreeNodes {
public:
    static constexpr int tvwChild = 4;
    explicit TreeNodes(TreeView* tree) : m_tree(tree) {}
    QTreeWidgetItem* Add(const QString& parentKey, int relationship, const QString& key,
                         const QString& text, int image);
    QTreeWidgetItem* Add(const QString& key, const QString& text, int image)
    {
        return Add(QString(), 0, key, text, image);
    }
    int Count() const { return int(m_byKey.size()); }
    QTreeWidgetItem* Item(const QString& key) const { return m_byKey.value(key); }
    void Clear();

private:
    TreeView* m_tree;
    QHash<QString, QTreeWidgetItem*> m_byKey;
};

// Tree view with an image list and the events NodeClick (with the node),
// Click, DblClick and MouseDown (button). A mouse press reports MouseDown
// first, then NodeClick and Click follow on release, for the left and the
// right button. Moving through the tree with the keyboard reports NodeClick
// too, and Enter counts as a double-click, so the catalogue can be used
// without a mouse.
class TreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);

    TreeNodes Nodes{this};
    void setImageList(const QList<QIcon>& images) { m_images = images; }
    QIcon image(int index) const;  // 1-based
    static QString nodeKey(const QTreeWidgetItem* item);
    static int nodeImage(const QTreeWidgetItem* item);
    void SetFocus() { setFocus(Qt::OtherFocusReason); }

Q_SIGNALS:
    void NodeClick(QTreeWidgetItem* node);
    void Click();
    void DblClick();
    void MouseDown(int button, int shift, double x, double y);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QList<QIcon> m_images;
    QTreeWidgetItem* m_pressed = nullptr;
    bool m_mouseBusy = false;
};
