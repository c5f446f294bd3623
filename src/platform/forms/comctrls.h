#pragma once
// Common controls: TProgressBar, TTrackBar, TUpDown (with an associated edit),
// TTabSheet, TCustomTabControl (tab bar, client panel, OnChanging/OnChange)
// with TPageControl and TTabControl on it, and TStatusBar with its panels.
#include "platform/classes/watched.h"
#include "platform/forms/stdctrls.h"
#include <memory>
#include <vector>

enum TProgressBarOrientation { pbHorizontal, pbVertical };
enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };
enum TUDBtnType { btNext, btPrev };
enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TProgressBar : public TWinControl {
    QM_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* AOwner);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept within Min..Max.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value) { FStep = Value; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int Delta) { SetPosition(FPosition + Delta); }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value) { FSmooth = Value; }
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);

private:
    void Apply();
    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
};

class TTrackBar : public TWinControl {
    QM_CLASS(TTrackBar)
public:
    explicit TTrackBar(TComponent* AOwner);
    int Min() const;
    void SetMin(int Value);
    int Max() const;
    void SetMax(int Value);
    int Position() const;
    // A change (by code or by the user) fires OnChange.
    void SetPosition(int Value);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int LineSize() const;
    void SetLineSize(int Value);
    int PageSize() const;
    void SetPageSize(int Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle Value);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark Value);
    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    void ApplyTicks();
    int FFrequency = 1;
    TTrackBarOrientation FOrientation = trHorizontal;
    TTickStyle FTickStyle = tsAuto;
    TTickMark FTickMarks = tmBottomRight;
};

class TUpDown : public TCustomControl {
    QM_CLASS(TUpDown)
public:
    explicit TUpDown(TComponent* AOwner);
    ~TUpDown() override;
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Read from the associated edit when it holds a number; setting writes the
    // number into the edit (whose OnChange fires) and fires nothing itself.
    int Position() const;
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value) { FIncrement = Value; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value) { FWrap = Value; }
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    // Placing the up-down beside its edit narrows the edit by the up-down's width.
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    // One step as a click on that arrow does (OnChanging may refuse it).
    void Step(TUDBtnType Button);

    std::function<void(TObject* Sender, TUDBtnType Button)> OnClick;
    TTabChangingEvent OnChanging;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool ClicksFromMouse() const override { return false; }

private:
    void UpdateAssociate();
    // The figure the field shows, not yet held to the limits.
    int Shown() const;
    void PlaceBesideAssociate();
    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    bool FWrap = false;
    bool FThousands = true;
    TUDAlignButton FAlignButton = udRight;
    TUDOrientation FOrientation = udVertical;
    TWatched<TWinControl> FAssociate;
    int FPressed = -1;
};

class TPageControl;
class TQtTabBar;

class TTabSheet : public TWinControl {
    QM_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // Position among the page control's pages.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // Position among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    void SetParent(TWinControl* AParent) override;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

protected:
    void TextChanged() override;
    void ApplyColor() override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    bool FHighlighted = false;
    int FImageIndex = -1;
};

// A tab bar over a framed client panel; a change the user makes on the bar
// asks CanChange first and is reported through TabChangedByUser.
class TCustomTabControl : public TWinControl {
    QM_CLASS(TCustomTabControl)
public:
    ~TCustomTabControl() override;
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value) { FHotTrack = Value; }
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value) { FMultiLine = Value; }
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value) { FTabPosition = Value; }
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value) { FStyle = Value; }
    int ClientWidth() const override;
    int ClientHeight() const override;
    // The width the bar needs to show every tab without scroll arrows, and
    // whether the bar as shown has it.
    int TabsWidth() const;
    bool TabsFit() const;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;

protected:
    explicit TCustomTabControl(TComponent* AOwner);
    virtual bool CanChange();
    virtual void Change();
    virtual void TabChangedByUser(int Tab);
    void ApplyGeometry() override;
    // The bar as code changes it: none of these counts as the user's change.
    int BarIndex() const;
    void SetBarIndex(int Index);
    int BarCount() const;
    void ClearBar();
    void AddBarTab(const AnsiString& Caption, bool Highlighted = false);

private:
    TQtTabBar* FTabBar = nullptr;
    QWidget* FPanel = nullptr;
    bool FHotTrack = false;
    bool FMultiLine = false;
    TTabPosition FTabPosition = tpTop;
    TTabStyle FStyle = tsTabs;
};

class TPageControl : public TCustomTabControl {
    QM_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    int PageCount() const { return static_cast<int>(FPages.size()); }
    // Raises EListError outside 0..PageCount-1.
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    // Changing the page by code fires neither OnChanging nor OnChange.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // The active page's position among the visible tabs.
    int TabIndex() const;
    void SetTabIndex(int Value);
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
    // As the user would: OnChanging may refuse, OnChange follows.
    void SelectNextPage(bool GoForward);
    // Picks a page as the user does by clicking its tab.
    bool SelectPageByUser(TTabSheet* Page);

protected:
    void TabChangedByUser(int Tab) override;
    void ApplyGeometry() override;
    void ChildAdded(TControl* AControl) override;
    void ChildRemoved(TControl* AControl) override;

private:
    friend class TTabSheet;
    void RebuildTabs();
    void ShowActive();
    void PlaceSheets();
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};

class TTabControl : public TCustomTabControl {
    QM_CLASS(TTabControl)
public:
    explicit TTabControl(TComponent* AOwner);
    ~TTabControl() override;
    TStrings* Tabs() const { return FTabs.get(); }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    int TabIndex() const;
    // Set by code: no events.
    void SetTabIndex(int Value);
    TRect DisplayRect() const { return ClientRect(); }
    bool SelectTabByUser(int Index);

private:
    void TabsChanged();
    std::unique_ptr<TStringList> FTabs;
};

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel {
public:
    explicit TStatusPanel(TStatusBar* Owner) : FOwner(Owner) {}
    AnsiString Text() const { return FText; }
    void SetText(const AnsiString& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    int Index() const;

private:
    void Changed();
    TStatusBar* FOwner;
    AnsiString FText;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelStyle FStyle = psText;
    TStatusPanelBevel FBevel = pbLowered;
};

class TStatusPanels {
public:
    explicit TStatusPanels(TStatusBar* Owner) : FOwner(Owner) {}
    TStatusPanel* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TStatusPanel* Items(int Index) const;
    void Delete(int Index);
    void Clear();
    int IndexOf(const TStatusPanel* Panel) const;

private:
    TStatusBar* FOwner;
    std::vector<std::unique_ptr<TStatusPanel>> FItems;
};

class TStatusBar : public TCustomControl {
    QM_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;
    TStatusPanels* Panels() const { return FPanels.get(); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    AnsiString SimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // The rectangle of a panel in client coordinates.
    TRect PanelRect(int Index) const;

    std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)> OnDrawPanel;

protected:
    void Paint() override;

private:
    std::unique_ptr<TStatusPanels> FPanels;
    bool FSimplePanel = false;
    AnsiString FSimpleText;
    bool FSizeGrip = true;
};
