#pragma once
#include "settings/SettingsStore.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

// Ends the process as soon as a window whose class is windowClass (any
// window when empty) has painted: start-up measurements stop there.
class FirstPaintExit : public QObject {
public:
    explicit FirstPaintExit(const char* windowClass = "") : m_windowClass(windowClass) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_done && event->type() == QEvent::Paint && watched->isWidgetType() &&
            (!*m_windowClass || static_cast<QWidget*>(watched)->window()->inherits(m_windowClass))) {
            m_done = true;
            // Ends as the program ends: with the settings written.
            QTimer::singleShot(0, [] {
                FlushSettings();
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    const char* m_windowClass;
    bool m_done = false;
};
