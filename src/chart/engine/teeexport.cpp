#include "chart/engine/teeexport.h"
#include "chart/engine/teegeometry.h"
#include "platform/classes/streams.h"
#include "platform/graphics/clipbrd.h"

QM_CLASS_ABSTRACT(TTeeExportData, TObject)

void TTeeExportData::SaveToStream(TStream* AStream) {
    const AnsiString text = AsString();
    AStream->WriteBuffer(text.data(), text.Length());
}

void TTeeExportData::SaveToFile(const AnsiString& FileName) {
    TMemoryStream content;
    SaveToStream(&content);
    SaveFileReplacing(FileName, content.Memory(), content.Size());
}

void TTeeExportData::CopyToClipboard() {
    FTargetEncoding = TClipboard::TextEncoding();
    AnsiString text;
    {
        TTeeFinally back([this] { FTargetEncoding = AnsiString(); });
        text = AsString();
    }
    const AnsiString format = ClipboardFormat();
    if (format.IsEmpty())
        Clipboard()->SetAsText(text);
    else
        Clipboard()->SetAsFormat(format, text);
}
