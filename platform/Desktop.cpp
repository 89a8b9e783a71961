#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <QWidget>

namespace Desktop {

void setTwipsGeometry(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
}

void setTabOrder(const QList<QWidget*>& order)
{
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

static const QScreen* screenOf(const QWidget* w)
{
    const QScreen* s = w ? w->screen() : nullptr;
    return s ? s : QGuiApplication::primaryScreen();
}

double screenHeightTwips(const QWidget* w)
{
    const QScreen* s = screenOf(w);
    return s ? double(s->geometry().height()) * TwipsPerPixel : 0.0;
}

std::optional<int> taskBarTop(int screenTop, int screenBottom, int availableTop, int availableBottom)
{
    Q_UNUSED(screenTop);
    Q_UNUSED(availableTop);
    if (availableBottom < screenBottom)
        return availableBottom + 1;
    return std::nullopt;
}

std::optional<int> taskBarTop(const QWidget* w)
{
    const QScreen* s = screenOf(w);
    if (!s)
        return std::nullopt;
    const QRect full = s->geometry();
    const QRect avail = s->availableGeometry();
    return taskBarTop(full.top(), full.bottom(), avail.top(), avail.bottom());
}

QString commandLineText(const QStringList& arguments)
{
    return arguments.mid(1).join(u' ');
}

QString programDirectory()
{
    return QCoreApplication::applicationDirPath();
}

QString programBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void showWindowMoves()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

namespace {

class MonotonicClock final : public FrameClock {
public:
    MonotonicClock() { m_timer.start(); }
    qint64 now() override { return m_timer.elapsed(); }
    void sleep(int milliseconds) override
    {
        if (milliseconds > 0)
            QThread::msleep(static_cast<unsigned long>(milliseconds));
    }

private:
    QElapsedTimer m_timer;
};

}  // namespace

FrameClock& frameClock()
{
    static MonotonicClock monotonic;
    return Installable<FrameClock>::inUse(monotonic);
}

}  // namespace Desktop

namespace Desktop {

void applyLook()
{
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    QFont f = QApplication::font();
    f.setPointSizeF(8.0);
    QApplication::setFont(f);
}

}  // namespace Desktop
