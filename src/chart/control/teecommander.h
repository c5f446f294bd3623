#pragma once
// The commander toolbar beside a chart panel:
//   TCustomTeeCommander   the bar, its panel link, button/bevel/label factories, the listener entry
//   TTeeCommander         the standard buttons, the five drag modes and the status label
// Button glyphs are drawn once and registered as named bitmaps (teecommander_glyphs.cpp).
#include "chart/engine/teepanel.h"
#include "platform/classes/watched.h"
#include <functional>

class TSpeedButton;
class TBevel;
class TLabel;
class TCustomChart;
class TPieSeries;
class TCustomChartEditor;

enum TeeCommanderControls {
    tcbNormal,
    tcbSeparator,
    tcbRotate,
    tcbMove,
    tcbZoom,
    tcbDepth,
    tcbEdit,
    tcbPrintPreview,
    tcbCopy,
    tcbSave,
    tcbLabel,
    tcb3D
};

class TCustomTeeCommander : public TCustomPanelNoCaption, public ITeeEventListener {
    QM_CLASS(TCustomTeeCommander)
public:
    explicit TCustomTeeCommander(TComponent* AOwner);
    ~TCustomTeeCommander() override;
    void Loaded() override;
    void TeeEvent(TTeeEvent* Event) override;

    // --- operations descendants override, in the order they were introduced ---
    virtual void DoMouseDown(int X, int Y) {
        (void)X;
        (void)Y;
    }
    virtual void DoMouseMove(int X, int Y) {
        (void)X;
        (void)Y;
    }
    virtual void DoMouseUp() {}
    // False stops the panel's own handling of the current mouse event.
    virtual bool DoPanelMouse() { return true; }
    virtual void SetPanel(TCustomTeePanel* Value);
    virtual void ShowHideControls(bool Enabled);
    virtual void RemovingControl(TControl* AControl) { (void)AControl; }

    TCustomTeePanel* Panel() const { return FPanel; }
    bool Vertical() const { return FVertical; }
    void SetVertical(bool Value);
    // The button of the last button-down event from the panel.
    TMouseButton MouseButton() const { return FMouseButton; }

    TSpeedButton* CreateButton(int APos, TNotifyEvent AProc, const AnsiString& AHint,
                               const AnsiString& AResName, int AGroupIndex);
    TBevel* CreateBevel(int APos);
    TLabel* CreateLabel(int APos, TColor AColor);
    void ReAlignTeeControls();
    // "Chart" for an axis panel, else "Panel".
    AnsiString TeePanelClass() const;
    // Frees the child controls the bar owns, last first.
    void FreeOwnedControls();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The panel's form, held with this bar, its panel and its own form while
    // a drag runs the panel's and the view's handlers.
    TCustomForm* PanelForm() const;

private:
    TWatched<TCustomTeePanel> FPanel;
    bool FVertical = false;
    TMouseButton FMouseButton = mbLeft;
};

class TTeeCommander;
using TTeeEditedChartEvent = std::function<void(TTeeCommander* Sender, TCustomChart* AChart)>;
using TTeeCommanderOnSetLabel = std::function<void(TTeeCommander* Sender, AnsiString& Text)>;

class TTeeCommander : public TCustomTeeCommander {
    QM_CLASS(TTeeCommander)
public:
    explicit TTeeCommander(TComponent* AOwner);
    ~TTeeCommander() override;

    void DoMouseDown(int X, int Y) override;
    void DoMouseMove(int X, int Y) override;
    void DoMouseUp() override;
    bool DoPanelMouse() override;
    void ShowHideControls(bool Enabled) override;
    void RemovingControl(TControl* AControl) override;

    // Replaces the controls by the given kinds, in order.
    void CreateControls(std::initializer_list<TeeCommanderControls> AControls);
    // Lays out the visible controls from 0 (kept for callers; the library never calls it).
    void RepositionControls();

    TSpeedButton* ButtonCopy() const { return FButtonCopy; }
    TSpeedButton* ButtonDepth() const { return FButtonDepth; }
    TSpeedButton* ButtonEdit() const { return FButtonEdit; }
    TSpeedButton* ButtonMove() const { return FButtonMove; }
    TSpeedButton* ButtonNormal() const { return FButtonNormal; }
    TSpeedButton* ButtonPrint() const { return FButtonPrint; }
    TSpeedButton* ButtonRotate() const { return FButtonRotate; }
    TSpeedButton* ButtonSave() const { return FButtonSave; }
    TSpeedButton* ButtonZoom() const { return FButtonZoom; }
    TSpeedButton* Button3D() const { return FButton3D; }
    TLabel* Label() const { return FLabel; }

    // Run instead of the default editor and preview when set (not owned).
    TCustomChartEditor* ChartEditor() const { return FChartEditor; }
    void SetChartEditor(TCustomChartEditor* Value);
    TCustomChartEditor* Previewer() const { return FPreviewer; }
    void SetPreviewer(TCustomChartEditor* Value);
    bool EnablePieExploding() const { return FEnablePieExploding; }
    void SetEnablePieExploding(bool Value) { FEnablePieExploding = Value; }
    bool LabelValues() const { return FLabelValues; }
    void SetLabelValues(bool Value);

    bool Dragging() const { return FDragging; }
    int PieSlice() const { return FPieSlice; }
    int OldX() const { return FOldX; }
    int OldY() const { return FOldY; }

    // The first active pie of the chart, when pies may be exploded.
    TPieSeries* FirstSeriesPie() const;
    static bool IsButtonDown(const TSpeedButton* AButton);
    AnsiString CaptionPanel(const AnsiString& AFormat) const;
    void SetLabelCaption(const AnsiString& AText);
    // The view values of the current mode on the label.
    void ShowValues();

    void ButtonNormalClick(TObject* Sender);
    void ButtonRotateClick(TObject* Sender);
    void ButtonMoveClick(TObject* Sender);
    void ButtonZoomClick(TObject* Sender);
    void ButtonDepthClick(TObject* Sender);
    void ButtonEditClick(TObject* Sender);
    void ButtonPrintClick(TObject* Sender);
    void Button3DClick(TObject* Sender);
    void ButtonCopyClick(TObject* Sender);
    void ButtonSaveClick(TObject* Sender);

    TTeeEditedChartEvent OnEditedChart;
    TTeeCommanderOnSetLabel OnSetLabel;

private:
    void Switch3D();
    void DoRotate(int X, int Y);
    void DoMove(int X, int Y);
    void DoZoom(int Y);
    void DoDepth(int X, int Y);
    void DoExplode(int X, int Y);

    TSpeedButton* FButtonCopy = nullptr;
    TSpeedButton* FButtonDepth = nullptr;
    TSpeedButton* FButtonEdit = nullptr;
    TSpeedButton* FButtonMove = nullptr;
    TSpeedButton* FButtonNormal = nullptr;
    TSpeedButton* FButtonPrint = nullptr;
    TSpeedButton* FButtonRotate = nullptr;
    TSpeedButton* FButtonSave = nullptr;
    TSpeedButton* FButtonZoom = nullptr;
    TSpeedButton* FButton3D = nullptr;
    TLabel* FLabel = nullptr;
    TWatched<TCustomChartEditor> FChartEditor;
    TWatched<TCustomChartEditor> FPreviewer;
    bool FEnablePieExploding = true;
    bool FLabelValues = true;
    bool FDragging = false;
    int FPieSlice = -1;
    int FOldX = 0;
    int FOldY = 0;
};

// Registers the button pictures under their resource names (once).
void TeeRegisterCommanderGlyphs();
