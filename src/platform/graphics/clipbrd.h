#pragma once
// The clipboard: text, bitmaps and metafiles.
#include "platform/graphics/graphics.h"

constexpr unsigned CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_DIB = 8, CF_UNICODETEXT = 13,
                   CF_ENHMETAFILE = 14;

class TClipboard : public TPersistent {
    QM_CLASS(TClipboard)
public:
    AnsiString AsText();
    void SetAsText(const AnsiString& Value);
    // The encoding other programs read the text in; a text that names its own
    // encoding names this one on the clipboard.
    static AnsiString TextEncoding();
    // Bytes of a format of their own (a MIME type), such as a worksheet; the
    // clipboard then holds no text.
    void SetAsFormat(const AnsiString& Format, const AnsiString& Bytes);
    // Puts a bitmap, picture or metafile on the clipboard (other pictures as
    // a bitmap of themselves).
    void Assign(TPersistent* Source) override;
    bool HasFormat(unsigned Format);
    void Clear();
    // Sessions of several formats, as the platform's Open/Close pair.
    void Open();
    void Close();

protected:
    // Bitmap, picture or metafile destinations take the clipboard's picture.
    void AssignTo(TPersistent* Dest) override;

private:
    int FOpenCount = 0;
};

TClipboard* Clipboard();
