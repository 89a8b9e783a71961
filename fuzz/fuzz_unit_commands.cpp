// Make attacking and Make rebuild for any text, selection start and length:
// the derived text matches a slow walk over the selection, the script after
// the replacement and the caret stay within bounds, and the editor's text
// box, driven the way the main window drives it, ends with exactly that
// text and caret.
//
// Input: one byte of flags (bit 0: the text form; bit 1: start and length
// used as they are, which is mostly far outside the text; otherwise folded
// onto the text's length), a 16-bit start, a 16-bit length, the text.

#include "FuzzSupport.h"

#include "language/UnitCommands.h"
#include "editor/ScriptTextBox.h"

#include <QStringList>

namespace {

const QString CrLf = QStringLiteral("\r\n");

// The lines of a selection: CR LF is one break, a lone CR or a lone LF is a
// break of its own and the character after it begins the next line.
QStringList selectionLines(const QString& s)
{
    QStringList lines{QString()};
    bool afterCr = false;
    for (QChar c : s) {
        if (c == u'\n' && afterCr) {
            afterCr = false;  // the LF of a CR LF pair: the break is done
            continue;
        }
        afterCr = c == u'\r';
        if (c == u'\r' || c == u'\n')
            lines.append(QString());
        else
            lines.last().append(c);
    }
    return lines;
}

QString referenceAttacking(const QString& s)
{
    QString out = s + CrLf;
    const QStringList lines = selectionLines(s);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += CrLf;
        out += QStringLiteral("Attacking_") + lines[i];
    }
    return out;
}

QString referenceRebuild(const QString& s)
{
    return s + CrLf + QStringLiteral("Rebuild_") + s;
}

qsizetype clamp(qsizetype v, qsizetype lo, qsizetype hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

// A position between the CR and the LF of a pair stands for the end of the
// line, before the CR, and one inside a surrogate pair for the place before
// the pair: the text box cannot place its caret inside a break or a
// character.
qsizetype outsideBreak(const QString& text, qsizetype p)
{
    if (p > 0 && p < text.size() && text[p - 1] == u'\r' && text[p] == u'\n')
        return p - 1;
    if (p > 0 && p < text.size() && text[p - 1].isHighSurrogate() && text[p].isLowSurrogate())
        return p - 1;
    return p;
}

ScriptTextBox& textBox()
{
    fuzz::ensureApplication();
    static ScriptTextBox* box = new ScriptTextBox;
    return *box;
}

// A code unit no UTF-8 document holds as itself: a surrogate that is not
// half of a pair, or a noncharacter (U+FDD0..U+FDEF, U+xFFFE, U+xFFFF).
bool unholdable(const QString& text, qsizetype i)
{
    const QChar c = text[i];
    char32_t codePoint = c.unicode();
    if (c.isHighSurrogate()) {
        if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
            return true;
        codePoint = QChar::surrogateToUcs4(c, text[i + 1]);
    } else if (c.isLowSurrogate()) {
        if (i == 0 || !text[i - 1].isHighSurrogate())
            return true;
        codePoint = QChar::surrogateToUcs4(text[i - 1], c);
    }
    return (codePoint >= 0xFDD0 && codePoint <= 0xFDEF) || (codePoint & 0xFFFE) == 0xFFFE;
}

// The text box holds every code unit exactly, but those, which become the
// replacement character (no script file can hold either).
void checkHeld(const QString& given, const QString& held)
{
    const QByteArray what = "text box changed " + fuzz::shown(given) + " into " + fuzz::shown(held);
    FUZZ_CHECK(held.size() == given.size(), what);
    for (qsizetype i = 0; i < given.size(); ++i)
        FUZZ_CHECK(held[i] == (unholdable(given, i) ? QChar(QChar::ReplacementCharacter) : given[i]), what);
}

using Command = QString (*)(const QString&);

// Drives the text box: select, then either replace the selection with the
// command's whole text, or (as the main window does) put the caret after
// the selection and insert the rest of it. Both leave the same text.
void throughTextBox(const QString& given, qsizetype start, qsizetype length, Command command,
                    Command reference, bool insertAfter)
{
    ScriptTextBox& box = textBox();
    box.setText(given);
    const QString text = box.Text();
    checkHeld(given, text);
    box.setSelStart(start);
    box.setSelLength(length);

    const qsizetype n = text.size();
    const qsizetype s0 = outsideBreak(text, clamp(start, 0, n));
    const qsizetype e0 = outsideBreak(text, clamp(s0 + (length > 0 ? length : 0), 0, n));
    const QByteArray where = fuzz::shown(text) + " start " + QByteArray::number(start) + " length " +
                             QByteArray::number(length);
    FUZZ_CHECK(box.SelStart() == s0, where + " SelStart " + QByteArray::number(box.SelStart()));
    FUZZ_CHECK(box.SelLength() == e0 - s0, where + " SelLength " + QByteArray::number(box.SelLength()));
    const QString selected = box.SelText();
    FUZZ_CHECK(selected == text.mid(s0, e0 - s0), where + " SelText " + fuzz::shown(selected));

    const QString derived = reference(selected);
    if (insertAfter) {
        box.setSelStart(box.SelStart() + box.SelLength());
        box.setSelText(command(selected).mid(selected.size()));
    } else {
        box.setSelText(command(selected));
    }
    const QString want = text.left(s0) + derived + text.mid(e0);
    const QString got = box.Text();
    FUZZ_CHECK(got == want, where + " gave " + fuzz::shown(got) + " expected " + fuzz::shown(want));
    FUZZ_CHECK(box.SelStart() == s0 + derived.size(),
               where + " caret " + QByteArray::number(box.SelStart()) + " expected " +
                   QByteArray::number(s0 + derived.size()));
    FUZZ_CHECK(box.SelLength() == 0, where);
    FUZZ_CHECK(box.length() == want.size(), where);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int flags = in.byte();
    qsizetype start = in.int16();
    qsizetype length = in.int16();
    const QString text = fuzz::textFrom(in.rest(), flags);
    const qsizetype n = text.size();
    if ((flags & 2) == 0) {
        // Mostly inside the text, now and then one step outside it.
        start = start % (n + 3) - 1;
        length = length % (n + 3);
    }

    // The selection taken within bounds.
    const qsizetype s0 = clamp(start, 0, n);
    const qsizetype len0 = clamp(length, 0, n - s0);
    const QString selection = text.mid(s0, len0);

    const QString attacking = AttackingText(selection);
    const QString wantAttacking = referenceAttacking(selection);
    FUZZ_CHECK(attacking == wantAttacking, "selection " + fuzz::shown(selection) + " gave " +
                                               fuzz::shown(attacking) + " expected " + fuzz::shown(wantAttacking));
    const QString rebuild = RebuildText(selection);
    FUZZ_CHECK(rebuild == referenceRebuild(selection), fuzz::shown(selection));

    for (const QString* derived : {&attacking, &rebuild}) {
        FUZZ_CHECK(derived->startsWith(selection), fuzz::shown(selection));
        const QString after = text.left(s0) + *derived + text.mid(s0 + len0);
        const qsizetype caret = s0 + derived->size();
        FUZZ_CHECK(after.size() == n - len0 + derived->size(), fuzz::shown(text));
        FUZZ_CHECK(caret >= 0 && caret <= after.size(), fuzz::shown(text));
        FUZZ_CHECK(after.mid(caret) == text.mid(s0 + len0), fuzz::shown(text));
    }

    // Through the real text box, both commands, both ways of inserting.
    throughTextBox(text, start, length, &AttackingText, &referenceAttacking, false);
    throughTextBox(text, start, length, &AttackingText, &referenceAttacking, true);
    throughTextBox(text, start, length, &RebuildText, &referenceRebuild, false);
    throughTextBox(text, start, length, &RebuildText, &referenceRebuild, true);
    return 0;
}
