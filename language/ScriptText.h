#pragma once
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// Line breaks of script text. A line ends at CR LF or at a lone CR, and,
// where the caller says so, at a lone LF. Whatever follows the last break is
// the last line, which is empty when the text is empty or ends with a break,
// so every text has at least one line.
namespace ScriptText {

// The line break of a script: CR LF.
inline constexpr QLatin1StringView CrLf{"\r\n"};

enum class LoneLf { EndsLine, InLine };

struct Line {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype breakLength = 0;  // 2 for CR LF, 1 for a lone CR or LF, 0 for the last line
};

// Calls visit(Line) for each line of text[0, n), in order. Char is any
// character type that compares with '\r' and '\n' (bytes or UTF-16).
template <class Char, class Visit>
void forEachLine(const Char* text, qsizetype n, LoneLf loneLf, Visit&& visit)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const Char c = text[i];
        if (c == Char('\r')) {
            const qsizetype breakLength = i + 1 < n && text[i + 1] == Char('\n') ? 2 : 1;
            visit(Line{start, i - start, breakLength});
            i += breakLength - 1;
            start = i + 1;
        } else if (c == Char('\n') && loneLf == LoneLf::EndsLine) {
            visit(Line{start, i - start, 1});
            start = i + 1;
        }
    }
    visit(Line{start, n - start, 0});
}

template <class Visit>
void forEachLine(QStringView text, LoneLf loneLf, Visit&& visit)
{
    forEachLine(text.utf16(), text.size(), loneLf, std::forward<Visit>(visit));
}

// Text that comes from elsewhere (the clipboard, a drop) with every CR LF,
// lone CR and lone LF turned into CR LF; nothing else changes.
QString withCrLf(QStringView text);

}  // namespace ScriptText
