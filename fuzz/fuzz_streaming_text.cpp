// Arbitrary text into the text-to-binary converter and on into the reader.
#include "streaming_fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    streaming_fuzz::Text(Data, Size);
    return 0;
}
