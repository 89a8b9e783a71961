#include "app/RecentList.h"

#include "app/Texts.h"
#include "settings/SettingsStore.h"

namespace RecentList {
namespace {
QStringList keys()
{
    QStringList k;
    for (int i = 1; i <= Size; ++i)
        k << Texts::Recent + QString::number(i);
    return k;
}
}  // namespace

QStringList read()
{
    return GetSettings(Texts::App, Texts::RecentFiles, keys());
}

void write(const QStringList& entries)
{
    // One write of the store for all twenty keys, which an open or a save
    // does not wait for.
    SaveSettingsLater(Texts::App, Texts::RecentFiles, keys(), entries);
}

QStringList pushed(QStringList entries, const QString& path)
{
    while (entries.size() < Size)
        entries << QString();
    entries.resize(Size);
    entries.removeLast();
    entries.prepend(path);
    return entries;
}

}  // namespace RecentList
