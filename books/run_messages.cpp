#include "books/run_messages.h"

#include "schedule/schedule_correction.h"
#include "schedule/schedule_engine.h"

#include <QStringList>

namespace run_messages {

MessageRequest generationDone(const RunResult& result, QWidget* owner) {
    MessageRequest request;
    request.caption = QString::fromUtf8(kGenerationCaption);
    request.owner = owner;
    if (result.clean()) {
        request.text = QStringLiteral("Операция по созданию расписания завершена.");
        request.icon = MsgIcon::Information;
        return request;
    }
    QStringList lines;
    lines << (result.endedEarly
                  ? QStringLiteral("Операция по созданию расписания прервана из-за ошибки.")
                  : QStringLiteral("Операция по созданию расписания завершена с ошибками."));
    lines
        << QStringLiteral("Записано новых или перенесённых сроков сдачи: %1.").arg(result.changed);
    if (result.failed > 0)
        lines << QStringLiteral("Не удалось записать сроков сдачи: %1.").arg(result.failed);
    if (!result.lastErrorText.trimmed().isEmpty())
        lines << QStringLiteral("Последняя ошибка базы данных: %1")
                     .arg(result.lastErrorText.trimmed());
    request.text = lines.join(QLatin1Char('\n'));
    request.icon = MsgIcon::Warning;
    return request;
}

MessageRequest correctionDone(const CorrectionResult& result, QWidget* owner) {
    MessageRequest request;
    request.caption = QString::fromUtf8(kCorrectionCaption);
    request.owner = owner;
    if (result.ok) {
        request.text = QStringLiteral("Расписание откорректировано. Изменено сроков сдачи: %1.")
                           .arg(result.changed);
        request.icon = MsgIcon::Information;
        return request;
    }
    QStringList lines{QStringLiteral(
        "Расписание не откорректировано: произошла ошибка, ни один срок сдачи не изменён.")};
    if (!result.errorText.trimmed().isEmpty())
        lines << QStringLiteral("Ошибка базы данных: %1").arg(result.errorText.trimmed());
    request.text = lines.join(QLatin1Char('\n'));
    request.icon = MsgIcon::Error;
    return request;
}

} // namespace run_messages
