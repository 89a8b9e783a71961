#include "language/Catalogue.h"

#include <span>

// The vocabulary of the script language, list by list. Every name below is
// both the key and the text of its node unless a key is given beside it.
// The lists keep the order in which the nodes appear under their parent;
// it is not alphabetical everywhere (the upgrade lists group by unit).
namespace {

constexpr int SheetImage = 3;  // top-level nodes
constexpr int MemoImage = 4;   // general opcodes, categories, "Attacking"
constexpr int ArrowImage = 5;  // buildings, units, technologies, upgrades

// A general opcode: its key and text, the shape of its values, and whether
// it is one of the header lines that open a script.
struct Opcode {
    const char* key;
    const char* text;
    ValueShape shape;
    bool header;
};

using enum ValueShape;
constexpr Opcode GeneralOpcodes[] = {
    {"Comment", "; (Comment)", FreeText, false},
    {"Loop", ": (Loop)", FreeText, false},
    {"Attack", "Attack", NoValue, false},
    {"Campaign_Script", "Campaign_Script", NoValue, true},
    {"Check_Resources", "Check_Resources", TwoValues, false},
    {"Custom_Script", "Custom_Script", NoValue, true},
    {"Expand", "Expand", OneValue, false},
    {"Goto", "Goto", OneValue, false},
    {"Group_Attack", "Group_Attack", NoValue, false},
    {"Multi_Run", "Multi_Run", OneValue, false},
    {"Script_Identifier", "Script_Identifier", OneValue, true},
    {"Script_Name", "Script_Name", Name, true},
    {"Stop", "Stop", NoValue, false},
    {"TriBranch", "TriBranch", ThreeValues, false},
    {"Wait", "Wait", OneValue, false},
};

// ------------------------------------------------------------------ Protoss

constexpr const char* ProtossBuildings[] = {
    "Arbiter_Tribunal", "Assimilator", "Citadel_Of_Adun", "Cybernetics_Core",
    "Fleet_Beacon", "Forge", "Gateway", "Nexus", "Observatory", "Photon_Cannon",
    "Pylon", "Robotic_Factory", "Shield_Battery", "Stargate", "Support_Bay",
    "Templar_Archives",
};
constexpr const char* ProtossUnits[] = {
    "Arbiter", "Archon", "Carrier", "Corsair", "Dark_Archon", "Dark_Templar",
    "Dragoon", "High_Templar", "Observer", "Probe", "Reaver", "Scout", "Shuttle",
    "Zealot",
};
constexpr const char* ProtossAttacking[] = {
    "_Arbiter", "_Archon", "_Carrier", "_Corsair", "_Dark_Archon", "_Dark_Templar",
    "_Dragoon", "_High_Templar", "_Observer", "_Reaver", "_Scout", "_Shuttle",
    "_Zealot",
};
constexpr const char* ProtossTechs[] = {
    "Disruption_Web", "Hallucination", "Maelstrom", "Mind_Control",
    "Psionic_Storm", "Recall", "Stasis_Field",
};
constexpr const char* ProtossUpgrades[] = {
    "Arbiter_Mana", "Carrier_Capacity", "Corsair_Mana", "Dark_Archon_Mana",
    "Dragoon_Range", "P_Gr_Armor", "P_Gr_Weapon", "High_Templar_Mana",
    "Observer_Sight", "Observer_Speed", "Reaver_Capacity", "Reaver_Damage",
    "Scout_Sight", "Scout_Speed", "P_Shield", "P_Sh_Armor", "P_Sh_Weapon",
    "Shuttle_Speed", "Zealot_Speed",
};

// ------------------------------------------------------------------- Terran

constexpr const char* TerranBuildings[] = {
    "Academy", "Armory", "Barracks", "Bunker", "Command_Center", "Comsat_Station",
    "Control_Tower", "Covert_Ops", "Engineering_Bay", "Factory", "Machine_Shop",
    "Missile_Turret", "Nuclear_Silo", "Physic_Labs", "Refinery",
    "Science_Facility", "Starport", "Supply_Depot",
};
constexpr const char* TerranUnits[] = {
    "Battlecruiser", "Dropship", "Firebat", "Ghost", "Goliath", "Marine", "Medic",
    "Science_Vessel", "SCV", "Siege_Tank", "Valkyrie", "Vulture", "Wraith",
};
constexpr const char* TerranAttacking[] = {
    "_Battlecruiser", "_Dropship", "_Firebat", "_Ghost", "_Goliath", "_Marine",
    "_Medic", "_Science_Vessel", "_Siege_Tank", "_Valkyrie", "_Vulture", "_Wraith",
};
constexpr const char* TerranTechs[] = {
    "Cloaking_Field", "EMP_Shockwave", "Irradiate", "Lockdown", "Optical_Flare",
    "Personnal_Cloaking", "Siege_Mode", "Spider_Mines", "Stim_Packs", "Yamato_Gun",
};
constexpr const char* TerranUpgrades[] = {
    "Battlecruiser_Mana", "Ghost_Mana", "Ghost_Sight", "Goliath_Range",
    "T_In_Armor", "T_In_Weapon", "Marine_Range", "Medic_Mana",
    "Science_Vessel_Mana", "T_Sh_Armor", "T_Sh_Weapon", "T_Ve_Armor",
    "T_Ve_Weapon", "Vulture_Speed", "Wraith_Mana",
};

// --------------------------------------------------------------------- Zerg

constexpr const char* ZergBuildings[] = {
    "Creep_Colony", "Defiler_Mound", "Evolution_Chamber", "Extractor",
    "Greater_Spire", "Hatchery", "Hive", "Hydralisk_Den", "Lair", "Nydus_Canal",
    "Queen_Nest", "Spawning_Pool", "Spire", "Spore_Colony", "Sunken_Colony",
    "Ultralisk_Cavern",
};
constexpr const char* ZergUnits[] = {
    "Defiler", "Devourer", "Drone", "Guardian", "Hydralisk", "Infested_Terran",
    "Lurker", "Mutalisk", "Queen", "Scourge", "Ultralisk", "Zergling",
};
constexpr const char* ZergAttacking[] = {
    "_Defiler", "_Devourer", "_Guardian", "_Hydralisk", "_Infested_Terran",
    "_Lurker", "_Mutalisk", "_Queen", "_Scourge", "_Ultralisk", "_Zergling",
};
constexpr const char* ZergTechs[] = {
    "Burrowing", "Consume", "Dark_Swarm", "Ensnare", "Lurker_Aspect", "Plague",
    "Spawn_Broodling",
};
constexpr const char* ZergUpgrades[] = {
    "Defiler_Mana", "Z_Fl_Armor", "Z_Fl_Weapon", "Z_Gr_Armor", "Hydralisk_Range",
    "Hydralisk_Speed", "Z_Mi_Weapon", "Z_Me_Weapon", "Overlord_Sight",
    "Overlord_Speed", "Overlord_Transport", "Queen_Mana", "Ultralisk_Armor",
    "Ultralisk_Speed", "Zergling_Cooldown", "Zergling_Speed",
};

// One race: its node, the keys of its category nodes and of its "Attacking"
// node (the Protoss one is "Attacking_", without the race letter), and its
// entry lists.
struct Race {
    const char* name;
    const char* buildingsKey;
    const char* unitsKey;
    const char* techsKey;
    const char* upgradesKey;
    const char* attackingKey;
    std::span<const char* const> buildings;
    std::span<const char* const> units;
    std::span<const char* const> attacking;
    std::span<const char* const> techs;
    std::span<const char* const> upgrades;
};

constexpr Race Races[] = {
    {"Protoss", "PBuildings", "PUnits", "PTechs", "PUpgrds", "Attacking_",
     ProtossBuildings, ProtossUnits, ProtossAttacking, ProtossTechs, ProtossUpgrades},
    {"Terran", "TBuildings", "TUnits", "TTechs", "TUpgrds", "TAttacking",
     TerranBuildings, TerranUnits, TerranAttacking, TerranTechs, TerranUpgrades},
    {"Zerg", "ZBuildings", "ZUnits", "ZTechs", "ZUpgrds", "ZAttacking",
     ZergBuildings, ZergUnits, ZergAttacking, ZergTechs, ZergUpgrades},
};

// Builds the nodes in adding order: "General" and its opcodes, then per race
// the race node, its categories, its "Attacking" node and the entries of
// Buildings, Attacking, Units, Technologies and Upgrades. Parents therefore
// always come before their children, and appending each child last keeps
// every list's order under its parent.
QList<CatalogueEntry> buildEntries()
{
    QList<CatalogueEntry> out;
    const auto add = [&out](const char* parent, const char* key, const char* text, int image,
                            NodeKind kind = NodeKind::Group) {
        out.append({QString::fromLatin1(parent), QString::fromLatin1(key), QString::fromLatin1(text), image,
                    kind});
    };
    const auto addList = [&add](const char* parent, std::span<const char* const> names, NodeKind kind) {
        for (const char* name : names)
            add(parent, name, name, ArrowImage, kind);
    };

    add("", "General", "General", SheetImage);
    for (const Opcode& op : GeneralOpcodes) {
        add("General", op.key, op.text, MemoImage, NodeKind::GeneralOpcode);
        out.last().shape = op.shape;
        out.last().header = op.header;
    }

    for (const Race& race : Races) {
        add("", race.name, race.name, SheetImage);
        add(race.name, race.buildingsKey, "Buildings", MemoImage);
        add(race.name, race.unitsKey, "Units", MemoImage);
        add(race.name, race.techsKey, "Technologies", MemoImage);
        add(race.name, race.upgradesKey, "Upgrades", MemoImage);
        add(race.unitsKey, race.attackingKey, "Attacking", MemoImage);
        addList(race.buildingsKey, race.buildings, NodeKind::Building);
        addList(race.attackingKey, race.attacking, NodeKind::AttackingUnit);
        addList(race.unitsKey, race.units, NodeKind::Unit);
        addList(race.techsKey, race.techs, NodeKind::Technology);
        addList(race.upgradesKey, race.upgrades, NodeKind::Upgrade);
    }
    return out;
}

}  // namespace

const QList<CatalogueEntry>& catalogueEntries()
{
    static const QList<CatalogueEntry> entries = buildEntries();
    return entries;
}

QStringList catalogueImagePaths()
{
    return {
        QStringLiteral(":/resources/icons/book-closed.png"),
        QStringLiteral(":/resources/icons/book-open.png"),
        QStringLiteral(":/resources/icons/note-lined.png"),
        QStringLiteral(":/resources/icons/memo.png"),
        QStringLiteral(":/resources/icons/arrow-right.png"),
    };
}
