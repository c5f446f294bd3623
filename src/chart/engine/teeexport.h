#pragma once
// The root of the textual data exports (text, XML, HTML, spreadsheet): a
// descendant builds the whole export as one string; the base hands it to the
// clipboard, a stream or a file (teeexport.cpp).
#include "platform/classes/classinfo.h"
#include "platform/rtl/ansistring.h"

class TStream;

class TTeeExportData : public TObject {
    QM_CLASS(TTeeExportData)
public:
    // The complete export.
    virtual AnsiString AsString() = 0;
    // Writes exactly the bytes of AsString at the stream's position; a
    // descendant that exports binary data replaces it.
    virtual void SaveToStream(TStream* AStream);

    // The only way an export's text reaches the clipboard: the text is built
    // for the clipboard's encoding, so a format that declares one says so.
    void CopyToClipboard();
    // The export is built completely first; the file is replaced only by a
    // finished one, so a failing export leaves an existing file as it was.
    void SaveToFile(const AnsiString& FileName);

protected:
    // What the text's bytes will be read as where they go: empty for a file or
    // stream (the system's code page, as every text here), the clipboard's
    // encoding while copying. A format that declares its encoding names it.
    const AnsiString& TargetEncoding() const { return FTargetEncoding; }
    // The clipboard format of an export whose bytes are no text (a MIME
    // type); empty for text.
    virtual AnsiString ClipboardFormat() const { return AnsiString(); }

private:
    AnsiString FTargetEncoding;
};
