#pragma once
#include <QStringList>

// The list of the twenty most recently used files, entry 1 the newest,
// kept under "RecentFiles"/"Recent1".."Recent20".
namespace RecentList {

inline constexpr int Size = 20;

// Reads the twenty entries; an absent key reads as "".
QStringList read();
// Writes all twenty keys, Recent1 first.
void write(const QStringList& entries);
// Moves every entry down by one (the last is lost) and puts path first.
// The same path may stand in several entries.
QStringList pushed(QStringList entries, const QString& path);

}  // namespace RecentList
