// The bitmap and metafile picture formats and their options forms.
#include "chart/editor/teeexportformats.h"

#include "chart/editor/teeformbuild.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teeprocs.h"
#include "platform/classes/streams.h"
#include "platform/graphics/clipbrd.h"
#include "platform/graphics/metafile.h"

QM_CLASS_OWNED(TBMPOptions, TForm, TComponent)
QM_CLASS_OWNED(TEMFOptions, TForm, TComponent)
QM_CLASS_PLAIN(TBMPExportFormat, TTeeExportFormat)
QM_CLASS_PLAIN(TEMFExportFormat, TTeeExportFormat)

// ---------------------------------------------------------------------------
// Options forms

TBMPOptions::TBMPOptions(TComponent* AOwner) : TForm(AOwner) {
    SetBorderIcons({biSystemMenu});
    SetClientWidth(187);
    SetClientHeight(92);
    CBColors = TeeNewCombo(this, this, "CBColors", 60, 10, 118,
                           {"Default", "2 (1 bit)", "16 (4 bit)", "256 (8 bit)", "32768 (15 bit)",
                            "65536 (16 bit)", "16M (24 bit)", "16M (32 bit)"});
    TeeNewLabel(this, this, "&Colors:", 8, 14, CBColors);
    CBMono = TeeNewCheck(this, this, "CBMono", "&Monochrome", 8, 42, 120);
    CBColors->SetItemIndex(0);
    CBMono->OnClick = [this](TObject*) { CBColors->SetEnabled(!CBMono->Checked()); };
    OnShow = [this](TObject*) { CBColors->SetItemIndex(0); };
}

TEMFOptions::TEMFOptions(TComponent* AOwner) : TForm(AOwner) {
    SetBorderIcons({biSystemMenu});
    SetClientWidth(152);
    SetClientHeight(75);
    CBEnhanced = TeeNewCheck(this, this, "CBEnhanced", "&Enhanced", 8, 10, 120);
    CBEnhanced->SetChecked(true);
}

// ---------------------------------------------------------------------------
// Bitmap

AnsiString TBMPExportFormat::Description() {
    return TeeMsg_AsBMP;
}

AnsiString TBMPExportFormat::FileFilter() {
    return TeeMsg_BMPFilter;
}

TCustomForm* TBMPExportFormat::Options(bool Check) {
    if (Check && !FOptions) FOptions = std::make_unique<TBMPOptions>(nullptr);
    return FOptions.get();
}

std::unique_ptr<TBitmap> TBMPExportFormat::Bitmap() {
    Options(true);
    CheckSize();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(std::max(0, Width), std::max(0, Height));
    TBMPOptions* o = BMPOptions();
    if (o->CBMono->Checked()) {
        bitmap->SetMonochrome(true);
    } else {
        const int i = o->CBColors->ItemIndex();
        if (i > 0 && i <= static_cast<int>(pf32bit)) bitmap->SetPixelFormat(TPixelFormat(i));
    }
    if (Panel->Canvas()->SupportsFullRotation()) bitmap->SetPixelFormat(pf24bit);
    TCanvas* c = bitmap->Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Panel->Color());
    c->FillRect(TRect(0, 0, bitmap->Width(), bitmap->Height()));
    const bool buffered = Panel->BufferedDisplay();
    TTeeFinally restore([&] { Panel->SetBufferedDisplay(buffered); });
    Panel->SetBufferedDisplay(false);
    Panel->Draw(c, TRect(0, 0, bitmap->Width(), bitmap->Height()));
    return bitmap;
}

void TBMPExportFormat::DoCopyToClipboard() {
    Clipboard()->Assign(Bitmap().get());
}

void TBMPExportFormat::SaveToStream(TStream* Stream) {
    Bitmap()->SaveToStream(Stream);
}

// ---------------------------------------------------------------------------
// Metafile

AnsiString TEMFExportFormat::Description() {
    return TeeMsg_AsEMF;
}

AnsiString TEMFExportFormat::FileFilter() {
    return TeeMsg_EMFFilter;
}

AnsiString TEMFExportFormat::FileExtension() {
    return Enhanced() ? "emf" : "wmf";
}

int TEMFExportFormat::FileFilterIndex() {
    return Enhanced() ? FFilterIndex : FFilterIndex + 1;
}

void TEMFExportFormat::IncFileFilterIndex(int& FilterIndex) {
    TTeeExportFormat::IncFileFilterIndex(FilterIndex);
    ++FilterIndex;
}

bool TEMFExportFormat::WantsFilterIndex(int Index) {
    if (Index == FFilterIndex) {
        // An ".emf" picked after the options chose old-style writes what it says.
        if (!Enhanced()) SetEnhanced(true);
        return true;
    }
    if (Index == FFilterIndex + 1) {
        SetEnhanced(false);
        return true;
    }
    return false;
}

TCustomForm* TEMFExportFormat::Options(bool Check) {
    if (Check && !FOptions) FOptions = std::make_unique<TEMFOptions>(nullptr);
    return FOptions.get();
}

bool TEMFExportFormat::Enhanced() {
    return !FOptions || EMFOptions()->CBEnhanced->Checked();
}

void TEMFExportFormat::SetEnhanced(bool Value) {
    Options(true);
    EMFOptions()->CBEnhanced->SetChecked(Value);
}

std::unique_ptr<TMetafile> TEMFExportFormat::Metafile() {
    CheckSize();
    return Panel->TeeCreateMetafile(Enhanced(), TRect(0, 0, Width, Height));
}

void TEMFExportFormat::DoCopyToClipboard() {
    Clipboard()->Assign(Metafile().get());
}

void TEMFExportFormat::SaveToStream(TStream* Stream) {
    Metafile()->SaveToStream(Stream);
}

void TeeSaveToBitmap(TCustomTeePanel* Panel, const AnsiString& FileName, const TRect& R) {
    TBMPExportFormat f;
    f.Panel = Panel;
    f.Width = R.Width();
    f.Height = R.Height();
    f.SaveToFile(FileName);
}

void TeeRegisterPictureFormats() {
    RegisterTeeExportFormat(&TBMPExportFormat::ClassInfo);
    RegisterTeeExportFormat(&TEMFExportFormat::ClassInfo);
}
