#include "base/CommandLine.h"
#include "app/StartUp.h"

#include <QApplication>

#include <cstdio>

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
    return StartUp::run(app);
}
