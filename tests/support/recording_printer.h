#pragma once
// A printer for tests: pages are recorded as metafiles instead of printed, and
// every job step is logged, so print-outs can be checked by their texts and
// pixels. Install() makes it the program's printer until it is freed.
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include <string>
#include <vector>

class TRecordingPrinter : public TPrinter {
public:
    // A4 at 300 pixels per inch by default; the paper a dialog chose, once chosen.
    explicit TRecordingPrinter(TSize PageSize = TSize(2480, 3508), int PixelsPerInch = 300);
    ~TRecordingPrinter() override;

    void Install();

    // "BeginDoc <title>", "NewPage", "EndDoc", "Abort".
    std::vector<std::string> Log;
    int PageCount() const { return int(FPages.size()); }
    TMetafile* Page(int Index) const;
    // Texts of a page in drawing order, and all pages' texts joined by newlines.
    std::vector<std::string> PageTexts(int Index) const;
    std::string AllText() const;
    // The page drawn into a bitmap scaled by 1 / Shrink.
    void RenderPage(int Index, TBitmap& Target, int Shrink = 4) const;

protected:
    std::unique_ptr<TPrinterDevice> CreateDevice() override;

private:
    friend class TRecordingDevice;
    TSize FSize;
    int FPpi;
    std::vector<std::unique_ptr<TMetafile>> FPages;
    TPrinter* FPrevious = nullptr;
    bool FInstalled = false;
};
