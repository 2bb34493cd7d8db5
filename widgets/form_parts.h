#pragma once

#include <QString>
#include <QStyle>

class QAbstractItemView;
class QBoxLayout;
class QDialog;
class QEvent;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class QWidget;

namespace fb {
class Dataset;
}

// Pieces the directory windows and their edit dialogs build alike.
namespace form_parts {

// The bold, slightly larger title line at the top of a window.
QLabel* headerLabel(const QString& text, QWidget* parent,
                    const QString& name = QStringLiteral("Label_Header"));

// A flat tool-bar button with a standard icon and a hint.
QToolButton* toolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                        const QString& hint);

// The sunken vertical line between groups of tool-bar buttons.
QFrame* separator(QWidget* parent, const char* name);

// The window's bottom row, buttons at the right: Btn_OK (the default button) when okText is
// given, then Btn_Cancel, which closes the dialog with reject().
struct ButtonRow {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
ButtonRow addButtonRow(QBoxLayout* layout, QDialog* dialog, const QString& okText,
                       const QString& cancelText);

// The lower part of an edit dialog: the comments box under its caption strip, then the
// "Сохранить" / "Отмена" row; Сохранить accepts the dialog.
struct EditDialogFooter {
    QPlainTextEdit* comments = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
EditDialogFooter addCommentsAndButtons(QBoxLayout* layout, QDialog* dialog, const QString& caption);

// The vertical tool bar at the left of a main-window panel: a button that drops the panel's
// menu and a refresh button.
struct PanelToolBar {
    QToolBar* bar = nullptr;
    QToolButton* action = nullptr;
    QToolButton* refresh = nullptr;
};
PanelToolBar panelToolBar(QWidget* parent, const char* barName, const char* actionName,
                          const QString& actionHint, QMenu* menu, const char* refreshName);

// The search box and its list are usable together or greyed out together; greying out
// empties the box.
void enableSearch(QLineEdit* search, QAbstractItemView* grid, bool on);

// Up and Down pressed in a search box move through the list it searches. True when the event
// was such a key and has been used.
bool stepOnArrowKey(QEvent* event, fb::Dataset& dataset);

} // namespace form_parts
