#include "platform/graphics/cursors.h"
#include "platform/classes/props.h"
#include "platform/graphics/qtbridge.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/sysutils.h"

namespace {

struct TCursorIdent {
    TCursor Value;
    const char* Name;
    Qt::CursorShape Shape;
};

constexpr TCursorIdent Cursors[] = {
    {crDefault, "crDefault", Qt::ArrowCursor},
    {crArrow, "crArrow", Qt::ArrowCursor},
    {crCross, "crCross", Qt::CrossCursor},
    {crIBeam, "crIBeam", Qt::IBeamCursor},
    {crSizeNESW, "crSizeNESW", Qt::SizeBDiagCursor},
    {crSizeNS, "crSizeNS", Qt::SizeVerCursor},
    {crSizeNWSE, "crSizeNWSE", Qt::SizeFDiagCursor},
    {crSizeWE, "crSizeWE", Qt::SizeHorCursor},
    {crUpArrow, "crUpArrow", Qt::UpArrowCursor},
    {crHourGlass, "crHourGlass", Qt::WaitCursor},
    {crDrag, "crDrag", Qt::DragCopyCursor},
    {crNoDrop, "crNoDrop", Qt::ForbiddenCursor},
    {crHSplit, "crHSplit", Qt::SplitHCursor},
    {crVSplit, "crVSplit", Qt::SplitVCursor},
    {crMultiDrag, "crMultiDrag", Qt::DragCopyCursor},
    {crSQLWait, "crSQLWait", Qt::BusyCursor},
    {crNo, "crNo", Qt::ForbiddenCursor},
    {crAppStart, "crAppStart", Qt::BusyCursor},
    {crHelp, "crHelp", Qt::WhatsThisCursor},
    {crHandPoint, "crHandPoint", Qt::PointingHandCursor},
    {crSizeAll, "crSizeAll", Qt::SizeAllCursor},
    {crNone, "crNone", Qt::BlankCursor},
};

// Stored forms write cursors by name.
const bool Registered = [] {
    RegisterIntegerIdents(
        "TCursor", [](int32_t v, AnsiString& s) { return CursorToIdent(v, s); },
        [](const AnsiString& s, int32_t& v) { return IdentToCursor(s, v); });
    return true;
}();

} // namespace

bool CursorToIdent(TCursor Cursor, AnsiString& Ident) {
    for (const auto& c : Cursors)
        if (c.Value == Cursor) {
            Ident = c.Name;
            return true;
        }
    return false;
}

bool IdentToCursor(const AnsiString& Ident, TCursor& Cursor) {
    for (const auto& c : Cursors)
        if (SameText(Ident, c.Name)) {
            Cursor = c.Value;
            return true;
        }
    return false;
}

AnsiString CursorToString(TCursor Cursor) {
    AnsiString s;
    return CursorToIdent(Cursor, s) ? s : IntToStr(Cursor);
}

TCursor StringToCursor(const AnsiString& S) {
    TCursor c;
    if (IdentToCursor(S, c)) return c;
    return StrToInt(S);
}

int ToQtCursorShape(TCursor Cursor) {
    (void)Registered;
    for (const auto& c : Cursors)
        if (c.Value == Cursor) return int(c.Shape);
    return int(Qt::ArrowCursor);
}
