#include "editor/GoToLine.h"

#include "editor/ScriptTextBox.h"
#include "platform/Modal.h"

#include <QShortcut>

namespace GoToLine {
namespace {
using Sci = QsciScintillaBase;
}  // namespace

void attachTo(ScriptTextBox* box)
{
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), box);
    key->setContext(Qt::WidgetShortcut);
    QObject::connect(key, &QShortcut::activated, box, [box] { ask(box); });
}

Modal::NumberRequest request(int current, int last)
{
    return {QStringLiteral("Go to line"), QStringLiteral("&Line number (1 - %1):").arg(last),
            QStringLiteral("Line number"), current, 1, last};
}

void ask(ScriptTextBox* box)
{
    const long caret = box->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const int current = int(box->SendScintilla(Sci::SCI_LINEFROMPOSITION, ulong(caret))) + 1;
    const int last = int(box->SendScintilla(Sci::SCI_GETLINECOUNT));
    const std::optional<int> line = Modal::seam().askNumber(request(current, last));
    if (!line || *line < 1 || *line > last)
        return;
    bringIntoView(box, *line - 1);
    // The caret goes to the line's start, with no selection, and the view
    // follows it (also back to the left edge).
    box->SendScintilla(Sci::SCI_GOTOLINE, ulong(*line - 1));
    box->SetFocus();
}

void bringIntoView(ScriptTextBox* box, int line)
{
    const int first = int(box->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
    const int shown = int(box->SendScintilla(Sci::SCI_LINESONSCREEN));
    if (line < first || line >= first + shown)
        box->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, ulong(qMax(0, line - shown / 2)));
}

}  // namespace GoToLine
