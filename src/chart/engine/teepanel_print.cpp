// TCustomTeePanel: printing (proportional margins, partial printing with the
// anisotropic mapping) and copies to the clipboard.
#include "chart/engine/teeprocs.h"
#include "platform/forms/forms.h"
#include "platform/graphics/clipbrd.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/printers.h"
#include "platform/graphics/printjob.h"
#include "platform/rtl/rtlmath.h"
#include <algorithm>
#include <climits>
#include <cstdint>

void TCustomTeePanel::CopyToClipboardBitmap() {
    CopyToClipboardBitmap(GetRectangle());
}

void TCustomTeePanel::CopyToClipboardBitmap(const TRect& R) {
    Clipboard()->Assign(TeeCreateBitmap(clWhite, R).get());
}

void TCustomTeePanel::CopyToClipboardMetafile(bool Enhanced) {
    CopyToClipboardMetafile(Enhanced, GetRectangle());
}

void TCustomTeePanel::CopyToClipboardMetafile(bool Enhanced, const TRect& R) {
    Clipboard()->Assign(TeeCreateMetafile(Enhanced, R).get());
}

void TCustomTeePanel::CalcProportionalMargins() {
    SetPrintMargins(ProportionalMargins());
}

TRect TCustomTeePanel::ProportionalMargins() {
    const TRect r = GetRectangle();
    const double w = r.Width();
    const double h = r.Height();
    double pw = 0, ph = 0, q = 1;
    try {
        pw = Printer()->PageWidth();
        ph = Printer()->PageHeight();
        TCanvas* c = Printer()->Canvas();
        const int across = c->GetDeviceCaps(LOGPIXELSX);
        const int down = c->GetDeviceCaps(LOGPIXELSY);
        if (across > 0 && down > 0) q = static_cast<double>(across) / down;
    } catch (const Exception&) {
        pw = 0;
    }
    // A printer that cannot say or reports no page: the screen's proportions.
    if (pw < 1 || ph < 1) {
        pw = Screen->Width();
        ph = Screen->Height();
        q = 1;
    }
    // The margins of 15 leave 70 % of the page along the chart's long side;
    // the other side takes the chart's proportions from that length: half of
    // what it leaves of the page, in the nearest whole percent.
    auto margin = [q](double a, double b, double ratio) {
        const int64_t m = Round(50 * (b - 0.7 * a * ratio * q) / b);
        return static_cast<int>(std::clamp<int64_t>(m, INT_MIN, INT_MAX));
    };
    if (w > h) {
        const int m = margin(pw, ph, h / w);
        return TRect(15, m, 15, m);
    }
    const int m = margin(ph, pw, h > 0 ? w / h : 0);
    return TRect(m, 15, m, 15);
}

TRect TCustomTeePanel::ChartPrintRect() {
    // Printing keeps the chart's stored margins as they are.
    const TRect m = FPrintProportional ? ProportionalMargins() : FPrintMargins;
    const double pw = Printer()->PageWidth();
    const double ph = Printer()->PageHeight();
    // Margins come from stored charts too: saturate, never wrap.
    auto part = [](double size, int percent) {
        return static_cast<double>(Round(size * percent / 100.0));
    };
    return TRect(PixelPos(part(pw, m.Left)), PixelPos(part(ph, m.Top)),
                 PixelPos(pw - part(pw, m.Right)), PixelPos(ph - part(ph, m.Bottom)));
}

void TCustomTeePanel::Print() {
    PrintRect(ChartPrintRect());
}

namespace {
// Prints in one orientation and puts the printer's orientation back on every path.
void PrintOriented(TCustomTeePanel* Panel, TPrinterOrientation Orientation) {
    TPrinter* printer = Printer();
    const TPrinterOrientation old = printer->Orientation();
    printer->SetOrientation(Orientation);
    try {
        Panel->Print();
    } catch (...) {
        if (!printer->Printing()) printer->SetOrientation(old);
        throw;
    }
    printer->SetOrientation(old);
}
} // namespace

void TCustomTeePanel::PrintPortrait() {
    PrintOriented(this, poPortrait);
}

void TCustomTeePanel::PrintLandscape() {
    PrintOriented(this, poLandscape);
}

void TCustomTeePanel::PrintRect(const TRect& R) {
    TPrinter* printer = Printer();
    if (!Name().IsEmpty()) printer->SetTitle(Name());
    // The chart is laid out on the page itself: it fits any paper.
    TPrintJob job(printer);
    PrintPartial(R);
    job.Finish();
}

void TCustomTeePanel::PrintPartial(const TRect& PrinterRect) {
    PrintPartialCanvas(Printer()->Canvas(), PrinterRect);
}

void TCustomTeePanel::CalcMetaBounds(TRect& R, const TRect& AChartRect, int& WinWidth,
                                     int& WinHeight, int& ViewWidth, int& ViewHeight) {
    ViewWidth = R.Width();
    ViewHeight = R.Height();
    WinWidth = AChartRect.Width() - MulDiv(AChartRect.Width(), FPrintResolution, 100);
    WinHeight = AChartRect.Height() - MulDiv(AChartRect.Height(), FPrintResolution, 100);
    R.Left = MulDiv(R.Left, WinWidth, ViewWidth);
    R.Right = MulDiv(R.Right, WinWidth, ViewWidth);
    R.Top = MulDiv(R.Top, WinHeight, ViewHeight);
    R.Bottom = MulDiv(R.Bottom, WinHeight, ViewHeight);
}

void TCustomTeePanel::PrintPartialCanvas(TCanvas* PrintCanvas, const TRect& PrinterRect) {
    const TRect page = OrientRectangle(PrinterRect);
    // An empty page rectangle has no scale; nothing of the chart fits in it.
    if (page.Width() < 1 || page.Height() < 1) return;
    TRect r = page;
    int winWidth, winHeight, viewWidth, viewHeight;
    CalcMetaBounds(r, GetRectangle(), winWidth, winHeight, viewWidth, viewHeight);
    // The device state (mapping and clip) is saved and restored as a whole.
    const int saved = PrintCanvas->SaveDC();
    const bool oldPrinting = FPrinting;
    TTeeFinally restore([&] {
        FPrinting = oldPrinting;
        PrintCanvas->RestoreDC(saved);
    });
    FPrinting = true;
    // The clip is set in page pixels, before the mapping: the same area as
    // the mapped rectangle, whatever the device does with logical clips.
    if (CanClip()) PrintCanvas->IntersectClipRect(page.Left, page.Top, page.Right, page.Bottom);
    PrintCanvas->SetMapMode(MM_ANISOTROPIC);
    PrintCanvas->SetWindowOrgEx(0, 0);
    PrintCanvas->SetWindowExtEx(winWidth, winHeight);
    PrintCanvas->SetViewportExtEx(viewWidth, viewHeight);
    // The chart's (0, 0) at the page rectangle's corner: it is laid out as a
    // window of the logical size, and whatever a part places in window pixels
    // lands where the window shows it.
    PrintCanvas->SetViewportOrgEx(page.Left, page.Top);
    DrawToMetaCanvas(PrintCanvas, TRect(0, 0, winWidth, winHeight));
}
