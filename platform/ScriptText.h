#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The script text uses CR LF line ends, and a loaded file may also hold a lone
// CR or a lone LF inside a line. The text document shown in the editor has one
// paragraph per CR LF line; a lone LF is kept as a line separator (U+2028) and
// a lone CR as a private-use character inside the paragraph, so that both come
// back exactly as they were.
namespace ScriptText {

inline constexpr char16_t LoneLf = 0x2028;
inline constexpr char16_t LoneCr = 0xE00D;
inline constexpr char16_t ParagraphBreak = 0x2029;

// Code units the document cannot hold as themselves: the two stand-ins, the
// paragraph separator and the two frame marks U+FDD0 and U+FDD1. Typed or
// pasted, they become the replacement character (which no script file can
// hold either, so saving warns about it) instead of silently breaking a line.
constexpr bool isReserved(char16_t c)
{
    return c == LoneLf || c == LoneCr || c == ParagraphBreak || c == 0xFDD0 || c == 0xFDD1;
}

// Script text -> text for QTextCursor::insertText / setPlainText ('\n' per CR LF).
QString toDocument(QStringView script);
// Raw document text (U+2029 between paragraphs) -> script text.
QString fromDocument(QStringView raw);

// Raw document text -> bytes of the script text in one pass, without building
// the script text first: byteFor gives a character's byte or -1 for none
// (written as '?', and *lossy set). suffix is appended to the bytes.
using ByteFor = int (*)(char16_t);
QByteArray encodeFromDocument(QStringView raw, ByteFor byteFor, QByteArrayView suffix, bool* lossy);

}  // namespace ScriptText
