#pragma once

#include "report/report_template.h"

#include <QPointF>
#include <QRectF>
#include <QWidget>

class QPlainTextEdit;

namespace report {

// The page of a template as the designer shows it: each band a labelled stripe with its area
// below, the objects drawn as they print. Objects are selected, moved and resized with the mouse
// and the arrow keys (Shift resizes) on a grid, a band's height by dragging its lower edge, and
// a text is edited in place after a double click.
class DesignerCanvas : public QWidget {
    Q_OBJECT
public:
    explicit DesignerCanvas(QWidget* parent = nullptr);

    void setTemplate(ReportTemplate* report); // not owned
    void relayout();                          // after the template changed from outside

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    double gridMm() const { return m_gridMm; }
    void setGridMm(double mm) { m_gridMm = mm; }
    bool snapToGrid() const { return m_snap; }
    void setSnapToGrid(bool on) { m_snap = on; }

    int selectedBand() const { return m_band; }
    int selectedObject() const { return m_object; }
    ReportObject* selectedObjectPtr() const;
    void select(int band, int object = -1);

    // Where things are drawn, in widget pixels (for the window and for tests).
    QRectF bandArea(int band) const;
    QRectF objectArea(int band, int object) const;

    void startTextEdit();
    bool isEditingText() const { return m_editor != nullptr; }
    QPlainTextEdit* textEditor() const { return m_editor; }
    void finishTextEdit(bool keep);

    static constexpr double kStripeMm = 4.5;

signals:
    void aboutToChange(); // the canvas is about to change the template: time for an undo step
    void changed();
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Drag { None, Move, Resize, BandHeight };

    double px() const;
    double bandTopMm(int band) const;
    QSizeF canvasSizeMm() const;
    double snap(double mm) const;
    void hitTest(const QPointF& pos, int& band, int& object, Drag& drag) const;
    void drawBand(QPainter& painter, int band);

    ReportTemplate* m_report = nullptr;
    double m_zoom = 1.0;
    double m_gridMm = 1.0;
    bool m_snap = true;
    int m_band = -1;
    int m_object = -1;

    Drag m_drag = Drag::None;
    QPointF m_pressPos;
    QRectF m_pressRect;       // object rectangle (mm) when the drag started
    double m_pressHeight = 0; // band height when the drag started
    bool m_dragChanged = false;

    QPlainTextEdit* m_editor = nullptr;
};

} // namespace report
