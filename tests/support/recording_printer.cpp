#include "support/recording_printer.h"

class TRecordingDevice : public TMetafilePrinterDevice {
public:
    TRecordingDevice(TRecordingPrinter* Owner, TSize Size, int Ppi)
        : TMetafilePrinterDevice(Size, Ppi), FOwner(Owner) {}
    void Begin(TCanvas* Canvas, const AnsiString& Title, TPrinterOrientation O) override {
        FOwner->Log.push_back("BeginDoc " + Title.str());
        FOwner->FPages.clear();
        TMetafilePrinterDevice::Begin(Canvas, Title, O);
    }
    void NewPage(TCanvas* Canvas) override {
        FOwner->Log.push_back("NewPage");
        TMetafilePrinterDevice::NewPage(Canvas);
    }
    void End(TCanvas* Canvas) override {
        FOwner->Log.push_back("EndDoc");
        TMetafilePrinterDevice::End(Canvas);
        FOwner->FPages = TakePages();
    }
    void Abort(TCanvas* Canvas) override {
        FOwner->Log.push_back("Abort");
        TMetafilePrinterDevice::Abort(Canvas);
        FOwner->FPages = TakePages();
    }

private:
    TRecordingPrinter* FOwner;
};

TRecordingPrinter::TRecordingPrinter(TSize PageSize, int PixelsPerInch)
    : FSize(PageSize), FPpi(PixelsPerInch) {}

TRecordingPrinter::~TRecordingPrinter() {
    if (FInstalled) SetPrinter(FPrevious == this ? nullptr : FPrevious);
}

void TRecordingPrinter::Install() {
    if (FInstalled) return;
    FPrevious = SetPrinter(this);
    FInstalled = true;
}

std::unique_ptr<TPrinterDevice> TRecordingPrinter::CreateDevice() {
    // Paper chosen in a dialog replaces the size it was made with.
    const TSize size = Paper().IsEmpty() ? FSize : PaperPixels(Paper(), poPortrait, FPpi);
    return std::make_unique<TRecordingDevice>(this, size, FPpi);
}

TMetafile* TRecordingPrinter::Page(int Index) const {
    return Index >= 0 && Index < PageCount() ? FPages[size_t(Index)].get() : nullptr;
}

std::vector<std::string> TRecordingPrinter::PageTexts(int Index) const {
    std::vector<std::string> out;
    if (TMetafile* m = Page(Index))
        for (const auto& t : m->TextRecords())
            out.push_back(t.Text.str());
    return out;
}

std::string TRecordingPrinter::AllText() const {
    std::string out;
    for (int i = 0; i < PageCount(); ++i)
        for (const std::string& t : PageTexts(i)) {
            if (!out.empty()) out += '\n';
            out += t;
        }
    return out;
}

void TRecordingPrinter::RenderPage(int Index, TBitmap& Target, int Shrink) const {
    TMetafile* m = Page(Index);
    if (!m || Shrink < 1) return;
    Target.SetSize(m->Width() / Shrink, m->Height() / Shrink);
    Target.Canvas()->StretchDraw(TRect(0, 0, Target.Width(), Target.Height()), m);
}
