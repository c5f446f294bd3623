#include "app/printlines.h"
#include "platform/graphics/metafile.h" // completes the printer header
#include "platform/graphics/printjob.h"
#include <algorithm>
#include <climits>

TPrintLines::TPrintLines(const AnsiString& FontName, int ContinueLine)
    : FFont(FontName), FContinue(std::max(0, ContinueLine)) {}

void TPrintLines::SetFont(int Points, int Height) {
    FPoints = Points;
    FHeight = std::max(1, Height);
}

void TPrintLines::SetBottomMargin(int Lines, int KeepLine) {
    FMarginLines = std::max(0, Lines);
    FMarginKeep = KeepLine;
}

void TPrintLines::Add(int X, int Line, const AnsiString& Text) {
    FLines.push_back({FPoints, FHeight, X, Line, Text});
}

int TPrintLines::LayoutWidth(TPrinter& Printer) const {
    TCanvas* canvas = Printer.Canvas();
    canvas->Font()->SetName(FFont);
    int left = INT_MAX, right = 0;
    for (const TLine& l : FLines) {
        canvas->Font()->SetSize(l.Points);
        left = std::min(left, l.X);
        right = std::max(right, l.X + canvas->TextWidth(l.Text));
    }
    return FLines.empty() ? 0 : right + std::max(0, left);
}

void TPrintLines::Print(TPrinter& Printer) const {
    TPrintJob job(&Printer, LayoutWidth(Printer));
    TCanvas* canvas = job.Canvas();
    canvas->Font()->SetName(FFont);
    int shift = 0; // how far the lines after the last page break moved up
    bool used = false;
    for (const TLine& l : FLines) {
        canvas->Font()->SetSize(l.Points);
        const int page = job.PageHeight();
        const int perPage = page / l.Height - FMarginLines;
        const int bottom =
            FMarginLines > 0 && perPage > FMarginKeep ? std::min(page, perPage * l.Height) : page;
        int y = l.Line * l.Height - shift;
        if (y + l.Height > bottom) {
            // A page with nothing on it yet is not given up: its line moves up.
            if (used) job.NewPage();
            // Paper shorter than a line still gets one a page, at its top.
            y = std::max(0, std::min(FContinue * l.Height, bottom - l.Height));
            shift = l.Line * l.Height - y;
        }
        used = true;
        canvas->TextOut(l.X, y, l.Text);
    }
    job.Finish();
}
