#include "report/report.h"
#include "report/template_file.h"
#include "report/ui/designer_canvas.h"
#include "report/ui/designer_window.h"
#include "report/ui/page_settings_dialog.h"
#include "report/ui/property_panel.h"
#include "report_fixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace report;

namespace {

constexpr int kDataBand = 3; // of the list fixture

class Designer : public ::testing::Test {
protected:
    void open(const QString& path) {
        m_report.load(path);
        m_report.setDataSet(fixtures::kDataSet, &m_source);
        m_window = std::make_unique<DesignerWindow>(m_report, path);
        m_window->setMessageHandler([this](const QString& text) { m_messages.push_back(text); });
        m_window->setCloseQuestion([] { return DesignerWindow::CloseAnswer::Discard; });
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void openList() {
        const QString path = m_dir.filePath(QStringLiteral("Buh_Account_list.fr3"));
        TemplateFile::save(fixtures::listTemplate(), path);
        open(path);
    }
    DesignerCanvas* canvas() const { return m_window->canvas(); }
    PropertyPanel* panel() const { return m_window->properties(); }
    ReportObject& object(int band, int index) {
        return m_window->workingTemplate().bands[band].objects[index];
    }
    double px() const { return canvas()->zoom() * canvas()->logicalDpiX() / 25.4; }

    QTemporaryDir m_dir;
    TableRowSource m_source = fixtures::rows(40);
    Report m_report;
    std::unique_ptr<DesignerWindow> m_window;
    QStringList m_messages;
};

} // namespace

TEST_F(Designer, AMissingTemplateOpensEmptyAndGetsBandsAndFields) {
    open(m_dir.filePath(QStringLiteral("Buh_Account_V.fr3")));
    EXPECT_TRUE(m_window->workingTemplate().isEmpty());
    EXPECT_EQ(m_window->workingTemplate().page, PageSettings());
    m_window->addObject(ObjectKind::Text);
    EXPECT_EQ(m_messages.size(), 1); // no band to put it on
    m_window->addBand(BandKind::ReportSummary);
    m_window->addBand(BandKind::MasterData);
    m_window->addBand(BandKind::PageHeader);
    const auto& bands = m_window->workingTemplate().bands;
    ASSERT_EQ(bands.size(), 3);
    EXPECT_EQ(bands[0].kind, BandKind::PageHeader);
    EXPECT_EQ(bands[1].kind, BandKind::MasterData);
    EXPECT_EQ(bands[1].dataSet, fixtures::kDataSet);
    EXPECT_EQ(bands[2].kind, BandKind::ReportSummary);
    canvas()->select(1);
    m_window->addField(fixtures::kDataSet, QStringLiteral("NAME"));
    ASSERT_EQ(bands[1].objects.size(), 1);
    EXPECT_EQ(bands[1].objects[0].text, QStringLiteral("[frxDBD_List.\"NAME\"]"));
    // Saved through "save as" the new template prints its field.
    const QString path = m_dir.filePath(QStringLiteral("new.fr3"));
    m_window->setSaveAsPathProvider([&] { return path; });
    EXPECT_TRUE(m_window->saveAs());
    EXPECT_EQ(m_report.prepare().table.rows.size(), 40);
}

TEST_F(Designer, EditSaveReloadKeepsEveryProperty) {
    openList();
    canvas()->select(kDataBand, 1); // Memo_Date
    ReportObject expected = object(kDataBand, 1);
    panel()->nameEdit()->clear();
    QTest::keyClicks(panel()->nameEdit(), QStringLiteral("Memo_Deadline"));
    expected.name = QStringLiteral("Memo_Deadline");
    panel()->textEdit()->setPlainText(QStringLiteral("Срок: [frxDBD_List.\"DT_ACTION\"]\nвторая"));
    expected.text = QStringLiteral("Срок: [frxDBD_List.\"DT_ACTION\"]\nвторая");
    panel()->geometryBox(0)->setValue(101.5);
    panel()->geometryBox(3)->setValue(7);
    expected.rect = QRectF(101.5, 0, 40, 7);
    panel()->sizeBox()->setValue(12.5);
    expected.font.sizePt = 12.5;
    panel()->boldBox()->setChecked(true);
    panel()->italicBox()->setChecked(true);
    panel()->underlineBox()->setChecked(true);
    expected.font.bold = expected.font.italic = expected.font.underline = true;
    panel()->hAlignBox()->setCurrentIndex(2);
    expected.hAlign = HAlign::Right;
    panel()->vAlignBox()->setCurrentIndex(1);
    expected.vAlign = VAlign::Center;
    panel()->frameBox(FrameLeft)->setChecked(false);
    panel()->frameBox(FrameTop)->setChecked(false);
    expected.frame.sides = FrameRight | FrameBottom;
    panel()->frameWidthBox()->setValue(0.5);
    expected.frame.widthMm = 0.5;
    QColor next;
    panel()->setColorPicker([&](const QColor&, const QString&) { return next; });
    next = QColor(200, 0, 0);
    panel()->textColorButton()->click();
    expected.textColor = next;
    next = QColor(255, 255, 200);
    panel()->fillColorButton()->click();
    expected.fillColor = next;
    next = QColor(0, 0, 255);
    panel()->frameColorButton()->click();
    expected.frame.color = next;
    panel()->wordWrapBox()->setChecked(false);
    expected.wordWrap = false;
    panel()->stretchBox()->setChecked(true);
    expected.stretch = true;
    QTest::keyClicks(panel()->dateFormatEdit(), QStringLiteral("dd MMMM yyyy"));
    expected.dateFormat = QStringLiteral("dd MMMM yyyy");
    QTest::keyClicks(panel()->fillFieldEdit(), QStringLiteral("ROW_COLOR"));
    expected.fillField = QStringLiteral("ROW_COLOR");
    EXPECT_EQ(object(kDataBand, 1), expected);

    canvas()->select(kDataBand);
    panel()->bandHeightBox()->setValue(8);
    EXPECT_TRUE(m_window->isModified());
    EXPECT_TRUE(m_window->save());
    EXPECT_FALSE(m_window->isModified());

    const ReportTemplate reloaded = TemplateFile::load(m_window->path());
    EXPECT_EQ(reloaded, m_window->workingTemplate());
    EXPECT_EQ(reloaded.bands[kDataBand].objects[1], expected);
    EXPECT_DOUBLE_EQ(reloaded.bands[kDataBand].heightMm, 8);
    EXPECT_EQ(m_report.reportTemplate(), reloaded);
}

TEST_F(Designer, MouseAndKeysMoveAndResizeOnTheGridAndUndoRedoThem) {
    openList();
    const QRectF before = object(kDataBand, 1).rect;
    const QRectF area = canvas()->objectArea(kDataBand, 1);
    const QPoint start = area.center().toPoint();
    QTest::mousePress(canvas(), Qt::LeftButton, {}, start);
    QTest::mouseMove(canvas(), start + QPoint(qRound(10.3 * px()), qRound(2.2 * px())));
    QTest::mouseRelease(canvas(), Qt::LeftButton, {},
                        start + QPoint(qRound(10.3 * px()), qRound(2.2 * px())));
    EXPECT_EQ(canvas()->selectedObject(), 1);
    EXPECT_DOUBLE_EQ(object(kDataBand, 1).rect.x(), before.x() + 10);
    EXPECT_DOUBLE_EQ(object(kDataBand, 1).rect.y(), before.y() + 2);

    const QPoint handle = canvas()->objectArea(kDataBand, 1).bottomRight().toPoint();
    QTest::mousePress(canvas(), Qt::LeftButton, {}, handle);
    QTest::mouseMove(canvas(), handle + QPoint(qRound(5 * px()), qRound(3 * px())));
    QTest::mouseRelease(canvas(), Qt::LeftButton, {},
                        handle + QPoint(qRound(5 * px()), qRound(3 * px())));
    EXPECT_DOUBLE_EQ(object(kDataBand, 1).rect.width(), before.width() + 5);
    EXPECT_DOUBLE_EQ(object(kDataBand, 1).rect.height(), before.height() + 3);

    canvas()->setFocus();
    QTest::keyClick(canvas(), Qt::Key_Left);
    QTest::keyClick(canvas(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(object(kDataBand, 1).rect.x(), before.x() + 9);
    EXPECT_DOUBLE_EQ(object(kDataBand, 1).rect.height(), before.height() + 4);
    // The property panel follows.
    EXPECT_DOUBLE_EQ(panel()->geometryBox(0)->value(), before.x() + 9);

    for (int i = 0; i < 4; ++i)
        m_window->undo();
    EXPECT_EQ(object(kDataBand, 1).rect, before);
    EXPECT_FALSE(m_window->canUndo());
    m_window->redo();
    EXPECT_DOUBLE_EQ(object(kDataBand, 1).rect.x(), before.x() + 10);
    EXPECT_TRUE(m_window->canRedo());
}

TEST_F(Designer, TextIsEditedInPlace) {
    openList();
    const QPoint at = canvas()->objectArea(kDataBand, 0).center().toPoint();
    QTest::mouseDClick(canvas(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(canvas()->isEditingText());
    auto* editor = canvas()->textEditor();
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, QStringLiteral("Org: [frxDBD_List.\"NAME\"]"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_FALSE(canvas()->isEditingText());
    EXPECT_EQ(object(kDataBand, 0).text, QStringLiteral("Org: [frxDBD_List.\"NAME\"]"));
    m_window->undo();
    EXPECT_EQ(object(kDataBand, 0).text, QStringLiteral("[frxDBD_List.\"NAME\"]"));
    // Escape leaves the text as it was.
    QTest::mouseDClick(canvas(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(canvas()->textEditor());
    QTest::keyClicks(canvas()->textEditor(), QStringLiteral("junk"));
    QTest::keyClick(canvas()->textEditor(), Qt::Key_Escape);
    EXPECT_FALSE(canvas()->isEditingText());
    EXPECT_EQ(object(kDataBand, 0).text, QStringLiteral("[frxDBD_List.\"NAME\"]"));
}

TEST_F(Designer, BandsAndObjectsAreRemovedAndTheDataBandPreviewed) {
    openList();
    const int bands = m_window->workingTemplate().bands.size();
    canvas()->select(0, 0);
    m_window->removeSelectedObject();
    EXPECT_TRUE(m_window->workingTemplate().bands[0].objects.isEmpty());
    canvas()->select(0);
    m_window->removeSelectedBand();
    EXPECT_EQ(m_window->workingTemplate().bands.size(), bands - 1);
    int rows = -1;
    m_window->setPreviewRunner([&](PreparedReport&& r) { rows = r.table.rows.size(); });
    m_window->preview();
    EXPECT_EQ(rows, 40);
    m_window->undo();
    m_window->undo();
    EXPECT_EQ(m_window->workingTemplate(), fixtures::listTemplate());
}

TEST_F(Designer, SaveFailureSaysWhyAndClosingAsksAboutChanges) {
    open(m_dir.filePath(QStringLiteral("no/such/folder/x.fr3")));
    m_window->addBand(BandKind::MasterData);
    EXPECT_FALSE(m_window->save());
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].contains(QStringLiteral("no/such/folder/x.fr3")));
    int asked = 0;
    DesignerWindow::CloseAnswer answer = DesignerWindow::CloseAnswer::Cancel;
    m_window->setCloseQuestion([&] {
        ++asked;
        return answer;
    });
    m_window->reject();
    EXPECT_TRUE(m_window->isVisible());
    answer = DesignerWindow::CloseAnswer::Discard;
    m_window->reject();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(m_window->isVisible());
}

TEST_F(Designer, PicturesAndLinesAreEmbeddedAndKeptBySaving) {
    openList();
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(QColor(0, 128, 255));
    const QString png = m_dir.filePath(QStringLiteral("logo.png"));
    ASSERT_TRUE(image.save(png));
    canvas()->select(0);
    m_window->setPictureFileProvider([&] { return png; });
    m_window->addObject(ObjectKind::Picture);
    m_window->addObject(ObjectKind::Line);
    m_window->addObject(ObjectKind::CrossTab);
    m_window->setPictureFileProvider([&] { return m_dir.filePath(QStringLiteral("none.png")); });
    m_window->addObject(ObjectKind::Picture);
    EXPECT_EQ(m_messages.size(), 1); // the missing picture
    ASSERT_TRUE(m_window->save());
    const ReportTemplate reloaded = TemplateFile::load(m_window->path());
    const ReportObject* picture = reloaded.findObject(QStringLiteral("Picture1"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(QImage::fromData(picture->png, "PNG").convertToFormat(QImage::Format_ARGB32), image);
    EXPECT_DOUBLE_EQ(picture->rect.width(), 40.0);
    EXPECT_TRUE(reloaded.findObject(QStringLiteral("Line1")));
    EXPECT_TRUE(reloaded.findObject(QStringLiteral("Cross1")));
    EXPECT_EQ(reloaded, m_window->workingTemplate());
}

TEST(PageSettings, PaperOrientationAndMarginsComeBack) {
    PageSettings start;
    PageSettingsDialog dialog(start);
    EXPECT_EQ(dialog.settings(), start);
    auto* paper = dialog.findChild<QComboBox*>();
    paper->setCurrentIndex(2); // A5
    dialog.findChildren<QRadioButton*>()[1]->setChecked(true);
    QList<QDoubleSpinBox*> boxes = dialog.findChildren<QDoubleSpinBox*>();
    ASSERT_EQ(boxes.size(), 6);
    boxes[2]->setValue(15); // left margin
    const PageSettings s = dialog.settings();
    EXPECT_EQ(s.paperMm, QSizeF(148, 210));
    EXPECT_TRUE(s.landscape);
    EXPECT_EQ(s.marginsMm, QMarginsF(15, 10, 10, 10));
}

TEST_F(Designer, ABandIsChosenByItsStripeAndMadeTallerByItsLowerEdge) {
    openList();
    const QRectF area = canvas()->bandArea(kDataBand);
    QTest::mouseClick(canvas(), Qt::LeftButton, {},
                      QPoint(qRound(area.center().x()), qRound(area.top() - 3)));
    EXPECT_EQ(canvas()->selectedBand(), kDataBand);
    EXPECT_EQ(canvas()->selectedObject(), -1);
    EXPECT_DOUBLE_EQ(panel()->bandHeightBox()->value(), 5);
    // Below the objects, on the band's lower edge.
    const QPoint edge(qRound(area.center().x()), qRound(area.bottom() + 2));
    QTest::mousePress(canvas(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(canvas(), edge + QPoint(0, qRound(4.2 * px())));
    QTest::mouseRelease(canvas(), Qt::LeftButton, {}, edge + QPoint(0, qRound(4.2 * px())));
    EXPECT_DOUBLE_EQ(m_window->workingTemplate().bands[kDataBand].heightMm, 9);
    EXPECT_DOUBLE_EQ(panel()->bandHeightBox()->value(), 9);
    m_window->undo();
    EXPECT_DOUBLE_EQ(m_window->workingTemplate().bands[kDataBand].heightMm, 5);
}
