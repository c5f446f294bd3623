// The free 3D drawing panel.
#include "chart/control/teedraw3d.h"
#include "platform/classes/props.h"


QM_CLASS_OWNED(TDraw3D, TCustomTeePanelExtended, TComponent)

QM_PUBLISHED(
    TDraw3D, Prop("BackImage", &Self::BackImage, &Self::SetBackImage),
    Prop("BackImageMode", &Self::BackImageMode, &Self::SetBackImageMode).Default(pbmStretch),
    Prop("Border", &Self::Border, &Self::SetBorder),
    Prop("BorderRound", &Self::BorderRound, &Self::SetBorderRound).Default(0),
    Prop("BufferedDisplay", &Self::BufferedDisplay, &Self::SetBufferedDisplay).Default(true),
    Prop("Gradient", &Self::Gradient, &Self::SetGradient),
    Prop("MarginBottom", &Self::MarginBottom, &Self::SetMarginBottom).Default(4),
    Prop("MarginLeft", &Self::MarginLeft, &Self::SetMarginLeft).Default(3),
    Prop("MarginRight", &Self::MarginRight, &Self::SetMarginRight).Default(3),
    Prop("MarginTop", &Self::MarginTop, &Self::SetMarginTop).Default(4),
    Prop("MarginUnits", &Self::MarginUnits, &Self::SetMarginUnits).Default(muPercent),
    Prop("Monochrome", &Self::Monochrome, &Self::SetMonochrome).Default(false),
    Prop("PrintProportional", &Self::PrintProportional, &Self::SetPrintProportional).Default(true),
    Prop("PrintResolution", &Self::PrintResolution, &Self::SetPrintResolution).Default(0),
    Prop("Shadow", &Self::Shadow, &Self::SetShadow),
    Prop("View3D", &Self::View3D, &Self::SetView3D).Default(true),
    Prop("View3DOptions", &Self::View3DOptions, &Self::SetView3DOptions),
    Prop("Align", &Self::Align, &Self::SetAlign).Default(alNone),
    Prop("BevelInner", &Self::BevelInner, &Self::SetBevelInner).Default(bvNone),
    Prop("BevelOuter", &Self::BevelOuter, &Self::SetBevelOuter).Default(bvRaised),
    Prop("BevelWidth", &Self::BevelWidth, &Self::SetBevelWidth).Default(1),
    Prop("Color", &Self::Color, &Self::SetColor).Default(clBtnFace).Idents("TColor"),
    Prop("OnPaint", &Self::OnPaint), Prop("OnClick", &Self::OnClick),
    Prop("OnDblClick", &Self::OnDblClick), TEE_PANEL_MOUSE_EVENTS);

namespace {
const bool Draw3DRegistered = [] {
    RegisterClass(&TDraw3D::ClassInfo);
    return true;
}();
} // namespace

TDraw3D::TDraw3D(TComponent* AOwner) : TCustomTeePanelExtended(AOwner) {
    (void)Draw3DRegistered;
}

void TDraw3D::InternalDraw(const TRect& UserRectangle) {
    PanelPaint(UserRectangle);
    ReCalcWidthHeight();
    SetWidth3D(100);
    TCanvas3D* canvas = Canvas();
    canvas->Projection(100, ChartBounds(), ChartRect());
    canvas->ResetState();
    if (OnPaint) OnPaint(this, UserRectangle);
    if (Zoom()->Active) DrawZoomRectangle();
    canvas->ResetState();
    if (OnAfterDraw) OnAfterDraw(this);
}
