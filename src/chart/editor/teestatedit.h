#pragma once
// Pages of the error, high-low, histogram, point-and-figure, image-bar,
// line-point and bar-join series.
#include "chart/editor/teebaredit.h"
#include "chart/editor/teeextrapage.h"

class TImage;
class TRadioGroup;
class TGroupBox;

class TErrorSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TErrorSeriesEditor)
public:
    explicit TErrorSeriesEditor(TComponent* AOwner);

    TEdit* SEBarwidth = nullptr;
    TUpDown* UDBarWidth = nullptr;
    TRadioGroup* RGWidthUnit = nullptr;
    TRadioGroup* RGStyle = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TButtonPen* BPen = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class THighLowEditor : public TTeeSeriesPage {
    QM_CLASS(THighLowEditor)
public:
    explicit THighLowEditor(TComponent* AOwner);

    TButtonPen* BPen = nullptr;
    TButtonPen* BHighPen = nullptr;
    TButtonPen* BLowPen = nullptr;
    TButton* BBrush = nullptr;
    TButton* BLowBrush = nullptr;
    TButtonColor* BColor = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDTransp = nullptr;

protected:
    void ShowSeries() override;
};

class THistogramSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(THistogramSeriesEditor)
public:
    explicit THistogramSeriesEditor(TComponent* AOwner);

    TCheckBox* CBColorEach = nullptr;
    TButtonColor* BAreaColor = nullptr;
    TButtonPen* BAreaLinesPen = nullptr;
    TButtonPen* BAreaLinePen = nullptr;
    TButton* Button1 = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDTransp = nullptr;

protected:
    void ShowSeries() override;
};

class TPointFigureEditor : public TTeeSeriesPage {
    QM_CLASS(TPointFigureEditor)
public:
    explicit TPointFigureEditor(TComponent* AOwner);

    TEdit* EBoxSize = nullptr;
    TEdit* EReversal = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TImageBarSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TImageBarSeriesEditor)
public:
    explicit TImageBarSeriesEditor(TComponent* AOwner);

    TGroupBox* GroupBox1 = nullptr;
    TImage* Image1 = nullptr;
    TButton* BBrowse = nullptr;
    TCheckBox* CBTiled = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;

private:
    void RefreshImage();
    void BrowseOrClear();
};

// The series pointer page with the button of the lines between points.
class TLinePointEditor : public TTeeSeriesPage {
    QM_CLASS(TLinePointEditor)
public:
    explicit TLinePointEditor(TComponent* AOwner);

    TButtonPen* BLines = nullptr;
    TPanel* PanelPointer = nullptr;
    TCustomForm* PointerForm() const { return FPointerForm; }

protected:
    void ShowSeries() override;

private:
    TCustomForm* FPointerForm = nullptr;
};

class TBarJoinEditor : public TBarSeriesEditor {
    QM_CLASS(TBarJoinEditor)
public:
    explicit TBarJoinEditor(TComponent* AOwner);
    TButtonPen* BJoin = nullptr;
};
