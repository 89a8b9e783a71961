// The language server as editors meet it: the real program over pipes, a
// whole session against the checker's own findings, hostile input, its
// libraries, and Neovim's own client attached to it.
#include "TestSupport.h"

#include "language/ScriptFile.h"
#include "language/ScriptLanguage.h"
#include "server/JsonReader.h"
#include "server/LanguageServer.h"
#include "server/MessageReader.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString serverProgram()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../morvaneo-language-server"));
}

QString fixture(const QString& name)
{
    return QFINDTESTDATA(QStringLiteral("fixtures/") + name);
}

QByteArray message(const QJsonObject& o)
{
    QJsonObject m = o;
    m.insert(QStringLiteral("jsonrpc"), QStringLiteral("2.0"));
    return LanguageServer::frame(QJsonDocument(m).toJson(QJsonDocument::Compact));
}

QByteArray request(int id, const QString& method, const QJsonObject& params = {})
{
    return message({{QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}});
}

QByteArray notification(const QString& method, const QJsonObject& params = {})
{
    return message({{QStringLiteral("method"), method}, {QStringLiteral("params"), params}});
}

const QString Uri = QStringLiteral("file:///scripts/rush.mvn5");

QJsonObject at(int line, int character)
{
    return {{QStringLiteral("textDocument"), QJsonObject{{QStringLiteral("uri"), Uri}}},
            {QStringLiteral("position"), QJsonObject{{QStringLiteral("line"), line}, {QStringLiteral("character"), character}}}};
}

QByteArray opening(const QString& text)
{
    return request(1, QStringLiteral("initialize"), {{QStringLiteral("capabilities"), QJsonObject()}}) +
           notification(QStringLiteral("initialized")) +
           notification(QStringLiteral("textDocument/didOpen"),
                        {{QStringLiteral("textDocument"), QJsonObject{{QStringLiteral("uri"), Uri},
                                                                      {QStringLiteral("languageId"), QStringLiteral("mvn5")},
                                                                      {QStringLiteral("version"), 1},
                                                                      {QStringLiteral("text"), text}}}});
}

const QByteArray Goodbye = request(99, QStringLiteral("shutdown")) + notification(QStringLiteral("exit"));

struct Session {
    int status = -1;
    QList<QJsonObject> messages;
    QJsonObject answer(int id) const
    {
        for (const QJsonObject& m : messages)
            if (m.value(QStringLiteral("id")).toInt(-1) == id && !m.contains(QStringLiteral("method")))
                return m;
        return {};
    }
    QList<QJsonObject> diagnostics() const
    {
        QList<QJsonObject> out;
        for (const QJsonObject& m : messages)
            if (m.value(QStringLiteral("method")).toString() == QLatin1StringView("textDocument/publishDiagnostics"))
                out.append(m.value(QStringLiteral("params")).toObject());
        return out;
    }
};

// Runs the server on the input and reads every message it wrote.
Session talk(const QByteArray& input)
{
    QProcess p;
    p.start(serverProgram(), QStringList());
    if (!p.waitForStarted())
        qFatal("the language server did not start");
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    Session s;
    s.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    MessageReader reader;
    reader.feed(p.readAllStandardOutput());
    while (const std::optional<MessageReader::Item> item = reader.next()) {
        if (!item->fault.isEmpty())
            qFatal("the server wrote a broken header");
        s.messages.append(QJsonDocument::fromJson(item->content).object());
    }
    if (reader.pending() != 0)
        qFatal("the server wrote a message only in part");
    return s;
}

// "LINE:COLUMN: message" of a diagnostic, from 1, as --lint prints them.
QString lintForm(const QJsonObject& d)
{
    const QJsonObject start = d[QStringLiteral("range")][QStringLiteral("start")].toObject();
    return QStringLiteral("%1:%2: %3")
        .arg(start[QStringLiteral("line")].toInt() + 1)
        .arg(start[QStringLiteral("character")].toInt() + 1)
        .arg(d[QStringLiteral("message")].toString());
}

QString lintFile(const QString& name)
{
    return QString::fromUtf8(readBytes(fixture(name)));
}

}  // namespace

class TestLanguageServer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aWholeSession();
    void hostileInput_data();
    void hostileInput();
    void aFiftyMegabyteScript();
    void readerTakesAnyPieces();
    void quickJsonReadsAsQtDoes_data();
    void quickJsonReadsAsQtDoes();
    void neovimAttached();
};

// Every fixture's diagnostics are its --lint findings; then one session on
// a script with loops asks everything the server offers, changes the
// script a character at a time and ends with shutdown and exit.
void TestLanguageServer::aWholeSession()
{
    for (const QString& name : {QStringLiteral("zerg_mutalisks"), QStringLiteral("terran_bio")}) {
        const QString text = ScriptFile::readingRule(readBytes(fixture(name + QStringLiteral(".mvn5"))));
        const Session s = talk(opening(text) + Goodbye);
        QCOMPARE(s.status, 0);
        QCOMPARE(s.diagnostics().size(), 1);
        QStringList got;
        for (const QJsonValue& d : s.diagnostics().first()[QStringLiteral("diagnostics")].toArray()) {
            got << lintForm(d.toObject());
            QCOMPARE(d[QStringLiteral("severity")].toInt(), 1);
            QCOMPARE(d[QStringLiteral("source")].toString(), QStringLiteral("morvaneo"));
        }
        QCOMPARE(got.join(u'\n') + u'\n', lintFile(name + QStringLiteral(".lint")));
    }

    // Lines end in all three ways; "Wait" lacks its value, "Zelot" and "rsh"
    // are misspelt.
    const QString text = QStringLiteral("Script_Identifier RUSH\r\nScript_Name Rush\rCustom_Script\n:rush\r\n"
                                        "Zelot = 4\r\nWait\r\nGoto rsh\r\nMulti_Run rush\r\nAttacking_Zealot = 2");
    const QJsonObject doc{{QStringLiteral("uri"), Uri}};
    // Replaces from line:from to toLine:to with newText.
    const auto edit = [&doc](int line, int from, int to, const QString& newText, int toLine = -1) {
        const QJsonObject start{{QStringLiteral("line"), line}, {QStringLiteral("character"), from}};
        const QJsonObject end{{QStringLiteral("line"), toLine < 0 ? line : toLine}, {QStringLiteral("character"), to}};
        return notification(QStringLiteral("textDocument/didChange"),
                            {{QStringLiteral("textDocument"), doc},
                             {QStringLiteral("contentChanges"),
                              QJsonArray{QJsonObject{{QStringLiteral("range"), QJsonObject{{QStringLiteral("start"), start},
                                                                                          {QStringLiteral("end"), end}}},
                                                     {QStringLiteral("text"), newText}}}}});
    };
    QJsonObject action = at(0, 0);
    action.remove(QStringLiteral("position"));
    action.insert(QStringLiteral("range"), QJsonObject{{QStringLiteral("start"), QJsonObject{{QStringLiteral("line"), 4}, {QStringLiteral("character"), 0}}},
                                                      {QStringLiteral("end"), QJsonObject{{QStringLiteral("line"), 6}, {QStringLiteral("character"), 9}}}});
    QJsonObject references = at(3, 2);
    references.insert(QStringLiteral("context"), QJsonObject{{QStringLiteral("includeDeclaration"), true}});
    const Session s = talk(opening(text) + request(2, QStringLiteral("textDocument/completion"), at(4, 2)) +
                           request(3, QStringLiteral("textDocument/hover"), at(8, 12)) +
                           request(4, QStringLiteral("textDocument/hover"), at(5, 1)) +
                           request(5, QStringLiteral("textDocument/definition"), at(7, 12)) +
                           request(6, QStringLiteral("textDocument/references"), references) +
                           request(7, QStringLiteral("textDocument/documentSymbol"), at(0, 0)) +
                           request(8, QStringLiteral("textDocument/codeAction"), action) +
                           edit(6, 6, 6, QStringLiteral("u")) + edit(5, 4, 4, QStringLiteral(" 30")) +
                           edit(4, 2, 0, QStringLiteral("alot = 1\nGoto x"), 5) +
                           request(9, QStringLiteral("textDocument/hover"), at(6, 100)) + Goodbye);
    QCOMPARE(s.status, 0);
    const QJsonObject capabilities = s.answer(1)[QStringLiteral("result")][QStringLiteral("capabilities")].toObject();
    QCOMPARE(capabilities[QStringLiteral("textDocumentSync")][QStringLiteral("change")].toInt(), 2);

    QStringList items;
    for (const QJsonValue& item : s.answer(2)[QStringLiteral("result")].toArray())
        items << item[QStringLiteral("label")].toString() + u' ' + QString::number(item[QStringLiteral("kind")].toInt());
    QStringList expected;
    for (const QString& name : ScriptLanguage::completions(u"Ze"))
        expected << name + QStringLiteral(" 21");
    QCOMPARE(items, expected);
    QCOMPARE(s.answer(3)[QStringLiteral("result")][QStringLiteral("contents")][QStringLiteral("value")].toString(),
             QStringLiteral("Protoss attacking unit"));
    QCOMPARE(s.answer(4)[QStringLiteral("result")][QStringLiteral("contents")][QStringLiteral("value")].toString(),
             QStringLiteral("Wait VALUE"));
    QCOMPARE(s.answer(5)[QStringLiteral("result")][QStringLiteral("range")][QStringLiteral("start")][QStringLiteral("line")].toInt(), 3);
    QStringList places;
    for (const QJsonValue& l : s.answer(6)[QStringLiteral("result")].toArray())
        places << lintForm(QJsonObject{{QStringLiteral("range"), l[QStringLiteral("range")]}});
    QCOMPARE(places, (QStringList{"4:2: ", "8:11: "}));
    const QJsonArray symbols = s.answer(7)[QStringLiteral("result")].toArray();
    QCOMPARE(symbols.size(), 1);
    QCOMPARE(symbols[0][QStringLiteral("name")].toString(), QStringLiteral("rush"));
    QStringList fixes;
    for (const QJsonValue& a : s.answer(8)[QStringLiteral("result")].toArray()) {
        const QJsonObject change = a[QStringLiteral("edit")][QStringLiteral("changes")][Uri].toArray()[0].toObject();
        fixes << a[QStringLiteral("kind")].toString() + u' ' + a[QStringLiteral("title")].toString() + u' ' +
                     lintForm(QJsonObject{{QStringLiteral("range"), change[QStringLiteral("range")]}}) +
                     change[QStringLiteral("newText")].toString();
    }
    QCOMPARE(fixes, (QStringList{"quickfix Replace with \"Zealot\" 5:1: Zealot", "quickfix Replace with \"rush\" 7:6: rush"}));
    QCOMPARE(s.answer(9)[QStringLiteral("result")], QJsonValue(QJsonValue::Null));

    // After every change, the problems of the script as it now is.
    const QList<QJsonObject> published = s.diagnostics();
    QCOMPARE(published.size(), 4);
    QStringList found;
    for (const QJsonObject& p : published) {
        QStringList one;
        for (const QJsonValue& d : p[QStringLiteral("diagnostics")].toArray())
            one << lintForm(d.toObject());
        found << one.join(QStringLiteral(" | "));
    }
    QCOMPARE(found, (QStringList{"5:1: unknown name \"Zelot\" (did you mean \"Zealot\"?) | 6:5: \"Wait\" needs a value | "
                                 "7:6: unknown loop \"rsh\" (did you mean \"rush\"?)",
                                 "5:1: unknown name \"Zelot\" (did you mean \"Zealot\"?) | 6:5: \"Wait\" needs a value",
                                 "5:1: unknown name \"Zelot\" (did you mean \"Zealot\"?)",
                                 "6:6: unknown loop \"xWait 30\""}));
    const QJsonObject missing = published[0][QStringLiteral("diagnostics")].toArray()[1].toObject();
    QCOMPARE(missing[QStringLiteral("range")][QStringLiteral("start")], missing[QStringLiteral("range")][QStringLiteral("end")]);
}

// What a client may get wrong, and how the protocol wants it answered: the
// error codes that must come, the exit status, and never a hang.
void TestLanguageServer::hostileInput_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("errors");  // "id code" of each error answer, in order
    QTest::addColumn<int>("status");
    const QByteArray init = request(1, QStringLiteral("initialize"));
    const QByteArray hover = request(2, QStringLiteral("textDocument/hover"), at(0, 0));
    QTest::newRow("no Content-Length") << QByteArray("Content-Type: x\r\n\r\n") + init + hover + Goodbye
                                       << QStringList{"null -32700"} << 0;
    QTest::newRow("Content-Length not a number")
        << QByteArray("Content-Length: 12x\r\n\r\n{}") + init + hover + Goodbye << QStringList{"null -32700"} << 0;
    QTest::newRow("Content-Length too short")
        << QByteArray("Content-Length: 20\r\n\r\n") + request(5, QStringLiteral("initialize")).mid(35) + init + Goodbye
        << QStringList{"null -32700"} << 0;
    QTest::newRow("Content-Length beyond all measure")
        << QByteArray("Content-Length: 99999999999999999\r\n\r\n") + init + Goodbye << QStringList{"null -32700"} << 0;
    QTest::newRow("Content-Length past the end") << init + QByteArray("Content-Length: 500\r\n\r\n{\"id\":")
                                                 << QStringList() << 1;
    QTest::newRow("broken JSON") << init + LanguageServer::frame("{\"id\": 3, \"method\": ") + hover + Goodbye
                                 << QStringList{"null -32700"} << 0;
    QTest::newRow("not an object") << init + LanguageServer::frame("[1, 2]") + LanguageServer::frame("\"x\"") + Goodbye
                                   << QStringList{"null -32600", "null -32700"} << 0;
    QTest::newRow("no method, odd id") << init + LanguageServer::frame("{\"jsonrpc\":\"2.0\",\"id\":4}") +
                                              LanguageServer::frame("{\"id\":[1],\"method\":\"shutdown\"}") + Goodbye
                                       << QStringList{"4 -32600", "null -32600"} << 0;
    QTest::newRow("request before initialize") << hover + init + hover + Goodbye << QStringList{"2 -32002"} << 0;
    QTest::newRow("unknown method") << init + request(7, QStringLiteral("textDocument/rename"), at(0, 0)) +
                                           notification(QStringLiteral("$/unknown")) + Goodbye
                                    << QStringList{"7 -32601"} << 0;
    QTest::newRow("wrong params") << init + request(8, QStringLiteral("textDocument/hover"), {{QStringLiteral("x"), 1}}) +
                                         LanguageServer::frame("{\"id\":9,\"method\":\"textDocument/hover\",\"params\":[1]}") +
                                         Goodbye
                                  << QStringList{"8 -32602", "9 -32602"} << 0;
    QTest::newRow("initialize twice") << init + init + Goodbye << QStringList{"1 -32600"} << 0;
    QTest::newRow("request after shutdown") << init + request(3, QStringLiteral("shutdown")) + hover +
                                                   notification(QStringLiteral("exit"))
                                            << QStringList{"2 -32600"} << 0;
    QTest::newRow("exit alone") << init + notification(QStringLiteral("exit")) + hover << QStringList() << 1;
    QTest::newRow("end of input") << init << QStringList() << 1;
    QTest::newRow("nothing at all") << QByteArray() << QStringList() << 1;
    QTest::newRow("garbage") << QByteArray(70000, '\x7f') + QByteArray("\r\n\r\n") + init + Goodbye
                             << QStringList{"null -32700"} << 0;
}

void TestLanguageServer::hostileInput()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, errors);
    QFETCH(int, status);
    const Session s = talk(input);
    QCOMPARE(s.status, status);
    QStringList got;
    for (const QJsonObject& m : s.messages)
        if (m.contains(QStringLiteral("error")))
            got << (m[QStringLiteral("id")].isNull() ? QStringLiteral("null") : QString::number(m[QStringLiteral("id")].toInt())) +
                       u' ' + QString::number(m[QStringLiteral("error")][QStringLiteral("code")].toInt());
    QCOMPARE(got, errors);
    // Whatever came before, the initialize request got its capabilities.
    if (input.contains("\"initialize\"") && status == 0)
        QVERIFY(s.answer(1).contains(QStringLiteral("result")));
}

// 50 MB of script lines, most of them faulty: the diagnostics come, capped,
// and the server still answers and ends cleanly.
void TestLanguageServer::aFiftyMegabyteScript()
{
    const QString line = QStringLiteral("Zelot = 4\r\nWait 300\r\nGoto nowhere\r\n");
    const QString text = line.repeated(50 * 1000 * 1000 / line.size());
    const Session s = talk(opening(text) + request(2, QStringLiteral("textDocument/hover"), at(1000000, 1)) + Goodbye);
    QCOMPARE(s.status, 0);
    QCOMPARE(s.diagnostics().size(), 1);
    QCOMPARE(s.diagnostics().first()[QStringLiteral("diagnostics")].toArray().size(), LanguageServer::MostDiagnostics);
    QCOMPARE(s.answer(2)[QStringLiteral("result")][QStringLiteral("contents")][QStringLiteral("value")].toString(),
             QStringLiteral("Wait VALUE"));
}

// The quick JSON reader takes what clients send and reads it as
// QJsonDocument does; anything else it leaves to QJsonDocument.
void TestLanguageServer::quickJsonReadsAsQtDoes_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("taken");
    QTest::newRow("a script with escapes and characters of every width")
        << QByteArray(R"({"params":{"textDocument":{"text":"Zealot = 4\r\n:rush\tx \"q\" \\ \/ \u00e9)"
                      "\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \\ud83d\\ude00 \\u0000\\uffff\"}}}")
        << true;
    QTest::newRow("numbers") << QByteArray(R"({"n":[0,-0,-0.0,7,-12,1.5,2E+2,1.0,-1e-3,123456789.123456789,)"
                                           R"(9223372036854775807,9223372036854775808,-9223372036854775808.0,)"
                                           R"(22222222222222232.25,4.9e-324]})")
                             << true;
    QTest::newRow("literals, blanks, nesting")
        << QByteArray(" \r\n\t{ \"a\" : [ true , false , null , { } , [ ] ] , \"b\" : {\"c\":{\"d\":[[1]]}} } \n") << true;
    QTest::newRow("duplicate key") << QByteArray(R"({"a":1,"a":2})") << false;
    QTest::newRow("lone surrogate") << QByteArray(R"({"a":"\ud800x"})") << false;
    QTest::newRow("bytes that are no UTF-8") << QByteArray("{\"a\":\"\xc3(\xed\xa0\x80\"}") << false;
    QTest::newRow("control character") << QByteArray("{\"a\":\"\x01\"}") << false;
    QTest::newRow("numbers out of form or range") << QByteArray(R"({"a":[1.,01,1e400]})") << false;
    QTest::newRow("trailing comma") << QByteArray(R"({"a":1,})") << false;
    QTest::newRow("not one object") << QByteArray(R"([1] {})") << false;
    QTest::newRow("too deep") << QByteArray(100, '[').prepend("{\"a\":").append(QByteArray(100, ']')).append('}')
                              << false;
}

void TestLanguageServer::quickJsonReadsAsQtDoes()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, taken);
    const std::optional<QJsonObject> quick = JsonReader::readObject(json);
    QCOMPARE(quick.has_value(), taken);
    if (quick)
        QCOMPARE(QJsonDocument(*quick).toJson(QJsonDocument::Compact),
                 QJsonDocument::fromJson(json).toJson(QJsonDocument::Compact));
}

// A stream cut into pieces of any size reads as the same messages and
// faults as in one piece.
void TestLanguageServer::readerTakesAnyPieces()
{
    const QByteArray stream = QByteArray("\r\n") + opening(QStringLiteral("Wait")) + "Content-Length: 3\n\n{}}" +
                              "X-Other: 1\r\n\r\n" + LanguageServer::frame(QByteArray(3000, 'a')) + Goodbye;
    const auto readAll = [](const QList<QByteArray>& pieces) {
        MessageReader reader;
        QStringList out;
        for (const QByteArray& piece : pieces) {
            reader.feed(piece);
            while (const std::optional<MessageReader::Item> item = reader.next())
                out << (item->fault.isEmpty() ? QString::fromLatin1(item->content.left(40)) : QStringLiteral("fault"));
        }
        return out;
    };
    const QStringList whole = readAll({stream});
    QCOMPARE(whole.size(), 8);
    QCOMPARE(whole.count(QStringLiteral("fault")), 1);
    for (const int size : {1, 2, 7, 64, 1000}) {
        QList<QByteArray> pieces;
        for (qsizetype i = 0; i < stream.size(); i += size)
            pieces << stream.mid(i, size);
        QCOMPARE(readAll(pieces), whole);
    }
}

// Neovim's own client, started headless on a script with the server
// attached: what it received is written out by tests/lsp_neovim.lua.
void TestLanguageServer::neovimAttached()
{
    const QString nvim = QStandardPaths::findExecutable(QStringLiteral("nvim"));
    if (nvim.isEmpty())
        QSKIP("Neovim (Debian package neovim) is not installed");
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("received.txt"));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MORVANEO_LSP_SERVER"), QFileInfo(serverProgram()).absoluteFilePath());
    env.insert(QStringLiteral("MORVANEO_LSP_SCRIPT"), fixture(QStringLiteral("zealot_rush.mvn5")));
    env.insert(QStringLiteral("MORVANEO_LSP_OUT"), out);
    // Neovim keeps its state and logs in the test's own folders.
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    p.setProcessEnvironment(env);
    p.start(nvim, {QStringLiteral("--headless"), QStringLiteral("--clean"), QStringLiteral("-n"), QStringLiteral("-c"),
                   QStringLiteral("luafile ") + QFINDTESTDATA("lsp_neovim.lua")});
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        QFAIL("Neovim did not finish");
    }
    const QString received = QString::fromUtf8(readBytes(out));
    qInfo().noquote() << "Neovim received:\n" + received;
    QCOMPARE(received,
             QStringLiteral("diagnostic 5:1-5:6 morvaneo unknown name \"Zelot\" (did you mean \"Zealot\"?) 1\n"
                            "diagnostic 6:5-6:5 morvaneo \"Wait\" needs a value 1\n"
                            "diagnostic 8:6-8:9 morvaneo unknown loop \"rsh\" (did you mean \"rush\"?) 1\n"
                            "completion Wait 14\n"
                            "completion Gateway 21\n"
                            "hover Protoss attacking unit\n"
                            "definition same-file 4:1\n"));
}

QTEST_MAIN(TestLanguageServer)
#include "test_language_server.moc"
