#include "platform/graphics/qtbridge.h"
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <cctype>
#include <cmath>
#include <cstring>
#include <iterator>
#include <map>
#include <string>

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 code point of
// the same value, as the system's own conversion does, so every byte round-trips.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The bundled font files by family: regular, bold, italic, bold italic. Qt
// knows those the own font configuration holds from the start; any other is
// registered when first asked for, as registering reads its whole character map.
struct TBundledFamily {
    const char* Family;
    const char* Files[4];
};

constexpr TBundledFamily BundledFamilies[] = {
    {"Liberation Sans",
     {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationSans-BoldItalic.ttf"}},
    {"Liberation Serif",
     {"/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationSerif-Italic.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationSerif-BoldItalic.ttf"}},
    {"Liberation Mono",
     {"/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationMono-Italic.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationMono-BoldItalic.ttf"}},
    {"DejaVu Sans",
     {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf"}},
    {"DejaVu Serif",
     {"/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSerif-BoldItalic.ttf"}},
    {"DejaVu Sans Mono",
     {"/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Oblique.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-BoldOblique.ttf"}},
};

enum TBundled {
    LiberationSans,
    LiberationSerif,
    LiberationMono,
    DejaVuSans,
    DejaVuSerif,
    DejaVuSansMono
};

struct TFaceMap {
    const char* Face;
    TBundled Family;
};

// Faces the program and stored charts name, mapped to installed families of the
// same metrics (or the nearest shape where no metric twin exists).
constexpr TFaceMap FaceMap[] = {
    {"Arial", LiberationSans},
    {"Helvetica", LiberationSans},
    {"MS Sans Serif", LiberationSans},
    {"Microsoft Sans Serif", LiberationSans},
    {"System", LiberationSans},
    {"Tahoma", DejaVuSans},
    {"Verdana", DejaVuSans},
    {"Times New Roman", LiberationSerif},
    {"Times", LiberationSerif},
    {"MS Serif", LiberationSerif},
    {"Georgia", DejaVuSerif},
    {"Courier New", LiberationMono},
    {"Courier", LiberationMono},
    {"Lucida Console", DejaVuSansMono},
    {"Consolas", DejaVuSansMono},
    {"Liberation Sans", LiberationSans},
    {"Liberation Serif", LiberationSerif},
    {"Liberation Mono", LiberationMono},
    {"DejaVu Sans", DejaVuSans},
    {"DejaVu Serif", DejaVuSerif},
    {"DejaVu Sans Mono", DejaVuSansMono},
    // Qt's generic names, which its font dialog offers: the families it shows them in.
    {"Sans Serif", DejaVuSans},
    {"Serif", DejaVuSerif},
    {"Monospace", DejaVuSansMono},
};

// The bundled family of a face name; the default face's for an empty name.
bool FindBundled(const AnsiString& FaceName, TBundled& Family) {
    Family = LiberationSans;
    if (FaceName.IsEmpty()) return true;
    for (const auto& m : FaceMap)
        if (SameText(FaceName, m.Face)) {
            Family = m.Family;
            return true;
        }
    return false;
}

// How a face name is drawn: a bundled family (its index), or an installed one.
struct TFamilyChoice {
    QString Family;
    int Bundled = -1;
};

QString BundledName(TBundled Family) {
    return QString::fromLatin1(BundledFamilies[Family].Family);
}

std::string LowerKey(const AnsiString& FaceName) {
    std::string key = FaceName.c_str();
    for (char& c : key)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// The family of that name in Qt's lists, as Qt names it; empty when none is.
QString ListedFamily(const QString& Name) {
    for (const QString& family : QFontDatabase::families())
        if (family.compare(Name, Qt::CaseInsensitive) == 0) return family;
    return QString();
}

// The installed family of a face name, as Qt names it; empty when none is.
QString InstalledFamily(const AnsiString& FaceName) {
    static std::map<std::string, QString> known;
    std::string key = LowerKey(FaceName);
    const auto at = known.find(key);
    if (at != known.end()) return at->second;
    ReadSystemFonts();
    const QString found = ListedFamily(AnsiToQString(FaceName));
    known.emplace(std::move(key), found);
    return found;
}

// A face installed nowhere: the face the system's substitution gives it (a
// chart file may name a face its maker's system substitutes), else the
// default face's twin, as the platform's font mapper gives its default face.
TFamilyChoice SubstituteFamily(const AnsiString& FaceName) {
    static std::map<std::string, TFamilyChoice> known;
    std::string key = LowerKey(FaceName);
    const auto at = known.find(key);
    if (at != known.end()) return at->second;
    TFamilyChoice choice{BundledName(LiberationSans), LiberationSans};
    const QByteArray name = AnsiToQString(FaceName).toUtf8();
    for (const std::string& family : SubstituteFamilies(name.constData())) {
        if (family.empty()) continue;
        const QString q = QString::fromStdString(family);
        TBundled bundled;
        if (FindBundled(QStringToAnsi(q), bundled)) {
            choice = {BundledName(bundled), bundled};
            break;
        }
        QString listed = ListedFamily(q);
        if (!listed.isEmpty()) {
            choice = {std::move(listed), -1};
            break;
        }
    }
    known.emplace(std::move(key), choice);
    return choice;
}

TFamilyChoice ChooseFamily(const AnsiString& FaceName) {
    TBundled bundled;
    if (FindBundled(FaceName, bundled)) return {BundledName(bundled), bundled};
    QString installed = InstalledFamily(FaceName);
    if (installed.isEmpty()) return SubstituteFamily(FaceName);
    return {std::move(installed), -1};
}

// Registers the file of a family's style (0 regular, 1 bold, 2 italic, 3 bold
// italic) before its first use, so the face asked for is always the bundled
// file, whatever else the system has installed.
void EnsureStyleLoaded(TBundled Family, int Style) {
    static bool loaded[std::size(BundledFamilies)][4] = {};
    if (loaded[Family][Style]) return;
    EnsureGuiApplication();
    loaded[Family][Style] = true;
    const char* path = BundledFamilies[Family].Files[Style];
    if (!ConfiguredFontFile(path)) QFontDatabase::addApplicationFont(QString::fromLatin1(path));
}

// Cell height (ascent + descent) of a family per pixel of em size, for fonts
// given by a positive (cell) height.
double CellPerEm(const TFamilyChoice& Choice) {
    static std::map<QString, double> cache;
    const auto at = cache.find(Choice.Family);
    if (at != cache.end()) return at->second;
    if (Choice.Bundled >= 0) EnsureStyleLoaded(TBundled(Choice.Bundled), 0);
    QFont f(Choice.Family);
    f.setPixelSize(1000);
    f.setStyleStrategy(QFont::NoFontMerging);
    const QFontMetricsF fm(f);
    const double cell = fm.height() > 0 ? fm.height() / 1000.0 : 1.15;
    cache.emplace(Choice.Family, cell);
    return cell;
}

} // namespace

QColor ColorRefToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QColor ToQColor(TColor Color) {
    if (Color == clNone) return QColor(0, 0, 0, 0);
    return ColorRefToQColor(ColorToRGB(Color) & 0xFFFFFF);
}

TColor FromQColor(const QColor& Color) {
    return TColor(RGB(Color.red(), Color.green(), Color.blue()));
}

QString AnsiToQString(const AnsiString& Text) {
    QString out;
    out.reserve(Text.Length());
    for (unsigned char b : Text.str()) {
        if (b >= 0x80 && b < 0xA0)
            out.append(QChar(Cp1252High[b - 0x80]));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

AnsiString QStringToAnsi(const QString& Text) {
    std::string out;
    out.reserve(size_t(Text.size()));
    for (QChar qc : Text) {
        const char16_t c = qc.unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.push_back(char(c));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i)
            if (Cp1252High[i] == c) {
                mapped = char(0x80 + i);
                break;
            }
        out.push_back(mapped);
    }
    return AnsiString(std::move(out));
}

void (*GuiApplicationMaker)() = nullptr;

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    PrepareFontConfiguration();
    if (GuiApplicationMaker) {
        GuiApplicationMaker();
        if (QCoreApplication::instance()) return;
    }
    static int argc = 1;
    static char name[] = "qmreadout";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Lives until the process ends: destroying it among the static objects
    // would run after parts of Qt it needs are gone.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}

std::vector<const char*> BundledFontFiles() {
    std::vector<const char*> files;
    for (const auto& family : BundledFamilies)
        files.insert(files.end(), std::begin(family.Files), std::end(family.Files));
    return files;
}

void RegisterBundledFonts() {
    for (size_t family = 0; family < std::size(BundledFamilies); ++family)
        for (int style = 0; style < 4; ++style)
            EnsureStyleLoaded(TBundled(family), style);
}

std::vector<const char*> BundledFamilyNames() {
    std::vector<const char*> names;
    for (const auto& family : BundledFamilies)
        names.push_back(family.Family);
    return names;
}

QString MapFontFamily(const AnsiString& FaceName) {
    return ChooseFamily(FaceName).Family;
}

namespace {
bool GSystemFontsRead = false;
} // namespace

void ReadSystemFonts() {
    if (GSystemFontsRead) return;
    GSystemFontsRead = true;
    EnsureGuiApplication();
    if (!AddSystemFonts()) return;
    // Qt reads its font list again only once an application font is taken
    // away: one is lent for that, a small bundled file.
    const int lent = QFontDatabase::addApplicationFont(
        QString::fromLatin1(BundledFamilies[LiberationMono].Files[0]));
    if (lent >= 0) QFontDatabase::removeApplicationFont(lent);
}

bool SystemFontsRead() {
    return GSystemFontsRead || !PrepareFontConfiguration();
}

void ReadSystemFontsFor(const QString& Text) {
    if (SystemFontsRead()) return;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        char32_t c = Text[i].unicode();
        if (c < 0x80) continue;
        if (QChar::isHighSurrogate(c) && i + 1 < Text.size() && Text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), Text[++i].unicode());
        switch (QChar::category(c)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Space:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            continue; // nothing any font would draw
        default:
            break;
        }
        if (!BundledFontsHave(c)) {
            ReadSystemFonts();
            return;
        }
    }
}

QFont LogFontToQFont(const LOGFONT& lf) {
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, lf.lfFaceName, LF_FACESIZE);
    const TFamilyChoice family = ChooseFamily(face);
    const bool bold = lf.lfWeight >= FW_SEMIBOLD;
    if (family.Bundled >= 0)
        EnsureStyleLoaded(TBundled(family.Bundled), (bold ? 1 : 0) + (lf.lfItalic ? 2 : 0));
    QFont f(family.Family);
    int height = lf.lfHeight;
    if (height == 0) height = -11;
    int px = height < 0 ? -height : int(std::lround(height / CellPerEm(family)));
    f.setPixelSize(std::max(1, px));
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    int strategy = QFont::NoFontMerging;
    if (lf.lfQuality == NONANTIALIASED_QUALITY || lf.lfQuality == DRAFT_QUALITY)
        strategy |= QFont::NoAntialias;
    else
        strategy |= QFont::PreferAntialias;
    f.setStyleStrategy(QFont::StyleStrategy(strategy));
    return f;
}

QFont ToQFont(const TFont& Font) {
    LOGFONT lf = Font.LogFont();
    // Fonts of another resolution keep their point size at 96 pixels per inch.
    if (Font.PixelsPerInch() != 96 && lf.lfHeight < 0)
        lf.lfHeight = -std::max(1, int(std::lround(Font.Size() * 96.0 / 72.0)));
    return LogFontToQFont(lf);
}
