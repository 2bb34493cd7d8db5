#include "widgets/busy_indicator.h"

#include <QApplication>
#include <QLabel>
#include <QSemaphore>

#include <atomic>

// What the busy thread and its requests share. A request may still sit in the user-interface
// thread's queue after the thread object is gone, so the request keeps this alive itself.
struct TWaitThread::Shared {
    std::atomic<bool> stop{false};
    std::atomic<int> posted{0};
    std::atomic<int> served{0};
    QSemaphore done; // one permit per served request, and one from requestStop
    QSemaphore wake; // cuts the pause between requests short when a stop is asked
};

TWaitThread::TWaitThread(QWidget* owner, MonotonicClock clock)
    : m_shared(std::make_shared<Shared>()), m_owner(owner) {
    if (owner) {
        QWidget* focus = owner->window()->focusWidget();
        if (focus && (focus == owner || owner->isAncestorOf(focus)))
            m_focus = focus;
        owner->setEnabled(false);
    }
    m_form = new TWaitForm(owner, std::move(clock));
    // A window inherits its owner's disabled state; the busy window itself must not look
    // disabled.
    m_form->setEnabled(true);
    m_form->JvAnimatedImage->start();
    m_form->show();
}

TWaitThread::~TWaitThread() {
    requestStop();
    wait();
    delete m_form.data();
    if (!m_owner)
        return;
    m_owner->setEnabled(true);
    m_owner->window()->activateWindow();
    if (m_focus && m_focus->isEnabled())
        m_focus->setFocus();
    else
        m_owner->setFocus();
}

void TWaitThread::requestStop() {
    if (m_shared->stop.exchange(true))
        return;
    m_shared->done.release();
    m_shared->wake.release();
}

int TWaitThread::requestsPosted() const {
    return m_shared->posted.load();
}

int TWaitThread::requestsServed() const {
    return m_shared->served.load();
}

void TWaitThread::run() {
    const std::shared_ptr<Shared> shared = m_shared;
    const QPointer<TWaitForm> form = m_form;
    while (!shared->stop.load()) {
        // A queued request rather than a blocking one: the thread can then stop waiting for it
        // when a stop is asked, while HideWaitForm waits for the thread on the user-interface
        // thread without serving events. The application object is the context, so a request
        // is delivered also after the window is gone; it then does nothing.
        QMetaObject::invokeMethod(
            qApp,
            [shared, form] {
                if (!shared->stop.load()) {
                    if (form)
                        form->repaint();
                    QApplication::processEvents();
                }
                shared->served.fetch_add(1);
                shared->done.release();
            },
            Qt::QueuedConnection);
        shared->posted.fetch_add(1);
        shared->done.acquire();
        if (shared->stop.load())
            break;
        shared->wake.tryAcquire(1, kPeriodMs);
    }
}

BusyIndicator::BusyIndicator(MonotonicClock clock) : m_clock(std::move(clock)) {}

BusyIndicator::~BusyIndicator() {
    HideWaitForm();
}

void BusyIndicator::ShowWaitForm(QWidget* owner, const QString& text) {
    if (!m_thread) {
        m_thread = std::make_unique<TWaitThread>(owner, m_clock);
        m_thread->start();
    }
    if (TWaitForm* form = m_thread->form())
        form->lblInfo->setText(text);
    QApplication::processEvents();
}

void BusyIndicator::HideWaitForm() {
    if (!m_thread)
        return;
    // Taken out first, so that whatever runs while the owner gets its focus back sees no
    // indicator.
    std::unique_ptr<TWaitThread> thread = std::move(m_thread);
    thread->requestStop();
    thread->wait();
    thread.reset();
}

BusyScope::BusyScope(BusyIndicator& indicator, QWidget* owner, const QString& text)
    : m_indicator(indicator), m_owner(owner), m_showed(!indicator.isShown()) {
    m_indicator.ShowWaitForm(owner, text);
}

BusyScope::~BusyScope() {
    if (m_showed)
        m_indicator.HideWaitForm();
}

void BusyScope::setText(const QString& text) {
    m_indicator.ShowWaitForm(m_owner, text);
}
