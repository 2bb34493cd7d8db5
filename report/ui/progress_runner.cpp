#include "report/ui/progress_runner.h"

#include <QApplication>

namespace report {

ProgressRunner::ProgressRunner(QWidget* parent, const QString& label)
    : m_dialog(std::make_unique<QProgressDialog>(label, QStringLiteral("Отмена"), 0, 100, parent)) {
    m_dialog->setWindowTitle(QStringLiteral("Подождите"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(400);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(0);
}

ProgressRunner::~ProgressRunner() = default;

ProgressFn ProgressRunner::progress() {
    return [this](int done, int total) {
        if (m_dialog->maximum() != total)
            m_dialog->setMaximum(std::max(1, total));
        m_dialog->setValue(std::min(done, std::max(1, total)));
        QApplication::processEvents();
        m_cancelled = m_dialog->wasCanceled();
        return !m_cancelled;
    };
}

} // namespace report
