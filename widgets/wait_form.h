#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <functional>

class QLabel;

// Milliseconds from a clock that never goes back. The busy window's animation reads it; tests
// give their own.
using MonotonicClock = std::function<qint64()>;
MonotonicClock steadyClock();

// The busy window's 32 by 32 animation: four frames cut from one 128 by 32 strip, one frame
// every 66 ms.
//
// Qt lets only the user-interface thread paint a widget, so no other thread can put a frame
// on the screen while that thread is busy. Instead the frame is a function of the time since
// the animation started: whenever the window is painted - by the animation's own 66 ms timer
// while the event loop runs, by the busy thread's repaint requests, or by any event processing
// of a long operation - it shows the frame that is due at that moment, so the animation never
// lags behind, however rarely the user-interface thread gets to it.
class BusyAnimation : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameSize = 32;
    static constexpr int kFrameCount = 4;
    static constexpr int kFrameMs = 66;

    explicit BusyAnimation(MonotonicClock clock = {}, QWidget* parent = nullptr);

    // The frame due after elapsedMs of running.
    static int frameAt(qint64 elapsedMs);

    void start();
    void stop();
    bool isActive() const { return m_active; }
    // The frame due now (0 while stopped).
    int currentFrame() const;
    // The frame the last paint showed; -1 before the first paint.
    int lastPaintedFrame() const { return m_lastPainted; }
    int paintCount() const { return m_paintCount; }
    const QVector<QPixmap>& frames() const { return m_frames; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    MonotonicClock m_clock;
    QVector<QPixmap> m_frames;
    QTimer m_timer;
    qint64 m_startedAt = 0;
    bool m_active = false;
    int m_lastPainted = -1;
    int m_paintCount = 0;
};

// The busy window: an always-on-top tool window without border icons, centred on the screen,
// with the animation and one line of text. The user cannot close it; it goes when the busy
// indicator is hidden.
class TWaitForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 476;
    static constexpr int kClientHeight = 73;

    explicit TWaitForm(QWidget* owner, MonotonicClock clock = {});

    QLabel* lblInfo = nullptr;
    BusyAnimation* JvAnimatedImage = nullptr;

    void centreOnScreen();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
