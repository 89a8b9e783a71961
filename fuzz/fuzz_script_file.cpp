// The file reader and writer: the reading rule is the plain line reader's,
// and as UTF-8 the same text within its bound; saving writes what was read
// plus CR LF, and reading that gives the text
// again; the text box holds every such text exactly.

#include "FuzzSupport.h"

#include "language/ScriptFile.h"
#include "editor/ScriptTextBox.h"

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

    // The reading rule is the plain line reader's.
    const QString text = ScriptFile::readingRule(file);
    const QString expected = readLines(decoded);
    FUZZ_CHECK(text == expected, "file " + fuzz::shown(decoded) + " gave " + fuzz::shown(text) + " expected " +
                                     fuzz::shown(expected));
    for (qsizetype i = 0; i < text.size(); ++i)
        FUZZ_CHECK(text[i] != u'\r' || (i + 1 < text.size() && text[i + 1] == u'\n'), "lone CR in " + fuzz::shown(text));
    // The same text as UTF-8, in the room its bound makes for it.
    QByteArray utf8;
    ScriptFile::readingRuleUtf8(file, [&utf8](QByteArrayView piece) { utf8 += piece; });
    FUZZ_CHECK(utf8 == text.toUtf8(), "UTF-8 of " + fuzz::shown(decoded));
    FUZZ_CHECK(utf8.size() <= ScriptFile::readingRuleUtf8Bound(file), "bound of " + fuzz::shown(decoded));

    // Saving what was opened writes the text and CR LF, every character
    // held; opening that again gives the same text.
    bool lossy = true;
    const QByteArray saved = ScriptFile::writingRule(text, &lossy);
    FUZZ_CHECK(!lossy, fuzz::shown(text));
    FUZZ_CHECK(ScriptFile::decode(saved) == text + QStringLiteral("\r\n"), fuzz::shown(text));
    FUZZ_CHECK(ScriptFile::readingRule(saved) == text, fuzz::shown(text));
    // A file whose lines all end in CR LF saves back byte for byte.
    if (file.endsWith("\r\n") && file.count('\r') == file.count("\r\n"))
        FUZZ_CHECK(saved == file, fuzz::shown(decoded));

    // The editor's text box holds exactly the text it was given.
    ScriptTextBox& box = textBox();
    box.loadText(text);
    const QString held = box.Text();
    FUZZ_CHECK(held == text, "put " + fuzz::shown(text) + " got " + fuzz::shown(held));
    FUZZ_CHECK(box.length() == text.size(), fuzz::shown(text));
    return 0;
}
