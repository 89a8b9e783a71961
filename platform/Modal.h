#pragma once
#include <QString>

#include <optional>

#include "base/Installable.h"

class QWidget;

// Every modal interaction (message boxes, file and folder dialogs, handing a
// document to the desktop, ending the program) goes through one seam. The
// real one shows the desktop's windows; another can be installed in its
// place, for instance one that answers without ever opening a window.
namespace Modal {

// Buttons and icons of a message box, combined by addition.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbYesNo = 4;
inline constexpr int vbCritical = 16;
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48;
// What a message box returns.
inline constexpr int vbOK = 1;
inline constexpr int vbYes = 6;
inline constexpr int vbNo = 7;

struct FileRequest {
    bool save = false;
    QString title;
    QString filter;      // "Description|pattern" pairs
    QString initDir;
    QString defaultExt;
    QString fileName;
    // A save dialog asks before it replaces an existing file.
    bool confirmOverwrite = false;
};

// A whole number asked for in a small window of its own: the title, the
// field's label (with its & mnemonic) and accessible name, the number
// offered first and the range the field holds.
struct NumberRequest {
    QString title;
    QString label;
    QString accessibleName;
    int value = 0;
    int minimum = 0;
    int maximum = 0;
};

class Seam {
public:
    virtual ~Seam() = default;
    virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;
    // The chosen path, or "" when the user cancelled.
    virtual QString fileDialog(const FileRequest& request) = 0;
    virtual QString browseForFolder(const QString& title) = 0;
    // Hands an address or document to the desktop; false when that failed.
    virtual bool shellOpen(const QString& target) = 0;
    // The number chosen, or nothing when the user cancelled.
    virtual std::optional<int> askNumber(const NumberRequest& request) = 0;
    // Ends the program at once; the real seam never returns.
    virtual void endProgram() = 0;
};

// The seam in use; the real desktop one unless another was installed
// through Installable<Modal::Seam>.
Seam& seam();

// Window that modal windows are placed over (the active window by default).
QWidget* parentWindow();

int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString());

// Turns "Desc|pattern|Desc|pattern" into Qt's "Desc (pattern);;..." form.
QString qtFilter(const QString& filter);

}  // namespace Modal
