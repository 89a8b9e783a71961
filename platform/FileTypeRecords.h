#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "base/Installable.h"

// The freedesktop records that make a desktop know a file type and open it
// with a program: a shared-mime-info package, the program's icon in the
// user's hicolor theme, a desktop entry and the default-application line in
// mimeapps.list. Everything is written per user, no root needed.
namespace FileTypeRecords {

struct Icon {
    int size = 0;        // square edge in pixels (names the hicolor folder)
    QByteArray png;
};

// One file type and the program that opens it, as the records carry them.
struct FileType {
    QString mimeType;          // opened by the desktop entry by default
    QString name;              // names the records: name.xml, name.png, name.desktop
    QByteArray mimePackage;    // the shared-mime-info package, as written
    QByteArray desktopEntry;   // the desktop entry, as written
    QList<Icon> icons;
};

// Where the per-user records go.
struct Places {
    QString dataHome;    // $XDG_DATA_HOME, by default ~/.local/share
    QString configHome;  // $XDG_CONFIG_HOME, by default ~/.config
};

// The user's places from the environment; unset, empty or relative XDG
// variables fall back to the defaults under $HOME.
Places userPlaces();

// A program's path as the first word of a desktop entry's Exec value,
// quoted and escaped so that a launcher hands it over unchanged whatever
// characters it holds (blanks, quotes, $, %, \, line breaks ...).
QString execProgram(const QString& path);

// `mimeapps` with `mimeType` made to open with `desktopId` under
// [Default Applications]; every other line is kept as it was.
QByteArray withDefaultApplication(const QByteArray& mimeapps, const QString& mimeType,
                                  const QString& desktopId);

// Writes the records in order (MIME package, icons, desktop entry, default
// application). Stops at the first one that cannot be written and returns
// false; what was written before stays. Writing the same type again gives
// the same files.
bool write(const FileType& type, const Places& places);

// Starts the desktop's tools. The desktop's own starter runs each tool as a
// process of its own and never waits for it; another can be put in its place.
class ToolStarter {
public:
    virtual ~ToolStarter() = default;
    // program is an absolute path; the arguments reach it as they are, with
    // no shell in between.
    virtual void start(const QString& program, const QStringList& arguments) = 0;
};
// The starter in use; the desktop's own unless another was installed
// through Installable<FileTypeRecords::ToolStarter>.
ToolStarter& toolStarter();

// Starts the rebuild of the desktop's caches for the places with
// update-mime-database, update-desktop-database and gtk-update-icon-cache,
// each as a process of its own that is not waited for; a missing tool is
// skipped.
void refreshCaches(const Places& places);

}  // namespace FileTypeRecords
