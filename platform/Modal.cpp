#include "platform/Modal.h"

#include "platform/NumberDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <cstdlib>

namespace Modal {
namespace {

class DesktopSeam final : public Seam {
public:
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        QMessageBox box(parentWindow());
        box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
        box.setText(prompt);
        const int icon = style & 0x70;
        box.setIcon(icon == vbCritical     ? QMessageBox::Critical
                    : icon == vbQuestion   ? QMessageBox::Question
                    : icon == vbExclamation ? QMessageBox::Warning
                                           : QMessageBox::NoIcon);
        if ((style & 0x0F) == vbYesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return vbOK;
    }

    QString fileDialog(const FileRequest& r) override
    {
        // Without a default directory the dialog starts in the user's home.
        const QString dir = r.initDir.isEmpty() ? QDir::homePath() : r.initDir;
        QFileDialog dialog(parentWindow(), r.title, dir, qtFilter(r.filter));
        dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!r.defaultExt.isEmpty())
            dialog.setDefaultSuffix(r.defaultExt);
        if (!r.fileName.isEmpty())
            dialog.selectFile(r.fileName);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.confirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }

    QString browseForFolder(const QString& title) override
    {
        return QFileDialog::getExistingDirectory(parentWindow(), title, QString(),
                                                 QFileDialog::ShowDirsOnly);
    }

    bool shellOpen(const QString& target) override
    {
        const QUrl url = QUrl::fromUserInput(target);
        return url.isValid() && QDesktopServices::openUrl(url);
    }

    std::optional<int> askNumber(const NumberRequest& request) override
    {
        NumberDialog dialog(request, parentWindow());
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.value();
    }

    void endProgram() override
    {
        std::_Exit(0);
    }
};

DesktopSeam& desktopSeam()
{
    static DesktopSeam s;
    return s;
}

}  // namespace

Seam& seam()
{
    return Installable<Seam>::inUse(desktopSeam());
}

QWidget* parentWindow()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    return QApplication::activeWindow();
}

int MsgBox(const QString& prompt, int style, const QString& title)
{
    return seam().messageBox(prompt, style, title);
}

QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString pattern = parts.at(i + 1).trimmed();
        if (description.contains(u'('))
            out << description;
        else
            out << description + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

}  // namespace Modal
