// Program entry of QM read out.
#include "app/program.h"
#include "platform/win32/kernel.h"

int main(int argc, char** argv) {
    InitCommandLine(argc, argv);
    return RunProgram();
}
