#include "app/program_main.h"
#include "app/tmf.h"

#include <cstdio>

int main(int argc, char** argv) {
    // The embedded engine's restore asks on the console for the next volume of a cut-off
    // backup; a window program has no one there to answer, so the question meets an end of file.
    if (!std::freopen("/dev/null", "r", stdin))
        std::fclose(stdin);
    ProgramHooks hooks;
    hooks.openDatabaseService = openBaseServicesForm;
    return runProgram(argc, argv, hooks);
}
