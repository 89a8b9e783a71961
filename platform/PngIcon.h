#pragma once
#include <QIcon>
#include <QStringList>

// Icons drawn from PNG files, read only when first drawn and as PNG by
// name: no image is decoded for a window that never shows it, and no image
// plugin is loaded to guess what the files hold.
namespace PngIcon {

// One file, or the same picture in several sizes, the size fitting best
// drawn.
QIcon fromFile(const QString& path);
QIcon fromFiles(const QStringList& paths);

}  // namespace PngIcon
