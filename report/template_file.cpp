#include "report/template_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace report {
namespace {

const QString kRoot = QStringLiteral("SrokoReport");
constexpr int kFormatVersion = 1;
// A template is a few kilobytes, pictures included; anything this large is not one of ours.
constexpr qint64 kMaxTemplateBytes = 64 * 1024 * 1024;

struct KindName {
    ObjectKind kind;
    const char* element;
};
constexpr KindName kObjectElements[] = {
    {ObjectKind::Text, "Text"},           {ObjectKind::Line, "Line"},
    {ObjectKind::Rectangle, "Rectangle"}, {ObjectKind::Picture, "Picture"},
    {ObjectKind::CrossTab, "CrossTab"},
};

QString number(double v) {
    return QString::number(v, 'g', 10);
}

QString colorText(const QColor& c) {
    return c.isValid() ? c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb) : QString();
}

QString frameText(int sides) {
    QString s;
    if (sides & FrameLeft)
        s += QLatin1Char('l');
    if (sides & FrameTop)
        s += QLatin1Char('t');
    if (sides & FrameRight)
        s += QLatin1Char('r');
    if (sides & FrameBottom)
        s += QLatin1Char('b');
    return s;
}

const char* hAlignText(HAlign a) {
    return a == HAlign::Center ? "center" : a == HAlign::Right ? "right" : "left";
}
const char* vAlignText(VAlign a) {
    return a == VAlign::Center ? "center" : a == VAlign::Bottom ? "bottom" : "top";
}

// --- writing ---

void writeStyle(QXmlStreamWriter& w, const ReportObject& o) {
    const ReportObject defaults;
    w.writeAttribute("font", o.font.family);
    w.writeAttribute("size", number(o.font.sizePt));
    if (o.font.bold)
        w.writeAttribute("bold", "1");
    if (o.font.italic)
        w.writeAttribute("italic", "1");
    if (o.font.underline)
        w.writeAttribute("underline", "1");
    w.writeAttribute("color", colorText(o.textColor));
    if (o.fillColor.isValid())
        w.writeAttribute("fill", colorText(o.fillColor));
    if (!o.fillField.isEmpty())
        w.writeAttribute("fillField", o.fillField);
    w.writeAttribute("align", hAlignText(o.hAlign));
    w.writeAttribute("valign", vAlignText(o.vAlign));
    if (o.frame.sides != FrameNone) {
        w.writeAttribute("frame", frameText(o.frame.sides));
        w.writeAttribute("frameWidth", number(o.frame.widthMm));
        w.writeAttribute("frameColor", colorText(o.frame.color));
    }
    w.writeAttribute("wordWrap", o.wordWrap ? "1" : "0");
    w.writeAttribute("stretch", o.stretch ? "1" : "0");
    if (!o.dateFormat.isEmpty())
        w.writeAttribute("dateFormat", o.dateFormat);
    if (o.paddingMm != defaults.paddingMm)
        w.writeAttribute("padding", number(o.paddingMm));
}

void writeObject(QXmlStreamWriter& w, const ReportObject& o) {
    const char* element = "Text";
    for (const auto& k : kObjectElements) {
        if (k.kind == o.kind)
            element = k.element;
    }
    w.writeStartElement(element);
    if (!o.name.isEmpty())
        w.writeAttribute("name", o.name);
    w.writeAttribute("x", number(o.rect.x()));
    w.writeAttribute("y", number(o.rect.y()));
    w.writeAttribute("w", number(o.rect.width()));
    w.writeAttribute("h", number(o.rect.height()));
    switch (o.kind) {
    case ObjectKind::Text:
        writeStyle(w, o);
        w.writeCharacters(o.text);
        break;
    case ObjectKind::Line:
    case ObjectKind::Rectangle:
        w.writeAttribute("lineWidth", number(o.lineWidthMm));
        w.writeAttribute("lineColor", colorText(o.lineColor));
        if (o.kind == ObjectKind::Rectangle && o.fillColor.isValid())
            w.writeAttribute("fill", colorText(o.fillColor));
        break;
    case ObjectKind::Picture:
        w.writeCharacters(QString::fromLatin1(o.png.toBase64()));
        break;
    case ObjectKind::CrossTab: {
        writeStyle(w, o);
        const CrossTabLayout& c = o.crossTab;
        w.writeAttribute("rowExpr", c.rowExpr);
        w.writeAttribute("columnExpr", c.columnExpr);
        w.writeAttribute("cellExpr", c.cellExpr);
        w.writeAttribute("corner", c.cornerText);
        w.writeAttribute("rowHeaderWidth", number(c.rowHeaderWidthMm));
        w.writeAttribute("columnWidth", number(c.columnWidthMm));
        w.writeAttribute("headerHeight", number(c.headerHeightMm));
        w.writeAttribute("cellHeight", number(c.cellHeightMm));
        w.writeAttribute("sortRows", c.sortRows ? "1" : "0");
        w.writeAttribute("sortColumns", c.sortColumns ? "1" : "0");
        break;
    }
    }
    w.writeEndElement();
}

// --- reading ---

class Reader {
public:
    explicit Reader(const QByteArray& xml) : m_xml(xml) {}

    ReportTemplate read() {
        ReportTemplate report;
        report.bands.clear();
        if (!m_xml.readNextStartElement())
            fail(QStringLiteral("файл пуст или не является XML-документом"));
        if (m_xml.name() != kRoot)
            fail(QStringLiteral("это не макет отчёта программы (корневой элемент «%1»)")
                     .arg(m_xml.name().toString()));
        const int version = intAttr("version", kFormatVersion);
        if (version > kFormatVersion)
            fail(QStringLiteral("макет создан более новой версией программы (формат %1)")
                     .arg(version));
        report.title = m_xml.attributes().value("title").toString();
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("Page"))
                readPage(report.page);
            else if (m_xml.name() == QLatin1String("Band"))
                report.bands.push_back(readBand());
            else
                m_xml.skipCurrentElement();
        }
        if (m_xml.hasError())
            fail(QStringLiteral("документ XML повреждён"));
        return report;
    }

private:
    [[noreturn]] void fail(const QString& why) {
        QString message = why;
        if (m_xml.hasError())
            message += QStringLiteral(" (%1)").arg(m_xml.errorString());
        if (m_xml.lineNumber() > 0)
            message = QStringLiteral("строка %1: %2").arg(m_xml.lineNumber()).arg(message);
        throw TemplateError(message);
    }

    QString attr(const char* name) const { return m_xml.attributes().value(name).toString(); }
    bool has(const char* name) const { return m_xml.attributes().hasAttribute(name); }

    double numAttr(const char* name, double fallback, double min = -1e6, double max = 1e6) {
        if (!has(name))
            return fallback;
        bool ok = false;
        const double v = attr(name).toDouble(&ok);
        if (!ok || v < min || v > max)
            fail(QStringLiteral("неверное значение «%1» атрибута %2")
                     .arg(attr(name), QString::fromLatin1(name)));
        return v;
    }
    int intAttr(const char* name, int fallback) {
        return static_cast<int>(numAttr(name, fallback, -1e9, 1e9));
    }
    bool boolAttr(const char* name, bool fallback) {
        if (!has(name))
            return fallback;
        const QString v = attr(name);
        if (v == QLatin1String("1") || v == QLatin1String("true"))
            return true;
        if (v == QLatin1String("0") || v == QLatin1String("false"))
            return false;
        fail(
            QStringLiteral("неверное значение «%1» атрибута %2").arg(v, QString::fromLatin1(name)));
    }
    QColor colorAttr(const char* name, const QColor& fallback) {
        if (!has(name))
            return fallback;
        const QString v = attr(name);
        if (v.isEmpty())
            return QColor();
        QColor c = QColor::fromString(v);
        if (!c.isValid())
            fail(
                QStringLiteral("неверный цвет «%1» атрибута %2").arg(v, QString::fromLatin1(name)));
        return c;
    }

    void readPage(PageSettings& page) {
        page.paperMm.setWidth(numAttr("width", page.paperMm.width(), 10, 5000));
        page.paperMm.setHeight(numAttr("height", page.paperMm.height(), 10, 5000));
        page.landscape = attr("orientation") == QLatin1String("landscape");
        page.marginsMm.setLeft(numAttr("left", page.marginsMm.left(), 0, 1000));
        page.marginsMm.setTop(numAttr("top", page.marginsMm.top(), 0, 1000));
        page.marginsMm.setRight(numAttr("right", page.marginsMm.right(), 0, 1000));
        page.marginsMm.setBottom(numAttr("bottom", page.marginsMm.bottom(), 0, 1000));
        const QSizeF size = page.sizeMm();
        if (page.marginsMm.left() + page.marginsMm.right() >= size.width() - 5 ||
            page.marginsMm.top() + page.marginsMm.bottom() >= size.height() - 5)
            fail(QStringLiteral("поля страницы не оставляют места для печати"));
        m_xml.skipCurrentElement();
    }

    Band readBand() {
        Band band;
        const QString kind = attr("kind");
        bool known = false;
        for (int k = 0; k <= static_cast<int>(BandKind::ReportSummary); ++k) {
            if (bandKindName(static_cast<BandKind>(k)) == kind) {
                band.kind = static_cast<BandKind>(k);
                known = true;
            }
        }
        if (!known)
            fail(QStringLiteral("неизвестный вид бэнда «%1»").arg(kind));
        band.name = attr("name");
        band.heightMm = numAttr("height", band.heightMm, 0, 5000);
        band.dataSet = attr("dataSet");
        band.groupCondition = attr("condition");
        band.printOnFirstPage = boolAttr("printOnFirstPage", true);
        band.startNewPage = boolAttr("startNewPage", false);
        while (m_xml.readNextStartElement()) {
            bool isObject = false;
            for (const auto& k : kObjectElements) {
                if (m_xml.name() == QLatin1String(k.element)) {
                    band.objects.push_back(readObject(k.kind));
                    isObject = true;
                    break;
                }
            }
            if (!isObject)
                m_xml.skipCurrentElement();
        }
        return band;
    }

    void readStyle(ReportObject& o) {
        o.font.family = has("font") ? attr("font") : o.font.family;
        o.font.sizePt = numAttr("size", o.font.sizePt, 1, 500);
        o.font.bold = boolAttr("bold", false);
        o.font.italic = boolAttr("italic", false);
        o.font.underline = boolAttr("underline", false);
        o.textColor = colorAttr("color", o.textColor);
        o.fillColor = colorAttr("fill", QColor());
        o.fillField = attr("fillField");
        const QString align = attr("align");
        o.hAlign = align == QLatin1String("center")  ? HAlign::Center
                   : align == QLatin1String("right") ? HAlign::Right
                                                     : HAlign::Left;
        const QString valign = attr("valign");
        o.vAlign = valign == QLatin1String("center")   ? VAlign::Center
                   : valign == QLatin1String("bottom") ? VAlign::Bottom
                                                       : VAlign::Top;
        const QString frame = attr("frame");
        o.frame.sides =
            (frame.contains('l') ? FrameLeft : 0) | (frame.contains('t') ? FrameTop : 0) |
            (frame.contains('r') ? FrameRight : 0) | (frame.contains('b') ? FrameBottom : 0);
        o.frame.widthMm = numAttr("frameWidth", o.frame.widthMm, 0, 50);
        o.frame.color = colorAttr("frameColor", o.frame.color);
        o.wordWrap = boolAttr("wordWrap", true);
        o.stretch = boolAttr("stretch", false);
        o.dateFormat = attr("dateFormat");
        o.paddingMm = numAttr("padding", o.paddingMm, 0, 100);
    }

    ReportObject readObject(ObjectKind kind) {
        ReportObject o;
        o.kind = kind;
        o.name = attr("name");
        o.rect = QRectF(numAttr("x", 0), numAttr("y", 0), numAttr("w", 0, 0, 1e5),
                        numAttr("h", 0, 0, 1e5));
        switch (kind) {
        case ObjectKind::Text:
            readStyle(o);
            o.text = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
            return o;
        case ObjectKind::Line:
        case ObjectKind::Rectangle:
            o.lineWidthMm = numAttr("lineWidth", o.lineWidthMm, 0, 50);
            o.lineColor = colorAttr("lineColor", o.lineColor);
            o.fillColor = colorAttr("fill", QColor());
            break;
        case ObjectKind::Picture: {
            const QString data = m_xml.readElementText(QXmlStreamReader::SkipChildElements);
            const auto decoded = QByteArray::fromBase64Encoding(
                data.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                fail(QStringLiteral("рисунок «%1» повреждён").arg(o.name));
            o.png = *decoded;
            return o;
        }
        case ObjectKind::CrossTab: {
            readStyle(o);
            CrossTabLayout& c = o.crossTab;
            c.rowExpr = attr("rowExpr");
            c.columnExpr = attr("columnExpr");
            c.cellExpr = attr("cellExpr");
            c.cornerText = attr("corner");
            c.rowHeaderWidthMm = numAttr("rowHeaderWidth", c.rowHeaderWidthMm, 1, 5000);
            c.columnWidthMm = numAttr("columnWidth", c.columnWidthMm, 1, 5000);
            c.headerHeightMm = numAttr("headerHeight", c.headerHeightMm, 1, 5000);
            c.cellHeightMm = numAttr("cellHeight", c.cellHeightMm, 1, 5000);
            c.sortRows = boolAttr("sortRows", true);
            c.sortColumns = boolAttr("sortColumns", true);
            break;
        }
        }
        m_xml.skipCurrentElement();
        return o;
    }

    QXmlStreamReader m_xml;
};

} // namespace

namespace TemplateFile {

ReportTemplate fromXml(const QByteArray& xml) {
    return Reader(xml).read();
}

QByteArray toXml(const ReportTemplate& report) {
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(kRoot);
    w.writeAttribute("version", QString::number(kFormatVersion));
    if (!report.title.isEmpty())
        w.writeAttribute("title", report.title);
    const PageSettings& p = report.page;
    w.writeStartElement("Page");
    w.writeAttribute("width", number(p.paperMm.width()));
    w.writeAttribute("height", number(p.paperMm.height()));
    w.writeAttribute("orientation", p.landscape ? "landscape" : "portrait");
    w.writeAttribute("left", number(p.marginsMm.left()));
    w.writeAttribute("top", number(p.marginsMm.top()));
    w.writeAttribute("right", number(p.marginsMm.right()));
    w.writeAttribute("bottom", number(p.marginsMm.bottom()));
    w.writeEndElement();
    for (const Band& band : report.bands) {
        w.writeStartElement("Band");
        w.writeAttribute("kind", bandKindName(band.kind));
        if (!band.name.isEmpty())
            w.writeAttribute("name", band.name);
        w.writeAttribute("height", number(band.heightMm));
        if (!band.dataSet.isEmpty())
            w.writeAttribute("dataSet", band.dataSet);
        if (!band.groupCondition.isEmpty())
            w.writeAttribute("condition", band.groupCondition);
        if (!band.printOnFirstPage)
            w.writeAttribute("printOnFirstPage", "0");
        if (band.startNewPage)
            w.writeAttribute("startNewPage", "1");
        for (const ReportObject& object : band.objects)
            writeObject(w, object);
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

ReportTemplate load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TemplateError(
            QStringLiteral("Не удалось открыть макет «%1»: %2").arg(path, file.errorString()));
    if (file.size() > kMaxTemplateBytes)
        throw TemplateError(QStringLiteral("Файл «%1» слишком велик для макета отчёта").arg(path));
    const QByteArray xml = file.readAll();
    try {
        return fromXml(xml);
    } catch (const TemplateError& e) {
        throw TemplateError(QStringLiteral("Макет «%1» не прочитан: %2").arg(path, e.message()));
    }
}

ReportTemplate loadOrEmpty(const QString& path) {
    if (!QFileInfo::exists(path))
        return ReportTemplate();
    return load(path);
}

void save(const ReportTemplate& report, const QString& path) {
    QSaveFile file(path);
    const QByteArray xml = toXml(report);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit())
        throw TemplateError(
            QStringLiteral("Не удалось сохранить макет «%1»: %2").arg(path, file.errorString()));
}

} // namespace TemplateFile
} // namespace report
