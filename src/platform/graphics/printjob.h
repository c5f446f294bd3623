#pragma once
// One print-out from the start of its document to the end: every print-out of
// the program prints through it. It draws in the layout's pixels: the
// printer's own, or on paper narrower than the layout, pixels scaled so that
// the layout is as wide as the paper (the same factor across and down), so
// every line is whole on the page. Where the layout fits, nothing moves.
#include "platform/graphics/printers.h"

class TPrintJob {
public:
    // Begins the printer's document. LayoutWidth: the width the print-out's
    // layout needs, in the printer's pixels; 0 lays it out on the page as it is.
    explicit TPrintJob(TPrinter* Printer, int LayoutWidth = 0);
    // A job not finished (its drawing failed) is aborted.
    ~TPrintJob();
    TPrintJob(const TPrintJob&) = delete;
    TPrintJob& operator=(const TPrintJob&) = delete;

    TCanvas* Canvas() const { return FPrinter->Canvas(); }
    // The page in layout pixels.
    int PageWidth() const;
    int PageHeight() const;
    // Printer pixels a layout pixel: 1 where the layout fits the paper.
    double Scale() const;
    void NewPage();
    // Ends the document: printed, or written to its file.
    void Finish();

private:
    void MapLayout();
    TPrinter* FPrinter;
    int FLayoutWidth = 0; // 0 where the layout fits
    int FPaperWidth = 0;
};
