#include "books/grid_columns.h"

#include "books/organization_texts.h"
#include "status/entry_status.h"

namespace grid_columns {

// Columns other than the name fit their captions, so no title is cut on first sight.
QList<ColumnDef> reportTerms(const QColor& nameTitleColour) {
    const auto centred = Qt::AlignHCenter | Qt::AlignVCenter;
    return {
        {QStringLiteral("NAME"),
         QStringLiteral("Наименование отчётности"),
         Qt::AlignLeft,
         {},
         nameTitleColour,
         330},
        {QStringLiteral("DAY_ACTION"), QStringLiteral("Дней до крайней сдачи"), centred, {}, {}, 0},
        {QStringLiteral("DAY_ACTION_12"),
         QStringLiteral("Дней до сдачи последнего в году отчёта"),
         centred,
         display::nullAs(QStringLiteral("-")),
         {},
         0},
        {QStringLiteral("CYCLING"),
         QStringLiteral("Цикличность"),
         Qt::AlignLeft,
         [](const QVariant& value, const fb::Dataset&, int) { return cyclingText(value); },
         {},
         0},
        {QStringLiteral("DAY_WARNING"),
         QStringLiteral("Предупреждать за... ( дней )"),
         centred,
         {},
         {},
         0}};
}

QList<ColumnDef> taxSystems() {
    return {{QStringLiteral("BUH_TAX_SYSTEM_MAIN"),
             QStringLiteral("Основаня система налогообложения"),
             Qt::AlignLeft,
             display::codes(organization_texts::taxSystemMain()),
             {},
             0},
            {QStringLiteral("BUH_TAX_SYSTEM_ADDIT"),
             QStringLiteral("Дополнительная система налогообложения"),
             Qt::AlignLeft,
             display::codes(organization_texts::taxSystemAddit()),
             {},
             0}};
}

} // namespace grid_columns
