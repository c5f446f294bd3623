#pragma once
// A print-out of text lines in one font, each placed by its number
// (y = line x line height) at the x it gives. Its layout is as wide as its
// widest line's end and a right margin as wide as the left one; it prints
// through TPrintJob, so on narrower paper the whole layout is scaled to the
// paper's width. On paper shorter than the layout a line that would pass the
// page's end starts a new page instead.
#include "platform/rtl/ansistring.h"
#include <vector>

class TPrinter;

class TPrintLines {
public:
    // After a page break printing goes on at line ContinueLine, or as low as
    // the paper allows.
    TPrintLines(const AnsiString& FontName, int ContinueLine);

    // The lines added from here on are Points high and Height printer pixels apart.
    void SetFont(int Points, int Height);
    // Pages end Lines lines above the paper's end (a bottom margin) where a
    // page then still has room below line KeepLine; shorter paper uses all of it.
    void SetBottomMargin(int Lines, int KeepLine);
    void Add(int X, int Line, const AnsiString& Text);

    // The layout's width in the printer's pixels.
    int LayoutWidth(TPrinter& Printer) const;
    // One job on the printer, with the printer's title.
    void Print(TPrinter& Printer) const;

private:
    struct TLine {
        int Points, Height, X, Line;
        AnsiString Text;
    };
    std::vector<TLine> FLines;
    AnsiString FFont;
    int FContinue;
    int FPoints = 10;
    int FHeight = 1;
    int FMarginLines = 0;
    int FMarginKeep = 0;
};
