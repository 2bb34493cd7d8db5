#pragma once

#include "report/engine.h"

#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <memory>

class QWidget;

namespace report {

// A progress bar for a long preparation or export, with a cancel button. It shows only when
// the job takes longer than a moment; progress() feeds the engine's callback.
class ProgressRunner {
public:
    ProgressRunner(QWidget* parent, const QString& label);
    ~ProgressRunner();

    ProgressFn progress();
    bool wasCancelled() const { return m_cancelled; }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

} // namespace report
