#pragma once
#include <QString>

// The names and texts that several parts of the program share, each kept
// here once: the program's name, the keys of the settings store, the window
// captions and the messages.
namespace Texts {

// The program's name: the settings store's application, the application and
// organisation names, and the title of its own questions and warnings.
inline const QString App = QStringLiteral("Morvaneo");

// Settings store sections.
inline const QString Config = QStringLiteral("Config");
inline const QString RecentFiles = QStringLiteral("RecentFiles");
// "Config" keys. "0" switches the start-up logo or the New-script window off.
inline const QString ProgramLogo = QStringLiteral("ProgramLogo");
inline const QString NewScript = QStringLiteral("NewScript");
// "1" when the default directory is to be used, and the directory itself.
inline const QString UseDefOpen = QStringLiteral("UseDefOpen");
inline const QString DefaultOpen = QStringLiteral("DefaultOpen");
inline const QString UseDefSave = QStringLiteral("UseDefSave");
inline const QString DefaultSave = QStringLiteral("DefaultSave");
// "RecentFiles" keys: this followed by 1 to 20.
inline const QString Recent = QStringLiteral("Recent");

// Main window captions: the prefix before a path, the one New shows, and
// the name of a script that has none.
inline const QString BetaCaption = QStringLiteral("Morvaneo II BETA - ");
inline const QString Caption = QStringLiteral("Morvaneo II - ");
inline const QString Untitled = QStringLiteral("untitled");
// The version of Kestrand II the scripts are written for.
inline const QString KestrandVersion = QStringLiteral("Kestrand II pre-release III version");

// Message box texts and titles.
inline const QString FileError = QStringLiteral("File could not be loaded/saved.");
inline const QString ErrorTitle = QStringLiteral("Error");
inline const QString ConfirmTitle = QStringLiteral("Confirm");

}  // namespace Texts
