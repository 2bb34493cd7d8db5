#include "app/about_form.h"
#include "app/intro_form.h"
#include "support/test_database.h"
#include "widgets/busy_indicator.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

// What the windows look like when drawn offscreen. Setting SROKO_SCREENSHOT_DIR keeps the
// pictures (intro.png, about.png, wait.png) in that folder for a look by eye.

namespace {

void keep(const QImage& image, const char* name) {
    const QString folder = qEnvironmentVariable("SROKO_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        image.save(QDir(folder).filePath(QString::fromLatin1(name)));
}

// Counts the pixels near a colour in a part of the picture.
int pixelsNear(const QImage& image, const QRect& area, const QColor& colour, int tolerance = 40) {
    int count = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - colour.red()) + qAbs(pixel.green() - colour.green()) +
                    qAbs(pixel.blue() - colour.blue()) <=
                tolerance)
                ++count;
        }
    return count;
}

} // namespace

TEST(WindowPictures, SplashShowsTheStatusLineAndTheTextsOnItsPicture) {
    std::unique_ptr<TIntroForm> intro;
    ShowIntroInfo(intro, QStringLiteral("Подключение к базе данных..."));
    const QImage image = intro->grab().toImage();
    keep(image, "intro.png");
    ASSERT_EQ(image.size(), QSize(470, 340));
    // Magenta letters of the status line in its band, white letters of the description.
    EXPECT_GT(pixelsNear(image, intro->InfoLabel->geometry(), QColor(226, 0, 125)), 50);
    EXPECT_GT(pixelsNear(image, intro->Label_Description_02->geometry(), Qt::white, 30), 50);
    CloseIntro(intro);
}

TEST(WindowPictures, AboutWindowWithADatabase) {
    TestDatabase db(true);
    auto attachment = db.connect();
    TAboutForm form(VersionInfo::program(), attachment.get());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QImage image = form.grab().toImage();
    keep(image, "about.png");
    ASSERT_EQ(image.size(), QSize(562, 483));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(198, 210, 244)) << "header strip";
    EXPECT_NE(image.pixelColor(2, 60), QColor(198, 210, 244)) << "header ends at 57";
    EXPECT_GT(pixelsNear(image, form.Label_BigVersion->geometry(), QColor(226, 0, 125)), 100);
    EXPECT_EQ(form.Label_BaseVersion_Value->text(), QStringLiteral("2.1"));
}

TEST(WindowPictures, BusyWindowShowsTheAnimationAndTheText) {
    QWidget owner;
    owner.resize(600, 400);
    owner.show();
    BusyIndicator busy;
    busy.ShowWaitForm(&owner, QStringLiteral("Подсчёт статистики ..."));
    TWaitForm* form = busy.form();
    const QImage image = form->grab().toImage();
    keep(image, "wait.png");
    ASSERT_EQ(image.size(), QSize(476, 73));
    const QRect animation = form->JvAnimatedImage->geometry();
    EXPECT_GT(pixelsNear(image, animation, QColor(226, 0, 125), 60), 10) << "the bright dot";
    // The label's text is drawn in the normal (not the disabled) text colour.
    const QColor text = form->lblInfo->palette().color(QPalette::Active, QPalette::WindowText);
    EXPECT_GT(pixelsNear(image, form->lblInfo->geometry(), text, 30), 50);
    busy.HideWaitForm();
}
