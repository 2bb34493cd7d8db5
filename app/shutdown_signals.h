#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (system shutdown, logout, kill) into a signal of the event loop, so
// that the program closes as at a system shutdown instead of dying under an open window.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void shutdownRequested();

private:
    void onReadable();

    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};
