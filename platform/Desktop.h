#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "base/Installable.h"

class QWidget;

// Window geometry in twips (15 per pixel, fixed), the screen, the task bar
// and the application services the windows rely on.
namespace Desktop {

inline constexpr int TwipsPerPixel = 15;

constexpr int px(int twips) { return twips / TwipsPerPixel; }
// Places a control at Left, Top, Width, Height given in twips.
void setTwipsGeometry(QWidget* w, int left, int top, int width, int height);
// Names a new control and places it in twips, so that a control is made,
// named and placed in one statement; returns it.
template <class Widget>
Widget* placed(Widget* w, const char* name, int left, int top, int width, int height)
{
    w->setObjectName(QString::fromLatin1(name));
    setTwipsGeometry(w, left, top, width, height);
    return w;
}
// The keyboard order of the controls, first to last.
void setTabOrder(const QList<QWidget*>& order);

// Height of the screen holding the widget, in twips.
double screenHeightTwips(const QWidget* w);
// Top edge, in pixels, of a panel along the bottom of the widget's screen
// (found from the screen's full and available geometry), or none.
std::optional<int> taskBarTop(const QWidget* w);
std::optional<int> taskBarTop(int screenTop, int screenBottom, int availableTop, int availableBottom);

// The whole text after the program's name: its arguments joined by blanks.
QString commandLineText(const QStringList& arguments);

// The program's directory and executable base name ("morvaneo").
QString programDirectory();
QString programBaseName();

void processEvents();
// Lets the window system show the window moves made so far without taking
// any user input: only the window system's own events are handled.
void showWindowMoves();

// The clock that paces animations: the time in milliseconds and a wait. The
// desktop's own clock is the monotonic clock and sleeps; another can be
// installed, for instance one whose time moves only by the waits asked for,
// so that nothing sleeps and the length of an animation can be read off it.
class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual qint64 now() = 0;
    virtual void sleep(int milliseconds) = 0;
};
// The clock in use; the desktop's own unless another was installed through
// Installable<Desktop::FrameClock>.
FrameClock& frameClock();

// The program's look: one style and a compact font, so that controls placed
// in twips fit their captions on every desktop.
void applyLook();

}  // namespace Desktop
