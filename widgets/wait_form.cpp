#include "widgets/wait_form.h"

#include "widgets/program_art.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include <chrono>

MonotonicClock steadyClock() {
    return [] {
        using namespace std::chrono;
        return static_cast<qint64>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
}

BusyAnimation::BusyAnimation(MonotonicClock clock, QWidget* parent)
    : QWidget(parent), m_clock(clock ? std::move(clock) : steadyClock()) {
    setObjectName(QStringLiteral("JvAnimatedImage"));
    setFixedSize(kFrameSize, kFrameSize);
    const QImage strip = busyAnimationStrip();
    for (int i = 0; i < kFrameCount; ++i)
        m_frames.append(QPixmap::fromImage(strip.copy(i * kFrameSize, 0, kFrameSize, kFrameSize)));
    m_timer.setInterval(kFrameMs);
    connect(&m_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

int BusyAnimation::frameAt(qint64 elapsedMs) {
    if (elapsedMs < 0)
        return 0;
    return static_cast<int>((elapsedMs / kFrameMs) % kFrameCount);
}

void BusyAnimation::start() {
    m_startedAt = m_clock();
    m_active = true;
    m_timer.start();
    update();
}

void BusyAnimation::stop() {
    m_active = false;
    m_timer.stop();
    update();
}

int BusyAnimation::currentFrame() const {
    return m_active ? frameAt(m_clock() - m_startedAt) : 0;
}

void BusyAnimation::paintEvent(QPaintEvent*) {
    m_lastPainted = currentFrame();
    ++m_paintCount;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_frames.at(m_lastPainted));
}

TWaitForm::TWaitForm(QWidget* owner, MonotonicClock clock)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("WaitForm"));
    setWindowTitle(QStringLiteral("Дождитесь завершения длительной операции"));
    setFixedSize(kClientWidth, kClientHeight);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 8, 16, 8);
    layout->setSpacing(16);
    JvAnimatedImage = new BusyAnimation(std::move(clock), this);
    layout->addWidget(JvAnimatedImage, 0, Qt::AlignVCenter);
    lblInfo = new QLabel(this);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setWordWrap(true);
    QFont font = lblInfo->font();
    font.setBold(true);
    lblInfo->setFont(font);
    layout->addWidget(lblInfo, 1, Qt::AlignVCenter);
    centreOnScreen();
}

void TWaitForm::centreOnScreen() {
    QWidget* owner = parentWidget();
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // move() places the frame, so the frame (known once the window exists) is what is centred.
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TWaitForm::showEvent(QShowEvent* event) {
    centreOnScreen();
    QWidget::showEvent(event);
}

void TWaitForm::closeEvent(QCloseEvent* event) {
    // Only hiding the busy indicator removes the window; a close request from the user or the
    // window manager would leave the owner disabled with nothing to tell why.
    event->ignore();
}

void TWaitForm::keyPressEvent(QKeyEvent* event) {
    // Swallowed, so that no key (Esc included) reaches a handler that could close the window.
    event->accept();
}
