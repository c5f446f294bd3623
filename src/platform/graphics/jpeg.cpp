// JPEG pictures through libjpeg (6b interface) with memory source and
// destination managers, errors turned into exceptions; PNG pictures through Qt.
#include "platform/graphics/jpeg.h"
#include "platform/graphics/qtbridge.h"
#include <QBuffer>
#include <QPainter>
#include <QImageReader>
#include <QImageWriter>
#include <csetjmp>
#include <cstdio>
#include <cstring>
extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

QM_CLASS_PLAIN(TJPEGImage, TGraphic)
QM_CLASS_PLAIN(TPngImage, TGraphic)

namespace {

struct TJpegError {
    jpeg_error_mgr Mgr;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    bool Truncated;
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->Message);
    longjmp(e->Jump, 1);
}

extern "C" void JpegOutputMessage(j_common_ptr) {}

extern "C" void JpegEmitMessage(j_common_ptr cinfo, int level) {
    auto* e = reinterpret_cast<TJpegError*>(cinfo->err);
    if (level < 0) {
        // A warning about missing data means the file is cut short.
        if (cinfo->err->msg_code == JWRN_JPEG_EOF) e->Truncated = true;
        cinfo->err->num_warnings++;
    }
}

void InitError(TJpegError& e) {
    jpeg_std_error(&e.Mgr);
    e.Mgr.error_exit = JpegErrorExit;
    e.Mgr.output_message = JpegOutputMessage;
    e.Mgr.emit_message = JpegEmitMessage;
    e.Message[0] = 0;
    e.Truncated = false;
}

// --- memory source -----------------------------------------------------------

const JOCTET FakeEoi[2] = {0xFF, JPEG_EOI};

extern "C" void SrcInit(j_decompress_ptr) {}
extern "C" boolean SrcFill(j_decompress_ptr cinfo) {
    WARNMS(cinfo, JWRN_JPEG_EOF);
    cinfo->src->next_input_byte = FakeEoi;
    cinfo->src->bytes_in_buffer = 2;
    return TRUE;
}
extern "C" void SrcSkip(j_decompress_ptr cinfo, long n) {
    if (n <= 0) return;
    while (n > long(cinfo->src->bytes_in_buffer)) {
        n -= long(cinfo->src->bytes_in_buffer);
        SrcFill(cinfo);
    }
    cinfo->src->next_input_byte += n;
    cinfo->src->bytes_in_buffer -= size_t(n);
}
extern "C" void SrcTerm(j_decompress_ptr) {}

// --- memory destination ----------------------------------------------------------

struct TDest {
    jpeg_destination_mgr Mgr;
    std::vector<uint8_t>* Out;
    JOCTET Buffer[4096];
};

extern "C" void DestInit(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TDest*>(cinfo->dest);
    d->Mgr.next_output_byte = d->Buffer;
    d->Mgr.free_in_buffer = sizeof d->Buffer;
}
extern "C" boolean DestEmpty(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TDest*>(cinfo->dest);
    d->Out->insert(d->Out->end(), d->Buffer, d->Buffer + sizeof d->Buffer);
    d->Mgr.next_output_byte = d->Buffer;
    d->Mgr.free_in_buffer = sizeof d->Buffer;
    return TRUE;
}
extern "C" void DestTerm(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<TDest*>(cinfo->dest);
    d->Out->insert(d->Out->end(), d->Buffer,
                   d->Buffer + (sizeof d->Buffer - d->Mgr.free_in_buffer));
}

// What libjpeg may hold for one picture (a progressive picture keeps all its
// coefficients); beyond it the picture is refused, never swapped to disk.
constexpr long MaxDecoderMemory = 256L << 20;

// The libjpeg calls live in these two functions only: nothing with a
// destructor is created between setjmp and a possible longjmp, and every
// buffer that exists at a longjmp belongs to libjpeg's pools, freed by
// jpeg_destroy on every path.
bool RunDecode(const std::vector<uint8_t>* data, int scaleDenom, int* w, int* h,
               std::vector<uint32_t>* pixels, TJpegError* err, const char** why) {
    jpeg_decompress_struct cinfo;
    jpeg_source_mgr src;
    cinfo.err = &err->Mgr;
    if (setjmp(err->Jump)) {
        jpeg_destroy_decompress(&cinfo);
        *why = err->Message;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = MaxDecoderMemory;
    src.init_source = SrcInit;
    src.fill_input_buffer = SrcFill;
    src.skip_input_data = SrcSkip;
    src.resync_to_restart = jpeg_resync_to_restart;
    src.term_source = SrcTerm;
    src.next_input_byte = data->data();
    src.bytes_in_buffer = data->size();
    cinfo.src = &src;
    jpeg_read_header(&cinfo, TRUE);
    auto refuse = [&](const char* reason) {
        jpeg_destroy_decompress(&cinfo);
        *why = reason;
        return false;
    };
    if (err->Truncated) return refuse("truncated data");
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(scaleDenom);
    cinfo.out_color_space = cinfo.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(&cinfo);
    // A coded 8 x 8 block costs at least a bit: a real file never holds more
    // than 512 pixels a byte.
    const int64_t area = int64_t(cinfo.image_width) * cinfo.image_height;
    if (cinfo.output_width == 0 || cinfo.output_height == 0 || area > MaxPicturePixels)
        return refuse("size out of range");
    if (area > 1024 * int64_t(data->size())) return refuse("size too large for its data");
    jpeg_start_decompress(&cinfo);
    if (err->Truncated) return refuse("truncated data");
    *w = int(cinfo.output_width);
    *h = int(cinfo.output_height);
    try {
        pixels->assign(size_t(*w) * size_t(*h), 0);
    } catch (const std::bad_alloc&) {
        return refuse("out of memory");
    }
    const int comps = cinfo.output_components;
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                 JPOOL_IMAGE, JDIMENSION(*w * comps), 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const unsigned y = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) break;
        // The rest of a cut file would only be grey: stop at the cut.
        if (err->Truncated) return refuse("truncated data");
        uint32_t* out = pixels->data() + size_t(y) * size_t(*w);
        for (int x = 0; x < *w; ++x) {
            const uint8_t* p = rows[0] + x * comps;
            out[x] = comps == 1 ? (uint32_t(p[0]) << 16 | uint32_t(p[0]) << 8 | p[0])
                                : (uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (err->Truncated) {
        *why = "truncated data";
        return false;
    }
    return true;
}

bool RunEncode(const uint32_t* pixels, int w, int h, int quality, bool gray, bool progressive,
               std::vector<uint8_t>* out, TJpegError* err, const char** why) {
    jpeg_compress_struct cinfo;
    TDest dest;
    cinfo.err = &err->Mgr;
    if (setjmp(err->Jump)) {
        jpeg_destroy_compress(&cinfo);
        *why = err->Message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    dest.Mgr.init_destination = DestInit;
    dest.Mgr.empty_output_buffer = DestEmpty;
    dest.Mgr.term_destination = DestTerm;
    dest.Out = out;
    cinfo.dest = &dest.Mgr;
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = gray ? 1 : 3;
    cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const int comps = gray ? 1 : 3;
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                 JPOOL_IMAGE, JDIMENSION(w * comps), 1);
    JSAMPLE* row = rows[0];
    while (cinfo.next_scanline < cinfo.image_height) {
        const uint32_t* in = pixels + size_t(cinfo.next_scanline) * size_t(w);
        for (int x = 0; x < w; ++x) {
            const uint32_t c = in[x];
            const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
            if (gray)
                row[x] = JSAMPLE((r * 299 + g * 587 + b * 114 + 500) / 1000);
            else {
                row[3 * x] = JSAMPLE(r);
                row[3 * x + 1] = JSAMPLE(g);
                row[3 * x + 2] = JSAMPLE(b);
            }
        }
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

int Denominator(TJPEGScale s) {
    switch (s) {
    case jsHalf:
        return 2;
    case jsQuarter:
        return 4;
    case jsEighth:
        return 8;
    default:
        return 1;
    }
}

} // namespace

std::vector<uint8_t> EncodeJpeg(const uint32_t* Pixels, int Width, int Height, int Quality,
                                bool Grayscale, bool Progressive) {
    if (!Pixels || Width <= 0 || Height <= 0)
        throw EInvalidGraphicOperation("Cannot compress an empty picture");
    std::vector<uint8_t> out;
    TJpegError err;
    InitError(err);
    const char* why = nullptr;
    if (!RunEncode(Pixels, Width, Height, std::clamp(Quality, 1, 100), Grayscale, Progressive, &out,
                   &err, &why))
        throw EInvalidGraphic(AnsiString("JPEG error: ") + (why ? why : "unknown"));
    return out;
}

void DecodeJpeg(const std::vector<uint8_t>& Data, int ScaleDenom, int& Width, int& Height,
                std::vector<uint32_t>& Pixels) {
    if (Data.size() < 4 || Data[0] != 0xFF || Data[1] != 0xD8)
        throw EInvalidGraphic("JPEG error: not a JPEG file");
    TJpegError err;
    InitError(err);
    const char* why = nullptr;
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    if (!RunDecode(&Data, ScaleDenom, &w, &h, &pixels, &err, &why))
        throw EInvalidGraphic(AnsiString("JPEG error: ") + (why && *why ? why : "damaged data"));
    Width = w;
    Height = h;
    Pixels = std::move(pixels);
}

// --- TJPEGImage -------------------------------------------------------------------

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* Source) {
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        if (j == this) return;
        FData = j->FData;
        FBitmap.reset();
        if (j->FBitmap) {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(j->FBitmap.get());
        }
        FQuality = j->FQuality;
        FGrayscale = j->FGrayscale;
        FProgressive = j->FProgressive;
        FScale = j->FScale;
        FPerformance = j->FPerformance;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(g);
        FData.clear();
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

bool TJPEGImage::Empty() const {
    return FData.empty() && (!FBitmap || FBitmap->Empty());
}

int TJPEGImage::Width() const {
    const_cast<TJPEGImage*>(this)->DIBNeeded();
    return FBitmap ? FBitmap->Width() : 0;
}

int TJPEGImage::Height() const {
    const_cast<TJPEGImage*>(this)->DIBNeeded();
    return FBitmap ? FBitmap->Height() : 0;
}

void TJPEGImage::SetWidth(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}
void TJPEGImage::SetHeight(int) {
    throw EInvalidGraphicOperation("Cannot change the size of a JPEG image");
}

void TJPEGImage::SetCompressionQuality(int Value) {
    Value = std::clamp(Value, 1, 100);
    if (Value == FQuality) return;
    FQuality = Value;
    if (FBitmap) FData.clear(); // recompressed on save
}

void TJPEGImage::SetGrayscale(bool Value) {
    if (Value == FGrayscale) return;
    FGrayscale = Value;
    if (!FData.empty()) FBitmap.reset();
    Changed();
}

void TJPEGImage::SetScale(TJPEGScale Value) {
    if (Value == FScale) return;
    FScale = Value;
    if (!FData.empty()) FBitmap.reset();
    Changed();
}

void TJPEGImage::DIBNeeded() {
    if (FBitmap || FData.empty()) return;
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    DecodeJpeg(FData, Denominator(FScale), w, h, pixels);
    auto bmp = std::make_unique<TBitmap>(w, h);
    bmp->SetPixelFormat(pf24bit);
    QImage* img = BitmapImage(bmp.get());
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img->scanLine(y));
        for (int x = 0; x < w; ++x) {
            uint32_t c = pixels[size_t(y) * w + x];
            if (FGrayscale) {
                const int g = qGray(QRgb(c));
                c = uint32_t(g) << 16 | uint32_t(g) << 8 | uint32_t(g);
            }
            row[x] = 0xFF000000u | c;
        }
    }
    FBitmap = std::move(bmp);
}

void TJPEGImage::Compress() {
    if (!FBitmap || FBitmap->Empty()) return;
    const QImage* img = BitmapImage(FBitmap.get());
    std::vector<uint32_t> pixels(size_t(img->width()) * img->height());
    for (int y = 0; y < img->height(); ++y)
        std::memcpy(pixels.data() + size_t(y) * img->width(), img->constScanLine(y),
                    size_t(img->width()) * 4);
    FData =
        EncodeJpeg(pixels.data(), img->width(), img->height(), FQuality, FGrayscale, FProgressive);
}

TBitmap* TJPEGImage::Bitmap() {
    DIBNeeded();
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TJPEGImage::LoadFromBytes(const std::vector<uint8_t>& Data) {
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    // Decoded once now so a damaged file is refused here, not at first paint.
    DecodeJpeg(Data, Denominator(FScale), w, h, pixels);
    FData = Data;
    FBitmap.reset();
    Changed();
}

std::vector<uint8_t> TJPEGImage::SaveToBytes() const {
    if (FData.empty()) const_cast<TJPEGImage*>(this)->Compress();
    if (FData.empty()) throw EInvalidGraphicOperation("Cannot save an empty JPEG image");
    return FData;
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& R) {
    DIBNeeded();
    if (FBitmap) ACanvas->StretchDraw(R, FBitmap.get());
}

// --- TPngImage --------------------------------------------------------------------

TPngImage::TPngImage() = default;
TPngImage::~TPngImage() = default;

void TPngImage::Assign(TPersistent* Source) {
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        if (g == this) return;
        if (auto* p = dynamic_cast<TPngImage*>(g)) {
            FBitmap = std::make_unique<TBitmap>();
            if (p->FBitmap) FBitmap->Assign(p->FBitmap.get());
        } else {
            FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(g);
        }
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

bool TPngImage::Empty() const {
    return !FBitmap || FBitmap->Empty();
}
int TPngImage::Width() const {
    return FBitmap ? FBitmap->Width() : 0;
}
int TPngImage::Height() const {
    return FBitmap ? FBitmap->Height() : 0;
}
void TPngImage::SetWidth(int Value) {
    Bitmap()->SetWidth(Value);
}
void TPngImage::SetHeight(int Value) {
    Bitmap()->SetHeight(Value);
}

TBitmap* TPngImage::Bitmap() {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TPngImage::LoadFromBytes(const std::vector<uint8_t>& Data) {
    EnsureGuiApplication();
    QByteArray bytes(reinterpret_cast<const char*>(Data.data()), qsizetype(Data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = reader.size();
    if (size.isValid() && int64_t(size.width()) * size.height() > MaxPicturePixels)
        throw EInvalidGraphic("PNG image is not valid (size too large)");
    QImage img = reader.read();
    if (img.isNull())
        throw EInvalidGraphic("PNG image is not valid (" + QStringToAnsi(reader.errorString()) +
                              ")");
    // Transparent pixels show the white of a new bitmap.
    QImage flat(img.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter p(&flat);
        p.drawImage(0, 0, img);
    }
    auto bmp = std::make_unique<TBitmap>(flat.width(), flat.height());
    *BitmapImage(bmp.get()) = flat;
    bmp->Canvas()->AttachImage(BitmapImage(bmp.get()));
    FBitmap = std::move(bmp);
    Changed();
}

std::vector<uint8_t> TPngImage::SaveToBytes() const {
    if (Empty()) throw EInvalidGraphicOperation("Cannot save an empty PNG image");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(*BitmapImage(FBitmap.get())))
        throw EInvalidGraphic("PNG image could not be written");
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

void TPngImage::Draw(TCanvas* ACanvas, const TRect& R) {
    if (FBitmap) ACanvas->StretchDraw(R, FBitmap.get());
}
