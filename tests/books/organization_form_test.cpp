#include "books_fixture.h"

#include "books/organization_form.h"
#include "widgets/data_grid.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>

namespace {

constexpr char kSeed[] =
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT) VALUES (0, "
    "'Служебная запись', 4, 2);"
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT) VALUES (10, "
    "'ООО Ромашка', 0, 2);"
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT) VALUES (20, "
    "'ИП Лютик', 1, 1);"
    "INSERT INTO ORGANIZATION (ID, NAME, BUH_TAX_SYSTEM_MAIN, BUH_TAX_SYSTEM_ADDIT) VALUES (30, "
    "'ООО Лютиковый луг', 3, 0);";

class OrganizationPickerTest : public BooksFixture {
protected:
    QString seedSql() const override { return QString::fromUtf8(kSeed); }
};

} // namespace

TEST_F(OrganizationPickerTest, SearchCountsTheShownRowsAndAnEmptyListRefusesTheChoice) {
    TOrganization_Form picker(*m_env);
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Организации"));
    EXPECT_TRUE(picker.RBtn_Select->isChecked());
    EXPECT_EQ(picker.Label_Count->text(), QStringLiteral("Всего организаций ( 4 )  "));
    EXPECT_EQ(picker.Label_Count->palette().color(QPalette::WindowText), QColor(91, 249, 134));
    EXPECT_TRUE(picker.Btn_OK->isEnabled());

    struct Case {
        const char* search;
        int shown;
    } cases[] = {{"лют", 2}, {"ЛЮТИК", 2}, {"ромаш", 1}, {"zzz", 0}, {"", 4}};
    for (const Case& c : cases) {
        picker.Edit_Search->clear();
        typeText(picker.Edit_Search, QString::fromUtf8(c.search));
        EXPECT_EQ(picker.DataSet_O->rowCount(), c.shown) << c.search;
        EXPECT_EQ(picker.Label_Count->text(),
                  QStringLiteral("Всего организаций ( %1 )  ").arg(c.shown))
            << c.search;
        EXPECT_EQ(picker.Btn_OK->isEnabled(), c.shown > 0) << c.search;
    }

    typeText(picker.Edit_Search, QStringLiteral("zzz"));
    picker.show();
    // A real double click on the empty list reaches the refusal although Btn_OK is disabled.
    QTest::mouseDClick(picker.DBGrid_Org->viewport(), Qt::LeftButton, {}, QPoint(30, 30));
    ASSERT_EQ(m_dialogs.shown().size(), 1);
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Нет такой организации для фильтрации."));
    EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Организации"));
    EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Warning);
    EXPECT_TRUE(picker.isVisible());

    picker.Edit_Search->clear();
    typeText(picker.Edit_Search, QStringLiteral("лютик"));
    QTest::keyClick(picker.Edit_Search, Qt::Key_Down);
    EXPECT_EQ(picker.selectedName(), QStringLiteral("ООО Лютиковый луг"));
    QTest::keyClick(picker.Edit_Search, Qt::Key_Up);
    EXPECT_EQ(picker.selectedName(), QStringLiteral("ИП Лютик"));
    shot(&picker, QStringLiteral("organization_picker"));
    picker.Btn_OK->click();
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_EQ(picker.selectedId().toInt(), 20);
}

TEST_F(OrganizationPickerTest, TheServiceRecordIsPainted) {
    TOrganization_Form picker(*m_env);
    ASSERT_TRUE(picker.DataSet_O->locate(QStringLiteral("ID"), 0));
    const int service = picker.DataSet_O->currentRow();
    const QModelIndex cell = picker.model->index(service, 0);
    EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(198, 244, 216));
    EXPECT_EQ(cell.data(DatasetModel::HighlightedForegroundRole).value<QColor>(),
              QColor(192, 243, 187));
    ASSERT_TRUE(picker.DataSet_O->locate(QStringLiteral("ID"), 10));
    const QModelIndex client = picker.model->index(picker.DataSet_O->currentRow(), 0);
    EXPECT_FALSE(client.data(Qt::BackgroundRole).isValid());
}

TEST_F(OrganizationPickerTest, AnyOrNoneLocksTheSearchAndAcceptsWithoutARow) {
    TOrganization_Form picker(*m_env);
    typeText(picker.Edit_Search, QStringLiteral("zzz"));
    picker.RBtn_None->click();
    EXPECT_TRUE(picker.Edit_Search->text().isEmpty());
    EXPECT_FALSE(picker.Edit_Search->isEnabled());
    EXPECT_FALSE(picker.DBGrid_Org->isEnabled());
    EXPECT_EQ(picker.Edit_Search->palette().color(QPalette::Base),
              QApplication::palette(picker.Edit_Search).color(QPalette::Button));
    picker.RBtn_Select->click();
    EXPECT_TRUE(picker.Edit_Search->isEnabled());
    EXPECT_TRUE(picker.DBGrid_Org->isEnabled());

    // Shown with "any" checked, the window applies it at once.
    picker.RBtn_Any->setChecked(true);
    picker.show();
    EXPECT_FALSE(picker.Edit_Search->isEnabled());
    picker.Btn_OK->click();
    EXPECT_EQ(picker.result(), QDialog::Accepted);
    EXPECT_TRUE(m_dialogs.shown().isEmpty());
}

TEST_F(OrganizationPickerTest, KeepsOnlyTheStorageMarkAndSaysWhenTheFileIsUnusable) {
    {
        TOrganization_Form picker(*m_env);
        picker.reject();
    }
    EXPECT_TRUE(m_ini->hasSection(QStringLiteral("CASH")));
    EXPECT_EQ(m_ini->keys(QStringLiteral("CASH")), QStringList{QStringLiteral("Version")});
    EXPECT_TRUE(m_dialogs.shown().isEmpty());

    // A folder where the file should be can be neither read nor written.
    IniFile broken(m_db->folder() + QStringLiteral("/BrokenIni"));
    QDir(m_db->folder()).mkdir(QStringLiteral("BrokenIni"));
    BooksEnvironment env = *m_env;
    BooksEnvironment brokenEnv{env.attachment, env.dialogs, env.clock,         broken,
                               env.busy,       env.engine,  env.organizations, env.assignments};
    {
        TOrganization_Form picker(brokenEnv);
        EXPECT_EQ(picker.DataSet_O->rowCount(), 4); // the list opens all the same
        picker.reject();
    }
    ASSERT_EQ(m_dialogs.shown().size(), 2);
    EXPECT_EQ(m_dialogs.messages().at(0).text,
              QStringLiteral("Ошибка чтения или восстановления параметров."));
    EXPECT_EQ(m_dialogs.messages().at(1).text, QStringLiteral("Ошибка записи параметров."));
    for (const MessageRequest& box : m_dialogs.messages()) {
        EXPECT_EQ(box.caption, QStringLiteral("ini-файл"));
        EXPECT_EQ(box.icon, MsgIcon::Error);
    }
}
