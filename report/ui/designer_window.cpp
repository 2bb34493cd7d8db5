#include "report/ui/designer_window.h"

#include "report/row_source.h"
#include "report/template_file.h"
#include "report/ui/designer_canvas.h"
#include "report/ui/page_settings_dialog.h"
#include "report/ui/prepare_with_progress.h"
#include "report/ui/preview_window.h"
#include "report/ui/property_panel.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace report {
namespace {

const QString kCaption = QStringLiteral("Дизайнер отчёта");
constexpr int kUndoDepth = 200;

QString uniqueName(const ReportTemplate& t, const QString& prefix) {
    for (int i = 1;; ++i) {
        const QString name = prefix + QString::number(i);
        if (!t.findObject(name))
            return name;
    }
}

QString bandName(const ReportTemplate& t, BandKind kind) {
    for (int i = 1;; ++i) {
        const QString name = bandKindName(kind) + QString::number(i);
        bool used = false;
        for (const Band& b : t.bands)
            used = used || b.name.compare(name, Qt::CaseInsensitive) == 0;
        if (!used)
            return name;
    }
}

} // namespace

DesignerWindow::DesignerWindow(Report& report, const QString& path, QWidget* parent)
    : QDialog(parent), m_report(report), m_path(path),
      m_template(deepCopy(report.reportTemplate())) {
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    resize(1180, 800);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_canvas = new DesignerCanvas;
    m_scroll = new QScrollArea;
    m_scroll->setWidget(m_canvas);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_properties = new PropertyPanel;
    auto* propertyScroll = new QScrollArea;
    propertyScroll->setWidget(m_properties);
    propertyScroll->setWidgetResizable(true);
    propertyScroll->setMinimumWidth(430);

    buildToolBar();
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_scroll);
    splitter->addWidget(propertyScroll);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setCollapsible(1, false);
    splitter->setSizes({width() - 440, 440});
    layout->addWidget(splitter, 1);

    QStringList dataSetNames;
    for (const DataSetBinding& d : m_report.dataSets())
        dataSetNames.push_back(d.name);
    m_properties->setDataSetNames(dataSetNames);

    connect(m_canvas, &DesignerCanvas::aboutToChange, this, [this] { snapshot(); });
    connect(m_canvas, &DesignerCanvas::changed, this, [this] {
        afterChange();
        m_properties->reload();
    });
    connect(m_canvas, &DesignerCanvas::selectionChanged, this, &DesignerWindow::refreshSelection);
    connect(m_properties, &PropertyPanel::aboutToChange, this,
            [this](const QString& key) { snapshot(key); });
    connect(m_properties, &PropertyPanel::changed, this, &DesignerWindow::afterChange);
    m_canvas->setTemplate(&m_template);
    updateTitle();
}

DesignerWindow::~DesignerWindow() = default;

void DesignerWindow::buildToolBar() {
    auto* bar = new QToolBar(this);
    static_cast<QVBoxLayout*>(layout())->addWidget(bar);
    bar->addAction(QStringLiteral("Сохранить"), this, &DesignerWindow::save)
        ->setShortcut(QKeySequence::Save);
    bar->addAction(QStringLiteral("Сохранить как ..."), this, &DesignerWindow::saveAs);
    bar->addSeparator();
    QAction* undo = bar->addAction(QStringLiteral("Отменить"), this, &DesignerWindow::undo);
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = bar->addAction(QStringLiteral("Повторить"), this, &DesignerWindow::redo);
    redo->setShortcuts({QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)});
    bar->addSeparator();
    bar->addAction(QStringLiteral("Параметры страницы"), this, &DesignerWindow::editPageSettings);
    auto* snap = new QCheckBox(QStringLiteral("Сетка 1 мм"), bar);
    snap->setChecked(true);
    connect(snap, &QCheckBox::toggled, m_canvas, &DesignerCanvas::setSnapToGrid);
    bar->addWidget(snap);
    bar->addSeparator();
    bar->addAction(QStringLiteral("Просмотр"), this, &DesignerWindow::preview)
        ->setShortcut(Qt::CTRL | Qt::Key_P);

    // What can be added and removed, on a second row.
    bar = new QToolBar(this);
    static_cast<QVBoxLayout*>(layout())->addWidget(bar);
    bar->addAction(QStringLiteral("Текст"), this, [this] { addObject(ObjectKind::Text); });
    bar->addAction(QStringLiteral("Линия"), this, [this] { addObject(ObjectKind::Line); });
    bar->addAction(QStringLiteral("Прямоугольник"), this,
                   [this] { addObject(ObjectKind::Rectangle); });
    bar->addAction(QStringLiteral("Рисунок"), this, [this] { addObject(ObjectKind::Picture); });
    bar->addAction(QStringLiteral("Кросс-таблица"), this,
                   [this] { addObject(ObjectKind::CrossTab); });
    m_fields = new QComboBox(bar);
    m_fields->addItem(QStringLiteral("Поле данных ..."));
    for (const DataSetBinding& d : m_report.dataSets()) {
        if (!d.source)
            continue;
        for (const QString& field : d.source->fieldNames())
            m_fields->addItem(d.name + QLatin1Char('.') + field, QStringList{d.name, field});
    }
    connect(m_fields, &QComboBox::activated, this, [this](int index) {
        const QStringList ref = m_fields->itemData(index).toStringList();
        if (ref.size() == 2)
            addField(ref[0], ref[1]);
        m_fields->setCurrentIndex(0);
    });
    bar->addWidget(m_fields);
    bar->addSeparator();

    auto* bandButton = new QToolButton(bar);
    bandButton->setText(QStringLiteral("Добавить бэнд"));
    bandButton->setPopupMode(QToolButton::InstantPopup);
    auto* bandMenu = new QMenu(bandButton);
    for (int k = 0; k <= static_cast<int>(BandKind::ReportSummary); ++k) {
        const auto kind = static_cast<BandKind>(k);
        bandMenu->addAction(bandKindCaption(kind), this, [this, kind] { addBand(kind); });
    }
    bandButton->setMenu(bandMenu);
    bar->addWidget(bandButton);
    bar->addAction(QStringLiteral("Удалить бэнд"), this, &DesignerWindow::removeSelectedBand);
    bar->addAction(QStringLiteral("Удалить объект"), this, &DesignerWindow::removeSelectedObject);
}

void DesignerWindow::snapshot(const QString& key) {
    if (!key.isEmpty() && key == m_lastKey)
        return; // typing into one field is one step
    m_lastKey = key;
    m_undo.push_back(deepCopy(m_template));
    if (m_undo.size() > kUndoDepth)
        m_undo.removeFirst();
    m_redo.clear();
}

void DesignerWindow::afterChange() {
    m_modified = true;
    m_canvas->relayout();
    updateTitle();
}

void DesignerWindow::refreshSelection() {
    m_lastKey.clear();
    const int band = m_canvas->selectedBand();
    m_properties->show(band >= 0 && band < m_template.bands.size() ? &m_template.bands[band]
                                                                   : nullptr,
                       m_canvas->selectedObjectPtr());
}

void DesignerWindow::undo() {
    if (m_undo.isEmpty())
        return;
    m_canvas->finishTextEdit(false);
    m_redo.push_back(deepCopy(m_template));
    m_template = m_undo.takeLast();
    m_lastKey.clear();
    m_modified = true;
    m_canvas->relayout();
    refreshSelection();
    updateTitle();
}

void DesignerWindow::redo() {
    if (m_redo.isEmpty())
        return;
    m_canvas->finishTextEdit(false);
    m_undo.push_back(deepCopy(m_template));
    m_template = m_redo.takeLast();
    m_lastKey.clear();
    m_modified = true;
    m_canvas->relayout();
    refreshSelection();
    updateTitle();
}

int DesignerWindow::targetBand() const {
    if (m_canvas->selectedBand() >= 0)
        return m_canvas->selectedBand();
    for (int b = 0; b < m_template.bands.size(); ++b) {
        if (m_template.bands[b].kind == BandKind::MasterData)
            return b;
    }
    return m_template.bands.isEmpty() ? -1 : 0;
}

void DesignerWindow::addObject(ObjectKind kind) {
    const int band = targetBand();
    if (band < 0) {
        message(QStringLiteral("Сначала добавьте бэнд, на котором будет лежать объект."));
        return;
    }
    ReportObject o;
    o.kind = kind;
    const PageSettings& page = m_template.page;
    const double width = page.sizeMm().width() - page.marginsMm.left() - page.marginsMm.right();
    switch (kind) {
    case ObjectKind::Text:
        o.name = uniqueName(m_template, QStringLiteral("Memo"));
        o.rect = QRectF(0, 0, 40, 5);
        o.text = QStringLiteral("Текст");
        break;
    case ObjectKind::Line:
        o.name = uniqueName(m_template, QStringLiteral("Line"));
        o.rect = QRectF(0, 0, 40, 0);
        break;
    case ObjectKind::Rectangle:
        o.name = uniqueName(m_template, QStringLiteral("Rect"));
        o.rect = QRectF(0, 0, 30, 10);
        break;
    case ObjectKind::Picture: {
        const QString file =
            m_pictureFile
                ? m_pictureFile()
                : QFileDialog::getOpenFileName(this, QStringLiteral("Рисунок"), QString(),
                                               QStringLiteral("Рисунки (*.png *.jpg *.bmp)"));
        if (file.isEmpty())
            return;
        const QImage image(file);
        if (image.isNull()) {
            message(QStringLiteral("Не удалось прочитать рисунок «%1».").arg(file));
            return;
        }
        QBuffer buffer(&o.png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        o.name = uniqueName(m_template, QStringLiteral("Picture"));
        const double h = 20.0;
        o.rect = QRectF(0, 0, h * image.width() / std::max(1, image.height()), h);
        break;
    }
    case ObjectKind::CrossTab:
        o.name = uniqueName(m_template, QStringLiteral("Cross"));
        o.rect = QRectF(0, 0, width, 20);
        break;
    }
    snapshot();
    m_template.bands[band].objects.push_back(o);
    afterChange();
    m_canvas->select(band, static_cast<int>(m_template.bands[band].objects.size()) - 1);
}

void DesignerWindow::addField(const QString& dataSet, const QString& field) {
    const int band = targetBand();
    if (band < 0) {
        message(QStringLiteral("Сначала добавьте бэнд, на котором будет лежать объект."));
        return;
    }
    ReportObject o;
    o.name = uniqueName(m_template, QStringLiteral("Memo_") + field + QLatin1Char('_'));
    o.rect = QRectF(0, 0, 30, 5);
    o.text = QStringLiteral("[%1.\"%2\"]").arg(dataSet, field);
    o.frame.sides = FrameAll;
    snapshot();
    m_template.bands[band].objects.push_back(o);
    afterChange();
    m_canvas->select(band, static_cast<int>(m_template.bands[band].objects.size()) - 1);
}

void DesignerWindow::addBand(BandKind kind) {
    Band band;
    band.kind = kind;
    band.name = bandName(m_template, kind);
    band.heightMm = kind == BandKind::ReportTitle ? 15 : 6;
    if (kind == BandKind::MasterData && !m_report.dataSets().isEmpty())
        band.dataSet = m_report.dataSets().front().name;
    // Bands are listed in the order they print.
    int at = 0;
    while (at < m_template.bands.size() && m_template.bands[at].kind <= kind)
        ++at;
    snapshot();
    m_template.bands.insert(at, band);
    afterChange();
    m_canvas->select(at, -1);
}

void DesignerWindow::removeSelectedBand() {
    const int band = m_canvas->selectedBand();
    if (band < 0 || band >= m_template.bands.size())
        return;
    m_canvas->select(-1, -1);
    snapshot();
    m_template.bands.removeAt(band);
    afterChange();
    refreshSelection();
}

void DesignerWindow::removeSelectedObject() {
    const int band = m_canvas->selectedBand();
    const int object = m_canvas->selectedObject();
    if (band < 0 || object < 0)
        return;
    m_canvas->select(band, -1);
    snapshot();
    m_template.bands[band].objects.removeAt(object);
    afterChange();
    refreshSelection();
}

void DesignerWindow::editPageSettings() {
    PageSettingsDialog dialog(m_template.page, this);
    if (dialog.exec() != QDialog::Accepted || dialog.settings() == m_template.page)
        return;
    snapshot();
    m_template.page = dialog.settings();
    afterChange();
}

void DesignerWindow::preview() {
    m_canvas->finishTextEdit(true);
    Report copy;
    copy.setTemplate(deepCopy(m_template));
    for (const DataSetBinding& d : m_report.dataSets())
        copy.setDataSet(d.name, d.source);
    std::optional<PreparedReport> prepared = prepareWithProgress(copy, this);
    if (!prepared)
        return;
    if (m_runPreview) {
        m_runPreview(std::move(*prepared));
        return;
    }
    PreviewWindow window(std::move(*prepared), this);
    window.exec();
}

bool DesignerWindow::save() {
    m_canvas->finishTextEdit(true);
    if (m_path.isEmpty())
        return saveAs();
    return writeTo(m_path);
}

bool DesignerWindow::saveAs() {
    m_canvas->finishTextEdit(true);
    QString path =
        m_saveAsPath ? m_saveAsPath()
                     : QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить макет"), m_path,
                                                    QStringLiteral("Макеты отчётов (*.fr3)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".fr3");
    if (!writeTo(path))
        return false;
    m_path = path;
    updateTitle();
    return true;
}

bool DesignerWindow::writeTo(const QString& path) {
    try {
        TemplateFile::save(m_template, path);
    } catch (const TemplateError& e) {
        message(e.message());
        return false;
    }
    m_report.setTemplate(deepCopy(m_template));
    m_modified = false;
    updateTitle();
    return true;
}

void DesignerWindow::reject() {
    m_canvas->finishTextEdit(true);
    if (m_modified) {
        CloseAnswer answer = CloseAnswer::Cancel;
        if (m_askClose) {
            answer = m_askClose();
        } else {
            const auto button = QMessageBox::question(
                this, kCaption, QStringLiteral("Сохранить изменения в макете?"),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
            answer = button == QMessageBox::Yes  ? CloseAnswer::Save
                     : button == QMessageBox::No ? CloseAnswer::Discard
                                                 : CloseAnswer::Cancel;
        }
        if (answer == CloseAnswer::Cancel || (answer == CloseAnswer::Save && !save()))
            return;
    }
    QDialog::reject();
}

void DesignerWindow::updateTitle() {
    const QString file =
        m_path.isEmpty() ? QStringLiteral("новый макет") : QFileInfo(m_path).fileName();
    setWindowTitle(kCaption + QStringLiteral(" - ") + file +
                   (m_modified ? QStringLiteral(" *") : QString()));
}

void DesignerWindow::message(const QString& text) {
    if (m_message)
        m_message(text);
    else
        QMessageBox::warning(this, kCaption, text);
}

} // namespace report
