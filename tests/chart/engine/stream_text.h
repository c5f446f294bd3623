#pragma once
// A component as the text form of its stream, and read back from that text.
#include "platform/classes/component.h"
#include "platform/classes/filer.h"
#include "platform/classes/objtext.h"
#include "platform/classes/streams.h"
#include <string>

inline std::string SaveText(TComponent* C) {
    TMemoryStream bin;
    WriteComponentToStream(&bin, C);
    bin.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(&bin, &text);
    return text.DataString().str();
}

inline void LoadText(const std::string& Text, TComponent* C) {
    TStringStream in(Text), bin;
    ObjectTextToBinary(&in, &bin);
    bin.SetPosition(0);
    ReadComponentFromStream(&bin, C);
}
