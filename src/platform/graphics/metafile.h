#pragma once
// Metafiles: a recorded sequence of canvas calls that plays back at any size,
// saved as enhanced (EMF) or placeable old-style (WMF) files.
#include "platform/graphics/graphics.h"

struct TMetaOp;

// The largest side of a metafile picture, in pixels: what an old-style file's
// 16-bit coordinates hold, so every metafile can be saved in either form.
constexpr int MaxMetafileSide = 32767;

class TMetafile : public TGraphic {
    QM_CLASS(TMetafile)
public:
    TMetafile();
    ~TMetafile() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    // Size of the picture in pixels of the reference device (96 per inch),
    // 0..MaxMetafileSide.
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // Size in hundredths of a millimetre.
    int MMWidth() const;
    int MMHeight() const;
    void SetMMWidth(int Value);
    void SetMMHeight(int Value);
    bool Enhanced() const { return FEnhanced; }
    void SetEnhanced(bool Value) { FEnhanced = Value; }
    // Units per inch of an old-style file's placeable header.
    int Inch() const { return FInch; }
    void SetInch(int Value) { FInch = Value > 0 ? Value : 96; }
    AnsiString CreatedBy() const { return FCreatedBy; }
    AnsiString Description() const { return FDescription; }
    void Clear();

    // EMF when Enhanced, else placeable WMF. Reading accepts both.
    void LoadFromBytes(const std::vector<uint8_t>& Data) override;
    std::vector<uint8_t> SaveToBytes() const override;
    std::vector<uint8_t> SaveToEmf() const;
    std::vector<uint8_t> SaveToWmf() const;
    void Draw(TCanvas* ACanvas, const TRect& R) override;

    int RecordCount() const { return int(FOps.size()); }
    // The texts drawn into the metafile, in order, with their reference points.
    struct TTextRecord {
        TPoint Pos;
        AnsiString Text;
    };
    std::vector<TTextRecord> TextRecords() const;
    // Recorded operations (for the metafile canvas and playback).
    std::vector<std::shared_ptr<const TMetaOp>>& Ops() { return FOps; }
    void SetCreator(const AnsiString& CreatedBy, const AnsiString& Description);

private:
    std::vector<std::shared_ptr<const TMetaOp>> FOps;
    int FWidth = 0;
    int FHeight = 0;
    bool FEnhanced = true;
    int FInch = 96;
    AnsiString FCreatedBy;
    AnsiString FDescription;
};

// Records the calls made on any canvas into Metafile (which takes the canvas's
// drawing size), until RecordInto(Canvas, nullptr); then the metafile gets them.
void RecordInto(TCanvas* Canvas, TMetafile* Metafile);

// A canvas that records into a metafile. The metafile receives the recording
// when the canvas is freed; drawing adds to what the metafile already holds.
class TMetafileCanvas : public TCanvas {
    QM_CLASS(TMetafileCanvas)
public:
    TMetafileCanvas(TMetafile* AMetafile, HDC ReferenceDevice);
    TMetafileCanvas(TMetafile* AMetafile, HDC ReferenceDevice, const AnsiString& CreatedBy,
                    const AnsiString& Description);
    ~TMetafileCanvas() override;

private:
    TMetafile* FMetafile;
    std::unique_ptr<class TMetaRecorder> FRecorder;
};
