#pragma once
// The point marker editor: visibility, 3D, size, style, fill, border, gradient
// and per-point colouring of a series pointer, as a series page tab or a dialog.
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "platform/classes/watched.h"
#include "platform/forms/forms.h"

class TCheckBox;
class TComboFlat;
class TEdit;
class TLabel;
class TUpDown;
class TSeriesPointer;
class TChartSeries;
class TTabSheet;

class TSeriesPointerEditor : public TForm {
    QM_CLASS(TSeriesPointerEditor)
public:
    explicit TSeriesPointerEditor(TComponent* AOwner);

    TCheckBox* CBDrawPoint = nullptr;
    TCheckBox* CB3dPoint = nullptr;
    TCheckBox* CBPoDark = nullptr;
    TCheckBox* CBInflate = nullptr;
    TLabel* LHorizSize = nullptr;
    TEdit* SEPointHorizSize = nullptr;
    TUpDown* UDPointHorizSize = nullptr;
    TLabel* LVertSize = nullptr;
    TEdit* SEPointVertSize = nullptr;
    TUpDown* UDPointVertSize = nullptr;
    TComboFlat* CBStyle = nullptr;
    TButton* BPointFillColor = nullptr;
    TCheckBox* CBDefBrushColor = nullptr;
    TButtonPen* BPoinPenCol = nullptr;
    TButton* BGradient = nullptr;
    TCheckBox* CBColorEach = nullptr;

    TSeriesPointer* Pointer() const { return FPointer; }
    void FormShow(TObject* Sender);
    void SetPointerVisible(bool Value);
    void Enable3DPoint();
    void HideSizeOptions();

protected:
    // The series whose pointer is edited, or nullptr for a bare pointer.
    TWatched<TChartSeries> FSeries;
    TWatched<TSeriesPointer> FPointer;
    TControlBinder FBind{[this] { return FPointer != nullptr; }};

private:
    void CheckDefaultColor();
    void DrawStyleItem(int Index, const TRect& Rect);
};

// A tab titled Title beside the one Form is docked in, owned by Form so it
// goes with it; nullptr when Form is not docked in a tab.
TTabSheet* TeeAddEditorTab(TCustomForm* Form, const AnsiString& Title);
// Docks a pointer editor for APointer in a new tab beside Form.
TSeriesPointerEditor* TeeInsertPointerForm(TCustomForm* Form, TSeriesPointer* APointer,
                                           const AnsiString& Title);
// The pointer editor as a modal dialog; true when closed with OK.
bool EditSeriesPointer(TComponent* AOwner, TSeriesPointer* APointer);
