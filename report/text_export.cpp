#include "report/exports.h"

#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace report {
namespace {

// Width of a character of the text export on the page; 2 mm keeps the columns of a list apart.
constexpr double kCharMm = 2.0;
constexpr double kRowTolMm = 1.0;

void writeAll(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw ExportError(
            QStringLiteral("Не удалось записать файл «%1»: %2").arg(path, file.errorString()));
}

QString pageText(const PreparedPage& page) {
    QVector<const PreparedItem*> items;
    for (const PreparedItem& item : page.items) {
        if (item.kind == ObjectKind::Text && !item.lines.isEmpty() &&
            !item.text().trimmed().isEmpty())
            items.push_back(&item);
    }
    std::stable_sort(items.begin(), items.end(), [](const auto* a, const auto* b) {
        if (std::abs(a->rect.top() - b->rect.top()) >= kRowTolMm)
            return a->rect.top() < b->rect.top();
        return a->rect.left() < b->rect.left();
    });
    QString out;
    for (int i = 0; i < items.size();) {
        // One row: the items that start at about the same height.
        int end = i + 1;
        while (end < items.size() &&
               std::abs(items[end]->rect.top() - items[i]->rect.top()) < kRowTolMm)
            ++end;
        std::sort(items.begin() + i, items.begin() + end,
                  [](const auto* a, const auto* b) { return a->rect.left() < b->rect.left(); });
        qsizetype lines = 0;
        for (int k = i; k < end; ++k)
            lines = std::max(lines, items[k]->lines.size());
        for (qsizetype l = 0; l < lines; ++l) {
            QString text;
            for (int k = i; k < end; ++k) {
                const PreparedItem& item = *items[k];
                const int column = static_cast<int>(std::lround(item.rect.left() / kCharMm));
                if (text.size() < column)
                    text += QString(column - text.size(), QLatin1Char(' '));
                else if (!text.isEmpty() && !text.endsWith(QLatin1Char(' ')))
                    text += QLatin1Char(' ');
                if (l < item.lines.size())
                    text += item.lines[l];
            }
            while (text.endsWith(QLatin1Char(' ')))
                text.chop(1);
            out += text + QLatin1Char('\n');
        }
        i = end;
    }
    return out;
}

QString html(const QString& s) {
    return s.toHtmlEscaped();
}

QString mm(double v) {
    return QString::number(v, 'f', 2) + QStringLiteral("mm");
}

QString cssColor(const QColor& c) {
    return c.name(QColor::HexRgb);
}

QString frameCss(const FrameStyle& f) {
    if (f.sides == FrameNone)
        return {};
    const QString border = mm(f.widthMm) + QStringLiteral(" solid ") + cssColor(f.color);
    QString css;
    if (f.sides & FrameLeft)
        css += QStringLiteral("border-left:") + border + QLatin1Char(';');
    if (f.sides & FrameTop)
        css += QStringLiteral("border-top:") + border + QLatin1Char(';');
    if (f.sides & FrameRight)
        css += QStringLiteral("border-right:") + border + QLatin1Char(';');
    if (f.sides & FrameBottom)
        css += QStringLiteral("border-bottom:") + border + QLatin1Char(';');
    return css;
}

QString itemHtml(const PreparedItem& item) {
    const ReportObject& s = *item.style;
    const QRectF& r = item.rect;
    QString box = QStringLiteral("left:%1;top:%2;width:%3;height:%4;")
                      .arg(mm(r.left()), mm(r.top()), mm(r.width()), mm(r.height()));
    switch (item.kind) {
    case ObjectKind::Text:
    case ObjectKind::CrossTab: {
        QString css =
            box + QStringLiteral("font-family:'%1',sans-serif;font-size:%2pt;color:%3;")
                      .arg(s.font.family, QString::number(s.font.sizePt), cssColor(s.textColor));
        if (s.font.bold)
            css += QStringLiteral("font-weight:bold;");
        if (s.font.italic)
            css += QStringLiteral("font-style:italic;");
        if (s.font.underline)
            css += QStringLiteral("text-decoration:underline;");
        if (item.fill.isValid())
            css += QStringLiteral("background:") + cssColor(item.fill) + QLatin1Char(';');
        if (s.hAlign != HAlign::Left)
            css += s.hAlign == HAlign::Center ? QStringLiteral("text-align:center;")
                                              : QStringLiteral("text-align:right;");
        css += QStringLiteral("padding:") + mm(s.paddingMm) + QLatin1Char(';') + frameCss(s.frame);
        QStringList lines;
        for (const QString& line : item.lines)
            lines.push_back(html(line));
        return QStringLiteral("<div class=\"t\" style=\"%1\">%2</div>\n")
            .arg(css, lines.join(QStringLiteral("<br>")));
    }
    case ObjectKind::Rectangle: {
        QString css =
            box +
            QStringLiteral("border:%1 solid %2;").arg(mm(s.lineWidthMm), cssColor(s.lineColor));
        if (item.fill.isValid())
            css += QStringLiteral("background:") + cssColor(item.fill) + QLatin1Char(';');
        return QStringLiteral("<div style=\"%1\"></div>\n").arg(css);
    }
    case ObjectKind::Line:
        return QStringLiteral("<svg style=\"left:%1;top:%2;width:%3;height:%4;overflow:visible\">"
                              "<line x1=\"0\" y1=\"0\" x2=\"100%\" y2=\"100%\" stroke=\"%5\" "
                              "stroke-width=\"%6\"/></svg>\n")
            .arg(mm(r.left()), mm(r.top()), mm(std::max(r.width(), 0.01)),
                 mm(std::max(r.height(), 0.01)), cssColor(s.lineColor), mm(s.lineWidthMm));
    case ObjectKind::Picture:
        return QStringLiteral(
                   "<img style=\"%1object-fit:contain\" src=\"data:image/png;base64,%2\">\n")
            .arg(box, QString::fromLatin1(s.png.toBase64()));
    }
    return {};
}

} // namespace

QString reportText(const PreparedReport& report, const ProgressFn& progress) {
    QString out;
    for (int p = 0; p < report.pageCount(); ++p) {
        if (progress && !progress(p, report.pageCount()))
            throw Cancelled();
        if (p > 0)
            out += QLatin1Char('\f');
        out += pageText(report.pages[p]);
    }
    return out;
}

void exportText(const PreparedReport& report, const QString& path, const ProgressFn& progress) {
    writeAll(path, reportText(report, progress).toUtf8());
}

void exportHtml(const PreparedReport& report, const QString& path, const ProgressFn& progress) {
    QString out =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>%1</title>\n<style>\n"
                       "body{background:#888;margin:0;padding:8px}\n"
                       ".page{position:relative;background:#fff;margin:0 auto 8px auto;"
                       "overflow:hidden}\n"
                       ".page>*{position:absolute;box-sizing:border-box;margin:0}\n"
                       ".t{white-space:pre;overflow:hidden;line-height:1.15}\n"
                       "@media print{body{background:none;padding:0}"
                       ".page{margin:0;page-break-after:always}}\n"
                       "</style>\n</head>\n<body>\n")
            .arg(html(report.title));
    for (int p = 0; p < report.pageCount(); ++p) {
        if (progress && !progress(p, report.pageCount()))
            throw Cancelled();
        const PreparedPage& page = report.pages[p];
        out += QStringLiteral("<div class=\"page\" style=\"width:%1;height:%2\">\n")
                   .arg(mm(page.sizeMm.width()), mm(page.sizeMm.height()));
        for (const PreparedItem& item : page.items)
            out += itemHtml(item);
        out += QStringLiteral("</div>\n");
    }
    out += QStringLiteral("</body>\n</html>\n");
    writeAll(path, out.toUtf8());
}

} // namespace report
