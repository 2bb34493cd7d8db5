#include "report/ui/designer_canvas.h"

#include "report/page_renderer.h"
#include "report/text_layout.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <deque>

namespace report {
namespace {

constexpr double kOriginPx = 12;
constexpr double kBandGapMm = 1.0;
constexpr double kHandlePx = 7;
constexpr double kEdgePx = 4;

QString bandLabel(const Band& band) {
    QString label = bandKindCaption(band.kind);
    if (!band.name.isEmpty())
        label += QStringLiteral(": ") + band.name;
    if (band.kind == BandKind::MasterData && !band.dataSet.isEmpty())
        label += QStringLiteral(" (%1)").arg(band.dataSet);
    if (band.kind == BandKind::GroupHeader && !band.groupCondition.isEmpty())
        label += QStringLiteral(" (%1)").arg(band.groupCondition);
    return label;
}

} // namespace

DesignerCanvas::DesignerCanvas(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0x90, 0x90, 0x90));
    setPalette(p);
}

void DesignerCanvas::setTemplate(ReportTemplate* report) {
    finishTextEdit(false);
    m_report = report;
    m_band = -1;
    m_object = -1;
    relayout();
    emit selectionChanged();
}

void DesignerCanvas::relayout() {
    if (!m_report)
        return;
    if (m_band >= m_report->bands.size())
        m_band = static_cast<int>(m_report->bands.size()) - 1;
    if (m_band < 0 || m_object >= m_report->bands[m_band].objects.size())
        m_object = -1;
    const QSizeF mm = canvasSizeMm();
    setFixedSize(static_cast<int>(mm.width() * px() + 2 * kOriginPx),
                 static_cast<int>(mm.height() * px() + 2 * kOriginPx));
    update();
}

void DesignerCanvas::setZoom(double zoom) {
    m_zoom = std::clamp(zoom, 0.25, 4.0);
    relayout();
}

double DesignerCanvas::px() const {
    return m_zoom * logicalDpiX() / 25.4;
}

double DesignerCanvas::bandTopMm(int band) const {
    double y = m_report->page.marginsMm.top();
    for (int i = 0; i < band; ++i)
        y += kStripeMm + m_report->bands[i].heightMm + kBandGapMm;
    return y + kStripeMm;
}

QSizeF DesignerCanvas::canvasSizeMm() const {
    const QSizeF page = m_report->page.sizeMm();
    const double bottom = bandTopMm(static_cast<int>(m_report->bands.size())) - kStripeMm +
                          m_report->page.marginsMm.bottom();
    return QSizeF(page.width(), std::max(page.height(), bottom));
}

QRectF DesignerCanvas::bandArea(int band) const {
    const PageSettings& page = m_report->page;
    const double width = page.sizeMm().width() - page.marginsMm.left() - page.marginsMm.right();
    return QRectF(kOriginPx + page.marginsMm.left() * px(), kOriginPx + bandTopMm(band) * px(),
                  width * px(), m_report->bands[band].heightMm * px());
}

QRectF DesignerCanvas::objectArea(int band, int object) const {
    const QRectF area = bandArea(band);
    const QRectF r = m_report->bands[band].objects[object].rect;
    return QRectF(area.x() + r.x() * px(), area.y() + r.y() * px(), r.width() * px(),
                  r.height() * px());
}

ReportObject* DesignerCanvas::selectedObjectPtr() const {
    if (!m_report || m_band < 0 || m_object < 0)
        return nullptr;
    return &m_report->bands[m_band].objects[m_object];
}

void DesignerCanvas::select(int band, int object) {
    finishTextEdit(true);
    if (band == m_band && object == m_object)
        return;
    m_band = band;
    m_object = object;
    update();
    emit selectionChanged();
}

double DesignerCanvas::snap(double mm) const {
    if (!m_snap || m_gridMm <= 0)
        return std::round(mm * 10) / 10;
    return std::round(mm / m_gridMm) * m_gridMm;
}

void DesignerCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_report)
        return;
    const QSizeF mm = canvasSizeMm();
    const QRectF page(kOriginPx, kOriginPx, mm.width() * px(), mm.height() * px());
    painter.fillRect(page.translated(3, 3), QColor(0, 0, 0, 80));
    painter.fillRect(page, Qt::white);
    const QMarginsF& m = m_report->page.marginsMm;
    painter.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 1, Qt::DotLine));
    painter.drawRect(
        page.adjusted(m.left() * px(), m.top() * px(), -m.right() * px(), -m.bottom() * px()));
    for (int b = 0; b < m_report->bands.size(); ++b)
        drawBand(painter, b);
    if (ReportObject* o = selectedObjectPtr()) {
        Q_UNUSED(o);
        const QRectF r = objectArea(m_band, m_object).adjusted(-1, -1, 1, 1);
        painter.setPen(QPen(QColor(0, 90, 220), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        painter.fillRect(
            QRectF(r.right() - kHandlePx / 2, r.bottom() - kHandlePx / 2, kHandlePx, kHandlePx),
            QColor(0, 90, 220));
    } else if (m_band >= 0) {
        painter.setPen(QPen(QColor(0, 90, 220), 2));
        painter.drawRect(bandArea(m_band));
    }
}

void DesignerCanvas::drawBand(QPainter& painter, int b) {
    const Band& band = m_report->bands[b];
    const QRectF area = bandArea(b);
    const QRectF stripe(area.x(), area.y() - kStripeMm * px(), area.width(), kStripeMm * px());
    painter.fillRect(stripe, b == m_band ? QColor(0xC8, 0xD8, 0xF0) : QColor(0xE4, 0xE8, 0xEE));
    QFont font = this->font();
    font.setPixelSize(std::max(8, static_cast<int>(kStripeMm * px() * 0.6)));
    painter.setFont(font);
    painter.setPen(QColor(0x40, 0x40, 0x50));
    painter.drawText(stripe.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     bandLabel(band));
    painter.setPen(QPen(QColor(0xC0, 0xC8, 0xD8), 1, Qt::DashLine));
    painter.drawLine(area.bottomLeft(), area.bottomRight());

    // The objects drawn by the same code that prints them, texts as written in the template.
    TextLayout layout;
    std::deque<ReportObject> styles;
    PreparedPage page;
    for (const ReportObject& o : band.objects) {
        PreparedItem item;
        item.kind = o.kind;
        item.style = &o;
        item.rect = o.rect;
        item.fill = o.fillColor;
        if (o.kind == ObjectKind::CrossTab) {
            ReportObject style = o;
            if (style.frame.sides == FrameNone)
                style.frame.sides = FrameAll;
            styles.push_back(style);
            item.style = &styles.back();
            item.kind = ObjectKind::Text;
            item.lines = {QStringLiteral("Кросс-таблица"),
                          QStringLiteral("Строки: ") + o.crossTab.rowExpr,
                          QStringLiteral("Колонки: ") + o.crossTab.columnExpr,
                          QStringLiteral("Ячейки: ") + o.crossTab.cellExpr};
        } else if (o.kind == ObjectKind::Text) {
            item.lines =
                layout.breakLines(o.text, o.font, o.rect.width() - 2 * o.paddingMm, o.wordWrap);
        }
        if (item.kind == ObjectKind::Text) {
            const auto metrics = layout.metrics(item.style->font);
            item.lineHeightMm = static_cast<float>(metrics.lineHeightMm);
            item.ascentMm = static_cast<float>(metrics.ascentMm);
            item.clip = true;
        }
        page.items.push_back(item);
    }
    painter.save();
    painter.translate(area.topLeft());
    PageRenderer renderer;
    renderer.render(painter, page, px());
    // Objects without a frame show their bounds faintly, so an empty text can be found.
    painter.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    for (const ReportObject& o : band.objects) {
        if (o.kind == ObjectKind::Text && o.frame.sides == FrameNone)
            painter.drawRect(QRectF(o.rect.x() * px(), o.rect.y() * px(), o.rect.width() * px(),
                                    o.rect.height() * px()));
    }
    painter.restore();
}

void DesignerCanvas::hitTest(const QPointF& pos, int& band, int& object, Drag& drag) const {
    band = -1;
    object = -1;
    drag = Drag::None;
    if (!m_report)
        return;
    // The selected object's handle wins over everything under it.
    if (m_band >= 0 && m_object >= 0) {
        const QRectF r = objectArea(m_band, m_object);
        if (QLineF(pos, r.bottomRight()).length() <= kHandlePx) {
            band = m_band;
            object = m_object;
            drag = Drag::Resize;
            return;
        }
    }
    for (int b = 0; b < m_report->bands.size(); ++b) {
        const QRectF area = bandArea(b);
        const QRectF withStripe = area.adjusted(0, -kStripeMm * px(), 0, kEdgePx);
        if (!withStripe.contains(pos))
            continue;
        band = b;
        // Just on or below the lower edge the band's height wins: the cells of a data band
        // usually reach its edge.
        if (pos.y() >= area.bottom() - 1 && pos.y() <= area.bottom() + kEdgePx) {
            drag = Drag::BandHeight;
            return;
        }
        const auto& objects = m_report->bands[b].objects;
        for (int o = static_cast<int>(objects.size()) - 1; o >= 0; --o) {
            const QRectF r = objectArea(b, o).adjusted(-2, -2, 2, 2);
            if (r.contains(pos)) {
                object = o;
                drag = Drag::Move;
                return;
            }
        }
        if (std::abs(pos.y() - area.bottom()) <= kEdgePx)
            drag = Drag::BandHeight;
        return;
    }
}

void DesignerCanvas::mousePressEvent(QMouseEvent* event) {
    setFocus();
    if (event->button() != Qt::LeftButton)
        return;
    int band, object;
    Drag drag;
    hitTest(event->position(), band, object, drag);
    select(band, object);
    m_drag = drag;
    m_pressPos = event->position();
    m_dragChanged = false;
    if (ReportObject* o = selectedObjectPtr())
        m_pressRect = o->rect;
    if (band >= 0)
        m_pressHeight = m_report->bands[band].heightMm;
}

void DesignerCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (m_drag == Drag::None || !(event->buttons() & Qt::LeftButton)) {
        int band, object;
        Drag drag;
        hitTest(event->position(), band, object, drag);
        setCursor(drag == Drag::Resize       ? Qt::SizeFDiagCursor
                  : drag == Drag::BandHeight ? Qt::SizeVerCursor
                  : drag == Drag::Move       ? Qt::SizeAllCursor
                                             : Qt::ArrowCursor);
        return;
    }
    const QPointF delta = (event->position() - m_pressPos) / px();
    if (!m_dragChanged && delta.manhattanLength() * px() < 2)
        return;
    if (!m_dragChanged) {
        emit aboutToChange();
        m_dragChanged = true;
    }
    if (m_drag == Drag::BandHeight) {
        m_report->bands[m_band].heightMm = std::max(0.0, snap(m_pressHeight + delta.y()));
        relayout();
        return;
    }
    ReportObject* o = selectedObjectPtr();
    if (!o)
        return;
    const double minSize = o->kind == ObjectKind::Line ? 0.0 : 1.0;
    if (m_drag == Drag::Move) {
        o->rect.moveTo(std::max(0.0, snap(m_pressRect.x() + delta.x())),
                       std::max(0.0, snap(m_pressRect.y() + delta.y())));
    } else {
        o->rect.setWidth(std::max(minSize, snap(m_pressRect.right() + delta.x()) - o->rect.x()));
        o->rect.setHeight(std::max(minSize, snap(m_pressRect.bottom() + delta.y()) - o->rect.y()));
    }
    update();
}

void DesignerCanvas::mouseReleaseEvent(QMouseEvent*) {
    if (m_dragChanged)
        emit changed();
    m_drag = Drag::None;
    m_dragChanged = false;
}

void DesignerCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    int band, object;
    Drag drag;
    hitTest(event->position(), band, object, drag);
    select(band, object);
    startTextEdit();
}

void DesignerCanvas::keyPressEvent(QKeyEvent* event) {
    ReportObject* o = selectedObjectPtr();
    if (!o) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double step = m_snap && m_gridMm > 0 ? m_gridMm : 0.5;
    double dx = 0, dy = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        dx = -step;
        break;
    case Qt::Key_Right:
        dx = step;
        break;
    case Qt::Key_Up:
        dy = -step;
        break;
    case Qt::Key_Down:
        dy = step;
        break;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        startTextEdit();
        return;
    case Qt::Key_Delete:
        emit aboutToChange();
        m_report->bands[m_band].objects.removeAt(m_object);
        m_object = -1;
        update();
        emit changed();
        emit selectionChanged();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    emit aboutToChange();
    const double minSize = o->kind == ObjectKind::Line ? 0.0 : 1.0;
    if (event->modifiers() & Qt::ShiftModifier) {
        o->rect.setWidth(std::max(minSize, o->rect.width() + dx));
        o->rect.setHeight(std::max(minSize, o->rect.height() + dy));
    } else {
        o->rect.moveTo(std::max(0.0, o->rect.x() + dx), std::max(0.0, o->rect.y() + dy));
    }
    update();
    emit changed();
}

void DesignerCanvas::startTextEdit() {
    ReportObject* o = selectedObjectPtr();
    if (!o || o->kind != ObjectKind::Text || m_editor)
        return;
    m_editor = new QPlainTextEdit(this);
    m_editor->setPlainText(o->text);
    QRectF r = objectArea(m_band, m_object);
    r.setWidth(std::max(r.width(), 160.0));
    r.setHeight(std::max(r.height(), 48.0));
    m_editor->setGeometry(r.toRect());
    m_editor->setToolTip(QStringLiteral("Ctrl+Enter - готово, Esc - отмена"));
    m_editor->installEventFilter(this);
    m_editor->show();
    m_editor->setFocus();
    m_editor->selectAll();
}

void DesignerCanvas::finishTextEdit(bool keep) {
    if (!m_editor)
        return;
    QPlainTextEdit* editor = m_editor;
    m_editor = nullptr;
    editor->removeEventFilter(this);
    ReportObject* o = selectedObjectPtr();
    if (keep && o && editor->toPlainText() != o->text) {
        emit aboutToChange();
        o->text = editor->toPlainText();
        emit changed();
    }
    editor->hide();
    editor->deleteLater();
    setFocus();
    update();
}

bool DesignerCanvas::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Escape) {
                finishTextEdit(false);
                return true;
            }
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                (key->modifiers() & Qt::ControlModifier)) {
                finishTextEdit(true);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            finishTextEdit(true);
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace report
