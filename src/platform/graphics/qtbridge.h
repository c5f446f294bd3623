#pragma once
// Platform-internal bridge between the drawing vocabulary and Qt: colours,
// fonts, Windows-1252 text and the images behind canvases and bitmaps.
// Included only by code inside src/platform/.
#include "platform/graphics/graphics.h"
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <vector>

// Opaque colour of a TColor (system colours resolved; clNone gives a fully
// transparent colour).
QColor ToQColor(TColor Color);
QColor ColorRefToQColor(COLORREF Color);
TColor FromQColor(const QColor& Color);

// The Qt font for a platform font at 96 pixels per inch (the face mapped to an
// installed metric-compatible family, pixel size from Height).
QFont ToQFont(const TFont& Font);
QFont LogFontToQFont(const LOGFONT& lf);
// Registers every bundled family's files, so Qt's font lists offer them all.
void RegisterBundledFonts();
// The installed family used for a face name ("Arial" -> "Liberation Sans").
QString MapFontFamily(const AnsiString& FaceName);

// Windows-1252 bytes <-> Unicode; characters without a code point become '?'.
QString AnsiToQString(const AnsiString& Text);
AnsiString QStringToAnsi(const QString& Text);

// The 32-bit image behind a bitmap (valid until the bitmap is resized or freed).
QImage* BitmapImage(TBitmap* Bitmap);
// An application object for code that needs one (fonts, clipboard, printing);
// does nothing when one exists. The forms layer installs its own maker here so
// the first object is always its widget application.
void EnsureGuiApplication();
extern void (*GuiApplicationMaker)();
// Gives the process a font configuration of its own, without the system's
// fonts and rules, before Qt first reads one; true when it is in place (else
// the system's configuration is used as before). Call before the application
// object is made.
bool PrepareFontConfiguration();
// True when the own configuration holds the font file at Path from the start,
// so Qt lists it without registering it.
bool ConfiguredFontFile(const char* Path);
// Every bundled font file.
std::vector<const char*> BundledFontFiles();

// The Qt cursor shape (Qt::CursorShape value) of a platform cursor id.
int ToQtCursorShape(int Cursor);
