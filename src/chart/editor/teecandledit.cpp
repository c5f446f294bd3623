#include "chart/editor/teecandledit.h"
#include "platform/classes/watched.h"

#include "chart/series/candlech.h"
#include "platform/rtl/floatformat.h"
#include "platform/rtl/sysutils.h"

QM_CLASS_OWNED(TCandleEditor, TTeeSeriesPage, TComponent)
QM_CLASS_OWNED(TVolumeSeriesEditor, TPenDialog, TComponent)

// ---------------------------------------------------------------------------
// TCandleEditor

TCandleEditor::TCandleEditor(TComponent* AOwner) : TTeeSeriesPage(AOwner) {
    SetClientWidth(320);
    SetClientHeight(140);
    RGStyle = TeeNewRadio(this, this, "RGStyle", "Style:", 8, 4, 100, 104,
                          {"&Stick", "&Bar", "Open Close", "&Line"});
    BUpColor = TeeNewButton<TButtonColor>(this, this, "BUpColor", "&Up Close...", 118, 8, 100);
    BDownColor =
        TeeNewButton<TButtonColor>(this, this, "BDownColor", "&Down Close...", 118, 38, 100);
    Button1 = TeeNewButton<TButtonPen>(this, this, "Button1", "Bo&rder...", 118, 68, 100);
    UDWidth = TeeNewUpDown(this, this, "SEWidth", "UDWidth", 92, 114, 40, 1, 1000, &SEWidth);
    TeeNewLabel(this, this, "Candle &Width:", 8, 118, SEWidth);
    CBShowOpen = TeeNewCheck(this, this, "CBShowOpen", "Show &Open", 228, 12, 90);
    CBShowClose = TeeNewCheck(this, this, "CBShowClose", "Show &Close", 228, 34, 90);
    CBDraw3D = TeeNewCheck(this, this, "CBDraw3D", "Draw &3D", 228, 72, 90);
    CBDark3D = TeeNewCheck(this, this, "CBDark3D", "Dar&k 3D", 228, 94, 90);
    auto candle = [this] { return dynamic_cast<TCandleSeries*>(FSeries.Get()); };
    OnIndex(RGStyle, [this, candle](int I) {
        candle()->SetCandleStyle(static_cast<TCandleStyle>(I));
        EnableStyleControls();
    });
    OnUpDown(UDWidth, [candle](int V) { candle()->SetCandleWidth(V); });
    OnCheck(CBShowOpen, [candle](bool V) { candle()->SetShowOpenTick(V); });
    OnCheck(CBShowClose, [candle](bool V) { candle()->SetShowCloseTick(V); });
    OnCheck(CBDraw3D, [candle](bool V) { candle()->SetCandleDraw3D(V); });
    OnCheck(CBDark3D, [candle](bool V) { candle()->SetCandleDark3D(V); });
}

void TCandleEditor::ShowSeries() {
    auto* s = dynamic_cast<TCandleSeries*>(FSeries.Get());
    if (!s) return;
    RGStyle->SetItemIndex(s->CandleStyle());
    UDWidth->SetPosition(s->CandleWidth());
    CBShowOpen->SetChecked(s->ShowOpenTick());
    CBShowClose->SetChecked(s->ShowCloseTick());
    CBDraw3D->SetChecked(s->CandleDraw3D());
    CBDark3D->SetChecked(s->CandleDark3D());
    Button1->LinkPen(s->CandlePen());
    BUpColor->LinkProperty(s, "UpCloseColor");
    BDownColor->LinkProperty(s, "DownCloseColor");
    EnableStyleControls();
}

void TCandleEditor::EnableStyleControls() {
    auto* s = dynamic_cast<TCandleSeries*>(FSeries.Get());
    if (!s) return;
    const TCandleStyle style = s->CandleStyle();
    CBShowOpen->SetEnabled(style == csCandleBar);
    CBShowClose->SetEnabled(style == csCandleBar);
    CBDraw3D->SetEnabled(style != csLine && style != csCandleBar);
    CBDark3D->SetEnabled(style != csLine && style != csCandleBar);
    SEWidth->SetEnabled(style != csLine);
    UDWidth->SetEnabled(style != csLine);
    // Lines and bars are drawn in the up and down colours, not the pen's.
    Button1->SetHideColor(style == csLine || style == csCandleBar);
}

// ---------------------------------------------------------------------------
// TVolumeSeriesEditor

TVolumeSeriesEditor::TVolumeSeriesEditor(TComponent* AOwner) : TPenDialog(AOwner) {
    SetAlign(alClient);
    SetClientHeight(170);
    // A page writes at once: there is nothing to confirm or take back.
    BOk->Hide();
    BCancel->Hide();
    CBColorEach = TeeNewCheck(this, this, "CBColorEach", "Color &Each", 8, 102, 110);
    CBUseOrigin = TeeNewCheck(this, this, "CBUseOrigin", "&Use Origin", 8, 126, 100);
    EOrigin = TeeNewNumber(this, this, "EOrigin", 160, 124, 70);
    EOrigin->SetText("0");
    EOrigin->SetEnabled(false);
    TeeNewLabel(this, this, "&Origin:", 116, 128, EOrigin);
    auto penColour = BColor->OnClick;
    BColor->OnClick = [this, penColour](TObject* s) {
        // The colour dialog it opens may outlive this editor.
        TCallOut held{this};
        if (penColour) penColour(s);
        if (held.Gone()) return;
        if (FVolume && !FBind.Loading()) FVolume->SetSeriesColor(FVolume->Pen()->Color());
    };
    FBind.Check(
        CBColorEach, [this] { return FVolume->ColorEachPoint(); },
        [this](bool V) {
            BColor->SetEnabled(!V);
            FVolume->SetColorEachPoint(V);
        });
    auto volume = [this] { return dynamic_cast<TVolumeSeries*>(FVolume.Get()); };
    FBind.Check(
        CBUseOrigin, [volume] { return volume() && volume()->UseYOrigin(); },
        [this, volume](bool V) {
            EOrigin->SetEnabled(V);
            if (volume()) volume()->SetUseYOrigin(V);
        });
    // Text that is not a number keeps the origin.
    FBind.Text(
        EOrigin, [volume] { return volume() ? FloatToStr(volume()->YOrigin()) : AnsiString("0"); },
        [volume](const AnsiString& T) {
            double value;
            if (volume() && TryStrToFloat(Trim(T), value)) volume()->SetYOrigin(value);
        });
    OnShow = [this](TObject* s) { VolumeShow(s); };
}

void TVolumeSeriesEditor::VolumeShow(TObject* Sender) {
    FVolume = SubjectAs<TChartSeries>();
    if (!FVolume) return;
    FBind.Load();
    auto guard = FBind.Guard();
    ThePen = FVolume->Pen();
    FormShow(Sender);
    CBColorEach->SetTop(102);
    BColor->SetEnabled(!FVolume->ColorEachPoint());
    EOrigin->SetEnabled(CBUseOrigin->Checked());
}
