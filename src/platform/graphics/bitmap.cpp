// TGraphic (files and streams), TBitmap (32-bit pixels with scan lines in the
// bitmap's own pixel format, BMP files, transparency) and TPicture (a graphic
// of any format registered by file extension).
#include "platform/classes/filer.h"
#include "platform/classes/streams.h"
#include "platform/classes/watched.h"
#include "platform/graphics/bmpcodec.h"
#include "platform/graphics/canvasprivate.h"
#include "platform/graphics/jpeg.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/qtbridge.h"
#include <map>

QM_CLASS_ABSTRACT(TGraphic, TPersistent)
QM_CLASS_PLAIN(TBitmap, TGraphic)
QM_CLASS_PLAIN(TPicture, TPersistent)

// --- TGraphic ----------------------------------------------------------------

TGraphic::TGraphic() = default;
TGraphic::~TGraphic() = default;

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    FModified = Value;
    if (Value && OnChange) OnChange(this);
}

void TGraphic::Changed() {
    FModified = true;
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const AnsiString& FileName) {
    const std::vector<uint8_t> data = SaveToBytes();
    SaveFileReplacing(FileName, data.data(), int64_t(data.size()));
}

void TGraphic::LoadFromStream(TStream* Stream) {
    if (!Stream) return;
    const int64_t left = Stream->Size() - Stream->Position();
    if (left < 0 || left > (int64_t(1) << 31)) throw EInvalidGraphic("Picture data too large");
    std::vector<uint8_t> data(static_cast<size_t>(left));
    if (left > 0) Stream->ReadBuffer(data.data(), int(left));
    LoadFromBytes(data);
}

void TGraphic::SaveToStream(TStream* Stream) {
    if (!Stream) return;
    const std::vector<uint8_t> data = SaveToBytes();
    if (!data.empty()) Stream->WriteBuffer(data.data(), int(data.size()));
}

// --- TBitmap -----------------------------------------------------------------

namespace {

// The bitmap's canvas: before each use it folds pending scan-line edits back
// into the pixels.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* Owner) : FOwner(Owner) {}

protected:
    void BeforeAccess() override;
    void Changed() override;

private:
    TBitmap* FOwner;
};

} // namespace

class TBitmapPrivate {
public:
    explicit TBitmapPrivate(TBitmap* Owner) : Q(Owner), Canvas(Owner) {}
    TBitmap* Q;
    QImage Image;
    // Size of a bitmap with no pixels yet: Width then Height are set one at a time.
    int EmptyWidth = 0, EmptyHeight = 0;
    TBitmapCanvas Canvas;
    TPixelFormat Format = pfDevice;
    TColor FixedTransparent = clDefault;
    TTransparentMode Mode = tmAuto;
    // Rows handed out by ScanLine in a format other than 32 bits.
    std::vector<uint8_t> Rows;
    int RowStride = 0;
    bool RowsPending = false;

    void SyncRows() {
        if (!RowsPending) return;
        RowsPending = false;
        RowsToImage(Rows, RowStride, Format, Image);
    }
    void Changed() {
        if (!InChange) {
            InChange = true;
            Q->SetModified(true);
            InChange = false;
        }
    }
    void Attach() { Canvas.AttachImage(Image.isNull() ? nullptr : &Image); }
    bool InChange = false;
};

void TBitmapCanvas::Changed() {
    TCanvas::Changed();
    if (auto* d = FOwner->Private()) d->Changed();
}

void TBitmapCanvas::BeforeAccess() {
    if (auto* d = FOwner->Private()) d->SyncRows();
}

TBitmap::TBitmap() : D(std::make_unique<TBitmapPrivate>(this)) {}
TBitmap::TBitmap(int Width, int Height) : TBitmap() {
    SetSize(Width, Height);
}
TBitmap::~TBitmap() = default;

void TBitmap::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        FreeImage();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        b->D->SyncRows();
        D->RowsPending = false;
        D->Image = b->D->Image.copy();
        D->EmptyWidth = b->D->EmptyWidth;
        D->EmptyHeight = b->D->EmptyHeight;
        D->Format = b->D->Format;
        D->FixedTransparent = b->D->FixedTransparent;
        D->Mode = b->D->Mode;
        SetTransparent(b->Transparent());
        D->Attach();
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Any other picture is drawn onto a white bitmap of its size.
        SetSize(g->Width(), g->Height());
        if (!g->Empty()) g->Draw(Canvas(), TRect(0, 0, g->Width(), g->Height()));
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

bool TBitmap::Empty() const {
    return D->Image.isNull();
}
int TBitmap::Width() const {
    return D->Image.isNull() ? D->EmptyWidth : D->Image.width();
}
int TBitmap::Height() const {
    return D->Image.isNull() ? D->EmptyHeight : D->Image.height();
}
void TBitmap::SetWidth(int Value) {
    SetSize(Value, Height());
}
void TBitmap::SetHeight(int Value) {
    SetSize(Width(), Value);
}

void TBitmap::SetSize(int Width, int Height) {
    D->SyncRows();
    if (Width < 0) Width = 0;
    if (Height < 0) Height = 0;
    if (Width == this->Width() && Height == this->Height()) return;
    if (int64_t(Width) * Height > (int64_t(1) << 28))
        throw EOutOfResources("Not enough storage is available to process this command");
    D->EmptyWidth = Width;
    D->EmptyHeight = Height;
    if (Width == 0 || Height == 0) {
        D->Image = QImage();
    } else {
        QImage img(Width, Height, QImage::Format_RGB32);
        if (img.isNull())
            throw EOutOfResources("Not enough storage is available to process this command");
        img.fill(Qt::white);
        if (!D->Image.isNull()) {
            // The old pixels stay where they were.
            const int w = std::min(Width, D->Image.width()),
                      h = std::min(Height, D->Image.height());
            for (int y = 0; y < h; ++y)
                std::memcpy(img.scanLine(y), D->Image.constScanLine(y), size_t(w) * 4);
        }
        D->Image = img;
    }
    D->Attach();
    Changed();
}

void TBitmap::FreeImage() {
    D->RowsPending = false;
    D->Image = QImage();
    D->EmptyWidth = D->EmptyHeight = 0;
    D->Attach();
    Changed();
}

TCanvas* TBitmap::Canvas() {
    return &D->Canvas;
}
TPixelFormat TBitmap::PixelFormat() const {
    return D->Format;
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    D->SyncRows();
    if (Value == D->Format) return;
    D->Format = Value;
    // Fewer bits lose colours now, as the platform's conversion does.
    if (!D->Image.isNull() && Value != pfDevice && Value != pf24bit && Value != pf32bit &&
        Value != pfCustom) {
        int stride = 0;
        const auto rows = ImageToRows(D->Image, Value, &stride);
        RowsToImage(rows, stride, Value, D->Image);
    }
    Changed();
}

bool TBitmap::Monochrome() const {
    return D->Format == pf1bit;
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value == Monochrome()) return;
    SetPixelFormat(Value ? pf1bit : pfDevice);
}

void* TBitmap::ScanLine(int Row) {
    if (Row < 0 || Row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
    D->Canvas.Private()->Touched(); // the caller may write pixels the canvas drew
    const TPixelFormat f = D->Format;
    if (f == pf32bit || f == pfDevice) {
        D->SyncRows();
        Changed();
        return D->Image.scanLine(Row);
    }
    if (!D->RowsPending) {
        D->Rows = ImageToRows(D->Image, f, &D->RowStride);
        D->RowsPending = true;
    }
    Changed();
    return D->Rows.data() + size_t(D->RowStride) * Row;
}

TColor TBitmap::TransparentColor() const {
    if (D->Mode == tmFixed) return D->FixedTransparent;
    if (D->Image.isNull()) return clDefault;
    D->SyncRows();
    const QRgb c = D->Image.pixel(0, D->Image.height() - 1);
    return TColor(RGB(qRed(c), qGreen(c), qBlue(c)));
}

void TBitmap::SetTransparentColor(TColor Value) {
    D->FixedTransparent = Value;
    D->Mode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

TTransparentMode TBitmap::TransparentMode() const {
    return D->Mode;
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == D->Mode) return;
    if (Value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}

HBITMAP TBitmap::Handle() {
    D->SyncRows();
    return nullptr;
}

void TBitmap::LoadFromBytes(const std::vector<uint8_t>& Data) {
    TPixelFormat format = pfDevice;
    QImage img = DecodeBmp(Data, &format); // raises before anything changes
    D->RowsPending = false;
    D->Image = std::move(img);
    D->Format = format;
    D->Attach();
    Changed();
}

std::vector<uint8_t> TBitmap::SaveToBytes() const {
    D->SyncRows();
    if (D->Image.isNull()) throw EInvalidGraphicOperation("Cannot save an empty bitmap");
    return EncodeBmp(D->Image, D->Format);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& R) {
    if (!ACanvas || Empty()) return;
    D->SyncRows();
    TCanvas* src = Canvas();
    if (Transparent())
        ACanvas->TransparentBlt(R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, Width(), Height(),
                                ColorToRGB(TransparentColor()) & 0xFFFFFF);
    else
        ACanvas->StretchBlt(R.Left, R.Top, R.Width(), R.Height(), src, 0, 0, Width(), Height(),
                            ACanvas->CopyMode());
}

QImage* BitmapImage(TBitmap* Bitmap) {
    if (!Bitmap) return nullptr;
    Bitmap->Private()->SyncRows();
    return &Bitmap->Private()->Image;
}

// --- TPicture -------------------------------------------------------------------

namespace {

struct TFormat {
    AnsiString Description;
    TPicture::TGraphicFactory Factory;
};

std::map<AnsiString, TFormat>& Formats() {
    static std::map<AnsiString, TFormat> formats;
    static bool defaults = false;
    if (!defaults) {
        defaults = true;
        formats["bmp"] = {"Bitmaps", [] { return std::make_unique<TBitmap>(); }};
        formats["jpg"] = {"JPEG Image File", [] { return std::make_unique<TJPEGImage>(); }};
        formats["jpeg"] = {"JPEG Image File", [] { return std::make_unique<TJPEGImage>(); }};
        formats["png"] = {"Portable Network Graphics",
                          [] { return std::make_unique<TPngImage>(); }};
        formats["emf"] = {"Enhanced Metafiles", [] { return std::make_unique<TMetafile>(); }};
        formats["wmf"] = {"Metafiles", [] {
                              auto m = std::make_unique<TMetafile>();
                              m->SetEnhanced(false);
                              return m;
                          }};
    }
    return formats;
}

bool SameClass(const TFormat& Format, const TGraphic* Graphic) {
    std::unique_ptr<TGraphic> g = Format.Factory();
    return g && g->ClassType() == Graphic->ClassType();
}

// The same bytes on saving: one class, and for metafiles one form.
bool SameFormat(const TGraphic* A, const TGraphic* B) {
    if (A->ClassType() != B->ClassType()) return false;
    const auto* ma = dynamic_cast<const TMetafile*>(A);
    const auto* mb = dynamic_cast<const TMetafile*>(B);
    return !ma || !mb || ma->Enhanced() == mb->Enhanced();
}

AnsiString ExtensionOf(const AnsiString& FileName) {
    const std::string& s = FileName.str();
    const size_t dot = s.find_last_of('.');
    const size_t slash = s.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return AnsiString(s.substr(dot + 1)).LowerCase();
}

std::unique_ptr<TGraphic> NewGraphicFor(const AnsiString& FileName) {
    const AnsiString ext = ExtensionOf(FileName);
    if (ext.IsEmpty()) throw EInvalidGraphic("Picture file name has no extension");
    auto it = Formats().find(ext);
    if (it == Formats().end())
        throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    return it->second.Factory();
}

std::unique_ptr<TGraphic> CloneGraphic(TGraphic* g) {
    std::unique_ptr<TGraphic> copy;
    if (TClass cls = g->ClassType(); cls->Factory)
        copy.reset(dynamic_cast<TGraphic*>(cls->Factory(nullptr)));
    if (!copy) copy = std::make_unique<TBitmap>();
    copy->Assign(g);
    return copy;
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this) SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic.get()) return;
    std::unique_ptr<TGraphic> g = Value ? CloneGraphic(Value) : nullptr;
    if (g) g->OnChange = [this](TObject*) { Changed(); };
    FGraphic = std::move(g);
    Changed();
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(FGraphic.get())) {
        FGraphic = std::make_unique<TBitmap>();
        FGraphic->OnChange = [this](TObject*) { Changed(); };
        Changed();
    }
    return static_cast<TBitmap*>(FGraphic.get());
}

int TPicture::Width() const {
    return FGraphic ? FGraphic->Width() : 0;
}
int TPicture::Height() const {
    return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::LoadFromFile(const AnsiString& FileName) {
    std::unique_ptr<TGraphic> g = NewGraphicFor(FileName);
    // A chart picture may show a message while it loads; what holds this
    // picture may go meanwhile.
    TCallOut held{this};
    g->LoadFromFile(FileName);
    if (held.Gone()) return;
    g->OnChange = [this](TObject*) { Changed(); };
    FGraphic = std::move(g);
    Changed();
}

void TPicture::SaveToFile(const AnsiString& FileName) {
    if (!FGraphic) return;
    std::unique_ptr<TGraphic> target = NewGraphicFor(FileName);
    if (SameFormat(target.get(), FGraphic.get())) {
        FGraphic->SaveToFile(FileName);
        return;
    }
    // A metafile keeps the form its extension gives, whatever it is made from.
    auto* meta = dynamic_cast<TMetafile*>(target.get());
    const bool enhanced = meta && meta->Enhanced();
    target->Assign(FGraphic.get());
    if (meta) meta->SetEnhanced(enhanced);
    target->SaveToFile(FileName);
}

void TPicture::RegisterFileFormat(const AnsiString& Extension, const AnsiString& Description,
                                  TGraphicFactory Factory) {
    AnsiString ext = Extension.LowerCase();
    if (ext.Length() > 0 && ext[1] == '.') ext.Delete(1, 1);
    Formats()[ext] = {Description, std::move(Factory)};
}

void TPicture::UnregisterFileFormat(const AnsiString& Extension) {
    Formats().erase(Extension.LowerCase());
}

AnsiString TPicture::GraphicFilter() {
    AnsiString all, each;
    for (const auto& [ext, f] : Formats()) {
        if (!all.IsEmpty()) all += ";";
        all += "*." + ext;
        each += "|" + f.Description + " (*." + ext + ")|*." + ext;
    }
    return "All (" + all + ")|" + all + each;
}

AnsiString TPicture::GraphicFilter(const TGraphic* Graphic) {
    if (!Graphic) return GraphicFilter();
    const AnsiString own = GraphicExtension(Graphic);
    AnsiString first, rest;
    for (const auto& [ext, f] : Formats()) {
        if (!SameClass(f, Graphic)) continue;
        const AnsiString entry = f.Description + " (*." + ext + ")|*." + ext;
        AnsiString& to = ext == own ? first : rest;
        to += (to.IsEmpty() ? "" : "|") + entry;
    }
    if (first.IsEmpty() || rest.IsEmpty()) return first + rest;
    return first + "|" + rest;
}

AnsiString TPicture::GraphicExtension(const TGraphic* Graphic) {
    AnsiString found;
    for (const auto& [ext, f] : Formats()) {
        std::unique_ptr<TGraphic> g = f.Factory();
        if (!Graphic || !g || !SameFormat(g.get(), Graphic)) continue;
        // Of two spellings of one format ("jpeg", "jpg") the short one.
        if (found.IsEmpty() || ext.Length() < found.Length()) found = ext;
    }
    return found;
}

bool TPicture::SupportsExtension(const AnsiString& Extension) {
    AnsiString ext = Extension.LowerCase();
    if (ext.Length() > 0 && ext[1] == '.') ext.Delete(1, 1);
    return Formats().count(ext) != 0;
}

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::DefineProperties(TFiler* Filer) {
    TPersistent::DefineProperties(Filer);
    const bool has = FGraphic && !FGraphic->Empty();
    Filer->DefineBinaryProperty(
        "Data", [this](TStream* S) { ReadData(S); }, [this](TStream* S) { WriteData(S); },
        has || FStoreEmpty);
}

void TPicture::WriteData(TStream* Stream) {
    if (!FGraphic || FGraphic->Empty()) {
        const uint8_t none = 0; // no class name: no graphic
        Stream->WriteBuffer(&none, 1);
        return;
    }
    const AnsiString name = FGraphic->ClassName();
    const uint8_t length = static_cast<uint8_t>(name.Length());
    Stream->WriteBuffer(&length, 1);
    Stream->WriteBuffer(name.data(), length);
    const std::vector<uint8_t> bytes = FGraphic->SaveToBytes();
    if (bytes.size() > INT32_MAX) throw EInvalidGraphicOperation("Picture too large to store");
    const int32_t size = static_cast<int32_t>(bytes.size());
    Stream->WriteBuffer(&size, 4);
    Stream->WriteBuffer(bytes.data(), size);
}

void TPicture::ReadData(TStream* Stream) {
    const auto left = [Stream] { return Stream->Size() - Stream->Position(); };
    const auto damaged = [] { return EInvalidGraphic("Invalid picture data"); };
    uint8_t length = 0;
    if (left() < 1) throw damaged();
    Stream->ReadBuffer(&length, 1);
    if (length == 0) {
        SetGraphic(nullptr);
        return;
    }
    if (left() < length + 4) throw damaged();
    std::string name(length, '\0');
    Stream->ReadBuffer(name.data(), length);
    int32_t size = 0;
    Stream->ReadBuffer(&size, 4);
    if (size < 0 || size > left()) throw damaged();
    // Only the formats a picture knows: the class name never picks code to run.
    std::unique_ptr<TGraphic> g;
    for (const auto& [ext, format] : Formats()) {
        std::unique_ptr<TGraphic> candidate = format.Factory();
        if (candidate && candidate->ClassName() == AnsiString(name)) {
            g = std::move(candidate);
            break;
        }
    }
    if (!g) throw EInvalidGraphic("Unknown picture class " + AnsiString(name));
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    Stream->ReadBuffer(bytes.data(), size);
    TCallOut held{this}; // see LoadFromFile
    g->LoadFromBytes(bytes); // raises before the picture changes
    if (held.Gone()) return;
    g->OnChange = [this](TObject*) { Changed(); };
    FGraphic = std::move(g);
    Changed();
}
