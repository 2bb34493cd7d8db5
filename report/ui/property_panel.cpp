#include "report/ui/property_panel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace report {
namespace {

QDoubleSpinBox* mmBox(double min, double max, double step = 0.5) {
    auto* box = new QDoubleSpinBox;
    box->setRange(min, max);
    box->setDecimals(1);
    box->setSingleStep(step);
    box->setSuffix(QStringLiteral(" мм"));
    box->setKeyboardTracking(false);
    return box;
}

int sideIndex(int side) {
    switch (side) {
    case FrameLeft:
        return 0;
    case FrameTop:
        return 1;
    case FrameRight:
        return 2;
    default:
        return 3;
    }
}

constexpr int kSides[4] = {FrameLeft, FrameTop, FrameRight, FrameBottom};

} // namespace

PropertyPanel::PropertyPanel(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    buildObjectGroup();
    buildBandGroup();
    layout->addWidget(m_objectGroup);
    layout->addWidget(m_crossGroup);
    layout->addWidget(m_bandGroup);
    layout->addStretch(1);
    m_pickColor = [this](const QColor& current, const QString& title) {
        return QColorDialog::getColor(current.isValid() ? current : QColor(Qt::white), this, title);
    };
    show(nullptr, nullptr);
}

QCheckBox* PropertyPanel::frameBox(int side) const {
    return m_frame[sideIndex(side)];
}

void PropertyPanel::buildObjectGroup() {
    m_objectGroup = new QGroupBox(QStringLiteral("Объект"));
    auto* form = new QFormLayout(m_objectGroup);
    m_name = new QLineEdit;
    form->addRow(QStringLiteral("Имя:"), m_name);
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) {
        edit(QStringLiteral("name"), [&](ReportObject& o) { o.name = text.trimmed(); });
    });
    m_text = new QPlainTextEdit;
    m_text->setMinimumHeight(60);
    m_text->setMaximumHeight(110);
    form->addRow(QStringLiteral("Текст:"), m_text);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        edit(QStringLiteral("text"), [&](ReportObject& o) { o.text = m_text->toPlainText(); });
    });

    const char* geometryNames[4] = {"X:", "Y:", "Ширина:", "Высота:"};
    auto* geometry = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        m_geometry[i] = mmBox(0, 2000);
        geometry->addWidget(new QLabel(QString::fromUtf8(geometryNames[i])), i / 2, (i % 2) * 2);
        geometry->addWidget(m_geometry[i], i / 2, (i % 2) * 2 + 1);
        connect(m_geometry[i], &QDoubleSpinBox::valueChanged, this, [this, i](double v) {
            edit(QStringLiteral("geometry%1").arg(i), [&](ReportObject& o) {
                if (i == 0)
                    o.rect.moveLeft(v);
                else if (i == 1)
                    o.rect.moveTop(v);
                else if (i == 2)
                    o.rect.setWidth(v);
                else
                    o.rect.setHeight(v);
            });
        });
    }
    form->addRow(geometry);

    m_font = new QFontComboBox;
    m_font->setMaximumWidth(220);
    form->addRow(QStringLiteral("Шрифт:"), m_font);
    connect(m_font, &QFontComboBox::currentFontChanged, this, [this](const QFont& f) {
        edit(QStringLiteral("font"), [&](ReportObject& o) { o.font.family = f.family(); });
    });
    m_size = new QDoubleSpinBox;
    m_size->setRange(1, 200);
    m_size->setDecimals(1);
    m_size->setSuffix(QStringLiteral(" пт"));
    m_size->setKeyboardTracking(false);
    form->addRow(QStringLiteral("Размер:"), m_size);
    connect(m_size, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        edit(QStringLiteral("size"), [&](ReportObject& o) { o.font.sizePt = v; });
    });
    auto* styles = new QHBoxLayout;
    m_bold = new QCheckBox(QStringLiteral("Жирный"));
    m_italic = new QCheckBox(QStringLiteral("Курсив"));
    m_underline = new QCheckBox(QStringLiteral("Подчёркнутый"));
    styles->addWidget(m_bold);
    styles->addWidget(m_italic);
    styles->addWidget(m_underline);
    form->addRow(styles);
    connect(m_bold, &QCheckBox::toggled, this,
            [this](bool on) { edit({}, [&](ReportObject& o) { o.font.bold = on; }); });
    connect(m_italic, &QCheckBox::toggled, this,
            [this](bool on) { edit({}, [&](ReportObject& o) { o.font.italic = on; }); });
    connect(m_underline, &QCheckBox::toggled, this,
            [this](bool on) { edit({}, [&](ReportObject& o) { o.font.underline = on; }); });

    m_hAlign = new QComboBox;
    m_hAlign->addItems({QStringLiteral("По левому краю"), QStringLiteral("По центру"),
                        QStringLiteral("По правому краю")});
    form->addRow(QStringLiteral("По горизонтали:"), m_hAlign);
    connect(m_hAlign, &QComboBox::currentIndexChanged, this, [this](int i) {
        edit({}, [&](ReportObject& o) { o.hAlign = static_cast<HAlign>(i); });
    });
    m_vAlign = new QComboBox;
    m_vAlign->addItems(
        {QStringLiteral("Сверху"), QStringLiteral("По центру"), QStringLiteral("Снизу")});
    form->addRow(QStringLiteral("По вертикали:"), m_vAlign);
    connect(m_vAlign, &QComboBox::currentIndexChanged, this, [this](int i) {
        edit({}, [&](ReportObject& o) { o.vAlign = static_cast<VAlign>(i); });
    });

    auto* frame = new QHBoxLayout;
    const char* sideNames[4] = {"Л", "В", "П", "Н"};
    for (int i = 0; i < 4; ++i) {
        m_frame[i] = new QCheckBox(QString::fromUtf8(sideNames[i]));
        frame->addWidget(m_frame[i]);
        connect(m_frame[i], &QCheckBox::toggled, this, [this, i](bool on) {
            edit({}, [&](ReportObject& o) {
                o.frame.sides = on ? (o.frame.sides | kSides[i]) : (o.frame.sides & ~kSides[i]);
            });
        });
    }
    m_frameWidth = mmBox(0, 10, 0.1);
    m_frameWidth->setDecimals(2);
    frame->addWidget(m_frameWidth);
    connect(m_frameWidth, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        edit(QStringLiteral("frameWidth"), [&](ReportObject& o) {
            (o.kind == ObjectKind::Text ? o.frame.widthMm : o.lineWidthMm) = v;
        });
    });
    m_frameColor = new QPushButton;
    frame->addWidget(m_frameColor);
    connect(m_frameColor, &QPushButton::clicked, this, [this] {
        pickColor({}, QStringLiteral("Цвет рамки"), [](ReportObject& o) -> QColor& {
            return o.kind == ObjectKind::Text ? o.frame.color : o.lineColor;
        });
    });
    form->addRow(QStringLiteral("Рамка:"), frame);

    auto* colors = new QHBoxLayout;
    m_textColor = new QPushButton(QStringLiteral("Текст"));
    m_fillColor = new QPushButton(QStringLiteral("Заливка"));
    m_noFill = new QCheckBox(QStringLiteral("Без заливки"));
    colors->addWidget(m_textColor);
    colors->addWidget(m_fillColor);
    colors->addWidget(m_noFill);
    form->addRow(QStringLiteral("Цвета:"), colors);
    connect(m_textColor, &QPushButton::clicked, this, [this] {
        pickColor({}, QStringLiteral("Цвет текста"),
                  [](ReportObject& o) -> QColor& { return o.textColor; });
    });
    connect(m_fillColor, &QPushButton::clicked, this, [this] {
        pickColor({}, QStringLiteral("Цвет заливки"),
                  [](ReportObject& o) -> QColor& { return o.fillColor; });
    });
    connect(m_noFill, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            edit({}, [&](ReportObject& o) { o.fillColor = QColor(); });
    });

    auto* flags = new QHBoxLayout;
    m_wordWrap = new QCheckBox(QStringLiteral("Переносить слова"));
    m_stretch = new QCheckBox(QStringLiteral("Растягивать по тексту"));
    flags->addWidget(m_wordWrap);
    flags->addWidget(m_stretch);
    form->addRow(flags);
    connect(m_wordWrap, &QCheckBox::toggled, this,
            [this](bool on) { edit({}, [&](ReportObject& o) { o.wordWrap = on; }); });
    connect(m_stretch, &QCheckBox::toggled, this,
            [this](bool on) { edit({}, [&](ReportObject& o) { o.stretch = on; }); });
    m_dateFormat = new QLineEdit;
    m_dateFormat->setPlaceholderText(QStringLiteral("dd.MM.yyyy"));
    form->addRow(QStringLiteral("Формат дат:"), m_dateFormat);
    connect(m_dateFormat, &QLineEdit::textEdited, this, [this](const QString& text) {
        edit(QStringLiteral("dateFormat"), [&](ReportObject& o) { o.dateFormat = text; });
    });
    m_fillField = new QLineEdit;
    m_fillField->setPlaceholderText(QStringLiteral("поле с цветом строки"));
    form->addRow(QStringLiteral("Заливка из поля:"), m_fillField);
    connect(m_fillField, &QLineEdit::textEdited, this, [this](const QString& text) {
        edit(QStringLiteral("fillField"), [&](ReportObject& o) { o.fillField = text.trimmed(); });
    });

    m_crossGroup = new QGroupBox(QStringLiteral("Кросс-таблица"));
    auto* cross = new QFormLayout(m_crossGroup);
    const char* crossNames[4] = {"Строки:", "Колонки:", "Ячейки:", "Угол:"};
    for (int i = 0; i < 4; ++i) {
        m_cross[i] = new QLineEdit;
        cross->addRow(QString::fromUtf8(crossNames[i]), m_cross[i]);
        connect(m_cross[i], &QLineEdit::textEdited, this, [this, i](const QString& text) {
            edit(QStringLiteral("cross%1").arg(i), [&](ReportObject& o) {
                QString* targets[4] = {&o.crossTab.rowExpr, &o.crossTab.columnExpr,
                                       &o.crossTab.cellExpr, &o.crossTab.cornerText};
                *targets[i] = text;
            });
        });
    }
    const char* sizeNames[2] = {"Ширина заголовка строк:", "Ширина колонки:"};
    for (int i = 0; i < 2; ++i) {
        m_crossSize[i] = mmBox(1, 1000);
        cross->addRow(QString::fromUtf8(sizeNames[i]), m_crossSize[i]);
        connect(m_crossSize[i], &QDoubleSpinBox::valueChanged, this, [this, i](double v) {
            edit(QStringLiteral("crossSize%1").arg(i), [&](ReportObject& o) {
                (i == 0 ? o.crossTab.rowHeaderWidthMm : o.crossTab.columnWidthMm) = v;
            });
        });
    }
}

void PropertyPanel::buildBandGroup() {
    m_bandGroup = new QGroupBox(QStringLiteral("Бэнд"));
    auto* form = new QFormLayout(m_bandGroup);
    m_bandName = new QLineEdit;
    form->addRow(QStringLiteral("Имя:"), m_bandName);
    connect(m_bandName, &QLineEdit::textEdited, this, [this](const QString& text) {
        editBand(QStringLiteral("bandName"), [&](Band& b) { b.name = text.trimmed(); });
    });
    m_bandHeight = mmBox(0, 2000);
    form->addRow(QStringLiteral("Высота:"), m_bandHeight);
    connect(m_bandHeight, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        editBand(QStringLiteral("bandHeight"), [&](Band& b) { b.heightMm = v; });
    });
    m_dataSet = new QComboBox;
    m_dataSet->setEditable(true);
    form->addRow(QStringLiteral("Набор данных:"), m_dataSet);
    connect(m_dataSet, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        editBand(QStringLiteral("dataSet"), [&](Band& b) { b.dataSet = text.trimmed(); });
    });
    m_condition = new QLineEdit;
    m_condition->setPlaceholderText(QStringLiteral("[Набор.\"ПОЛЕ\"]"));
    form->addRow(QStringLiteral("Условие группы:"), m_condition);
    connect(m_condition, &QLineEdit::textEdited, this, [this](const QString& text) {
        editBand(QStringLiteral("condition"), [&](Band& b) { b.groupCondition = text; });
    });
    m_firstPage = new QCheckBox(QStringLiteral("На первой странице"));
    m_newPage = new QCheckBox(QStringLiteral("С новой страницы"));
    form->addRow(m_firstPage);
    form->addRow(m_newPage);
    connect(m_firstPage, &QCheckBox::toggled, this,
            [this](bool on) { editBand({}, [&](Band& b) { b.printOnFirstPage = on; }); });
    connect(m_newPage, &QCheckBox::toggled, this,
            [this](bool on) { editBand({}, [&](Band& b) { b.startNewPage = on; }); });
}

void PropertyPanel::setDataSetNames(const QStringList& names) {
    m_loading = true;
    m_dataSet->clear();
    m_dataSet->addItems(names);
    m_loading = false;
    reload();
}

void PropertyPanel::paintSwatch(QPushButton* button, const QColor& color) {
    QPixmap swatch(14, 14);
    swatch.fill(color.isValid() ? color : QColor(Qt::transparent));
    button->setIcon(QIcon(swatch));
}

void PropertyPanel::show(Band* band, ReportObject* object) {
    m_band = band;
    m_object = object;
    m_loading = true;
    const bool isText =
        object && (object->kind == ObjectKind::Text || object->kind == ObjectKind::CrossTab);
    m_objectGroup->setVisible(object != nullptr);
    m_crossGroup->setVisible(object && object->kind == ObjectKind::CrossTab);
    m_bandGroup->setVisible(band != nullptr && object == nullptr);
    if (object) {
        const ReportObject& o = *object;
        m_name->setText(o.name);
        m_text->setPlainText(o.text);
        m_text->setEnabled(o.kind == ObjectKind::Text);
        const double g[4] = {o.rect.x(), o.rect.y(), o.rect.width(), o.rect.height()};
        for (int i = 0; i < 4; ++i)
            m_geometry[i]->setValue(g[i]);
        m_font->setCurrentFont(QFont(o.font.family));
        m_size->setValue(o.font.sizePt);
        m_bold->setChecked(o.font.bold);
        m_italic->setChecked(o.font.italic);
        m_underline->setChecked(o.font.underline);
        m_hAlign->setCurrentIndex(static_cast<int>(o.hAlign));
        m_vAlign->setCurrentIndex(static_cast<int>(o.vAlign));
        for (int i = 0; i < 4; ++i) {
            m_frame[i]->setChecked(o.frame.sides & kSides[i]);
            m_frame[i]->setEnabled(isText);
        }
        m_frameWidth->setValue(o.kind == ObjectKind::Text ? o.frame.widthMm : o.lineWidthMm);
        paintSwatch(m_frameColor, o.kind == ObjectKind::Text ? o.frame.color : o.lineColor);
        paintSwatch(m_textColor, o.textColor);
        paintSwatch(m_fillColor, o.fillColor);
        m_noFill->setChecked(!o.fillColor.isValid());
        m_wordWrap->setChecked(o.wordWrap);
        m_stretch->setChecked(o.stretch);
        m_dateFormat->setText(o.dateFormat);
        m_fillField->setText(o.fillField);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 m_font, m_size, m_bold, m_italic, m_underline, m_hAlign, m_vAlign, m_textColor,
                 m_wordWrap, m_stretch, m_dateFormat, m_fillField})
            w->setEnabled(isText);
        const QString cross[4] = {o.crossTab.rowExpr, o.crossTab.columnExpr, o.crossTab.cellExpr,
                                  o.crossTab.cornerText};
        for (int i = 0; i < 4; ++i)
            m_cross[i]->setText(cross[i]);
        m_crossSize[0]->setValue(o.crossTab.rowHeaderWidthMm);
        m_crossSize[1]->setValue(o.crossTab.columnWidthMm);
    }
    if (band) {
        m_bandName->setText(band->name);
        m_bandHeight->setValue(band->heightMm);
        m_dataSet->setEditText(band->dataSet);
        m_dataSet->setEnabled(band->kind == BandKind::MasterData);
        m_condition->setText(band->groupCondition);
        m_condition->setEnabled(band->kind == BandKind::GroupHeader);
        m_firstPage->setChecked(band->printOnFirstPage);
        m_firstPage->setEnabled(band->kind == BandKind::PageHeader ||
                                band->kind == BandKind::PageFooter);
        m_newPage->setChecked(band->startNewPage);
        m_newPage->setEnabled(band->kind == BandKind::GroupHeader);
    }
    m_loading = false;
}

void PropertyPanel::edit(const QString& key, const std::function<void(ReportObject&)>& apply) {
    if (m_loading || !m_object)
        return;
    emit aboutToChange(key);
    apply(*m_object);
    emit changed();
}

void PropertyPanel::editBand(const QString& key, const std::function<void(Band&)>& apply) {
    if (m_loading || !m_band)
        return;
    emit aboutToChange(key);
    apply(*m_band);
    emit changed();
}

void PropertyPanel::pickColor(const QString& key, const QString& title,
                              const std::function<QColor&(ReportObject&)>& member) {
    if (!m_object)
        return;
    const QColor chosen = m_pickColor(member(*m_object), title);
    if (!chosen.isValid())
        return;
    edit(key, [&](ReportObject& o) { member(o) = chosen; });
    reload();
}

} // namespace report
