// morvaneo-until-painted: the editor started exactly as the program starts
// it, ending as soon as its main window has painted. The start-up benchmark
// times it; the fault tests hand it odd paths on its command line.
#include "app/StartUp.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace {

class FirstPaintExit : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_done && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window()->inherits("MainWindow")) {
            m_done = true;
            QTimer::singleShot(0, [] { std::_Exit(0); });
        }
        return false;
    }

private:
    bool m_done = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FirstPaintExit exitAfterPaint;
    app.installEventFilter(&exitAfterPaint);
    return StartUp::run(app);
}
