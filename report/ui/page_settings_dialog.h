#pragma once

#include "report/report_template.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QRadioButton;

namespace report {

// Paper size, orientation and margins of a template.
class PageSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageSettingsDialog(const PageSettings& settings, QWidget* parent = nullptr);
    PageSettings settings() const;

private:
    void paperChosen(int index);

    QComboBox* m_paper = nullptr;
    QDoubleSpinBox* m_width = nullptr;
    QDoubleSpinBox* m_height = nullptr;
    QRadioButton* m_portrait = nullptr;
    QRadioButton* m_landscape = nullptr;
    QDoubleSpinBox* m_margins[4] = {};
};

} // namespace report
