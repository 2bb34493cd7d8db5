#include "app/shutdown_signals.h"

#include "fb/engine.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_writeFd = -1;

void onSignal(int) {
    const char byte = 's';
    [[maybe_unused]] const auto written = ::write(g_writeFd, &byte, 1);
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_writeFd = m_fds[1];
    // The engine's own handler may sit in front of ours; it then asks before it shuts down,
    // and the answer is the same byte on the same pipe.
    fb::refuseSignalShutdown(m_fds[1]);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    m_notifier = new QSocketNotifier(m_fds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownSignals::onReadable);
}

ShutdownSignals::~ShutdownSignals() {
    if (m_fds[0] < 0)
        return;
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    g_writeFd = -1;
    ::close(m_fds[0]);
    ::close(m_fds[1]);
}

void ShutdownSignals::onReadable() {
    char buffer[16];
    while (::read(m_fds[0], buffer, sizeof buffer) > 0) {
    }
    emit shutdownRequested();
}
