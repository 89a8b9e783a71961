// What the language server costs beyond finding the problems: the
// diagnostics of a realistic 200 KB script after its didOpen, and after a
// one-character change in its middle, through the server's real message
// handling (JSON in, diagnostics JSON out), against a floor that finds the
// same problems directly in the same text.
#include "BenchSupport.h"

#include "language/HeaderRules.h"
#include "language/ScriptLanguage.h"
#include "server/LanguageServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using namespace Bench;

// Typical lines, loops and jumps among them, a few with problems.
QString realisticScript(qsizetype bytes)
{
    static const char* const lines[] = {
        "; Protoss opening", "Zealot = 4", "Gateway = 2", "Wait 300", "Pylon = 3", ":attack_wave",
        "Attacking_Zealot = 2", "Rebuild_Gateway = 1", "Check_Resources 500 500", "Expand 1",
        "Dragoon = 6", "Zelot = 2", "Wait", "Attack", "Goto attack_wave", "Multi_Run atack_wave",
        "Photon_Cannon = 2", "Singularity_Charge = 1", "Dragoon_Range = 1", "TriBranch 20 20 20",
        "Stop now", "Observer = 1", "Group_Attack", "Goto 12",
    };
    constexpr size_t count = sizeof(lines) / sizeof(lines[0]);
    QString s = QStringLiteral("Script_Identifier PBEN\r\nScript_Name Bench opening\r\nCampaign_Script\r\n");
    for (size_t i = 0; s.size() < bytes; ++i)
        s.append(QLatin1StringView(lines[i % count])).append(QStringLiteral("\r\n"));
    return s;
}

QByteArray json(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

const QString Uri = QStringLiteral("file:///bench.mvn5");

QByteArray didOpen(const QString& text)
{
    return json({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                 {QStringLiteral("method"), QStringLiteral("textDocument/didOpen")},
                 {QStringLiteral("params"),
                  QJsonObject{{QStringLiteral("textDocument"),
                               QJsonObject{{QStringLiteral("uri"), Uri}, {QStringLiteral("languageId"), QStringLiteral("mvn5")},
                                           {QStringLiteral("version"), 1}, {QStringLiteral("text"), text}}}}}});
}

// Replaces the characters from..to of a line with text.
QByteArray didChange(qsizetype line, qsizetype from, qsizetype to, const QString& text)
{
    const QJsonObject at{{QStringLiteral("line"), line}, {QStringLiteral("character"), from}};
    const QJsonObject end{{QStringLiteral("line"), line}, {QStringLiteral("character"), to}};
    return json({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                 {QStringLiteral("method"), QStringLiteral("textDocument/didChange")},
                 {QStringLiteral("params"),
                  QJsonObject{{QStringLiteral("textDocument"), QJsonObject{{QStringLiteral("uri"), Uri}, {QStringLiteral("version"), 2}}},
                              {QStringLiteral("contentChanges"),
                               QJsonArray{QJsonObject{{QStringLiteral("range"), QJsonObject{{QStringLiteral("start"), at},
                                                                                           {QStringLiteral("end"), end}}},
                                                      {QStringLiteral("text"), text}}}}}}});
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = quickMode(argc, argv);
    const int runs = runsFor(quick, 11);

    const QString text = realisticScript(200 * 1000);
    const QByteArray open = didOpen(text);
    const QByteArray initialize = R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})";
    const qsizetype middle = HeaderRules::splitText(text).size() / 2;

    qsizetype sink = 0;
    std::unique_ptr<LanguageServer> server;
    const Step serverOpen{[&] {
                              server = std::make_unique<LanguageServer>();
                              server->handle(initialize);
                          },
                          [&] { sink += server->handle(open).constFirst().size(); }};
    const Step floorOpen{nullptr, [&] { sink += ScriptLanguage::scriptProblems(QStringView(text)).size(); }};
    report(QStringLiteral("lsp_open_200kb"), interleaved(runs, serverOpen, floorOpen), 1.5);

    // One character typed in the middle line, then taken back, turn by turn.
    server = std::make_unique<LanguageServer>();
    server->handle(initialize);
    server->handle(open);
    QString changed = text;
    bool typed = false;
    const QByteArray typeX = didChange(middle, 0, 0, QStringLiteral("x"));
    const QByteArray eraseX = didChange(middle, 0, 1, QString());
    const Step serverChange{nullptr, [&] {
                                typed = !typed;
                                sink += server->handle(typed ? typeX : eraseX).constFirst().size();
                            }};
    // The floor finds the problems of the changed text (the edit itself is
    // the same one replacement).
    const Step floorChange{nullptr, [&] {
                               changed = text;
                               changed.insert(changed.size() / 2, u'x');
                               sink += ScriptLanguage::scriptProblems(QStringView(changed)).size();
                           }};
    const Result change = interleaved(runs, serverChange, floorChange);
    report(QStringLiteral("lsp_change_200kb"), change, 1.5);
    if (change.morvaneo > 10.0)
        std::fprintf(stderr, "bench: diagnostics after a change took %.2f ms, more than 10 ms\n", change.morvaneo);
    return sink == 0;
}
