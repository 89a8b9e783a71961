#include "app/RecentList.h"

#include "settings/SettingsStore.h"

namespace RecentList {
namespace {
const QString App = QStringLiteral("Morvaneo");
const QString Section = QStringLiteral("RecentFiles");
QStringList keys()
{
    QStringList k;
    for (int i = 1; i <= Size; ++i)
        k << QStringLiteral("Recent") + QString::number(i);
    return k;
}
}  // namespace

QStringList read()
{
    return GetSettings(App, Section, keys());
}

void write(const QStringList& entries)
{
    // One write of the store for all twenty keys.
    SaveSettings(App, Section, keys(), entries);
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
