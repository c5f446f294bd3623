#pragma once
// Image series (units Imagebar, Imapoint):
//   TImageBarSeries          bars filled with a picture, stretched or tiled
//   TCustomImagePointSeries  a picture at each point
//   TImagePointSeries        one picture, or one per point from OnGetImage
//   TDeltaPointSeries        the picture by the change from the previous point
#include "chart/control/series.h"
#include <functional>
#include <memory>

class TPicture;

// Fills Picture with the library's picture of that resource name (empty for
// an unknown name).
void TeeLoadSeriesPicture(TPicture* Picture, const AnsiString& Name);

class TImageBarSeries : public TBarSeries {
    QM_CLASS(TImageBarSeries)
public:
    explicit TImageBarSeries(TComponent* AOwner);
    ~TImageBarSeries() override;
    void Assign(TPersistent* Source) override;
    AnsiString GetEditorClass() override { return "TImageBarSeriesEditor"; }
    void DrawBar(int BarIndex, int StartPos, int EndPos) override;
    void PrepareForGallery(bool IsEnabled) override;

    TPicture* Image() const { return FImage.get(); }
    void SetImage(TPicture* Value);
    bool ImageTiled() const { return FImageTiled; }
    void SetImageTiled(bool Value) { SetBooleanProperty(FImageTiled, Value); }
    bool IsImageStored() const;

private:
    std::unique_ptr<TPicture> FImage;
    bool FImageTiled = false;
};

class TCustomImagePointSeries;
using TGetImageEvent =
    std::function<void(TCustomImagePointSeries* Sender, int ValueIndex, TPicture* Picture)>;

class TCustomImagePointSeries : public TPointSeries {
    QM_CLASS(TCustomImagePointSeries)
public:
    explicit TCustomImagePointSeries(TComponent* AOwner);
    ~TCustomImagePointSeries() override;
    void Assign(TPersistent* Source) override;
    void DrawValue(int ValueIndex) override;
    void PrepareForGallery(bool IsEnabled) override;

    TPicture* ImagePoint() const { return FImage.get(); }
    void SetImagePoint(TPicture* Value);
    bool ImageTransparent() const { return FImageTransparent; }
    void SetImageTransparent(bool Value) { SetBooleanProperty(FImageTransparent, Value); }

    TGetImageEvent OnGetImage;

protected:
    std::unique_ptr<TPicture> FImage;
    bool FImageTransparent = false;
};

class TImagePointSeries : public TCustomImagePointSeries {
    QM_CLASS(TImagePointSeries)
public:
    explicit TImagePointSeries(TComponent* AOwner);
    bool IsImagePointStored() const;
};

enum TDeltaImageStyle { disSmiles, disHands };
QM_ENUM_NAMES(TDeltaImageStyle, disSmiles, disHands)

class TDeltaPointSeries : public TCustomImagePointSeries {
    QM_CLASS(TDeltaPointSeries)
public:
    explicit TDeltaPointSeries(TComponent* AOwner);
    ~TDeltaPointSeries() override;
    void Assign(TPersistent* Source) override;
    void DrawValue(int ValueIndex) override;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVerticalMargins(int& TopMargin, int& BottomMargin) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    bool ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y) override;

    // The picture point ValueIndex is drawn with.
    TPicture* DeltaImage(int ValueIndex) const;

    TPicture* EqualImage() const { return FEqual.get(); }
    void SetEqualImage(TPicture* Value);
    TPicture* GreaterImage() const { return FGreater.get(); }
    void SetGreaterImage(TPicture* Value);
    TPicture* LowerImage() const { return FLower.get(); }
    void SetLowerImage(TPicture* Value);
    TDeltaImageStyle ImageStyle() const { return FImageStyle; }
    void SetImageStyle(TDeltaImageStyle Value);
    bool IsEqualImageStored() const;
    bool IsGreaterImageStored() const;
    bool IsLowerImageStored() const;

private:
    void TakePictureSize(TPicture* P); // the pointer takes a picture's size above 0
    void TakeLargestPictureSize();
    std::unique_ptr<TPicture> FEqual;
    std::unique_ptr<TPicture> FGreater;
    std::unique_ptr<TPicture> FLower;
    TDeltaImageStyle FImageStyle = disSmiles;
};
