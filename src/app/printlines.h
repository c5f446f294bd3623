#pragma once
// Where the lines of a print-out go on the printer's pages. The print-outs
// place their lines by number (y = line x line height); on paper shorter than
// their layout a line would fall below the page's end, so a line that would
// pass it starts a new page instead, on any paper.

class TPrinter;

class TPrintLines {
public:
    // After a page break printing goes on at line ContinueLine, or as low as
    // the paper allows.
    TPrintLines(TPrinter& Printer, int ContinueLine);

    // Lines are Height pixels apart from here on. LinesPerPage above 0 ends
    // every page before that line (a bottom margin); the page's end always does.
    void SetLineHeight(int Height, int LinesPerPage = 0);
    // The y at which the line numbered Line prints. Lines keep their spacing;
    // after a page break the rest move up together.
    int Top(int Line);

private:
    int Bottom();
    TPrinter& FPrinter;
    int FContinue;
    int FHeight = 1;
    int FLinesPerPage = 0;
    int FShift = 0;
    bool FPageUsed = false;
};
