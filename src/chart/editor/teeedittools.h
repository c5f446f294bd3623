#pragma once
// The Tools tab of the chart editor: the chart's tools in a list, the tools
// gallery to add one, and the selected tool's own editor form beside the list.
#include "chart/control/chart.h"
#include "chart/control/tooledit.h"
#include "chart/editor/teebinder.h"
#include "platform/forms/forms.h"

class TButton;
class TCheckBox;
class TListBox;
class TPanel;
class TSpeedButton;
class TTabControl;
class TTeeCustomTool;

class TFormTeeTools : public TForm {
    QM_CLASS(TFormTeeTools)
public:
    explicit TFormTeeTools(TComponent* AOwner);

    TListBox* LBTools = nullptr;
    TPanel* Panel1 = nullptr;
    TPanel* PTop = nullptr;
    TPanel* PBottom = nullptr;
    TButton* BAdd = nullptr;
    TButton* BDelete = nullptr;
    TCheckBox* CBActive = nullptr;
    TSpeedButton* BMoveUp = nullptr;
    TSpeedButton* BMoveDown = nullptr;

    TCustomChart* Chart() const;
    TTeeCustomTool* CurrentTool() const;
    // The tool a row shows (nullptr once it is gone), and the row of a tool (-1: none).
    TTeeCustomTool* ToolAt(int Row) const;
    int RowOf(const TTeeCustomTool* ATool) const;
    TCustomForm* ToolForm() const { return FToolForm; }

    void FormShow(TObject* Sender);
    void FillTools();
    void LBToolsClick(TObject* Sender);
    void BAddClick(TObject* Sender);
    void BDeleteClick(TObject* Sender);
    void SwapTool(int A, int B);
    void UpdateMoveButtons();
    void Reload();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void FreeToolForm();
    // A tool freed elsewhere (another editor on the chart) left the list.
    void ToolsDropped();
    TCustomForm* FToolForm = nullptr;
    TWatched<TTeeCustomTool> FFormTool;
    TListedObjects* FToolItems = nullptr;
    TControlBinder FBind{[this] { return CurrentTool() != nullptr; }};
};

class TTeeToolsGallery : public TForm {
    QM_CLASS(TTeeToolsGallery)
public:
    explicit TTeeToolsGallery(TComponent* AOwner);

    TTabControl* TabControl1 = nullptr;
    TListBox* LBTool = nullptr;
    TButton* BOk = nullptr;
    TButton* BCan = nullptr;

    void FillList();
    // The class of the current row, or nullptr.
    TClass SelectedTool() const;
};

// Draws one row of a tool list: the picture of the tool's class and its description.
void TeeDrawTool(TListBox* AList, int Index, const TRect& Rect, bool Selected,
                 TTeeCustomTool* ATool);
