#pragma once

// The statements over the schedule entries and the calendar that the engine, the correction
// and the data module share.
namespace store {

// The calendar as the engine reads it; no ORDER BY: later rows of the same day win in the
// order the database returns them.
inline constexpr char kHolidaySql[] = "SELECT DAY_MONTH, MONTH_YEAR, HOLIDAY_WORK FROM BUH_HOLIDAY";

// The only way schedule entries come into being.
inline constexpr char kAddBuhHistorySql[] = "EXECUTE PROCEDURE ADD_BUH_HISTORY (?BUH_ACCOUNT_ID, "
                                            "?ORGANIZATION_ID, ?CYCLING, ?DT_END_ACCOUNT, "
                                            "?DT_ACTION)";

// Switched-on assignments of active reports: of one report, or of all with -1.
inline constexpr char kSelAccountOrgSql[] =
    "SELECT BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID, BUH_ACCOUNT_ORGANIZATION.ORGANIZATION_ID, "
    "BUH_ACCOUNT.CYCLING, BUH_ACCOUNT.DAY_ACTION,BUH_ACCOUNT.DAY_ACTION_12 FROM "
    "BUH_ACCOUNT_ORGANIZATION LEFT JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID = "
    "BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID WHERE (BUH_ACCOUNT_ORGANIZATION.ON_OFF = 1) AND "
    "(BUH_ACCOUNT.DEL = 0) AND ((:BUH_ACCOUNT_ID = -1) or (BUH_ACCOUNT_ORGANIZATION.BUH_ACCOUNT_ID "
    "= :BUH_ACCOUNT_ID))";

// Entries of the span whose deadlines are recomputed: of all organisations and reports,
// submitted or not, with the report's current terms.
inline constexpr char kBuhHistorySql[] =
    "SELECT BUH_HISTORY.ID, BUH_HISTORY.DT_END_ACCOUNT, BUH_HISTORY.DT_ACTION, "
    "BUH_ACCOUNT.CYCLING, BUH_ACCOUNT.DAY_ACTION, BUH_ACCOUNT.DAY_ACTION_12 FROM BUH_HISTORY LEFT "
    "JOIN BUH_ACCOUNT ON BUH_ACCOUNT.ID = BUH_HISTORY.BUH_ACCOUNT_ID WHERE "
    "(BUH_HISTORY.DT_END_ACCOUNT >= :DT_BEGIN) AND (BUH_HISTORY.DT_END_ACCOUNT <= :DT_END)";

inline constexpr char kUpdateHistorySql[] =
    "UPDATE BUH_HISTORY SET DT_ACTION = :DT_ACTION WHERE ID "
    "= :ID";

} // namespace store
