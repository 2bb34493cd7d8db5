#pragma once

#include "report/page_renderer.h"
#include "report/prepared_report.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QVector>

namespace report {

// Shows prepared pages one below the other at a zoom; draws only the pages in view, so a
// report of thousands of pages scrolls as easily as one of a few.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);

    void setReport(const PreparedReport* report);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    void fitWidth();
    void fitPage();
    static constexpr double kMinZoom = 0.1;
    static constexpr double kMaxZoom = 8.0;

    // 0-based; the page that fills the upper part of the view.
    int currentPage() const;
    void goToPage(int page);

    // Marks found text and scrolls it into view.
    void setHighlight(int page, const TextHighlight& highlight);
    void clearHighlight();

signals:
    void currentPageChanged(int page);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    double pxPerMm() const;
    int pageTopPx(int page) const;
    QSize pageSizePx(int page) const;
    void updateScrollBars();
    const QImage& pageImage(int page);
    void notifyPage();

    const PreparedReport* m_report = nullptr;
    QVector<double> m_topsMm; // cumulative page tops
    double m_zoom = 1.0;
    int m_lastPage = -1;
    int m_highlightPage = -1;
    TextHighlight m_highlight;
    PageRenderer m_renderer;
    QHash<int, QImage> m_cache;
};

} // namespace report
