#pragma once
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

// Script text -> text for QTextCursor::insertText / setPlainText ('\n' per CR LF).
QString toDocument(QStringView script);
// Raw document text (U+2029 between paragraphs) -> script text.
QString fromDocument(QStringView raw);

}  // namespace ScriptText
