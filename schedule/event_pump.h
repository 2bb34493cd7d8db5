#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

// Lets the windows repaint (and the busy indicator's requests be served) during a long run on
// the user-interface thread: a few times a second, not after every step, so that a run over
// many rows does not spend its time in the event loop.
class EventPump {
public:
    static constexpr int kIntervalMs = 40;

    EventPump() { m_timer.start(); }

    void operator()() {
        if (m_timer.elapsed() < kIntervalMs)
            return;
        QCoreApplication::processEvents();
        m_timer.restart();
    }

private:
    QElapsedTimer m_timer;
};
