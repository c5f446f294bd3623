// Arbitrary bytes read as a metafile (played back, saved as EMF and WMF,
// reloaded), a bitmap and a JPEG picture.
#include "picture_fuzz_harness.h"
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    picture_fuzz::Picture(Data, Size);
    return 0;
}
