#pragma once

#include <QDate>
#include <QDateTime>

// Where "now" and "today" come from; tests set the clock, the program reads the system's.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
    int currentYear() const { return today().year(); }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime now = QDateTime::currentDateTime()) : m_now(std::move(now)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }
    void setToday(const QDate& today) { m_now = QDateTime(today, QTime(9, 0)); }

private:
    QDateTime m_now;
};
