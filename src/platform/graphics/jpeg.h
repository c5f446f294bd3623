#pragma once
// JPEG pictures (libjpeg, release 6b interface) and PNG pictures.
#include "platform/graphics/graphics.h"

enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };

class TJPEGImage : public TGraphic {
    QM_CLASS(TJPEGImage)
public:
    TJPEGImage();
    ~TJPEGImage() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // A JPEG's size follows its picture; setting it raises EInvalidGraphicOperation.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;

    int CompressionQuality() const { return FQuality; } // 1..100
    void SetCompressionQuality(int Value);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool Value);
    bool ProgressiveEncoding() const { return FProgressive; }
    void SetProgressiveEncoding(bool Value) { FProgressive = Value; }
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale Value);
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance Value) { FPerformance = Value; }

    // Decodes the picture into a bitmap / encodes a bitmap (the JPEG data are
    // made when saving).
    void DIBNeeded();
    void Compress();
    TBitmap* Bitmap();

    void LoadFromBytes(const std::vector<uint8_t>& Data) override;
    std::vector<uint8_t> SaveToBytes() const override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;

private:
    std::vector<uint8_t> FData; // compressed form, when known
    std::unique_ptr<TBitmap> FBitmap;
    int FQuality = 90;
    bool FGrayscale = false;
    bool FProgressive = false;
    TJPEGScale FScale = jsFullSize;
    TJPEGPerformance FPerformance = jpBestQuality;
};

// JPEG coding of raw pixels (rows of 0x00RRGGBB); raise EInvalidGraphic for
// damaged or truncated data.
std::vector<uint8_t> EncodeJpeg(const uint32_t* Pixels, int Width, int Height, int Quality,
                                bool Grayscale, bool Progressive);
void DecodeJpeg(const std::vector<uint8_t>& Data, int ScaleDenom, int& Width, int& Height,
                std::vector<uint32_t>& Pixels);

class TPngImage : public TGraphic {
    QM_CLASS(TPngImage)
public:
    TPngImage();
    ~TPngImage() override;
    void Assign(TPersistent* Source) override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    TBitmap* Bitmap();
    void LoadFromBytes(const std::vector<uint8_t>& Data) override;
    std::vector<uint8_t> SaveToBytes() const override;
    void Draw(TCanvas* ACanvas, const TRect& R) override;

private:
    std::unique_ptr<TBitmap> FBitmap;
};
