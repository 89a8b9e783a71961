// The file association for any program directory and base name: the
// program path joins them with exactly one separator (none added when the
// directory already ends with one), the four registry entries carry it
// with ",0" and " %1", and the desktop entry's Exec line gives the launcher
// that very path back as one argument, whatever characters it holds.
//
// Input: one byte for the text form, one byte for the length in bytes of
// the directory, the directory, then the base name.

#include "FuzzSupport.h"

#include "settings/Association.h"

#include <QStringList>

#include <optional>

namespace {

void checkForm(const QString& dir, const QString& base, PathForm form)
{
    const bool windows = form == PathForm::Windows;
    const QChar sep = windows ? u'\\' : u'/';
    const QString ext = windows ? QStringLiteral(".exe") : QString();
    const QByteArray where = fuzz::shown(dir) + " | " + fuzz::shown(base) + (windows ? " windows" : " unix");

    const QString program = AssociationProgramPath(dir, base, form);
    FUZZ_CHECK(program.startsWith(dir) && program.endsWith(base + ext), where);
    // Exactly one separator between the directory and the base name: the
    // directory's own when it ends with one, else one added.
    const QString join = program.mid(dir.size(), program.size() - dir.size() - base.size() - ext.size());
    if (dir.endsWith(sep))
        FUZZ_CHECK(join.isEmpty(), where + " -> " + fuzz::shown(program));
    else
        FUZZ_CHECK(join == QString(sep), where + " -> " + fuzz::shown(program));
    FUZZ_CHECK(program.size() == dir.size() + base.size() + ext.size() + (dir.endsWith(sep) ? 0 : 1), where);

    if (!windows)
        return;
    const QList<AssociationEntry> entries = AssociationEntries(dir, base);
    FUZZ_CHECK(entries.size() == 4, where);
    FUZZ_CHECK(entries[0] == (AssociationEntry{QStringLiteral(".mvn5"), QStringLiteral("MVN5file")}), where);
    FUZZ_CHECK(entries[1] == (AssociationEntry{QStringLiteral("MVN5file"), QStringLiteral("Kestrand AI File")}), where);
    FUZZ_CHECK(entries[2].key == QLatin1String("MVN5file\\DefaultIcon"), where);
    FUZZ_CHECK(entries[2].value == program + QStringLiteral(",0"), where);
    FUZZ_CHECK(entries[3].key == QLatin1String("MVN5file\\Shell\\open\\command"), where);
    FUZZ_CHECK(entries[3].value == program + QStringLiteral(" %1"), where);
}

// Undoes the string escapes of a desktop entry value (\s \n \t \r \\).
std::optional<QString> unescapeValue(QStringView v)
{
    QString out;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != u'\\') {
            out += v[i];
            continue;
        }
        if (++i == v.size())
            return std::nullopt;
        switch (v[i].unicode()) {
        case u's': out += u' '; break;
        case u'n': out += u'\n'; break;
        case u't': out += u'\t'; break;
        case u'r': out += u'\r'; break;
        case u'\\': out += u'\\'; break;
        default: return std::nullopt;
        }
    }
    return out;
}

// Splits an Exec value the way a launcher does: a quoted first argument in
// which only ", `, $ and \ follow a backslash and a literal % is doubled,
// then the rest of the command line. Nothing when the quoting is broken.
std::optional<std::pair<QString, QString>> launcherArgument(QStringView exec)
{
    if (exec.isEmpty() || exec[0] != u'"')
        return std::nullopt;
    QString arg;
    for (qsizetype i = 1; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (c == u'"')
            return std::make_pair(arg, exec.mid(i + 1).toString());
        if (c == u'\\' || c == u'%') {
            if (i + 1 == exec.size())
                return std::nullopt;
            const QChar next = exec[++i];
            const bool fine = c == u'%' ? next == u'%'
                                        : (next == u'"' || next == u'`' || next == u'$' || next == u'\\');
            if (!fine)
                return std::nullopt;
            arg += next;
            continue;
        }
        // Unquoted characters the launcher would read as part of the
        // argument; nothing can end it early but the closing quote.
        arg += c;
    }
    return std::nullopt;
}

bool hasLoneSurrogate(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

void checkDesktopRecords(const QString& dir, const QString& base)
{
    const QByteArray where = fuzz::shown(dir) + " | " + fuzz::shown(base);
    const QString program = AssociationProgramPath(dir, base, PathForm::Unix);

    // A path is bytes on disk: it never holds NUL, and the program's path
    // comes from the system as valid UTF-8. Only such paths reach the file.
    if (program.contains(QChar(0)) || hasLoneSurrogate(program))
        return;
    const QString entry = QString::fromUtf8(AssociationFileType(dir, base).desktopEntry);
    const QStringList lines = entry.split(u'\n');
    static const qsizetype expectedLines =
        AssociationFileType(QStringLiteral("/usr/bin"), QStringLiteral("morvaneo")).desktopEntry.count('\n');
    FUZZ_CHECK(entry.count(u'\n') == expectedLines, where + " broke the desktop entry into more lines");
    qsizetype execLines = 0;
    for (const QString& line : lines) {
        if (!line.startsWith(QLatin1String("Exec=")))
            continue;
        ++execLines;
        const std::optional<QString> value = unescapeValue(QStringView(line).mid(5));
        FUZZ_CHECK(value.has_value(), where + " Exec " + fuzz::shown(line));
        const auto arg = launcherArgument(*value);
        FUZZ_CHECK(arg.has_value(), where + " Exec " + fuzz::shown(line));
        FUZZ_CHECK(arg->first == program, where + " launcher reads " + fuzz::shown(arg->first));
        FUZZ_CHECK(arg->second == QLatin1String(" %f"), where + " Exec " + fuzz::shown(line));
    }
    FUZZ_CHECK(execLines == 1, where);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input in(data, size);
    const int form = in.byte();
    const size_t dirBytes = in.byte();
    const QString dir = fuzz::textFrom(in.bytes(dirBytes), form);
    const QString base = fuzz::textFrom(in.rest(), form);

    checkForm(dir, base, PathForm::Windows);
    checkForm(dir, base, PathForm::Unix);
    checkDesktopRecords(dir, base);
    return 0;
}
