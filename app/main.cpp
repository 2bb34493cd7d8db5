#include "app/program_main.h"

int main(int argc, char** argv) {
    return runProgram(argc, argv);
}
