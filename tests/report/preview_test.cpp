#include "report/engine.h"
#include "report/ui/page_view.h"
#include "report/ui/preview_window.h"
#include "report_fixtures.h"

#include <QAction>
#include <QLabel>
#include <QPrinter>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace report;

namespace {

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        m_source = fixtures::rows(150);
        m_window = std::make_unique<PreviewWindow>(
            prepareReport(fixtures::listTemplate(), {{fixtures::kDataSet, &m_source}}));
        m_window->setMessageHandler([this](const QString& text, bool isError) {
            m_messages.push_back({text, isError});
        });
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    QAction* action(const QString& text) const {
        for (QToolBar* bar : m_window->findChildren<QToolBar*>()) {
            for (QAction* a : bar->actions()) {
                if (a->text() == text)
                    return a;
            }
        }
        ADD_FAILURE() << "no action " << text.toStdString();
        return new QAction(m_window.get());
    }

    TableRowSource m_source;
    std::unique_ptr<PreviewWindow> m_window;
    QList<std::pair<QString, bool>> m_messages;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(Preview, OpensAtFullSizeOnTheFirstPageAndMovesBetweenPages) {
    const int pages = m_window->report().pageCount();
    ASSERT_GT(pages, 2);
    EXPECT_DOUBLE_EQ(m_window->pageView()->zoom(), 1.0);
    EXPECT_EQ(m_window->currentPage(), 0);
    auto* pageBox = m_window->findChild<QSpinBox*>();
    EXPECT_EQ(pageBox->value(), 1);
    bool countShown = false;
    for (QLabel* label : m_window->findChildren<QLabel*>())
        countShown = countShown || label->text() == QStringLiteral(" из %1 ").arg(pages);
    EXPECT_TRUE(countShown);

    action(QStringLiteral("Следующая"))->trigger();
    EXPECT_EQ(m_window->currentPage(), 1);
    EXPECT_EQ(pageBox->value(), 2);
    action(QStringLiteral("Последняя"))->trigger();
    EXPECT_EQ(m_window->currentPage(), pages - 1);
    action(QStringLiteral("Следующая"))->trigger();
    EXPECT_EQ(m_window->currentPage(), pages - 1);
    action(QStringLiteral("Предыдущая"))->trigger();
    EXPECT_EQ(m_window->currentPage(), pages - 2);
    action(QStringLiteral("Первая"))->trigger();
    EXPECT_EQ(m_window->currentPage(), 0);
    pageBox->setValue(3);
    EXPECT_EQ(m_window->currentPage(), 2);
}

TEST_F(Preview, ZoomStepsAndFits) {
    action(QStringLiteral("+"))->trigger();
    EXPECT_DOUBLE_EQ(m_window->pageView()->zoom(), 1.5);
    action(QStringLiteral("−"))->trigger();
    action(QStringLiteral("−"))->trigger();
    EXPECT_DOUBLE_EQ(m_window->pageView()->zoom(), 0.75);
    action(QStringLiteral("Страница целиком"))->trigger();
    const double whole = m_window->pageView()->zoom();
    action(QStringLiteral("По ширине"))->trigger();
    EXPECT_GT(m_window->pageView()->zoom(), whole);
    // The page stays where it was while zooming.
    m_window->goToPage(2);
    action(QStringLiteral("+"))->trigger();
    EXPECT_EQ(m_window->currentPage(), 2);
}

TEST_F(Preview, FindsTextPageByPageAndMarksIt) {
    EXPECT_TRUE(m_window->findNext(QStringLiteral("организация 10")));
    const int first = m_window->currentPage();
    // "Организация 10", then 100 to 109 further on.
    int found = 1;
    while (m_window->findNext(QStringLiteral("организация 10")))
        ++found;
    EXPECT_EQ(found, 11);
    EXPECT_GE(m_window->currentPage(), first);
    // After the last one the search starts again at the top.
    EXPECT_TRUE(m_window->findNext(QStringLiteral("организация 10")));
    EXPECT_EQ(m_window->currentPage(), first);
    EXPECT_FALSE(m_window->findNext(QStringLiteral("нет такого текста")));
}

TEST_F(Preview, ExportsAndPrintsTheShownPages) {
    const QString pdf = m_dir.filePath(QStringLiteral("preview.pdf"));
    EXPECT_TRUE(m_window->exportTo(PreviewWindow::Format::Pdf, pdf));
    EXPECT_TRUE(fixtures::pdfText(pdf).contains(QStringLiteral("Организация 150")));
    const QString xlsx = m_dir.filePath(QStringLiteral("preview.xlsx"));
    m_window->setSavePathProvider([&](PreviewWindow::Format) { return xlsx; });
    m_window->exportAs(PreviewWindow::Format::Xlsx);
    EXPECT_TRUE(
        QString::fromUtf8(fixtures::zipEntry(xlsx, QStringLiteral("xl/worksheets/sheet1.xml")))
            .contains(QStringLiteral("Организация 150")));

    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString printed = m_dir.filePath(QStringLiteral("printed.pdf"));
    printer.setOutputFileName(printed);
    EXPECT_TRUE(m_window->printTo(printer));
    EXPECT_EQ(fixtures::pdfText(printed).count(QLatin1Char('\f')), m_window->report().pageCount());
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(Preview, AnUnwritableExportSaysWhy) {
    const QString bad = m_dir.filePath(QStringLiteral("missing/folder/list.pdf"));
    EXPECT_FALSE(m_window->exportTo(PreviewWindow::Format::Pdf, bad));
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].second);
    EXPECT_TRUE(m_messages[0].first.contains(bad));
}

TEST_F(Preview, DrawsThePages) {
    const QImage shot = m_window->pageView()->viewport()->grab().toImage();
    // Some dark pixels of text on the white page.
    int dark = 0;
    for (int y = 0; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2)
            dark += qGray(shot.pixel(x, y)) < 80;
    }
    EXPECT_GT(dark, 100);
}
