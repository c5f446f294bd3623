// A print-out printed on a label (several pages) and on A5 across (one page),
// each chosen in the print dialog: every page has the chosen size and every
// line lies within it.
#pragma once
#include "support/forms_testing.h"
#include "support/recording_printer.h"
#include <functional>
#include <gtest/gtest.h>

inline void ExpectLinesOnChosenPaper(TStrictResponder& Responder, const std::function<void()>& Print,
                                     int HeadingRoom, int Lines) {
    const struct {
        TPaperSize Paper;
        TPrinterOrientation Orientation;
        bool OnePage;
    } papers[] = {{{800, 500}, poPortrait, false}, {{1480, 2100}, poLandscape, true}};
    for (const auto& p : papers) {
        SCOPED_TRACE(p.Paper.Width);
        TRecordingPrinter printer;
        printer.Install();
        Responder.ExpectPaper(TDialogKind::PrintDialog, p.Paper, p.Orientation);
        Print();
        const TSize page = PaperPixels(p.Paper, p.Orientation, 300);
        EXPECT_EQ(printer.PageCount() == 1, p.OnePage) << printer.PageCount();
        int texts = 0;
        for (int i = 0; i < printer.PageCount(); ++i) {
            EXPECT_EQ(printer.Page(i)->Width(), page.cx);
            EXPECT_EQ(printer.Page(i)->Height(), page.cy);
            // The two heading lines are the taller ones.
            for (const auto& r : printer.Page(i)->TextRecords())
                EXPECT_LE(r.Pos.y + (texts++ < 2 ? HeadingRoom : 58), page.cy) << r.Text.c_str();
        }
        EXPECT_EQ(texts, Lines);
    }
}
