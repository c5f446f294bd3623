#pragma once
// A chart panel without axes or series: it paints its background and hands its
// 3D canvas to OnPaint.
#include "chart/engine/teepanel.h"
#include <functional>

class TDraw3D;
using TDraw3DPaintEvent = std::function<void(TDraw3D* Sender, const TRect& ARect)>;

class TDraw3D : public TCustomTeePanelExtended {
    QM_CLASS(TDraw3D)
public:
    explicit TDraw3D(TComponent* AOwner);
    void InternalDraw(const TRect& UserRectangle) override;

    TDraw3DPaintEvent OnPaint;
};
