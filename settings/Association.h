#pragma once
#include "platform/FileTypeRecords.h"

#include <QList>
#include <QString>

// One key of the file-type registration and the default value it gets.
struct AssociationEntry {
    QString key;
    QString value;
    friend bool operator==(const AssociationEntry&, const AssociationEntry&) = default;
};

// How the program's path is spelled: "\" and ".exe" on Windows, "/" and no
// extension on Unix.
enum class PathForm { Windows, Unix };

// The program's directory, a separator unless the directory already ends
// with one, the base name and, in Windows form, ".exe".
QString AssociationProgramPath(const QString& directory, const QString& baseName, PathForm form);

// The registry keys and their default values in the order they are written:
// the extension, the file type's description, its icon and its open
// command, with the program's path in Windows form.
QList<AssociationEntry> AssociationEntries(const QString& directory, const QString& baseName);

// The freedesktop records (MIME package, desktop entry, icons) that open the
// file type with the program, its path in Unix form.
FileTypeRecords::FileType AssociationFileType(const QString& directory, const QString& baseName);

// Registers the file type for the program at directory/baseName on this
// desktop; false when a step could not be done (what was written stays).
bool RegisterFileType(const QString& directory, const QString& baseName);

// Registers the ".mvn5" file type with the desktop for this program and
// tells the user how it went.
void AssociateFiles();
