#pragma once

#include "core/form_state.h"

#include <QString>

#include <functional>

class Dialogs;
class IniFile;
class QWidget;

// The window-state pattern of the directories and pickers: restore when the window is made,
// save when it closes. A failure either way is said in a box captioned "ini-файл"; the window
// then works on with its design layout, or closes all the same.
namespace window_state {

// The caption of every box about the settings file.
QString iniCaption();

// Reads the window's section and hands what was found to apply. Returns false after showing
// "Ошибка чтения или восстановления параметров.".
bool restore(IniFile& ini, const QString& path, Dialogs& dialogs, QWidget* window,
             const std::function<void(const FormState&)>& apply);

// Lets fill describe the window and writes it. Returns false after showing
// "Ошибка записи параметров.".
bool save(IniFile& ini, const QString& path, Dialogs& dialogs, QWidget* window,
          const std::function<void(FormState&)>& fill);

// Window state (normal or maximised) and size, never the position: the directories open
// centred over the main window.
void applyStateAndSize(QWidget* window, const FormState& state);
void storeStateAndSize(const QWidget* window, FormState& state);

} // namespace window_state
