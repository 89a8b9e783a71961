#include "platform/CommonDialog.h"

#include "platform/Modal.h"

#include <QFileInfo>

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
    QString chosen = Modal::seam().fileDialog(r);
    // A name typed without an extension gets the default one.
    if (save && !chosen.isEmpty() && !ext.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
        chosen += u'.' + ext;
    FileName = chosen;
}
