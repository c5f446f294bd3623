#pragma once
// The paper a print job is on: its size and which way up.

enum TPrinterOrientation { poPortrait, poLandscape };

// A sheet as its size is named, upright, in tenths of a millimetre (A4 is
// 2100 x 2970); the orientation turns it. Empty: the printer's own paper.
struct TPaperSize {
    int Width = 0;
    int Height = 0;
    bool IsEmpty() const { return Width <= 0 || Height <= 0; }
    bool operator==(const TPaperSize&) const = default;
};
