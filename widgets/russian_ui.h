#pragma once

class QApplication;
class QFont;
class QString;

// Qt's own texts (standard buttons, file and print dialogs, context menus) in Russian, the
// Russian locale for numbers and dates, and an application font that has Cyrillic letters.
void installRussianTranslations(QApplication& app);

// Whether the font (after Qt's own substitution) draws Cyrillic letters.
bool fontShowsCyrillic(const QFont& font);
// The first installed family of the fonts we ship with that has Cyrillic; empty if none.
QString cyrillicFontFamily();
