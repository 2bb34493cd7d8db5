#include "fb/win1251.h"

#include "core/win1251.h"
#include "fb/error.h"

namespace fb {

bool fitsWin1251(const QString& text, QString* offending) {
    return win1251::fits(text, offending);
}

QByteArray toWin1251(const QString& text) {
    if (auto bytes = win1251::encode(text))
        return *bytes;
    QString bad;
    win1251::fits(text, &bad);
    throw Error(QStringLiteral("Текст содержит символ «%1», который нельзя сохранить в "
                               "базе данных (кодировка Windows-1251): «%2».")
                    .arg(bad, text.left(60)));
}

QString fromWin1251(const char* data, int size) {
    return win1251::decode(data, size);
}

QString fromWin1251(const QByteArray& bytes) {
    return win1251::decode(bytes.constData(), static_cast<int>(bytes.size()));
}

} // namespace fb
