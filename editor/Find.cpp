#include "editor/Find.h"

#include "editor/GoToLine.h"
#include "platform/Desktop.h"
#include "language/ScriptText.h"
#include "editor/ScriptTextBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include <vector>

namespace {

using Sci = QsciScintillaBase;

// Longest selection that "Find what" takes over when the window opens.
constexpr qsizetype LongestPrefill = 1000;

Find* findWindowOf(ScriptTextBox* box)
{
    QWidget* owner = box->window();
    if (auto* window = owner->findChild<Find*>(QString(), Qt::FindDirectChildrenOnly))
        return window;
    return new Find(box, owner);
}

void addKey(QWidget* widget, QKeyCombination key, Qt::ShortcutContext context, std::function<void()> run)
{
    auto* shortcut = new QShortcut(QKeySequence(key), widget);
    shortcut->setContext(context);
    QObject::connect(shortcut, &QShortcut::activated, widget, std::move(run));
}

// A labelled text field; returns the label.
QLabel* addField(QWidget* parent, QLineEdit*& edit, const char* caption, const char* name,
                 const char* accessibleName)
{
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(QString::fromUtf8(accessibleName));
    label->setBuddy(edit);
    return label;
}

// The searched text as the status line quotes it: long texts are cut.
QString quoted(const QString& text)
{
    constexpr qsizetype Shown = 40;
    return u'"' + (text.size() > Shown ? text.left(Shown) + QStringLiteral("...") : text) + u'"';
}

}  // namespace

void Find::attachTo(ScriptTextBox* box)
{
    const auto search = [box](bool forward) {
        Find* window = findWindowOf(box);
        if (window->FindWhat->text().isEmpty()) {
            window->showFor(Field::FindWhat);
            return;
        }
        const bool found = forward ? window->findNext() : window->findPrevious();
        // Nothing found while the window is closed: it opens to say so.
        if (!found && !window->isVisible())
            window->present(window->FindWhat);
    };
    addKey(box, Qt::CTRL | Qt::Key_F, Qt::WidgetShortcut, [box] { findWindowOf(box)->showFor(Field::FindWhat); });
    addKey(box, Qt::CTRL | Qt::Key_H, Qt::WidgetShortcut, [box] { findWindowOf(box)->showFor(Field::ReplaceWith); });
    addKey(box, QKeyCombination(Qt::Key_F3), Qt::WidgetShortcut, [search] { search(true); });
    addKey(box, Qt::SHIFT | Qt::Key_F3, Qt::WidgetShortcut, [search] { search(false); });
}

Find::Find(ScriptTextBox* box, QWidget* parent) : QDialog(parent), m_box(box)
{
    setObjectName(QStringLiteral("Find"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    // A title and a close box; the window has nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    QLabel* findLabel = addField(this, FindWhat, "Fi&nd what:", "FindWhat", "Find what");
    QLabel* replaceLabel = addField(this, ReplaceWith, "Re&place with:", "ReplaceWith", "Replace with");
    MatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    MatchCase->setObjectName(QStringLiteral("MatchCase"));

    // The status line takes the room it is given and never widens the
    // window, whatever it says.
    Status = new QLabel(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setTextFormat(Qt::PlainText);
    Status->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Status->setMinimumHeight(Status->fontMetrics().height());
    Status->setAccessibleDescription(QStringLiteral("Result of the last search"));
    Status->hide();

    auto button = [this](QPushButton*& b, const char* name, const char* caption) {
        b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
    };
    button(FindNext, "FindNext", "&Find next");
    button(FindPrevious, "FindPrevious", "Find pre&vious");
    button(Replace, "Replace", "&Replace");
    button(ReplaceAll, "ReplaceAll", "Replace &all");
    button(Close, "Close", "Close");
    // Enter in either field finds the next match.
    FindNext->setDefault(true);

    layOut(findLabel, replaceLabel);
    Desktop::setTabOrder({FindWhat, ReplaceWith, MatchCase, FindNext, FindPrevious, Replace, ReplaceAll, Close});

    connect(FindNext, &QPushButton::clicked, this, &Find::findNext);
    connect(FindPrevious, &QPushButton::clicked, this, &Find::findPrevious);
    connect(Replace, &QPushButton::clicked, this, &Find::replace);
    connect(ReplaceAll, &QPushButton::clicked, this, &Find::replaceAll);
    connect(Close, &QPushButton::clicked, this, &Find::reject);
    connect(FindWhat, &QLineEdit::textChanged, this, [this] {
        say(QString());
        updateButtons();
    });
    connect(MatchCase, &QCheckBox::toggled, this, [this] { say(QString()); });
    // F3 and Shift+F3 search from the Find window as well.
    addKey(this, QKeyCombination(Qt::Key_F3), Qt::WindowShortcut, [this] { findNext(); });
    addKey(this, Qt::SHIFT | Qt::Key_F3, Qt::WindowShortcut, [this] { findPrevious(); });
    updateButtons();
}

// The fields with the status line under them, the buttons on the right.
void Find::layOut(QLabel* findLabel, QLabel* replaceLabel)
{
    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(FindWhat, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(ReplaceWith, 1, 1);
    fields->addWidget(MatchCase, 2, 1);
    fields->setColumnMinimumWidth(1, fontMetrics().averageCharWidth() * 32);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addStretch(1);
    left->addWidget(Status);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {FindNext, FindPrevious, Replace, ReplaceAll})
        buttons->addWidget(b);
    buttons->addSpacing(fontMetrics().height() / 2);
    buttons->addWidget(Close);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    // Wider for long texts, never taller.
    setFixedHeight(sizeHint().height());
}

// The status line is shown only while it has something to say, so that a
// screen reader never meets an empty line.
void Find::say(const QString& text)
{
    Status->setText(text);
    Status->setVisible(!text.isEmpty());
}

void Find::updateButtons()
{
    const bool any = !FindWhat->text().isEmpty();
    for (QPushButton* b : {FindNext, FindPrevious, Replace, ReplaceAll})
        b->setEnabled(any);
}

void Find::showFor(Field field)
{
    if (m_box) {
        const QString selected = m_box->SelText();
        if (!selected.isEmpty() && selected.size() <= LongestPrefill && !selected.contains(u'\r') &&
            !selected.contains(u'\n'))
            FindWhat->setText(selected);
    }
    present(field == Field::FindWhat ? FindWhat : ReplaceWith);
}

void Find::present(QLineEdit* field)
{
    if (!m_placed) {
        placeBesideOwner();
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

// The first time it opens, the window goes right of its owner, level with
// the top of the script, when the screen has room there, so that it hides
// none of the script; otherwise wherever the window manager puts it.
void Find::placeBesideOwner()
{
    QWidget* owner = parentWidget();
    if (!owner || !m_box)
        return;
    const QScreen* screen = owner->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect frame = owner->frameGeometry();
    const QSize size = sizeHint().expandedTo(minimumSizeHint());
    const QPoint at(frame.right() + 8, m_box->mapToGlobal(QPoint(0, 0)).y());
    if (at.x() + size.width() + (frame.width() - owner->width()) <= available.right() &&
        at.y() + size.height() <= available.bottom())
        move(at);
}

void Find::done(int result)
{
    QDialog::done(result);
    // Closing the window gives the script back the keyboard.
    if (m_box) {
        m_box->window()->activateWindow();
        m_box->SetFocus();
    }
}

void Find::prepareSearch() const
{
    m_box->SendScintilla(Sci::SCI_SETSEARCHFLAGS, MatchCase->isChecked() ? ulong(Sci::SCFIND_MATCHCASE) : 0UL);
}

bool Find::searchRange(qsizetype from, qsizetype to, Match* match) const
{
    const QByteArray what = FindWhat->text().toUtf8();
    m_box->SendScintilla(Sci::SCI_SETTARGETRANGE, ulong(from), long(to));
    const long found = m_box->SendScintilla(Sci::SCI_SEARCHINTARGET, ulong(what.size()), what.constData());
    if (found < 0)
        return false;
    match->start = found;
    match->end = m_box->SendScintilla(Sci::SCI_GETTARGETEND);
    return true;
}

bool Find::selectionIsMatch() const
{
    const qsizetype start = m_box->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const qsizetype end = m_box->SendScintilla(Sci::SCI_GETSELECTIONEND);
    Match match;
    return start != end && searchRange(start, end, &match) && match.start == start && match.end == end;
}

bool Find::search(bool forward)
{
    if (!m_box || FindWhat->text().isEmpty())
        return false;
    prepareSearch();
    const qsizetype length = m_box->SendScintilla(Sci::SCI_GETLENGTH);
    const qsizetype selStart = m_box->SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const qsizetype selEnd = m_box->SendScintilla(Sci::SCI_GETSELECTIONEND);
    // From the caret to the script's end (or start), then once around the
    // whole script; a range that runs backwards searches backwards.
    Match match;
    bool wrapped = false;
    bool found = forward ? searchRange(selEnd, length, &match) : searchRange(selStart, 0, &match);
    if (!found) {
        wrapped = true;
        found = forward ? searchRange(0, length, &match) : searchRange(length, 0, &match);
    }
    if (!found) {
        say(QStringLiteral("Cannot find %1.").arg(quoted(FindWhat->text())));
        return false;
    }
    const int line = int(m_box->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(match.start)));
    GoToLine::bringIntoView(m_box, line);
    m_box->SendScintilla(Sci::SCI_SETSEL, ulong(match.start), long(match.end));
    if (!wrapped)
        say(QString());
    else
        say(forward ? QStringLiteral("Went on from the start of the script.")
                                : QStringLiteral("Went on from the end of the script."));
    return true;
}

bool Find::findNext()
{
    return search(true);
}

bool Find::findPrevious()
{
    return search(false);
}

// A selection that is a match is replaced like typed text; then the next
// match is selected, so that pressing Replace again goes on through the
// script.
void Find::replace()
{
    if (!m_box || FindWhat->text().isEmpty())
        return;
    prepareSearch();
    if (selectionIsMatch())
        m_box->setSelText(ScriptText::withCrLf(ReplaceWith->text()));
    findNext();
}

// The matches are found first; then the text from the first to the end of
// the last is assigned anew in one assignment of the box, which is one
// change and one undo step however many matches there were, moves the text
// after each match once rather than once a match, and enters the way typed
// text does.
qsizetype Find::replaceAll()
{
    if (!m_box || FindWhat->text().isEmpty())
        return 0;
    prepareSearch();
    const qsizetype length = m_box->SendScintilla(Sci::SCI_GETLENGTH);
    std::vector<Match> matches;
    Match match;
    for (qsizetype from = 0; from < length && searchRange(from, length, &match); from = match.end)
        matches.push_back(match);
    const qsizetype count = qsizetype(matches.size());
    say(count == 1 ? QStringLiteral("Replaced 1 match.") : QStringLiteral("Replaced %1 matches.").arg(count));
    if (matches.empty())
        return 0;

    const QByteArray with = ScriptText::withCrLf(ReplaceWith->text()).toUtf8();
    const qsizetype spanStart = matches.front().start;
    const qsizetype spanEnd = matches.back().end;
    const auto* span = reinterpret_cast<const char*>(
        m_box->SendScintilla(Sci::SCI_GETRANGEPOINTER, ulong(spanStart), long(spanEnd - spanStart)));
    // The caret keeps its place in the text around it; inside a match it
    // goes to the end of the replacement.
    const qsizetype caret = m_box->SendScintilla(Sci::SCI_GETCURRENTPOS);
    qsizetype newCaret = caret;
    QByteArray replaced;
    replaced.reserve(spanEnd - spanStart + count * with.size());
    qsizetype at = spanStart;
    for (const Match& m : matches) {
        if (caret >= at && caret <= m.start)
            newCaret = spanStart + replaced.size() + (caret - at);
        replaced.append(span + (at - spanStart), m.start - at);
        if (caret > m.start && caret < m.end)
            newCaret = spanStart + replaced.size() + with.size();
        replaced.append(with);
        at = m.end;
    }
    if (caret >= spanEnd)
        newCaret = caret + (replaced.size() - (spanEnd - spanStart));
    const QString text = ScriptDocument::decode(replaced.constData(), replaced.size());
    const qsizetype replacedSize = replaced.size();
    replaced = QByteArray();

    // While the span is out of the document the view would slide up to
    // what is left; it comes back to the lines the user was looking at.
    const long firstLine = m_box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long xOffset = m_box->SendScintilla(Sci::SCI_GETXOFFSET);
    m_box->SendScintilla(Sci::SCI_SETSELECTION, ulong(spanEnd), long(spanStart));
    m_box->setSelText(text);
    // Should the box have stored the text differently, the caret stays
    // after it.
    const qsizetype end = m_box->SendScintilla(Sci::SCI_GETCURRENTPOS);
    m_box->SendScintilla(Sci::SCI_SETEMPTYSELECTION, ulong(end - spanStart == replacedSize ? newCaret : end));
    m_box->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, ulong(firstLine));
    m_box->SendScintilla(Sci::SCI_SETXOFFSET, ulong(xOffset));
    return count;
}
