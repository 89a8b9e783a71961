// Preparing a script line: for any node text and any value the line is the
// one the ordered rule table gives, checked against a table walked here on
// its own. Each input also runs every node of the catalogue with its value.
//
// Input: one byte for the text form, one byte for the length in bytes of
// the node text, the node text, then the value.

#include "FuzzSupport.h"

#include "language/Catalogue.h"
#include "language/LinePreparation.h"

#include <QStringList>

namespace {

// One row of the rule table: the node texts it matches ("_" matches every
// text starting with an underscore), the line as a pattern in which each
// "%v" is the value and "%n" the node text.
struct Rule {
    QStringList nodes;
    QString pattern;
};

const QList<Rule>& rules()
{
    static const QList<Rule> table = {
        {{"General", "Protoss", "Terran", "Zerg", "Buildings", "Units", "Attacking"}, ""},
        {{"_"}, "Attacking%n = %v"},
        {{"; (Comment)"}, "; %v"},
        {{": (Loop)"}, ": %v"},
        {{"Attack"}, "Attack"},
        {{"Campaign_Script"}, "Campaign_Script"},
        {{"Check_Resources"}, "Check_Resources %v %v"},
        {{"Custom_Script"}, "Custom_Script"},
        {{"Expand"}, "Expand %v"},
        {{"Goto"}, "Goto %v"},
        {{"Group_Attack"}, "Group_Attack"},
        {{"Multi_Run"}, "Multi_Run %v"},
        {{"Script_Identifier"}, "Script_Identifier %v"},
        {{"Script_Name"}, "Script_Name %v"},
        {{"Stop"}, "Stop"},
        {{"TriBranch"}, "TriBranch %v %v %v"},
        {{"Wait"}, "Wait %v"},
        {{"Technologies", "Upgrades"}, ""},
        {{}, "%n = %v"},  // anything else: a building, unit, technology or upgrade
    };
    return table;
}

// Fills the pattern piece by piece, so that a "%v" or "%n" inside the
// value or the node text is never taken for a placeholder.
QString fill(const QString& pattern, const QString& node, const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u'v') {
            out += value;
            ++i;
        } else if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u'n') {
            out += node;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

bool matches(const Rule& rule, const QString& node)
{
    if (rule.nodes.isEmpty())
        return true;
    for (const QString& n : rule.nodes) {
        if (n == QLatin1String("_") ? (!node.isEmpty() && node[0] == u'_') : node == n)
            return true;
    }
    return false;
}

// The first rule that matches decides; before any node is chosen there is
// nothing to prepare.
QString referenceLine(const QString& node, const QString& value)
{
    if (node.isEmpty())
        return QString();
    for (const Rule& rule : rules())
        if (matches(rule, node))
            return fill(rule.pattern, node, value);
    return QString();
}

void checkOne(const QString& node, const QString& value)
{
    const QString got = PrepareLine(node, value);
    const QString want = referenceLine(node, value);
    FUZZ_CHECK(got == want, "node " + fuzz::shown(node) + " value " + fuzz::shown(value) + " gave " +
                                fuzz::shown(got) + " expected " + fuzz::shown(want));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int form = in.byte();
    const size_t nodeBytes = in.byte();
    const QString node = fuzz::textFrom(in.bytes(nodeBytes), form);
    const QString value = fuzz::textFrom(in.rest(), form);

    checkOne(node, value);
    // The value against every name of the table and a spread of catalogue
    // nodes (every kind of entry), and the node text as its own value.
    static const QStringList names = [] {
        QStringList all;
        for (const Rule& r : rules())
            all += r.nodes;
        const QList<CatalogueEntry>& entries = catalogueEntries();
        for (qsizetype i = 0; i < entries.size(); i += 16)
            all += entries[i].text;
        all.removeDuplicates();
        return all;
    }();
    for (const QString& name : names)
        checkOne(name, value);
    checkOne(node, node);
    return 0;
}
