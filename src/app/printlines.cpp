#include "app/printlines.h"
#include "platform/graphics/metafile.h" // completes the printer header
#include "platform/graphics/printers.h"
#include <algorithm>

TPrintLines::TPrintLines(TPrinter& Printer, int ContinueLine)
    : FPrinter(Printer), FContinue(std::max(0, ContinueLine)) {}

void TPrintLines::SetLineHeight(int Height, int LinesPerPage) {
    FHeight = std::max(1, Height);
    FLinesPerPage = std::max(0, LinesPerPage);
}

int TPrintLines::Bottom() {
    const int page = FPrinter.PageHeight();
    return FLinesPerPage > 0 ? std::min(page, FLinesPerPage * FHeight) : page;
}

int TPrintLines::Top(int Line) {
    int y = Line * FHeight - FShift;
    if (y + FHeight > Bottom()) {
        // A page with nothing on it yet is not given up: its line moves up.
        if (FPageUsed) FPrinter.NewPage();
        // Paper shorter than a line still gets one a page, at its top.
        y = std::max(0, std::min(FContinue * FHeight, Bottom() - FHeight));
        FShift = Line * FHeight - y;
    }
    FPageUsed = true;
    return y;
}
