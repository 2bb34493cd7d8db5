#include "report/ui/page_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace report {
namespace {

const struct {
    const char* name;
    double width, height;
} kPapers[] = {{"A4 (210 × 297 мм)", 210, 297},
               {"A3 (297 × 420 мм)", 297, 420},
               {"A5 (148 × 210 мм)", 148, 210},
               {"Letter (216 × 279 мм)", 215.9, 279.4}};

QDoubleSpinBox* mmBox(double min, double max, double value) {
    auto* box = new QDoubleSpinBox;
    box->setRange(min, max);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" мм"));
    box->setValue(value);
    return box;
}

} // namespace

PageSettingsDialog::PageSettingsDialog(const PageSettings& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Параметры страницы"));
    auto* layout = new QVBoxLayout(this);
    auto* paperBox = new QGroupBox(QStringLiteral("Бумага"));
    auto* paperForm = new QFormLayout(paperBox);
    m_paper = new QComboBox;
    for (const auto& p : kPapers)
        m_paper->addItem(QString::fromUtf8(p.name));
    m_paper->addItem(QStringLiteral("Другой размер"));
    m_width = mmBox(10, 5000, s.paperMm.width());
    m_height = mmBox(10, 5000, s.paperMm.height());
    paperForm->addRow(QStringLiteral("Размер:"), m_paper);
    paperForm->addRow(QStringLiteral("Ширина:"), m_width);
    paperForm->addRow(QStringLiteral("Высота:"), m_height);
    m_portrait = new QRadioButton(QStringLiteral("Книжная"));
    m_landscape = new QRadioButton(QStringLiteral("Альбомная"));
    (s.landscape ? m_landscape : m_portrait)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(m_portrait);
    orientation->addWidget(m_landscape);
    paperForm->addRow(QStringLiteral("Ориентация:"), orientation);
    layout->addWidget(paperBox);

    auto* marginBox = new QGroupBox(QStringLiteral("Поля"));
    auto* marginForm = new QFormLayout(marginBox);
    const double values[4] = {s.marginsMm.left(), s.marginsMm.top(), s.marginsMm.right(),
                              s.marginsMm.bottom()};
    const char* names[4] = {"Левое:", "Верхнее:", "Правое:", "Нижнее:"};
    for (int i = 0; i < 4; ++i) {
        m_margins[i] = mmBox(0, 200, values[i]);
        marginForm->addRow(QString::fromUtf8(names[i]), m_margins[i]);
    }
    layout->addWidget(marginBox);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    int current = m_paper->count() - 1;
    for (int i = 0; i < static_cast<int>(std::size(kPapers)); ++i) {
        if (qAbs(kPapers[i].width - s.paperMm.width()) < 0.5 &&
            qAbs(kPapers[i].height - s.paperMm.height()) < 0.5)
            current = i;
    }
    m_paper->setCurrentIndex(current);
    paperChosen(current);
    connect(m_paper, &QComboBox::currentIndexChanged, this, &PageSettingsDialog::paperChosen);
}

void PageSettingsDialog::paperChosen(int index) {
    const bool custom = index < 0 || index >= static_cast<int>(std::size(kPapers));
    m_width->setEnabled(custom);
    m_height->setEnabled(custom);
    if (!custom) {
        m_width->setValue(kPapers[index].width);
        m_height->setValue(kPapers[index].height);
    }
}

PageSettings PageSettingsDialog::settings() const {
    PageSettings s;
    s.paperMm = QSizeF(m_width->value(), m_height->value());
    s.landscape = m_landscape->isChecked();
    s.marginsMm = QMarginsF(m_margins[0]->value(), m_margins[1]->value(), m_margins[2]->value(),
                            m_margins[3]->value());
    return s;
}

} // namespace report
