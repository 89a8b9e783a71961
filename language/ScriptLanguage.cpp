#include "language/ScriptLanguage.h"

#include "language/HeaderRules.h"
#include "language/ScriptFile.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace ScriptLanguage {

namespace {

// Everything derived from the catalogue once: the words, a hash of their
// names, the nodes by text, and the lowered names that suggestions compare.
struct Language {
    QList<Word> words;
    QHash<QString, qsizetype> byName;       // word name -> index in words
    QHash<QString, qsizetype> byNodeText;   // node text -> index in words, -1 for a group node
    QString markers;                        // the first characters of comment and loop lines
    QList<qsizetype> markerWords;           // their words, in the order of markers
    QList<LineKind> markerLines;            // and the lines they start
    QStringList lowered;                    // words' names in lower case, "" for the markers
    QList<quint64> characterSets;           // characterSet() of each lowered name
    QStringList races;                      // the race each word belongs to, "" for the general opcodes
    qsizetype longestName = 0;
    // The same look-up as byName for a name's bytes in the script code
    // page: an open-addressing table of indexes into encodedNames, -1 for
    // an empty slot. A name the code page cannot hold has no bytes and is
    // left out, as no decoded line can spell it.
    QList<QByteArray> encodedNames;
    QList<qsizetype> encodedWords;          // the word of each encoded name
    QList<qint32> nameSlots;                // a power of two of them
    std::array<char16_t, 256> characters{}; // the character of each byte
    std::array<qint8, 256> markerOfByte{};  // the index in markers of each byte's character, or -1
};

// The general opcodes whose value names a loop.
constexpr QLatin1StringView JumpOpcodes[] = {QLatin1StringView("Goto"), QLatin1StringView("Multi_Run")};

// The characters of a text as a set of 64 classes (code modulo 64). Each
// edit adds at most one character that the other text lacks, so two texts
// within k edits differ in at most k classes each way: a test that spares
// most comparisons of a name with the catalogue.
quint64 characterSet(QStringView text)
{
    quint64 set = 0;
    for (const QChar c : text)
        set |= quint64(1) << (c.unicode() % 64);
    return set;
}

// Whether x has at most limit bits set, limit being small: each round
// clears the lowest. Cheaper than counting them all where the processor
// has no instruction for it.
bool atMostBits(quint64 x, int limit)
{
    for (int i = 0; i < limit && x != 0; ++i)
        x &= x - 1;
    return x == 0;
}

bool mayBeWithin(quint64 a, quint64 b, int limit)
{
    return atMostBits(a & ~b, limit) && atMostBits(b & ~a, limit);
}

// A free-text opcode's node reads "<marker> (<what>)": the marker is the
// text up to its first blank.
QString markerOf(const QString& nodeText)
{
    const qsizetype blank = nodeText.indexOf(u' ');
    return blank < 0 ? nodeText : nodeText.left(blank);
}

// The hash of a name's bytes in the table of encoded names (FNV-1a).
quint32 nameHash(const char* bytes, qsizetype size)
{
    quint32 h = 2166136261u;
    for (qsizetype i = 0; i < size; ++i)
        h = (h ^ static_cast<unsigned char>(bytes[i])) * 16777619u;
    return h;
}

// Fills the tables that read a line from its bytes: the encoded names from
// byName, so that both find the same word for every name, a name given
// twice included; each byte's character and marker.
void buildByteTables(Language& lang)
{
    for (auto it = lang.byName.cbegin(); it != lang.byName.cend(); ++it) {
        bool lossy = false;
        const QByteArray bytes = ScriptFile::encode(it.key(), &lossy);
        if (lossy)
            continue;
        lang.encodedNames.append(bytes);
        lang.encodedWords.append(it.value());
    }
    qsizetype size = 16;
    while (size < 4 * lang.encodedNames.size())
        size *= 2;
    lang.nameSlots.fill(-1, size);
    for (qsizetype i = 0; i < lang.encodedNames.size(); ++i) {
        const QByteArray& name = lang.encodedNames[i];
        qsizetype slot = nameHash(name.constData(), name.size()) & (size - 1);
        while (lang.nameSlots[slot] >= 0)
            slot = (slot + 1) & (size - 1);
        lang.nameSlots[slot] = qint32(i);
    }
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        lang.characters[size_t(b)] = ScriptFile::decode(QByteArrayView(&byte, 1)).at(0).unicode();
        lang.markerOfByte[size_t(b)] = qint8(lang.markers.indexOf(QChar(lang.characters[size_t(b)])));
    }
}

Language build()
{
    Language lang;
    const QList<CatalogueEntry>& entries = catalogueEntries();
    // Every entry gives a name or two: sized once, the tables never grow.
    lang.byName.reserve(2 * entries.size());
    lang.byNodeText.reserve(entries.size());
    const auto add = [&lang](Word word) {
        lang.byName.insert(word.name, lang.words.size());
        lang.longestName = std::max(lang.longestName, word.name.size());
        lang.words.append(std::move(word));
    };
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const CatalogueEntry& e = entries[i];
        if (e.kind == NodeKind::Group) {
            lang.byNodeText.insert(e.text, -1);
            continue;
        }
        lang.byNodeText.insert(e.text, lang.words.size());
        Word word{e.text, i, e.kind, e.shape, e.header, Form::Plain};
        if (e.kind == NodeKind::AttackingUnit) {
            word.name = attackingName(e.text);
            word.form = Form::Attacking;
        } else if (e.shape == ValueShape::FreeText) {
            word.name = markerOf(e.text);
            lang.markers += word.name.at(0);
            lang.markerWords.append(lang.words.size());
            lang.markerLines.append(e.key == QLatin1StringView("Comment") ? LineKind::Comment : LineKind::Loop);
        }
        add(std::move(word));
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const CatalogueEntry& e = entries[i];
        if (e.kind == NodeKind::Building || e.kind == NodeKind::Unit)
            add(Word{RebuildPrefix + e.text, i, e.kind, e.shape, false, Form::Rebuild});
    }
    // A node's race is the top-level node above it.
    QHash<QString, QString> parents;
    parents.reserve(entries.size());
    for (const CatalogueEntry& e : entries)
        parents.insert(e.key, e.parentKey);
    for (const Word& word : lang.words) {
        QString key = entries[word.node].parentKey;
        QString race;
        while (!key.isEmpty() && key != QLatin1StringView("General")) {
            race = key;
            key = parents.value(key);
        }
        lang.races.append(race);
    }
    for (const Word& word : lang.words) {
        lang.lowered.append(word.shape == ValueShape::FreeText ? QString() : word.name.toLower());
        lang.characterSets.append(characterSet(lang.lowered.constLast()));
    }
    buildByteTables(lang);
    return lang;
}

const Language& language()
{
    static const Language lang = build();
    return lang;
}

qsizetype lookUp(const QHash<QString, qsizetype>& hash, QStringView key)
{
    // A QString over the caller's characters: looking up copies nothing.
    const QString raw = QString::fromRawData(key.constData(), key.size());
    const auto it = hash.constFind(raw);
    return it == hash.cend() ? -2 : it.value();
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// A line as its bytes in the script code page, read a character at a time:
// the characters of the decoded line, without decoding it. The same reading
// code serves both forms of a line.
struct EncodedLine {
    QByteArrayView bytes;
    const Language* lang;
    qsizetype size() const { return bytes.size(); }
    QChar operator[](qsizetype i) const { return QChar(lang->characters[static_cast<unsigned char>(bytes[i])]); }
};

// The index in markers of the character at i, or -1.
qsizetype markerAt(const Language& lang, QStringView line, qsizetype i)
{
    return lang.markers.indexOf(line[i]);
}

qsizetype markerAt(const Language& lang, const EncodedLine& line, qsizetype i)
{
    return lang.markerOfByte[static_cast<unsigned char>(line.bytes[i])];
}

// The word a line's name spells, or nullptr.
const Word* wordAt(const Language& lang, QStringView line, qsizetype from, qsizetype length)
{
    const qsizetype i = lookUp(lang.byName, line.sliced(from, length));
    return i >= 0 ? &lang.words[i] : nullptr;
}

const Word* wordAt(const Language& lang, const EncodedLine& line, qsizetype from, qsizetype length)
{
    if (length > lang.longestName)
        return nullptr;
    const char* name = line.bytes.data() + from;
    const qsizetype mask = lang.nameSlots.size() - 1;
    for (qsizetype slot = nameHash(name, length) & mask;; slot = (slot + 1) & mask) {
        const qint32 i = lang.nameSlots[slot];
        if (i < 0)
            return nullptr;
        const QByteArray& candidate = lang.encodedNames[i];
        if (candidate.size() == length && std::equal(name, name + length, candidate.constData()))
            return &lang.words[lang.encodedWords[i]];
    }
}

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The optimal string alignment distance of a and b, or limit + 1 when it is
// more than limit. Both are short (within two of the longest name).
int distance(QStringView a, QStringView b, int limit)
{
    const qsizetype m = a.size();
    const qsizetype n = b.size();
    if (std::abs(m - n) > limit)
        return limit + 1;
    constexpr qsizetype Room = 128;
    if (n + 1 > Room)
        return limit + 1;
    std::array<int, Room> rows[3];
    int* before = rows[0].data();
    int* prev = rows[1].data();
    int* cur = rows[2].data();
    for (qsizetype j = 0; j <= n; ++j)
        prev[j] = int(j);
    for (qsizetype i = 1; i <= m; ++i) {
        cur[0] = int(i);
        int rowMin = cur[0];
        for (qsizetype j = 1; j <= n; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int v = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                v = std::min(v, before[j - 2] + 1);
            cur[j] = v;
            rowMin = std::min(rowMin, v);
        }
        if (rowMin > limit)
            return limit + 1;
        std::swap(before, prev);
        std::swap(prev, cur);
    }
    return std::min(prev[n], limit + 1);
}

// The end of the line without its trailing blanks.
template <class Line>
qsizetype trimmedEnd(const Line& line, qsizetype from)
{
    qsizetype end = line.size();
    while (end > from && isBlank(line[end - 1]))
        --end;
    return end;
}

// What follows a name that takes "= value": the value's span, if any, and
// whether the "=" was there.
template <class Line>
void readAssignment(const Line& line, qsizetype from, LineSyntax& out, bool& hasValue)
{
    const qsizetype n = line.size();
    qsizetype i = from;
    while (i < n && isBlank(line[i]))
        ++i;
    const bool equals = i < n && line[i] == u'=';
    if (equals) {
        ++i;
        while (i < n && isBlank(line[i]))
            ++i;
    }
    const qsizetype end = trimmedEnd(line, i);
    if (end > i)
        out.tokens.append({i, end - i, TokenKind::Value});
    hasValue = equals && end > i;
}

// An opcode's values: one span per word, or one for a name of several words.
template <class Line>
void readValues(const Line& line, qsizetype from, const Word& word, LineSyntax& out)
{
    const qsizetype n = line.size();
    qsizetype count = 0;
    qsizetype first = -1;
    qsizetype last = from;
    qsizetype i = from;
    while (true) {
        while (i < n && isBlank(line[i]))
            ++i;
        if (i == n)
            break;
        const qsizetype start = i;
        while (i < n && !isBlank(line[i]))
            ++i;
        ++count;
        if (first < 0)
            first = start;
        last = i;
        if (word.shape != ValueShape::Name)
            out.tokens.append({start, i - start, TokenKind::Value});
    }
    if (word.shape == ValueShape::Name && count > 0)
        out.tokens.append({first, last - first, TokenKind::Value});

    if (word.shape == ValueShape::NoValue) {
        if (count > 0) {
            out.fault = Fault::SuperfluousValues;
            out.faultColumn = first;
            out.faultLength = last - first;
        }
    } else if (count < valueCount(word.shape)) {
        out.fault = Fault::MissingValues;
        out.faultColumn = n;
    }
}

QString quoted(QStringView text)
{
    return QLatin1Char('"') + text.toString() + QLatin1Char('"');
}

// Suggestions already found for unknown names within one script: a name
// misspelt once is often misspelt again.
using Suggestions = QHash<QString, QString>;

QString suggestionFor(QStringView name, Suggestions* known)
{
    if (!known)
        return nearestName(name);
    const QString key = name.toString();
    auto it = known->constFind(key);
    if (it == known->cend())
        it = known->insert(key, nearestName(name));
    return it.value();
}

// near: the suggestion for an unknown name.
QString faultMessage(QStringView line, const LineSyntax& syntax, const QString& near)
{
    switch (syntax.fault) {
    case Fault::None:
        break;
    case Fault::UnknownName: {
        const QStringView name = line.sliced(syntax.faultColumn, syntax.faultLength);
        QString message = QStringLiteral("unknown name ") + quoted(name);
        if (!near.isEmpty())
            message += QStringLiteral(" (did you mean ") + quoted(near) + QStringLiteral("?)");
        return message;
    }
    case Fault::MissingValues: {
        const int count = valueCount(syntax.word->shape);
        return quoted(syntax.word->name) +
               (count == 1 ? QStringLiteral(" needs a value") : QStringLiteral(" needs %1 values").arg(count));
    }
    case Fault::MissingEntryValue:
        return quoted(syntax.word->name) + QStringLiteral(" needs a value after ") + quoted(QString(Assignment));
    case Fault::SuperfluousValues:
        return quoted(syntax.word->name) + QStringLiteral(" takes no value");
    case Fault::MissingLoopName:
        return quoted(syntax.word->name) + QStringLiteral(" needs a loop name");
    }
    return QString();
}

bool isDigits(QStringView text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isJump(const Word* word)
{
    return word && std::any_of(std::begin(JumpOpcodes), std::end(JumpOpcodes),
                               [word](QLatin1StringView name) { return word->name == name; });
}

// The value of a valid jump line as read by analyseLine: all its value words.
std::optional<Span> referenceSpan(const LineSyntax& syntax)
{
    if (syntax.kind != LineKind::Opcode || !syntax.valid() || syntax.tokens.size() < 2 || !isJump(syntax.word))
        return std::nullopt;
    const Token& first = syntax.tokens[1];
    const Token& last = syntax.tokens.last();
    return Span{first.start, last.start + last.length - first.start};
}

// The name span of a loop line read by analyseLine.
std::optional<Span> nameSpan(QStringView line, const LineSyntax& syntax)
{
    if (syntax.kind != LineKind::Loop)
        return std::nullopt;
    const Token& whole = syntax.tokens.first();
    qsizetype start = whole.start + 1;
    const qsizetype end = whole.start + whole.length;
    while (start < end && isBlank(line[start]))
        ++start;
    return Span{start, end - start};
}

// What the problems of a line depend on beyond the line: the header state,
// the script's loops and, within one pass over a script, the suggestions
// already found.
struct Pass {
    bool identifierSeen = false;
    const Loops* loops = nullptr;
    Suggestions* names = nullptr;
    Suggestions* loopNames = nullptr;
    // Places only, every message left empty: what underlining needs,
    // without the near-name searches.
    bool placesOnly = false;
};

QString nearestLoop(QStringView name, const Loops& loops, Suggestions* known)
{
    if (!known)
        return loops.nearest(name);
    const QString key = name.toString();
    auto it = known->constFind(key);
    if (it == known->cend())
        it = known->insert(key, loops.nearest(name));
    return it.value();
}

// The problems a line has with the script's loops.
void appendLoopProblems(QList<Problem>& out, QStringView line, const LineSyntax& syntax, qsizetype index,
                        const Pass& pass)
{
    if (!pass.loops || !syntax.valid())
        return;
    if (const std::optional<Span> name = nameSpan(line, syntax)) {
        const QStringView text = line.sliced(name->start, name->length);
        const qsizetype first = pass.loops->definition(text);
        if (first >= 0 && first < index)
            out.append({index, name->start, name->length,
                        pass.placesOnly ? QString()
                                        : QStringLiteral("loop ") + quoted(text) +
                                              QStringLiteral(" is already defined on line %1").arg(first + 1),
                        QString()});
    } else if (const std::optional<Span> value = referenceSpan(syntax)) {
        const QStringView text = line.sliced(value->start, value->length);
        if (isDigits(text) || pass.loops->definition(text) >= 0)
            return;
        Problem problem{index, value->start, value->length, QString(), QString()};
        if (pass.placesOnly) {
            out.append(problem);
            return;
        }
        problem.message = QStringLiteral("unknown loop ") + quoted(text);
        problem.suggestion = nearestLoop(text, *pass.loops, pass.loopNames);
        if (!problem.suggestion.isEmpty())
            problem.message += QStringLiteral(" (did you mean ") + quoted(problem.suggestion) + QStringLiteral("?)");
        out.append(problem);
    }
}

void appendProblems(QList<Problem>& out, QStringView line, const LineSyntax& syntax, qsizetype index, Pass& pass)
{
    // The checker's own rule, and its own words.
    for (const QString& finding : HeaderRules::checkLine(line, index, pass.identifierSeen))
        out.append({index, 0, line.size(), pass.placesOnly ? QString() : finding, QString()});
    // The message of an unknown name looks for a near name through the
    // whole catalogue: built only when someone reads it.
    if (!syntax.valid()) {
        const QString near = syntax.fault == Fault::UnknownName && !pass.placesOnly
                                 ? suggestionFor(line.sliced(syntax.faultColumn, syntax.faultLength), pass.names)
                                 : QString();
        out.append({index, syntax.faultColumn, syntax.faultLength,
                    pass.placesOnly ? QString() : faultMessage(line, syntax, near), near});
    }
    appendLoopProblems(out, line, syntax, index, pass);
}

// Reads a line given as its characters or as its code-page bytes.
template <class Line>
LineSyntax analyse(const Line& line)
{
    const Language& lang = language();
    LineSyntax out;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n && isBlank(line[i]))
        ++i;
    if (i == n)
        return out;

    const qsizetype marker = markerAt(lang, line, i);
    if (marker >= 0) {
        out.word = &lang.words[lang.markerWords[marker]];
        out.kind = lang.markerLines[marker];
        const TokenKind kind = out.kind == LineKind::Comment ? TokenKind::Comment : TokenKind::Loop;
        out.tokens.append({i, trimmedEnd(line, i) - i, kind});
        if (out.kind == LineKind::Loop && out.tokens.first().length == 1) {
            out.fault = Fault::MissingLoopName;
            out.faultColumn = i + 1;
        }
        return out;
    }

    qsizetype nameEnd = i;
    while (nameEnd < n && !isBlank(line[nameEnd]) && line[nameEnd] != u'=')
        ++nameEnd;
    if (nameEnd == i)
        while (nameEnd < n && !isBlank(line[nameEnd]))
            ++nameEnd;
    out.word = wordAt(lang, line, i, nameEnd - i);

    if (!out.word) {
        out.kind = LineKind::Unknown;
        out.tokens.append({i, nameEnd - i, TokenKind::Unknown});
        bool hasValue = false;
        readAssignment(line, nameEnd, out, hasValue);
        out.fault = Fault::UnknownName;
        out.faultColumn = i;
        out.faultLength = nameEnd - i;
        return out;
    }
    if (out.word->kind == NodeKind::GeneralOpcode) {
        out.kind = LineKind::Opcode;
        out.tokens.append({i, nameEnd - i, out.word->header ? TokenKind::HeaderOpcode : TokenKind::Opcode});
        readValues(line, nameEnd, *out.word, out);
        return out;
    }
    out.kind = LineKind::Entry;
    out.tokens.append({i, nameEnd - i, TokenKind::Name});
    bool hasValue = false;
    readAssignment(line, nameEnd, out, hasValue);
    if (!hasValue) {
        out.fault = Fault::MissingEntryValue;
        out.faultColumn = n;
    }
    return out;
}

}  // namespace

const QList<Word>& words()
{
    return language().words;
}

const Word* findWord(QStringView name)
{
    const Language& lang = language();
    const qsizetype i = lookUp(lang.byName, name);
    return i >= 0 ? &lang.words[i] : nullptr;
}

const Word* wordOfNode(QStringView nodeText)
{
    const Language& lang = language();
    const qsizetype i = lookUp(lang.byNodeText, nodeText);
    return i >= 0 ? &lang.words[i] : nullptr;
}

bool isGroupNode(QStringView nodeText)
{
    return lookUp(language().byNodeText, nodeText) == -1;
}

int valueCount(ValueShape shape)
{
    switch (shape) {
    case ValueShape::NoValue:
        return 0;
    case ValueShape::OneValue:
    case ValueShape::Name:
    case ValueShape::FreeText:
        return 1;
    case ValueShape::TwoValues:
        return 2;
    case ValueShape::ThreeValues:
        return 3;
    }
    return 0;
}

QString attackingName(QStringView entryText)
{
    QString name = AttackingPrefix;
    name += entryText.mid(1);
    return name;
}

LineSyntax analyseLine(QStringView line)
{
    return analyse(line);
}

LineSyntax analyseEncodedLine(QByteArrayView line)
{
    return analyse(EncodedLine{line, &language()});
}

namespace {

constexpr QByteArrayView Identifier = "script_identifier";

// The start of a line that the header rules read: no further than the
// identifier's length.
QByteArrayView headerPart(QByteArrayView line)
{
    return line.first(std::min(line.size(), Identifier.size()));
}

}  // namespace

bool encodedHeaderIsClean(QByteArrayView line, qsizetype index, bool firstLineIsIdentifier)
{
    // Past the second line only a repeated identifier is a finding.
    if (index > 1 && (!firstLineIsIdentifier || line.isEmpty() || (line[0] != 's' && line[0] != 'S')))
        return true;
    // An ASCII start is lowered without decoding.
    const QByteArrayView head = headerPart(line);
    const bool ascii = std::none_of(head.begin(), head.end(), [](char c) { return (c & 0x80) != 0; });
    if (index > 1 && ascii) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return head.size() != Identifier.size() ||
               !std::equal(head.begin(), head.end(), Identifier.begin(), [&](char a, char b) { return lower(a) == b; });
    }
    bool identifierSeen = index == 0 ? false : firstLineIsIdentifier;
    return HeaderRules::checkLine(ScriptFile::decode(head), index, identifierSeen).isEmpty();
}

bool encodedLineIsClean(QByteArrayView line, qsizetype index, bool firstLineIsIdentifier)
{
    // No loops are given: a line is clean without header findings and with
    // a valid language.
    return encodedHeaderIsClean(line, index, firstLineIsIdentifier) && analyseEncodedLine(line).valid();
}

QList<Problem> lineProblems(QStringView line, qsizetype index, bool firstLineIsIdentifier, const Loops* loops)
{
    return lineProblems(line, analyseLine(line), index, firstLineIsIdentifier, loops);
}

QList<Problem> lineProblems(QStringView line, const LineSyntax& syntax, qsizetype index, bool firstLineIsIdentifier,
                            const Loops* loops)
{
    QList<Problem> out;
    Pass pass;
    pass.identifierSeen = index == 0 ? false : firstLineIsIdentifier;
    pass.loops = loops;
    appendProblems(out, line, syntax, index, pass);
    return out;
}

QList<Problem> lineProblemPlaces(QStringView line, const LineSyntax& syntax, qsizetype index,
                                 bool firstLineIsIdentifier, const Loops* loops)
{
    QList<Problem> out;
    Pass pass;
    pass.identifierSeen = index == 0 ? false : firstLineIsIdentifier;
    pass.loops = loops;
    pass.placesOnly = true;
    appendProblems(out, line, syntax, index, pass);
    return out;
}

bool opensWithIdentifier(QStringView firstLine)
{
    bool identifierSeen = false;
    HeaderRules::checkLine(firstLine, 0, identifierSeen);
    return identifierSeen;
}

bool encodedOpensWithIdentifier(QByteArrayView firstLine)
{
    return opensWithIdentifier(ScriptFile::decode(headerPart(firstLine)));
}

QList<Problem> scriptProblems(const QStringList& lines, qsizetype most)
{
    QList<Problem> out;
    const Loops loops(lines);
    Suggestions names;
    Suggestions loopNames;
    Pass pass{false, &loops, &names, &loopNames};
    for (qsizetype i = 0; i < lines.size() && (most < 0 || out.size() < most); ++i)
        appendProblems(out, lines[i], analyseLine(lines[i]), i, pass);
    return out;
}

QList<Problem> scriptProblems(QStringView text)
{
    return scriptProblems(HeaderRules::splitText(text));
}

QString nearestName(QStringView name)
{
    const Language& lang = language();
    if (name.isEmpty() || name.size() > lang.longestName + 2)
        return QString();
    const QString lowered = name.toString().toLower();
    const quint64 characters = characterSet(lowered);
    constexpr int Limit = 2;
    int best = Limit + 1;
    qsizetype bestIndex = -1;
    for (qsizetype i = 0; i < lang.lowered.size() && best > 0; ++i) {
        const int limit = best - 1 < Limit ? best - 1 : Limit;
        if (lang.lowered[i].isEmpty() || !mayBeWithin(characters, lang.characterSets[i], limit))
            continue;
        const int d = distance(lowered, lang.lowered[i], limit);
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    return bestIndex < 0 ? QString() : lang.words[bestIndex].name;
}

qsizetype completionStart(QStringView line, qsizetype caret)
{
    caret = std::clamp<qsizetype>(caret, 0, line.size());
    while (caret > 0 && isNameCharacter(line[caret - 1]))
        --caret;
    return caret;
}

QStringList completions(QStringView prefix)
{
    QStringList out;
    for (const Word& word : words())
        if (word.shape != ValueShape::FreeText && word.name.startsWith(prefix, Qt::CaseInsensitive))
            out.append(word.name);
    return out;
}

bool isOpcodeName(QStringView name)
{
    const Word* word = findWord(name);
    return word && word->kind == NodeKind::GeneralOpcode;
}

// ------------------------------------------------------------------- loops

std::optional<Span> loopName(QStringView line)
{
    return nameSpan(line, analyseLine(line));
}

std::optional<Span> loopReference(QStringView line)
{
    const std::optional<Span> value = referenceSpan(analyseLine(line));
    if (!value || isDigits(line.sliced(value->start, value->length)))
        return std::nullopt;
    return value;
}

Loops::Loops(const QStringList& lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i)
        add(lines[i], i);
}

void Loops::add(QStringView line, qsizetype index)
{
    // Most lines are no loop lines: a look at their first character decides.
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] != u':')
        return;
    const std::optional<Span> name = loopName(line);
    if (!name || name->length == 0)
        return;
    // Looked up without a copy: a script repeats its loop names, and only a
    // new one is stored.
    const QStringView found = line.sliced(name->start, name->length);
    if (!m_lines.contains(QString::fromRawData(found.data(), found.size()))) {
        const QString text = found.toString();
        m_lines.insert(text, index);
        m_names.append(text);
    }
}

qsizetype Loops::definition(QStringView name) const
{
    const QString raw = QString::fromRawData(name.constData(), name.size());
    return m_lines.value(raw, -1);
}

QString Loops::nearest(QStringView name) const
{
    constexpr int Limit = 2;
    const QString lowered = name.toString().toLower();
    int best = Limit + 1;
    QString found;
    for (const QString& candidate : m_names) {
        const int limit = best - 1 < Limit ? best - 1 : Limit;
        if (limit < 0)
            break;
        const int d = distance(lowered, candidate.toLower(), limit);
        if (d < best) {
            best = d;
            found = candidate;
        }
    }
    return found;
}

// -------------------------------------------------- what a place points at

QString describe(QStringView line, qsizetype column, Span* span)
{
    const LineSyntax syntax = analyseLine(line);
    if (!syntax.word || syntax.tokens.isEmpty())
        return QString();
    const Token& first = syntax.tokens.first();
    if (column < first.start || column >= first.start + first.length || first.kind == TokenKind::Comment ||
        first.kind == TokenKind::Loop)
        return QString();
    if (span)
        *span = Span{first.start, first.length};
    const Word& word = *syntax.word;
    if (word.kind == NodeKind::GeneralOpcode) {
        QString form = word.name;
        for (int i = 0; i < valueCount(word.shape); ++i)
            form += QStringLiteral(" VALUE");
        return form;
    }
    QString kind;
    switch (word.kind) {
    case NodeKind::Building: kind = QStringLiteral("building"); break;
    case NodeKind::Unit: kind = QStringLiteral("unit"); break;
    case NodeKind::AttackingUnit: kind = QStringLiteral("attacking unit"); break;
    case NodeKind::Technology: kind = QStringLiteral("technology"); break;
    case NodeKind::Upgrade: kind = QStringLiteral("upgrade"); break;
    case NodeKind::Group:
    case NodeKind::GeneralOpcode: break;
    }
    const Language& lang = language();
    const QString& race = lang.races[&word - lang.words.constData()];
    const QString described = race + u' ' + kind;
    return word.form == Form::Rebuild ? QStringLiteral("rebuild ") + described : described;
}

qsizetype loopDefinition(QStringView line, qsizetype column, const Loops& loops)
{
    const std::optional<Span> value = loopReference(line);
    if (!value || (column >= 0 && (column < value->start || column > value->start + value->length)))
        return -1;
    return loops.definition(line.sliced(value->start, value->length));
}

std::optional<QString> loopAt(QStringView line, qsizetype column)
{
    const LineSyntax syntax = analyseLine(line);
    std::optional<Span> span = nameSpan(line, syntax);
    if (!span) {
        span = referenceSpan(syntax);
        if (span && isDigits(line.sliced(span->start, span->length)))
            span.reset();
    }
    if (!span || span->length == 0 || column < span->start || column > span->start + span->length)
        return std::nullopt;
    return line.sliced(span->start, span->length).toString();
}

QList<Place> loopUses(const QStringList& lines, QStringView name, bool withDefinitions)
{
    QList<Place> out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const LineSyntax syntax = analyseLine(lines[i]);
        std::optional<Span> span = nameSpan(lines[i], syntax);
        if (span && !withDefinitions)
            continue;
        if (!span)
            span = referenceSpan(syntax);
        if (span && QStringView(lines[i]).sliced(span->start, span->length) == name)
            out.append({i, *span});
    }
    return out;
}

QList<Place> loopLines(const QStringList& lines)
{
    QList<Place> out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<Span> span = loopName(lines[i]);
        if (span && span->length > 0)
            out.append({i, *span});
    }
    return out;
}

}  // namespace ScriptLanguage
