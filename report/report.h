#pragma once

#include "report/engine.h"
#include "report/prepared_report.h"
#include "report/report_template.h"

#include <QList>
#include <QString>

namespace report {

class RowSource;

// A template with the data sets it prints: what a window holds to print a list.
class Report {
public:
    // Reads a template file; a missing file is no error and leaves the report empty. Throws
    // TemplateError for a file that cannot be read or is not a template.
    void load(const QString& path);
    void save(const QString& path) const; // throws TemplateError
    void clear() { m_template.clear(); }

    ReportTemplate& reportTemplate() { return m_template; }
    const ReportTemplate& reportTemplate() const { return m_template; }
    void setTemplate(const ReportTemplate& t) { m_template = t; }

    // Sets a text object by name (see ReportTemplate::setVariable); a missing object is skipped.
    bool setVariable(const QString& objectName, const QString& text) {
        return m_template.setVariable(objectName, text);
    }

    // Binds rows to the data set name the template's data band uses; replaces an earlier one.
    void setDataSet(const QString& name, const RowSource* source);
    const QList<DataSetBinding>& dataSets() const { return m_dataSets; }

    // Throws Cancelled when the progress callback asks to stop.
    PreparedReport prepare(const PrepareOptions& options = {}) const {
        return prepareReport(m_template, m_dataSets, options);
    }

private:
    ReportTemplate m_template;
    QList<DataSetBinding> m_dataSets;
};

} // namespace report
