#pragma once

#include <QDialog>

struct BooksEnvironment;
class DataGrid;
class DatasetModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolBar;
namespace fb {
class Dataset;
}

// The organisation picker of the schedule filter: the organisations with a search by name.
// The opener reads the choice from the radio buttons and the current row.
class TOrganization_Form : public QDialog {
    Q_OBJECT
public:
    explicit TOrganization_Form(BooksEnvironment& env, QWidget* parent = nullptr);
    ~TOrganization_Form() override;

    // The current row's ID and NAME (an invalid value when the list shows no rows).
    QVariant selectedId() const;
    QString selectedName() const;

    fb::Dataset* DataSet_O = nullptr;
    DatasetModel* model = nullptr;
    QToolBar* ToolBar_Main = nullptr;
    QLabel* Label_Header = nullptr;
    QLabel* Label_Count = nullptr;
    QGroupBox* GB_Filter = nullptr;
    QRadioButton* RBtn_Any = nullptr;
    QRadioButton* RBtn_None = nullptr;
    QRadioButton* RBtn_Select = nullptr;
    QLineEdit* Edit_Search = nullptr;
    DataGrid* DBGrid_Org = nullptr;
    QPushButton* Btn_OK = nullptr;
    QPushButton* Btn_Cancel = nullptr;

    void RBtn_AnyClick();
    void RBtn_SelectClick();
    void Btn_OKClick();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Edit_SearchChange();
    void DataSet_OAfterScroll();

    BooksEnvironment& m_env;
};
