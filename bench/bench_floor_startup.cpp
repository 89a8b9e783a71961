// The floor of the start-up benchmark, started by bench_startup: a bare
// QApplication with an empty QMainWindow holding a QsciScintilla and a
// 233-item QTreeWidget, the main window's size. It ends right after its
// first paint, as the timed editor does. Given a script file, the text box
// shows it, loaded the cheapest way. Not a benchmark of its own: it prints
// nothing.
#include "BenchSupport.h"
#include "tests/FirstPaintExit.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QTreeWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto* central = new QWidget(&window);
    auto* layout = new QHBoxLayout(central);
    auto* tree = new QTreeWidget(central);
    auto* text = new QsciScintilla(central);
    layout->addWidget(tree);
    layout->addWidget(text);
    window.setCentralWidget(central);
    // 13 groups of 16 entries each and 12 loose entries: 233 items.
    tree->setHeaderHidden(true);
    for (int g = 0; g < 13; ++g) {
        auto* group = new QTreeWidgetItem(tree, {QStringLiteral("Group %1").arg(g)});
        for (int i = 0; i < 16; ++i)
            new QTreeWidgetItem(group, {QStringLiteral("Entry %1").arg(i)});
    }
    for (int i = 0; i < 12; ++i)
        new QTreeWidgetItem(tree, {QStringLiteral("Loose %1").arg(i)});
    Bench::configureBare(*text);
    if (argc > 1)
        Bench::bareLoad(*text, Bench::readAll(QString::fromLocal8Bit(argv[1])));
    window.resize(465, 417);
    FirstPaintExit exitAfterPaint;
    window.installEventFilter(&exitAfterPaint);
    window.show();
    return app.exec();
}
