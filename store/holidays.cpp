#include "store/holidays.h"

namespace store::holidays {

DatasetSql list() {
    const QString columns =
        QStringLiteral("SELECT BUH_HOLIDAY.ID, BUH_HOLIDAY.NAME, BUH_HOLIDAY.DAY_MONTH, "
                       "BUH_HOLIDAY.MONTH_YEAR, BUH_HOLIDAY.HOLIDAY_WORK FROM BUH_HOLIDAY");
    return {
        columns + QStringLiteral(" ORDER BY BUH_HOLIDAY.MONTH_YEAR, BUH_HOLIDAY.DAY_MONTH"),
        columns + QStringLiteral(" WHERE BUH_HOLIDAY.ID = :OLD_ID"),
        QStringLiteral("INSERT INTO BUH_HOLIDAY ( ID, NAME, DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK ) "
                       "VALUES ( :ID, :NAME, :DAY_MONTH, :MONTH_YEAR, :HOLIDAY_WORK )"),
        QStringLiteral("UPDATE BUH_HOLIDAY SET NAME = :NAME, DAY_MONTH = :DAY_MONTH, MONTH_YEAR = "
                       ":MONTH_YEAR, HOLIDAY_WORK = :HOLIDAY_WORK WHERE ID = :OLD_ID"),
        QStringLiteral("DELETE FROM BUH_HOLIDAY WHERE ID = :OLD_ID"),
        QStringLiteral("GEN_BUH_HOLIDAY_ID"),
    };
}

} // namespace store::holidays
