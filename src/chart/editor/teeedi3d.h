#pragma once
// The editor's "3D" page: the 3D switch, depth, zoom, rotation, elevation,
// offsets, perspective, orthogonal angle and text size of the chart's view.
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TCheckBox;
class TCustomChart;
class TEdit;
class TGroupBox;
class TLabel;
class TTrackBar;
class TUpDown;

class TFormTee3D : public TForm {
    QM_CLASS(TFormTee3D)
public:
    explicit TFormTee3D(TComponent* AOwner, TCustomChart* AChart = nullptr);

    TGroupBox* GB3D = nullptr;
    TCheckBox* CBView3d = nullptr;
    TEdit* SE3d = nullptr;
    TUpDown* UD3D = nullptr;
    TCheckBox* CBOrthogonal = nullptr;
    TTrackBar* SBZoom = nullptr;
    TLabel* LZoom = nullptr;
    TTrackBar* SBRotation = nullptr;
    TLabel* LRotation = nullptr;
    TTrackBar* SBElevation = nullptr;
    TLabel* LElevation = nullptr;
    TTrackBar* SBHOffset = nullptr;
    TLabel* LHOffset = nullptr;
    TTrackBar* SBVOffset = nullptr;
    TLabel* LVOffset = nullptr;
    TTrackBar* SBPerspec = nullptr;
    TLabel* LPerspec = nullptr;
    TEdit* EOrthoAngle = nullptr;
    TUpDown* UDOrthoAngle = nullptr;
    TCheckBox* CBZoomText = nullptr;
    TCheckBox* CBClipPoints = nullptr;
    TEdit* ETextSize = nullptr;
    TUpDown* UDTextSize = nullptr;
    TLabel* LTextSize = nullptr;

    // Set by the editor window each time the page shows: false for a pie
    // chart on a canvas that cannot turn it fully.
    bool AllowRotation = true;
    void FormShow(TObject* Sender);
    // Enables the rotation controls after AllowRotation changed.
    void CheckRotation();

    // Bar position and rotation on a canvas without full rotation.
    static int RotationToBar(int Rotation);
    static int BarToRotation(int Position);

private:
    bool FullRotation() const;
    void EnableControls();
    TWatched<TCustomChart> FChart;
    TControlBinder FBind{[this] { return FChart != nullptr; }};
};
