// The file reader and writer: the bytes of any file come back unchanged
// through loading and saving, and the reading rule gives well-formed lines.

#include "FuzzSupport.h"

#include "app/ScriptFile.h"
#include "platform/ScriptTextBox.h"

namespace {

// The reading rule walked the slow way: read one line at a time (a line
// ends at CR, or at CR LF, which is taken whole), append it, and append
// CR LF while more of the file remains.
QString readLines(QStringView file)
{
    QString out;
    qsizetype pos = 0;
    const qsizetype n = file.size();
    while (pos < n) {
        QString line;
        while (pos < n && file[pos] != u'\r')
            line += file[pos++];
        if (pos < n) {
            ++pos;
            if (pos < n && file[pos] == u'\n')
                ++pos;
        }
        out += line;
        if (pos < n)
            out += QStringLiteral("\r\n");
    }
    return out;
}

bool endsWithTwoBreaks(QStringView file)
{
    // The last line read is empty exactly when the file ends with a break
    // that follows another break.
    auto stripBreak = [](QStringView s) -> QStringView {
        if (s.endsWith(u"\r\n"))
            return s.chopped(2);
        if (s.endsWith(u'\r'))
            return s.chopped(1);
        return QStringView();
    };
    const QStringView once = stripBreak(file);
    if (once.isNull() || once.isEmpty())
        return false;
    return once.endsWith(u'\r') || once.endsWith(u"\r\n");
}

ScriptTextBox& textBox()
{
    fuzz::ensureApplication();
    static ScriptTextBox* box = new ScriptTextBox;
    return *box;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString decoded = ScriptFile::decode(file);
    FUZZ_CHECK(decoded.size() == file.size(), "one character per byte");

    // Open and save keep every byte. An empty file is the one exception:
    // it opens as an empty script, which saves as one empty line.
    const ScriptFile::Loaded loaded = ScriptFile::splitFinalBreak(decoded);
    bool lossy = true;
    const QByteArray saved = ScriptFile::encode(ScriptFile::joinFinalBreak(loaded.text, loaded.finalLineBreak), &lossy);
    FUZZ_CHECK(!lossy, fuzz::shown(loaded.text));
    FUZZ_CHECK(saved == (file.isEmpty() ? QByteArray("\r\n") : file), fuzz::shown(decoded));
    FUZZ_CHECK(loaded.text.size() == file.size() - (loaded.finalLineBreak && !file.isEmpty() ? 2 : 0),
               fuzz::shown(decoded));

    // The same through the editor's text box, which holds lone CR and LF
    // in stand-in characters: the text read back is the text put in.
    ScriptTextBox& box = textBox();
    box.setText(loaded.text);
    const QString held = box.Text();
    FUZZ_CHECK(held == loaded.text, "put " + fuzz::shown(loaded.text) + " got " + fuzz::shown(held));
    FUZZ_CHECK(box.length() == loaded.text.size(), fuzz::shown(loaded.text));

    // The reading rule of the plain line reader.
    const QString lines = ScriptFile::readingRule(decoded);
    const QString expected = readLines(decoded);
    FUZZ_CHECK(lines == expected, "file " + fuzz::shown(decoded) + " gave " + fuzz::shown(lines) +
                                      " expected " + fuzz::shown(expected));
    for (qsizetype i = 0; i < lines.size(); ++i)
        FUZZ_CHECK(lines[i] != u'\r' || (i + 1 < lines.size() && lines[i + 1] == u'\n'),
                   "lone CR in " + fuzz::shown(lines));
    // No break follows the last line: the text ends in CR LF only when that
    // last line is empty.
    FUZZ_CHECK(!lines.endsWith(u"\r\n") || endsWithTwoBreaks(decoded), fuzz::shown(decoded));
    // Saved and read again, the lines come back unchanged.
    FUZZ_CHECK(ScriptFile::readingRule(ScriptFile::writingRule(lines)) == lines, fuzz::shown(lines));
    // Every break of the reading rule is CR LF; lone LF stays as it was.
    FUZZ_CHECK(lines.count(u'\n') == decoded.count(u'\n') + (lines.count(u'\r') - decoded.count(QStringLiteral("\r\n"))),
               fuzz::shown(decoded));
    return 0;
}
