#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/Texts.h"
#include "dialogs/Logo.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaintExit : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

}  // namespace

int main(int argc, char** argv)
{
    // Help and version are answered before the application object exists,
    // so they need no display.
    switch (CommandLine::request(CommandLine::arguments(argc, argv))) {
    case CommandLine::Request::Help:
        std::fputs(CommandLine::editorHelp().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Request::Version:
        std::fputs(CommandLine::versionText(QStringLiteral("morvaneo")).toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Request::Run:
        break;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(Texts::App);
    Desktop::applyLook();
    QApplication::setOrganizationName(Texts::App);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/resources/icons/morvaneo.png")));
    MainWindow main;
    main.CommandLine = Desktop::commandLineText(QApplication::arguments());
    // For start-up measurements: end as soon as the main window has painted.
    if (qEnvironmentVariableIsSet("MORVANEO_EXIT_AFTER_PAINT"))
        main.installEventFilter(new FirstPaintExit(&main));
    Logo::Begin(&main);
    return app.exec();
}
