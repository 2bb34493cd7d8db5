#include "report/text_layout.h"

#include <QFontDatabase>
#include <QTextLayout>

namespace report {
namespace {

constexpr double kMeasureDpi = 720.0;
constexpr double kMmPerPx = 25.4 / kMeasureDpi;

QString fontKey(const FontStyle& f) {
    return f.family + QLatin1Char('|') + QString::number(f.sizePt) + QLatin1Char('|') +
           QLatin1Char(f.bold ? 'b' : '-') + QLatin1Char(f.italic ? 'i' : '-') +
           QLatin1Char(f.underline ? 'u' : '-');
}

} // namespace

QFont makeFont(const FontStyle& style) {
    QFont font(style.family.isEmpty() ? QString::fromLatin1(kDefaultFontFamily) : style.family);
    // Where the named family is missing, the metric twins keep the layout the template meant.
    font.setFamilies({font.family(), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(style.sizePt);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

TextLayout::TextLayout() : m_device(1, 1, QImage::Format_ARGB32) {
    const int dpm = qRound(kMeasureDpi / 0.0254);
    m_device.setDotsPerMeterX(dpm);
    m_device.setDotsPerMeterY(dpm);
}

TextLayout::Entry& TextLayout::entry(const FontStyle& style) {
    // Neighbouring objects mostly share a font; comparing it is cheaper than building its key.
    if (m_last && style == m_lastStyle)
        return *m_last;
    const QString key = fontKey(style);
    auto it = m_entries.find(key);
    if (it == m_entries.end()) {
        auto e = std::make_shared<Entry>();
        e->font = QFont(makeFont(style), &m_device);
        e->fm = std::make_unique<QFontMetricsF>(e->font, &m_device);
        it = m_entries.insert(key, e);
    }
    m_lastStyle = style;
    m_last = it.value().get();
    return *m_last;
}

TextLayout::Metrics TextLayout::metrics(const FontStyle& font) {
    Entry& e = entry(font);
    return {e.fm->lineSpacing() * kMmPerPx, e.fm->ascent() * kMmPerPx};
}

double TextLayout::Entry::width(const QString& text) {
    constexpr qsizetype kMaxCached = 50000;
    auto it = widths.constFind(text);
    if (it != widths.constEnd())
        return *it;
    if (widths.size() >= kMaxCached)
        widths.clear();
    return *widths.insert(text, fm->horizontalAdvance(text));
}

double TextLayout::textWidthMm(const QString& text, const FontStyle& font) {
    return entry(font).width(text) * kMmPerPx;
}

QStringList TextLayout::breakLines(const QString& text, const FontStyle& font, double widthMm,
                                   bool wordWrap, bool* widthFits) {
    Entry& e = entry(font);
    const double widthPx = std::max(1.0, widthMm / kMmPerPx);
    QStringList lines;
    bool fits = true;
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    for (QString paragraph : paragraphs) {
        if (paragraph.endsWith(QLatin1Char('\r')))
            paragraph.chop(1);
        if (e.width(paragraph) <= widthPx) {
            lines.push_back(paragraph);
            continue;
        }
        if (!wordWrap) {
            lines.push_back(paragraph);
            fits = false;
            continue;
        }
        QTextLayout layout(paragraph, e.font, &m_device);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(widthPx);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (part.endsWith(QLatin1Char(' ')))
                part.chop(1);
            lines.push_back(part);
        }
        layout.endLayout();
    }
    if (widthFits)
        *widthFits = fits;
    return lines;
}

} // namespace report
