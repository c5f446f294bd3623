#include "platform/graphics/clipbrd.h"
#include "platform/graphics/metafile.h"
#include "platform/graphics/qtbridge.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

QM_CLASS_PLAIN(TClipboard, TPersistent)

namespace {

const QString EmfMime = QStringLiteral("image/x-emf");
const QString WmfMime = QStringLiteral("image/x-wmf");

QClipboard* Board() {
    EnsureGuiApplication();
    return QGuiApplication::clipboard();
}

QByteArray ToBytes(const std::vector<uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

} // namespace

TClipboard* Clipboard() {
    static TClipboard* clipboard = new TClipboard(); // lives as long as the program
    return clipboard;
}

AnsiString TClipboard::AsText() {
    return QStringToAnsi(Board()->text());
}

void TClipboard::SetAsText(const AnsiString& Value) {
    Board()->setText(AnsiToQString(Value));
}

AnsiString TClipboard::TextEncoding() {
    return "UTF-8";
}

void TClipboard::SetAsFormat(const AnsiString& Format, const AnsiString& Bytes) {
    auto data = std::make_unique<QMimeData>();
    data->setData(AnsiToQString(Format), QByteArray(Bytes.data(), Bytes.Length()));
    Board()->setMimeData(data.release());
}

void TClipboard::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p->Graphic()) Assign(p->Graphic());
        return;
    }
    if (auto* m = dynamic_cast<TMetafile*>(Source)) {
        auto data = std::make_unique<QMimeData>();
        data->setData(EmfMime, ToBytes(m->SaveToEmf()));
        data->setData(WmfMime, ToBytes(m->SaveToWmf()));
        // Programs without metafile support paste the picture instead.
        TBitmap bmp(std::max(1, m->Width()), std::max(1, m->Height()));
        bmp.Canvas()->Draw(0, 0, m);
        data->setImageData(*BitmapImage(&bmp));
        Board()->setMimeData(data.release());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        TBitmap bmp;
        bmp.Assign(g);
        if (!bmp.Empty()) Board()->setImage(*BitmapImage(&bmp));
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest) {
    const QMimeData* data = Board()->mimeData();
    if (auto* p = dynamic_cast<TPicture*>(Dest)) {
        if (data && data->hasFormat(EmfMime)) {
            TMetafile m;
            AssignTo(&m);
            p->SetGraphic(&m);
        } else {
            TBitmap b;
            AssignTo(&b);
            p->SetGraphic(&b);
        }
        return;
    }
    if (auto* m = dynamic_cast<TMetafile*>(Dest)) {
        if (!data || !data->hasFormat(EmfMime))
            throw EInvalidGraphic("Clipboard does not hold a metafile");
        const QByteArray b = data->data(EmfMime);
        m->LoadFromBytes(std::vector<uint8_t>(b.begin(), b.end()));
        return;
    }
    if (auto* bmp = dynamic_cast<TBitmap*>(Dest)) {
        const QImage img = Board()->image();
        if (img.isNull()) throw EInvalidGraphic("Clipboard does not hold a picture");
        bmp->SetSize(img.width(), img.height());
        *BitmapImage(bmp) = img.convertToFormat(QImage::Format_RGB32);
        bmp->Canvas()->AttachImage(BitmapImage(bmp));
        return;
    }
    TPersistent::AssignTo(Dest);
}

bool TClipboard::HasFormat(unsigned Format) {
    const QMimeData* data = Board()->mimeData();
    if (!data) return false;
    switch (Format) {
    case CF_TEXT:
    case CF_UNICODETEXT:
        return data->hasText();
    case CF_BITMAP:
    case CF_DIB:
        return data->hasImage();
    case CF_ENHMETAFILE:
        return data->hasFormat(EmfMime);
    case CF_METAFILEPICT:
        return data->hasFormat(WmfMime);
    default:
        return false;
    }
}

void TClipboard::Clear() {
    Board()->clear();
}
void TClipboard::Open() {
    ++FOpenCount;
}
void TClipboard::Close() {
    if (FOpenCount > 0) --FOpenCount;
}
