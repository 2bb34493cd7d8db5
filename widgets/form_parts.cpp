#include "widgets/form_parts.h"

#include "widgets/caption_strip.h"

#include "fb/dataset.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>

namespace form_parts {

namespace {

void paintBase(QWidget* widget, QPalette::ColorRole role) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, QApplication::palette(widget).color(role));
    widget->setPalette(palette);
}

} // namespace

QLabel* headerLabel(const QString& text, QWidget* parent, const QString& name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.2);
    label->setFont(font);
    return label;
}

QToolButton* toolButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                        const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

QFrame* separator(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

ButtonRow addButtonRow(QBoxLayout* layout, QDialog* dialog, const QString& okText,
                       const QString& cancelText) {
    ButtonRow row;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (!okText.isEmpty()) {
        row.ok = new QPushButton(okText, dialog);
        row.ok->setObjectName(QStringLiteral("Btn_OK"));
        row.ok->setDefault(true);
        buttons->addWidget(row.ok);
    }
    row.cancel = new QPushButton(cancelText, dialog);
    row.cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    buttons->addWidget(row.cancel);
    layout->addLayout(buttons);
    QObject::connect(row.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return row;
}

EditDialogFooter addCommentsAndButtons(QBoxLayout* layout, QDialog* dialog,
                                       const QString& caption) {
    EditDialogFooter footer;
    layout->addWidget(new CaptionStrip(caption, dialog));
    footer.comments = new QPlainTextEdit(dialog);
    footer.comments->setObjectName(QStringLiteral("Memo_Comments"));
    layout->addWidget(footer.comments, 1);
    const ButtonRow row =
        addButtonRow(layout, dialog, QStringLiteral("Сохранить"), QStringLiteral("Отмена"));
    footer.ok = row.ok;
    footer.cancel = row.cancel;
    QObject::connect(footer.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    return footer;
}

PanelToolBar panelToolBar(QWidget* parent, const char* barName, const char* actionName,
                          const QString& actionHint, QMenu* menu, const char* refreshName) {
    PanelToolBar tools;
    tools.bar = new QToolBar(parent);
    tools.bar->setObjectName(QLatin1String(barName));
    tools.bar->setOrientation(Qt::Vertical);
    tools.bar->setIconSize(QSize(32, 32));
    tools.action = new QToolButton(tools.bar);
    tools.action->setObjectName(QLatin1String(actionName));
    tools.action->setIcon(parent->style()->standardIcon(QStyle::SP_FileDialogListView));
    tools.action->setToolTip(actionHint);
    tools.action->setMenu(menu);
    tools.action->setPopupMode(QToolButton::InstantPopup);
    tools.bar->addWidget(tools.action);
    tools.refresh = new QToolButton(tools.bar);
    tools.refresh->setObjectName(QLatin1String(refreshName));
    tools.refresh->setIcon(parent->style()->standardIcon(QStyle::SP_BrowserReload));
    tools.refresh->setToolTip(QStringLiteral("Обновить информацию"));
    tools.bar->addWidget(tools.refresh);
    return tools;
}

void enableSearch(QLineEdit* search, QAbstractItemView* grid, bool on) {
    if (!on)
        search->clear();
    paintBase(search, on ? QPalette::Base : QPalette::Button);
    search->setEnabled(on);
    if (on)
        search->setFocus();
    grid->setEnabled(on);
    grid->viewport()->update();
}

bool stepOnArrowKey(QEvent* event, fb::Dataset& dataset) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up) {
        dataset.prior();
        return true;
    }
    if (key == Qt::Key_Down) {
        dataset.next();
        return true;
    }
    return false;
}

} // namespace form_parts
