#include "report/report_template.h"

namespace report {

bool ReportObject::operator==(const ReportObject& o) const {
    return kind == o.kind && name == o.name && rect == o.rect && text == o.text && font == o.font &&
           textColor == o.textColor && fillColor == o.fillColor && fillField == o.fillField &&
           hAlign == o.hAlign && vAlign == o.vAlign && frame == o.frame && wordWrap == o.wordWrap &&
           stretch == o.stretch && dateFormat == o.dateFormat &&
           qFuzzyCompare(1 + paddingMm, 1 + o.paddingMm) &&
           qFuzzyCompare(1 + lineWidthMm, 1 + o.lineWidthMm) && lineColor == o.lineColor &&
           png == o.png && crossTab == o.crossTab;
}

ReportObject* ReportTemplate::findObject(const QString& name) {
    for (Band& band : bands) {
        for (ReportObject& object : band.objects) {
            if (object.name.compare(name, Qt::CaseInsensitive) == 0)
                return &object;
        }
    }
    return nullptr;
}

const ReportObject* ReportTemplate::findObject(const QString& name) const {
    return const_cast<ReportTemplate*>(this)->findObject(name);
}

bool ReportTemplate::setVariable(const QString& name, const QString& text) {
    ReportObject* object = findObject(name);
    if (!object || object->kind != ObjectKind::Text)
        return false;
    if (object->text.isEmpty()) {
        object->text = text;
        return true;
    }
    const qsizetype lineEnd = object->text.indexOf(QLatin1Char('\n'));
    object->text = lineEnd < 0 ? text : text + object->text.mid(lineEnd);
    return true;
}

const Band* ReportTemplate::firstBand(BandKind kind) const {
    for (const Band& band : bands) {
        if (band.kind == kind)
            return &band;
    }
    return nullptr;
}

ReportTemplate deepCopy(const ReportTemplate& report) {
    ReportTemplate copy = report;
    copy.bands.detach();
    for (Band& band : copy.bands)
        band.objects.detach();
    return copy;
}

QString bandKindName(BandKind kind) {
    switch (kind) {
    case BandKind::ReportTitle:
        return QStringLiteral("ReportTitle");
    case BandKind::PageHeader:
        return QStringLiteral("PageHeader");
    case BandKind::ColumnHeader:
        return QStringLiteral("ColumnHeader");
    case BandKind::GroupHeader:
        return QStringLiteral("GroupHeader");
    case BandKind::MasterData:
        return QStringLiteral("MasterData");
    case BandKind::GroupFooter:
        return QStringLiteral("GroupFooter");
    case BandKind::ColumnFooter:
        return QStringLiteral("ColumnFooter");
    case BandKind::PageFooter:
        return QStringLiteral("PageFooter");
    case BandKind::ReportSummary:
        return QStringLiteral("ReportSummary");
    }
    return {};
}

QString bandKindCaption(BandKind kind) {
    switch (kind) {
    case BandKind::ReportTitle:
        return QStringLiteral("Заголовок отчёта");
    case BandKind::PageHeader:
        return QStringLiteral("Заголовок страницы");
    case BandKind::ColumnHeader:
        return QStringLiteral("Заголовок колонки");
    case BandKind::GroupHeader:
        return QStringLiteral("Заголовок группы");
    case BandKind::MasterData:
        return QStringLiteral("Данные");
    case BandKind::GroupFooter:
        return QStringLiteral("Подвал группы");
    case BandKind::ColumnFooter:
        return QStringLiteral("Подвал колонки");
    case BandKind::PageFooter:
        return QStringLiteral("Подвал страницы");
    case BandKind::ReportSummary:
        return QStringLiteral("Итоги отчёта");
    }
    return {};
}

} // namespace report
