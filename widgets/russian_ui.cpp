#include "widgets/russian_ui.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

bool fontShowsCyrillic(const QFont& font) {
    const QString family = QFontInfo(font).family();
    if (!QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic))
        return false;
    const QFontMetrics metrics(font);
    for (QChar letter : QStringLiteral("ЖЯЁжяё"))
        if (!metrics.inFont(letter))
            return false;
    return true;
}

QString cyrillicFontFamily() {
    const QStringList installed = QFontDatabase::families(QFontDatabase::Cyrillic);
    for (const QString& wanted : {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")})
        if (installed.contains(wanted, Qt::CaseInsensitive))
            return wanted;
    return QString();
}

void installRussianTranslations(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    // Without the translations package Qt speaks English; the program still works.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                         QStringLiteral("_"), folder))
        app.installTranslator(translator);
    else
        delete translator;

    if (!fontShowsCyrillic(app.font())) {
        const QString family = cyrillicFontFamily();
        if (!family.isEmpty()) {
            QFont font = app.font();
            font.setFamily(family);
            app.setFont(font);
        }
    }
}
