#pragma once
#include <QList>
#include <QString>

// What a catalogue node stands for in the script language, from where it
// sits in the tree: a node that groups others (a race, a category, an
// "Attacking" node, "General"), a general opcode, or an entry of one of the
// races' lists.
enum class NodeKind : quint8 { Group, GeneralOpcode, Building, Unit, AttackingUnit, Technology, Upgrade };

// How a general opcode's line carries the value: not at all, once, as a
// name of one or more words, twice, three times, or as free text after its
// marker (comment and loop lines).
enum class ValueShape : quint8 { NoValue, OneValue, Name, TwoValues, ThreeValues, FreeText };

// One node of the opcode catalogue: its parent's key ("" for a top-level
// node), its own key, the text shown and compared, and its picture (1-based
// index into the tree's image list); then its kind and, for a general
// opcode, the shape of its values and whether it belongs to a script's
// header lines.
struct CatalogueEntry {
    QString parentKey;
    QString key;
    QString text;
    int image = 0;
    NodeKind kind = NodeKind::Group;
    ValueShape shape = ValueShape::NoValue;
    bool header = false;
};

// The whole catalogue in the order its nodes are added to the tree.
const QList<CatalogueEntry>& catalogueEntries();

// Resource paths of the tree's five pictures, in image-list order.
QStringList catalogueImagePaths();
