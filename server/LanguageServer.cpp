#include "server/LanguageServer.h"

#include "language/HeaderRules.h"
#include "language/ScriptLanguage.h"
#include "server/JsonReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

using namespace ScriptLanguage;

// JSON-RPC's and the protocol's error codes.
enum ErrorCode {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    ServerNotInitialized = -32002,
};

// The protocol's kinds used here.
constexpr int CompletionKeyword = 14;
constexpr int CompletionConstant = 21;
constexpr int SymbolFunction = 12;
constexpr int SeverityError = 1;
constexpr int SyncIncremental = 2;

QByteArray encode(const QJsonObject& message)
{
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

QByteArray response(const QJsonValue& id, const QJsonValue& result)
{
    return encode({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("id"), id},
                   {QStringLiteral("result"), result}});
}

QByteArray errorResponse(const QJsonValue& id, int code, const QString& message)
{
    return encode({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                   {QStringLiteral("id"), id},
                   {QStringLiteral("error"),
                    QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}});
}

QJsonObject position(qsizetype line, qsizetype character)
{
    return {{QStringLiteral("line"), line}, {QStringLiteral("character"), character}};
}

QJsonObject range(qsizetype line, qsizetype start, qsizetype end)
{
    return {{QStringLiteral("start"), position(line, start)}, {QStringLiteral("end"), position(line, end)}};
}

QJsonObject range(const Place& place)
{
    return range(place.line, place.span.start, place.span.start + place.span.length);
}

QJsonObject location(const QString& uri, const QJsonObject& where)
{
    return {{QStringLiteral("uri"), uri}, {QStringLiteral("range"), where}};
}

QJsonObject diagnostic(const Problem& p)
{
    return {{QStringLiteral("range"), range(p.line, p.column, p.column + p.length)},
            {QStringLiteral("severity"), SeverityError},
            {QStringLiteral("source"), QStringLiteral("morvaneo")},
            {QStringLiteral("message"), p.message}};
}

// A text as a JSON string: every code unit outside printable ASCII escaped,
// so that lone surrogates pass too.
void appendString(QByteArray& out, QStringView text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    // Written through a pointer into room for the longest form (six bytes a
    // code unit, two quotes), then cut to what was written: appending a byte
    // at a time checks the room at every byte.
    const qsizetype old = out.size();
    out.resize(old + 2 + 6 * text.size());
    char* dst = out.data() + old;
    *dst++ = '"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            *dst++ = '\\';
            *dst++ = char(u);
        } else if (u >= 0x20 && u < 0x7f) {
            *dst++ = char(u);
        } else {
            const char escape[] = {'\\', 'u', Hex[u >> 12], Hex[(u >> 8) & 15], Hex[(u >> 4) & 15], Hex[u & 15]};
            std::memcpy(dst, escape, sizeof escape);
            dst += sizeof escape;
        }
    }
    *dst++ = '"';
    out.truncate(dst - out.constData());
}

void appendNumber(QByteArray& out, qint64 number)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    out.append(digits, end - digits);
}

// The diagnostics notification, written directly: a large script has
// thousands of problems, and building JSON objects for each costs several
// times as much as finding them.
QByteArray diagnosticsMessage(const QString& uri, const QList<Problem>& problems, qsizetype most)
{
    QByteArray out;
    out.reserve(160 + std::min(problems.size(), most) * 190);
    out += R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)";
    appendString(out, uri);
    out += R"(,"diagnostics":[)";
    for (qsizetype i = 0; i < problems.size() && i < most; ++i) {
        const Problem& p = problems[i];
        if (i > 0)
            out += ',';
        // Appended piece by piece: joined temporaries would copy each
        // diagnostic several times over.
        out.append(R"({"range":{"start":{"line":)");
        appendNumber(out, p.line);
        out.append(R"(,"character":)");
        appendNumber(out, p.column);
        out.append(R"(},"end":{"line":)");
        appendNumber(out, p.line);
        out.append(R"(,"character":)");
        appendNumber(out, qint64(p.column) + p.length);
        out.append(R"(}},"severity":1,"source":"morvaneo","message":)");
        appendString(out, p.message);
        out += '}';
    }
    out += "]}}";
    return out;
}

// A protocol position: its line and character, -1 when missing or not
// whole numbers of at least 0.
struct Position {
    qint64 line = -1;
    qint64 character = -1;
    bool valid() const { return line >= 0 && character >= 0; }
};

Position positionOf(const QJsonValue& value)
{
    const QJsonObject o = value.toObject();
    const QJsonValue line = o.value(QStringLiteral("line"));
    const QJsonValue character = o.value(QStringLiteral("character"));
    if (!line.isDouble() || !character.isDouble())
        return {};
    const double l = line.toDouble();
    const double c = character.toDouble();
    if (l < 0 || c < 0 || l > 1e15 || c > 1e15)
        return {};
    return {qint64(l), qint64(c)};
}

// The offset in text of a protocol position: lines end at CR LF, a lone CR
// or a lone LF; a character past its line's end is the line's end, a line
// past the last is the text's end.
qsizetype offsetOf(QStringView text, Position p)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    for (qint64 line = 0; line < p.line; ++line) {
        while (i < n && text[i] != u'\r' && text[i] != u'\n')
            ++i;
        if (i == n)
            return n;
        i += text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n' ? 2 : 1;
    }
    qsizetype end = i;
    while (end < n && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    return i + qsizetype(std::min<qint64>(p.character, end - i));
}

QString uriOf(const QJsonObject& params)
{
    return params.value(QStringLiteral("textDocument")).toObject().value(QStringLiteral("uri")).toString();
}

// Whether a line is a loop line, which the problems of other lines depend on.
bool isLoopLine(QStringView line)
{
    return loopName(line).has_value();
}

}  // namespace

void LanguageServer::Document::findAll()
{
    lines = HeaderRules::splitText(text);
    loops = Loops(lines);
    opensWithIdentifier = ScriptLanguage::opensWithIdentifier(lines.first());
    // Only the problems that are reported are kept.
    problems = scriptProblems(lines, MostDiagnostics);
    if (problems.size() > MostDiagnostics)
        problems.resize(MostDiagnostics);
}

void LanguageServer::Document::findInLine(qsizetype line)
{
    const auto byLine = [](const Problem& p, qsizetype l) { return p.line < l; };
    const auto first = std::lower_bound(problems.begin(), problems.end(), line, byLine);
    const auto last = std::lower_bound(first, problems.end(), line + 1, byLine);
    const qsizetype at = first - problems.begin();
    const qsizetype before = problems.size();
    problems.remove(at, last - first);
    const QList<Problem> found = lineProblems(lines[line], line, opensWithIdentifier, &loops);
    for (qsizetype i = 0; i < found.size(); ++i)
        problems.insert(at + i, found[i]);
    // Only the reported problems are kept: when the kept ones were all that
    // are reported and are now fewer, the next ones lie in lines not read.
    if (problems.size() > MostDiagnostics)
        problems.resize(MostDiagnostics);
    else if (before >= MostDiagnostics && problems.size() < MostDiagnostics)
        findAll();
}

QByteArray LanguageServer::frame(const QByteArray& content)
{
    return "Content-Length: " + QByteArray::number(content.size()) + "\r\n\r\n" + content;
}

QList<QByteArray> LanguageServer::framingFault(const QString& what)
{
    return {errorResponse(QJsonValue::Null, ParseError, what)};
}

QList<QByteArray> LanguageServer::handle(const QByteArray& content)
{
    Reply out;
    // The quick reader takes the messages clients send; whatever it leaves
    // goes to QJsonDocument, which also words what is wrong.
    std::optional<QJsonObject> read = JsonReader::readObject(content);
    if (!read) {
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(content, &error);
        if (error.error != QJsonParseError::NoError) {
            out.append(errorResponse(QJsonValue::Null, ParseError, QStringLiteral("broken JSON: ") + error.errorString()));
            return out;
        }
        if (!json.isObject()) {
            out.append(errorResponse(QJsonValue::Null, InvalidRequest, QStringLiteral("a message must be a JSON object")));
            return out;
        }
        read = json.object();
    }
    const QJsonObject message = std::move(*read);
    const bool hasId = message.contains(QStringLiteral("id"));
    const QJsonValue id = message.value(QStringLiteral("id"));
    const QJsonValue method = message.value(QStringLiteral("method"));
    // Answers from the client: this server asks nothing, so there are none
    // to wait for.
    if (hasId && !message.contains(QStringLiteral("method")) &&
        (message.contains(QStringLiteral("result")) || message.contains(QStringLiteral("error"))))
        return out;
    if (hasId && !id.isDouble() && !id.isString()) {
        out.append(errorResponse(QJsonValue::Null, InvalidRequest, QStringLiteral("an id must be a number or a string")));
        return out;
    }
    if (!method.isString()) {
        if (hasId)
            out.append(errorResponse(id, InvalidRequest, QStringLiteral("a request needs a method")));
        return out;
    }
    const QJsonValue params = message.value(QStringLiteral("params"));
    if (hasId) {
        if (!params.isObject() && !params.isUndefined() && !params.isNull())
            out.append(errorResponse(id, InvalidParams, QStringLiteral("params must be an object")));
        else
            request(method.toString(), id, params.toObject(), out);
    } else {
        notification(method.toString(), params.toObject(), out);
    }
    return out;
}

void LanguageServer::request(const QString& method, const QJsonValue& id, const QJsonObject& params, Reply& out)
{
    if (!m_initialized && method != QLatin1StringView("initialize")) {
        out.append(errorResponse(id, ServerNotInitialized, QStringLiteral("the server is not initialized yet")));
        return;
    }
    if (m_shutDown) {
        out.append(errorResponse(id, InvalidRequest, QStringLiteral("the server is shut down")));
        return;
    }
    int code = 0;
    QString text;
    const QJsonValue result = answer(method, params, &code, &text);
    out.append(code ? errorResponse(id, code, text) : response(id, result));
}

const LanguageServer::Document* LanguageServer::document(const QJsonObject& params) const
{
    const auto it = m_documents.constFind(uriOf(params));
    return it == m_documents.cend() ? nullptr : &it.value();
}

QJsonValue LanguageServer::answer(const QString& method, const QJsonObject& params, int* errorCode,
                                  QString* errorMessage)
{
    if (method == QLatin1StringView("initialize")) {
        if (m_initialized) {
            *errorCode = InvalidRequest;
            *errorMessage = QStringLiteral("the server is already initialized");
            return {};
        }
        m_initialized = true;
        const QJsonObject capabilities{
            {QStringLiteral("positionEncoding"), QStringLiteral("utf-16")},
            {QStringLiteral("textDocumentSync"),
             QJsonObject{{QStringLiteral("openClose"), true}, {QStringLiteral("change"), SyncIncremental}}},
            {QStringLiteral("completionProvider"), QJsonObject{{QStringLiteral("resolveProvider"), false}}},
            {QStringLiteral("hoverProvider"), true},
            {QStringLiteral("definitionProvider"), true},
            {QStringLiteral("referencesProvider"), true},
            {QStringLiteral("documentSymbolProvider"), true},
            {QStringLiteral("codeActionProvider"),
             QJsonObject{{QStringLiteral("codeActionKinds"), QJsonArray{QStringLiteral("quickfix")}}}},
        };
        return QJsonObject{{QStringLiteral("capabilities"), capabilities},
                           {QStringLiteral("serverInfo"),
                            QJsonObject{{QStringLiteral("name"), QStringLiteral("morvaneo-language-server")},
                                        {QStringLiteral("version"), QStringLiteral(MORVANEO_VERSION)}}}};
    }
    if (method == QLatin1StringView("shutdown")) {
        m_shutDown = true;
        return QJsonValue::Null;
    }

    static const QStringList documentMethods = {
        QStringLiteral("textDocument/completion"), QStringLiteral("textDocument/hover"),
        QStringLiteral("textDocument/definition"), QStringLiteral("textDocument/references"),
        QStringLiteral("textDocument/documentSymbol"), QStringLiteral("textDocument/codeAction")};
    if (!documentMethods.contains(method)) {
        *errorCode = MethodNotFound;
        *errorMessage = QStringLiteral("unknown method ") + method;
        return {};
    }
    if (!params.value(QStringLiteral("textDocument")).toObject().value(QStringLiteral("uri")).isString()) {
        *errorCode = InvalidParams;
        *errorMessage = QStringLiteral("textDocument.uri is missing");
        return {};
    }
    const QString uri = uriOf(params);
    const Document* doc = document(params);

    if (method == QLatin1StringView("textDocument/documentSymbol")) {
        QJsonArray symbols;
        if (doc)
            for (const Place& p : loopLines(doc->lines))
                symbols.append(QJsonObject{
                    {QStringLiteral("name"), doc->lines[p.line].sliced(p.span.start, p.span.length)},
                    {QStringLiteral("kind"), SymbolFunction},
                    {QStringLiteral("range"), range(p.line, 0, doc->lines[p.line].size())},
                    {QStringLiteral("selectionRange"), range(p)}});
        return symbols;
    }
    if (method == QLatin1StringView("textDocument/codeAction")) {
        QJsonArray actions;
        const QJsonObject wanted = params.value(QStringLiteral("range")).toObject();
        const Position from = positionOf(wanted.value(QStringLiteral("start")));
        const Position to = positionOf(wanted.value(QStringLiteral("end")));
        if (!doc || !from.valid() || !to.valid())
            return actions;
        const QList<Problem>& problems = doc->problems;
        for (qsizetype i = 0; i < problems.size() && i < MostDiagnostics; ++i) {
            const Problem& p = problems[i];
            // Problems that touch the range, its ends included.
            const bool after = p.line > to.line || (p.line == to.line && p.column > to.character);
            const bool before = p.line < from.line || (p.line == from.line && p.column + p.length < from.character);
            if (p.suggestion.isEmpty() || after || before)
                continue;
            const QJsonObject edit{{QStringLiteral("range"), range(p.line, p.column, p.column + p.length)},
                                   {QStringLiteral("newText"), p.suggestion}};
            actions.append(QJsonObject{
                {QStringLiteral("title"), QStringLiteral("Replace with \"%1\"").arg(p.suggestion)},
                {QStringLiteral("kind"), QStringLiteral("quickfix")},
                {QStringLiteral("diagnostics"), QJsonArray{diagnostic(p)}},
                {QStringLiteral("isPreferred"), true},
                {QStringLiteral("edit"),
                 QJsonObject{{QStringLiteral("changes"), QJsonObject{{uri, QJsonArray{edit}}}}}}});
        }
        return actions;
    }

    // The rest ask about one position.
    const Position at = positionOf(params.value(QStringLiteral("position")));
    if (!at.valid()) {
        *errorCode = InvalidParams;
        *errorMessage = QStringLiteral("position is missing");
        return {};
    }
    const bool onLine = doc && at.line < doc->lines.size();
    const QString line = onLine ? doc->lines[at.line] : QString();
    const qsizetype column = qsizetype(std::min<qint64>(at.character, line.size()));

    if (method == QLatin1StringView("textDocument/completion")) {
        QJsonArray items;
        if (!onLine)
            return items;
        const qsizetype start = completionStart(line, column);
        const QStringList names = completions(QStringView(line).sliced(start, column - start));
        for (qsizetype i = 0; i < names.size(); ++i)
            items.append(QJsonObject{
                {QStringLiteral("label"), names[i]},
                {QStringLiteral("kind"), isOpcodeName(names[i]) ? CompletionKeyword : CompletionConstant},
                // The language's own order, whatever the client sorts by.
                {QStringLiteral("sortText"), QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'))},
                {QStringLiteral("textEdit"), QJsonObject{{QStringLiteral("range"), range(at.line, start, column)},
                                                         {QStringLiteral("newText"), names[i]}}}});
        return items;
    }
    if (method == QLatin1StringView("textDocument/hover")) {
        Span span;
        const QString text = onLine ? describe(line, column, &span) : QString();
        if (text.isEmpty())
            return QJsonValue::Null;
        return QJsonObject{{QStringLiteral("contents"), QJsonObject{{QStringLiteral("kind"), QStringLiteral("plaintext")},
                                                                    {QStringLiteral("value"), text}}},
                           {QStringLiteral("range"), range(at.line, span.start, span.start + span.length)}};
    }
    if (method == QLatin1StringView("textDocument/definition")) {
        if (!onLine)
            return QJsonValue::Null;
        const qsizetype target = loopDefinition(line, column, doc->loops);
        if (target < 0)
            return QJsonValue::Null;
        const std::optional<Span> name = loopName(doc->lines[target]);
        return location(uri, range(target, 0, name ? name->start + name->length : 0));
    }
    // textDocument/references
    QJsonArray locations;
    const std::optional<QString> name = onLine ? loopAt(line, column) : std::nullopt;
    if (!name)
        return locations;
    const bool declarations =
        params.value(QStringLiteral("context")).toObject().value(QStringLiteral("includeDeclaration")).toBool(true);
    for (const Place& p : loopUses(doc->lines, *name, declarations))
        locations.append(location(uri, range(p)));
    return locations;
}

void LanguageServer::notification(const QString& method, const QJsonObject& params, Reply& out)
{
    if (method == QLatin1StringView("exit")) {
        m_finished = true;
        return;
    }
    // Before "initialize" notifications are dropped, as the protocol says.
    if (!m_initialized)
        return;
    const QString uri = uriOf(params);
    if (method == QLatin1StringView("textDocument/didOpen")) {
        const QJsonValue text = params.value(QStringLiteral("textDocument")).toObject().value(QStringLiteral("text"));
        if (uri.isEmpty() || !text.isString())
            return;
        Document& doc = m_documents[uri];
        doc.text = text.toString();
        doc.findAll();
        publish(uri, out);
    } else if (method == QLatin1StringView("textDocument/didChange")) {
        const auto it = m_documents.find(uri);
        if (it == m_documents.end())
            return;
        Document& doc = it.value();
        bool split = false;  // whether the lines must be split from the text again
        QList<qsizetype> changedLines;  // otherwise, the lines whose problems are found again
        for (const QJsonValue& change : params.value(QStringLiteral("contentChanges")).toArray()) {
            const QJsonObject c = change.toObject();
            const QJsonValue text = c.value(QStringLiteral("text"));
            if (!text.isString())
                continue;
            if (!c.contains(QStringLiteral("range"))) {
                doc.text = text.toString();
                split = true;
                continue;
            }
            const QJsonObject r = c.value(QStringLiteral("range")).toObject();
            const Position from = positionOf(r.value(QStringLiteral("start")));
            const Position to = positionOf(r.value(QStringLiteral("end")));
            if (!from.valid() || !to.valid())
                continue;
            const QString inserted = text.toString();
            const qsizetype start = offsetOf(doc.text, from);
            const qsizetype end = std::max(start, offsetOf(doc.text, to));
            doc.text.replace(start, end - start, inserted);
            // Typing within a line changes that line alone.
            if (!split && from.line == to.line && from.line > 0 && from.line < doc.lines.size() &&
                !inserted.contains(u'\r') && !inserted.contains(u'\n') && !isLoopLine(doc.lines[from.line])) {
                QString& line = doc.lines[from.line];
                const qsizetype a = qsizetype(std::min<qint64>(from.character, line.size()));
                const qsizetype b = std::max(a, qsizetype(std::min<qint64>(to.character, line.size())));
                line.replace(a, b - a, inserted);
                split = isLoopLine(line);
                changedLines.append(from.line);
            } else {
                split = true;
            }
        }
        if (split) {
            doc.findAll();
        } else {
            for (const qsizetype line : changedLines)
                doc.findInLine(line);
        }
        publish(uri, out);
    } else if (method == QLatin1StringView("textDocument/didClose")) {
        // The closed script's diagnostics go away with it.
        if (m_documents.remove(uri))
            publish(uri, out);
    }
}

void LanguageServer::publish(const QString& uri, Reply& out) const
{
    const auto it = m_documents.constFind(uri);
    out.append(diagnosticsMessage(uri, it == m_documents.cend() ? QList<Problem>() : it->problems, MostDiagnostics));
}
