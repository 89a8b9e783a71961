// The floor of the start-up benchmark, started by bench_startup: a bare
// QApplication with a QMainWindow holding what the main window shows, each
// the cheapest way: a QsciScintilla, a 233-item QTreeWidget with the
// catalogue's pictures, a tool bar of seven picture buttons, a value box,
// seven buttons and two labels, the main window's size. It ends right after
// its first paint, as the timed editor does. Given a script file, the text box
// shows it, loaded the cheapest way. Not a benchmark of its own: it prints
// nothing.
#include "BenchSupport.h"
#include "language/Catalogue.h"
#include "tests/FirstPaintExit.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto* central = new QWidget(&window);
    auto* layout = new QGridLayout(central);
    auto* tree = new QTreeWidget(central);
    auto* value = new QLineEdit(QStringLiteral("1"), central);
    auto* text = new QsciScintilla(central);
    layout->addWidget(tree, 0, 0);
    layout->addWidget(value, 1, 0);
    layout->addWidget(text, 0, 1, 2, 1);
    for (int i = 0; i < 7; ++i) {
        auto* button = new QPushButton(QStringLiteral("Command %1").arg(i), central);
        button->setFlat(true);
        layout->addWidget(button, 2 + i / 2, i % 2);
    }
    layout->addWidget(new QLabel(QStringLiteral("Label"), central), 6, 0);
    layout->addWidget(new QLabel(QStringLiteral("Label"), central), 6, 1);
    window.setCentralWidget(central);
    auto* tools = window.addToolBar(QStringLiteral("Tools"));
    tools->setIconSize(QSize(16, 16));
    for (const char* icon : {"new", "open", "save", "undo", "cut", "copy", "paste"})
        tools->addAction(QIcon(QPixmap(QStringLiteral(":/resources/icons/%1.png").arg(QLatin1StringView(icon)), "PNG")),
                         QLatin1StringView(icon));
    // 13 groups of 16 entries each and 12 loose entries: 233 items, with
    // the catalogue's pictures.
    QList<QIcon> images;
    for (const QString& path : catalogueImagePaths())
        images << QIcon(QPixmap(path, "PNG"));
    tree->setHeaderHidden(true);
    for (int g = 0; g < 13; ++g) {
        auto* group = new QTreeWidgetItem(tree, {QStringLiteral("Group %1").arg(g)});
        group->setIcon(0, images.value(0));
        for (int i = 0; i < 16; ++i)
            (new QTreeWidgetItem(group, {QStringLiteral("Entry %1").arg(i)}))->setIcon(0, images.value(2));
    }
    for (int i = 0; i < 12; ++i)
        (new QTreeWidgetItem(tree, {QStringLiteral("Loose %1").arg(i)}))->setIcon(0, images.value(3));
    Bench::configureBare(*text);
    if (argc > 1)
        Bench::bareLoad(*text, Bench::readAll(QString::fromLocal8Bit(argv[1])));
    window.resize(465, 417);
    FirstPaintExit exitAfterPaint;
    window.installEventFilter(&exitAfterPaint);
    window.show();
    return app.exec();
}
