#pragma once
#include <QString>

// The open/save file dialog as the windows use it: set the properties, call
// ShowOpen or ShowSave, then read FileName ("" when the user cancelled).
// The dialog itself is shown through the modal seam.
class CommonDialog {
public:
    QString FileName;
    QString DialogTitle;
    QString DefaultExt;
    QString Filter;
    QString InitDir;

    void ShowOpen() { show(false); }
    void ShowSave() { show(true); }

private:
    void show(bool save);
};
