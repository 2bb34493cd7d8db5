#include "app/about_form.h"

#include "fb/attachment.h"
#include "fb/error.h"
#include "support/test_database.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

VersionInfo fixedPartOnly() {
    VersionInfo info;
    info.fixed = VersionInfo::FixedPart{{2, 0, 1, 0}, {2, 0, 1, 0}, 0x40004, 1};
    return info;
}

QStringList listed(const TAboutForm& form) {
    QStringList result;
    for (int i = 0; i < form.LB_Version->count(); ++i)
        result << form.LB_Version->item(i)->text();
    return result;
}

} // namespace

TEST(AboutForm, FixedTextsFrameAndButton) {
    TAboutForm form(VersionInfo::program(), nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(form.size(), QSize(562, 483));
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed frame";
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.Panel_Header->height(), 57);
    EXPECT_EQ(form.Panel_Header->palette().color(QPalette::Window), QColor(198, 210, 244));
    EXPECT_EQ(form.Label_Title->text(), QStringLiteral("О программе Сроковед"));
    EXPECT_TRUE(form.Label_Title->font().bold());
    EXPECT_EQ(form.Label_Date->text(), QStringLiteral("версия от 7 марта 2019"));
    EXPECT_EQ(form.Label_BigVersion->text(), QStringLiteral("2.1 "));
    EXPECT_TRUE(form.Label_BigVersion->font().bold());
    EXPECT_GT(form.Label_BigVersion->font().pixelSize(), form.Label_Title->fontInfo().pixelSize());
    EXPECT_EQ(form.Label_BigVersion->palette().color(QPalette::WindowText), QColor(226, 0, 125));
    ASSERT_EQ(form.PC_About->count(), 1);
    EXPECT_EQ(form.PC_About->tabText(0), QStringLiteral("О программе"));
    EXPECT_EQ(form.Label_Purpose->text(),
              QStringLiteral(
                  "Программа предназначена для составления расписания бухгалтерской отчётности"));
    EXPECT_TRUE(form.Label_Purpose->font().bold());
    EXPECT_EQ(form.Label_Description->text(), QStringLiteral("Описание :"));
    EXPECT_EQ(form.Label_ShellVersion->text(), QStringLiteral("Версия оболочки :"));
    EXPECT_EQ(form.Label_BaseVersion->text(), QStringLiteral("Версия базы :"));
    EXPECT_EQ(form.Label_Rights->text(), QStringLiteral("Права :"));
    EXPECT_FALSE(form.Image_Icon->pixmap().isNull());
    EXPECT_TRUE(form.Memo_Version->isReadOnly());
    EXPECT_EQ(form.Btn_Close->text(), QStringLiteral("Закрыть"));
    EXPECT_TRUE(form.Btn_Close->isDefault());
}

TEST(AboutForm, CloseButtonEnterAndEscCloseTheWindow) {
    for (const auto key : {Qt::Key_Escape, Qt::Key_Return}) {
        TAboutForm form(VersionInfo::program(), nullptr);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, key);
        EXPECT_FALSE(form.isVisible()) << key;
    }
    TAboutForm form(VersionInfo::program(), nullptr);
    form.show();
    QTest::mouseClick(form.Btn_Close, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST(AboutForm, ProgramResourceFillsTheLinesAndTheList) {
    TAboutForm form(VersionInfo::program(), nullptr);
    const VersionTexts expected = versionTexts(VersionInfo::program());
    EXPECT_EQ(form.Label_ShellVersion_Value->text(), expected.fileVersion);
    EXPECT_EQ(form.Label_Description_Value->text(),
              QStringLiteral("Сроковед - расписание сдачи бухгалтерской отчётности"));
    EXPECT_EQ(form.Label_Rights_Value->text(), expected.legalCopyright);
    EXPECT_EQ(form.versionValues(), expected.values);
    ASSERT_EQ(form.LB_Version->count(), expected.values.size());
    EXPECT_TRUE(form.Label_BaseVersion_Value->text().isEmpty()) << "no connection";
}

TEST(AboutForm, ResourceWithoutStringTableListsTheFixedPartAndSelectingShowsValues) {
    TAboutForm form(fixedPartOnly(), nullptr);
    EXPECT_EQ(listed(form),
              (QStringList{QStringLiteral("ProductVersion"), QStringLiteral("OperatingSystem"),
                           QStringLiteral("FileType")}));
    EXPECT_EQ(form.Label_ShellVersion_Value->text(), QStringLiteral("2.0.1"));
    EXPECT_TRUE(form.Label_Description_Value->text().isEmpty());
    EXPECT_TRUE(form.Label_Rights_Value->text().isEmpty());
    // The first name is selected at once.
    EXPECT_EQ(form.LB_Version->currentRow(), 0);
    EXPECT_EQ(form.Memo_Version->toPlainText(), QStringLiteral("2.0.1.0"));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const std::pair<int, const char*> clicks[] = {
        {2, "Application"}, {1, "Windows NT with 32 bit Windows"}, {0, "2.0.1.0"}};
    for (const auto& [row, value] : clicks) {
        const QRect item = form.LB_Version->visualItemRect(form.LB_Version->item(row));
        QTest::mouseClick(form.LB_Version->viewport(), Qt::LeftButton, {}, item.center());
        EXPECT_EQ(form.Memo_Version->toPlainText(), QString::fromLatin1(value)) << row;
    }
}

TEST(AboutForm, WithoutVersionResourceTheTextsAndTheListStayEmpty) {
    TAboutForm form(VersionInfo{}, nullptr);
    EXPECT_TRUE(form.Label_ShellVersion_Value->text().isEmpty());
    EXPECT_TRUE(form.Label_Description_Value->text().isEmpty());
    EXPECT_TRUE(form.Label_Rights_Value->text().isEmpty());
    EXPECT_EQ(form.LB_Version->count(), 0);
    EXPECT_TRUE(form.Memo_Version->toPlainText().isEmpty());
}

TEST(AboutForm, DatabaseVersionComesFromTheSettingsRowOfUserTwo) {
    TestDatabase db;
    auto attachment = db.connect();
    {
        TAboutForm form(VersionInfo::program(), attachment.get());
        EXPECT_EQ(form.Label_BaseVersion_Value->text(), QStringLiteral("2.1"))
            << "the schema's own row";
    }
    // Only user 2's row counts; the window reads what is committed at the moment it opens.
    db.exec(QStringLiteral("INSERT INTO USERS_SETTINGS (USERS_ID, SETTINGS) VALUES (1, '9.9');"
                           "UPDATE USERS_SETTINGS SET SETTINGS = '2.1.5' WHERE USERS_ID = 2"));
    TAboutForm form(VersionInfo::program(), attachment.get());
    EXPECT_EQ(form.Label_BaseVersion_Value->text(), QStringLiteral("2.1.5"));
}

TEST(AboutForm, DatabaseVersionWithoutItsRowReadsAsAnError) {
    TestDatabase db;
    db.exec(QStringLiteral("DELETE FROM USERS_SETTINGS"));
    auto attachment = db.connect();
    TAboutForm form(VersionInfo::program(), attachment.get());
    EXPECT_EQ(form.Label_BaseVersion_Value->text(), QStringLiteral("ошибка определения"));
}

TEST(AboutForm, DatabaseVersionStaysEmptyWithoutAnOpenConnection) {
    fb::Attachment neverOpened;
    TAboutForm form(VersionInfo::program(), &neverOpened);
    EXPECT_TRUE(form.Label_BaseVersion_Value->text().isEmpty());
    EXPECT_FALSE(form.Label_ShellVersion_Value->text().isEmpty()) << "the rest is still read";
}

TEST(AboutForm, DatabaseErrorIsNotCaughtByTheWindow) {
    TestDatabase db;
    db.exec(QStringLiteral("DROP TABLE USERS_SETTINGS"));
    auto attachment = db.connect();
    EXPECT_THROW(TAboutForm(VersionInfo::program(), attachment.get()), fb::Error);
}
