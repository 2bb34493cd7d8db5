#pragma once

#include <QString>
#include <QStringList>

// The service window's logs kept as lines, with the rules every log of the window follows.
namespace service_log {

// 54 equals signs: the line that starts each run in a log.
QString separator();

// Drops the oldest line once when the text is over 29000 characters, then adds text as new
// lines (a text ending in a line break leaves an empty line after it).
void appendLogLine(QStringList& lines, const QString& text);
// Appends text to the last line; an empty log gets it as its first line.
void appendToLastLine(QStringList& lines, const QString& text);
// Removes control characters (codes 0 to 31) from each line and drops lines left empty.
void cleanServiceOutput(QStringList& lines);

// The log's text as a multi-line editor shows it.
QString text(const QStringList& lines);

} // namespace service_log

// Where the service output goes: the window's log of the running tab, the command-line tool's
// standard error, or a test's list.
class ServiceLog {
public:
    virtual ~ServiceLog() = default;
    virtual void appendLine(const QString& text) = 0;
    virtual void appendToLastLine(const QString& text) = 0;
    // Each line a service prints while it runs; shown as progress, not kept in the log.
    virtual void serviceLine(const QString& line) { (void)line; }
};

// A log in memory with the window's rules.
class LineLog : public ServiceLog {
public:
    void appendLine(const QString& text) override { service_log::appendLogLine(m_lines, text); }
    void appendToLastLine(const QString& text) override {
        service_log::appendToLastLine(m_lines, text);
    }
    void serviceLine(const QString& line) override { m_serviceLines << line; }

    const QStringList& lines() const { return m_lines; }
    const QStringList& serviceLines() const { return m_serviceLines; }
    QString text() const { return service_log::text(m_lines); }
    void clear() { m_lines.clear(); }

private:
    QStringList m_lines;
    QStringList m_serviceLines;
};
