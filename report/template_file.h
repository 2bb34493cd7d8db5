#pragma once

#include "report/report_template.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace report {

// A template that cannot be read or written; the text says why, in the user's language.
class TemplateError : public std::runtime_error {
public:
    explicit TemplateError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Templates are XML documents in UTF-8 with the root element SrokoReport.
namespace TemplateFile {

ReportTemplate fromXml(const QByteArray& xml); // throws TemplateError
QByteArray toXml(const ReportTemplate& report);

// Throws TemplateError when the file cannot be read or is not a template of ours.
ReportTemplate load(const QString& path);
// A missing file gives an empty report; any other failure throws as load does.
ReportTemplate loadOrEmpty(const QString& path);
// Writes through a temporary file that replaces the old one only when it is complete.
void save(const ReportTemplate& report, const QString& path); // throws TemplateError

} // namespace TemplateFile
} // namespace report
