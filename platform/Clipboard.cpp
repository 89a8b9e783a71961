#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace Clipboard {

void SetText(const QString& text)
{
    if (QClipboard* c = QGuiApplication::clipboard())
        c->setText(text);
}

QString GetText()
{
    QClipboard* c = QGuiApplication::clipboard();
    if (!c)
        return QString();
    const QMimeData* data = c->mimeData();
    if (!data || !data->hasText())
        return QString();
    return data->text();
}

}  // namespace Clipboard
