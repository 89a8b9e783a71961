#include "platform/CommonDialog.h"

#include "platform/Modal.h"

void CommonDialog::show(bool save)
{
    Modal::FileRequest r;
    r.save = save;
    r.title = DialogTitle;
    r.filter = Filter;
    r.initDir = InitDir;
    // "*.mvn5" names the extension; the dialog wants it without "*.".
    QString ext = DefaultExt;
    if (ext.startsWith(QStringLiteral("*.")))
        ext = ext.mid(2);
    else if (ext.startsWith(u'.'))
        ext = ext.mid(1);
    r.defaultExt = ext;
    r.fileName = FileName;
    r.confirmOverwrite = save;
    // The dialog adds the default extension to a name typed without one.
    FileName = Modal::seam().fileDialog(r);
}
