// Contents:
//   helpers
//   TAxisToolEditor        the axis choice and the border button
//   TColorBandToolEditor   start and end values, colour, pattern, gradient, transparency
//   TColorLineToolEditor   value or style, dragging switches
//   TAxisArrowToolEditor   pattern, length, position, scroll percentage
//   TGridBandToolEdit      two bands: brush, back colour, transparency
#include "chart/editor/teetooledit_axis.h"
#include "platform/classes/watched.h"

#include "chart/control/tool_bands.h"
#include "chart/control/tool_drag.h"
#include "chart/editor/teeediaxis.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxis.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teecontrols.h"
#include "chart/engine/teetools.h"
#include "platform/classes/stringlist.h"
#include "platform/rtl/sysutils.h"
#include <cstdint>

QM_CLASS_OWNED(TAxisToolEditor, TForm, TComponent)
QM_CLASS_OWNED(TColorBandToolEditor, TAxisToolEditor, TComponent)
QM_CLASS_OWNED(TColorLineToolEditor, TAxisToolEditor, TComponent)
QM_CLASS_OWNED(TAxisArrowToolEditor, TAxisToolEditor, TComponent)
QM_CLASS_OWNED(TGridBandToolEdit, TAxisToolEditor, TComponent)

namespace {

template <typename T> T* ToolOf(TTeeCustomToolAxis* Tool) {
    return dynamic_cast<T*>(Tool);
}

void PaintBand(TPaintBox* Box, TGridBandBrush* Band) {
    TCanvas* c = Box->Canvas();
    const TRect r(0, 0, Box->Width(), Box->Height());
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->Rectangle(r);
    if (!Band) return;
    const TRect in(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    c->Brush()->SetColor(Band->BackColor() == clNone ? clWhite : Band->BackColor());
    c->FillRect(in);
    c->Brush()->SetColor(Band->Color());
    c->Brush()->SetStyle(Band->Style());
    c->FillRect(in);
    c->Brush()->SetStyle(bsSolid);
}

} // namespace

// ---------------------------------------------------------------------------
// TAxisToolEditor

TAxisToolEditor::TAxisToolEditor(TComponent* AOwner) : TForm(AOwner) {
    SetClientWidth(250);
    SetClientHeight(160);
    SetColor(clBtnFace);
    SetParentFont(true);
    // Shown on its own as a dialog; the tools page docks it without a border.
    SetBorderStyle(bsDialog);
    CBAxis = TeeNewCombo(this, this, "CBAxis", 60, 8, 130, {});
    CBAxis->SetTabOrder(0);
    Label1 = TeeNewLabel(this, this, "&Axis:", 8, 12, CBAxis);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Border...", 160, 36, 80);
    CBAxis->OnChange = [this](TObject* s) { CBAxisChange(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TAxisToolEditor::FormShow(TObject*) {
    TakeSubject(this, FTool);
    if (!FTool) return;
    TCustomAxisPanel* chart = FTool->ParentChart();
    TeeAddAxes(chart, CBAxis->Items(), false);
    int index = -1;
    if (chart && FTool->Axis()) {
        TChartAxis* a = FTool->Axis();
        if (a == chart->LeftAxis())
            index = 0;
        else if (a == chart->RightAxis())
            index = 1;
        else if (a == chart->TopAxis())
            index = 2;
        else if (a == chart->BottomAxis())
            index = 3;
        else
            for (int i = 0; i < chart->CustomAxes()->Count(); ++i)
                if (chart->CustomAxes()->Get(i) == a) index = 4 + i;
    }
    CBAxis->SetItemIndex(index);
    BPen->LinkPen(FTool->Pen());
}

void TAxisToolEditor::CBAxisChange(TObject*) {
    if (!FTool || !FTool->ParentChart()) return;
    TCustomAxisPanel* chart = FTool->ParentChart();
    const int i = CBAxis->ItemIndex();
    TChartAxis* a = nullptr;
    switch (i) {
    case 0:
        a = chart->LeftAxis();
        break;
    case 1:
        a = chart->RightAxis();
        break;
    case 2:
        a = chart->TopAxis();
        break;
    case 3:
        a = chart->BottomAxis();
        break;
    default:
        if (i >= 4 && i - 4 < chart->CustomAxes()->Count()) a = chart->CustomAxes()->Get(i - 4);
        break;
    }
    if (a) FTool->SetAxis(a);
}

// ---------------------------------------------------------------------------
// TColorBandToolEditor

TColorBandToolEditor::TColorBandToolEditor(TComponent* AOwner) : TAxisToolEditor(AOwner) {
    SetClientWidth(256);
    SetClientHeight(170);
    CBAxis->SetWidth(100);
    EStart = TeeNewNumber(this, this, "EStart", 80, 36, 70);
    TeeNewLabel(this, this, "&Start value:", 8, 40, EStart);
    EEnd = TeeNewNumber(this, this, "EEnd", 80, 62, 70);
    TeeNewLabel(this, this, "&End value:", 8, 66, EEnd);
    BPen->SetTop(8);
    BPen->SetLeft(168);
    ButtonColor1 = TeeNewButton<TButtonColor>(this, this, "ButtonColor1", "&Color...", 168, 36, 80);
    BPattern = TeeNewButton(this, this, "BPattern", "&Pattern...", 168, 64, 80);
    BGradient = TeeNewButton(this, this, "BGradient", "&Gradient...", 168, 92, 80);
    UDTrans = TeeNewUpDown(this, this, "ETrans", "UDTrans", 80, 90, 40, 0, 100, &ETrans, 5);
    TeeNewLabel(this, this, "&Transparency:", 8, 94, ETrans);
    CBDrawBehind = TeeNewCheck(this, this, "CBDrawBehind", "&Draw Behind", 8, 124, 120);

    auto band = [this] { return ToolOf<TColorBandTool>(FTool); };
    using TGet = double (TColorBandTool::*)() const;
    using TSet = void (TColorBandTool::*)(double);
    auto value = [this, band](TEdit* E, TGet Get, TSet Set) {
        FBind.Text(
            E, [band, Get] { return band() ? FloatToStr((band()->*Get)()) : AnsiString("0"); },
            [this, band, Get, Set](const AnsiString& T) {
                if (band() && Showing()) (band()->*Set)(StrToFloatDef(T.Trim(), (band()->*Get)()));
            });
    };
    value(EStart, &TColorBandTool::StartValue, &TColorBandTool::SetStartValue);
    value(EEnd, &TColorBandTool::EndValue, &TColorBandTool::SetEndValue);
    FBind.UpDown(
        UDTrans, [band] { return band() ? band()->Transparency() : 0; },
        [this, band](int V) {
            if (band() && Showing()) band()->SetTransparency(V);
        });
    FBind.Check(
        CBDrawBehind, [band] { return band() && band()->DrawBehind(); },
        [band](bool V) {
            if (band()) band()->SetDrawBehind(V);
        });
    BPattern->OnClick = [this, band](TObject*) {
        // The tool or the editor may go while the dialog shows.
        TCallOut held{this, band()};
        if (band() && EditChartBrush(this, band()->Brush()) && held.Live()) band()->Repaint();
    };
    BGradient->OnClick = [this, band](TObject*) {
        TCallOut held{this, band()};
        if (band() && EditTeeGradient(this, band()->Gradient()) && held.Live()) band()->Repaint();
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TColorBandToolEditor::FormShow(TObject* Sender) {
    TAxisToolEditor::FormShow(Sender);
    auto* t = ToolOf<TColorBandTool>(FTool);
    if (!t) return;
    FBind.Load();
    ButtonColor1->LinkProperty(t, "Color");
}

// ---------------------------------------------------------------------------
// TColorLineToolEditor

TColorLineToolEditor::TColorLineToolEditor(TComponent* AOwner) : TAxisToolEditor(AOwner) {
    SetClientWidth(260);
    SetClientHeight(190);
    PageControl1 = TeeNew<TPageControl>(this, this, "PageControl1", 0, 64, 260, 126);
    PageControl1->SetAlign(alBottom);
    TabValue = TeeNewTab(PageControl1, "TabValue", "Value");
    TabOptions = TeeNewTab(PageControl1, "TabOptions", "Options");
    CBStyle = TeeNewCombo(this, TabValue, "CBStyle", 60, 8, 120,
                          {"Custom", "Axis Maximum", "Axis Center", "Axis Minimum"});
    TeeNewLabel(this, TabValue, "&Style:", 8, 12, CBStyle);
    EValue = TeeNewNumber(this, TabValue, "EValue", 60, 36, 120);
    TeeNewLabel(this, TabValue, "&Value: ", 8, 40, EValue);
    CBAllowDrag = TeeNewCheck(this, TabOptions, "CBAllowDrag", "Allow &Drag", 8, 6, 110);
    CBDragRepaint = TeeNewCheck(this, TabOptions, "CBDragRepaint", "Drag &Repaint", 8, 28, 110);
    CBNoLimitDrag = TeeNewCheck(this, TabOptions, "CBNoLimitDrag", "No &Limit Drag", 8, 50, 110);
    CBDrawBehind = TeeNewCheck(this, TabOptions, "CBDrawBehind", "Dra&w Behind", 128, 6, 110);
    CBDraw3D = TeeNewCheck(this, TabOptions, "CBDraw3D", "Draw &3D", 128, 28, 110);
    CBDraw3D->SetChecked(true);
    PageControl1->SetActivePage(TabValue);

    auto line = [this] { return ToolOf<TColorLineTool>(FTool); };
    FBind.Text(
        EValue, [line] { return line() ? FloatToStr(line()->Value()) : AnsiString("0"); },
        [line](const AnsiString& T) {
            if (line()) line()->SetValue(StrToFloatDef(T.Trim(), line()->Value()));
        });
    FBind.Index(
        CBStyle, [line] { return line() ? static_cast<int>(line()->Style()) : 0; },
        [this, line](int I) {
            if (!line()) return;
            line()->SetStyle(static_cast<TColorLineStyle>(I));
            EValue->SetEnabled(I == 0);
        });
    auto check = [this, line](TCheckBox* C, bool (TColorLineTool::*Get)() const,
                              void (TColorLineTool::*Set)(bool)) {
        FBind.Check(
            C, [line, Get] { return line() && (line()->*Get)(); },
            [line, Set](bool V) {
                if (!line()) return;
                (line()->*Set)(V);
                line()->Repaint();
            });
    };
    check(CBAllowDrag, &TColorLineTool::AllowDrag, &TColorLineTool::SetAllowDrag);
    check(CBDragRepaint, &TColorLineTool::DragRepaint, &TColorLineTool::SetDragRepaint);
    check(CBNoLimitDrag, &TColorLineTool::NoLimitDrag, &TColorLineTool::SetNoLimitDrag);
    check(CBDrawBehind, &TColorLineTool::DrawBehind, &TColorLineTool::SetDrawBehind);
    check(CBDraw3D, &TColorLineTool::Draw3D, &TColorLineTool::SetDraw3D);
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TColorLineToolEditor::FormShow(TObject* Sender) {
    TAxisToolEditor::FormShow(Sender);
    if (auto* t = ToolOf<TColorLineTool>(FTool)) {
        FBind.Load();
        EValue->SetEnabled(t->Style() == clCustom);
    }
}

// ---------------------------------------------------------------------------
// TAxisArrowToolEditor

TAxisArrowToolEditor::TAxisArrowToolEditor(TComponent* AOwner) : TAxisToolEditor(AOwner) {
    SetClientWidth(260);
    SetClientHeight(170);
    BPen->SetBounds(8, 36, 80, 25);
    Button1 = TeeNewButton(this, this, "Button1", "&Pattern...", 96, 36, 80);
    UDLength = TeeNewUpDown(this, this, "ELength", "UDLength", 80, 70, 40, 0, 1000, &ELength);
    TeeNewLabel(this, this, "&Length:", 8, 74, ELength);
    CBPos = TeeNewCombo(this, this, "CBPos", 80, 96, 90, {"Start", "End", "Both"});
    TeeNewLabel(this, this, "P&osition:", 8, 100, CBPos);
    UDScroll = TeeNewUpDown(this, this, "Edit1", "UDScroll", 80, 122, 40, 1, 100, &Edit1);
    UDScroll->SetPosition(10);
    TeeNewLabel(this, this, "&Scroll:", 8, 126, Edit1);
    TeeNewLabel(this, this, "%", 140, 126);
    CBInv = TeeNewCheck(this, this, "CBInv", "&Inverted Scroll", 8, 148, 140);

    auto arrow = [this] { return ToolOf<TAxisArrowTool>(FTool); };
    Button1->OnClick = [this, arrow](TObject*) {
        TCallOut held{this, arrow()};
        if (arrow() && EditChartBrush(this, arrow()->Brush()) && held.Live()) arrow()->Repaint();
    };
    ELength->OnChange = [this, arrow](TObject*) {
        if (arrow()) arrow()->SetLength(UDLength->Position());
    };
    CBPos->OnChange = [this, arrow](TObject*) {
        if (arrow() && CBPos->ItemIndex() >= 0)
            arrow()->SetPosition(static_cast<TAxisArrowToolPosition>(CBPos->ItemIndex()));
    };
    Edit1->OnChange = [this, arrow](TObject*) {
        if (arrow() && Showing()) arrow()->SetScrollPercent(UDScroll->Position());
    };
    CBInv->OnClick = [this, arrow](TObject*) {
        if (arrow()) arrow()->SetScrollInverted(CBInv->Checked());
    };
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TAxisArrowToolEditor::FormShow(TObject* Sender) {
    TAxisToolEditor::FormShow(Sender);
    auto* t = ToolOf<TAxisArrowTool>(FTool);
    if (!t) return;
    UDLength->SetPosition(t->Length());
    CBPos->SetItemIndex(static_cast<int>(t->Position()));
    UDScroll->SetPosition(t->ScrollPercent());
    CBInv->SetChecked(t->ScrollInverted());
}

// ---------------------------------------------------------------------------
// TGridBandToolEdit

TGridBandToolEdit::TGridBandToolEdit(TComponent* AOwner) : TAxisToolEditor(AOwner) {
    SetClientWidth(280);
    SetClientHeight(140);
    BPen->SetVisible(false);
    auto row = [this](int Top, const char* BandName, const char* BandCaption, const char* Swatch,
                      const char* ColorName, const char* ColorCaption, const char* EditName,
                      const char* UDName, TButton*& Band, TPaintBox*& Box, TButtonColor*& Color,
                      TEdit*& Edit, TUpDown*& UD) {
        Band = TeeNewButton(this, this, BandName, BandCaption, 8, Top, 75);
        Box = TeeNew<TPaintBox>(this, this, Swatch, 88, Top, 25, 25);
        Color = TeeNewButton<TButtonColor>(this, this, ColorName, ColorCaption, 120, Top, 75);
        UD = TeeNewUpDown(this, this, EditName, UDName, 200, Top + 28, 40, 0, 100, &Edit, 5);
        TeeNewLabel(this, this, "&Transparency:", 120, Top + 32, Edit)->SetLeft(124 - 70 + 2);
    };
    row(36, "BBand1", "Band &1...", "Draw3D1", "ButtonColor1", "Ba&ck...", "Edit1", "UpDown1",
        BBand1, Draw3D1, ButtonColor1, Edit1, UpDown1);
    row(90, "BBand2", "Band &2...", "Draw3D2", "ButtonColor2", "Bac&k...", "Edit2", "UpDown2",
        BBand2, Draw3D2, ButtonColor2, Edit2, UpDown2);
    // The band buttons line up with their swatches.
    BBand1->SetTop(Draw3D1->Top());
    BBand2->SetTop(Draw3D2->Top());

    auto grid = [this] { return ToolOf<TGridBandTool>(FTool); };
    auto wire = [this, grid](int N, TButton* Band, TPaintBox* Box, TButtonColor* Color, TEdit* Edit,
                             TUpDown* UD) {
        auto brush = [grid, N]() -> TGridBandBrush* {
            return grid() ? (N == 1 ? grid()->Band1() : grid()->Band2()) : nullptr;
        };
        Box->OnPaint = [Box, brush](TObject*) { PaintBand(Box, brush()); };
        Band->OnClick = [this, Box, brush, grid](TObject*) {
            TCallOut held{this, grid(), Box};
            if (brush() && EditChartBrush(this, brush()) && held.Live()) {
                grid()->Repaint();
                Box->Invalidate();
            }
        };
        Box->OnClick = [this, Box, brush, grid](TObject*) {
            if (!brush()) return;
            TColor c = brush()->Color();
            TCallOut held{this, grid(), Box};
            if (EditColorDialog(this, c) && held.Live()) {
                brush()->SetColor(c);
                grid()->Repaint();
                Box->Invalidate();
            }
        };
        Color->OnClick = [Box](TObject*) { Box->Invalidate(); };
        Edit->OnChange = [brush, grid, UD](TObject*) {
            if (!brush()) return;
            brush()->SetTransparency(UD->Position());
            grid()->Repaint();
        };
    };
    wire(1, BBand1, Draw3D1, ButtonColor1, Edit1, UpDown1);
    wire(2, BBand2, Draw3D2, ButtonColor2, Edit2, UpDown2);
    OnShow = [this](TObject* s) { FormShow(s); };
}

void TGridBandToolEdit::FormShow(TObject* Sender) {
    TAxisToolEditor::FormShow(Sender);
    auto* t = ToolOf<TGridBandTool>(FTool);
    if (!t) return;
    ButtonColor1->LinkProperty(t->Band1(), "BackColor");
    ButtonColor2->LinkProperty(t->Band2(), "BackColor");
    UpDown1->SetPosition(t->Band1()->Transparency());
    UpDown2->SetPosition(t->Band2()->Transparency());
    Draw3D1->Invalidate();
    Draw3D2->Invalidate();
}

void TeeRegisterAxisToolEditors() {
    for (TClass c : {&TAxisToolEditor::ClassInfo, &TColorBandToolEditor::ClassInfo,
                     &TColorLineToolEditor::ClassInfo, &TAxisArrowToolEditor::ClassInfo,
                     &TGridBandToolEdit::ClassInfo})
        RegisterClass(c);
}
