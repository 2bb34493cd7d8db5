#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace report {

// The default look of a new report: A4 portrait, 10 mm margins, Arial (Liberation Sans, its
// metric twin, where Arial is not installed) of 10 points (13 pixels at 96 dpi).
inline constexpr double kDefaultMarginMm = 10.0;
inline const char* const kDefaultFontFamily = "Arial";
inline constexpr double kDefaultFontPt = 9.75;

enum class ObjectKind { Text, Line, Rectangle, Picture, CrossTab };

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

// Sides of a frame, combined as flags.
enum FrameSide {
    FrameNone = 0,
    FrameLeft = 1,
    FrameTop = 2,
    FrameRight = 4,
    FrameBottom = 8,
    FrameAll = 15
};

struct FontStyle {
    QString family = kDefaultFontFamily;
    double sizePt = kDefaultFontPt;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const FontStyle&) const = default;
};

struct FrameStyle {
    int sides = FrameNone;
    double widthMm = 0.2;
    QColor color = Qt::black;

    bool operator==(const FrameStyle&) const = default;
};

// The cross table of the table print: one row per distinct row value, one column per distinct
// column value, each cell the cell text of the data rows that meet there (one line each).
struct CrossTabLayout {
    QString rowExpr;    // e.g. [ds."ORGANIZATION_NAME"]
    QString columnExpr; // e.g. [ds."BUH_ACCOUNT_NAME"]
    QString cellExpr;   // e.g. [ds."DT_ACTION"] [ds."STATUS_MARK"]
    QString cornerText;
    double rowHeaderWidthMm = 50;
    double columnWidthMm = 25;
    double headerHeightMm = 10;
    double cellHeightMm = 5;
    bool sortRows = true;
    bool sortColumns = true;

    bool operator==(const CrossTabLayout&) const = default;
};

// One object on a band. Geometry is in millimetres relative to the band's top left corner.
// Which fields matter depends on the kind: lines use the rectangle's corners (a horizontal
// line has height 0), pictures hold PNG bytes.
struct ReportObject {
    ObjectKind kind = ObjectKind::Text;
    QString name;
    QRectF rect; // mm

    // Text (and the look of the cross table's cells).
    QString text;
    FontStyle font;
    QColor textColor = Qt::black;
    QColor fillColor;  // invalid: no fill
    QString fillField; // data field whose value (a colour) fills the object on each row
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    FrameStyle frame;
    bool wordWrap = true;
    bool stretch = false; // grows downwards to hold all of its text
    QString dateFormat;   // display format of date values; empty: dd.MM.yyyy
    double paddingMm = 0.5;

    // Line and rectangle.
    double lineWidthMm = 0.2;
    QColor lineColor = Qt::black;

    QByteArray png; // picture
    CrossTabLayout crossTab;

    bool operator==(const ReportObject& o) const;
};

enum class BandKind {
    ReportTitle,
    PageHeader,
    ColumnHeader,
    GroupHeader,
    MasterData,
    GroupFooter,
    ColumnFooter,
    PageFooter,
    ReportSummary,
};

struct Band {
    BandKind kind = BandKind::MasterData;
    QString name;
    double heightMm = 6;
    QString dataSet;              // master data: the name of the data set it walks
    QString groupCondition;       // group header: expression whose change starts a new group
    bool printOnFirstPage = true; // page header and page footer
    bool startNewPage = false;    // group header: each group from a new page
    QList<ReportObject> objects;

    bool operator==(const Band&) const = default;
};

struct PageSettings {
    QSizeF paperMm{210, 297};
    bool landscape = false;
    QMarginsF marginsMm{kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm};

    // The sheet as it lies, after the orientation.
    QSizeF sizeMm() const { return landscape ? paperMm.transposed() : paperMm; }
    bool operator==(const PageSettings&) const = default;
};

// A report template: one page description and its bands in the order they are listed.
class ReportTemplate {
public:
    PageSettings page;
    QList<Band> bands;
    QString title;

    bool isEmpty() const { return bands.isEmpty(); }
    void clear() { *this = ReportTemplate(); }

    // The object of that name on any band, names compared without regard to case.
    ReportObject* findObject(const QString& name);
    const ReportObject* findObject(const QString& name) const;
    // Writes text into a text object: it replaces the object's first line, or becomes its only
    // line when the object has no text; the other lines stay. False (and nothing changed) when
    // the template has no text object of that name.
    bool setVariable(const QString& name, const QString& text);

    const Band* firstBand(BandKind kind) const;
    bool operator==(const ReportTemplate&) const = default;
};

// A copy that shares no list storage with the original. Qt's lists share their data until
// written; pointers into a template held while a shared copy exists would otherwise end up in
// whichever copy is written first.
ReportTemplate deepCopy(const ReportTemplate& report);

QString bandKindName(BandKind kind);
// The caption of a band kind as the designer shows it.
QString bandKindCaption(BandKind kind);

} // namespace report
