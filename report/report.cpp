#include "report/report.h"

#include "report/template_file.h"

namespace report {

void Report::load(const QString& path) {
    m_template = TemplateFile::loadOrEmpty(path);
}

void Report::save(const QString& path) const {
    TemplateFile::save(m_template, path);
}

void Report::setDataSet(const QString& name, const RowSource* source) {
    for (DataSetBinding& d : m_dataSets) {
        if (d.name.compare(name, Qt::CaseInsensitive) == 0) {
            d.source = source;
            return;
        }
    }
    m_dataSets.push_back({name, source});
}

} // namespace report
