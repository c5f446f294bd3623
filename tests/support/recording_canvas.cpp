#include "support/recording_canvas.h"
#include <cstdio>
#include <type_traits>

namespace {

// A colour argument, printed as 0xBBGGRR, passed on as the colour.
struct TColorArg {
    TColor Value;
    operator TColor() const { return Value; }
};
struct TColorsArg {
    const TTriangleColors3D& Value;
    operator const TTriangleColors3D&() const { return Value; }
};
TColorArg AsColor(TColor Value) {
    return {Value};
}
TColorsArg AsColor(const TTriangleColors3D& Value) {
    return {Value};
}

// An object the call hands on (a picture, a canvas, a callback): not printed.
template <typename T> struct TUnlogged {
    const T& Value;
    operator const T&() const { return Value; }
};
template <typename T> TUnlogged<T> Unlogged(const T& Value) {
    return {Value};
}

// Points[0..High].
struct TPointsArg {
    const TPoint* Points;
    int High;
};

void Put(std::string& s, int v) {
    s += std::to_string(v);
}
void Put(std::string& s, unsigned v) {
    s += std::to_string(v);
}
template <typename E, typename = std::enable_if_t<std::is_enum_v<E>>>
void Put(std::string& s, E v) {
    Put(s, static_cast<int>(v));
}
void Put(std::string& s, bool v) {
    s += v ? "true" : "false";
}
void Put(std::string& s, double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    s += buf;
}
void Put(std::string& s, const AnsiString& v) {
    s += '"';
    s += v.c_str();
    s += '"';
}
void Put(std::string& s, const TPoint& p) {
    s += '(';
    Put(s, p.x);
    s += ',';
    Put(s, p.y);
    s += ')';
}
void Put(std::string& s, const TPoint3D& p) {
    s += '(';
    Put(s, p.x);
    s += ',';
    Put(s, p.y);
    s += ',';
    Put(s, p.z);
    s += ')';
}
void Put(std::string& s, const TRect& r) {
    Put(s, r.Left);
    s += ',';
    Put(s, r.Top);
    s += ',';
    Put(s, r.Right);
    s += ',';
    Put(s, r.Bottom);
}
void Put(std::string& s, TColorArg c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06X", unsigned(c.Value) & 0xFFFFFFu);
    s += buf;
}
void Put(std::string& s, TPointsArg p) {
    for (int i = 0; i <= p.High; ++i) {
        if (i) s += ',';
        Put(s, p.Points[i]);
    }
}
void Put(std::string& s, const TFourPoints& p) {
    Put(s, TPointsArg{p.data(), 3});
}
void Put(std::string& s, const TTrianglePoints3D& p) {
    for (size_t i = 0; i < p.size(); ++i) {
        if (i) s += ',';
        Put(s, p[i]);
    }
}
void Put(std::string& s, TColorsArg c) {
    for (size_t i = 0; i < c.Value.size(); ++i) {
        if (i) s += ',';
        Put(s, TColorArg{c.Value[i]});
    }
}

template <typename T> constexpr bool IsUnlogged = false;
template <typename T> constexpr bool IsUnlogged<TUnlogged<T>> = true;

// A call's arguments as text; a point array (a pointer followed by its high
// index) is also kept.
struct TLogged {
    std::string Text;
    std::vector<TPoint> Points;
    // The leading integers and the first text, for the box of a text call.
    std::vector<int> Ints;
    const AnsiString* String = nullptr;

    void Add() {}
    template <typename A, typename... R> void Add(const A& a, const R&... r) {
        if constexpr (IsUnlogged<A>) {
            Add(r...);
        } else if constexpr (std::is_same_v<A, const TPoint*>) {
            AddPoints(a, r...);
        } else {
            if constexpr (std::is_same_v<A, int>) {
                if (!String) Ints.push_back(a);
            } else if constexpr (std::is_same_v<A, AnsiString>) {
                if (!String) String = &a;
            }
            Next();
            Put(Text, a);
            Add(r...);
        }
    }
    template <typename... R> void AddPoints(const TPoint* p, int High, const R&... r) {
        Next();
        Put(Text, TPointsArg{p, High});
        if (p && High >= 0) Points.assign(p, p + High + 1);
        Add(r...);
    }
    void Next() {
        if (FAny) Text += ',';
        FAny = true;
    }

private:
    bool FAny = false;
};

template <typename... A> TLogged Logged(const A&... a) {
    TLogged l;
    l.Add(a...);
    return l;
}

} // namespace

class TRecordingCanvas::TScope {
public:
    TScope(TRecordingCanvas* C, const char* Name, TLogged Arguments) : FCanvas(C) {
        TRecordedCall call;
        call.Name = Name;
        call.Text = std::string(Name) + "(" + Arguments.Text + ")";
        call.Depth = C->FDepth;
        call.Points = std::move(Arguments.Points);
        if (Arguments.String && Arguments.Ints.size() >= 2 &&
            (call.Name == "TextOut" || call.Name == "TextOut3D"))
            NoteTextBox(C, call, Arguments.Ints[0], Arguments.Ints[1], *Arguments.String);
        if (C->Pen()) {
            call.PenColor = C->Pen()->Color();
            call.PenStyle = C->Pen()->Style();
            call.PenWidth = C->Pen()->Width();
        }
        if (C->Brush()) {
            call.BrushColor = C->Brush()->Color();
            call.BrushStyle = C->Brush()->Style();
        }
        C->FCalls.push_back(std::move(call));
        ++C->FDepth;
    }
    ~TScope() { --FCanvas->FDepth; }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

private:
    // As the platform lays the text out: its advance and line height in the
    // current font, placed by the current alignment.
    static void NoteTextBox(TRecordingCanvas* C, TRecordedCall& Call, int X, int Y,
                            const AnsiString& Text) {
        TCanvas* p = C->PlatformCanvas();
        if (!p) return;
        const int w = p->TextWidth(Text);
        const int h = p->TextHeight(Text);
        const UINT align = p->GetTextAlign();
        int left = X, top = Y;
        if ((align & TA_HORZ_MASK) == TA_CENTER)
            left = X - w / 2;
        else if ((align & TA_HORZ_MASK) == TA_RIGHT)
            left = X - w;
        if ((align & TA_VERT_MASK) == TA_BASELINE) {
            TEXTMETRIC m;
            if (p->GetTextMetrics(&m)) top = Y - m.tmAscent;
        } else if ((align & TA_VERT_MASK) == TA_BOTTOM)
            top = Y - h;
        Call.TextBox = TRect(left, top, left + w, top + h);
        Call.TextDrawn = Text.c_str();
    }
    TRecordingCanvas* FCanvas;
};

TRecordingCanvas::TRecordingCanvas(int Width, int Height)
    : FSurface(std::make_unique<TBitmap>(Width, Height)) {
    SetCanvas(FSurface->Canvas());
}

TRecordingCanvas::~TRecordingCanvas() {
    // The base destructor must not see a canvas freed before it.
    if (PlatformCanvas() == FSurface->Canvas()) SetCanvas(nullptr);
}

std::vector<std::string> TRecordingCanvas::Log(int MaxDepth) const {
    std::vector<std::string> result;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth) result.push_back(c.Text);
    return result;
}

std::vector<std::string> TRecordingCanvas::Names(int MaxDepth) const {
    std::vector<std::string> result;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth) result.push_back(c.Name);
    return result;
}

std::string TRecordingCanvas::Text(int MaxDepth) const {
    std::string result;
    for (const auto& line : Log(MaxDepth)) {
        if (!result.empty()) result += '\n';
        result += line;
    }
    return result;
}

int TRecordingCanvas::Count(const std::string& Name, int MaxDepth) const {
    int n = 0;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth && c.Name == Name) ++n;
    return n;
}

std::vector<TRecordedCall> TRecordingCanvas::Find(const std::string& Name, int MaxDepth) const {
    std::vector<TRecordedCall> result;
    for (const auto& c : FCalls)
        if (c.Depth <= MaxDepth && c.Name == Name) result.push_back(c);
    return result;
}

// The canvas's calls, each logged and then, as its kind says, passed on always
// (calls that frame a paint) or only while the canvas forwards (drawing).
#undef TEE_CANVAS_DEFAULT
#define TEE_CANVAS_DEFAULT(Value)
#define TEE_CANVAS_COLOR(C) AsColor(C)
#define TEE_CANVAS_OBJECT(O) Unlogged(O)
#define PASSES_ON_Paint Forward
#define PASSES_ON_Common Forward
#define PASSES_ON_Frame true
#define RECORDED_CALL(Kind, Return, Name, Parameters, Arguments)                                   \
    Return TRecordingCanvas::Name Parameters {                                                     \
        TScope scope_(this, #Name, Logged Arguments);                                              \
        if (PASSES_ON_##Kind) return TTeeCanvas3D::Name Arguments;                                 \
        return Return();                                                                           \
    }
TEE_CANVAS_CALLS(RECORDED_CALL)
#undef RECORDED_CALL
#undef TEE_CANVAS_DEFAULT
#define TEE_CANVAS_DEFAULT(Value) = Value

void TRecordingCanvas::PolygonFour() {
    TLogged arguments = Logged(FourPoints());
    arguments.Points.assign(FourPoints().begin(), FourPoints().end());
    TScope scope_(this, "PolygonFour", std::move(arguments));
    if (Forward) TTeeCanvas3D::PolygonFour();
}
