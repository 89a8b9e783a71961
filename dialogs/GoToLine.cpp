#include "dialogs/GoToLine.h"

#include "platform/Modal.h"
#include "platform/ScriptTextBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
using Sci = QsciScintillaBase;
}  // namespace

void GoToLine::attachTo(ScriptTextBox* box)
{
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), box);
    key->setContext(Qt::WidgetShortcut);
    connect(key, &QShortcut::activated, box, [box] { ask(box); });
}

void GoToLine::ask(ScriptTextBox* box)
{
    const long caret = box->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const int current = int(box->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(caret))) + 1;
    const int last = int(box->SendScintilla(Sci::SCI_GETLINECOUNT));
    const int line = Modal::seam().goToLine(current, last);
    if (line < 1 || line > last)
        return;
    bringIntoView(box, line - 1);
    // The caret goes to the line's start, with no selection, and the view
    // follows it (also back to the left edge).
    box->SendScintilla(Sci::SCI_GOTOLINE, ulong(line - 1));
    box->SetFocus();
}

void GoToLine::bringIntoView(ScriptTextBox* box, int line)
{
    const int first = int(box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
    const int shown = int(box->SendScintilla(Sci::SCI_LINESONSCREEN));
    if (line < first || line >= first + shown)
        box->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, ulong(qMax(0, line - shown / 2)));
}

GoToLine::GoToLine(int current, int last, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GoToLine"));
    setWindowTitle(QStringLiteral("Go to line"));
    setModal(true);
    // A title and a close box; the window has nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    Label1 = new QLabel(QStringLiteral("&Line number (1 - %1):").arg(last), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // The field holds only the script's line numbers: 1 to the last line.
    LineNumber = new QSpinBox(this);
    LineNumber->setObjectName(QStringLiteral("LineNumber"));
    LineNumber->setAccessibleName(QStringLiteral("Line number"));
    LineNumber->setRange(1, qMax(1, last));
    LineNumber->setValue(current);
    Label1->setBuddy(LineNumber);

    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OK);
    buttons->addWidget(Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(LineNumber);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    LineNumber->selectAll();
}

int GoToLine::line() const
{
    return LineNumber->value();
}
