#pragma once
#include "language/ScriptLanguage.h"

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// The script language for any editor, over the Language Server Protocol
// (3.17): each message's content in, the contents of the answers and
// notifications out (framing them is the caller's). Every fact about the
// language comes from ScriptLanguage; this class translates positions and
// JSON.
//
// Offered: full and incremental document sync with diagnostics published
// after every open and change, completion, hover, definition and references
// of loops, document symbols (the loop lines) and quick fixes for the
// problems that have a "did you mean". Positions are UTF-16 code units;
// lines end at CR LF, a lone CR or a lone LF.
class LanguageServer {
public:
    // A document reports at most this many problems, the first ones, so that
    // a huge script full of problems cannot swamp the editor.
    static constexpr qsizetype MostDiagnostics = 10000;

    // Handles one message's content.
    QList<QByteArray> handle(const QByteArray& content);
    // The answer to a message whose header was broken (no id is known).
    QList<QByteArray> framingFault(const QString& what);
    // Whether "exit" came, and the status to end with: 0 after "shutdown",
    // 1 otherwise (also when the input ends without "exit").
    bool finished() const { return m_finished; }
    int exitStatus() const { return m_shutDown ? 0 : 1; }

    // A message's content with its header.
    static QByteArray frame(const QByteArray& content);

private:
    // A script as the client has it, and its problems kept up to date: a
    // change within one line that is neither the first nor a loop line
    // finds that line's problems alone.
    struct Document {
        QString text;
        QStringList lines;
        ScriptLanguage::Loops loops;
        bool opensWithIdentifier = false;
        QList<ScriptLanguage::Problem> problems;
        void findAll();
        void findInLine(qsizetype line);
    };
    using Reply = QList<QByteArray>;

    void request(const QString& method, const QJsonValue& id, const QJsonObject& params, Reply& out);
    void notification(const QString& method, const QJsonObject& params, Reply& out);
    QJsonValue answer(const QString& method, const QJsonObject& params, int* errorCode, QString* errorMessage);
    void publish(const QString& uri, Reply& out) const;
    const Document* document(const QJsonObject& params) const;

    QHash<QString, Document> m_documents;
    bool m_initialized = false;
    bool m_shutDown = false;
    bool m_finished = false;
};
