// Print-outs on the paper chosen: every text a print-out writes lies whole
// inside a page of that paper, read back from the PDF file. What it writes is
// learnt from the same print-out on a recording printer of the PDF's
// resolution, so both lay it out alike.
#pragma once
#include "platform/graphics/printers.h"
#include "support/forms_testing.h"
#include "support/pdf_words.h"
#include "support/recording_printer.h"
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

struct TPaperCase {
    const char* Name;
    TPaperSize Paper;
    TPrinterOrientation Orientation;
};

inline const TPaperCase PaperCases[] = {{"A4", {2100, 2970}, poPortrait},
                                        {"A5 across", {1480, 2100}, poLandscape},
                                        {"label 80 x 50 mm", {800, 500}, poPortrait}};

// A PDF job's pixels per inch: the recording printer lays a print-out out as it.
constexpr int PdfPixelsPerInch = 600;

// The visible ASCII characters of Texts, sorted: what a reader must find
// however it splits the lines into words.
inline std::string TextCharacters(const std::vector<std::string>& Texts) {
    std::string out;
    for (const std::string& t : Texts)
        for (const char c : t)
            if (c > ' ' && c < 127) out += c;
    std::sort(out.begin(), out.end());
    return out;
}

inline std::vector<std::string> RecordedTexts(const TRecordingPrinter& Printer) {
    std::vector<std::string> out;
    for (int i = 0; i < Printer.PageCount(); ++i)
        for (const std::string& t : Printer.PageTexts(i))
            out.push_back(t);
    return out;
}

// The PDF's pages are of the paper as it lies, every word on them lies whole
// inside its page, and together they hold every character of Written. Returns
// the number of pages.
inline int ExpectTextsWholeOnPaper(const std::vector<std::string>& Written, const std::string& Pdf,
                                   const TPaperCase& Paper) {
    const std::vector<qmtest::TPdfPage> pages = qmtest::ReadPdfWords(Pdf);
    EXPECT_FALSE(pages.empty()) << Pdf << " reads as no PDF";
    const bool across = Paper.Orientation == poLandscape;
    const double width = (across ? Paper.Paper.Height : Paper.Paper.Width) * 72 / 254.0;
    const double height = (across ? Paper.Paper.Width : Paper.Paper.Height) * 72 / 254.0;
    constexpr double tolerance = 0.5; // points
    std::vector<std::string> read;
    for (size_t i = 0; i < pages.size(); ++i) {
        const qmtest::TPdfPage& p = pages[i];
        EXPECT_NEAR(p.Width, width, tolerance) << "page " << i + 1;
        EXPECT_NEAR(p.Height, height, tolerance) << "page " << i + 1;
        for (const qmtest::TPdfWord& w : p.Words) {
            EXPECT_TRUE(w.XMin >= -tolerance && w.YMin >= -tolerance &&
                        w.XMax <= p.Width + tolerance && w.YMax <= p.Height + tolerance)
                << "\"" << w.Text << "\" at (" << w.XMin << ", " << w.YMin << ") - (" << w.XMax
                << ", " << w.YMax << ") off page " << i + 1 << " of " << p.Width << " x "
                << p.Height << " pt";
            read.push_back(w.Text);
        }
    }
    // A character wholly off its page is not read at all.
    std::string missing, wanted = TextCharacters(Written), got = TextCharacters(read);
    std::set_difference(wanted.begin(), wanted.end(), got.begin(), got.end(),
                        std::back_inserter(missing));
    EXPECT_EQ(missing, "") << "characters written but not on the paper";
    EXPECT_FALSE(wanted.empty()) << "the print-out wrote no text";
    return int(pages.size());
}

// Print runs a print-out whose print dialog chooses the paper: a label and A5
// across. Each text it writes lies whole on the paper, in a PDF file.
inline void ExpectLinesOnChosenPaper(TStrictResponder& Responder,
                                     const std::function<void()>& Print, int Lines) {
    const std::string pdf = (std::filesystem::temp_directory_path() / "chosen_paper.pdf").string();
    for (const TPaperCase& p : {PaperCases[2], PaperCases[1]}) {
        SCOPED_TRACE(p.Name);
        std::vector<std::string> written;
        {
            TRecordingPrinter printer(TSize(1, 1), PdfPixelsPerInch);
            printer.Install();
            Responder.ExpectPaper(TDialogKind::PrintDialog, p.Paper, p.Orientation, pdf.c_str());
            Print();
            written = RecordedTexts(printer);
            const TSize page = PaperPixels(p.Paper, p.Orientation, PdfPixelsPerInch);
            for (int i = 0; i < printer.PageCount(); ++i) {
                EXPECT_EQ(printer.Page(i)->Width(), page.cx);
                EXPECT_EQ(printer.Page(i)->Height(), page.cy);
            }
        }
        EXPECT_EQ(int(written.size()), Lines);
        std::remove(pdf.c_str());
        Responder.ExpectPaper(TDialogKind::PrintDialog, p.Paper, p.Orientation, pdf.c_str());
        Print();
        ExpectTextsWholeOnPaper(written, pdf, p);
    }
    Printer()->SetPaper({});
    Printer()->SetOrientation(poPortrait);
}
