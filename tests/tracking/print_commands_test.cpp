#include "schedule_tab_fixture.h"

#include "books/organization_form.h"
#include "report/ui/designer_window.h"
#include "report/ui/preview_window.h"
#include "tracking/buh_org_operations_form.h"
#include "tracking/print_commands.h"
#include "tracking/statistics_panel.h"
#include "widgets/button_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

namespace {

// What the preview held when it was shown.
struct Shown {
    int pages = 0;
    int tableRows = 0;
    QHash<QString, QString> objects; // texts by object name (first occurrence)
    QString pdfText;
    int currentRow = -2;
    QString detailStatus;
};

QString pdfToText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    p.waitForFinished(-1);
    return QString::fromUtf8(p.readAllStandardOutput());
}

class PrintCommandsTest : public ScheduleTabFixture {
protected:
    void SetUp() override {
        ScheduleTabFixture::SetUp();
        // The commands read the templates beside the program, as a user's copy would be.
        const QString makets = QCoreApplication::applicationDirPath() + QStringLiteral("/Makets");
        QDir().mkpath(makets);
        for (const char* name :
             {printing::kListTemplate, printing::kTableTemplate, printing::kOperationsListTemplate,
              printing::kOperationsTableTemplate}) {
            const QString target = makets + QLatin1Char('/') + QString::fromLatin1(name);
            if (!QFile::exists(target))
                QFile::copy(QStringLiteral(SROKO_SOURCE_DIR "/Makets/") + QString::fromLatin1(name),
                            target);
        }
        m_dialogs.onExec(QStringLiteral("report::PreviewWindow"), [this](QDialog& dialog) {
            auto& preview = static_cast<report::PreviewWindow&>(dialog);
            Shown s;
            s.pages = preview.report().pageCount();
            s.tableRows = static_cast<int>(preview.report().table.rows.size());
            for (const report::PreparedPage& page : preview.report().pages)
                for (const report::PreparedItem& item : page.items)
                    if (item.style && !s.objects.contains(item.style->name))
                        s.objects.insert(item.style->name, item.text());
            const QString pdf = m_tmp.filePath(QStringLiteral("out%1.pdf").arg(m_shown.size()));
            if (s.pages > 0 && preview.exportTo(report::PreviewWindow::Format::Pdf, pdf))
                s.pdfText = pdfToText(pdf);
            fb::Dataset* shownList = m_form ? m_form->qBuhHistory : m_tab->qBuhAccShed;
            s.currentRow = shownList->currentRow();
            s.detailStatus = m_tab->detailValue(QStringLiteral("Label_Status"))->text();
            m_shown << s;
            return int(QDialog::Rejected);
        });
        m_dialogs.onExec(QStringLiteral("report::DesignerWindow"), [this](QDialog& dialog) {
            auto& designer = static_cast<report::DesignerWindow&>(dialog);
            m_designed << designer.path();
            m_designedHasDt << (designer.workingTemplate().findObject(
                                    QStringLiteral("memo_buhdt")) != nullptr);
            return int(QDialog::Rejected);
        });
    }
    void TearDown() override {
        m_form.reset();
        ScheduleTabFixture::TearDown();
    }

    void trigger(QObject* window, const char* action) {
        QAction* a = window->findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(a, nullptr) << action;
        // Qt reports a hidden action as disabled; the operations window hides its table pair.
        if (a->isVisible())
            EXPECT_TRUE(a->isEnabled()) << action;
        a->trigger();
    }
    // The whole of 2025 in the period controls.
    void wholeYear() {
        m_tab->CB_BuhMonth_Begin->setCurrentIndex(0);
        m_tab->CB_BuhMonth_End->setCurrentIndex(11);
    }
    printing::PrintTarget tabTarget() {
        return {m_tab,
                &m_dialogs,
                m_tab->qBuhAccShed,
                &m_clock,
                ScheduleWindow::ScheduleTab,
                QStringLiteral("frxDBD_BuhAcc")};
    }
    QString writeFile(const char* name, const QByteArray& content) {
        const QString path = m_tmp.filePath(QString::fromLatin1(name));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return path;
    }

    QTemporaryDir m_tmp;
    QList<Shown> m_shown;
    QStringList m_designed;
    QList<bool> m_designedHasDt;
    std::unique_ptr<TBuhOrgOperationsForm> m_form;
};

TEST_F(PrintCommandsTest, TheScheduleTabPrintMenuHoldsTheFourCommandsWithTheirCaptions) {
    QMenu* menu = m_tab->PM_BuhAcc_Print;
    EXPECT_TRUE(menu->isEnabled());
    QStringList items;
    for (QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + "=" + a->text());
    EXPECT_EQ(items,
              (QStringList{
                  QStringLiteral("PM_BuhAcc_Print_ListEdit=Отредактировать макет для печати"),
                  QStringLiteral("PM_BuhAcc_Print_ListPrint=Простой список отчётов"),
                  QStringLiteral("-"),
                  QStringLiteral("PM_BuhAcc_Print_VerticalEdit=Отредактировать макет для "
                                 "печати"),
                  QStringLiteral("PM_BuhAcc_Print_VerticalPrint=Печать в виде таблицы "
                                 "\"Организации - Отчётности\""),
              }));
    EXPECT_EQ(printing::templatePath(QStringLiteral("Buh_Account_list.fr3")),
              QCoreApplication::applicationDirPath() +
                  QStringLiteral("/Makets/Buh_Account_list.fr3"));
}

TEST_F(PrintCommandsTest, TheListPrintHoldsEveryRowAndTheFilterTextsAndKeepsTheCurrentRow) {
    wholeYear();
    show();
    const int rows = static_cast<int>(shownIds().size());
    ASSERT_GT(rows, 5);
    ASSERT_TRUE(goTo(2));
    const int currentBefore = list().currentRow();
    const QString statusBefore = detail("Label_Status");

    trigger(m_tab, "PM_BuhAcc_Print_ListPrint");

    ASSERT_EQ(m_shown.size(), 1);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    const Shown& s = m_shown.first();
    EXPECT_EQ(s.tableRows, rows);
    const QHash<QString, QString> expected{
        {QStringLiteral("Memo_BuhAccounts"), QStringLiteral("Любая бухгалтерская отчётность")},
        {QStringLiteral("Memo_BuhDT"),
         QStringLiteral("C :  01 - Январь 2025       По :  12 - Декабрь 2025")},
        {QStringLiteral("Memo_BuhOrg"), QStringLiteral("Все организации")},
        {QStringLiteral("Memo_Buh_NeSdan"), QStringLiteral("Да")},
        {QStringLiteral("Memo_Buh_Sdan"), QStringLiteral("Да")},
        {QStringLiteral("Memo_Buh_Alarm_Podozrenue"), QStringLiteral("Да")},
        // no statistics asked for yet
        {QStringLiteral("Memo_BuhCount"), QStringLiteral("---")},
        {QStringLiteral("Memo_Warning_MinDays"), QStringLiteral("---")},
        {QStringLiteral("Memo_AlarmSdanPodozrit"), QStringLiteral("---")},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it)
        EXPECT_EQ(s.objects.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_TRUE(s.objects.value(QStringLiteral("Memo_BuhDT")).startsWith(QLatin1Char('C')));
    // The PDF holds the texts of every row and the header.
    for (const char* text : {"ООО Ромашка", "ИП Лютик", "НДС", "РСВ", "Просрочен",
                             "Любая бухгалтерская отчётность", "Все организации"})
        EXPECT_TRUE(s.pdfText.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(s.pdfText.contains(QStringLiteral("20.02.2025"))); // a deadline of the list
    // The engine walked the rows without moving the list or the detail panel.
    EXPECT_EQ(s.currentRow, currentBefore);
    EXPECT_EQ(s.detailStatus, statusBefore);
    EXPECT_EQ(list().fieldValue(QStringLiteral("ID")).toInt(), 2);
    EXPECT_EQ(m_tab->DBGrid_BuhHistory->currentIndex().row(), currentBefore);
    EXPECT_EQ(detail("Label_Status"), statusBefore);
}

TEST_F(PrintCommandsTest, TheTablePrintTakesTheControlsAsTheyAreAtPrintTime) {
    show();
    m_tab->Panel_Statistc->Btn_GetStatisic->click();
    const QString count = m_tab->Panel_Statistc->Label_BuhCount->text();
    ASSERT_NE(count, QStringLiteral("---"));
    // Unchecked after the show: the list still holds submitted rows, the header says otherwise.
    m_tab->CB_Buh_Sdan->setChecked(false);
    m_tab->RBtn_BuhAllDB->setChecked(true);

    trigger(m_tab, "PM_BuhAcc_Print_VerticalPrint");

    ASSERT_EQ(m_shown.size(), 1);
    const Shown& s = m_shown.first();
    EXPECT_EQ(s.objects.value(QStringLiteral("Memo_BuhDT")),
              QStringLiteral("Все отчёты, хранящиеся в базе данных"));
    EXPECT_EQ(s.objects.value(QStringLiteral("Memo_BuhOrg")),
              QStringLiteral("Отфильтрованные организации"));
    EXPECT_NE(s.objects.value(QStringLiteral("Memo_Buh_Sdan")), QStringLiteral("Да"));
    EXPECT_EQ(s.objects.value(QStringLiteral("Memo_Buh_Warning")), QStringLiteral("Да"));
    EXPECT_EQ(s.objects.value(QStringLiteral("Memo_BuhCount")), count);
    for (const char* text : {"ООО Ромашка", "ИП Лютик", "НДС", "РСВ", "Все отчёты"})
        EXPECT_TRUE(s.pdfText.contains(QString::fromUtf8(text))) << text;
}

TEST_F(PrintCommandsTest, OneOrganisationModeNamesTheOrganisation) {
    m_tab->RBtn_BuhOrg_One->click();
    onExec<TOrganization_Form>(QStringLiteral("TOrganization_Form"), [](TOrganization_Form& p) {
        EXPECT_TRUE(p.DataSet_O->locate(QStringLiteral("ID"), 10));
        return QDialog::Accepted;
    });
    emit m_tab->CB_BuhOrg->buttonClicked();
    ASSERT_EQ(m_tab->CB_BuhOrg->text(), QStringLiteral("ООО Ромашка"));
    wholeYear();
    show();
    trigger(m_tab, "PM_BuhAcc_Print_ListPrint");
    ASSERT_EQ(m_shown.size(), 1);
    EXPECT_EQ(m_shown.first().objects.value(QStringLiteral("Memo_BuhOrg")),
              QStringLiteral("Одна определённая организация - ООО Ромашка"));
}

TEST_F(PrintCommandsTest, AnEmptyOrClosedListIsRefusedBeforeAnythingIsLoaded) {
    for (const char* action : {"PM_BuhAcc_Print_ListPrint", "PM_BuhAcc_Print_VerticalPrint"}) {
        m_dialogs.clear();
        trigger(m_tab, action); // the list was never shown
        ASSERT_EQ(m_dialogs.messages().size(), 1) << action;
        const MessageRequest box = m_dialogs.lastMessage();
        EXPECT_EQ(box.text, QStringLiteral("Не могу напечатать отчет, так как нет данных."));
        EXPECT_EQ(box.caption, QStringLiteral("Список бухгалтерских очётов"));
        EXPECT_EQ(box.icon, MsgIcon::Warning);
    }
    // A shown list without rows.
    m_tab->SE_BuhYear_Begin->setValue(2030);
    m_tab->SE_BuhYear_End->setValue(2030);
    show();
    m_dialogs.clear();
    trigger(m_tab, "PM_BuhAcc_Print_ListPrint");
    EXPECT_EQ(m_dialogs.lastMessage().text,
              QStringLiteral("Не могу напечатать отчет, так как нет данных."));
    EXPECT_TRUE(m_shown.isEmpty());
}

TEST_F(PrintCommandsTest, ABrokenTemplateGivesTheEngineErrorAndKeepsTheRow) {
    wholeYear();
    show();
    ASSERT_TRUE(goTo(5));
    const struct {
        const char* file;
        QByteArray content;
    } broken[] = {{"garbage.fr3", "this is no template"},
                  {"foreign.fr3", "<?xml version=\"1.0\"?><TfrxReport/>"},
                  {"cut.fr3", "<?xml version=\"1.0\"?><SrokoReport version=\"1\"><Page"}};
    for (const auto& b : broken) {
        m_dialogs.clear();
        printing::printList(tabTarget(), writeFile(b.file, b.content),
                            printing::scheduleTabVariables(*m_tab, false));
        ASSERT_EQ(m_dialogs.messages().size(), 1) << b.file;
        EXPECT_EQ(m_dialogs.lastMessage().text,
                  QStringLiteral("Непредвиденная ошибка при работе с FastReport."));
        EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Список бухгалтерских очётов"));
        EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
        EXPECT_EQ(list().fieldValue(QStringLiteral("ID")).toInt(), 5);

        m_dialogs.clear();
        printing::editTemplate(tabTarget(), m_tmp.filePath(QString::fromLatin1(b.file)));
        ASSERT_EQ(m_dialogs.messages().size(), 1) << b.file;
        EXPECT_EQ(m_dialogs.lastMessage().text,
                  QStringLiteral("Непредвиденная ошибка при работе с FastReport."));
        EXPECT_EQ(m_dialogs.lastMessage().caption, QStringLiteral("Ошибка FastReport"));
        EXPECT_EQ(m_dialogs.lastMessage().icon, MsgIcon::Error);
    }
    EXPECT_TRUE(m_shown.isEmpty());
    EXPECT_TRUE(m_designed.isEmpty());
}

TEST_F(PrintCommandsTest, AMissingTemplateGivesAnEmptyReportWithoutAMessage) {
    wholeYear();
    show();
    const QString missing = m_tmp.filePath(QStringLiteral("none.fr3"));
    printing::printList(tabTarget(), missing, printing::scheduleTabVariables(*m_tab, false));
    ASSERT_EQ(m_shown.size(), 1);
    EXPECT_TRUE(m_shown.first().objects.isEmpty());
    printing::editTemplate(tabTarget(), missing);
    EXPECT_EQ(m_designed, QStringList{missing});
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(PrintCommandsTest, TheEditCommandsOpenTheDesignerOnTheirTemplatesEvenWithAClosedList) {
    trigger(m_tab, "PM_BuhAcc_Print_ListEdit");
    trigger(m_tab, "PM_BuhAcc_Print_VerticalEdit");
    EXPECT_EQ(m_designed,
              (QStringList{printing::templatePath(QStringLiteral("Buh_Account_list.fr3")),
                           printing::templatePath(QStringLiteral("Buh_Account_V.fr3"))}));
    EXPECT_EQ(m_designedHasDt, (QList<bool>{true, true}));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(PrintCommandsTest, TheOperationsWindowPrintsItsListAndTableAndOpensTheDesigner) {
    m_db->exec(QStringLiteral(
        "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES "
        "(1, 10, 1);"
        "INSERT INTO BUH_ACCOUNT_ORGANIZATION (BUH_ACCOUNT_ID, ORGANIZATION_ID, ON_OFF) VALUES "
        "(2, 10, 1);"));
    m_form = std::make_unique<TBuhOrgOperationsForm>(*m_env, 10, QStringLiteral("ООО Ромашка"),
                                                     m_window.get());
    m_form->LoadOrgAccountIds();
    m_form->RBtn_BuhAllDB->setChecked(true);
    m_form->SBtn_FilterClick();
    fb::Dataset& history = *m_form->qBuhHistory;
    history.fetchAll();
    ASSERT_GT(history.rowCount(), 2);
    history.setCurrentRow(1);
    const QVariant id = history.fieldValue(QStringLiteral("ID"));

    QStringList items;
    for (QAction* a : m_form->PM_Print->actions())
        if (!a->isSeparator())
            items << a->objectName() + (a->isVisible() ? "" : " (hidden)");
    EXPECT_EQ(items, (QStringList{"PM_Print_EditMaket", "PM_Print_Print",
                                  "PM_BuhAcc_Print_VerticalEdit (hidden)",
                                  "PM_BuhAcc_Print_VerticalPrint (hidden)"}));

    m_form->RBtn_Buh_Sdan->setChecked(true);
    trigger(m_form.get(), "PM_Print_Print");
    m_form->RBtn_Buh_SdanNesdan->setChecked(true);
    trigger(m_form.get(), "PM_BuhAcc_Print_VerticalPrint");
    ASSERT_EQ(m_shown.size(), 2);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    for (const Shown& s : m_shown) {
        EXPECT_EQ(s.objects.value(QStringLiteral("Memo_BuhDT")),
                  QStringLiteral("Все отчёты, хранящиеся в базе данных  ( только для "
                                 "прикреплённых к организации отчётностей )"));
        EXPECT_EQ(s.objects.value(QStringLiteral("Memo_BuhAccounts")),
                  QStringLiteral("Любая бухгалтерская отчётность"));
        EXPECT_EQ(s.objects.value(QStringLiteral("Memo_BuhCount")), m_form->Label_BuhCount->text());
        EXPECT_TRUE(s.pdfText.contains(QStringLiteral("НДС")));
        EXPECT_EQ(s.currentRow, 1);
    }
    EXPECT_EQ(m_shown[0].objects.value(QStringLiteral("Memo_BuhType")),
              QStringLiteral("Только сданные отчёты"));
    EXPECT_EQ(m_shown[1].objects.value(QStringLiteral("Memo_BuhType")),
              QStringLiteral("Любые - сданные и не сданные отчёты "));
    EXPECT_EQ(m_shown[0].tableRows, history.rowCount());
    EXPECT_EQ(history.fieldValue(QStringLiteral("ID")), id);

    trigger(m_form.get(), "PM_Print_EditMaket");
    trigger(m_form.get(), "PM_BuhAcc_Print_VerticalEdit");
    EXPECT_EQ(m_designed,
              (QStringList{printing::templatePath(QStringLiteral("Buh_Account_Org.fr3")),
                           printing::templatePath(QStringLiteral("Buh_Account_V2.fr3"))}));
}

} // namespace
