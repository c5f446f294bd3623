// Arbitrary bytes read as a chart file: loaded, painted, saved, loaded again
// and compared. With "--seed FILE" it writes the seed chart instead.
#include "chart_fuzz_harness.h"
#include <cstdlib>
#include <cstring>
#include <fstream>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    for (int i = 1; i + 1 < *argc; ++i)
        if (std::strcmp((*argv)[i], "--seed") == 0) {
            std::ofstream((*argv)[i + 1], std::ios::binary) << chart_fuzz::Seed();
            std::exit(0);
        }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    chart_fuzz::ChartFile(Data, Size);
    return 0;
}
