#include "tracking/submission_marking.h"

#include "core/clock.h"
#include "fb/dataset.h"
#include "fb/error.h"
#include "store/history.h"
#include "tracking/buh_account_check_form.h"
#include "widgets/dialogs.h"

#include <QDateEdit>
#include <QLabel>
#include <QLocale>

namespace {

const char kSetCaption[] = "Сдача отчёта";
const char kCancelCaption[] = "Отмена сдачи отчёта";

QString deadlineText(const QDateTime& deadline) {
    static const QLocale russian(QLocale::Russian);
    return russian.toString(deadline.date(), QStringLiteral("dd MMM yyyy"));
}

bool isEmpty(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

} // namespace

SubmissionMarking::SubmissionMarking(fb::Attachment& attachment, fb::Dataset& list,
                                     Dialogs& dialogs, const Clock& clock, QWidget* owner,
                                     Options options)
    : m_attachment(attachment), m_list(list), m_dialogs(dialogs), m_clock(clock), m_owner(owner),
      m_options(std::move(options)) {}

QString SubmissionMarking::emptyListText() {
    return QStringLiteral("Список отчётов пуст. Для вывода отчётов в таблицу этого окна, можно "
                          "попробовать поменять параметры фильтров.");
}

bool SubmissionMarking::listIsEmpty() const {
    return !m_list.isOpen() || m_list.isEmpty() || m_list.currentRow() < 0;
}

bool SubmissionMarking::entryStillThere(const QString& caption) {
    try {
        if (store::scheduleEntryExists(m_attachment, m_list.fieldValue(QStringLiteral("ID"))))
            return true;
        m_dialogs.error(m_owner,
                        QStringLiteral("Этого отчёта уже нет в расписании: его удалили из базы "
                                       "данных (возможно, вместе с организацией). Список отчётов "
                                       "будет прочитан заново."),
                        caption);
        m_list.refresh();
    } catch (const fb::Error& e) {
        if (!e.isConnectionLost())
            m_dialogs.unhandledError(e.message());
    }
    return false;
}

void SubmissionMarking::showStoredRow() {
    m_list.cancel();
    try {
        m_list.refreshCurrent();
    } catch (const fb::Error&) {
        // The row stays as it was read; the error that brought us here is being shown.
    }
}

bool SubmissionMarking::setSubmitted() {
    if (listIsEmpty()) {
        m_dialogs.error(m_owner, emptyListText(), QString::fromUtf8(kSetCaption));
        return false;
    }
    TBuhAccountCheckForm form(m_clock.today(), m_owner);
    form.Label_Info2->setText(m_list.fieldValue(m_options.reportNameField).toString());
    form.Label_Info3->setText(
        QStringLiteral("Отчёт должен быть сдан до  ( включительно ) : ") +
        deadlineText(m_list.fieldValue(QStringLiteral("DT_ACTION")).toDateTime()));
    const QVariant actual = m_list.fieldValue(QStringLiteral("DT_ACTUAL"));
    if (!isEmpty(actual)) {
        form.setWindowTitle(QStringLiteral("Изменение параметров уже сданного отчёта"));
        form.DT_Date->setDate(actual.toDateTime().date());
        form.showStoredComment(m_list.fieldValue(QStringLiteral("COMMENTS")).toString());
    }
    if (m_dialogs.exec(form) != QDialog::Accepted)
        return false;
    if (!entryStillThere(QString::fromUtf8(kSetCaption)))
        return false;
    try {
        m_list.edit();
        m_list.setFieldValue(QStringLiteral("DT_ACTUAL"), form.DT_Date->date().startOfDay());
        const QString comment = form.storedComment();
        m_list.setFieldValue(QStringLiteral("COMMENTS"),
                             comment.isEmpty() ? QVariant() : QVariant(comment));
        if (m_options.writesUserId)
            m_list.setFieldValue(QStringLiteral("USERS_ID"), 1);
        m_list.post();
    } catch (const fb::Error& e) {
        showStoredRow();
        const QString reason = e.isEngineError() ? e.engineText() : e.message();
        m_dialogs.error(m_owner,
                        QStringLiteral("Отметка о сдаче отчёта не сохранена:\n") + reason.trimmed(),
                        QString::fromUtf8(kSetCaption));
        return false;
    }
    return true;
}

bool SubmissionMarking::cancelSubmitted() {
    const QString caption = QString::fromUtf8(kCancelCaption);
    if (listIsEmpty()) {
        m_dialogs.error(m_owner, emptyListText(), caption);
        return false;
    }
    if (isEmpty(m_list.fieldValue(QStringLiteral("DT_ACTUAL")))) {
        m_dialogs.error(m_owner, QStringLiteral("Этот отчёт ещё не сдан, его невозможно отменить."),
                        caption);
        return false;
    }
    const QString question =
        QStringLiteral("Вы выбрали отмену сдачи отчёта : \n\"") +
        m_list.fieldValue(m_options.reportNameField).toString() +
        QStringLiteral("\".\n \nВы в любой момент сможете снова установить пометку о том, что "
                       "данный отчёт сдан, но дата записи изменений (!) по данному отчёту в базе "
                       "данных будет так-же обновлена.\n \nВы действительно хотите снять отметку "
                       "о сдаче этого отчёта?");
    if (!m_dialogs.ask(m_owner, question, caption, MsgIcon::Warning))
        return false;
    if (!entryStillThere(caption))
        return false;
    try {
        m_list.edit();
        m_list.setFieldValue(QStringLiteral("DT_ACTUAL"), QVariant());
        m_list.setFieldValue(QStringLiteral("COMMENTS"), QVariant());
        m_list.setFieldValue(QStringLiteral("USERS_ID"), QVariant());
        m_list.post();
    } catch (const fb::Error& e) {
        showStoredRow();
        // What the application's general error display shows.
        m_dialogs.unhandledError(e.message());
        return false;
    }
    return true;
}
