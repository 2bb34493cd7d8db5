#pragma once

class BusyIndicator;
class Clock;
class Dialogs;
class IniFile;
class QString;
class ScheduleEngine;
namespace fb {
class Attachment;
class Dataset;
} // namespace fb

// What the reference-book windows are given by the main window: the connection, the services
// of the program, and the main window's own lists that they read or re-read.
struct BooksEnvironment {
    fb::Attachment& attachment;
    Dialogs& dialogs;
    const Clock& clock;
    IniFile& settings;                    // window state of the directories
    BusyIndicator& busy;                  // long runs show the busy window over the directory
    ScheduleEngine& engine;               // schedule generation
    fb::Dataset* organizations = nullptr; // the main window's qOrgan
    fb::Dataset* assignments = nullptr;   // the main window's qBuhAccRep
};
