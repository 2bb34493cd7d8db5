#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPainterPath;
class QToolButton;

// A hint in a balloon: a small frameless window that points at a widget and opens to the lower
// right of it, with a bold header, a text of one or more lines, an optional icon and a close
// button. It hides by itself after its timeout. Each window has one (see forWindow).
class BalloonHint : public QWidget {
    Q_OBJECT
public:
    enum class Icon { None, Information, Warning, Error };

    explicit BalloonHint(QWidget* owner);

    // The balloon of the window that holds widget, made on first use.
    static BalloonHint* forWindow(QWidget* widget);

    // Shows the hint at anchor (replacing one already shown) and hides it after timeoutMs
    // (0: only the close button hides it). Lines may be separated by "\r\n" or "\n".
    void showAt(QWidget* anchor, const QString& header, const QString& text, int timeoutMs = 30000,
                Icon icon = Icon::Information);
    void hideHint();

    QString header() const;
    QString text() const;
    Icon icon() const { return m_icon; }
    QWidget* anchor() const { return m_anchor; }
    int timeout() const { return m_timeoutMs; }
    QToolButton* closeButton() const { return m_close; }

    // A short sound as the balloon opens (on by default).
    void setSoundEnabled(bool on) { m_sound = on; }
    // While on, the tool-tips of the owner window's widgets open in this balloon instead.
    void setShowsToolTips(bool on);

signals:
    void hidden();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    QPainterPath outline(qreal inset) const;

    QWidget* m_owner;
    QPointer<QWidget> m_anchor;
    QLabel* m_iconLabel;
    QLabel* m_header;
    QLabel* m_text;
    QToolButton* m_close;
    QTimer m_timer;
    Icon m_icon = Icon::None;
    int m_timeoutMs = 0;
    bool m_sound = true;
    bool m_showsToolTips = false;
    bool m_pointsUp = true; // the tail at the top edge (balloon below the anchor)
    qreal m_tailX = 0;
};
