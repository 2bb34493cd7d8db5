#pragma once

#include "widgets/wait_form.h"

#include <QPointer>
#include <QString>
#include <QThread>

#include <memory>

// The busy thread: while it runs, every 100 ms it asks the user-interface thread to repaint the
// busy window at once and to process pending events, and waits until that has been done. It
// never touches a window itself.
//
// Creating it disables the owner and shows the busy window over it; destroying it stops the
// thread, frees the window, enables the owner again and gives it the keyboard focus.
class TWaitThread : public QThread {
    Q_OBJECT
public:
    static constexpr int kPeriodMs = 100;

    TWaitThread(QWidget* owner, MonotonicClock clock = {});
    ~TWaitThread() override;

    TWaitForm* form() const { return m_form.data(); }
    QWidget* owner() const { return m_owner.data(); }

    // Tells the loop to end; a repaint request that is still waiting for the user-interface
    // thread is abandoned, so the caller may wait for the thread without serving events.
    void requestStop();
    // Repaint requests posted to the user-interface thread so far, and those it has served.
    int requestsPosted() const;
    int requestsServed() const;

protected:
    void run() override;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_focus;
    QPointer<TWaitForm> m_form;
};

// The busy indicator of the program: at most one busy window at a time. The main window owns
// one and hands it to the windows that run long operations; it is used only on the
// user-interface thread.
class BusyIndicator {
public:
    explicit BusyIndicator(MonotonicClock clock = {});
    ~BusyIndicator();
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;

    // Shows the busy window over the owner (disabling it) with the text; when one is shown
    // already, only its text changes (the first owner and window stay).
    void ShowWaitForm(QWidget* owner, const QString& text);
    // Removes the busy window and enables and focuses its owner; does nothing when none is shown.
    void HideWaitForm();

    bool isShown() const { return m_thread != nullptr; }
    TWaitThread* thread() const { return m_thread.get(); }
    TWaitForm* form() const { return m_thread ? m_thread->form() : nullptr; }

private:
    MonotonicClock m_clock;
    std::unique_ptr<TWaitThread> m_thread;
};

// Shows the busy indicator for the lifetime of a scope and hides it on every way out of it,
// exceptions included. Inside an operation that already shows the indicator it only changes
// the text and leaves the hiding to the scope that showed it, so the owner is not enabled
// while the outer operation still runs.
class BusyScope {
public:
    BusyScope(BusyIndicator& indicator, QWidget* owner, const QString& text);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

    void setText(const QString& text);

private:
    BusyIndicator& m_indicator;
    QWidget* m_owner;
    bool m_showed;
};
