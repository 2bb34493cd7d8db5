#include "widgets/window_state.h"

#include "core/ini_file.h"
#include "widgets/dialogs.h"

#include <QWidget>

#include <exception>

namespace window_state {

QString iniCaption() {
    return QStringLiteral("ini-файл");
}

bool restore(IniFile& ini, const QString& path, Dialogs& dialogs, QWidget* window,
             const std::function<void(const FormState&)>& apply) {
    try {
        const FormState state = FormStateStorage(ini, path).load();
        if (apply)
            apply(state);
        return true;
    } catch (const std::exception&) {
        // The window keeps its design layout; the user only needs to know the file was unusable.
    }
    dialogs.error(window, QStringLiteral("Ошибка чтения или восстановления параметров."),
                  iniCaption());
    return false;
}

bool save(IniFile& ini, const QString& path, Dialogs& dialogs, QWidget* window,
          const std::function<void(FormState&)>& fill) {
    try {
        FormState state;
        if (fill)
            fill(state);
        FormStateStorage(ini, path).save(state);
        return true;
    } catch (const std::exception&) {
        // The previous state stays in the file; the window closes all the same.
    }
    dialogs.error(window, QStringLiteral("Ошибка записи параметров."), iniCaption());
    return false;
}

void applyStateAndSize(QWidget* window, const FormState& state) {
    if (state.size && state.size->isValid())
        window->resize(*state.size);
    if (state.windowState)
        window->setWindowState(*state.windowState == FormState::kMaximized ? Qt::WindowMaximized
                                                                           : Qt::WindowNoState);
}

void storeStateAndSize(const QWidget* window, FormState& state) {
    const bool maximized = window->isMaximized();
    state.windowState = maximized ? FormState::kMaximized : FormState::kNormal;
    // A maximised window keeps the size it returns to.
    const QSize size = maximized && window->normalGeometry().isValid()
                           ? window->normalGeometry().size()
                           : window->size();
    state.size = size;
}

} // namespace window_state
