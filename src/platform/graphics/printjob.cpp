#include "platform/graphics/printjob.h"
#include "platform/graphics/metafile.h" // completes the printer header
#include <algorithm>
#include <cstdint>

TPrintJob::TPrintJob(TPrinter* Printer, int LayoutWidth) : FPrinter(Printer) {
    FPrinter->BeginDoc();
    FPaperWidth = FPrinter->PageWidth();
    if (LayoutWidth > FPaperWidth && FPaperWidth > 0) FLayoutWidth = LayoutWidth;
    MapLayout();
}

TPrintJob::~TPrintJob() {
    if (!FPrinter->Printing()) return;
    try {
        FPrinter->Abort();
    } catch (...) {
        // The error that ended the drawing is the one that goes on.
    }
}

void TPrintJob::MapLayout() {
    if (FLayoutWidth == 0) return;
    TCanvas* canvas = FPrinter->Canvas();
    canvas->SetMapMode(MM_ANISOTROPIC);
    canvas->SetWindowExtEx(FLayoutWidth, FLayoutWidth);
    canvas->SetViewportExtEx(FPaperWidth, FPaperWidth);
}

int TPrintJob::PageWidth() const {
    return FLayoutWidth ? FLayoutWidth : FPrinter->PageWidth();
}

int TPrintJob::PageHeight() const {
    const int paper = FPrinter->PageHeight();
    if (FLayoutWidth == 0) return paper;
    return int(int64_t(paper) * FLayoutWidth / FPaperWidth);
}

double TPrintJob::Scale() const {
    return FLayoutWidth ? double(FPaperWidth) / FLayoutWidth : 1.0;
}

void TPrintJob::NewPage() {
    FPrinter->NewPage();
    // Each page starts with a fresh device context.
    MapLayout();
}

void TPrintJob::Finish() {
    FPrinter->EndDoc();
}
