// The script language: how lines read, their spans and problems, the
// suggestions and completions, and the checker's lint mode on real scripts.
#include "TestSupport.h"

#include "language/Catalogue.h"
#include "language/LinePreparation.h"
#include "language/ScriptLanguage.h"
#include "language/ScriptFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

using namespace ScriptLanguage;

namespace {

QString quoted(const QString& s)
{
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// "COLUMN: message" of a line's language problem, "" for a valid line.
QString problemOf(const QString& line)
{
    const QList<Problem> problems = lineProblems(line, 5, false);
    return problems.isEmpty() ? QString()
                              : QString::number(problems.first().column) + QStringLiteral(": ") + problems.first().message;
}

// Spans as "kind start+length", blank-separated.
QString spansOf(const QString& line)
{
    static const char* const names[] = {"op", "header", "name", "value", "comment", "loop", "unknown"};
    QStringList out;
    for (const Token& t : analyseLine(line).tokens)
        out << QStringLiteral("%1 %2+%3").arg(QLatin1StringView(names[int(t.kind)])).arg(t.start).arg(t.length);
    return out.join(QStringLiteral(", "));
}

QString fixture(const QString& name)
{
    return QFINDTESTDATA(QStringLiteral("fixtures/") + name);
}

const QStringList& fixtureNames()
{
    static const QStringList names = {QStringLiteral("protoss_carriers"), QStringLiteral("terran_bio"),
                                      QStringLiteral("zerg_mutalisks"), QStringLiteral("protoss_dark_templar")};
    return names;
}

struct Run {
    int status;
    QString out;
    QString err;
};

Run runChecker(const QStringList& args)
{
    QString program = qEnvironmentVariable("MORVANEO_CHECKER");
    if (program.isEmpty())
        program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../morvaneo-checker"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // lint must not need a display
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        qFatal("morvaneo-checker did not finish");
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void classification_data();
    void classification();
    void spans_data();
    void spans();
    void preparedLinesAreValid();
    void completion();
    void loops_data();
    void loops();
    void whatAPlacePointsAt();
    void scriptProblemsMatchLineByLine();
    void encodedLinesReadAsTheirText();
    void lintOnFixtures();
};

// Every word of the language in its valid and its faulty lines, then the
// lines that no word makes and the edge cases of blanks.
void TestLanguage::classification_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("problem");

    const auto row = [](const QString& line, LineKind kind, const QString& problem = QString()) {
        QTest::newRow(line.isEmpty() ? "(empty)" : qPrintable(line)) << line << int(kind) << problem;
    };
    for (const Word& w : words()) {
        const QString name = w.name;
        if (w.kind == NodeKind::GeneralOpcode) {
            if (w.shape == ValueShape::FreeText) {
                const bool comment = catalogueEntries()[w.node].key == QLatin1StringView("Comment");
                const LineKind kind = comment ? LineKind::Comment : LineKind::Loop;
                row(name, kind, comment ? QString() : QStringLiteral("1: \":\" needs a loop name"));
                row(QStringLiteral("  ") + name + QStringLiteral(" any text = at all "), kind);
                continue;
            }
            const int count = valueCount(w.shape);
            QString full = name, short_ = name;
            for (int i = 0; i < count; ++i)
                full += QStringLiteral(" v%1").arg(i);
            for (int i = 0; i + 1 < count; ++i)
                short_ += QStringLiteral(" v%1").arg(i);
            row(full, LineKind::Opcode);
            if (count == 0) {
                row(name + QStringLiteral(" 1 2"),
                    LineKind::Opcode, QString::number(name.size() + 1) + QStringLiteral(": ") + quoted(name) + QStringLiteral(" takes no value"));
            } else {
                const QString needs = count == 1 ? QStringLiteral(" needs a value") : QStringLiteral(" needs %1 values").arg(count);
                row(short_, LineKind::Opcode, QString::number(short_.size()) + QStringLiteral(": ") + quoted(name) + needs);
            }
        } else {
            row(name + QStringLiteral(" = 1"), LineKind::Entry);
            row(name + QStringLiteral(" = "), LineKind::Entry,
                QString::number(name.size() + 3) + QStringLiteral(": ") + quoted(name) + QStringLiteral(" needs a value after \" = \""));
        }
        // Names are case-sensitive; the suggestion finds them in any case.
        if (name.toLower() != name)
            row(name.toLower() + QStringLiteral(" = 1"), LineKind::Unknown,
                QStringLiteral("0: unknown name ") + quoted(name.toLower()) + QStringLiteral(" (did you mean ") + quoted(name) +
                    QStringLiteral("?)"));
    }
    // Forms that no entry has: workers do not attack, technologies and
    // upgrades are not rebuilt, and group nodes are no names.
    QSet<QString> seen;
    for (const CatalogueEntry& e : catalogueEntries()) {
        QString name;
        if (e.kind == NodeKind::Technology || e.kind == NodeKind::Upgrade || e.kind == NodeKind::AttackingUnit)
            name = QString(RebuildPrefix) + (e.kind == NodeKind::AttackingUnit ? attackingName(e.text) : e.text);
        else if (e.kind == NodeKind::Group && !e.parentKey.isEmpty())
            name = e.text;
        else if (e.text == QLatin1StringView("Probe") || e.text == QLatin1StringView("SCV") || e.text == QLatin1StringView("Drone"))
            name = QString(AttackingPrefix) + e.text;
        if (name.isEmpty() || findWord(name) || seen.contains(name))
            continue;
        seen.insert(name);
        QTest::newRow(qPrintable(name)) << name + QStringLiteral(" = 1") << int(LineKind::Unknown)
                                           << QStringLiteral("0: unknown name ") + quoted(name);
    }

    const QString needsValue = QStringLiteral(" needs a value");
    row(QString(), LineKind::Empty);
    row(QStringLiteral(" \t "), LineKind::Empty);
    row(QStringLiteral("  Wait\t 5  "), LineKind::Opcode);
    row(QStringLiteral("Wait 5 6"), LineKind::Opcode);  // the value box may hold blanks
    row(QStringLiteral("Wait=5"), LineKind::Opcode);
    row(QStringLiteral("Wait \t"), LineKind::Opcode, QStringLiteral("6: \"Wait\"") + needsValue);
    row(QStringLiteral("Script_Name My  great script "), LineKind::Opcode);
    row(QStringLiteral("Attack\t"), LineKind::Opcode);
    row(QStringLiteral("Zealot=3"), LineKind::Entry);
    row(QStringLiteral("Zealot\t=\t3 or 4"), LineKind::Entry);
    row(QStringLiteral("Zealot 3"), LineKind::Entry, QStringLiteral("8: \"Zealot\" needs a value after \" = \""));
    row(QStringLiteral("Zealot =\t "), LineKind::Entry, QStringLiteral("10: \"Zealot\" needs a value after \" = \""));
    row(QStringLiteral("  Zelot = 1"), LineKind::Unknown, QStringLiteral("2: unknown name \"Zelot\" (did you mean \"Zealot\"?)"));
    row(QStringLiteral("Zaelot = 1"), LineKind::Unknown, QStringLiteral("0: unknown name \"Zaelot\" (did you mean \"Zealot\"?)"));
    row(QStringLiteral("Xyz"), LineKind::Unknown, QStringLiteral("0: unknown name \"Xyz\""));
    row(QStringLiteral("Attacking_Nexus = 1"), LineKind::Unknown, QStringLiteral("0: unknown name \"Attacking_Nexus\""));
    row(QStringLiteral("= 5"), LineKind::Unknown, QStringLiteral("0: unknown name \"=\""));
    row(QStringLiteral("Zealot\u00A0= 1"), LineKind::Unknown, QStringLiteral("0: unknown name \"Zealot\u00A0\" (did you mean \"Zealot\"?)"));
}

void TestLanguage::classification()
{
    QFETCH(QString, line);
    QFETCH(int, kind);
    QFETCH(QString, problem);
    const LineSyntax syntax = analyseLine(line);
    QCOMPARE(int(syntax.kind), kind);
    QCOMPARE(syntax.valid(), problem.isEmpty());
    QCOMPARE(problemOf(line), problem);
}

void TestLanguage::spans_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("spans");
    QTest::newRow("header") << QStringLiteral("Script_Name My  script ") << QStringLiteral("header 0+11, value 12+10");
    QTest::newRow("opcode values") << QStringLiteral("TriBranch 1\t2  3") << QStringLiteral("op 0+9, value 10+1, value 12+1, value 15+1");
    QTest::newRow("attacking") << QStringLiteral("  Attacking_Zealot = 2 ") << QStringLiteral("name 2+16, value 21+1");
    QTest::newRow("rebuild, no blanks") << QStringLiteral("Rebuild_Pylon=1") << QStringLiteral("name 0+13, value 14+1");
    QTest::newRow("unknown with value") << QStringLiteral("Zelot = 1 2") << QStringLiteral("unknown 0+5, value 8+3");
    QTest::newRow("comment") << QStringLiteral("\t; build = 5 ") << QStringLiteral("comment 1+11");
    QTest::newRow("loop") << QStringLiteral(":again") << QStringLiteral("loop 0+6");
    QTest::newRow("entry without value") << QStringLiteral("Zealot =") << QStringLiteral("name 0+6");
}

void TestLanguage::spans()
{
    QFETCH(QString, line);
    QFETCH(QString, spans);
    QCOMPARE(spansOf(line), spans);
}

// Whatever the value box holds (a non-blank character, no line break), the
// line prepared from any node is valid; group nodes prepare nothing.
void TestLanguage::preparedLinesAreValid()
{
    const QStringList values = {QStringLiteral("1"), QStringLiteral("two words"), QStringLiteral("\t x "),
                                QStringLiteral("="), QStringLiteral("\u00E9;")};
    for (const CatalogueEntry& e : catalogueEntries()) {
        for (const QString& value : values) {
            const QString line = PrepareLine(e.text, value);
            QCOMPARE(line.isEmpty(), e.kind == NodeKind::Group);
            if (!line.isEmpty())
                QVERIFY2(analyseLine(line).valid(), qPrintable(line + QStringLiteral(" -> ") + problemOf(line)));
        }
    }
}

void TestLanguage::completion()
{
    QCOMPARE(completions(u"zea"), (QStringList{"Zealot", "Zealot_Speed"}));
    QCOMPARE(completions(u"ATTACKING_Z"), (QStringList{"Attacking_Zealot", "Attacking_Zergling"}));
    QCOMPARE(completions(u"rebuild_sp"), (QStringList{"Rebuild_Spawning_Pool", "Rebuild_Spire", "Rebuild_Spore_Colony"}));
    QCOMPARE(completions(u"Wa"), QStringList{"Wait"});
    QCOMPARE(completions(u";"), QStringList());
    // Every name once, in catalogue order, the rebuild forms last.
    const QStringList all = completions(u"");
    QCOMPARE(all.size(), words().size() - 2);
    QCOMPARE(all.first(), QStringLiteral("Attack"));
    QCOMPARE(all.last(), QStringLiteral("Rebuild_Zergling"));
    QCOMPARE(QSet<QString>(all.cbegin(), all.cend()).size(), all.size());

    const QString line = QStringLiteral("Attacking_Ze = 1 Wa");
    QCOMPARE(completionStart(line, 12), 0);
    QCOMPARE(completionStart(line, 10), 0);
    QCOMPARE(completionStart(line, 13), 13);
    QCOMPARE(completionStart(line, line.size()), line.size() - 2);
    QCOMPARE(completionStart(line, 999), line.size() - 2);
}

// Loop lines and the jumps to them, through the whole-script finder:
// "LINE:COLUMN: message" from 1, as --lint prints them.
void TestLanguage::loops_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("problems");
    QTest::newRow("defined above and below") << "Goto rush\n: rush \nMulti_Run rush\n:back\nGoto back" << "";
    QTest::newRow("no name") << "Wait 1\n  :\t \n" << "2:4: \":\" needs a loop name";
    QTest::newRow("defined again") << ":rush\n\t: rush\nWait 1\n:rush"
                                   << "2:4: loop \"rush\" is already defined on line 1\n"
                                      "4:2: loop \"rush\" is already defined on line 1";
    QTest::newRow("misspelt") << ":rush\nGoto rsh\nMulti_Run  Rush " << "2:6: unknown loop \"rsh\" (did you mean \"rush\"?)\n"
                                                                      "3:12: unknown loop \"Rush\" (did you mean \"rush\"?)";
    QTest::newRow("nothing near") << ":rush\nGoto attack" << "2:6: unknown loop \"attack\"";
    QTest::newRow("numbers and names of words") << "Goto 120\nMulti_Run 7\n: wave two\nGoto wave  two\nGoto wave two"
                                                << "4:6: unknown loop \"wave  two\" (did you mean \"wave two\"?)";
    QTest::newRow("nearest of several") << ":attack\n:wave\nGoto wav" << "3:6: unknown loop \"wav\" (did you mean \"wave\"?)";
    QTest::newRow("first on a tie") << ":ab1\n:ab2\nGoto ab" << "3:6: unknown loop \"ab\" (did you mean \"ab1\"?)";
    QTest::newRow("other faults first") << "Goto\nGoto 1 2\n:a\nStop a" << "1:5: \"Goto\" needs a value\n"
                                                                         "2:6: unknown loop \"1 2\"\n"
                                                                         "4:6: \"Stop\" takes no value";
}

void TestLanguage::loops()
{
    QFETCH(QString, script);
    QFETCH(QString, problems);
    QStringList found;
    for (const Problem& p : scriptProblems(QStringView(script)))
        if (!p.message.contains(QLatin1StringView(" opcode must ")))  // the header findings
            found << QStringLiteral("%1:%2: %3").arg(p.line + 1).arg(p.column + 1).arg(p.message);
    QCOMPARE(found.join(u'\n'), problems);
}

// Hover texts, definitions and uses of loops, and the suggestion a quick
// fix puts in place.
void TestLanguage::whatAPlacePointsAt()
{
    const QList<std::pair<QString, QString>> described = {
        {"Wait 300", "Wait VALUE"}, {"Check_Resources 1 2", "Check_Resources VALUE VALUE"},
        {"  Attack", "Attack"}, {"Script_Name x y", "Script_Name VALUE"}, {"TriBranch", "TriBranch VALUE VALUE VALUE"},
        {"Zealot = 1", "Protoss unit"}, {"Spawning_Pool=1", "Zerg building"}, {"Stim_Packs = 1", "Terran technology"},
        {"Dragoon_Range = 1", "Protoss upgrade"}, {"Attacking_Zealot = 1", "Protoss attacking unit"},
        {"Rebuild_Nexus = 1", "rebuild Protoss building"}, {"Rebuild_Marine = 1", "rebuild Terran unit"},
        {"Zelot = 1", ""}, {"; Zealot", ""}, {":Zealot", ""}};
    for (const auto& [line, text] : described) {
        Span span;
        const qsizetype at = line.indexOf(QRegularExpression(QStringLiteral("\\S")));
        QCOMPARE(describe(line, at + 1, &span), text);
        if (!text.isEmpty())
            QCOMPARE(span.start, at);
        QCOMPARE(describe(line, line.size()), QString());  // past the name
    }

    const QStringList lines = {":start", "Goto start", "Wait 1", ": start ", "Multi_Run start", "Goto 5", "Goto strat"};
    const Loops loops(lines);
    QCOMPARE(loops.names(), QStringList{"start"});
    QCOMPARE(loopDefinition(lines[1], -1, loops), 0);
    QCOMPARE(loopDefinition(lines[1], 5, loops), 0);
    QCOMPARE(loopDefinition(lines[1], 10, loops), 0);  // just after the value
    QCOMPARE(loopDefinition(lines[1], 2, loops), -1);  // on the opcode
    QCOMPARE(loopDefinition(lines[5], -1, loops), -1);
    QCOMPARE(loopDefinition(lines[6], -1, loops), -1);
    QCOMPARE(loopAt(lines[3], 4), std::optional<QString>("start"));
    QCOMPARE(loopAt(lines[1], 1), std::nullopt);
    QCOMPARE(loopUses(lines, u"start"),
             (QList<Place>{{0, {1, 5}}, {1, {5, 5}}, {3, {2, 5}}, {4, {10, 5}}}));
    QCOMPARE(loopUses(lines, u"start", false), (QList<Place>{{1, {5, 5}}, {4, {10, 5}}}));
    QCOMPARE(loopLines(lines), (QList<Place>{{0, {1, 5}}, {3, {2, 5}}}));
    QStringList suggestions;
    for (const Problem& p : scriptProblems(QStringList{"Zelot = 1", "Xyz = 1"} + lines))
        suggestions << p.suggestion;
    QCOMPARE(suggestions, (QStringList{"", "Zealot", "", "", "", "start"}));
}

// The whole-script finder and the per-line one an editor uses for changed
// lines agree on every fixture, and both put a missing value at the end.
void TestLanguage::scriptProblemsMatchLineByLine()
{
    for (const QString& name : fixtureNames()) {
        const QString text = ScriptFile::readingRule(readBytes(fixture(name + QStringLiteral(".mvn5"))));
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QList<Problem> byLine;
        const bool identifier = opensWithIdentifier(lines.first());
        const Loops loops(lines);
        for (qsizetype i = 0; i < lines.size(); ++i)
            byLine += lineProblems(lines[i], i, identifier, &loops);
        QCOMPARE(scriptProblems(QStringView(text)), byLine);
        QCOMPARE(scriptProblems(lines), byLine);
        for (const Problem& p : byLine)
            QVERIFY(p.column >= 0 && p.column + p.length <= lines[p.line].size());
    }
}

// The checker reads lines from their bytes without decoding them; random
// lines of script words, blanks, signs and bytes beyond ASCII read the same
// as their decoded text, and are clean exactly when it has no problem.
void TestLanguage::encodedLinesReadAsTheirText()
{
    static const char* const pieces[] = {"Zealot", "Zelot", "Wait", "Attacking_", "Rebuild_", "Script_Identifier",
                                         "Script_Name", "Goto", ":rush", "rush", " ", "  ", "\t", "=", "4", "300",
                                         ";", "\x92", "\xe0", "\x97", "\x00", "Custom_Script", "Multi_Run", "x"};
    QRandomGenerator random(23);
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes;
        for (int n = int(random.bounded(7)); n >= 0; --n) {
            const char* piece = pieces[random.bounded(int(std::size(pieces)))];
            bytes.append(piece, piece[0] ? qsizetype(std::strlen(piece)) : 1);
        }
        const QString text = ScriptFile::decode(bytes);
        const LineSyntax a = analyseEncodedLine(bytes);
        const LineSyntax b = analyseLine(text);
        QVERIFY2(a.kind == b.kind && a.word == b.word && a.fault == b.fault && a.faultColumn == b.faultColumn &&
                     a.faultLength == b.faultLength && a.tokens.size() == b.tokens.size(),
                 bytes.toHex().constData());
        const qsizetype index = random.bounded(4);
        const bool identifier = random.bounded(2) == 0;
        QCOMPARE(encodedLineIsClean(bytes, index, identifier), lineProblems(text, index, identifier).isEmpty());
        QCOMPARE(encodedOpensWithIdentifier(bytes), opensWithIdentifier(text));
    }
}

// The real program on the fixtures: one line per problem, in order, file by
// file, exit status 1; a clean script alone gives 0 and no output; a file
// that cannot be read is named on standard error and the rest are checked.
void TestLanguage::lintOnFixtures()
{
    QStringList files;
    QString expected;
    for (const QString& name : fixtureNames()) {
        files << fixture(name + QStringLiteral(".mvn5"));
        QVERIFY2(!files.last().isEmpty(), qPrintable(name));
        for (const QByteArray& line : readBytes(fixture(name + QStringLiteral(".lint"))).split('\n'))
            if (!line.isEmpty())
                expected += files.last() + u':' + QString::fromUtf8(line) + u'\n';
    }
    Run run = runChecker(QStringList{QStringLiteral("--lint")} + files);
    QCOMPARE(run.out, expected);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, QString());

    const QString clean = files.last();
    run = runChecker({QStringLiteral("--lint"), QStringLiteral("--"), clean});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QString());

    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.mvn5"));
    run = runChecker({QStringLiteral("--lint"), missing, clean});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out, QString());
    QVERIFY(run.err.contains(missing));

    // Without --lint the checker still reports only the header rules.
    run = runChecker({files.first()});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.endsWith(QStringLiteral(": no finding (35 lines)\n")));
}

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
