#include "platform/forms/windowshape.h"
#include "platform/forms/formsqt.h"
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>

namespace {
// The rows of a rounded rectangle as the platform's region of one: each row
// inset by where the corner ellipse crosses its middle.
QRegion RoundRegion(int W, int H, int Round) {
    const double rx = std::min(Round, W) / 2.0;
    const double ry = std::min(Round, H) / 2.0;
    QRegion region;
    int runStart = 0;
    int runInset = -1;
    auto flush = [&](int End) {
        if (runInset >= 0 && End > runStart && W - 2 * runInset > 0)
            region += QRect(runInset, runStart, W - 2 * runInset, End - runStart);
    };
    for (int y = 0; y < H; ++y) {
        const double cy = y + 0.5;
        const double dy = cy < ry ? ry - cy : (cy > H - ry ? cy - (H - ry) : 0.0);
        int inset = 0;
        if (dy > 0 && ry > 0) {
            const double t = std::clamp(dy / ry, 0.0, 1.0);
            inset = static_cast<int>(std::lround(rx - rx * std::sqrt(1.0 - t * t)));
        }
        if (inset != runInset) {
            flush(y);
            runStart = y;
            runInset = inset;
        }
    }
    flush(H);
    return region;
}

// Paints the control's back buffer with the key colour left out; the widget is
// no longer opaque, so the parent's picture stays below those pixels.
class TSeeThroughPainter : public QObject {
public:
    TSeeThroughPainter(TControl* Control, QObject* Parent) : QObject(Parent), FControl(Control) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        if (Event->type() != QEvent::Paint) return false;
        auto* w = static_cast<QWidget*>(Watched);
        const QImage& buffer = RenderBackBuffer(FControl);
        QImage face = buffer.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = ToQColor(clSeeThroughKey).rgb() & 0xFFFFFF;
        for (int y = 0; y < face.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(face.scanLine(y));
            for (int x = 0; x < face.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
        }
        QPainter painter(w);
        painter.drawImage(0, 0, face);
        return true;
    }

private:
    TControl* FControl;
};

QWidget* PaintedWidget(const TControl* Control) {
    QWidget* client = Control->Impl()->Client;
    return client ? client : Control->Widget();
}

TSeeThroughPainter* FindPainter(QWidget* W) {
    for (QObject* child : W->children())
        if (auto* p = dynamic_cast<TSeeThroughPainter*>(child)) return p;
    return nullptr;
}
} // namespace

void SetControlRoundRegion(TControl* Control, int Round) {
    QWidget* w = Control ? Control->Widget() : nullptr;
    if (!w) return;
    const int width = Control->Width();
    const int height = Control->Height();
    if (Round < 1 || width < 1 || height < 1)
        w->clearMask();
    else
        w->setMask(RoundRegion(width, height, Round));
    w->update();
}

void SetControlSeeThrough(TControl* Control, bool Value) {
    if (!Control || ControlSeeThrough(Control) == Value) return;
    QWidget* painted = PaintedWidget(Control);
    for (QWidget* w : {Control->Widget(), painted}) {
        w->setAttribute(Qt::WA_OpaquePaintEvent, !Value);
        w->setAttribute(Qt::WA_NoSystemBackground, !Value);
    }
    if (Value) {
        auto* painter = new TSeeThroughPainter(Control, painted);
        painted->installEventFilter(painter);
    } else {
        delete FindPainter(painted);
    }
    Control->Invalidate();
}

bool ControlSeeThrough(const TControl* Control) {
    return Control && FindPainter(PaintedWidget(Control)) != nullptr;
}
