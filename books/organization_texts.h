#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Display texts of the organisations' coded columns.
namespace organization_texts {

// Lists: 0 "ОСНО", 1 "УСНО-6%", 2 "УСНО-15%", 3 "ЕСХН", 4 "Нет данных".
const QMap<int, QString>& taxSystemMain();
// Lists: 0 "ЕНВД", 1 "Патент", 2 "Нет".
const QMap<int, QString>& taxSystemAddit();
// The edit dialog's drop-down items, in code order (blanks around the dash there).
QStringList taxSystemMainItems();
QStringList taxSystemAdditItems();

} // namespace organization_texts
