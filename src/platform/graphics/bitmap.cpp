// Provisional pictures: sizes only, file formats follow.
#include "platform/graphics/qtbridge.h"

QM_CLASS_ABSTRACT(TGraphic, TPersistent)
QM_CLASS_PLAIN(TBitmap, TGraphic)
QM_CLASS_PLAIN(TPicture, TPersistent)

class TBitmapPrivate {
public:
    QImage Image;
    TCanvas Canvas;
    TPixelFormat Format = pfDevice;
    TColor TransparentColor = clDefault;
    TTransparentMode Mode = tmAuto;
};

TGraphic::TGraphic() = default;
TGraphic::~TGraphic() = default;
void TGraphic::SetTransparent(bool Value) {
    FTransparent = Value;
    Changed();
}
void TGraphic::SetModified(bool Value) {
    FModified = Value;
    if (Value) Changed();
}
void TGraphic::Changed() {
    FModified = true;
    if (OnChange) OnChange(this);
}
void TGraphic::LoadFromFile(const AnsiString&) {}
void TGraphic::SaveToFile(const AnsiString&) {}
void TGraphic::LoadFromStream(TStream*) {}
void TGraphic::SaveToStream(TStream*) {}

TBitmap::TBitmap() : D(std::make_unique<TBitmapPrivate>()) {}
TBitmap::TBitmap(int Width, int Height) : TBitmap() {
    SetSize(Width, Height);
}
TBitmap::~TBitmap() = default;
void TBitmap::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        D->Image = b->D->Image.copy();
        D->Format = b->D->Format;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}
bool TBitmap::Empty() const {
    return D->Image.isNull();
}
int TBitmap::Width() const {
    return D->Image.width();
}
int TBitmap::Height() const {
    return D->Image.height();
}
void TBitmap::SetWidth(int Value) {
    SetSize(Value, Height());
}
void TBitmap::SetHeight(int Value) {
    SetSize(Width(), Value);
}
void TBitmap::SetSize(int Width, int Height) {
    if (Width <= 0 || Height <= 0) {
        D->Image = QImage();
        D->Canvas.AttachImage(nullptr);
        return;
    }
    QImage img(Width, Height, QImage::Format_RGB32);
    img.fill(Qt::white);
    D->Image = img;
    D->Canvas.AttachImage(&D->Image);
}
TCanvas* TBitmap::Canvas() {
    return &D->Canvas;
}
TPixelFormat TBitmap::PixelFormat() const {
    return D->Format;
}
void TBitmap::SetPixelFormat(TPixelFormat Value) {
    D->Format = Value;
}
bool TBitmap::Monochrome() const {
    return D->Format == pf1bit;
}
void TBitmap::SetMonochrome(bool Value) {
    D->Format = Value ? pf1bit : pfDevice;
}
void* TBitmap::ScanLine(int Row) {
    return D->Image.scanLine(Row);
}
TColor TBitmap::TransparentColor() const {
    return D->TransparentColor;
}
void TBitmap::SetTransparentColor(TColor Value) {
    D->TransparentColor = Value;
}
TTransparentMode TBitmap::TransparentMode() const {
    return D->Mode;
}
void TBitmap::SetTransparentMode(TTransparentMode Value) {
    D->Mode = Value;
}
HBITMAP TBitmap::Handle() {
    return nullptr;
}
void TBitmap::LoadFromBytes(const std::vector<uint8_t>&) {}
std::vector<uint8_t> TBitmap::SaveToBytes() const {
    return {};
}
void TBitmap::Draw(TCanvas*, const TRect&) {}

QImage* BitmapImage(TBitmap* Bitmap) {
    return Bitmap ? &Bitmap->Private()->Image : nullptr;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;
void TPicture::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}
void TPicture::SetGraphic(TGraphic* Value) {
    if (!Value) {
        FGraphic.reset();
        Changed();
        return;
    }
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(Value);
    FGraphic = std::move(copy);
    Changed();
}
TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) FGraphic = std::make_unique<TBitmap>();
    return static_cast<TBitmap*>(FGraphic.get());
}
int TPicture::Width() const {
    return FGraphic ? FGraphic->Width() : 0;
}
int TPicture::Height() const {
    return FGraphic ? FGraphic->Height() : 0;
}
void TPicture::LoadFromFile(const AnsiString&) {}
void TPicture::SaveToFile(const AnsiString&) {}
void TPicture::RegisterFileFormat(const AnsiString&, const AnsiString&, TGraphicFactory) {}
void TPicture::UnregisterFileFormat(const AnsiString&) {}
AnsiString TPicture::GraphicFilter() {
    return "";
}
bool TPicture::SupportsExtension(const AnsiString&) {
    return false;
}
void TPicture::Changed() {
    if (OnChange) OnChange(this);
}
