// Contents:
//   helpers
//   TCursorToolEditor       style, pen, snap, follow mouse
//   TDrawLineEdit           mouse button, pen, drawing and selecting
//   TChartImageToolEditor   the picture: browse, clear, save
//   TNearestToolEdit        pen, brush, line, size, style
//   TDragMarksToolEditor    resetting the marks' positions
//   TMarksTipToolEdit       marks style, mouse action, delay
//   TSeriesAnimToolEditor   steps, start value, drawing step, running
#include "chart/editor/teetooledit_series.h"
#include "platform/classes/watched.h"

#include "chart/control/tool_cursor.h"
#include "chart/control/tool_drag.h"
#include "chart/control/tool_hints.h"
#include "chart/editor/teeediseri.h"
#include "chart/editor/teeformbuild.h"
#include "chart/editor/teependlg.h"
#include "chart/engine/teeaxispanel.h"
#include "chart/engine/teeconst.h"
#include "chart/engine/teemarks.h"
#include "chart/engine/teeseries.h"
#include "platform/classes/stringlist.h"
#include "platform/forms/dialogs.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TCursorToolEditor, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TDrawLineEdit, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TChartImageToolEditor, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TNearestToolEdit, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TDragMarksToolEditor, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TMarksTipToolEdit, TSeriesToolEditor, TComponent)
QM_CLASS_OWNED(TSeriesAnimToolEditor, TSeriesToolEditor, TComponent)

namespace {

template <typename T> T* ToolOf(TTeeCustomToolSeries* Tool) {
    return dynamic_cast<T*>(Tool);
}

void ShowWith(TSeriesToolEditor* Form, std::function<void(TObject*)> Fill) {
    Form->OnShow = [Form, Fill](TObject* Sender) {
        Form->TSeriesToolEditor::FormShow(Sender);
        Fill(Sender);
    };
}

} // namespace

// ---------------------------------------------------------------------------
// TCursorToolEditor

TCursorToolEditor::TCursorToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    CBStyle = TeeNewCombo(this, this, "CBStyle", 52, 36, 145, {"Horizontal", "Vertical", "Both"});
    TeeNewLabel(this, this, "S&tyle:", 8, 40, CBStyle);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Pen...", 52, 64, 80);
    CBSnap = TeeNewCheck(this, this, "CBSnap", "S&nap", 52, 98, 120);
    CBFollow = TeeNewCheck(this, this, "CBFollow", "&Follow mouse", 52, 120, 140);
    auto tool = [this] { return ToolOf<TCursorTool>(FTool); };
    CBStyle->OnChange = [this, tool](TObject*) {
        if (tool() && CBStyle->ItemIndex() >= 0)
            tool()->SetStyle(static_cast<TCursorToolStyle>(CBStyle->ItemIndex()));
    };
    CBSnap->OnClick = [this, tool](TObject*) {
        if (tool()) tool()->SetSnap(CBSnap->Checked());
    };
    CBFollow->OnClick = [this, tool](TObject*) {
        if (tool()) tool()->SetFollowMouse(CBFollow->Checked());
    };
    ShowWith(this, [this](TObject* s) { FormShow(s); });
}

void TCursorToolEditor::FormShow(TObject*) {
    auto* t = ToolOf<TCursorTool>(FTool);
    if (!t) return;
    CBStyle->SetItemIndex(static_cast<int>(t->Style()));
    BPen->LinkPen(t->Pen());
    CBSnap->SetChecked(t->Snap());
    CBFollow->SetChecked(t->FollowMouse());
}

// ---------------------------------------------------------------------------
// TDrawLineEdit

TDrawLineEdit::TDrawLineEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    CBButton = TeeNewCombo(this, this, "CBButton", 90, 36, 107, {"Left", "Right", "Middle"});
    TeeNewLabel(this, this, "&Mouse button:", 8, 40, CBButton);
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Pen...", 90, 64, 80);
    CBEnable = TeeNewCheck(this, this, "CBEnable", "&Enable drawing", 8, 98, 150);
    CBSelect = TeeNewCheck(this, this, "CBSelect", "E&nable Select", 8, 120, 150);
    auto tool = [this] { return ToolOf<TDrawLineTool>(FTool); };
    CBButton->OnChange = [this, tool](TObject*) {
        if (tool() && CBButton->ItemIndex() >= 0)
            tool()->SetButton(static_cast<TMouseButton>(CBButton->ItemIndex()));
    };
    CBEnable->OnClick = [this, tool](TObject*) {
        if (tool()) tool()->SetEnableDraw(CBEnable->Checked());
    };
    CBSelect->OnClick = [this, tool](TObject*) {
        if (tool()) tool()->SetEnableSelect(CBSelect->Checked());
    };
    ShowWith(this, [this](TObject* s) { FormShow(s); });
}

void TDrawLineEdit::FormShow(TObject*) {
    auto* t = ToolOf<TDrawLineTool>(FTool);
    if (!t) return;
    CBButton->SetItemIndex(static_cast<int>(t->Button()));
    BPen->LinkPen(t->Pen());
    CBEnable->SetChecked(t->EnableDraw());
    CBSelect->SetChecked(t->EnableSelect());
}

// ---------------------------------------------------------------------------
// TChartImageToolEditor

TChartImageToolEditor::TChartImageToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    GroupBox1 = TeeNew<TGroupBox>(this, this, "GroupBox1", 8, 36, 217, 128);
    GroupBox1->SetCaption("Image:");
    Image1 = TeeNew<TImage>(this, GroupBox1, "Image1", 8, 18, 110, 100);
    Image1->SetStretch(true);
    Button1 = TeeNewButton(this, GroupBox1, "Button1", TeeMsg_BrowseImage, 126, 18, 83);
    BSave = TeeNewButton(this, GroupBox1, "BSave", "&Save...", 126, 50, 83);
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
    BSave->OnClick = [this](TObject* s) { BSaveClick(s); };
    ShowWith(this, [this](TObject* s) { FormShow(s); });
}

void TChartImageToolEditor::ShowPicture() {
    auto* t = ToolOf<TChartImageTool>(FTool);
    const bool has = t && t->Picture()->Graphic() && !t->Picture()->Graphic()->Empty();
    if (has)
        Image1->Picture()->Assign(t->Picture());
    else
        Image1->Picture()->SetGraphic(nullptr);
    Button1->SetCaption(has ? TeeMsg_ClearImage : TeeMsg_BrowseImage);
    BSave->SetEnabled(has);
}

void TChartImageToolEditor::FormShow(TObject*) {
    ShowPicture();
}

void TChartImageToolEditor::Button1Click(TObject*) {
    auto* t = ToolOf<TChartImageTool>(FTool);
    if (!t) return;
    if (t->Picture()->Graphic() && !t->Picture()->Graphic()->Empty()) {
        t->Picture()->SetGraphic(nullptr);
    } else {
        TOpenPictureDialog dlg(this);
        dlg.SetFilter(TPicture::GraphicFilter());
        // The tool or the editor may go while the dialog shows.
        TCallOut held{this, t};
        if (!dlg.Execute() || held.Gone()) return;
        // A picture file is the user's: a bad one is reported and changes nothing.
        TPicture loaded;
        const bool ok = TeeLoadPictureFile(loaded, dlg.FileName());
        if (held.Gone() || !ok) return;
        t = ToolOf<TChartImageTool>(FTool);
        if (!t) return;
        t->Picture()->Assign(&loaded);
    }
    t->Repaint();
    ShowPicture();
}

void TChartImageToolEditor::BSaveClick(TObject*) {
    auto* t = ToolOf<TChartImageTool>(FTool);
    if (!t || !t->Picture()->Graphic()) return;
    // The picture's own format is offered, and a bare name gets its extension.
    const TGraphic* g = t->Picture()->Graphic();
    TSavePictureDialog dlg(this);
    dlg.SetFilter(TPicture::GraphicFilter(g));
    dlg.SetFilterIndex(1);
    dlg.SetDefaultExt(TPicture::GraphicExtension(g));
    TCallOut held{this, t};
    if (!dlg.Execute() || held.Gone()) return;
    try {
        t->Picture()->SaveToFile(dlg.FileName());
    } catch (const Exception& e) {
        MessageDlg(e.Message, mtError, {mbOK});
    }
}

// ---------------------------------------------------------------------------
// TNearestToolEdit

TNearestToolEdit::TNearestToolEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    BPen = TeeNewButton<TButtonPen>(this, this, "BPen", "&Pen...", 52, 36, 75);
    Button1 = TeeNewButton(this, this, "Button1", "&Brush...", 132, 36, 75);
    CBDrawLine = TeeNewCheck(this, this, "CBDrawLine", "&Draw Line", 52, 68, 120);
    UDSize = TeeNewUpDown(this, this, "Edit1", "UDSize", 52, 92, 40, 0, 200, &Edit1);
    TeeNewLabel(this, this, "S&ize:", 8, 96, Edit1);
    CBStyle = TeeNewCombo(this, this, "CBStyle", 52, 120, 120,
                          {"None", "Circle", "Rectangle", "Diamond"});
    TeeNewLabel(this, this, "S&tyle:", 8, 124, CBStyle);
    auto tool = [this] { return ToolOf<TNearestTool>(FTool); };
    Button1->OnClick = [this, tool](TObject*) {
        // The tool or the editor may go while the dialog shows.
        TCallOut held{this, tool()};
        if (tool() && EditChartBrush(this, tool()->Brush()) && held.Live()) tool()->Repaint();
    };
    CBDrawLine->OnClick = [this, tool](TObject*) {
        if (tool()) tool()->SetDrawLine(CBDrawLine->Checked());
    };
    Edit1->OnChange = [this, tool](TObject*) {
        if (tool()) tool()->SetSize(UDSize->Position());
    };
    CBStyle->OnChange = [this, tool](TObject*) {
        if (tool() && CBStyle->ItemIndex() >= 0)
            tool()->SetStyle(static_cast<TNearestToolStyle>(CBStyle->ItemIndex()));
    };
    ShowWith(this, [this](TObject* s) { FormShow(s); });
}

void TNearestToolEdit::FormShow(TObject*) {
    auto* t = ToolOf<TNearestTool>(FTool);
    if (!t) return;
    BPen->LinkPen(t->Pen());
    CBDrawLine->SetChecked(t->DrawLine());
    UDSize->SetPosition(t->Size());
    CBStyle->SetItemIndex(static_cast<int>(t->Style()));
}

// ---------------------------------------------------------------------------
// TDragMarksToolEditor

TDragMarksToolEditor::TDragMarksToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    Button1 = TeeNewButton(this, this, "Button1", "&Reset positions", 52, 40, 110);
    Button1->OnClick = [this](TObject* s) { Button1Click(s); };
}

void TDragMarksToolEditor::Button1Click(TObject*) {
    if (!FTool) return;
    if (FTool->Series()) {
        FTool->Series()->Marks()->ResetPositions();
    } else if (TCustomAxisPanel* chart = FTool->ParentChart()) {
        for (int i = 0; i < chart->SeriesCount(); ++i)
            chart->Series(i)->Marks()->ResetPositions();
    }
}

// ---------------------------------------------------------------------------
// TMarksTipToolEdit

TMarksTipToolEdit::TMarksTipToolEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    CBMarkStyle = TeeNewCombo(this, this, "CBMarkStyle", 52, 36, 145, {});
    {
        // The series page holds the names of the marks styles.
        TFormTeeSeries styles(nullptr);
        CBMarkStyle->Items()->Assign(styles.RGMarkStyle->Items());
    }
    TeeNewLabel(this, this, "S&tyle:", 8, 40, CBMarkStyle);
    RGMouseAction = TeeNewRadio(this, this, "RGMouseAction", "Mouse action:", 52, 64, 145, 40,
                                {"Move", "Click"});
    RGMouseAction->SetColumns(2);
    UDDelay = TeeNewUpDown(this, this, "EDelay", "UDDelay", 52, 114, 50, 0, 30000, &EDelay, 50);
    TeeNewLabel(this, this, "&Delay:", 8, 118, EDelay);
    TeeNewLabel(this, this, "msec.", 122, 118);
    auto tool = [this] { return ToolOf<TMarksTipTool>(FTool); };
    CBMarkStyle->OnChange = [this, tool](TObject*) {
        if (tool() && CBMarkStyle->ItemIndex() >= 0)
            tool()->SetStyle(static_cast<TSeriesMarksStyle>(CBMarkStyle->ItemIndex()));
    };
    RGMouseAction->OnClick = [this, tool](TObject*) {
        if (tool() && RGMouseAction->ItemIndex() >= 0 && !FFilling)
            tool()->SetMouseAction(static_cast<TMarkToolMouseAction>(RGMouseAction->ItemIndex()));
    };
    EDelay->OnChange = [this, tool](TObject*) {
        if (tool() && !FFilling) tool()->SetMouseDelay(UDDelay->Position());
    };
    ShowWith(this, [this](TObject* s) { FormShow(s); });
}

TMarksTipToolEdit::~TMarksTipToolEdit() = default;

void TMarksTipToolEdit::FormShow(TObject*) {
    auto* t = ToolOf<TMarksTipTool>(FTool);
    if (CBSeries->Items()->Count() > 0) {
        CBSeries->Items()->SetStrings(0, TeeMsg_All);
        if (t && !t->Series()) CBSeries->SetItemIndex(0);
    }
    if (!t) return;
    FFilling = true;
    CBMarkStyle->SetItemIndex(static_cast<int>(t->Style()));
    RGMouseAction->SetItemIndex(static_cast<int>(t->MouseAction()));
    UDDelay->SetPosition(t->GetMouseDelay());
    FFilling = false;
}

// ---------------------------------------------------------------------------
// TSeriesAnimToolEditor

TSeriesAnimToolEditor::TSeriesAnimToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
    SetClientHeight(190);
    SBSteps = TeeNew<TTrackBar>(this, this, "SBSteps", 52, 36, 130, 24);
    SBSteps->SetMin(1);
    SBSteps->SetMax(1000);
    TeeNewLabel(this, this, "S&teps:", 8, 40, SBSteps);
    Label3 = TeeNewLabel(this, this, "", 188, 40);
    CBStartMin = TeeNewCheck(this, this, "CBStartMin", "St&art at Min. value", 8, 68, 160);
    EStart = TeeNewNumber(this, this, "EStart", 80, 90, 80);
    TeeNewLabel(this, this, "Start &Value:", 8, 94, EStart);
    UpDown1 = TeeNewUpDown(this, this, "Edit1", "UpDown1", 80, 116, 40, 0, 1000, &Edit1);
    TeeNewLabel(this, this, "&Draw every:", 8, 120, Edit1);
    Button1 = TeeNewButton(this, this, "Button1", "&Execute !", 8, 150, 90);
    auto tool = [this] { return ToolOf<TSeriesAnimationTool>(FTool); };
    SBSteps->OnChange = [this, tool](TObject*) {
        Label3->SetCaption(IntToStr(SBSteps->Position()));
        if (tool() && !FBind.Loading()) tool()->SetSteps(SBSteps->Position());
    };
    FBind.Check(
        CBStartMin, [tool] { return tool() && tool()->StartAtMin(); },
        [this, tool](bool V) {
            EStart->SetEnabled(!V);
            if (tool()) tool()->SetStartAtMin(V);
        });
    FBind.Text(
        EStart, [tool] { return tool() ? FloatToStr(tool()->StartValue()) : AnsiString("0"); },
        [tool](const AnsiString& T) {
            if (tool()) tool()->SetStartValue(StrToFloatDef(T.Trim(), tool()->StartValue()));
        });
    FBind.UpDown(
        UpDown1, [tool] { return tool() ? tool()->DrawEvery() : 0; },
        [this, tool](int V) {
            if (tool() && Showing()) tool()->SetDrawEvery(V);
        });
    Button1->OnClick = [this, tool](TObject*) {
        TSeriesAnimationTool* t = tool();
        if (!t) return;
        // The run lets messages through: the tool, and this form with it, may go.
        const TWatched<TButton> button(Button1);
        button->SetEnabled(false);
        struct Again {
            const TWatched<TButton>& B;
            ~Again() {
                if (B) B->SetEnabled(true);
            }
        } again{button};
        t->Execute();
    };
    CBSeries->OnChange = [this](TObject* s) {
        CBSeriesChange(s);
        Button1->SetEnabled(FTool && FTool->Series());
    };
    ShowWith(this, [this](TObject* s) { FormShow(s); });
}

void TSeriesAnimToolEditor::FormShow(TObject*) {
    auto* t = ToolOf<TSeriesAnimationTool>(FTool);
    if (!t) return;
    FBind.Load();
    auto guard = FBind.Guard();
    SBSteps->SetPosition(t->Steps());
    Label3->SetCaption(IntToStr(t->Steps()));
    EStart->SetEnabled(!t->StartAtMin());
    Button1->SetEnabled(t->Series() != nullptr);
}

void TeeRegisterSeriesToolEditorForms() {
    for (TClass c : {&TCursorToolEditor::ClassInfo, &TDrawLineEdit::ClassInfo,
                     &TChartImageToolEditor::ClassInfo, &TNearestToolEdit::ClassInfo,
                     &TDragMarksToolEditor::ClassInfo, &TMarksTipToolEdit::ClassInfo,
                     &TSeriesAnimToolEditor::ClassInfo})
        RegisterClass(c);
}
