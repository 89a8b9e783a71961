// Helpers shared by the benchmark executables: interleaved timing with
// medians, the machine-readable result line, a modal seam that answers by
// itself, script text of a given size and the resident memory of the process.
#pragma once
#include "platform/Modal.h"
#include "editor/Qsci.h"
#include "editor/ScriptLexer.h"
#include "editor/ScriptTextBox.h"
#include "language/ScriptFile.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QByteArray>
#include <QFontDatabase>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <unistd.h>

namespace Bench {

constexpr qsizetype MB = 1000 * 1000;

// "--quick" asks for one short pass (one run, the smallest size); every
// other argument is ignored so that a runner may pass flags to all of us.
inline bool quickMode(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--quick") == 0)
            return true;
    return false;
}

inline int runsFor(bool quick, int full = 5)
{
    return quick ? 1 : full;
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Handles everything the last step posted (layout, scroll bars, painting),
// so that a timed run ends only when the window has caught up.
inline void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

struct Step {
    std::function<void()> prepare;  // untimed
    std::function<void()> run;      // timed
};

inline double timeOnce(const Step& s)
{
    if (s.prepare)
        s.prepare();
    settle();
    QElapsedTimer clock;
    clock.start();
    s.run();
    settle();
    return double(clock.nsecsElapsed()) / 1e6;
}

struct Result {
    double morvaneo = 0;
    double floor = 0;
};

// Morvaneo, floor, Morvaneo, floor...: both see the same machine state, and
// the medians drop the runs disturbed by the rest of the machine.
inline Result interleaved(int runs, const Step& morvaneo, const Step& floor)
{
    std::vector<double> m, f;
    for (int i = 0; i < runs; ++i) {
        m.push_back(timeOnce(morvaneo));
        f.push_back(timeOnce(floor));
    }
    return {median(m), median(f)};
}

// The same with any number of steps, in turn; one median per step.
inline std::vector<double> interleaved(int runs, const std::vector<Step>& steps)
{
    std::vector<std::vector<double>> times(steps.size());
    for (int i = 0; i < runs; ++i)
        for (size_t s = 0; s < steps.size(); ++s)
            times[s].push_back(timeOnce(steps[s]));
    std::vector<double> medians;
    for (const auto& t : times)
        medians.push_back(median(t));
    return medians;
}

// physical: a second, lower floor shown beside the first (reading and
// decoding the bytes for an open), or < 0 for none.
inline void report(const QString& name, const Result& r, double aim, double physical = -1)
{
    std::printf("bench: %s morvaneo_ms=%.2f floor_ms=%.2f ratio=%.2f aim=%.1f", qPrintable(name),
                r.morvaneo, r.floor, r.floor > 0 ? r.morvaneo / r.floor : 0.0, aim);
    if (physical >= 0)
        std::printf(" physical_ms=%.2f", physical);
    std::printf("\n");
    std::fflush(stdout);
}

// A bare QsciScintilla set up for such a file the cheapest way that draws
// what the script box draws: UTF-8, CR LF line ends, no wrapping, both scroll
// bars (the horizontal one fitted to the lines shown), the desktop's
// fixed-width font at the application's size, the layout and width caches,
// the given size, shown.
// QScintilla's own screen-reader object counts the characters from the
// start of the document to the caret whenever the view changes: 160 ms for
// each scroll of a 50 MB script, work the script box does through its line
// index. A bare box gets a plain one.
inline QAccessibleInterface* plainAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1StringView("QsciScintilla") && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::EditableText);
    return nullptr;
}

inline void configureBare(QsciScintilla& bare)
{
    static const bool plain = [] {
        QAccessible::installFactory(plainAccessible);
        return true;
    }();
    Q_UNUSED(plain);
    bare.setUtf8(true);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(QApplication::font().pointSizeF());
    bare.SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, QsciScintillaBase::STYLE_DEFAULT,
                       fixed.family().toUtf8().constData());
    bare.SendScintilla(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL, QsciScintillaBase::STYLE_DEFAULT,
                       long(fixed.pointSizeF() * double(int(QsciScintillaBase::SC_FONT_SIZE_MULTIPLIER))));
    bare.SendScintilla(QsciScintillaBase::SCI_STYLECLEARALL);
    bare.SendScintilla(QsciScintillaBase::SCI_SETLAYOUTCACHE, QsciScintillaBase::SC_CACHE_PAGE);
    bare.SendScintilla(QsciScintillaBase::SCI_SETPOSITIONCACHE, 16384);
    bare.setEolMode(QsciScintilla::EolWindows);
    bare.setWrapMode(QsciScintilla::WrapNone);
    // The horizontal scroll bar as wide as the widest line shown, as in
    // the script box.
    bare.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    bare.SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    bare.setMarginWidth(1, 0);
    bare.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    bare.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // No change notifications: the bare box has nobody to tell, and
    // QScintilla's own handler of them counts the characters from the start
    // of the document at every change.
    bare.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0UL);
}

inline void setUpBare(QsciScintilla& bare, QSize size)
{
    configureBare(bare);
    bare.resize(size);
    bare.show();
}

// Gives a bare box the UTF-16 line index that the script box builds once it
// converts a position (a selection made, a command run): editing floors
// keep it up to date as the script box does.
inline void bareLineIndex(QsciScintilla& bare)
{
    bare.SendScintilla(QsciScintillaBase::SCI_ALLOCATELINECHARACTERINDEX,
                       QsciScintillaBase::SC_LINECHARACTERINDEX_UTF16);
}

// Gives a bare box the script box's line-number margin, as wide.
inline void bareMargin(QsciScintilla& bare, const QsciScintilla& box)
{
    bare.setMarginType(0, QsciScintilla::NumberMargin);
    bare.setMarginWidth(0, box.marginWidth(0));
}

// Puts the caret of a bare box at a document position and brings it into
// view, before a timed step, as the program's selection is made (and
// shown) before its command.
inline void bareCaret(QsciScintilla& bare, long position)
{
    bare.SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, position);
    bare.SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
}

// Loads a script file into a bare box the cheapest way: its bytes turned
// into UTF-8 by the reading rule and appended to an empty document, in room
// made once as the script box makes it (the text's bound, room to type).
inline void bareLoad(QsciScintilla& bare, const QByteArray& bytes)
{
    bare.SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    bare.SendScintilla(QsciScintillaBase::SCI_ALLOCATE,
                       ulong(ScriptFile::readingRuleUtf8Bound(bytes) + 1 + ScriptTextBox::RoomToType));
    ScriptFile::readingRuleUtf8(bytes, [&bare](QByteArrayView utf8) {
        bare.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, ulong(utf8.size()), utf8.data());
    });
    bare.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
}

// Shows only the first `shown` bytes of a bare box's text, the rest in a
// style that is not drawn (and so not measured), as the script box shows a
// long line.
inline void bareShowOnly(QsciScintilla& bare, long shown)
{
    constexpr int Hidden = ScriptLexer::HiddenStyle;
    bare.SendScintilla(QsciScintillaBase::SCI_STYLESETVISIBLE, Hidden, 0L);
    const long length = bare.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    if (length <= shown)
        return;
    bare.SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, shown);
    bare.SendScintilla(QsciScintillaBase::SCI_SETSTYLING, ulong(length - shown), long(Hidden));
}

// Inserts UTF-8 text at the caret of a bare box, the cheapest way.
inline void bareInsert(QsciScintilla& bare, const QByteArray& utf8)
{
    bare.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, ulong(utf8.size()), utf8.constData());
}

// "open_10mb" for 10,000,000 bytes.
inline QString sizedName(const char* operation, qsizetype bytes)
{
    return QString::fromLatin1(operation) + u'_' + QString::number(bytes / MB) + QStringLiteral("mb");
}

// A script file of about `bytes` bytes in the code page, lines of the kind
// real scripts hold (each starts with a word), with CR LF line ends.
struct Script {
    QByteArray crlf;
};

inline Script makeScript(qsizetype bytes)
{
    static const char* const lines[] = {
        "Attack",
        "Wait 5",
        "Build 2 Zealot",
        "Expand 1 Nexus",
        "Train 12 Dragoon",
        "Rebuild_Gateway",
        "Attacking_Zealot",
        "Defense 3 Photon Cannon",
        "Research Singularity Charge",
        "Message \"Voil\xe0 \x97 \xe0 l\222attaque\"",  // \222 is the byte 0x92
        "Guard Nexus",
        "Wait 300",
    };
    constexpr size_t count = sizeof(lines) / sizeof(lines[0]);
    Script s;
    s.crlf.reserve(bytes + 64);
    s.crlf.append("Script_Identifier Bench\r\nScript_Name Benchmark\r\n");
    for (size_t i = 0; s.crlf.size() < bytes; ++i)
        s.crlf.append(lines[i % count]).append("\r\n");
    return s;
}

// Writes or reads a whole file; a benchmark that cannot ends at once.
inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::exit(1);
    return f.readAll();
}

// Keeps the settings the benchmarked procedures write (the recent-file
// list) and the recovery copies of their windows in a folder of the
// benchmark's own, never in the user's, nor in one an earlier benchmark
// left copies in: every open looks through the copies there.
inline void useOwnFolders(const QString& folder)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    qputenv("XDG_STATE_HOME", QFile::encodeName(folder + QStringLiteral("/state")));
}

// Resident memory of this process in kilobytes.
inline qint64 residentKb()
{
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f)
        return 0;
    long long size = 0, resident = 0;
    const int got = std::fscanf(f, "%lld %lld", &size, &resident);
    std::fclose(f);
    if (got != 2)
        return 0;
    return qint64(resident) * (sysconf(_SC_PAGESIZE) / 1024);
}

// Answers every modal request at once: the file dialog with `path`, a
// question with Yes, any other box with OK, Go to line with Cancel.
class AnsweringSeam final : public Installed<Modal::Seam> {
public:

    QString path;
    QStringList prompts;

    int messageBox(const QString& prompt, int style, const QString&) override
    {
        prompts << prompt;
        return (style & 0x0F) == Modal::vbYesNo ? Modal::vbYes : Modal::vbOK;
    }
    QString fileDialog(const Modal::FileRequest&) override { return path; }
    QString browseForFolder(const QString&) override { return QString(); }
    bool shellOpen(const QString&) override { return false; }
    std::optional<int> askNumber(const Modal::NumberRequest&) override { return std::nullopt; }
    void endProgram() override {}
};

}  // namespace Bench
