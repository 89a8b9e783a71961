// The opcode catalogue: its data on its own, then as filled into the main
// window's tree.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "language/Catalogue.h"
#include "platform/TreeView.h"

#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTest>

namespace {

QStringList words(const char* list)
{
    return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The children of every parent, by text, in the order they must appear.
const QHash<QString, QStringList>& expectedChildren()
{
    static const QHash<QString, QStringList> lists = {
        {QString(), words("General Protoss Terran Zerg")},
        {QStringLiteral("General"),
         QStringList{QStringLiteral("; (Comment)"), QStringLiteral(": (Loop)")} +
             words("Attack Campaign_Script Check_Resources Custom_Script Expand Goto "
                   "Group_Attack Multi_Run Script_Identifier Script_Name Stop TriBranch Wait")},
        {QStringLiteral("Protoss"), words("Buildings Units Technologies Upgrades")},
        {QStringLiteral("Terran"), words("Buildings Units Technologies Upgrades")},
        {QStringLiteral("Zerg"), words("Buildings Units Technologies Upgrades")},
        {QStringLiteral("PBuildings"),
         words("Arbiter_Tribunal Assimilator Citadel_Of_Adun Cybernetics_Core Fleet_Beacon Forge "
               "Gateway Nexus Observatory Photon_Cannon Pylon Robotic_Factory Shield_Battery "
               "Stargate Support_Bay Templar_Archives")},
        {QStringLiteral("PUnits"),
         words("Attacking Arbiter Archon Carrier Corsair Dark_Archon Dark_Templar Dragoon "
               "High_Templar Observer Probe Reaver Scout Shuttle Zealot")},
        {QStringLiteral("Attacking_"),
         words("_Arbiter _Archon _Carrier _Corsair _Dark_Archon _Dark_Templar _Dragoon "
               "_High_Templar _Observer _Reaver _Scout _Shuttle _Zealot")},
        {QStringLiteral("PTechs"),
         words("Disruption_Web Hallucination Maelstrom Mind_Control Psionic_Storm Recall "
               "Stasis_Field")},
        {QStringLiteral("PUpgrds"),
         words("Arbiter_Mana Carrier_Capacity Corsair_Mana Dark_Archon_Mana Dragoon_Range "
               "P_Gr_Armor P_Gr_Weapon High_Templar_Mana Observer_Sight Observer_Speed "
               "Reaver_Capacity Reaver_Damage Scout_Sight Scout_Speed P_Shield P_Sh_Armor "
               "P_Sh_Weapon Shuttle_Speed Zealot_Speed")},
        {QStringLiteral("TBuildings"),
         words("Academy Armory Barracks Bunker Command_Center Comsat_Station Control_Tower "
               "Covert_Ops Engineering_Bay Factory Machine_Shop Missile_Turret Nuclear_Silo "
               "Physic_Labs Refinery Science_Facility Starport Supply_Depot")},
        {QStringLiteral("TUnits"),
         words("Attacking Battlecruiser Dropship Firebat Ghost Goliath Marine Medic "
               "Science_Vessel SCV Siege_Tank Valkyrie Vulture Wraith")},
        {QStringLiteral("TAttacking"),
         words("_Battlecruiser _Dropship _Firebat _Ghost _Goliath _Marine _Medic "
               "_Science_Vessel _Siege_Tank _Valkyrie _Vulture _Wraith")},
        {QStringLiteral("TTechs"),
         words("Cloaking_Field EMP_Shockwave Irradiate Lockdown Optical_Flare "
               "Personnal_Cloaking Siege_Mode Spider_Mines Stim_Packs Yamato_Gun")},
        {QStringLiteral("TUpgrds"),
         words("Battlecruiser_Mana Ghost_Mana Ghost_Sight Goliath_Range T_In_Armor T_In_Weapon "
               "Marine_Range Medic_Mana Science_Vessel_Mana T_Sh_Armor T_Sh_Weapon T_Ve_Armor "
               "T_Ve_Weapon Vulture_Speed Wraith_Mana")},
        {QStringLiteral("ZBuildings"),
         words("Creep_Colony Defiler_Mound Evolution_Chamber Extractor Greater_Spire Hatchery "
               "Hive Hydralisk_Den Lair Nydus_Canal Queen_Nest Spawning_Pool Spire "
               "Spore_Colony Sunken_Colony Ultralisk_Cavern")},
        {QStringLiteral("ZUnits"),
         words("Attacking Defiler Devourer Drone Guardian Hydralisk Infested_Terran Lurker "
               "Mutalisk Queen Scourge Ultralisk Zergling")},
        {QStringLiteral("ZAttacking"),
         words("_Defiler _Devourer _Guardian _Hydralisk _Infested_Terran _Lurker _Mutalisk "
               "_Queen _Scourge _Ultralisk _Zergling")},
        {QStringLiteral("ZTechs"),
         words("Burrowing Consume Dark_Swarm Ensnare Lurker_Aspect Plague Spawn_Broodling")},
        {QStringLiteral("ZUpgrds"),
         words("Defiler_Mana Z_Fl_Armor Z_Fl_Weapon Z_Gr_Armor Hydralisk_Range Hydralisk_Speed "
               "Z_Mi_Weapon Z_Me_Weapon Overlord_Sight Overlord_Speed Overlord_Transport "
               "Queen_Mana Ultralisk_Armor Ultralisk_Speed Zergling_Cooldown Zergling_Speed")},
    };
    return lists;
}

// The nodes whose key differs from their text: key, text, parent key.
const QList<QStringList>& expectedExceptions()
{
    static const QList<QStringList> rows = {
        {"Comment", "; (Comment)", "General"}, {"Loop", ": (Loop)", "General"},
        {"PBuildings", "Buildings", "Protoss"}, {"PUnits", "Units", "Protoss"},
        {"PTechs", "Technologies", "Protoss"}, {"PUpgrds", "Upgrades", "Protoss"},
        {"Attacking_", "Attacking", "PUnits"},  {"TBuildings", "Buildings", "Terran"},
        {"TUnits", "Units", "Terran"},          {"TTechs", "Technologies", "Terran"},
        {"TUpgrds", "Upgrades", "Terran"},      {"TAttacking", "Attacking", "TUnits"},
        {"ZBuildings", "Buildings", "Zerg"},    {"ZUnits", "Units", "Zerg"},
        {"ZTechs", "Technologies", "Zerg"},     {"ZUpgrds", "Upgrades", "Zerg"},
        {"ZAttacking", "Attacking", "ZUnits"},
    };
    return rows;
}

const QStringList& attackingKeys()
{
    static const QStringList keys = words("Attacking_ TAttacking ZAttacking");
    return keys;
}

}  // namespace

class TestCatalogue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Node count, keys, parents before children and every list in its order.
    void structureAndOrder()
    {
        const QList<CatalogueEntry>& entries = catalogueEntries();
        QCOMPARE(entries.size(), 233);

        QSet<QString> defined;
        QHash<QString, QStringList> children;
        for (const CatalogueEntry& e : entries) {
            QVERIFY2(!e.key.isEmpty(), qPrintable(e.text));
            QVERIFY2(!defined.contains(e.key), qPrintable(QStringLiteral("duplicate key ") + e.key));
            QVERIFY2(e.parentKey.isEmpty() || defined.contains(e.parentKey),
                     qPrintable(e.key + QStringLiteral(" comes before its parent ") + e.parentKey));
            defined.insert(e.key);
            children[e.parentKey].append(e.text);
        }
        const QHash<QString, QStringList>& expected = expectedChildren();
        QCOMPARE(children.size(), expected.size());
        int total = 0;
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QVERIFY2(children.contains(it.key()), qPrintable(it.key()));
            QCOMPARE(children.value(it.key()), it.value());
            total += int(it.value().size());
        }
        QCOMPARE(total, 233);

        // Adding order, as runs of nodes under the same parent ("-" for the top
        // level): per race the race node, its categories, its "Attacking" node,
        // then the Buildings, Attacking, Units, Technologies and Upgrades entries.
        // With the lists above this fixes the position of every node.
        QStringList runs;
        for (const CatalogueEntry& e : entries) {
            const QString parent = e.parentKey.isEmpty() ? QStringLiteral("-") : e.parentKey;
            if (runs.isEmpty() || runs.last() != parent)
                runs << parent;
        }
        QCOMPARE(runs, words("- General "
                             "- Protoss PUnits PBuildings Attacking_ PUnits PTechs PUpgrds "
                             "- Terran TUnits TBuildings TAttacking TUnits TTechs TUpgrds "
                             "- Zerg ZUnits ZBuildings ZAttacking ZUnits ZTechs ZUpgrds"));
    }

    // Keys that differ from texts, repeated texts, underscores and pictures.
    void keysTextsAndImages()
    {
        const QList<CatalogueEntry>& entries = catalogueEntries();
        QList<QStringList> exceptions;
        QHash<QString, int> textCount;
        QStringList underscored;
        QHash<int, int> perImage;
        for (const CatalogueEntry& e : entries) {
            if (e.key != e.text)
                exceptions.append({e.key, e.text, e.parentKey});
            ++textCount[e.text];
            if (e.text.startsWith(QLatin1Char('_')))
                underscored << e.text;
            ++perImage[e.image];

            int image = 5;
            if (e.parentKey.isEmpty())
                image = 3;
            else if (e.parentKey == QStringLiteral("General") || e.key.contains(QStringLiteral("Attacking")) ||
                     words("Protoss Terran Zerg").contains(e.parentKey))
                image = 4;
            QVERIFY2(e.image == image, qPrintable(e.key));
        }
        QCOMPARE(exceptions, expectedExceptions());
        for (const char* text : {"Buildings", "Units", "Technologies", "Upgrades", "Attacking"})
            QCOMPARE(textCount.value(QLatin1StringView(text)), 3);
        QCOMPARE(perImage.value(3), 4);
        QCOMPARE(perImage.value(4), 30);
        QCOMPARE(perImage.value(5), 199);
        QCOMPARE(perImage.size(), 3);

        // The underscored texts are exactly the attacking entries: each race's
        // units but its worker, in the same order.
        QStringList attacking;
        for (const CatalogueEntry& e : entries)
            if (attackingKeys().contains(e.parentKey))
                attacking << e.text;
        QCOMPARE(underscored, attacking);
        QCOMPARE(attacking.size(), 36);
        const QStringList units[] = {expectedChildren().value(QStringLiteral("PUnits")),
                                     expectedChildren().value(QStringLiteral("TUnits")),
                                     expectedChildren().value(QStringLiteral("ZUnits"))};
        const char* workers[] = {"Probe", "SCV", "Drone"};
        for (int r = 0; r < 3; ++r) {
            QStringList derived;
            for (const QString& unit : units[r].mid(1))
                if (unit != QLatin1StringView(workers[r]))
                    derived << QLatin1Char('_') + unit;
            QCOMPARE(expectedChildren().value(attackingKeys().at(r)), derived);
        }
        for (const char* text : {"Physic_Labs", "Personnal_Cloaking", "Citadel_Of_Adun", "Queen_Nest",
                                 "P_Gr_Armor", "T_Ve_Weapon", "Z_Mi_Weapon"})
            QCOMPARE(textCount.value(QLatin1StringView(text)), 1);
    }

    // The tree's five pictures and the toolbar's and window's icons are all
    // built in, at the sizes they are drawn for.
    void pictures()
    {
        const QStringList tree = catalogueImagePaths();
        QCOMPARE(tree.size(), 5);
        QCOMPARE(QSet<QString>(tree.cbegin(), tree.cend()).size(), 5);
        QStringList small = tree;
        for (const char* name : {"new", "open", "save", "undo", "cut", "copy", "paste"})
            small << QStringLiteral(":/resources/icons/%1.png").arg(QLatin1StringView(name));
        for (const QString& path : small) {
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(16, 16));
            QVERIFY2(image.hasAlphaChannel(), qPrintable(path));
        }
        // The program's icon: square pictures, each as large as its name says.
        const QStringList icons = StartUp::programIconFiles();
        QVERIFY(icons.size() >= 2);
        for (const QString& path : icons) {
            const QImage image(path);
            const int size = QFileInfo(path).baseName().section(u'-', -1).toInt();
            QCOMPARE(image.size(), QSize(size, size));
        }
    }

    // FillTreeProc through a real main window: every node under its parent in
    // order, with its key and picture; nothing expanded or selected.
    void filledTree()
    {
        TempSettings settings;
        FakeModal modal;
        MainWindow w;
        QCOMPARE(w.TreeView1->topLevelItemCount(), 0);
        w.Form_Load(QString());
        QCOMPARE(w.TreeView1->Nodes.Count(), 233);
        QCOMPARE(w.TreeView1->topLevelItemCount(), 4);

        int visited = 0;
        QHash<QString, int> nextChild;
        for (const CatalogueEntry& e : catalogueEntries()) {
            QTreeWidgetItem* item = w.TreeView1->Nodes.Item(e.key);
            QVERIFY2(item, qPrintable(e.key));
            QTreeWidgetItem* parent = e.parentKey.isEmpty() ? nullptr : w.TreeView1->Nodes.Item(e.parentKey);
            QCOMPARE(item->parent(), parent);
            const int index = parent ? parent->indexOfChild(item) : w.TreeView1->indexOfTopLevelItem(item);
            QCOMPARE(index, nextChild[e.parentKey]++);
            QCOMPARE(item->text(0), e.text);
            QCOMPARE(TreeView::nodeKey(item), e.key);
            QCOMPARE(TreeView::nodeImage(item), e.image);
            QVERIFY2(!item->icon(0).isNull(), qPrintable(e.key));
            QCOMPARE(item->icon(0).cacheKey(), w.TreeView1->image(e.image).cacheKey());
            QVERIFY2(!item->isExpanded(), qPrintable(e.key));
            QVERIFY2(!item->isSelected(), qPrintable(e.key));
            ++visited;
        }
        QCOMPARE(visited, 233);
        QVERIFY(w.TreeView1->selectedItems().isEmpty());
        QCOMPARE(w.TreeView1->currentItem(), nullptr);
        QVERIFY(w.NodeText.isEmpty());
        QVERIFY(modal.messages.isEmpty());
    }
};

QTEST_MAIN(TestCatalogue)
#include "test_catalogue.moc"
