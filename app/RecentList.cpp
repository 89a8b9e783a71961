#include "app/RecentList.h"

#include "settings/SettingsStore.h"

namespace RecentList {
namespace {
const QString App = QStringLiteral("Morvaneo");
const QString Section = QStringLiteral("RecentFiles");
QString key(int i)
{
    return QStringLiteral("Recent") + QString::number(i);
}
}  // namespace

QStringList read()
{
    QStringList entries;
    for (int i = 1; i <= Size; ++i)
        entries << GetSetting(App, Section, key(i), QString());
    return entries;
}

void write(const QStringList& entries)
{
    for (int i = 1; i <= Size; ++i)
        SaveSetting(App, Section, key(i), entries.value(i - 1));
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
