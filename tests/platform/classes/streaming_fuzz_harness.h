#pragma once
// One fuzz input through the binary reader or the text parser. Damage must end
// in EReadError; anything converted must convert back to the same text. Shared
// by the libFuzzer targets and the corpus replay test.
#include "streaming_fixtures.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include "platform/rtl/exceptions.h"
#include <cstdio>
#include <cstdlib>

namespace streaming_fuzz {

inline void Require(bool Condition, const char* What) {
    if (!Condition) {
        std::fprintf(stderr, "streaming fuzz: %s\n", What);
        std::abort();
    }
}

inline void LoadInto(const std::string& Binary, bool SkipErrors) {
    try {
        TStringStream in(Binary);
        TFxPanel root(nullptr);
        TReader reader(&in);
        if (SkipErrors) reader.OnError = [](const AnsiString&) { return true; };
        reader.ReadRootComponent(&root);
        // Whatever was read can be written again.
        SaveBinary(&root);
    } catch (const EReadError&) {
    }
}

// Binary that the text parser wrote is canonical: its text converts back to
// exactly the same bytes.
inline void CheckCanonical(const std::string& Binary) {
    std::string text;
    try {
        text = BinaryToText(Binary);
    } catch (const EReadError&) {
        Require(false, "a stream made from text has no text");
    }
    std::string again;
    try {
        again = TextToBinary(text);
    } catch (const EReadError&) {
        Require(false, "text made from a stream does not parse");
    }
    Require(again == Binary, "binary -> text -> binary changed the bytes");
}

// Any stream that has a text form: that text is a fixed point.
inline void CheckTextOf(const std::string& Binary) {
    std::string text;
    try {
        text = BinaryToText(Binary);
    } catch (const EReadError&) {
        return;
    }
    std::string again;
    try {
        again = TextToBinary(text);
    } catch (const EReadError&) {
        Require(false, "text made from a stream does not parse");
    }
    Require(BinaryToText(again) == text, "text -> binary -> text changed the text");
    CheckCanonical(again);
}

inline void Binary(const uint8_t* Data, size_t Size) {
    const std::string binary(reinterpret_cast<const char*>(Data), Size);
    LoadInto(binary, true);
    LoadInto(binary, false);
    CheckTextOf(binary);
}

inline void Text(const uint8_t* Data, size_t Size) {
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    std::string binary;
    try {
        binary = TextToBinary(text);
    } catch (const EReadError&) {
        return;
    }
    CheckCanonical(binary);
    LoadInto(binary, true);
}

} // namespace streaming_fuzz
