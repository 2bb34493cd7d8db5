#include "report/engine.h"

#include "report/expression.h"
#include "report/row_source.h"
#include "report/text_layout.h"

#include <QHash>
#include <algorithm>

namespace report {
namespace {

constexpr double kEps = 0.01;
constexpr int kProgressStep = 500;

// A colour held by a data field: a QColor, a colour name or "#rrggbb", or an integer 0xRRGGBB.
QColor colorFromValue(const QVariant& v) {
    if (v.typeId() == QMetaType::QColor)
        return v.value<QColor>();
    if (v.typeId() == QMetaType::QString)
        return QColor::fromString(v.toString());
    bool ok = false;
    const qint64 rgb = v.toLongLong(&ok);
    if (ok && rgb >= 0 && rgb <= 0xFFFFFF)
        return QColor::fromRgb(static_cast<QRgb>(rgb));
    return {};
}

struct CompiledObject {
    const ReportObject* object = nullptr;
    Expression expr;
    int fillField = -1;
    int sumBase = 0;
    int sumCount = 0;
};

struct CompiledBand {
    const Band* band = nullptr;
    QVector<CompiledObject> objects;
    QVector<const ReportObject*> crossTabs;
    Expression condition;
};

struct Accumulator {
    int count = 0;
    QVector<double> sums;
    void reset(int size) {
        count = 0;
        sums.fill(0.0, size);
    }
};

struct BandBox {
    QVector<PreparedItem> items;
    double height = 0;
};

class Preparer {
public:
    Preparer(const ReportTemplate& report, const QList<DataSetBinding>& dataSets,
             const PrepareOptions& options)
        : m_options(options) {
        m_result.source = std::make_shared<ReportTemplate>(deepCopy(report));
        m_result.extraStyles = std::make_shared<std::deque<ReportObject>>();
        m_template = m_result.source.get();
        m_result.title = report.title;
        m_size = report.page.sizeMm();
        m_margins = report.page.marginsMm;
        m_contentWidth = m_size.width() - m_margins.left() - m_margins.right();
        bindSource(dataSets);
        compile();
    }

    PreparedReport run() {
        const int rows = m_source ? m_source->rowCount() : 0;
        m_report.reset(static_cast<int>(m_sumFields.size()));
        m_groupAcc.resize(m_groupHeaders.size());
        m_row = rows > 0 ? 0 : -1;
        m_inData = m_master != nullptr;
        startPage(m_inData);
        if (m_master)
            walkRows(rows);
        m_inData = false;
        if (m_summary)
            emitBand(*m_summary, lastRow(rows), m_report, rows);
        finishPage();
        fixTotalPages();
        return std::move(m_result);
    }

private:
    int lastRow(int rows) const { return rows > 0 ? rows - 1 : -1; }

    void bindSource(const QList<DataSetBinding>& dataSets) {
        for (const Band& band : m_template->bands) {
            if (band.kind == BandKind::MasterData && m_masterName.isEmpty())
                m_masterName = band.dataSet;
        }
        for (const DataSetBinding& d : dataSets) {
            if (d.source && (m_masterName.isEmpty() ||
                             d.name.compare(m_masterName, Qt::CaseInsensitive) == 0)) {
                m_source = d.source;
                if (m_masterName.isEmpty())
                    m_masterName = d.name;
                break;
            }
        }
    }

    CompiledBand compileBand(const Band& band) {
        CompiledBand cb;
        cb.band = &band;
        cb.condition = Expression(band.groupCondition);
        cb.condition.bind(m_masterName, m_source);
        for (const ReportObject& o : band.objects) {
            if (o.kind == ObjectKind::CrossTab) {
                cb.crossTabs.push_back(&o);
                continue;
            }
            CompiledObject co;
            co.object = &o;
            if (o.kind == ObjectKind::Text) {
                co.expr = Expression(o.text);
                co.expr.bind(m_masterName, m_source);
                const QVector<int> sums = co.expr.sumFields();
                co.sumBase = static_cast<int>(m_sumFields.size());
                co.sumCount = static_cast<int>(sums.size());
                m_sumFields += sums;
            }
            if (!o.fillField.isEmpty() && m_source)
                co.fillField = m_source->fieldIndex(o.fillField);
            cb.objects.push_back(std::move(co));
        }
        return cb;
    }

    void compile() {
        // Bands are kept in a list whose addresses stay put while the pointers below are taken.
        m_bands.reserve(m_template->bands.size());
        for (const Band& band : m_template->bands)
            m_bands.push_back(compileBand(band));
        for (CompiledBand& cb : m_bands) {
            switch (cb.band->kind) {
            case BandKind::ReportTitle:
                setOnce(m_title, cb);
                break;
            case BandKind::PageHeader:
                setOnce(m_pageHeader, cb);
                break;
            case BandKind::ColumnHeader:
                setOnce(m_columnHeader, cb);
                break;
            case BandKind::GroupHeader:
                m_groupHeaders.push_back(&cb);
                break;
            case BandKind::MasterData:
                setOnce(m_master, cb);
                break;
            case BandKind::GroupFooter:
                m_groupFooters.push_back(&cb);
                break;
            case BandKind::ColumnFooter:
                setOnce(m_columnFooter, cb);
                break;
            case BandKind::PageFooter:
                setOnce(m_pageFooter, cb);
                break;
            case BandKind::ReportSummary:
                setOnce(m_summary, cb);
                break;
            }
        }
        if (m_master)
            buildTableColumns();
    }

    static void setOnce(const CompiledBand*& slot, const CompiledBand& cb) {
        if (!slot)
            slot = &cb;
    }

    // --- the data band's rows ---

    void walkRows(int rows) {
        const int levels = static_cast<int>(m_groupHeaders.size());
        QStringList keys(levels), previous(levels);
        m_inData = true;
        for (int r = 0; r < rows; ++r) {
            if (m_options.progress && r % kProgressStep == 0 && !m_options.progress(r, rows))
                throw Cancelled();
            m_row = r;
            int changed = levels;
            for (int l = 0; l < levels; ++l) {
                keys[l] = m_groupHeaders[l]->condition.evaluate(context(r, m_report, r));
                if (changed == levels && (r == 0 || keys[l] != previous[l]))
                    changed = l;
            }
            if (r > 0)
                closeGroups(changed, r - 1);
            for (int l = changed; l < levels; ++l) {
                m_groupAcc[l].reset(static_cast<int>(m_sumFields.size()));
                if (m_groupHeaders[l]->band->startNewPage && r > 0)
                    breakPage();
                emitBand(*m_groupHeaders[l], r, m_groupAcc[l], r + 1);
            }
            previous = keys;
            accumulate(m_report, r);
            for (Accumulator& acc : m_groupAcc)
                accumulate(acc, r);
            emitBand(*m_master, r, m_report, r + 1);
            addTableRow(r);
        }
        if (rows > 0)
            closeGroups(0, rows - 1);
        if (m_columnFooter) {
            m_limit += m_columnFooter->band->heightMm;
            emitBand(*m_columnFooter, lastRow(rows), m_report, rows);
        }
        if (m_options.progress && !m_options.progress(rows, rows))
            throw Cancelled();
    }

    // Footers of the groups from `level` inwards, innermost first, over the group's last row.
    void closeGroups(int level, int row) {
        const int levels = static_cast<int>(m_groupHeaders.size());
        for (int l = levels - 1; l >= level; --l) {
            const int footer = levels - 1 - l;
            if (footer < m_groupFooters.size())
                emitBand(*m_groupFooters[footer], row, m_groupAcc[l], row + 1);
        }
    }

    void accumulate(Accumulator& acc, int row) {
        ++acc.count;
        for (int i = 0; i < m_sumFields.size(); ++i) {
            if (m_sumFields[i] >= 0)
                acc.sums[i] += m_source->value(row, m_sumFields[i]).toDouble();
        }
    }

    Expression::Context context(int row, const Accumulator& acc, int line) const {
        Expression::Context c;
        c.source = m_source;
        c.row = row;
        c.page = m_pageNo;
        c.date = m_options.now.date();
        c.time = m_options.now.time();
        c.line = line;
        c.count = acc.count;
        return c;
    }

    // --- laying a band out ---

    BandBox layoutBand(const CompiledBand& cb, int row, const Accumulator& acc, int line) {
        BandBox box;
        const double designHeight = cb.band->heightMm;
        double height = designHeight;
        Expression::Context ctx = context(row, acc, line);
        QVector<double> sums;
        box.items.reserve(cb.objects.size());
        for (const CompiledObject& co : cb.objects) {
            const ReportObject& o = *co.object;
            PreparedItem item;
            item.kind = o.kind;
            item.style = &o;
            item.rect = o.rect;
            item.fill = o.fillColor;
            if (co.fillField >= 0 && row >= 0) {
                const QColor c = colorFromValue(m_source->value(row, co.fillField));
                if (c.isValid())
                    item.fill = c;
            }
            if (o.kind == ObjectKind::Text) {
                if (co.sumCount > 0) {
                    sums = acc.sums.mid(co.sumBase, co.sumCount);
                    ctx.sums = &sums;
                } else {
                    ctx.sums = nullptr;
                }
                ctx.dateFormat = o.dateFormat;
                layoutText(item, co.expr.evaluate(ctx));
            }
            box.items.push_back(std::move(item));
        }
        shiftBelowStretched(box.items);
        for (const PreparedItem& item : box.items)
            height = std::max(height, item.rect.bottom());
        if (height > designHeight + kEps) {
            // Objects that reach the band's lower edge grow with it, so a row stays a grid.
            for (PreparedItem& item : box.items) {
                const ReportObject& o = *item.style;
                const bool vertical = o.kind != ObjectKind::Line || o.rect.width() < kEps;
                if (o.kind != ObjectKind::Picture && vertical &&
                    o.rect.bottom() >= designHeight - kEps && item.rect.bottom() < height)
                    item.rect.setBottom(height);
            }
        }
        box.height = height;
        return box;
    }

    // An object that lies wholly below a text that grew moves down with it, so a long filter
    // text in a title pushes the lines under it down instead of covering them.
    static void shiftBelowStretched(QVector<PreparedItem>& items) {
        bool grown = false;
        for (const PreparedItem& item : items)
            grown = grown || item.rect.height() > item.style->rect.height() + kEps;
        if (!grown)
            return;
        QVector<int> order(items.size());
        for (int i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return items[a].style->rect.top() < items[b].style->rect.top();
        });
        QVector<double> shift(items.size(), 0.0);
        for (int k = 0; k < order.size(); ++k) {
            const QRectF mine = items[order[k]].style->rect;
            for (int j = 0; j < k; ++j) {
                const PreparedItem& above = items[order[j]];
                const QRectF design = above.style->rect;
                const double growth = above.rect.height() - design.height();
                if (growth <= kEps || design.bottom() > mine.top() + kEps ||
                    design.right() <= mine.left() + kEps || design.left() >= mine.right() - kEps)
                    continue;
                shift[order[k]] = std::max(shift[order[k]], shift[order[j]] + growth);
            }
        }
        for (int i = 0; i < items.size(); ++i)
            items[i].rect.translate(0, shift[i]);
    }

    void layoutText(PreparedItem& item, const QString& text) {
        const ReportObject& o = *item.style;
        const double inner = o.rect.width() - 2 * o.paddingMm;
        bool fits = true;
        item.lines = m_text.breakLines(text, o.font, inner, o.wordWrap, &fits);
        const TextLayout::Metrics m = m_text.metrics(o.font);
        item.lineHeightMm = static_cast<float>(m.lineHeightMm);
        item.ascentMm = static_cast<float>(m.ascentMm);
        const double needed = item.lines.size() * m.lineHeightMm + 2 * o.paddingMm;
        if (o.stretch && needed > item.rect.height())
            item.rect.setHeight(needed);
        item.clip = !fits || needed > item.rect.height() + kEps;
    }

    // --- pages ---

    void emitBand(const CompiledBand& cb, int row, const Accumulator& acc, int line) {
        BandBox box = layoutBand(cb, row, acc, line);
        const double height = box.height;
        const double top = place(std::move(box), true);
        if (cb.crossTabs.isEmpty())
            return;
        // A cross table starts where it lies on its band and flows on from there.
        const qsizetype page = m_result.pages.size();
        for (const ReportObject* ct : cb.crossTabs) {
            if (m_result.pages.size() == page)
                m_y = top + ct->rect.y();
            emitCrossTab(*ct);
        }
        if (m_result.pages.size() == page)
            m_y = std::max(m_y, top + height);
    }

    // Places a band below the previous one, on a new page when it does not fit; a band taller
    // than a whole page continues on the next ones. Returns the band's top on its page.
    double place(BandBox box, bool mayBreak) {
        if (mayBreak && box.height > m_limit - m_y + kEps && m_y > m_bodyTop + kEps)
            breakPage();
        while (mayBreak && box.height > m_limit - m_y + kEps && m_limit - m_y > 1.0) {
            const double before = box.height;
            box = splitAt(std::move(box), m_limit - m_y);
            // Headers that leave less room than one line of the band: splitting would go on
            // for ever, so the rest prints on this page as far as the sheet goes.
            if (box.height >= before - kEps)
                break;
        }
        const double top = m_y;
        putOnPage(box.items, top);
        m_y += box.height;
        return top;
    }

    // Puts what fits above `cut` on this page and returns the rest, moved to the next page.
    BandBox splitAt(BandBox box, double cut) {
        BandBox rest;
        QVector<PreparedItem> now;
        for (PreparedItem& item : box.items) {
            if (item.rect.bottom() <= cut + kEps) {
                now.push_back(std::move(item));
                continue;
            }
            if (item.rect.top() >= cut - kEps) {
                item.rect.translate(0, -cut);
                rest.items.push_back(std::move(item));
                continue;
            }
            PreparedItem tail = item;
            const double bottom = item.rect.bottom();
            item.rect.setBottom(cut);
            tail.rect = QRectF(item.rect.left(), 0, item.rect.width(), bottom - cut);
            if (item.kind == ObjectKind::Text && item.lineHeightMm > 0) {
                const double pad = item.style->paddingMm;
                const int fit = std::max(
                    0, static_cast<int>((cut - item.rect.top() - pad) / item.lineHeightMm));
                tail.lines = item.lines.mid(fit);
                item.lines = item.lines.mid(0, fit);
                tail.rect.setHeight(
                    std::max(tail.rect.height(), tail.lines.size() * item.lineHeightMm + 2 * pad));
            }
            now.push_back(std::move(item));
            rest.items.push_back(std::move(tail));
        }
        putOnPage(now, m_y);
        rest.height = box.height - cut;
        for (const PreparedItem& item : rest.items)
            rest.height = std::max(rest.height, item.rect.bottom());
        breakPage();
        return rest;
    }

    void putOnPage(QVector<PreparedItem>& items, double top) {
        PreparedPage& page = m_result.pages.back();
        const int pageIndex = static_cast<int>(m_result.pages.size()) - 1;
        for (PreparedItem& item : items) {
            item.rect.translate(m_margins.left(), top);
            if (item.kind == ObjectKind::Text) {
                for (const QString& line : std::as_const(item.lines)) {
                    if (line.contains(kTotalPagesMark)) {
                        m_marks.push_back({pageIndex, static_cast<int>(page.items.size())});
                        break;
                    }
                }
                if (m_collectHeader) {
                    const QString text = item.text().trimmed();
                    if (!text.isEmpty())
                        m_result.table.headerTexts.push_back(text);
                }
            }
            page.items.push_back(std::move(item));
        }
    }

    void breakPage() {
        if (m_inData && m_columnFooter) {
            m_limit += m_columnFooter->band->heightMm;
            emitBandNoBreak(*m_columnFooter);
        }
        startPage(m_inData);
    }

    void emitBandNoBreak(const CompiledBand& cb) {
        place(layoutBand(cb, m_row, m_report, 0), false);
    }

    void startPage(bool withColumnHeader) {
        if (!m_result.pages.isEmpty())
            finishPage();
        m_result.pages.push_back(PreparedPage{m_size, {}});
        m_pageNo = static_cast<int>(m_result.pages.size());
        m_y = m_margins.top();
        m_limit = m_size.height() - m_margins.bottom();
        if (m_pageFooter && (m_pageNo > 1 || m_pageFooter->band->printOnFirstPage)) {
            m_footerBox = layoutBand(*m_pageFooter, m_row, m_report, 0);
            m_limit -= m_footerBox.height;
            m_hasFooter = true;
        } else {
            m_hasFooter = false;
        }
        m_collectHeader = m_pageNo == 1;
        if (m_pageNo == 1 && m_title)
            place(layoutBand(*m_title, m_row, m_report, 0), false);
        if (m_pageHeader && (m_pageNo > 1 || m_pageHeader->band->printOnFirstPage))
            place(layoutBand(*m_pageHeader, m_row, m_report, 0), false);
        m_collectHeader = false;
        if (withColumnHeader && m_columnHeader)
            place(layoutBand(*m_columnHeader, m_row, m_report, 0), false);
        if (m_inData && m_columnFooter)
            m_limit -= m_columnFooter->band->heightMm;
        m_bodyTop = m_y;
    }

    void finishPage() {
        if (!m_hasFooter)
            return;
        m_hasFooter = false;
        m_y = m_size.height() - m_margins.bottom() - m_footerBox.height;
        place(std::move(m_footerBox), false);
    }

    void fixTotalPages() {
        const QString total = QString::number(m_result.pages.size());
        for (const auto& [page, index] : m_marks) {
            for (QString& line : m_result.pages[page].items[index].lines)
                line.replace(kTotalPagesMark, total);
        }
    }

    // --- the export table ---

    void buildTableColumns() {
        QVector<ExportTable::Column>& columns = m_result.table.columns;
        for (const CompiledObject& co : m_master->objects) {
            if (co.object->kind != ObjectKind::Text)
                continue;
            const QRectF r = co.object->rect;
            int at = -1;
            for (int i = 0; i < columns.size(); ++i) {
                if (std::abs(columns[i].xMm - r.x()) < 0.5)
                    at = i;
            }
            if (at < 0) {
                columns.push_back({r.x(), r.width(), {}});
            }
        }
        std::sort(columns.begin(), columns.end(),
                  [](const auto& a, const auto& b) { return a.xMm < b.xMm; });
        for (const CompiledObject& co : m_master->objects) {
            if (co.object->kind == ObjectKind::Text)
                m_tableObjects.push_back({&co, columnOf(co.object->rect)});
        }
        if (!m_columnHeader)
            return;
        // A caption belongs to the column it overlaps most.
        for (const CompiledObject& co : m_columnHeader->objects) {
            if (co.object->kind != ObjectKind::Text || !co.expr.isConstant())
                continue;
            const QRectF r = co.object->rect;
            int best = -1;
            double bestOverlap = 0;
            for (int i = 0; i < columns.size(); ++i) {
                const double overlap = std::min(r.right(), columns[i].xMm + columns[i].widthMm) -
                                       std::max(r.left(), columns[i].xMm);
                if (overlap > bestOverlap) {
                    bestOverlap = overlap;
                    best = i;
                }
            }
            if (best >= 0) {
                QString& caption = columns[best].caption;
                caption += (caption.isEmpty() ? QString() : QStringLiteral(" ")) +
                           co.expr.evaluate({}).trimmed();
            }
        }
    }

    int columnOf(const QRectF& r) const {
        const auto& columns = m_result.table.columns;
        for (int i = 0; i < columns.size(); ++i) {
            if (std::abs(columns[i].xMm - r.x()) < 0.5)
                return i;
        }
        return -1;
    }

    void addTableRow(int row) {
        QVector<QVariant> values(m_result.table.columns.size());
        Expression::Context ctx = context(row, m_report, row + 1);
        for (const auto& [co, column] : m_tableObjects) {
            if (column < 0)
                continue;
            const int field = co->expr.singleFieldIndex();
            QVariant v;
            if (field >= 0) {
                v = m_source->value(row, field);
                if (v.typeId() == QMetaType::QDateTime && !co->object->dateFormat.isEmpty() &&
                    !co->object->dateFormat.contains(QLatin1Char('h')))
                    v = v.toDate();
            } else {
                ctx.dateFormat = co->object->dateFormat;
                v = co->expr.evaluate(ctx);
            }
            if (values[column].isValid())
                values[column] = values[column].toString() + QLatin1Char(' ') + v.toString();
            else
                values[column] = v;
        }
        m_result.table.rows.push_back(std::move(values));
    }

    // --- the cross table ---

    struct CrossCell {
        QStringList lines;
        QColor fill;
    };

    const ReportObject* extraStyle(const ReportObject& base, bool header, HAlign align) {
        ReportObject style = base;
        style.kind = ObjectKind::Text;
        if (style.frame.sides == FrameNone)
            style.frame.sides = FrameAll;
        style.hAlign = align;
        style.wordWrap = true;
        if (header) {
            style.font.bold = true;
            if (!style.fillColor.isValid())
                style.fillColor = QColor(0xE8, 0xE8, 0xE8);
        }
        m_result.extraStyles->push_back(style);
        return &m_result.extraStyles->back();
    }

    void emitCrossTab(const ReportObject& o) {
        const CrossTabLayout& cross = o.crossTab;
        Expression rowE(cross.rowExpr), colE(cross.columnExpr), cellE(cross.cellExpr);
        rowE.bind(m_masterName, m_source);
        colE.bind(m_masterName, m_source);
        cellE.bind(m_masterName, m_source);
        const int fillField =
            m_source && !o.fillField.isEmpty() ? m_source->fieldIndex(o.fillField) : -1;
        QStringList rowKeys, colKeys;
        QHash<QString, int> rowIndex, colIndex;
        QHash<qint64, CrossCell> cells;
        const int rows = m_source ? m_source->rowCount() : 0;
        for (int r = 0; r < rows; ++r) {
            if (m_options.progress && r % kProgressStep == 0 && !m_options.progress(r, rows))
                throw Cancelled();
            Expression::Context ctx = context(r, m_report, r + 1);
            ctx.dateFormat = o.dateFormat;
            const QString rk = rowE.evaluate(ctx), ck = colE.evaluate(ctx);
            if (!rowIndex.contains(rk)) {
                rowIndex.insert(rk, static_cast<int>(rowKeys.size()));
                rowKeys.push_back(rk);
            }
            if (!colIndex.contains(ck)) {
                colIndex.insert(ck, static_cast<int>(colKeys.size()));
                colKeys.push_back(ck);
            }
            CrossCell& cell = cells[(qint64(rowIndex[rk]) << 32) | colIndex[ck]];
            // A cell text ends in a blank where its last part (a mark) is empty.
            QString line = cellE.evaluate(ctx);
            while (line.endsWith(QLatin1Char(' ')))
                line.chop(1);
            cell.lines.push_back(line);
            if (fillField >= 0) {
                const QColor c = colorFromValue(m_source->value(r, fillField));
                if (c.isValid())
                    cell.fill = c;
            }
        }
        auto order = [](const QStringList& keys, bool sort) {
            QVector<int> idx(keys.size());
            for (int i = 0; i < idx.size(); ++i)
                idx[i] = i;
            if (sort)
                std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) {
                    return QString::localeAwareCompare(keys[a], keys[b]) < 0;
                });
            return idx;
        };
        const QVector<int> rowOrder = order(rowKeys, cross.sortRows);
        const QVector<int> colOrder = order(colKeys, cross.sortColumns);

        const ReportObject* headStyle = extraStyle(o, true, HAlign::Center);
        const ReportObject* rowHeadStyle = extraStyle(o, false, HAlign::Left);
        const ReportObject* cellStyle = extraStyle(o, false, o.hAlign);

        const double x0 = o.rect.x();
        const double avail = m_contentWidth - x0 - cross.rowHeaderWidthMm;
        const int perChunk = std::max(1, static_cast<int>(avail / cross.columnWidthMm + kEps));

        for (int first = 0; first < std::max<int>(1, colOrder.size()); first += perChunk) {
            const int last = std::min<int>(colOrder.size(), first + perChunk);
            auto headerRow = [&] {
                QVector<std::pair<QString, const ReportObject*>> texts;
                texts.push_back({cross.cornerText, headStyle});
                for (int c = first; c < last; ++c)
                    texts.push_back({colKeys[colOrder[c]], headStyle});
                return crossRow(texts, {}, x0, cross, cross.headerHeightMm);
            };
            BandBox header = headerRow();
            if (header.height > m_limit - m_y + kEps && m_y > m_bodyTop + kEps)
                startPage(false);
            place(header, false);
            for (int r : rowOrder) {
                QVector<std::pair<QString, const ReportObject*>> texts;
                QVector<QColor> fills;
                texts.push_back({rowKeys[r], rowHeadStyle});
                fills.push_back({});
                for (int c = first; c < last; ++c) {
                    const auto it = cells.constFind((qint64(r) << 32) | colOrder[c]);
                    texts.push_back(
                        {it == cells.constEnd() ? QString() : it->lines.join(QLatin1Char('\n')),
                         cellStyle});
                    fills.push_back(it == cells.constEnd() ? QColor() : it->fill);
                }
                BandBox box = crossRow(texts, fills, x0, cross, cross.cellHeightMm);
                if (box.height > m_limit - m_y + kEps) {
                    startPage(false);
                    place(headerRow(), false);
                }
                place(std::move(box), true);
            }
            if (m_result.table.columns.isEmpty() && first == 0)
                fillCrossTable(cross, rowKeys, colKeys, rowOrder, colOrder, cells);
        }
    }

    BandBox crossRow(const QVector<std::pair<QString, const ReportObject*>>& texts,
                     const QVector<QColor>& fills, double x0, const CrossTabLayout& cross,
                     double minHeight) {
        BandBox box;
        double x = x0;
        double height = minHeight;
        for (int i = 0; i < texts.size(); ++i) {
            PreparedItem item;
            item.kind = ObjectKind::Text;
            item.style = texts[i].second;
            const double w = i == 0 ? cross.rowHeaderWidthMm : cross.columnWidthMm;
            item.rect = QRectF(x, 0, w, minHeight);
            item.fill = i < fills.size() && fills[i].isValid() ? fills[i] : item.style->fillColor;
            layoutTextIn(item, texts[i].first, w);
            height = std::max(height, item.rect.height());
            box.items.push_back(std::move(item));
            x += w;
        }
        for (PreparedItem& item : box.items)
            item.rect.setHeight(height);
        box.height = height;
        return box;
    }

    void layoutTextIn(PreparedItem& item, const QString& text, double width) {
        const ReportObject& o = *item.style;
        item.lines = m_text.breakLines(text, o.font, width - 2 * o.paddingMm, true);
        const TextLayout::Metrics m = m_text.metrics(o.font);
        item.lineHeightMm = static_cast<float>(m.lineHeightMm);
        item.ascentMm = static_cast<float>(m.ascentMm);
        item.rect.setHeight(
            std::max(item.rect.height(), item.lines.size() * m.lineHeightMm + 2 * o.paddingMm));
    }

    void fillCrossTable(const CrossTabLayout& cross, const QStringList& rowKeys,
                        const QStringList& colKeys, const QVector<int>& rowOrder,
                        const QVector<int>& colOrder, const QHash<qint64, CrossCell>& cells) {
        ExportTable& t = m_result.table;
        t.columns.push_back({0, cross.rowHeaderWidthMm, cross.cornerText});
        for (int c : colOrder)
            t.columns.push_back({0, cross.columnWidthMm, colKeys[c]});
        for (int r : rowOrder) {
            QVector<QVariant> values;
            values.push_back(rowKeys[r]);
            for (int c : colOrder) {
                const auto it = cells.constFind((qint64(r) << 32) | c);
                values.push_back(it == cells.constEnd() ? QString()
                                                        : it->lines.join(QLatin1Char('\n')));
            }
            t.rows.push_back(std::move(values));
        }
    }

    PrepareOptions m_options;
    PreparedReport m_result;
    const ReportTemplate* m_template = nullptr;
    const RowSource* m_source = nullptr;
    QString m_masterName;
    TextLayout m_text;

    QVector<CompiledBand> m_bands;
    const CompiledBand* m_title = nullptr;
    const CompiledBand* m_pageHeader = nullptr;
    const CompiledBand* m_columnHeader = nullptr;
    const CompiledBand* m_master = nullptr;
    const CompiledBand* m_columnFooter = nullptr;
    const CompiledBand* m_pageFooter = nullptr;
    const CompiledBand* m_summary = nullptr;
    QVector<const CompiledBand*> m_groupHeaders;
    QVector<const CompiledBand*> m_groupFooters;
    QVector<int> m_sumFields;
    Accumulator m_report;
    QVector<Accumulator> m_groupAcc;
    QVector<std::pair<const CompiledObject*, int>> m_tableObjects;

    QSizeF m_size;
    QMarginsF m_margins;
    double m_contentWidth = 0;
    int m_pageNo = 0;
    int m_row = -1; // the data row the headers and footers read
    double m_y = 0;
    double m_limit = 0;
    double m_bodyTop = 0;
    bool m_inData = false;
    bool m_collectHeader = false;
    bool m_hasFooter = false;
    BandBox m_footerBox;
    QVector<std::pair<int, int>> m_marks;
};

} // namespace

PreparedReport prepareReport(const ReportTemplate& report, const QList<DataSetBinding>& dataSets,
                             const PrepareOptions& options) {
    return Preparer(report, dataSets, options).run();
}

} // namespace report
