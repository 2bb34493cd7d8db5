#include "report/engine.h"
#include "report/template_file.h"
#include "report_fixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace report;

namespace {

QByteArray pngBytes() {
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Every kind of object, every property away from its default.
ReportTemplate richTemplate() {
    ReportTemplate t = fixtures::listTemplate();
    t.page.paperMm = {148, 210};
    t.page.landscape = true;
    t.page.marginsMm = {5, 6, 7, 8};
    ReportObject& o = t.bands[0].objects[0];
    o.font = {QStringLiteral("DejaVu Sans"), 12.5, true, true, true};
    o.textColor = QColor(10, 20, 30);
    o.fillColor = QColor(200, 210, 220);
    o.fillField = QStringLiteral("ROW_COLOR");
    o.hAlign = HAlign::Center;
    o.vAlign = VAlign::Bottom;
    o.frame = {FrameLeft | FrameBottom, 0.5, QColor(255, 0, 0)};
    o.wordWrap = false;
    o.stretch = true;
    o.dateFormat = QStringLiteral("dd MMMM yyyy");
    o.paddingMm = 1.25;
    o.text = QStringLiteral("Строка <1> & \"2\"\nвторая  строка с  пробелами ");

    Band extra{BandKind::GroupHeader, QStringLiteral("GroupHeader1"), 7.5};
    extra.groupCondition = QStringLiteral("[frxDBD_List.\"GRP\"]");
    extra.startNewPage = true;
    ReportObject line;
    line.kind = ObjectKind::Line;
    line.rect = {0, 7, 190, 0};
    line.lineWidthMm = 0.7;
    line.lineColor = Qt::blue;
    ReportObject rect;
    rect.kind = ObjectKind::Rectangle;
    rect.name = QStringLiteral("Rect1");
    rect.rect = {1, 1, 10, 5};
    rect.fillColor = QColor(1, 2, 3);
    ReportObject picture;
    picture.kind = ObjectKind::Picture;
    picture.name = QStringLiteral("Logo");
    picture.rect = {20, 0, 10, 7};
    picture.png = pngBytes();
    ReportObject cross;
    cross.kind = ObjectKind::CrossTab;
    cross.name = QStringLiteral("Cross1");
    cross.rect = {0, 0, 190, 20};
    cross.crossTab = {QStringLiteral("[ds.\"ORG\"]"),
                      QStringLiteral("[ds.\"REP\"]"),
                      QStringLiteral("[ds.\"DT\"] [ds.\"MARK\"]"),
                      QStringLiteral("Угол"),
                      60,
                      30,
                      12,
                      6,
                      false,
                      true};
    extra.objects = {line, rect, picture, cross};
    t.bands.insert(3, extra);
    Band footer{BandKind::PageFooter, QStringLiteral("PageFooter1"), 5};
    footer.printOnFirstPage = false;
    t.bands.push_back(footer);
    return t;
}

} // namespace

TEST(TemplateFile, XmlRoundTripKeepsEveryProperty) {
    const ReportTemplate original = richTemplate();
    const QByteArray xml = TemplateFile::toXml(original);
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    const ReportTemplate back = TemplateFile::fromXml(xml);
    EXPECT_EQ(back, original);
    EXPECT_EQ(TemplateFile::toXml(back), xml);
}

TEST(TemplateFile, SaveReplacesTheFileAndLoadReadsItBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Buh_Account_list.fr3"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    const ReportTemplate t = richTemplate();
    TemplateFile::save(t, path);
    EXPECT_EQ(TemplateFile::load(path), t);
    // Nothing of the temporary file is left beside the template.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(TemplateFile, SaveIntoAMissingFolderFailsWithTheReason) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/x.fr3"));
    try {
        TemplateFile::save(fixtures::listTemplate(), path);
        FAIL() << "saved into a missing folder";
    } catch (const TemplateError& e) {
        EXPECT_TRUE(e.message().contains(path)) << e.message().toStdString();
    }
}

TEST(TemplateFile, MissingFileGivesAnEmptyReportOnlyThroughLoadOrEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("absent.fr3"));
    EXPECT_TRUE(TemplateFile::loadOrEmpty(path).isEmpty());
    EXPECT_THROW(TemplateFile::load(path), TemplateError);
}

TEST(TemplateFile, BrokenAndForeignFilesGiveAClearError) {
    const QByteArray valid = TemplateFile::toXml(fixtures::listTemplate());
    const struct {
        const char* what;
        QByteArray content;
        const char* expected; // part of the message
    } cases[] = {
        {"empty file", "", "XML"},
        {"not XML", "PK\x03\x04 binary zip data", ""},
        {"foreign report",
         "<?xml version=\"1.0\"?><TfrxReport Version=\"4.0\"><TfrxReportPage/>"
         "</TfrxReport>",
         "TfrxReport"},
        {"cut off", valid.left(valid.size() / 2), "строка"},
        {"bad number", "<SrokoReport><Band kind=\"MasterData\" height=\"abc\"/></SrokoReport>",
         "abc"},
        {"unknown band", "<SrokoReport><Band kind=\"Overlay\"/></SrokoReport>", "Overlay"},
        {"bad colour",
         "<SrokoReport><Band kind=\"MasterData\"><Text color=\"#zz\"/></Band>"
         "</SrokoReport>",
         "#zz"},
        {"bad picture",
         "<SrokoReport><Band kind=\"MasterData\"><Picture name=\"P\">@@@"
         "</Picture></Band></SrokoReport>",
         "P"},
        {"no room on the page",
         "<SrokoReport><Page width=\"100\" left=\"60\" right=\"60\"/>"
         "</SrokoReport>",
         "поля"},
        {"newer format", "<SrokoReport version=\"9\"/>", "9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            TemplateFile::fromXml(c.content);
            ADD_FAILURE() << "accepted";
        } catch (const TemplateError& e) {
            EXPECT_FALSE(e.message().isEmpty());
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.expected)))
                << e.message().toStdString();
        }
    }
}

TEST(TemplateFile, LoadNamesTheFileInItsError) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Buh_Account_V.fr3"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<TfrxReport/>");
    f.close();
    try {
        TemplateFile::load(path);
        FAIL();
    } catch (const TemplateError& e) {
        EXPECT_TRUE(e.message().contains(path));
    }
}

TEST(TemplateVariables, FirstLineReplacedOtherLinesKept) {
    const struct {
        QString before;
        QString value;
        QString after;
    } cases[] = {
        {QStringLiteral("Шаблон"), QStringLiteral("Да"), QStringLiteral("Да")},
        {QStringLiteral(""), QStringLiteral("Да"), QStringLiteral("Да")},
        {QStringLiteral("первая\nвторая\nтретья"), QStringLiteral("новая"),
         QStringLiteral("новая\nвторая\nтретья")},
        {QStringLiteral("\nвторая"), QStringLiteral("новая"), QStringLiteral("новая\nвторая")},
        {QStringLiteral("старая"), QStringLiteral("две\nстроки"), QStringLiteral("две\nстроки")},
    };
    for (const auto& c : cases) {
        ReportTemplate t = fixtures::listTemplate();
        t.findObject(QStringLiteral("Memo_Title"))->text = c.before;
        EXPECT_TRUE(t.setVariable(QStringLiteral("memo_TITLE"), c.value));
        EXPECT_EQ(t.findObject(QStringLiteral("Memo_Title"))->text, c.after);
    }
}

TEST(TemplateVariables, MissingObjectIsSkipped) {
    ReportTemplate t = fixtures::listTemplate();
    const ReportTemplate before = t;
    EXPECT_FALSE(t.setVariable(QStringLiteral("Memo_BuhOrg"), QStringLiteral("x")));
    EXPECT_EQ(t, before);
}

TEST(TemplateFile, AnyDamageToAFileGivesATemplateOrAnError) {
    const QByteArray xml = TemplateFile::toXml(fixtures::listTemplate());
    int accepted = 0, refused = 0;
    auto tryLoad = [&](const QByteArray& bytes) {
        try {
            const ReportTemplate t = TemplateFile::fromXml(bytes);
            // Whatever was read can be prepared.
            const TableRowSource rows = fixtures::rows(3);
            prepareReport(t, {{fixtures::kDataSet, &rows}});
            ++accepted;
        } catch (const TemplateError& e) {
            EXPECT_FALSE(e.message().isEmpty());
            if (refused % 40 == 0)
                std::fprintf(stderr, "%s\n", qPrintable(e.message()));
            ++refused;
        }
    };
    tryLoad(xml);
    EXPECT_EQ(accepted, 1);
    // Every cut of the file, and bytes changed all along it.
    for (qsizetype n = 0; n < xml.size(); n += 7)
        tryLoad(xml.left(n));
    quint32 seed = 12345;
    for (int i = 0; i < 300; ++i) {
        QByteArray damaged = xml;
        for (int k = 0; k < (i % 2 ? 4 : 1); ++k) {
            seed = seed * 1103515245u + 12345u;
            const auto at = static_cast<qsizetype>((seed >> 8) % damaged.size());
            // Half of the files get any byte, half a letter or digit in place of a character
            // of the markup (numbers, names, colours, brackets).
            if (i % 2)
                damaged[at] = static_cast<char>(seed >> 24);
            else if (static_cast<unsigned char>(damaged[at]) < 0x80)
                damaged[at] = "abcdefxyz0123456789-.#\"<>[]"[(seed >> 24) % 29];
        }
        tryLoad(damaged);
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(accepted, 0);
}
