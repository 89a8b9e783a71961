#pragma once
#include <QString>

// Names and texts that several parts of the program use, each kept once.
namespace Texts {

// The program's name: the settings store's application, the application's
// own name, and the title of its own questions and warnings.
inline const QString App = QStringLiteral("Morvaneo");

// Settings store sections and keys. "Config"/"ProgramLogo" and "NewScript"
// are "0" when the logo or the New-script window is switched off;
// "UseDefOpen"/"UseDefSave" are "1" when the default directory is used.
inline const QString Config = QStringLiteral("Config");
inline const QString ProgramLogo = QStringLiteral("ProgramLogo");
inline const QString NewScript = QStringLiteral("NewScript");
inline const QString UseDefOpen = QStringLiteral("UseDefOpen");
inline const QString DefaultOpen = QStringLiteral("DefaultOpen");
inline const QString UseDefSave = QStringLiteral("UseDefSave");
inline const QString DefaultSave = QStringLiteral("DefaultSave");
inline const QString RecentFiles = QStringLiteral("RecentFiles");
inline const QString Recent = QStringLiteral("Recent");  // followed by 1 to 20

// Main window captions (before a path, after New, for no file) and the
// version of Kestrand II the scripts are for.
inline const QString ProgramTitle = QStringLiteral("Morvaneo II BETA");
inline const QString BetaCaption = ProgramTitle + QStringLiteral(" - ");
inline const QString Caption = QStringLiteral("Morvaneo II - ");
inline const QString Untitled = QStringLiteral("untitled");
inline const QString KestrandVersion = QStringLiteral("Kestrand II pre-release III version");

// Message box texts and titles.
inline const QString FileError = QStringLiteral("File could not be loaded/saved.");
inline const QString ErrorTitle = QStringLiteral("Error");
inline const QString ConfirmTitle = QStringLiteral("Confirm");

}  // namespace Texts
