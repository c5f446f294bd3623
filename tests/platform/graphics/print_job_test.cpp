// A print job: a layout wider than the paper drawn scaled to the paper's
// width on every page, one that fits drawn as it is, and a job whose drawing
// fails aborted.
#include "platform/graphics/printjob.h"
#include "support/recording_printer.h"
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// A block in the layout's bottom right corner, on each of two pages.
void DrawCorners(TPrintJob& Job) {
    for (int page = 0; page < 2; ++page) {
        if (page > 0) Job.NewPage();
        TCanvas* c = Job.Canvas();
        c->Brush()->SetColor(clBlack);
        c->FillRect(TRect(Job.PageWidth() - 100, Job.PageHeight() - 100, Job.PageWidth(),
                          Job.PageHeight()));
    }
}

TColor PixelOf(const TRecordingPrinter& Printer, int Page, int X, int Y) {
    TBitmap b;
    Printer.RenderPage(Page, b, 1);
    return b.Canvas()->Pixels(X, Y);
}

TEST(PrintJob, ALayoutWiderThanThePaperIsScaledToItsWidthOnEveryPage) {
    TRecordingPrinter printer(TSize(945, 591), 300); // 80 x 50 mm
    printer.Install();
    TPrintJob job(&printer, 1890);
    EXPECT_DOUBLE_EQ(job.Scale(), 0.5);
    EXPECT_EQ(job.PageWidth(), 1890);
    EXPECT_EQ(job.PageHeight(), 1182);
    DrawCorners(job);
    job.Finish();
    ASSERT_EQ(printer.PageCount(), 2);
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page);
        // 100 layout pixels are 50 on the paper, in its corner.
        EXPECT_EQ(PixelOf(printer, page, 944, 590), clBlack);
        EXPECT_EQ(PixelOf(printer, page, 897, 543), clBlack);
        EXPECT_EQ(PixelOf(printer, page, 892, 538), clWhite);
    }
}

TEST(PrintJob, ALayoutThatFitsIsDrawnAsItIs) {
    TRecordingPrinter printer(TSize(2480, 3508), 300); // A4
    printer.Install();
    for (const int layout : {0, 1890, 2480}) {
        SCOPED_TRACE(layout);
        TPrintJob job(&printer, layout);
        EXPECT_DOUBLE_EQ(job.Scale(), 1);
        EXPECT_EQ(job.PageWidth(), 2480);
        EXPECT_EQ(job.PageHeight(), 3508);
        DrawCorners(job);
        job.Finish();
        EXPECT_EQ(PixelOf(printer, 1, 2380, 3408), clBlack);
        EXPECT_EQ(PixelOf(printer, 1, 2379, 3407), clWhite);
    }
}

TEST(PrintJob, AJobWhoseDrawingFailsIsAbortedAndTheErrorGoesOn) {
    TRecordingPrinter printer;
    printer.Install();
    EXPECT_THROW(
        {
            TPrintJob job(&printer, 5000);
            job.NewPage();
            throw std::runtime_error("drawing failed");
        },
        std::runtime_error);
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(printer.Log, (std::vector<std::string>{"BeginDoc ", "NewPage", "Abort"}));
    // The next job starts afresh.
    TPrintJob job(&printer);
    job.Finish();
    EXPECT_EQ(printer.Log.back(), "EndDoc");
}

} // namespace
