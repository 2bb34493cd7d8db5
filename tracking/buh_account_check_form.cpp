#include "tracking/buh_account_check_form.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

void paintText(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TBuhAccountCheckForm::TBuhAccountCheckForm(const QDate& today, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TBuhAccountCheckForm"));
    setWindowTitle(QStringLiteral("Параметры сдачи отчёта"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);

    auto* band = new QWidget(this);
    band->setObjectName(QStringLiteral("Panel_Header"));
    band->setAutoFillBackground(true);
    QPalette bandPalette = band->palette();
    bandPalette.setColor(QPalette::Window, QColor(104, 140, 248));
    band->setPalette(bandPalette);
    auto* bandLayout = new QVBoxLayout(band);
    bandLayout->setContentsMargins(10, 8, 10, 8);
    Label_Info1 = new QLabel(QStringLiteral("Укажите необходимые параметры для отчёта :"), band);
    Label_Info1->setObjectName(QStringLiteral("Label_Info1"));
    QFont bold = Label_Info1->font();
    bold.setBold(true);
    Label_Info1->setFont(bold);
    paintText(Label_Info1, Qt::white);
    Label_Info2 = new QLabel(QStringLiteral("Отчётность ..."), band);
    Label_Info2->setObjectName(QStringLiteral("Label_Info2"));
    Label_Info2->setWordWrap(true);
    paintText(Label_Info2, Qt::white);
    Label_Info3 = new QLabel(QStringLiteral("Отчёт должен быть сдан до  ( включительно ) :"), band);
    Label_Info3->setObjectName(QStringLiteral("Label_Info3"));
    paintText(Label_Info3, QColor(253, 241, 41));
    bandLayout->addWidget(Label_Info1);
    bandLayout->addWidget(Label_Info2);
    bandLayout->addWidget(Label_Info3);
    layout->addWidget(band);

    auto* fields = new QGridLayout;
    fields->setContentsMargins(10, 4, 10, 4);
    DT_Date = new QDateEdit(today, this);
    DT_Date->setObjectName(QStringLiteral("DT_Date"));
    DT_Date->setCalendarPopup(true);
    DT_Date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    fields->addWidget(new QLabel(QStringLiteral("Дата сдачи отчёта :"), this), 0, 0);
    fields->addWidget(DT_Date, 0, 1, Qt::AlignLeft);
    fields->addWidget(new QLabel(QStringLiteral("Комментарии :"), this), 1, 0, 1, 2);
    Memo_AccPayComment = new QPlainTextEdit(this);
    Memo_AccPayComment->setObjectName(QStringLiteral("Memo_AccPayComment"));
    Memo_AccPayComment->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo_AccPayComment->setTabChangesFocus(true);
    fields->addWidget(Memo_AccPayComment, 2, 0, 1, 2);
    layout->addLayout(fields, 1);
    connect(Memo_AccPayComment, &QPlainTextEdit::textChanged, this,
            &TBuhAccountCheckForm::keepCommentWithinLimit);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 0, 10, 0);
    buttons->addStretch(1);
    Btn_Save = new QPushButton(QStringLiteral("Сохранить"), this);
    Btn_Save->setObjectName(QStringLiteral("Btn_Save"));
    Btn_Save->setDefault(true);
    Btn_Cancel = new QPushButton(QStringLiteral("Отмена"), this);
    Btn_Cancel->setObjectName(QStringLiteral("Btn_Cancel"));
    buttons->addWidget(Btn_Save);
    buttons->addWidget(Btn_Cancel);
    layout->addLayout(buttons);
    connect(Btn_Save, &QPushButton::clicked, this, &QDialog::accept);
    connect(Btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(540, 340);
}

void TBuhAccountCheckForm::keepCommentWithinLimit() {
    if (m_trimming)
        return;
    const QString text = Memo_AccPayComment->toPlainText();
    if (text.size() <= kCommentLimit) {
        m_accepted = text;
        return;
    }
    // Of what was just typed or pasted only as much is taken as still fits; the rest is not.
    const QString& old = m_accepted;
    const qsizetype shorter = std::min(old.size(), text.size());
    qsizetype prefix = 0;
    while (prefix < shorter && old.at(prefix) == text.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           old.at(old.size() - 1 - suffix) == text.at(text.size() - 1 - suffix))
        ++suffix;
    const QString inserted = text.mid(prefix, text.size() - prefix - suffix);
    const qsizetype kept = prefix + suffix;
    const QString taken = inserted.left(std::max<qsizetype>(0, kCommentLimit - kept));
    const QString result = old.left(prefix) + taken + old.right(suffix);

    m_trimming = true;
    Memo_AccPayComment->setPlainText(result);
    QTextCursor cursor = Memo_AccPayComment->textCursor();
    cursor.setPosition(static_cast<int>(prefix + taken.size()));
    Memo_AccPayComment->setTextCursor(cursor);
    m_trimming = false;
    m_accepted = result;
}

QString TBuhAccountCheckForm::storedComment() const {
    const QString text = Memo_AccPayComment->toPlainText();
    if (text.isEmpty())
        return QString();
    QString stored;
    for (const QString& line : text.split(QLatin1Char('\n')))
        stored += line + QStringLiteral("\r\n");
    return stored;
}

void TBuhAccountCheckForm::showStoredComment(const QString& comments) {
    QString text = comments;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    Memo_AccPayComment->setPlainText(text);
}
