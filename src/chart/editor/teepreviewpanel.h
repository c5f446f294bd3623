#pragma once
// The print preview panel: a sheet in the printer's proportions with each
// chart drawn inside its print margins, and dotted margin lines the user
// drags to move or resize a chart on the page.
#include "chart/engine/teeprocs.h"
#include "platform/classes/watched.h"
#include <functional>
#include <vector>

class TPreviewChartPen : public TChartPen {
    QM_CLASS(TPreviewChartPen)
public:
    explicit TPreviewChartPen(TNotifyEvent OnChangeEvent = nullptr);
};

enum TTeePreviewPanelOrientation { ppoDefault, ppoPortrait, ppoLandscape };
QM_ENUM_NAMES(TTeePreviewPanelOrientation, ppoDefault, ppoPortrait, ppoLandscape)

using TOnChangeMarginsEvent =
    std::function<void(TObject* Sender, bool DisableProportional, const TRect& NewMargins)>;

// The panels drawn and printed on one sheet. A panel freed meanwhile reads
// nullptr and leaves the list before the next drawing or print.
using TTeePanelsList = std::vector<TWatched<TCustomTeePanel>>;

class TTeePreviewPanel : public TCustomTeePanelExtended {
    QM_CLASS(TTeePreviewPanel)
public:
    explicit TTeePreviewPanel(TComponent* AOwner);
    ~TTeePreviewPanel() override;
    void InternalDraw(const TRect& UserRectangle) override;

    void Print();
    // The sheet rectangle for the current printer page and client size.
    TRect CalcPaperRectangle();
    // Where Panel is drawn on the sheet, in pixels.
    TRect CalcImagePrintMargins(TCustomTeePanel* APanel);
    // 0 nothing, 1..4 left, top, right, bottom edge, 5 inside, 6..9 corners.
    int WhereIsCursor(int X, int Y);

    bool AllowResize = true;
    bool AllowMove = true;
    bool AsBitmap() const { return FAsBitmap; }
    void SetAsBitmap(bool Value) { SetBooleanProperty(FAsBitmap, Value); }
    bool DragImage = false;
    TPreviewChartPen* Margins() const { return FMargins.get(); }
    void SetMargins(TPreviewChartPen* Value) { FMargins->Assign(Value); }
    TTeePreviewPanelOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTeePreviewPanelOrientation Value);
    TCustomTeePanel* Panel() const;
    void SetPanel(TCustomTeePanel* Value);
    TTeePanelsList& Panels() { return FPanels; }
    TColor PaperColor() const { return FPaperColor; }
    void SetPaperColor(TColor Value) { SetColorProperty(FPaperColor, Value); }
    TTeeShadow* PaperShadow() const { return FPaperShadow.get(); }
    void SetPaperShadow(TTeeShadow* Value) { FPaperShadow->Assign(Value); }
    TColor GetShadowColor() const;
    void SetShadowColor(TColor Value);
    int GetShadowSize() const;
    void SetShadowSize(int Value);
    bool ShowImage() const { return FShowImage; }
    void SetShowImage(bool Value) { SetBooleanProperty(FShowImage, Value); }
    AnsiString Title;

    TRect ImageRect() const { return FImageRect; }
    TRect PaperRect() const { return FPaperRect; }

    TOnChangeMarginsEvent OnChangeMargins;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void CheckPrinterOrientation();
    // Takes out the panels freed since they were added.
    void DropGone();
    void DrawPanelImage(TCustomTeePanel* APanel);
    void SendAsBitmap(TCustomTeePanel* APanel, TCanvas* ACanvas, const TRect& R);
    void DrawMargins(const TRect& R);
    // The rectangle while dragging, by part.
    void DragTo(int X, int Y);

    TTeePanelsList FPanels;
    int FDragged = 0;
    int FOldX = 0;
    int FOldY = 0;
    TRect FOldRect;
    TRect FImageRect;
    TRect FPaperRect;
    bool FAsBitmap = false;
    std::unique_ptr<TPreviewChartPen> FMargins;
    TTeePreviewPanelOrientation FOrientation = ppoDefault;
    TColor FPaperColor = clWhite;
    std::unique_ptr<TTeeShadow> FPaperShadow;
    bool FShowImage = true;
};
