#include "platform/graphics/surface.h"
#include "platform/graphics/canvasprivate.h"
#include "platform/graphics/qtbridge.h"

bool IsWholeSurface(TCanvas& Target, const TRect& Rect) {
    // As a copy into it would: the target's own pending pixels first.
    Target.Handle();
    if (!Target.PaintsImagePixels()) return false;
    const TCanvasPrivate& d = *Target.Private();
    const QImage& image = *d.Image;
    if (image.format() != QImage::Format_RGB32 ||
        Rect != TRect(0, 0, image.width(), image.height()))
        return false;
    return !d.S.HasClip || d.EffectiveClip() == QRegion(image.rect());
}

void TCanvasPrivate::SharePixels(const QImage& Pixels) {
    Q->Changing();
    *Image = Pixels;
    Touched();
    Q->Changed();
}

void ShareSurface(TCanvas& Target, TBitmap& Bitmap) {
    if (const QImage* pixels = BitmapImage(&Bitmap)) Target.Private()->SharePixels(*pixels);
}

bool SharesSurface(TCanvas& Target, TBitmap& Bitmap) {
    const QImage* a = Target.AttachedImage();
    const QImage* b = BitmapImage(&Bitmap);
    return a && b && !a->isNull() && a->constBits() == b->constBits();
}

void ReleaseSurface(TCanvas& Target) {
    if (QImage* image = Target.AttachedImage()) {
        *image = QImage();
        Target.Private()->Touched();
    }
}
