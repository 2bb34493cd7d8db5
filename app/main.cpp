#include "app/program_main.h"
#include "service/ui/base_services_form.h"

int main(int argc, char** argv) {
    ProgramHooks hooks;
    hooks.openDatabaseService = openBaseServicesForm;
    return runProgram(argc, argv, hooks);
}
