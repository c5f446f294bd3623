// Sections:
//   shared routines   form creation, questions, value formats, list moving
//   style lists       owner-drawn rows of the pen and brush style lists
//   TPenDialog        pen width, style, end style, visibility, colour; Cancel restores
//   TBrushDialog      brush style or pattern bitmap, colour, image; Cancel restores
//   TTeeGradientEditor, TTeeShadowEditor, TTeeFontEditor
//   Edit* routines    open each dialog modally on an object; the picture loader
#include "chart/editor/teependlg.h"

#include "chart/control/teeeditorhooks.h"
#include "chart/editor/teeformbuild.h"
#include "chart/engine/teeconst.h"
#include "platform/classes/watched.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/forms/modalwatch.h"
#include "platform/graphics/gdi.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"
#include <cmath>

QM_CLASS_OWNED(TPenDialog, TForm, TComponent)
QM_CLASS_OWNED(TBrushDialog, TForm, TComponent)
QM_CLASS_OWNED(TTeeGradientEditor, TForm, TComponent)
QM_CLASS_OWNED(TTeeShadowEditor, TForm, TComponent)
QM_CLASS_OWNED(TTeeFontEditor, TForm, TComponent)

// ---------------------------------------------------------------------------
// Shared routines

TCustomForm* TeeCreateForm(TClass AClass, TComponent* AOwner) {
    if (auto* c = dynamic_cast<TControl*>(AOwner))
        if (TCustomForm* f = GetParentForm(c)) AOwner = f;
    auto* form = static_cast<TCustomForm*>(AClass->Factory(AOwner));
    form->SetAlign(alNone);
    form->SetPosition(AOwner ? poOwnerFormCenter : poScreenCenter);
    form->SetBorderStyle(bsDialog);
    return form;
}

void ShowControls(bool Show, std::initializer_list<TControl*> Controls) {
    for (TControl* c : Controls)
        c->SetVisible(Show);
}

void TeeLoadArrowBitmaps(TBitmap* Up, TBitmap* Down) {
    for (TBitmap* b : {Up, Down}) {
        b->SetSize(9, 6);
        TCanvas* c = b->Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(TRect(0, 0, 9, 6));
        // A black triangle on white, which buttons take as transparent.
        for (int row = 0; row < 5; ++row)
            for (int x = 4 - row; x <= 4 + row; ++x)
                c->SetPixel(x, b == Up ? row : 4 - row, clBlack);
    }
}

bool TeeYesNo(const AnsiString& Message, TControl* Owner) {
    Screen->SetCursor(crDefault);
    if (Owner) {
        const TPoint p = Owner->ClientToScreen(TPoint{0, 0});
        return MessageDlgPos(Message, mtConfirmation, {mbYes, mbNo}, 0, p.x + 30, p.y + 20) ==
               mrYes;
    }
    return MessageDlg(Message, mtConfirmation, {mbYes, mbNo}) == mrYes;
}

bool TeeYesNoDelete(const AnsiString& Name, TControl* Owner) {
    return TeeYesNo(Format(TeeMsg_SureToDelete, {Name}), Owner);
}

void AddDefaultValueFormats(TStrings* Items) {
    Items->Add(TeeMsg_DefValueFormat);
    for (const char* f : {"0", "0.0", "0.#", "#.#", "#,##0.00;(#,##0.00)", "00e-0",
                          "#.0 \"x10\" E+0", "#.# x10E-#"})
        Items->Add(f);
}

void MoveList(TListBox* Source, TListBox* Destination) {
    for (int i = 0; i < Source->Items()->Count(); ++i)
        if (Source->Selected(i)) Destination->Items()->AddItemOf(Source->Items(), i);
    for (int i = Source->Items()->Count() - 1; i >= 0; --i)
        if (Source->Selected(i)) Source->Items()->Delete(i);
}

void MoveListAll(TListBox* Source, TListBox* Destination) {
    for (int i = 0; i < Source->Items()->Count(); ++i)
        Destination->Items()->AddItemOf(Source->Items(), i);
    Source->Items()->Clear();
}

// ---------------------------------------------------------------------------
// Owner-drawn style lists

void TeeDrawPenStyleItem(TCanvas* ACanvas, int Index, const TRect& Rect, TOwnerDrawState,
                         TPen* APen, const AnsiString& Text) {
    ACanvas->FillRect(Rect);
    const TColor back = ColorToRGB(ACanvas->Brush()->Color());
    TColor color = APen ? ColorToRGB(APen->Color()) : clBlack;
    // A sample in the row's own colour would vanish.
    if (color == back) color = back == clWhite ? clBlack : clWhite;
    const int y = (Rect.Top + Rect.Bottom) / 2;
    if (Index == 5) {
        ACanvas->Pen()->SetHandle(TeeCreatePenSmallDots(color));
    } else {
        ACanvas->Pen()->SetStyle(Index >= 0 && Index <= psDashDotDot ? static_cast<TPenStyle>(Index)
                                                                     : psSolid);
        ACanvas->Pen()->SetColor(color);
        ACanvas->Pen()->SetWidth(1);
    }
    ACanvas->MoveTo(Rect.Left + 2, y);
    ACanvas->LineTo(Rect.Left + 30, y);
    ACanvas->Pen()->SetStyle(psSolid);
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->TextOut(Rect.Left + 34, Rect.Top + (Rect.Height() - ACanvas->TextHeight(Text)) / 2,
                     Text);
}

void TeeDrawBrushStyleItem(TCanvas* ACanvas, int Index, const TRect& Rect, const AnsiString& Text) {
    ACanvas->FillRect(Rect);
    const TRect swatch{Rect.Left + 2, Rect.Top + 2, Rect.Left + 16, Rect.Bottom - 2};
    if (Index != bsClear) {
        ACanvas->Brush()->SetStyle(bsSolid);
        ACanvas->Brush()->SetColor(clWhite);
        ACanvas->FillRect(swatch);
        if (Index >= 8 && Index <= 19) {
            TBitmap bmp;
            GetTeeBrush(Index - 8, &bmp);
            for (int y = swatch.Top; y < swatch.Bottom; ++y)
                for (int x = swatch.Left; x < swatch.Right; ++x)
                    if (ColorToRGB(bmp.Canvas()->Pixels((x - swatch.Left) % bmp.Width(),
                                                        (y - swatch.Top) % bmp.Height())) ==
                        clBlack)
                        ACanvas->SetPixel(x, y, clBlack);
        } else if (Index >= 0 && Index < 8) {
            ACanvas->Brush()->SetStyle(static_cast<TBrushStyle>(Index));
            ACanvas->Brush()->SetColor(clBlack);
            SetBkMode(ACanvas->Handle(), TRANSPARENT);
            ACanvas->FillRect(swatch);
        }
    }
    ACanvas->Brush()->SetStyle(bsClear);
    ACanvas->TextOut(Rect.Left + 20, Rect.Top + (Rect.Height() - ACanvas->TextHeight(Text)) / 2,
                     Text);
}

// ---------------------------------------------------------------------------
// TPenDialog

TPenDialog::TPenDialog(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Border Editor");
    SetClientWidth(256);
    SetClientHeight(104);
    CBVisible = TeeNewCheck(this, this, "CBVisible", "&Visible", 8, 8, 80);
    UDWidth = TeeNewUpDown(this, this, "SEWidth", "UDWidth", 52, 32, 28, 1, 1000, &SEWidth);
    TeeNewLabel(this, this, "&Width:", 8, 36, SEWidth);
    CBStyle = TeeNewCombo(this, this, "CBStyle", 52, 60, 116,
                          {"Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"});
    TeeNewLabel(this, this, "&Style:", 8, 64, CBStyle);
    CBStyle->SetStyle(csOwnerDrawFixed);
    CBStyle->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
        TeeDrawPenStyleItem(CBStyle->Canvas(), Index, Rect, State, ThePen,
                            CBStyle->Items()->Strings(Index));
    };
    // Beside the width field, which is as wide as "1,000" needs.
    CBEndStyle =
        TeeNewCombo(this, this, "CBEndStyle", UDWidth->Left() + UDWidth->Width() + 3, 32,
                    168 - UDWidth->Left() - UDWidth->Width() - 3, {"Round", "Square", "Flat"});
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "&Color...", 174, 4, 75);
    BOk = TeeNewButton(this, this, "BOk", "OK", 174, 40, 75);
    BOk->SetModalResult(mrOk);
    BOk->SetDefault(true);
    BCancel = TeeNewButton(this, this, "BCancel", "Cancel", 174, 72, 75);
    BCancel->SetModalResult(mrCancel);
    BCancel->SetCancel(true);
    CBVisible->OnClick = [this](TObject* s) { CBVisibleClick(s); };
    SEWidth->OnChange = [this](TObject* s) { SEWidthChange(s); };
    CBStyle->OnChange = [this](TObject* s) { CBStyleChange(s); };
    CBEndStyle->OnChange = [this](TObject* s) { CBEndStyleChange(s); };
    BColor->OnClick = [this](TObject* s) { BColorClick(s); };
    BCancel->OnClick = [this](TObject* s) { BCancelClick(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TPenDialog::~TPenDialog() = default;

TChartPen* TPenDialog::ChartPen() const {
    return dynamic_cast<TChartPen*>(ThePen.Get());
}

void TPenDialog::FormShow(TObject*) {
    if (!ThePen) return;
    FLoading = true;
    TChartPen* cp = ChartPen();
    // A chart pen's copy keeps its end style and small dots too.
    FBackupPen = cp ? std::make_unique<TChartPen>() : std::make_unique<TPen>();
    FBackupPen->Assign(ThePen);
    if (cp) FBackupVisible = cp->Visible();
    CBVisible->SetVisible(cp && !HideVisible);
    if (cp) CBVisible->SetChecked(cp->Visible());
    while (CBStyle->Items()->Count() > 5)
        CBStyle->Items()->Delete(5);
    if (cp && IsWindowsNT) CBStyle->Items()->Add(TeeMsg_SmallDotsPen);
    if (cp && cp->SmallDots() && IsWindowsNT) {
        CBStyle->SetItemIndex(5);
        SEWidth->SetEnabled(false);
        UDWidth->SetEnabled(false);
    } else {
        CBStyle->SetItemIndex(ThePen->Style() <= psDashDotDot ? ThePen->Style() : 0);
    }
    CBEndStyle->SetVisible(cp && IsWindowsNT);
    if (cp) CBEndStyle->SetItemIndex(cp->EndStyle());
    UDWidth->SetPosition(ThePen->Width());
    BColor->LinkProperty(ThePen, "Color");
    EnableStyle();
    FModified = false;
    FLoading = false;
}

void TPenDialog::EnableStyle() {
    if (!IsWindowsNT) CBStyle->SetEnabled(ThePen && ThePen->Width() == 1);
}

void TPenDialog::SEWidthChange(TObject*) {
    if (FLoading || !ThePen || !Showing()) return;
    int w;
    if (!TryStrToInt(SEWidth->Text(), w) || w < 1) return;
    ThePen->SetWidth(w);
    FModified = true;
    EnableStyle();
}

void TPenDialog::CBStyleChange(TObject*) {
    if (FLoading || !ThePen) return;
    const int i = CBStyle->ItemIndex();
    if (i < 0) return;
    TChartPen* cp = ChartPen();
    if (i == 5 && cp) {
        cp->SetSmallDots(true);
        SEWidth->SetEnabled(false);
        UDWidth->SetEnabled(false);
    } else {
        if (cp) cp->SetSmallDots(false);
        ThePen->SetStyle(static_cast<TPenStyle>(i));
        SEWidth->SetEnabled(true);
        UDWidth->SetEnabled(true);
    }
    FModified = true;
}

void TPenDialog::CBEndStyleChange(TObject*) {
    if (FLoading || !ChartPen() || CBEndStyle->ItemIndex() < 0) return;
    ChartPen()->SetEndStyle(static_cast<TPenEndStyle>(CBEndStyle->ItemIndex()));
    FModified = true;
}

void TPenDialog::CBVisibleClick(TObject*) {
    if (FLoading || !ChartPen() || !Showing()) return;
    ChartPen()->SetVisible(CBVisible->Checked());
    FModified = true;
}

void TPenDialog::BColorClick(TObject*) {
    FModified = true;
}

void TPenDialog::BCancelClick(TObject*) {
    if (FModified && ThePen && FBackupPen) {
        ThePen->Assign(FBackupPen.get());
        if (TChartPen* cp = ChartPen()) cp->SetVisible(FBackupVisible);
        TCallOut held{this};
        if (ThePen->OnChange) ThePen->OnChange(ThePen);
        if (held.Gone()) return;
        FModified = false;
    }
    SetModalResult(mrCancel);
}

// ---------------------------------------------------------------------------
// TBrushDialog

namespace {
const char* const BrushItems[] = {
    "Solid",         "None",        "Horizontal",       "Vertical",    "Diagonal",
    "Back Diagonal", "Cross",       "Diagonal Cross",   "Fill 80%",    "Fill 60%",
    "Fill 40%",      "Fill 20%",    "Fill 10%",         "Zig zag",     "Vertical small",
    "Horiz. small",  "Diag. small", "Back Diag. small", "Cross small", "Diag. Cross small"};
} // namespace

// Each pattern is 8 x 8 pixels: black where the row mask has a bit. Pattern
// Index stands for the resource "TeeBrush" + (Index + 1).
void GetTeeBrush(int Index, TBitmap* ABitmap) {
    static const uint8_t Rows[12][8] = {
        {0xEE, 0xFF, 0xBB, 0xFF, 0xEE, 0xFF, 0xBB, 0xFF}, // fill 80%
        {0xAA, 0x77, 0xAA, 0xDD, 0xAA, 0x77, 0xAA, 0xDD}, // fill 60%
        {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}, // fill 40%
        {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22}, // fill 20%
        {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}, // fill 10%
        {0x81, 0x42, 0x24, 0x18, 0x81, 0x42, 0x24, 0x18}, // zig zag
        {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, // vertical small
        {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}, // horizontal small
        {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88}, // diagonal small
        {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11}, // back diagonal small
        {0xFF, 0xAA, 0xFF, 0xAA, 0xFF, 0xAA, 0xFF, 0xAA}, // cross small
        {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}, // diagonal cross small
    };
    if (Index < 0 || Index >= 12)
        throw EListError("Brush pattern index out of range (" + IntToStr(Index) +
                         "): there is no pattern TeeBrush" + IntToStr(Index + 1));
    ABitmap->SetWidth(8);
    ABitmap->SetHeight(8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ABitmap->Canvas()->SetPixel(x, y, (Rows[Index][y] >> (7 - x)) & 1 ? clBlack : clWhite);
    ABitmap->SetTransparentMode(tmFixed);
    ABitmap->SetTransparentColor(clWhite);
}

TBrushDialog::TBrushDialog(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Pattern Color Editor");
    SetClientWidth(325);
    SetClientHeight(158);
    LStyle = TeeNew<TListBox>(this, this, "LStyle", 8, 8, 145, 142);
    for (const char* s : BrushItems)
        LStyle->Items()->Add(s);
    BColor = TeeNewButton<TButtonColor>(this, this, "BColor", "&Color...", 164, 8, 75);
    GroupBox2 = TeeNew<TGroupBox>(this, this, "GroupBox2", 164, 40, 153, 72);
    GroupBox2->SetCaption("Image:");
    Image1 = TeeNew<TImage>(this, GroupBox2, "Image1", 8, 18, 48, 48);
    Button1 = TeeNewButton(this, GroupBox2, "Button1", TeeMsg_BrowseImage, 64, 30, 80);
    Button2 = TeeNewButton(this, this, "Button2", "OK", 164, 124, 75);
    Button2->SetModalResult(mrOk);
    Button2->SetDefault(true);
    Button3 = TeeNewButton(this, this, "Button3", "Cancel", 244, 124, 75);
    Button3->SetModalResult(mrCancel);
    Button3->SetCancel(true);
    LStyle->OnClick = [this](TObject* s) { LStyleClick(s); };
    LStyle->SetStyle(lbOwnerDrawFixed);
    LStyle->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
        TeeDrawBrushStyleItem(LStyle->Canvas(), Index, Rect, LStyle->Items()->Strings(Index));
    };
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    Button3->OnClick = [this](TObject* s) { Button3Click(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

TBrushDialog::~TBrushDialog() = default;

void TBrushDialog::FormShow(TObject*) {
    if (!TheBrush) return;
    FBackupBrush = std::make_unique<TChartBrush>();
    FBackupBrush->Assign(TheBrush);
    LStyle->SetItemIndex(TheBrush->Style() <= bsDiagCross ? TheBrush->Style() : 0);
    BColor->LinkProperty(TheBrush, "Color");
    RedoImage();
    BColor->SetEnabled(TheBrush->Style() != bsClear);
}

void TBrushDialog::RedoImage() {
    TPicture* pic = TheBrush ? TheBrush->ImageIfAny() : nullptr;
    const bool has = pic && pic->Graphic();
    Button1->SetCaption(has ? TeeMsg_ClearImage : TeeMsg_BrowseImage);
    Image1->Picture()->SetGraphic(has ? pic->Graphic() : nullptr);
}

void TBrushDialog::LStyleClick(TObject*) {
    const int i = LStyle->ItemIndex();
    if (!TheBrush || i < 0) return;
    if (i < 8) {
        TheBrush->SetImage(nullptr);
        TheBrush->SetStyle(static_cast<TBrushStyle>(i));
    } else {
        TBitmap bmp;
        GetTeeBrush(i - 8, &bmp);
        TheBrush->Image()->SetGraphic(&bmp);
        TCallOut held{this};
        if (TheBrush->OnChange) TheBrush->OnChange(TheBrush);
        if (held.Gone()) return;
    }
    BColor->SetEnabled(TheBrush->Style() != bsClear);
    RedoImage();
}

void TBrushDialog::Button1Click(TObject*) {
    if (!TheBrush) return;
    if (LStyle->ItemIndex() > 7) LStyle->SetItemIndex(TheBrush->Style());
    TPicture* pic = TheBrush->ImageIfAny();
    if (pic && pic->Graphic()) {
        TheBrush->SetImage(nullptr);
    } else {
        TOpenPictureDialog dlg(this);
        TCallOut held{this, TheBrush};
        const bool chosen = dlg.Execute();
        if (held.Gone()) return;
        if (chosen) {
            TPicture loaded;
            const bool ok = TeeLoadPictureFile(loaded, dlg.FileName());
            if (held.Gone() || !ok) return;
            // Brushes fill with bitmaps: any other format is drawn onto one.
            TBitmap bmp;
            bmp.Assign(loaded.Graphic());
            TheBrush->Image()->SetGraphic(&bmp);
            if (TheBrush->OnChange) TheBrush->OnChange(TheBrush);
            if (held.Gone()) return;
        }
    }
    RedoImage();
}

void TBrushDialog::Button3Click(TObject*) {
    if (TheBrush && FBackupBrush) {
        TheBrush->Assign(FBackupBrush.get());
        TCallOut held{this};
        if (TheBrush->OnChange) TheBrush->OnChange(TheBrush);
        if (held.Gone()) return;
    }
    SetModalResult(mrCancel);
}

// ---------------------------------------------------------------------------
// TTeeGradientEditor

TTeeGradientEditor::TTeeGradientEditor(TComponent* AOwner) : TForm(AOwner) {
    Build();
}

TTeeGradientEditor::TTeeGradientEditor(TComponent* AOwner, TCustomTeeGradient* AGradient)
    : TForm(AOwner) {
    Build();
    PanelButtons->SetVisible(false);
    SetClientHeight(ClientHeight() - PanelButtons->Height());
    RefreshGradient(AGradient);
}

TTeeGradientEditor::~TTeeGradientEditor() = default;

void TTeeGradientEditor::Build() {
    SetCaption("Gradient Editor");
    SetClientWidth(251);
    SetClientHeight(198);
    CBVisible = TeeNewCheck(this, this, "CBVisible", "&Visible", 8, 8, 80);
    CBDirection = TeeNewCombo(this, this, "CBDirection", 120, 6, 123,
                              {"Top Bottom", "Bottom Top", "Left Right", "Right Left",
                               "From Center", "From Top Left", "From Bottom Left", "Radial"});
    TeeNewLabel(this, this, "&Direction:", 68, 10, CBDirection);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 4, 32, 243, 124);
    TTabSheet* colors = TeeNewTab(PageControl1, "TabColors", "Colors");
    TTabSheet* options = TeeNewTab(PageControl1, "TabOptions", "Options");
    PageControl1->SetActivePage(colors);
    BStart = TeeNewButton<TButtonColor>(this, colors, "BStart", "&Start...", 8, 6, 85);
    BMid = TeeNewButton<TButtonColor>(this, colors, "BMid", "&Middle...", 8, 36, 85);
    BEnd = TeeNewButton<TButtonColor>(this, colors, "BEnd", "&End...", 8, 66, 85);
    CBMid = TeeNewCheck(this, colors, "CBMid", "&No Middle", 104, 40, 110);
    BSwap = TeeNewButton(this, colors, "BSwap", "S&wap", 104, 6, 75);
    SBBalance = TeeNew<TTrackBar>(this, options, "SBBalance", 60, 4, 120, 24);
    SBBalance->SetMin(0);
    SBBalance->SetMax(100);
    TeeNewLabel(this, options, "&Balance:", 8, 8, SBBalance);
    LabelBalance = TeeNewLabel(this, options, "50 %", 184, 8);
    auto* gb = TeeNew<TGroupBox>(this, options, "GBRadial", 4, 32, 228, 62);
    gb->SetCaption("Radial offset:");
    TrackBar1 = TeeNew<TTrackBar>(this, gb, "TrackBar1", 50, 12, 130, 22);
    TrackBar2 = TeeNew<TTrackBar>(this, gb, "TrackBar2", 50, 36, 130, 22);
    for (TTrackBar* t : {TrackBar1, TrackBar2}) {
        t->SetMin(-300);
        t->SetMax(300);
        t->SetFrequency(50);
    }
    TeeNewLabel(this, gb, "&Horiz:", 8, 16, TrackBar1);
    TeeNewLabel(this, gb, "&Vert:", 8, 40, TrackBar2);
    LabelX = TeeNewLabel(this, gb, "0", 186, 16);
    LabelY = TeeNewLabel(this, gb, "0", 186, 40);
    PanelButtons = TeeNew<TPanel>(this, this, "PanelButtons", 0, 162, 251, 36);
    PanelButtons->SetBevelOuter(bvNone);
    BOk = TeeNewButton(this, PanelButtons, "BOk", "OK", 88, 4, 75);
    BOk->SetModalResult(mrOk);
    BOk->SetDefault(true);
    BCancel = TeeNewButton(this, PanelButtons, "BCancel", "Cancel", 168, 4, 75);
    BCancel->SetModalResult(mrCancel);
    BCancel->SetCancel(true);

    CBVisible->OnClick = [this](TObject*) {
        if (FRefreshing || !FGradient) return;
        FGradient->SetVisible(CBVisible->Checked());
        Changed();
    };
    CBDirection->OnChange = [this](TObject*) {
        if (FRefreshing || !FGradient || CBDirection->ItemIndex() < 0) return;
        FGradient->SetDirection(static_cast<TGradientDirection>(CBDirection->ItemIndex()));
        Changed();
    };
    for (TButtonColor* b : {BStart, BMid, BEnd})
        b->OnClick = [this](TObject*) {
            if (FRefreshing) return;
            if (BMid->Instance() && FGradient->UseMiddle()) CBMid->SetChecked(false);
            Changed();
        };
    CBMid->OnClick = [this](TObject*) {
        if (FRefreshing || !FGradient) return;
        if (CBMid->Checked())
            FGradient->SetMidColor(clNone);
        else {
            // A middle never chosen draws white; naming it keeps it in the chart file.
            FGradient->UseMiddleColor();
            if (FGradient->MidColor() == clNone) FGradient->SetMidColor(clWhite);
        }
        BMid->Invalidate();
        Changed();
    };
    BSwap->OnClick = [this](TObject*) {
        if (!FGradient) return;
        const TColor s = FGradient->StartColor();
        FGradient->SetStartColor(FGradient->EndColor());
        FGradient->SetEndColor(s);
        BStart->Invalidate();
        BEnd->Invalidate();
        Changed();
    };
    SBBalance->OnChange = [this](TObject*) {
        LabelBalance->SetCaption(FormatFloat(TeeMsg_DefPercentFormat, SBBalance->Position()));
        if (FRefreshing || !FGradient) return;
        FGradient->SetBalance(SBBalance->Position());
        Changed();
    };
    TrackBar1->OnChange = [this](TObject*) {
        LabelX->SetCaption(IntToStr(TrackBar1->Position()));
        if (FRefreshing || !FGradient) return;
        FGradient->SetRadialX(TrackBar1->Position());
        Changed();
    };
    TrackBar2->OnChange = [this](TObject*) {
        LabelY->SetCaption(IntToStr(TrackBar2->Position()));
        if (FRefreshing || !FGradient) return;
        FGradient->SetRadialY(TrackBar2->Position());
        Changed();
    };
    BCancel->OnClick = [this](TObject* s) { BCancelClick(s); };
}

void TTeeGradientEditor::RefreshGradient(TCustomTeeGradient* AGradient) {
    FGradient = AGradient;
    if (!FGradient) return;
    FRefreshing = true;
    FBackup = std::make_unique<TCustomTeeGradient>();
    FBackup->Assign(FGradient);
    SBBalance->SetPosition(FGradient->Balance());
    LabelBalance->SetCaption(FormatFloat(TeeMsg_DefPercentFormat, FGradient->Balance()));
    CBVisible->SetChecked(FGradient->Visible());
    CBVisible->SetVisible(!HideVisible);
    CBDirection->SetItemIndex(FGradient->Direction());
    CBMid->SetChecked(!FGradient->UseMiddle());
    TrackBar1->SetPosition(FGradient->RadialX());
    TrackBar2->SetPosition(FGradient->RadialY());
    LabelX->SetCaption(IntToStr(FGradient->RadialX()));
    LabelY->SetCaption(IntToStr(FGradient->RadialY()));
    BStart->LinkProperty(FGradient, "StartColor");
    BMid->LinkProperty(FGradient, "MidColor");
    BEnd->LinkProperty(FGradient, "EndColor");
    EnableControls();
    FModified = false;
    FRefreshing = false;
}

void TTeeGradientEditor::EnableControls() {
    if (!FGradient) return;
    const bool vis = HideVisible || FGradient->Visible();
    const TGradientDirection d = FGradient->Direction();
    const bool rect = d == gdTopBottom || d == gdBottomTop || d == gdLeftRight || d == gdRightLeft;
    CBDirection->SetEnabled(vis);
    BStart->SetEnabled(vis);
    BEnd->SetEnabled(vis);
    BSwap->SetEnabled(vis);
    BMid->SetEnabled(vis && rect);
    CBMid->SetEnabled(vis && rect);
    const bool radial = d == gdRadial;
    SBBalance->SetEnabled(radial);
    TrackBar1->SetEnabled(radial);
    TrackBar2->SetEnabled(radial);
}

void TTeeGradientEditor::Changed() {
    FModified = true;
    EnableControls();
}

void TTeeGradientEditor::BCancelClick(TObject*) {
    if (FModified && FGradient && FBackup) {
        FGradient->Assign(FBackup.get());
        TCallOut held{this};
        if (FGradient->OnChange) FGradient->OnChange(FGradient);
        if (held.Gone()) return;
        FModified = false;
    }
    SetModalResult(mrCancel);
}

// ---------------------------------------------------------------------------
// TTeeShadowEditor

TTeeShadowEditor::TTeeShadowEditor(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Shadow editor");
    SetClientWidth(161);
    SetClientHeight(161);
    UDShadowSize = TeeNewUpDown(this, this, "Edit1", "UDShadowSize", 88, 8, 40, -100, 1000, &Edit1);
    TeeNewLabel(this, this, "&Horiz. Size:", 8, 12, Edit1);
    UDShaVert =
        TeeNewUpDown(this, this, "EVertSize", "UDShaVert", 88, 36, 40, -100, 1000, &EVertSize);
    TeeNewLabel(this, this, "&Vert. Size:", 8, 40, EVertSize);
    UDShadowTransp = TeeNewUpDown(this, this, "EShadowTransp", "UDShadowTransp", 88, 64, 40, 0, 100,
                                  &EShadowTransp);
    TeeNewLabel(this, this, "&Transparency:", 8, 68, EShadowTransp);
    BShadowColor = TeeNewButton<TButtonColor>(this, this, "BShadowColor", "&Color...", 8, 96, 85);
    BOK = TeeNewButton(this, this, "BOK", "OK", 78, 130, 75);
    BOK->SetModalResult(mrOk);
    BOK->SetVisible(false);
    FBind.UpDown(
        UDShadowSize, [this] { return FShadow->HorizSize(); },
        [this](int V) { FShadow->SetHorizSize(V); });
    FBind.UpDown(
        UDShaVert, [this] { return FShadow->VertSize(); },
        [this](int V) { FShadow->SetVertSize(V); });
    FBind.UpDown(
        UDShadowTransp, [this] { return static_cast<int>(FShadow->Transparency()); },
        [this](int V) {
            FShadow->SetTransparency(static_cast<TTeeTransparency>(std::clamp(V, 0, 100)));
        });
}

void TTeeShadowEditor::RefreshControls(TTeeShadow* AShadow) {
    FShadow = AShadow;
    if (!FShadow) return;
    FBind.Load();
    BShadowColor->LinkProperty(FShadow, "Color");
}

// ---------------------------------------------------------------------------
// TTeeFontEditor

TTeeFontEditor::TTeeFontEditor(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("TeeFont Editor");
    SetClientWidth(224);
    SetClientHeight(136);
    Button3 = TeeNewButton(this, this, "Button3", "&Font...", 8, 8, 75);
    SHText = TeeNew<TShape>(this, this, "SHText", 92, 10, 22, 22);
    UDInter = TeeNewUpDown(this, this, "Edit2", "UDInter", 128, 40, 36, -100, 1000, &Edit2);
    TeeNewLabel(this, this, "&Inter-char spacing:", 8, 44, Edit2);
    BOutline = TeeNewButton<TButtonPen>(this, this, "BOutline", "&Outline...", 8, 72, 90);
    BShadow = TeeNewButton(this, this, "BShadow", "&Shadow...", 108, 72, 90);
    BGradient = TeeNewButton(this, this, "BGradient", "&Gradient...", 8, 104, 90);
    CBOutGrad = TeeNewCheck(this, this, "CBOutGrad", "O&utline gradient", 108, 108, 112);
    SHText->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { SHTextClick(); };
    Button3->OnClick = [this](TObject*) {
        if (!FFont) return;
        TCallOut held{this, FFont};
        const bool changed = EditTeeFont(this, FFont);
        if (held.Gone()) return;
        if (changed) RefreshControls(FFont);
    };
    FBind.UpDown(
        UDInter, [this] { return FFont->InterCharSize(); },
        [this](int V) { FFont->SetInterCharSize(V); });
    BShadow->OnClick = [this](TObject*) {
        if (FFont) EditTeeShadow(this, FFont->Shadow());
    };
    BGradient->OnClick = [this](TObject*) {
        if (FFont) EditTeeGradient(this, FFont->Gradient());
    };
    FBind.Check(
        CBOutGrad, [this] { return FFont->GradientIfAny() && FFont->GradientIfAny()->Outline(); },
        [this](bool V) { FFont->Gradient()->SetOutline(V); });
}

void TTeeFontEditor::RefreshControls(TTeeFont* AFont) {
    FFont = AFont;
    if (!FFont) return;
    SHText->Brush()->SetColor(FFont->Color());
    BOutline->LinkPen(FFont->OutLine());
    FBind.Load();
}

void TTeeFontEditor::SHTextClick() {
    if (!FFont) return;
    TColor c = FFont->Color();
    TCallOut held{this, FFont};
    const bool changed = EditColorDialog(this, c);
    if (held.Gone()) return;
    if (changed) {
        FFont->SetColor(c);
        SHText->Brush()->SetColor(c);
    }
}

// ---------------------------------------------------------------------------
// Edit routines

bool EditChartPenDialog(TComponent* AOwner, TChartPen* APen, bool HideVisible) {
    auto dlg = TeeCreateDialog<TPenDialog>(AOwner);
    dlg->ThePen = APen;
    dlg->HideVisible = HideVisible;
    // What it edits may go with its series or chart while it shows.
    TCallOut held{APen};
    const TModalOutcome shown = ShowModalWatching(dlg.get(), {}, AOwner);
    if (held.Gone()) return false;
    return shown.Ok();
}

bool EditChartBrush(TComponent* AOwner, TChartBrush* ABrush) {
    auto dlg = TeeCreateDialog<TBrushDialog>(AOwner);
    dlg->TheBrush = ABrush;
    TCallOut held{ABrush};
    const TModalOutcome shown = ShowModalWatching(dlg.get(), {}, AOwner);
    if (held.Gone()) return false;
    return shown.Ok();
}

bool EditTeeGradient(TComponent* AOwner, TCustomTeeGradient* AGradient, bool HideVisible) {
    auto dlg = TeeCreateDialog<TTeeGradientEditor>(AOwner);
    dlg->HideVisible = HideVisible;
    dlg->RefreshGradient(AGradient);
    TCallOut held{AGradient};
    const TModalOutcome shown = ShowModalWatching(dlg.get(), {}, AOwner);
    if (held.Gone()) return false;
    return shown.Ok();
}

bool EditTeeShadow(TComponent* AOwner, TTeeShadow* AShadow) {
    auto dlg = TeeCreateDialog<TTeeShadowEditor>(AOwner);
    dlg->BOK->SetVisible(true);
    dlg->RefreshControls(AShadow);
    TCallOut held{AShadow};
    const TModalOutcome shown = ShowModalWatching(dlg.get(), {}, AOwner);
    if (held.Gone()) return false;
    return shown.Ok();
}

bool EditTeeFontEx(TComponent* AOwner, TTeeFont* AFont) {
    auto dlg = TeeCreateDialog<TTeeFontEditor>(AOwner);
    dlg->RefreshControls(AFont);
    TCallOut held{AFont};
    const TModalOutcome shown = ShowModalWatching(dlg.get(), {}, AOwner);
    if (held.Gone()) return false;
    return shown.Ok();
}

bool EditTeeFont(TComponent* AOwner, TFont* AFont) {
    TFontDialog dlg(AOwner);
    dlg.SetFont(AFont);
    TCallOut held{AFont};
    const bool chosen = dlg.Execute();
    if (held.Gone()) return false;
    if (!chosen) return false;
    AFont->Assign(dlg.Font());
    return true;
}

AnsiString TeeGetPictureFileName(TComponent* AOwner) {
    TOpenPictureDialog dlg(AOwner);
    return dlg.Execute() ? dlg.FileName() : AnsiString();
}

void TeeLoadClearImage(TComponent* AOwner, TPicture* APicture) {
    if (APicture->Graphic()) {
        APicture->SetGraphic(nullptr);
        return;
    }
    TCallOut held{APicture};
    const AnsiString name = TeeGetPictureFileName(AOwner);
    if (held.Gone()) return;
    if (name.IsEmpty()) return;
    // Loaded aside first: a damaged file must not leave half a picture behind.
    TPicture loaded;
    const bool ok = TeeLoadPictureFile(loaded, name);
    if (held.Gone() || !ok) return;
    APicture->Assign(&loaded);
}

bool TeeLoadPictureFile(TPicture& Loaded, const AnsiString& FileName) {
    try {
        Loaded.LoadFromFile(FileName);
        return true;
    } catch (const Exception& E) {
        ShowMessage(E.Message);
        return false;
    }
}

void TeeInstallPenDialogHook() {
    TeeEditorHooks().EditChartPen = [](TComponent* Owner, TChartPen* Pen, bool Hide) {
        return EditChartPenDialog(Owner, Pen, Hide);
    };
}
