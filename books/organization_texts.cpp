#include "books/organization_texts.h"

namespace organization_texts {

const QMap<int, QString>& taxSystemMain() {
    static const QMap<int, QString> texts{{0, QStringLiteral("ОСНО")},
                                          {1, QStringLiteral("УСНО-6%")},
                                          {2, QStringLiteral("УСНО-15%")},
                                          {3, QStringLiteral("ЕСХН")},
                                          {4, QStringLiteral("Нет данных")}};
    return texts;
}

const QMap<int, QString>& taxSystemAddit() {
    static const QMap<int, QString> texts{
        {0, QStringLiteral("ЕНВД")}, {1, QStringLiteral("Патент")}, {2, QStringLiteral("Нет")}};
    return texts;
}

QStringList taxSystemMainItems() {
    return {QStringLiteral("ОСНО"), QStringLiteral("УСНО - 6%"), QStringLiteral("УСНО - 15%"),
            QStringLiteral("ЕСХН"), QStringLiteral("Нет данных")};
}

QStringList taxSystemAdditItems() {
    return {QStringLiteral("ЕНВД"), QStringLiteral("Патент"), QStringLiteral("Нет")};
}

} // namespace organization_texts
