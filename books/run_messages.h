#pragma once

#include "widgets/dialogs.h"

struct CorrectionResult;
struct RunResult;

// The boxes that end a schedule run. A clean generation run says it is done; one that lost
// entries or stopped early says how many were stored and lost and the engine's last words.
// A correction says how many deadlines it changed, or that it failed and changed nothing.
namespace run_messages {

inline constexpr char kGenerationCaption[] = "Создание расписания отчётностей";
inline constexpr char kCorrectionCaption[] = "Изменение расписания бухгалтерских отчётностей";

MessageRequest generationDone(const RunResult& result, QWidget* owner);
MessageRequest correctionDone(const CorrectionResult& result, QWidget* owner);

} // namespace run_messages
