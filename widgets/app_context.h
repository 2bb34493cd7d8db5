#pragma once

#include <QString>
#include <functional>

class Clock;
class Dialogs;

// What the program's parts are given instead of reaching for globals: the program folder,
// the dialogs service, the clock, and how to end the program at once.
struct AppContext {
    QString programFolder;
    Dialogs* dialogs = nullptr;
    const Clock* clock = nullptr;
    // Ends the program at once, without the close question and without saving window state.
    std::function<void()> endProgramNow;
};
