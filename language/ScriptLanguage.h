#pragma once
#include "language/Catalogue.h"

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <optional>

// The script language as the catalogue describes it: which names may start
// a line, what follows each of them, and what is wrong with a line. Every
// fact comes from catalogueEntries(); line preparation, the problem finder,
// completion and the command-line lint all read it from here.
//
// How a line reads:
// - Blanks are spaces and tabs. Blanks before the first word, between words
//   and after the last word are free: "  Wait\t 5  " is "Wait 5". A line of
//   blanks only is an empty line. Every other character, a no-break space
//   included, belongs to a word.
// - A line whose first character (after blanks) is a comment or loop marker
//   (";" or ":") is that line, whatever follows, even nothing.
// - Otherwise the line starts with a name, which ends at a blank or at "="
//   (a line that starts with "=" has the name up to the first blank). Names
//   are case-sensitive.
// - A general opcode is followed by its values, words separated by blanks.
//   It needs at least as many as its shape says (one for a name, which may
//   have several words); words beyond that belong to the last value, as the
//   value box may hold blanks itself. An opcode without values takes none.
// - A building, unit, technology or upgrade, "Attacking_" + an attacking
//   entry without its "_", and "Rebuild_" + a building or unit are followed
//   by "=" and a value of one or more non-blank characters (blanks may stand
//   around "=", and the value may go on after a blank).
// So every line that line preparation makes from a catalogue node and a
// value with a non-blank character and no line break is valid.
//
// Columns count the line's UTF-16 code units from 0; a tab is one column.
namespace ScriptLanguage {

// The two prefixes that turn an entry's name into a line name.
inline constexpr QLatin1StringView AttackingPrefix{"Attacking_"};
inline constexpr QLatin1StringView RebuildPrefix{"Rebuild_"};
// What stands between an entry's name and its value in a prepared line.
inline constexpr QLatin1StringView Assignment{" = "};

// The form of a catalogue entry's name at the start of a line.
enum class Form : quint8 { Plain, Attacking, Rebuild };

// A word that may start a line: a general opcode (for comment and loop
// lines their marker, ";" or ":"), a building, unit, technology or upgrade,
// an attacking entry as "Attacking_X", or a building or unit as "Rebuild_X".
struct Word {
    QString name;            // as written in a line
    qsizetype node = 0;      // its node in catalogueEntries()
    NodeKind kind = NodeKind::GeneralOpcode;
    ValueShape shape = ValueShape::NoValue;  // general opcodes only
    bool header = false;     // one of the header opcodes
    Form form = Form::Plain;
};

// Every word: the catalogue's words in catalogue order, then the "Rebuild_"
// forms of the buildings and units in catalogue order.
const QList<Word>& words();
// The word spelled exactly so, or nullptr. No allocation.
const Word* findWord(QStringView name);
// The word a catalogue node's text makes lines with; nullptr for a node that
// groups others and for a text that no node has.
const Word* wordOfNode(QStringView nodeText);
// Whether a node with this text groups others (a race, a category, an
// "Attacking" node, "General").
bool isGroupNode(QStringView nodeText);
// How many values a general opcode of this shape holds: the copies of the
// value that line preparation writes, and the fewest value words a line of
// that opcode needs (free text is the exception: it may be empty).
int valueCount(ValueShape shape);
// "Attacking_X" for an attacking entry's text "_X".
QString attackingName(QStringView entryText);

// --------------------------------------------------------------- one line

enum class LineKind : quint8 { Empty, Comment, Loop, Opcode, Entry, Unknown };
enum class TokenKind : quint8 { Opcode, HeaderOpcode, Name, Value, Comment, Loop, Unknown };
// What is wrong with a line's language, at most one thing per line.
enum class Fault : quint8 { None, UnknownName, MissingValues, MissingEntryValue, SuperfluousValues, MissingLoopName };

// A span of a line: a name, a value, a comment or loop line, an unknown name.
// Blanks and "=" are in no span.
struct Token {
    qsizetype start = 0;
    qsizetype length = 0;
    TokenKind kind = TokenKind::Value;
};

// A line read without regard to its place in the script.
struct LineSyntax {
    LineKind kind = LineKind::Empty;
    const Word* word = nullptr;  // the word the line starts with (Unknown and Empty: none)
    Fault fault = Fault::None;
    qsizetype faultColumn = 0;   // where the faulty part starts
    qsizetype faultLength = 0;   // 0 for a missing value, which is due at the line's end
    QVarLengthArray<Token, 6> tokens;  // in order, not overlapping
    bool valid() const { return fault == Fault::None; }
};

// Reads a line (no line break in it). Cheap enough for every shown line
// while typing: a hash look-up of the first word, no allocation for lines
// of up to six spans.
LineSyntax analyseLine(QStringView line);
// The same for a line given as its bytes in the script code page: what
// analyseLine gives for ScriptFile::decode(line), read without decoding.
LineSyntax analyseEncodedLine(QByteArrayView line);

// ----------------------------------------------------------------- problems

struct Problem {
    qsizetype line = 0;     // 0-based
    qsizetype column = 0;   // 0-based
    qsizetype length = 0;
    QString message;
    QString suggestion;     // the "did you mean" name that may replace the faulty part, or ""
    bool operator==(const Problem&) const = default;
};

// ------------------------------------------------------------------- loops
//
// A loop line (first character after blanks ":") names a place in the
// script: its loop name is the rest of the line without the blanks around
// it. "Goto" and "Multi_Run" jump there: their value (all their value
// words) names the loop, unless it is made of digits only, which scripts
// use too and which is not checked.

struct Span {
    qsizetype start = 0;
    qsizetype length = 0;
    bool operator==(const Span&) const = default;
};
// The span of a loop line's name (length 0, just after the ":", when it has
// none); nothing for any other line.
std::optional<Span> loopName(QStringView line);
// The span of the loop name a "Goto" or "Multi_Run" line jumps to; nothing
// for other lines, for such a line without a value and for a value of
// digits only.
std::optional<Span> loopReference(QStringView line);

// The loop names of a script, each with the line that defines it first,
// collected in one pass over its lines.
class Loops {
public:
    Loops() = default;
    explicit Loops(const QStringList& lines);
    // Reads one line; lines are added in script order.
    void add(QStringView line, qsizetype index);
    // The 0-based line that first defines name, or -1.
    qsizetype definition(QStringView name) const;
    // The nearest loop name within two edits, compared in any case, the
    // first defined on a tie; "" when none is that near.
    QString nearest(QStringView name) const;
    // The names in the order of their first definition.
    const QStringList& names() const { return m_names; }
    bool operator==(const Loops&) const = default;

private:
    QHash<QString, qsizetype> m_lines;
    QStringList m_names;
};

// The problems of one line, given its 0-based index in the script and
// whether the script's first line holds the identifier opcode (see
// opensWithIdentifier; it decides whether a later Script_Identifier is a
// repetition). First the header findings, exactly as the checker window
// words them, at column 0 over the whole line; then the language problem:
//   unknown name "Zelot" (did you mean "Zealot"?)   at the name
//   "Wait" needs a value, "Check_Resources" needs 2 values,
//   "TriBranch" needs 3 values, "Zealot" needs a value after " = "
//                                                    just after the line's
//                                                    last character, length 0
//   "Attack" takes no value                          from the first value on
// A line without problems gives an empty list.
//   ":" needs a loop name                            just after the ":", length 0
//   loop "rush" is already defined on line 10        at the name
//   unknown loop "rsh" (did you mean "rush"?)        at the value
// The last two need the script's loops; without them (nullptr) they are
// not looked for.
QList<Problem> lineProblems(QStringView line, qsizetype index, bool firstLineIsIdentifier,
                            const Loops* loops = nullptr);
// The same for a line already read by analyseLine.
QList<Problem> lineProblems(QStringView line, const LineSyntax& syntax, qsizetype index, bool firstLineIsIdentifier,
                            const Loops* loops = nullptr);
// The same problems with their places only, every message left empty:
// what underlining a line needs, without the near-name search.
QList<Problem> lineProblemPlaces(QStringView line, const LineSyntax& syntax, qsizetype index,
                                 bool firstLineIsIdentifier, const Loops* loops = nullptr);
// Whether the header rules find nothing in a line given as its code-page
// bytes at this index. Past the second line, the problems lineProblems
// finds in such a line without loops are then those of its language alone:
// the same wherever it stands, but for their line.
bool encodedHeaderIsClean(QByteArrayView line, qsizetype index, bool firstLineIsIdentifier);
// Whether lineProblems(ScriptFile::decode(line), index, firstLineIsIdentifier)
// is empty, found from the line's code-page bytes without decoding them and,
// for nearly every line, without allocating: a pass over a whole file skips
// its many lines without problems this way.
bool encodedLineIsClean(QByteArrayView line, qsizetype index, bool firstLineIsIdentifier);
// Whether a script whose first line is this one opens with its identifier.
bool opensWithIdentifier(QStringView firstLine);
// The same for the first line's bytes in the script code page; only its
// start is decoded.
bool encodedOpensWithIdentifier(QByteArrayView firstLine);
// Every problem of a script, in line order: of its lines, or of its text
// split into lines the way the checker splits them (CR LF, lone CR, lone LF).
// most: the first problems only, at least that many when there are.
QList<Problem> scriptProblems(const QStringList& lines, qsizetype most = -1);
QList<Problem> scriptProblems(QStringView text);

// The nearest word name to name within two edits (an edit inserts, deletes
// or changes one character or swaps two neighbours), compared in any case;
// the first in words() order on a tie; "" when none is that near.
QString nearestName(QStringView name);

// --------------------------------------------------------------- completion

// Where the word before the caret starts: the caret moved back over
// letters, digits and "_".
qsizetype completionStart(QStringView line, qsizetype caret);
// The names of the words that start with prefix in any case, in words()
// order (comment and loop markers are no names to complete).
QStringList completions(QStringView prefix);
// Whether a completion is a general opcode (otherwise a catalogue name).
bool isOpcodeName(QStringView name);

// -------------------------------------------------- what a place points at

// What the word at a column of a line is, for a reader resting on it: a
// general opcode's form with VALUE for each value ("Wait VALUE",
// "Check_Resources VALUE VALUE", "Attack"), a catalogue name's race and kind
// ("Protoss unit", "Protoss attacking unit", "rebuild Zerg building"); ""
// elsewhere. span receives the word's place.
QString describe(QStringView line, qsizetype column, Span* span = nullptr);

// A place in a script.
struct Place {
    qsizetype line = 0;
    Span span;
    bool operator==(const Place&) const = default;
};
// The 0-based loop line that a "Goto" or "Multi_Run" line jumps to, -1 for
// none. column < 0 asks for the line as a whole, otherwise the column must
// be on the value (its end included).
qsizetype loopDefinition(QStringView line, qsizetype column, const Loops& loops);
// The loop name at a column of a line: on a loop line's name or on a
// jump's value; nothing elsewhere.
std::optional<QString> loopAt(QStringView line, qsizetype column);
// Every loop line that defines name (at its name) and every jump to it (at
// its value), in line order; loop lines only when withDefinitions.
QList<Place> loopUses(const QStringList& lines, QStringView name, bool withDefinitions = true);
// Every loop line that has a name, at its name, in line order.
QList<Place> loopLines(const QStringList& lines);

}  // namespace ScriptLanguage
