// TMetafile and TMetafileCanvas:
//   the recorder: canvas calls turned into metafile operations;
//   TMetafile: size, files, drawing (a picture when drawn into a metafile);
//   playback: operations drawn into any canvas rectangle;
//   TMetafileCanvas and RecordInto: recording from any canvas.
#include "platform/graphics/metafileops.h"
#include "platform/graphics/qtbridge.h"
#include "platform/graphics/raster.h"
#include <cmath>
#include <cstring>
#include <map>

QM_CLASS_PLAIN(TMetafile, TGraphic)
QM_CLASS_ABSTRACT(TMetafileCanvas, TCanvas)

TMetaState TMetaState::From(const TDCState& S) {
    TMetaState m;
    m.Pen = S.Pen;
    if (S.DCPen) m.Pen.Color = S.DCPenColor;
    m.Brush = S.Brush;
    if (S.DCBrush) m.Brush.Color = S.DCBrushColor;
    m.Font = S.Font;
    m.TextColor = S.TextColor;
    m.BkColor = S.BkColor;
    m.BkMode = S.BkMode;
    m.TextAlign = S.TextAlign;
    m.CharExtra = S.CharExtra;
    m.Rop2 = S.Rop2;
    m.FillMode = S.FillMode;
    m.ArcDirection = S.ArcDirection;
    m.StretchMode = S.StretchMode;
    m.MapMode = S.MapMode;
    m.WindowOrg = S.WindowOrg;
    m.ViewportOrg = S.ViewportOrg;
    m.WindowExt = S.WindowExt;
    m.ViewportExt = S.ViewportExt;
    return m;
}

bool TMetaState::SameBrush(const TMetaState& o) const {
    if (Brush.Style != o.Brush.Style || Brush.Hatch != o.Brush.Hatch ||
        Brush.Color != o.Brush.Color)
        return false;
    if (Brush.Pattern == o.Brush.Pattern) return true;
    // Each brush change takes a new snapshot of the same pattern: files would
    // hold its pixels again for every shape.
    if (!Brush.Pattern || !o.Brush.Pattern) return false;
    return *BitmapImage(const_cast<TBitmap*>(Brush.Pattern.get())) ==
           *BitmapImage(const_cast<TBitmap*>(o.Brush.Pattern.get()));
}

bool TMetaState::SameFont(const TMetaState& o) const {
    return std::memcmp(&Font, &o.Font, sizeof(LOGFONT)) == 0;
}

bool TMetaState::SameMapping(const TMetaState& o) const {
    return MapMode == o.MapMode && WindowOrg == o.WindowOrg && ViewportOrg == o.ViewportOrg &&
           WindowExt == o.WindowExt && ViewportExt == o.ViewportExt;
}

namespace {

bool SameState(const TMetaState& a, const TMetaState& b) {
    return a.Pen == b.Pen && a.SameBrush(b) && a.SameFont(b) && a.TextColor == b.TextColor &&
           a.BkColor == b.BkColor && a.BkMode == b.BkMode && a.TextAlign == b.TextAlign &&
           a.CharExtra == b.CharExtra && a.Rop2 == b.Rop2 && a.FillMode == b.FillMode &&
           a.ArcDirection == b.ArcDirection && a.StretchMode == b.StretchMode && a.SameMapping(b);
}

} // namespace

// --- the recorder -----------------------------------------------------------------

class TMetaRecorder : public TCanvasRecorder {
public:
    explicit TMetaRecorder(TCanvasPrivate* D) : FD(D) {}
    TMetaOps Ops;

    void StateChanged(const TDCState& S) override {
        TMetaState m = TMetaState::From(S);
        if (FHasState && SameState(m, FLast)) return;
        auto op = New(TMetaKind::State);
        op->State = m;
        FLast = m;
        FHasState = true;
    }
    void MoveTo(int X, int Y) override { New(TMetaKind::MoveTo)->P = {{X, Y}}; }
    void LineTo(int X, int Y) override { New(TMetaKind::LineTo)->P = {{X, Y}}; }
    void Polyline(const TPoint* P, int N) override { New(TMetaKind::Polyline)->P.assign(P, P + N); }
    void Polygon(const TPoint* P, int N) override { New(TMetaKind::Polygon)->P.assign(P, P + N); }
    void PolyPolygon(const TPoint* P, const int* Counts, int Polys) override {
        auto op = New(TMetaKind::PolyPolygon);
        op->Counts.assign(Counts, Counts + Polys);
        int total = 0;
        for (int c : op->Counts)
            total += c;
        op->P.assign(P, P + total);
    }
    void PolyBezier(const TPoint* P, int N, bool To) override {
        New(To ? TMetaKind::PolyBezierTo : TMetaKind::PolyBezier)->P.assign(P, P + N);
    }
    void Rectangle(int X1, int Y1, int X2, int Y2) override {
        New(TMetaKind::Rectangle)->I = {X1, Y1, X2, Y2};
    }
    void RoundRect(int X1, int Y1, int X2, int Y2, int W, int H) override {
        New(TMetaKind::RoundRect)->I = {X1, Y1, X2, Y2, W, H};
    }
    void Ellipse(int X1, int Y1, int X2, int Y2) override {
        New(TMetaKind::Ellipse)->I = {X1, Y1, X2, Y2};
    }
    void ArcShape(int Kind, int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4,
                  int Y4) override {
        static constexpr TMetaKind kinds[4] = {TMetaKind::Arc, TMetaKind::ArcTo, TMetaKind::Pie,
                                               TMetaKind::Chord};
        New(kinds[Kind & 3])->I = {X1, Y1, X2, Y2, X3, Y3, X4, Y4};
    }
    void Text(int X, int Y, UINT Options, const TRect* R, const AnsiString& Text,
              const std::vector<int>& Dx) override {
        auto op = New(TMetaKind::Text);
        op->P = {{X, Y}};
        op->Options = Options;
        if (R) {
            op->HasRect = true;
            op->R = *R;
        }
        op->Text = Text;
        op->Dx = Dx;
        if (op->Dx.empty() && Text.Length() > 0) {
            // Every character's advance goes into the file, so any reader
            // places the text as it was laid out here.
            const TTextLayout L = LayoutText(*FD, Text.c_str(), Text.Length(), nullptr);
            const double sx = FD->ScaleX() == 0 ? 1 : std::fabs(FD->ScaleX());
            int prev = 0;
            for (size_t i = 0; i < L.Positions.size(); ++i) {
                const int next = i + 1 < L.Positions.size() ? int(L.Positions[i + 1].x()) : L.Width;
                op->Dx.push_back(int(std::lround((next - prev) / sx)));
                prev = next;
            }
        }
    }
    void FillRect(const TRect& R, const TBrushData& Brush) override {
        auto op = New(TMetaKind::FillRect);
        op->R = R;
        op->Brush = Brush;
    }
    void SetPixel(int X, int Y, COLORREF C) override {
        auto op = New(TMetaKind::Pixel);
        op->P = {{X, Y}};
        op->I = {int(C)};
    }
    void Image(const TRect& Dest, const QImage& Img, const QRect& Source, DWORD Rop) override {
        auto op = New(TMetaKind::Image);
        op->R = Dest;
        op->Image = Img.copy(Source.normalized())
                        .convertToFormat(Img.hasAlphaChannel() ? QImage::Format_ARGB32
                                                               : QImage::Format_RGB32);
        op->Rop = Rop;
    }
    void PatBlt(const TRect& R, DWORD Rop) override {
        auto op = New(TMetaKind::PatBlt);
        op->R = R;
        op->Rop = Rop;
    }
    void PathCall(int Which) override { New(TMetaKind::Path)->I = {Which}; }
    void SelectClipPath(int Mode) override { New(TMetaKind::SelectClipPath)->Mode = Mode; }
    void ClipRegion(const QRegion* R, int Mode) override {
        auto op = New(TMetaKind::ClipRegion);
        op->Mode = Mode;
        if (R) {
            op->HasRegion = true;
            op->Region = *R;
        }
    }
    void IntersectClipRect(int L, int T, int R, int B) override {
        New(TMetaKind::IntersectClip)->I = {L, T, R, B};
    }
    void ExcludeClipRect(int L, int T, int R, int B) override {
        New(TMetaKind::ExcludeClip)->I = {L, T, R, B};
    }
    void SaveDC() override { New(TMetaKind::SaveDC); }
    void RestoreDC(int Saved) override {
        New(TMetaKind::RestoreDC)->I = {Saved};
        FHasState = false; // the restored state is written again before the next call
    }

private:
    TMetaOp* New(TMetaKind k) {
        auto op = std::make_shared<TMetaOp>();
        op->Kind = k;
        TMetaOp* raw = op.get();
        Ops.push_back(std::move(op));
        return raw;
    }
    TCanvasPrivate* FD;
    TMetaState FLast;
    bool FHasState = false;
};

// --- TMetafile -------------------------------------------------------------------

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

void TMetafile::Assign(TPersistent* Source) {
    if (auto* m = dynamic_cast<TMetafile*>(Source)) {
        if (m == this) return;
        FOps = m->FOps; // operations are shared, never changed once recorded
        FWidth = m->FWidth;
        FHeight = m->FHeight;
        FEnhanced = m->FEnhanced;
        FInch = m->FInch;
        FCreatedBy = m->FCreatedBy;
        FDescription = m->FDescription;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        Clear();
        SetWidth(g->Width());
        SetHeight(g->Height());
        TMetafileCanvas canvas(this, nullptr);
        canvas.Draw(0, 0, g);
        return;
    }
    TGraphic::Assign(Source);
}

bool TMetafile::Empty() const {
    return FOps.empty() && FWidth == 0 && FHeight == 0;
}

void TMetafile::SetWidth(int Value) {
    FWidth = std::clamp(Value, 0, MaxMetafileSide);
    Changed();
}

void TMetafile::SetHeight(int Value) {
    FHeight = std::clamp(Value, 0, MaxMetafileSide);
    Changed();
}

int TMetafile::MMWidth() const {
    return int(std::lround(FWidth * 2540.0 / 96));
}
int TMetafile::MMHeight() const {
    return int(std::lround(FHeight * 2540.0 / 96));
}
void TMetafile::SetMMWidth(int Value) {
    SetWidth(int(std::lround(Value * 96.0 / 2540)));
}
void TMetafile::SetMMHeight(int Value) {
    SetHeight(int(std::lround(Value * 96.0 / 2540)));
}

void TMetafile::Clear() {
    FOps.clear();
    FWidth = FHeight = 0;
    Changed();
}

void TMetafile::SetCreator(const AnsiString& CreatedBy, const AnsiString& Description) {
    FCreatedBy = CreatedBy;
    FDescription = Description;
}

void TMetafile::LoadFromBytes(const std::vector<uint8_t>& Data) {
    TMetaOps ops;
    int w = 0, h = 0;
    bool enhanced = true;
    ReadMetafile(Data, ops, w, h, enhanced); // raises before anything changes
    FOps = std::move(ops);
    FWidth = w;
    FHeight = h;
    FEnhanced = enhanced;
    Changed();
}

std::vector<uint8_t> TMetafile::SaveToBytes() const {
    return FEnhanced ? SaveToEmf() : SaveToWmf();
}

std::vector<uint8_t> TMetafile::SaveToEmf() const {
    AnsiString description;
    if (!FCreatedBy.IsEmpty() || !FDescription.IsEmpty())
        description = FCreatedBy + AnsiString('\0') + FDescription + AnsiString('\0');
    return WriteEmf(FOps, std::max(1, FWidth), std::max(1, FHeight), description);
}

std::vector<uint8_t> TMetafile::SaveToWmf() const {
    return WriteWmf(FOps, std::max(1, FWidth), std::max(1, FHeight), FInch);
}

// --- playback -------------------------------------------------------------------------

namespace {

struct TPlayer {
    TCanvasPrivate& D;
    // Frame: metafile device pixels -> target device pixels.
    double FA, FB, FC, FE;
    TMetaState M;
    TPoint Pos;
    struct TSaved {
        TMetaState M;
        bool HasClip;
        QRegion Clip;
    };
    std::vector<TSaved> Saved;
    QRegion BaseClip;
    bool HasClip;
    QRegion Clip;

    QPointF Map(double x, double y) const {
        double mx, my;
        if (M.MapMode != MM_TEXT && M.WindowExt.cx && M.WindowExt.cy) {
            mx = (x - M.WindowOrg.x) * M.ViewportExt.cx / double(M.WindowExt.cx) + M.ViewportOrg.x;
            my = (y - M.WindowOrg.y) * M.ViewportExt.cy / double(M.WindowExt.cy) + M.ViewportOrg.y;
        } else {
            mx = x - double(M.WindowOrg.x) + M.ViewportOrg.x;
            my = y - double(M.WindowOrg.y) + M.ViewportOrg.y;
        }
        return {FA * mx + FB, FC * my + FE};
    }
    TPoint P(int x, int y) const {
        const QPointF q = Map(x, y);
        return {PixelPos(q.x()), PixelPos(q.y())};
    }
    // Back from target pixels to the metafile's logical units.
    TPoint Logical(TPoint d) const {
        double mx = FA ? (d.x - FB) / FA : 0, my = FC ? (d.y - FE) / FC : 0;
        mx -= M.ViewportOrg.x;
        my -= M.ViewportOrg.y;
        if (M.MapMode != MM_TEXT && M.ViewportExt.cx && M.ViewportExt.cy) {
            mx = mx * M.WindowExt.cx / M.ViewportExt.cx;
            my = my * M.WindowExt.cy / M.ViewportExt.cy;
        }
        return {PixelPos(mx + M.WindowOrg.x), PixelPos(my + M.WindowOrg.y)};
    }
    double ScaleX() const {
        const double m = (M.MapMode != MM_TEXT && M.WindowExt.cx)
                             ? double(M.ViewportExt.cx) / M.WindowExt.cx
                             : 1.0;
        return std::fabs(m * FA);
    }
    double ScaleY() const {
        const double m = (M.MapMode != MM_TEXT && M.WindowExt.cy)
                             ? double(M.ViewportExt.cy) / M.WindowExt.cy
                             : 1.0;
        return std::fabs(m * FC);
    }
    void Apply() {
        TDCState& S = D.S;
        S.Pen = M.Pen;
        if (M.Pen.Scales()) S.Pen.Width = std::max(1, MetaRound(M.Pen.Width * ScaleX()));
        S.DCPen = S.DCBrush = false;
        S.Brush = M.Brush;
        S.Font = M.Font;
        if (S.Font.lfHeight != 0) {
            const int h = std::max(1, MetaRound(std::fabs(double(M.Font.lfHeight)) * ScaleY()));
            S.Font.lfHeight = M.Font.lfHeight < 0 ? -h : h;
        }
        S.TextColor = M.TextColor;
        S.BkColor = M.BkColor;
        S.BkMode = M.BkMode;
        S.TextAlign = M.TextAlign & ~TA_UPDATECP;
        S.CharExtra = MetaRound(M.CharExtra * ScaleX());
        S.Rop2 = M.Rop2;
        S.FillMode = M.FillMode;
        S.ArcDirection = M.ArcDirection;
    }
    void SetClip() {
        D.S.HasClip = HasClip;
        D.S.Clip = Clip;
        D.ClipChanged();
    }
    void CombineClip(const QRegion& r, int mode) {
        const TRect b = D.DeviceBounds();
        const QRegion current = HasClip ? Clip : QRegion(b.Left, b.Top, b.Width(), b.Height());
        QRegion next;
        switch (mode) {
        case RGN_AND:
            next = current.intersected(r);
            break;
        case RGN_OR:
            next = current.united(r);
            break;
        case RGN_XOR:
            next = current.xored(r);
            break;
        case RGN_DIFF:
            next = current.subtracted(r);
            break;
        case RGN_COPY:
            next = r;
            break;
        default:
            return; // refused, as the canvas refuses it
        }
        // Nothing a metafile does reaches outside the clip it is played into.
        Clip = HasClipBase() ? next.intersected(BaseClip) : next;
        HasClip = true;
        SetClip();
    }
    bool BaseHasClip = false;
    bool HasClipBase() const { return BaseHasClip; }
    QRegion DeviceRect(int l, int t, int r, int b) const {
        const TPoint a = P(l, t), c = P(r, b);
        return QRegion(QRect(QPoint(std::min(a.x, c.x), std::min(a.y, c.y)),
                             QPoint(std::max(a.x, c.x) - 1, std::max(a.y, c.y) - 1)));
    }
    // A path as a clip region: only the device's rows and columns (and one
    // beyond) can show, so a path of a file reaching far away costs no more.
    QRegion DeviceRegion(const QPainterPath& Path) const {
        const TRect b = D.DeviceBounds();
        const bool winding = Path.fillRule() == Qt::WindingFill || D.S.FillMode == WINDING;
        std::vector<TSpan> spans;
        ScanPolygons(Path.toSubpathPolygons(), winding, b.Top - 1, b.Bottom + 1,
                     [&](int y, int x0, int x1) {
                         x0 = std::max(x0, b.Left - 1);
                         x1 = std::min(x1, b.Right + 1);
                         if (x0 < x1) spans.push_back({y, x0, x1});
                     });
        return SpansToRegion(spans);
    }
    TRect BlockRect(const TRect& r) const {
        return DevBlockRect(P(r.Left, r.Top), P(r.Right, r.Bottom));
    }
    std::vector<TPoint> Points(const std::vector<TPoint>& in) const {
        std::vector<TPoint> out;
        out.reserve(in.size());
        for (const TPoint& p : in)
            out.push_back(P(p.x, p.y));
        return out;
    }

    void Play(const TMetaOp& op);
};

void TPlayer::Play(const TMetaOp& op) {
    const auto& I = op.I;
    switch (op.Kind) {
    case TMetaKind::State:
        M = op.State;
        Apply();
        break;
    case TMetaKind::MoveTo:
        Pos = op.P[0];
        if (D.InPath) {
            const TPoint p = P(Pos.x, Pos.y);
            D.Path.moveTo(p.x, p.y);
        }
        break;
    case TMetaKind::LineTo: {
        const TPoint a = P(Pos.x, Pos.y), b = P(op.P[0].x, op.P[0].y);
        if (D.InPath) {
            if (D.Path.elementCount() == 0) D.Path.moveTo(a.x, a.y);
            D.Path.lineTo(b.x, b.y);
        } else
            DevLine(D, a, b);
        Pos = op.P[0];
        break;
    }
    case TMetaKind::PolyBezier:
    case TMetaKind::PolyBezierTo: {
        const bool to = op.Kind == TMetaKind::PolyBezierTo;
        if (op.P.size() < (to ? 3u : 4u)) break;
        std::vector<QPointF> controls;
        for (size_t i = to ? 0 : 1; i < op.P.size(); ++i)
            controls.push_back(Map(op.P[i].x, op.P[i].y));
        DoBezier(D, to ? P(Pos.x, Pos.y) : P(op.P[0].x, op.P[0].y), controls, to);
        if (to) Pos = op.P.back();
        break;
    }
    case TMetaKind::Polyline: {
        const std::vector<TPoint> pts = Points(op.P);
        if (D.InPath) {
            QPainterPath path;
            if (!pts.empty()) path.moveTo(pts[0].x, pts[0].y);
            for (size_t i = 1; i < pts.size(); ++i)
                path.lineTo(pts[i].x, pts[i].y);
            D.Path.addPath(path);
        } else
            DevPolyline(D, pts, false);
        break;
    }
    case TMetaKind::Polygon:
    case TMetaKind::PolyPolygon: {
        std::vector<std::vector<TPoint>> polys;
        const std::vector<TPoint> pts = Points(op.P);
        if (op.Kind == TMetaKind::Polygon)
            polys.push_back(pts);
        else {
            size_t at = 0;
            for (int c : op.Counts) {
                if (c < 0 || at + size_t(c) > pts.size()) break;
                polys.emplace_back(pts.begin() + long(at), pts.begin() + long(at + c));
                at += size_t(c);
            }
        }
        if (D.InPath) {
            for (const auto& poly : polys) {
                QPolygonF q;
                for (const TPoint& p : poly)
                    q << QPointF(p.x, p.y);
                D.Path.addPolygon(q);
                D.Path.closeSubpath();
            }
        } else
            DevPolygon(D, polys);
        break;
    }
    case TMetaKind::Rectangle:
        DoRectangle(D, P(I[0], I[1]), P(I[2], I[3]));
        break;
    case TMetaKind::RoundRect:
        DoRoundShape(D, P(I[0], I[1]), P(I[2], I[3]), MetaRound(I[4] * ScaleX()),
                     MetaRound(I[5] * ScaleY()));
        break;
    case TMetaKind::Ellipse: {
        const TPoint a = P(I[0], I[1]), b = P(I[2], I[3]);
        DoRoundShape(D, a, b, std::abs(b.x - a.x), std::abs(b.y - a.y));
        break;
    }
    case TMetaKind::Arc:
    case TMetaKind::ArcTo:
    case TMetaKind::Pie:
    case TMetaKind::Chord: {
        const int kind = op.Kind == TMetaKind::Arc     ? 0
                         : op.Kind == TMetaKind::ArcTo ? 1
                         : op.Kind == TMetaKind::Pie   ? 2
                                                       : 3;
        const TPoint e = DoArcShape(D, kind, P(I[0], I[1]), P(I[2], I[3]), P(I[4], I[5]),
                                    P(I[6], I[7]), P(Pos.x, Pos.y));
        if (kind == 1) Pos = Logical(e); // arc-to moves on to the arc's end
        break;
    }
    case TMetaKind::Text: {
        const TPoint p = P(op.P[0].x, op.P[0].y);
        TRect r;
        if (op.HasRect) {
            const TPoint a = P(op.R.Left, op.R.Top), b = P(op.R.Right, op.R.Bottom);
            r = {a.x, a.y, b.x, b.y};
        }
        std::vector<int> dx;
        for (int v : op.Dx)
            dx.push_back(MetaRound(v * ScaleX()));
        DevTextOut(D, p.x, p.y, op.Options, op.HasRect ? &r : nullptr, op.Text.c_str(),
                   op.Text.Length(), dx.empty() ? nullptr : dx.data());
        break;
    }
    case TMetaKind::FillRect:
        DevFillRect(D, BlockRect(op.R), op.Brush, false);
        break;
    case TMetaKind::Pixel: {
        const TPoint p = P(op.P[0].x, op.P[0].y);
        DevSetPixel(D, p.x, p.y, COLORREF(I[0]));
        break;
    }
    case TMetaKind::Image: {
        const TPoint a = P(op.R.Left, op.R.Top), b = P(op.R.Right, op.R.Bottom);
        if (op.Image.hasAlphaChannel()) {
            // Masked copies (transparent bitmaps) keep only their opaque pixels.
            QImage img = op.Image;
            const int64_t key = 0x010203;
            QImage keyed = img.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < img.height(); ++y) {
                const QRgb* s = reinterpret_cast<const QRgb*>(img.constScanLine(y));
                QRgb* t = reinterpret_cast<QRgb*>(keyed.scanLine(y));
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(s[x]) < 128) t[x] = 0xFF030201;
            }
            DevBlt(D, {a.x, a.y, b.x, b.y}, keyed, keyed.rect(), SRCCOPY, key);
        } else
            DevBlt(D, {a.x, a.y, b.x, b.y}, op.Image, op.Image.rect(), op.Rop);
        break;
    }
    case TMetaKind::PatBlt:
        DevPatBlt(D, BlockRect(op.R), op.Rop);
        break;
    case TMetaKind::Path:
        switch (I[0]) {
        case PathBegin:
            D.InPath = true;
            D.PathDone = false;
            D.Path = QPainterPath(); // filled by the mode in force when it is used
            break;
        case PathEnd:
            D.InPath = false;
            D.PathDone = true;
            break;
        case PathAbort:
            D.InPath = D.PathDone = false;
            D.Path = QPainterPath();
            break;
        case PathClose:
            D.Path.closeSubpath();
            break;
        case PathWiden: {
            QPainterPath w = WidenedPath(D, D.Path);
            w.setFillRule(Qt::WindingFill);
            D.Path = w;
            break;
        }
        default:
            if (D.PathDone) {
                const QPainterPath path = D.Path;
                D.Path = QPainterPath();
                D.PathDone = false;
                if (I[0] == PathFill || I[0] == PathStrokeFill) DevFillPath(D, path);
                if (I[0] == PathStroke || I[0] == PathStrokeFill) DevStrokePath(D, path);
            }
            break;
        }
        break;
    case TMetaKind::SelectClipPath:
        if (D.PathDone) {
            const QRegion r = DeviceRegion(D.Path);
            D.Path = QPainterPath();
            D.PathDone = false;
            CombineClip(r, op.Mode);
        }
        break;
    case TMetaKind::ClipRegion:
        if (!op.HasRegion) {
            if (op.Mode != RGN_COPY) break; // nothing to combine: refused
            HasClip = BaseHasClip;
            Clip = BaseClip;
            SetClip();
        } else {
            // Region coordinates are the metafile's device units.
            QRegion r;
            for (const QRect& q : op.Region) {
                const QPointF a(FA * q.left() + FB, FC * q.top() + FE);
                const QPointF b(FA * (q.right() + 1) + FB, FC * (q.bottom() + 1) + FE);
                r += QRect(
                    QPoint(PixelPos(std::min(a.x(), b.x())), PixelPos(std::min(a.y(), b.y()))),
                    QPoint(PixelPos(std::max(a.x(), b.x())) - 1,
                           PixelPos(std::max(a.y(), b.y())) - 1));
            }
            CombineClip(r, op.Mode == RGN_COPY ? RGN_COPY : op.Mode);
        }
        break;
    case TMetaKind::IntersectClip:
        CombineClip(DeviceRect(I[0], I[1], I[2], I[3]), RGN_AND);
        break;
    case TMetaKind::ExcludeClip:
        CombineClip(DeviceRect(I[0], I[1], I[2], I[3]), RGN_DIFF);
        break;
    case TMetaKind::SaveDC:
        Saved.push_back({M, HasClip, Clip});
        break;
    case TMetaKind::RestoreDC: {
        int n = I.empty() ? -1 : I[0];
        const int level = int(Saved.size());
        const int target = n < 0 ? level + n + 1 : n;
        if (target >= 1 && target <= level) {
            // An empty clip saved is still a clip: it hides everything.
            const TSaved& s = Saved[size_t(target - 1)];
            M = s.M;
            HasClip = s.HasClip;
            Clip = s.Clip;
            Saved.resize(size_t(target - 1));
            Apply();
            SetClip();
        }
        break;
    }
    }
}

} // namespace

void PlayMetaOps(TCanvas* ACanvas, const TMetaOps& Ops, int Width, int Height, const TRect& R) {
    if (!ACanvas || Width <= 0 || Height <= 0) return;
    ACanvas->Handle();
    TCanvasPrivate& D = *ACanvas->Private();
    if (!D.Drawable() && !D.Recorder) return;
    const TDCState saved = D.S;
    const bool inPath = D.InPath, pathDone = D.PathDone;
    const QPainterPath path = D.Path;
    // Frame mapping, through the target's own logical-to-device mapping.
    const QPointF o = D.ToDeviceF(R.Left, R.Top), e = D.ToDeviceF(R.Right, R.Bottom);
    TPlayer pl{D,
               (e.x() - o.x()) / Width,
               o.x(),
               (e.y() - o.y()) / Height,
               o.y(),
               TMetaState::From(TDCState()),
               TPoint(),
               {},
               D.S.HasClip ? D.S.Clip : QRegion(),
               D.S.HasClip,
               D.S.Clip};
    pl.BaseHasClip = D.S.HasClip;
    D.S.MapMode = MM_TEXT;
    D.S.WindowOrg = D.S.ViewportOrg = TPoint();
    D.S.WindowExt = D.S.ViewportExt = TSize(1, 1);
    D.InPath = D.PathDone = false;
    D.Path = QPainterPath();
    TCanvasRecorder* recorder = D.Recorder;
    D.Recorder = nullptr;
    pl.Apply();
    for (const auto& op : Ops) {
        if (D.Drawable()) pl.Play(*op);
    }
    D.Recorder = recorder;
    D.S = saved;
    D.InPath = inPath;
    D.PathDone = pathDone;
    D.Path = path;
    D.ClipChanged();
}

QPainterPath MetaPathOutline(const TMetaOps& Figures, const TMetaState& State) {
    TCanvas scratch; // no target: the figures only build the path
    TCanvasPrivate& D = *scratch.Private();
    TPlayer pl{D, 1, 0, 1, 0, State, TPoint(), {}, QRegion(), false, QRegion()};
    pl.Apply();
    D.InPath = true;
    for (const auto& op : Figures)
        pl.Play(*op);
    return D.Path;
}

void TMetafile::Draw(TCanvas* ACanvas, const TRect& R) {
    if (!ACanvas) return;
    ACanvas->Handle();
    if (TCanvasRecorder* rec = ACanvas->Private()->Recorder) {
        // Drawing a metafile into another metafile: draw it as a picture, no
        // larger than the metafile or the place it goes to (a file's frame
        // may be large, the picture stays within the pixel limit).
        (void)rec;
        const double w =
            std::clamp(std::fabs(double(R.Right) - R.Left), 1.0, double(std::max(1, FWidth)));
        const double h =
            std::clamp(std::fabs(double(R.Bottom) - R.Top), 1.0, double(std::max(1, FHeight)));
        const double shrink = std::min(1.0, std::sqrt(double(MaxPicturePixels) / (w * h)));
        TBitmap bmp(std::max(1, int(w * shrink)), std::max(1, int(h * shrink)));
        PlayMetaOps(bmp.Canvas(), FOps, FWidth, FHeight, {0, 0, bmp.Width(), bmp.Height()});
        ACanvas->StretchDraw(R, &bmp);
        return;
    }
    PlayMetaOps(ACanvas, FOps, FWidth, FHeight, R);
}

// --- TMetafileCanvas -------------------------------------------------------------

TMetafileCanvas::TMetafileCanvas(TMetafile* AMetafile, HDC ReferenceDevice)
    : TMetafileCanvas(AMetafile, ReferenceDevice, "", "") {}

TMetafileCanvas::TMetafileCanvas(TMetafile* AMetafile, HDC ReferenceDevice,
                                 const AnsiString& CreatedBy, const AnsiString& Description)
    : FMetafile(AMetafile) {
    (void)ReferenceDevice;
    FRecorder = std::make_unique<TMetaRecorder>(D.get());
    D->Recorder = FRecorder.get();
    D->Touched();
    D->DeviceTechnology = DT_METAFILE;
    if (FMetafile) {
        D->DeviceSize = {std::max(1, FMetafile->Width()), std::max(1, FMetafile->Height())};
        FMetafile->SetCreator(CreatedBy, Description);
    }
}

TMetafileCanvas::~TMetafileCanvas() {
    D->Recorder = nullptr;
    D->Touched();
    if (!FMetafile) return;
    auto& ops = FMetafile->Ops();
    for (auto& op : FRecorder->Ops)
        ops.push_back(std::move(op));
    // A metafile made without a size takes the extent of what was drawn.
    FMetafile->SetModified(true);
}

std::vector<TMetafile::TTextRecord> TMetafile::TextRecords() const {
    std::vector<TTextRecord> out;
    for (const auto& op : FOps)
        if (op->Kind == TMetaKind::Text) out.push_back({op->P[0], op->Text});
    return out;
}

namespace {
struct TRecording {
    std::unique_ptr<TMetaRecorder> Recorder;
    TMetafile* Metafile;
};
std::map<TCanvasPrivate*, TRecording>& Recordings() {
    static std::map<TCanvasPrivate*, TRecording> map;
    return map;
}
} // namespace

void RecordInto(TCanvas* Canvas, TMetafile* Metafile) {
    if (!Canvas) return;
    TCanvasPrivate* d = Canvas->Private();
    d->Touched(); // recording takes every line through the slow path
    auto& map = Recordings();
    if (auto it = map.find(d); it != map.end()) {
        if (d->Recorder == it->second.Recorder.get()) d->Recorder = nullptr;
        for (auto& op : it->second.Recorder->Ops)
            it->second.Metafile->Ops().push_back(std::move(op));
        it->second.Metafile->SetModified(true);
        map.erase(it);
    }
    if (!Metafile) return;
    auto rec = std::make_unique<TMetaRecorder>(d);
    d->Recorder = rec.get();
    d->DeviceSize = {std::max(1, Metafile->Width()), std::max(1, Metafile->Height())};
    map[d] = TRecording{std::move(rec), Metafile};
}
