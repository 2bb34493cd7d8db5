#pragma once

#include <QString>
#include <functional>

class TMF;

// The program's start: one instance, the main window's start-up, the event loop.
struct ProgramHooks {
    QString programFolder;                         // empty: the folder of the running executable
    std::function<void(TMF&)> onShown;             // runs once the main window is on the screen
    std::function<void(TMF&)> openDatabaseService; // the database service window
};

int runProgram(int argc, char** argv, const ProgramHooks& hooks = {});
