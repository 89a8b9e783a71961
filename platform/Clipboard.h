#pragma once
#include <QString>

// The desktop's clipboard, plain text only.
namespace Clipboard {
void SetText(const QString& text);
// The clipboard's plain text, or "" when it holds no text.
QString GetText();
}  // namespace Clipboard
