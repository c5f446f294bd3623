#pragma once
// Mouse cursors: the platform's integer cursor ids and their identifiers.
#include "platform/rtl/ansistring.h"

using TCursor = int;

constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22, crSize = -22;

bool CursorToIdent(TCursor Cursor, AnsiString& Ident);
bool IdentToCursor(const AnsiString& Ident, TCursor& Cursor);
// "crArrow", or the number for cursors without a name; StringToCursor takes
// both and raises EConvertError for anything else.
AnsiString CursorToString(TCursor Cursor);
TCursor StringToCursor(const AnsiString& S);
