#pragma once
#include <QList>
#include <QString>

// One node of the opcode catalogue: its parent's key ("" for a top-level
// node), its own key, the text shown and compared, and its picture (1-based
// index into the tree's image list).
struct CatalogueEntry {
    QString parentKey;
    QString key;
    QString text;
    int image = 0;
};

// The whole catalogue in the order its nodes are added to the tree.
const QList<CatalogueEntry>& catalogueEntries();

// Resource paths of the tree's five pictures, in image-list order.
QStringList catalogueImagePaths();
