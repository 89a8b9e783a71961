// Renders every window of the program to PNG files, headless.
#include "TestSupport.h"

#include "app/MainWindow.h"
#include "app/RecentList.h"
#include "editor/Find.h"
#include "editor/GoToLine.h"
#include "platform/NumberDialog.h"
#include "dialogs/Logo.h"
#include "dialogs/NewScript.h"
#include "dialogs/OpcodeChecker.h"
#include "dialogs/RecentFiles.h"
#include "platform/Desktop.h"
#include "editor/ScriptTextBox.h"
#include "platform/TreeView.h"
#include "settings/About.h"
#include "settings/Options.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

namespace {
QString outDir;

void save(QWidget* w, const char* name)
{
    w->show();
    QApplication::processEvents();
    w->grab().save(outDir + u'/' + QLatin1StringView(name) + QStringLiteral(".png"));
    w->hide();
}
}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvaneo"));
    Desktop::applyLook();
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(outDir);
    TempSettings settings;
    FakeModal modal;
    RecentList::write({QStringLiteral("/home/modder/scripts/protoss rush.mvn5"),
                       QStringLiteral("/home/modder/scripts/zerg expand.mvn5")});

    MainWindow main;
    main.show();
    main.Text1->setText(QStringLiteral(
        "Script_Identifier PZRG\r\nScript_Name Protoss rush\r\nCustom_Script\r\n"
        "Nexus = 1\r\nGateway = 2\r\nZealot = 6\r\nWait 300\r\nAttack"));
    for (const char* key : {"General", "Protoss"})
        if (QTreeWidgetItem* item = main.TreeView1->Nodes.Item(QString::fromLatin1(key)))
            item->setExpanded(true);
    QApplication::processEvents();
    main.grab().save(outDir + QStringLiteral("/main-window.png"));

    Logo logo(&main);
    logo.Form_Load();
    save(&logo, "logo");
    NewScript newScript(&main);
    save(&newScript, "new-script");
    RecentFiles recent(&main);
    save(&recent, "recent-files");
    Options options(&main);
    save(&options, "options");
    About about(&main);
    save(&about, "about");
    OpcodeChecker checker;
    save(&checker, "opcode-checker");
    Find find(main.Text1, &main);
    find.FindWhat->setText(QStringLiteral("Zealot"));
    find.ReplaceWith->setText(QStringLiteral("Dragoon"));
    find.replaceAll();
    save(&find, "find");
    NumberDialog goToLine(GoToLine::request(4, 8), &main);
    save(&goToLine, "go-to-line");
    return 0;
}
