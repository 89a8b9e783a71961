#include "dialogs/Logo.h"

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "settings/SettingsStore.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int PictureWidth = 500;
constexpr int PictureHeight = 400;
constexpr int LogoMilliseconds = 2500;
}  // namespace

Logo::Logo(MainWindow* main, QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_main(main)
{
    setObjectName(QStringLiteral("Logo"));
    setWindowTitle(Texts::ProgramTitle);
    setFixedSize(PictureWidth, PictureHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Morvaneo II logo"));
    Image1->setGeometry(0, 0, PictureWidth, PictureHeight);

    // Centred on the screen, as a splash picture is.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(PictureWidth / 2, PictureHeight / 2));
    }

    // The timer runs from the moment the window exists.
    Timer11 = new QTimer(this);
    Timer11->setObjectName(QStringLiteral("Timer11"));
    Timer11->setInterval(LogoMilliseconds);
    connect(Timer11, &QTimer::timeout, this, &Logo::Timer11_Timer);
    Timer11->start();
}

void Logo::Begin(MainWindow* main)
{
    auto* logo = new Logo(main);
    logo->setAttribute(Qt::WA_DeleteOnClose);
    logo->Form_Load();
}

void Logo::Form_Load()
{
    if (GetSetting(Texts::App, Texts::Config, Texts::ProgramLogo, QString()) == QStringLiteral("0")) {
        handOver();
        return;
    }
    // The picture is decoded only when it is going to be seen, which keeps
    // it off the start-up path when the logo is switched off.
    Image1->setPixmap(QPixmap(QStringLiteral(":/resources/logo/logo.gif")));
    show();
}

void Logo::Timer11_Timer()
{
    Timer11->stop();
    handOver();
}

void Logo::closeEvent(QCloseEvent* e)
{
    // Closed by the user before the timer fired: without this the program
    // would go on running with no window at all.
    if (m_handovers == 0) {
        Timer11->stop();
        m_handovers = 1;
        m_main->show();
    }
    QWidget::closeEvent(e);
}

void Logo::handOver()
{
    if (m_handovers > 0)
        return;
    m_handovers = 1;
    Timer11->stop();
    // The logo leaves the screen before the main window appears; it is hidden
    // first so that closing it never looks like the last window going away.
    hide();
    m_main->show();
    close();
}
