#include "report/ui/page_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace report {
namespace {

constexpr int kGapPx = 12;
constexpr int kCachedPages = 8;

} // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
}

void PageView::setReport(const PreparedReport* report) {
    m_report = report;
    m_topsMm.clear();
    double top = 0;
    if (m_report) {
        for (const PreparedPage& page : m_report->pages) {
            m_topsMm.push_back(top);
            top += page.sizeMm.height();
        }
    }
    m_topsMm.push_back(top);
    m_cache.clear();
    clearHighlight();
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    viewport()->update();
    notifyPage();
}

double PageView::pxPerMm() const {
    return m_zoom * logicalDpiX() / 25.4;
}

int PageView::pageTopPx(int page) const {
    return kGapPx + static_cast<int>(m_topsMm.value(page) * pxPerMm()) + page * kGapPx;
}

QSize PageView::pageSizePx(int page) const {
    const QSizeF mm = m_report->pages[page].sizeMm;
    return QSize(qRound(mm.width() * pxPerMm()), qRound(mm.height() * pxPerMm()));
}

void PageView::setZoom(double zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (qFuzzyCompare(zoom, m_zoom))
        return;
    const int page = currentPage();
    m_zoom = zoom;
    m_cache.clear();
    updateScrollBars();
    goToPage(page);
    viewport()->update();
    emit zoomChanged(m_zoom);
}

void PageView::fitWidth() {
    if (!m_report || m_report->isEmpty())
        return;
    const double widthMm = m_report->pages[currentPage()].sizeMm.width();
    setZoom((viewport()->width() - 2 * kGapPx) / (widthMm * logicalDpiX() / 25.4));
}

void PageView::fitPage() {
    if (!m_report || m_report->isEmpty())
        return;
    const QSizeF mm = m_report->pages[currentPage()].sizeMm;
    const double unit = logicalDpiX() / 25.4;
    setZoom(std::min((viewport()->width() - 2 * kGapPx) / (mm.width() * unit),
                     (viewport()->height() - 2 * kGapPx) / (mm.height() * unit)));
}

int PageView::currentPage() const {
    if (!m_report || m_report->isEmpty())
        return 0;
    // The page that holds the point a third down the view.
    const int y = verticalScrollBar()->value() + viewport()->height() / 3;
    int page = 0;
    while (page + 1 < m_report->pageCount() && pageTopPx(page + 1) - kGapPx / 2 <= y)
        ++page;
    return page;
}

void PageView::goToPage(int page) {
    if (!m_report || m_report->isEmpty())
        return;
    page = std::clamp(page, 0, m_report->pageCount() - 1);
    verticalScrollBar()->setValue(pageTopPx(page) - kGapPx);
    notifyPage();
}

void PageView::setHighlight(int page, const TextHighlight& highlight) {
    m_cache.remove(m_highlightPage);
    m_highlightPage = page;
    m_highlight = highlight;
    m_cache.remove(page);
    const PreparedItem& item = m_report->pages[page].items[highlight.item];
    const double px = pxPerMm();
    const int top = pageTopPx(page) + static_cast<int>(item.rect.top() * px);
    const int bottom = pageTopPx(page) + static_cast<int>(item.rect.bottom() * px);
    QScrollBar* v = verticalScrollBar();
    if (top < v->value() || bottom > v->value() + viewport()->height())
        v->setValue(top - viewport()->height() / 3);
    const int left = static_cast<int>(item.rect.left() * px);
    QScrollBar* h = horizontalScrollBar();
    if (left < h->value() || left > h->value() + viewport()->width() - 20)
        h->setValue(left - 20);
    viewport()->update();
    notifyPage();
}

void PageView::clearHighlight() {
    if (m_highlightPage >= 0)
        m_cache.remove(m_highlightPage);
    m_highlightPage = -1;
    viewport()->update();
}

void PageView::updateScrollBars() {
    if (!m_report || m_report->isEmpty()) {
        verticalScrollBar()->setRange(0, 0);
        horizontalScrollBar()->setRange(0, 0);
        return;
    }
    const int count = m_report->pageCount();
    const int total = pageTopPx(count) + kGapPx;
    double widest = 0;
    for (const PreparedPage& page : m_report->pages)
        widest = std::max(widest, page.sizeMm.width());
    const int width = static_cast<int>(widest * pxPerMm()) + 2 * kGapPx;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, total - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
}

const QImage& PageView::pageImage(int page) {
    auto it = m_cache.find(page);
    if (it != m_cache.end())
        return *it;
    if (m_cache.size() >= kCachedPages)
        m_cache.clear();
    const qreal ratio = devicePixelRatioF();
    const QSize size = pageSizePx(page);
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        QVector<TextHighlight> highlights;
        if (page == m_highlightPage)
            highlights.push_back(m_highlight);
        m_renderer.render(painter, m_report->pages[page], pxPerMm(), highlights);
    }
    return *m_cache.insert(page, image);
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (!m_report || m_report->isEmpty())
        return;
    const int dy = verticalScrollBar()->value();
    const int viewWidth = viewport()->width();
    const QRect area = event->rect();
    for (int p = std::max(0, currentPage() - 2); p < m_report->pageCount(); ++p) {
        const int top = pageTopPx(p) - dy;
        if (top > area.bottom())
            break;
        const QSize size = pageSizePx(p);
        if (top + size.height() < area.top())
            continue;
        int left = (viewWidth - size.width()) / 2;
        if (left < kGapPx)
            left = kGapPx - horizontalScrollBar()->value();
        const QRect rect(QPoint(left, top), size);
        painter.fillRect(rect.translated(3, 3), QColor(0, 0, 0, 90));
        painter.drawImage(rect.topLeft(), pageImage(p));
    }
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
    notifyPage();
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        setZoom(m_zoom * (event->angleDelta().y() > 0 ? 1.25 : 0.8));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::notifyPage() {
    const int page = currentPage();
    if (page != m_lastPage) {
        m_lastPage = page;
        emit currentPageChanged(page);
    }
}

} // namespace report
