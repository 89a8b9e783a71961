#pragma once
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <memory>

// What the script box asks about the language of its lines: how to colour
// them, what is wrong with them and which names complete a word. The box
// itself knows nothing of the language; columns are the line's UTF-16 code
// units from 0.
class LineMarkup {
public:
    // The kinds of text the box colours, each in its own colour.
    enum Style : int { Plain, Opcode, HeaderOpcode, Name, Value, Comment, Loop, Unknown, StyleCount };
    struct Span {
        qsizetype start = 0;
        qsizetype length = 0;
        int style = Plain;
    };
    using Spans = QVarLengthArray<Span, 8>;
    // A problem of a line: the part to underline and select, and its message.
    // Colouring needs only the part; the message (which may look through
    // the catalogue for a near name) is built only when it is to be read.
    enum class Detail { Places, Messages };
    struct Problem {
        qsizetype start = 0;
        qsizetype length = 0;
        QString message;
    };

    virtual ~LineMarkup() = default;

    // What the reading of every line depends on beyond the line itself (the
    // script's first line, the names some lines define for the others),
    // taken from the script once and handed back to read(). The box keeps it
    // while a change touches no line that can alter it.
    class Context {
    public:
        virtual ~Context() = default;
    };
    struct IndexedLine {
        qsizetype index = 0;
        QString text;
    };
    // Only the first line and lines that hold one of these characters can
    // alter the context.
    virtual QLatin1StringView contextCharacters() const = 0;
    // The context of a script from its first line (index 0) and every other
    // line that holds a context character, in script order.
    virtual std::unique_ptr<Context> scriptContext(const QList<IndexedLine>& lines) const = 0;
    // Reads the line with this 0-based index once: its coloured parts in
    // order (the rest is plain) into spans, its problems in order into
    // problems, with their messages or (Places) with empty ones; spans or
    // problems may be nullptr when it is not wanted.
    virtual void read(QStringView line, qsizetype index, const Context& context, Spans* spans,
                      QList<Problem>* problems, Detail detail) const = 0;
    // The 0-based line that the reference at a column of a line goes to (a
    // jump to its loop line), column < 0 for anywhere on the line; -1 when
    // there is none.
    virtual qsizetype definitionLine(QStringView line, qsizetype column, const Context& context) const = 0;
    // Where the word that ends at the caret starts, and the names that can
    // complete it, in the order they are offered.
    virtual qsizetype completionStart(QStringView line, qsizetype caret) const = 0;
    virtual QStringList completions(QStringView prefix) const = 0;
};
