// Arbitrary bytes into the binary component reader and the binary-to-text converter.
#include "streaming_fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    streaming_fuzz::Binary(Data, Size);
    return 0;
}
