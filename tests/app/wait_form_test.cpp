#include "widgets/busy_indicator.h"
#include "widgets/wait_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

// A clock the test moves by hand; read only on the user-interface thread.
struct ManualClock {
    qint64 now = 1000;
    MonotonicClock clock() {
        return [this] { return now; };
    }
};

// Waits, without processing any event, until the condition holds; the user-interface thread is
// "busy" meanwhile. The deadline only keeps a broken build from hanging.
bool waitWithoutEvents(const std::function<bool()>& condition) {
    QDeadlineTimer deadline(30000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
    return true;
}

bool requestWaiting(const TWaitThread* thread) {
    return thread->requestsPosted() > thread->requestsServed();
}

int busyWindowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<TWaitForm*>(widget))
            ++count;
    return count;
}

// A window that starts long operations, with two edits; the second has the focus.
struct OwnerWindow {
    QWidget window;
    QLineEdit* first = new QLineEdit(&window);
    QLineEdit* second = new QLineEdit(&window);
    OwnerWindow() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(first);
        layout->addWidget(second);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        second->setFocus();
    }
};

} // namespace

TEST(BusyAnimation, FrameFollowsTheElapsedTime) {
    const std::pair<qint64, int> cases[] = {{-5, 0},  {0, 0},   {65, 0},  {66, 1},  {131, 1},
                                            {132, 2}, {198, 3}, {263, 3}, {264, 0}, {66 * 4001, 1}};
    for (const auto& [elapsed, frame] : cases)
        EXPECT_EQ(BusyAnimation::frameAt(elapsed), frame) << elapsed;
}

TEST(BusyAnimation, FourDistinctFramesFromOneStrip) {
    BusyAnimation animation;
    EXPECT_EQ(animation.size(), QSize(32, 32));
    ASSERT_EQ(animation.frames().size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(animation.frames()[i].size(), QSize(32, 32));
        for (int j = i + 1; j < 4; ++j)
            EXPECT_NE(animation.frames()[i].toImage(), animation.frames()[j].toImage()) << i << j;
    }
}

TEST(BusyIndicator, HideWithoutShowDoesNothing) {
    BusyIndicator busy;
    busy.HideWaitForm();
    EXPECT_FALSE(busy.isShown());
    EXPECT_EQ(busy.form(), nullptr);
    EXPECT_EQ(busyWindowCount(), 0);
}

TEST(BusyIndicator, ShowDisablesTheOwnerAndShowsTheBusyWindowOverIt) {
    OwnerWindow owner;
    BusyIndicator busy;
    busy.ShowWaitForm(&owner.window, QStringLiteral("Подсчёт статистики ..."));
    ASSERT_TRUE(busy.isShown());
    TWaitForm* form = busy.form();
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(owner.window.isEnabled());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->isEnabled()) << "the busy window must not look disabled";
    EXPECT_EQ(form->parentWidget(), &owner.window);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Дождитесь завершения длительной операции"));
    EXPECT_EQ(form->lblInfo->text(), QStringLiteral("Подсчёт статистики ..."));
    EXPECT_EQ(form->size(), QSize(476, 73));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form->windowType(), Qt::Tool);
    const QPoint screenCentre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - screenCentre).manhattanLength(), 1);
    EXPECT_TRUE(form->JvAnimatedImage->isActive());
    EXPECT_TRUE(busy.thread()->isRunning());
    busy.HideWaitForm();
}

TEST(BusyIndicator, SecondShowOnlyChangesTheTextAndOneHideRemovesTheWindow) {
    OwnerWindow owner;
    QWidget other;
    other.show();
    BusyIndicator busy;
    busy.ShowWaitForm(&owner.window, QStringLiteral("Собираем ID организаций..."));
    TWaitForm* form = busy.form();
    TWaitThread* thread = busy.thread();
    busy.ShowWaitForm(&other, QStringLiteral("Удаляем историю..."));
    EXPECT_EQ(busy.form(), form);
    EXPECT_EQ(busy.thread(), thread);
    EXPECT_EQ(thread->owner(), &owner.window) << "the first owner stays";
    EXPECT_TRUE(other.isEnabled());
    EXPECT_EQ(form->lblInfo->text(), QStringLiteral("Удаляем историю..."));
    EXPECT_EQ(busyWindowCount(), 1);

    busy.HideWaitForm();
    EXPECT_FALSE(busy.isShown());
    EXPECT_EQ(busyWindowCount(), 0);
    EXPECT_TRUE(owner.window.isEnabled());
}

TEST(BusyIndicator, OwnerIsEnabledAndFocusedAfterTheOperationHoweverItEnded) {
    const bool failing[] = {false, true};
    for (const bool fails : failing) {
        OwnerWindow owner;
        BusyIndicator busy;
        const auto operation = [&] {
            BusyScope scope(busy, &owner.window, QStringLiteral("Выпоняется операция...."));
            EXPECT_FALSE(owner.window.isEnabled());
            EXPECT_FALSE(owner.second->hasFocus());
            if (fails)
                throw std::runtime_error("operation failed");
        };
        if (fails)
            EXPECT_THROW(operation(), std::runtime_error);
        else
            operation();
        EXPECT_FALSE(busy.isShown()) << fails;
        EXPECT_EQ(busyWindowCount(), 0) << fails;
        EXPECT_TRUE(owner.window.isEnabled()) << fails;
        EXPECT_TRUE(QTest::qWaitForWindowActive(&owner.window)) << fails;
        EXPECT_EQ(QApplication::focusWidget(), owner.second)
            << fails << ": the edit that had the focus gets it back";
    }
}

TEST(BusyIndicator, OwnerWithoutFocusedChildGetsTheFocusItself) {
    QWidget window;
    window.setFocusPolicy(Qt::StrongFocus);
    window.show();
    BusyIndicator busy;
    busy.ShowWaitForm(&window, QStringLiteral("Подсчёт статистики ..."));
    busy.HideWaitForm();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(window.hasFocus());
}

TEST(BusyIndicator, InnerScopeLeavesTheIndicatorToTheOuterOne) {
    OwnerWindow owner;
    BusyIndicator busy;
    {
        BusyScope outer(busy, &owner.window, QStringLiteral("Выпоняется операция...."));
        TWaitForm* form = busy.form();
        {
            BusyScope inner(busy, &owner.window, QStringLiteral("Собираем ID организаций..."));
            EXPECT_EQ(busy.form(), form);
            EXPECT_EQ(form->lblInfo->text(), QStringLiteral("Собираем ID организаций..."));
        }
        EXPECT_TRUE(busy.isShown());
        EXPECT_FALSE(owner.window.isEnabled());
        outer.setText(QStringLiteral("Удаляем историю..."));
        EXPECT_EQ(form->lblInfo->text(), QStringLiteral("Удаляем историю..."));
    }
    EXPECT_FALSE(busy.isShown());
    EXPECT_TRUE(owner.window.isEnabled());
}

TEST(BusyIndicator, UserCannotCloseTheBusyWindow) {
    OwnerWindow owner;
    BusyIndicator busy;
    busy.ShowWaitForm(&owner.window, QStringLiteral("Подсчёт статистики ..."));
    TWaitForm* form = busy.form();
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << "only the hints below";
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);

    QCloseEvent closeRequest;
    QApplication::sendEvent(form, &closeRequest);
    EXPECT_FALSE(closeRequest.isAccepted());
    EXPECT_FALSE(form->close());
    QTest::keyClick(form, Qt::Key_Escape);
    QTest::keyClick(form, Qt::Key_F4, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(busy.form(), form);
    busy.HideWaitForm();
}

TEST(BusyIndicator, AnimationShowsTheDueFrameWhileTheUserInterfaceThreadIsBusy) {
    ManualClock time;
    OwnerWindow owner;
    BusyIndicator busy(time.clock());
    busy.ShowWaitForm(&owner.window, QStringLiteral("Выпоняется операция...."));
    TWaitThread* thread = busy.thread();
    BusyAnimation* animation = busy.form()->JvAnimatedImage;
    EXPECT_EQ(animation->lastPaintedFrame(), 0);

    // A long operation that processes events only once per step; each step takes 100 ms of the
    // animation's time. The busy thread's request, served at the step's end, paints the frame
    // due by then.
    const int expectedFrames[] = {1, 3, 0, 2, 3};
    for (const int expected : expectedFrames) {
        ASSERT_TRUE(waitWithoutEvents([&] { return requestWaiting(thread); }));
        const int served = thread->requestsServed();
        const int paints = animation->paintCount();
        time.now += 100;
        QApplication::processEvents();
        EXPECT_GT(thread->requestsServed(), served);
        EXPECT_GT(animation->paintCount(), paints);
        EXPECT_EQ(animation->lastPaintedFrame(), expected) << "after " << time.now - 1000;
    }
    busy.HideWaitForm();
}

TEST(BusyIndicator, HideDoesNotWaitForTheUserInterfaceThread) {
    OwnerWindow owner;
    BusyIndicator busy;
    busy.ShowWaitForm(&owner.window, QStringLiteral("Подсчёт статистики ..."));
    TWaitThread* thread = busy.thread();
    // The busy thread now waits for a request the user-interface thread has not served.
    ASSERT_TRUE(waitWithoutEvents([&] { return requestWaiting(thread); }));
    busy.HideWaitForm();
    EXPECT_FALSE(busy.isShown());
    EXPECT_TRUE(owner.window.isEnabled());
    // The abandoned request is still delivered; with the window gone it does nothing.
    QApplication::processEvents();
    EXPECT_EQ(busyWindowCount(), 0);
}

TEST(BusyIndicator, HideFromInsideARepaintRequest) {
    OwnerWindow owner;
    BusyIndicator busy;
    busy.ShowWaitForm(&owner.window, QStringLiteral("Подсчёт статистики ..."));
    TWaitThread* thread = busy.thread();
    ASSERT_TRUE(waitWithoutEvents([&] { return requestWaiting(thread); }));
    // Queued behind the request: it runs in the events the request itself processes, while the
    // busy thread is still waiting for that request to finish.
    QMetaObject::invokeMethod(
        qApp, [&] { busy.HideWaitForm(); }, Qt::QueuedConnection);
    QApplication::processEvents();
    EXPECT_FALSE(busy.isShown());
    EXPECT_EQ(busyWindowCount(), 0);
    EXPECT_TRUE(owner.window.isEnabled());
}

TEST(BusyIndicator, OwnerDestroyedWhileShownTakesTheWindowAlong) {
    BusyIndicator busy;
    auto owner = std::make_unique<QWidget>();
    owner->show();
    busy.ShowWaitForm(owner.get(), QStringLiteral("Удаляем историю..."));
    owner.reset();
    EXPECT_EQ(busyWindowCount(), 0);
    busy.HideWaitForm();
    EXPECT_FALSE(busy.isShown());
}
