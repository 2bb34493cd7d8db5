#include "app/intro_form.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

int introCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<TIntroForm*>(widget))
            ++count;
    return count;
}

} // namespace

TEST(IntroForm, BorderlessPictureCentredWithTheHourGlass) {
    TIntroForm intro;
    EXPECT_EQ(intro.size(), QSize(470, 340));
    EXPECT_TRUE(intro.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(intro.parentWidget(), nullptr);
    EXPECT_EQ(intro.cursor().shape(), Qt::WaitCursor);
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((intro.geometry().center() - screenCentre).manhattanLength(), 2);

    EXPECT_LT(intro.InfoLabel->y(), intro.Label_Version_02->y()) << "status line at the top";
    EXPECT_TRUE(intro.InfoLabel->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(intro.InfoLabel->font().bold());
    EXPECT_EQ(intro.InfoLabel->palette().color(QPalette::WindowText), QColor(226, 0, 125));
    EXPECT_TRUE(intro.Label_Description_02->font().bold());
    EXPECT_EQ(intro.Label_Description_02->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_FALSE(intro.Image_Logo->pixmap().isNull());
    EXPECT_EQ(intro.Label_Notice->text(), TIntroForm::kLegalNotice);
    EXPECT_FALSE(TIntroForm::kLegalNotice.isEmpty());
}

TEST(IntroForm, ShowingReadsTheVersionTexts) {
    struct Case {
        VersionInfo::Numbers numbers;
        const char* shown;
    };
    const Case cases[] = {
        {{2, 1, 0, 0}, "2.1"}, {{2, 0, 1, 0}, "2.0.1"}, {{2, 1, 1, 147}, "2.1.1.147"}};
    for (const Case& c : cases) {
        VersionInfo info;
        info.fixed = VersionInfo::FixedPart{c.numbers, c.numbers, 0, 1};
        info.russianStrings = QMap<QString, QString>{
            {VersionInfo::FileDescription, QStringLiteral("Описание")},
            {VersionInfo::LegalCopyright, QStringLiteral("Все права защищены")}};
        TIntroForm intro(info);
        EXPECT_TRUE(intro.Label_Version_02->text().isEmpty()) << "read when shown";
        intro.show();
        EXPECT_EQ(intro.Label_Version_02->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(intro.Label_Description_02->text(), QStringLiteral("Описание"));
        EXPECT_EQ(intro.Label_Rights_02->text(), QStringLiteral("Все права защищены"));
    }
}

TEST(IntroForm, WithoutVersionResourceOrStringTableTheLabelsStayEmpty) {
    TIntroForm bare{VersionInfo{}};
    bare.show();
    EXPECT_TRUE(bare.Label_Version_02->text().isEmpty());
    EXPECT_TRUE(bare.Label_Description_02->text().isEmpty());
    EXPECT_TRUE(bare.Label_Rights_02->text().isEmpty());

    VersionInfo fixedOnly;
    fixedOnly.fixed = VersionInfo::FixedPart{{3, 0, 0, 0}, {3, 0, 0, 0}, 0, 1};
    TIntroForm intro(fixedOnly);
    intro.show();
    EXPECT_EQ(intro.Label_Version_02->text(), QStringLiteral("3.0"));
    EXPECT_TRUE(intro.Label_Description_02->text().isEmpty());
}

TEST(IntroForm, ShowIntroInfoCreatesOnceAndCloseIntroFreesIt) {
    std::unique_ptr<TIntroForm> intro;
    CloseIntro(intro); // nothing to close
    EXPECT_EQ(intro, nullptr);

    ShowIntroInfo(intro, QStringLiteral("Инициализация памяти..."));
    ASSERT_NE(intro, nullptr);
    EXPECT_TRUE(intro->isVisible());
    EXPECT_EQ(intro->InfoLabel->text(), QStringLiteral("Инициализация памяти..."));
    EXPECT_EQ(intro->Label_Version_02->text(),
              shortFileVersion(VersionInfo::program().fixed->fileVersion));
    const QPointer<TIntroForm> first = intro.get();

    ShowIntroInfo(intro, QStringLiteral("Подключение к базе данных..."));
    EXPECT_EQ(intro.get(), first.data());
    EXPECT_EQ(intro->InfoLabel->text(), QStringLiteral("Подключение к базе данных..."));
    EXPECT_EQ(introCount(), 1);

    CloseIntro(intro);
    EXPECT_EQ(intro, nullptr);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(introCount(), 0);
}
