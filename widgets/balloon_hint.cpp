#include "widgets/balloon_hint.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QGridLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kTail = 12;       // height of the tail that points at the anchor
constexpr int kTailOffset = 18; // tail tip from the balloon's left edge
constexpr int kRadius = 7;
constexpr int kToolTipTimeoutMs = 8000;

} // namespace

BalloonHint::BalloonHint(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint), m_owner(owner) {
    setObjectName(QStringLiteral("balloonHint"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);

    m_iconLabel = new QLabel(this);
    m_header = new QLabel(this);
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_header->setTextFormat(Qt::PlainText);
    for (QLabel* label : {m_header, m_text})
        label->setForegroundRole(QPalette::ToolTipText);
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("balloonClose"));
    m_close->setAutoRaise(true);
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setIconSize(QSize(10, 10));
    m_close->setFixedSize(18, 18);
    connect(m_close, &QToolButton::clicked, this, &BalloonHint::hideHint);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(m_iconLabel, 0, 0, Qt::AlignTop);
    grid->addWidget(m_header, 0, 1, Qt::AlignVCenter);
    grid->addWidget(m_close, 0, 2, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(m_text, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &BalloonHint::hideHint);
}

BalloonHint* BalloonHint::forWindow(QWidget* widget) {
    QWidget* window = widget ? widget->window() : nullptr;
    if (!window)
        return nullptr;
    if (auto* existing = window->findChild<BalloonHint*>(QStringLiteral("balloonHint"),
                                                         Qt::FindDirectChildrenOnly))
        return existing;
    return new BalloonHint(window);
}

void BalloonHint::showAt(QWidget* anchor, const QString& header, const QString& text, int timeoutMs,
                         Icon icon) {
    m_anchor = anchor;
    m_icon = icon;
    m_timeoutMs = timeoutMs;
    m_header->setText(header);
    m_header->setVisible(!header.isEmpty());
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_text->setText(lines);
    m_text->setVisible(!lines.isEmpty());

    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxInformation;
    if (icon == Icon::Warning)
        pixmap = QStyle::SP_MessageBoxWarning;
    else if (icon == Icon::Error)
        pixmap = QStyle::SP_MessageBoxCritical;
    if (icon == Icon::None) {
        m_iconLabel->clear();
        m_iconLabel->hide();
    } else {
        m_iconLabel->setPixmap(style()->standardIcon(pixmap).pixmap(24, 24));
        m_iconLabel->show();
    }

    place();
    show();
    raise();
    if (m_sound)
        QApplication::beep();
    if (timeoutMs > 0)
        m_timer.start(timeoutMs);
    else
        m_timer.stop();
}

void BalloonHint::hideHint() {
    m_timer.stop();
    hide();
}

QString BalloonHint::header() const {
    return m_header->text();
}

QString BalloonHint::text() const {
    return m_text->text();
}

void BalloonHint::setShowsToolTips(bool on) {
    if (on == m_showsToolTips)
        return;
    m_showsToolTips = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool BalloonHint::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != m_owner->window() || widget->toolTip().isEmpty())
        return QWidget::eventFilter(watched, event);
    const bool sound = m_sound;
    m_sound = false;
    showAt(widget, QString(), widget->toolTip(), kToolTipTimeoutMs, Icon::None);
    m_sound = sound;
    return true;
}

void BalloonHint::place() {
    // Room for the tail above the body, or below it when the balloon has to open upwards.
    QGridLayout* grid = static_cast<QGridLayout*>(layout());
    m_pointsUp = true;
    grid->setContentsMargins(10, kTail + 8, 10, 10);
    grid->activate();
    adjustSize();

    QPoint tip =
        m_anchor
            ? m_anchor->mapToGlobal(QPoint(std::min(m_anchor->width() / 2, 24), m_anchor->height()))
            : QCursor::pos();
    QScreen* screen = m_anchor ? m_anchor->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    if (area.isValid() && tip.y() + height() > area.bottom() && m_anchor) {
        m_pointsUp = false;
        grid->setContentsMargins(10, 8, 10, kTail + 10);
        grid->activate();
        adjustSize();
        tip = m_anchor->mapToGlobal(QPoint(std::min(m_anchor->width() / 2, 24), 0));
    }
    QPoint topLeft(tip.x() - kTailOffset, m_pointsUp ? tip.y() : tip.y() - height());
    if (area.isValid())
        topLeft.setX(
            std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - width())));
    move(topLeft);

    m_tailX = std::clamp<qreal>(tip.x() - topLeft.x(), kRadius + 2, width() - kRadius - 14);
    setMask(QRegion(outline(-1).toFillPolygon().toPolygon()));
    update();
}

QPainterPath BalloonHint::outline(qreal inset) const {
    // The rounded body and the tail at the anchor's side; inset keeps a drawn border inside.
    const qreal w = width(), h = height();
    const QRectF body = m_pointsUp
                            ? QRectF(inset, kTail + inset, w - 2 * inset, h - kTail - 2 * inset)
                            : QRectF(inset, inset, w - 2 * inset, h - kTail - 2 * inset);
    QPainterPath path;
    path.addRoundedRect(body, kRadius, kRadius);
    QPainterPath tail;
    const qreal baseY = m_pointsUp ? kTail + inset + 1 : h - kTail - inset - 1;
    tail.moveTo(m_tailX, m_pointsUp ? inset : h - inset);
    tail.lineTo(m_tailX, baseY);
    tail.lineTo(m_tailX + 12, baseY);
    tail.closeSubpath();
    return path.united(tail).simplified();
}

void BalloonHint::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = outline(0.5);
    painter.fillPath(path, palette().color(QPalette::ToolTipBase));
    painter.setPen(QPen(palette().color(QPalette::ToolTipText), 1));
    painter.drawPath(path);
}

void BalloonHint::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer.stop();
    emit hidden();
}
