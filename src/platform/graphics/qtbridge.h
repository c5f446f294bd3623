#pragma once
// Platform-internal bridge between the drawing vocabulary and Qt: colours,
// fonts, Windows-1252 text and the images behind canvases and bitmaps.
// Included only by code inside src/platform/.
#include "platform/graphics/graphics.h"
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <string>
#include <vector>

// Opaque colour of a TColor (system colours resolved; clNone gives a fully
// transparent colour).
QColor ToQColor(TColor Color);
QColor ColorRefToQColor(COLORREF Color);
TColor FromQColor(const QColor& Color);

// The Qt font for a platform font at 96 pixels per inch (the face mapped to a
// bundled metric-compatible family or to the installed family of its name,
// pixel size from Height).
QFont ToQFont(const TFont& Font);
QFont LogFontToQFont(const LOGFONT& lf);
// Registers every bundled family's files, so Qt's font lists offer them all.
void RegisterBundledFonts();
// The family that draws a face name: a bundled twin ("Arial" -> "Liberation
// Sans"), else the installed family of that name (reading the system's fonts
// first), else the face the system substitutes ("Symbol" -> "Standard Symbols
// PS"), else the bundled twin of the default face.
QString MapFontFamily(const AnsiString& FaceName);

// The process starts with the bundled families only. The system's other fonts
// are read when first needed: a face that is not bundled, the font dialog, a
// character the bundled families lack. Then Qt's lists and fallbacks hold them.
void ReadSystemFonts();
// (SystemFontsRead, in graphics.h, tells whether they are.)
// Reads the system's fonts when Text holds a character the bundled families lack.
void ReadSystemFontsFor(const QString& Text);

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
// Every bundled font file, and the bundled families' names.
std::vector<const char*> BundledFontFiles();
std::vector<const char*> BundledFamilyNames();
// Joins the system's fonts (all but the bundled families) to the own
// configuration, once; false without an own configuration.
bool AddSystemFonts();
// The family names (UTF-8) of the face the system's substitution draws a
// family name in; none when that is only the system's default face.
std::vector<std::string> SubstituteFamilies(const char* Family);
// Whether the bundled files draw Char (true without an own configuration: the
// system's fonts are there anyway).
bool BundledFontsHave(char32_t Char);

// The Qt cursor shape (Qt::CursorShape value) of a platform cursor id.
int ToQtCursorShape(int Cursor);
