#pragma once

#include "status/entry_status.h"
#include "store/schedule_list.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <stdexcept>

namespace fb {
class Attachment;
}

// The schedule list printed through a template without windows, for scheduled mailing.
struct CliPrintJob {
    QString templatePath;
    QString format; // pdf, xlsx, txt, html
    QString outPath;
    store::ScheduleFilter filter;
    store::ScheduleStatement statement;
    QSet<BuhEntryStatus> statuses; // the status boxes the header marks with "Да"
    QDate today;
    bool stats = false; // fill the counters; "---" otherwise, as before "Получить статистику"
};

// A template or an output file that cannot be used; the text says which and why.
class CliPrintError : public std::runtime_error {
public:
    explicit CliPrintError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// True for the formats the print command writes.
bool isPrintFormat(const QString& format);

// Prepares the list over the template and writes it; returns the number of rows printed.
// Throws CliPrintError; database errors come as fb::Error.
int runPrintJob(const CliPrintJob& job, fb::Attachment& attachment);
