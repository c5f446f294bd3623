#pragma once
// Pages of the 3D series: surface and water-fall, contour, 3D point,
// triangulated surface, 3D vector and tower. All but the 3D point page add
// the "Grid 3D" page beside them.
#include "chart/editor/teeextrapage.h"

class TContourSeries;
class TGroupBox;
class TRadioGroup;
class TShape;

class TSurfaceSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TSurfaceSeriesEditor)
public:
    explicit TSurfaceSeriesEditor(TComponent* AOwner);

    TButtonPen* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    TCheckBox* CBSmooth = nullptr;
    TButton* Button1 = nullptr;
    TButtonPen* BSideLines = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDTransp = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TWaterFallEditor : public TSurfaceSeriesEditor {
    QM_CLASS(TWaterFallEditor)
public:
    explicit TWaterFallEditor(TComponent* AOwner);
    TButtonPen* BLines = nullptr;

protected:
    void ShowSeries() override;
};

class TContourSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TContourSeriesEditor)
public:
    explicit TContourSeriesEditor(TComponent* AOwner);

    TButtonPen* Button2 = nullptr;
    TEdit* SEYPos = nullptr;
    TUpDown* UDYPos = nullptr;
    TCheckBox* CBYPosLevel = nullptr;
    TGroupBox* GroupBox1 = nullptr;
    TCheckBox* CBAutoLevels = nullptr;
    TEdit* SENum = nullptr;
    TUpDown* UDNum = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TEdit* ELevel = nullptr;
    TUpDown* UDLevel = nullptr;
    TShape* SHColor = nullptr;
    TEdit* EValue = nullptr;
    TButtonPen* bLevelPen = nullptr;
    TCheckBox* cbDefaultPen = nullptr;
    TCheckBox* CBSmooth = nullptr;
    TCheckBox* CBInterpolate = nullptr;

    // Shows level UDLevel in the level controls.
    void SetLevel();

protected:
    void ShowSeries() override;
    void AddPages() override;

private:
    TContourSeries* Contour() const;
    void EnableAuto();
    void LevelsChanged();
};

class TPoint3DSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TPoint3DSeriesEditor)
public:
    explicit TPoint3DSeriesEditor(TComponent* AOwner);

    TButtonColor* BColor = nullptr;
    TCheckBox* CBColorEach = nullptr;
    TButtonPen* Button1 = nullptr;
    TEdit* SEPointDepth = nullptr;
    TUpDown* UDPointDepth = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TTriSurfaceSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TTriSurfaceSeriesEditor)
public:
    explicit TTriSurfaceSeriesEditor(TComponent* AOwner);

    TButtonPen* Button2 = nullptr;
    TButton* Button3 = nullptr;
    TButtonPen* Button1 = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TVectorSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TVectorSeriesEditor)
public:
    explicit TVectorSeriesEditor(TComponent* AOwner);

    TButtonPen* BStart = nullptr;
    TButtonPen* BEnd = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDWidth = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UDHeight = nullptr;
    TCheckBox* CBStart = nullptr;
    TCheckBox* CBEnd = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};

class TTowerSeriesEditor : public TTeeSeriesPage {
    QM_CLASS(TTowerSeriesEditor)
public:
    explicit TTowerSeriesEditor(TComponent* AOwner);

    TButtonPen* ButtonPen1 = nullptr;
    TButton* Button1 = nullptr;
    TCheckBox* CBDark3D = nullptr;
    TCheckBox* CBOrigin = nullptr;
    TEdit* EOrigin = nullptr;
    TComboFlat* CBStyle = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDDepth = nullptr;
    TEdit* Edit2 = nullptr;
    TUpDown* UDWidth = nullptr;
    TEdit* Edit3 = nullptr;
    TUpDown* UDTransp = nullptr;

protected:
    void ShowSeries() override;
    void AddPages() override;
};
