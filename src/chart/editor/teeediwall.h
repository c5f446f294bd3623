#pragma once
// The editor's "Walls" page: the 3D walls switch and each of the four walls.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TButton;
class TButtonColor;
class TButtonPen;
class TCheckBox;
class TChartWall;
class TCustomChart;
class TEdit;
class TTabControl;
class TUpDown;

class TFormTeeWall : public TForm {
    QM_CLASS(TFormTeeWall)
public:
    explicit TFormTeeWall(TComponent* AOwner, TChartWall* AWall = nullptr);

    TCheckBox* CBView3dWalls = nullptr;
    TTabControl* TabSubWalls = nullptr;
    TCheckBox* CBVisible = nullptr;
    TButtonColor* BWallColor = nullptr;
    TButtonPen* BWallPen = nullptr;
    TButton* BWallBrush = nullptr;
    TEdit* SEWallSize = nullptr;
    TUpDown* UDWallSize = nullptr;
    TEdit* Edit1 = nullptr;
    TUpDown* UDTransp = nullptr;
    TCheckBox* CBTransp = nullptr;
    TCheckBox* CBDark3D = nullptr;
    TButton* BGradient = nullptr;

    TChartWall* Wall() const { return FWall; }
    void FormShow(TObject* Sender);
    void TabSubWallsChange(TObject* Sender);

private:
    TChartWall* WallAt(int Index) const;
    void LoadWall();
    TWatched<TCustomChart> FChart;
    TWatched<TChartWall> FWall;
    TControlBinder FBind{[this] { return FWall != nullptr; }};
};
