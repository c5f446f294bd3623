// The process's own font configuration. The bundled families are there from
// the start, as fontconfig's cache of their folders describes them; the
// system's other fonts join only when first needed, since reading the system's
// configuration and font list is most of the font work at start-up. Every face
// renders with the rules below; the system's own rules only choose the face
// for a name that no font carries.
#include "platform/graphics/qtbridge.h"
#include <cctype>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <strings.h>
#include <vector>
#ifdef QM_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace {

#if defined(QM_HAVE_FONTCONFIG) && FC_VERSION >= 21291
// The rendering settings the stock configuration gives the bundled families:
// slight hinting, grey antialiasing with the default LCD filter, no hinting
// for the DejaVu families below 7.5 pixels, and the synthetic oblique and bold
// for a style a family lacks.
constexpr char Configuration[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
  <match target="pattern">
    <test qual="any" name="family"><string>sans serif</string></test>
    <edit name="family" mode="assign" binding="same"><string>sans-serif</string></edit>
  </match>
  <alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <alias><family>serif</family><prefer><family>DejaVu Serif</family></prefer></alias>
  <alias><family>monospace</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>
  <match target="pattern">
    <edit name="hintstyle" mode="append"><const>hintslight</const></edit>
    <edit name="antialias" mode="append"><bool>true</bool></edit>
    <edit name="lcdfilter" mode="append"><const>lcddefault</const></edit>
  </match>
  <match target="font">
    <test name="family"><string>DejaVu Sans</string></test>
    <test compare="less" name="pixelsize"><double>7.5</double></test>
    <edit name="hinting"><bool>false</bool></edit>
  </match>
  <match target="font">
    <test name="family"><string>DejaVu Serif</string></test>
    <test compare="less" name="pixelsize"><double>7.5</double></test>
    <edit name="hinting"><bool>false</bool></edit>
  </match>
  <match target="font">
    <test name="family"><string>DejaVu Sans Mono</string></test>
    <test compare="less" name="pixelsize"><double>7.5</double></test>
    <edit name="hinting"><bool>false</bool></edit>
  </match>
  <match target="font">
    <test name="slant"><const>roman</const></test>
    <test target="pattern" name="slant" compare="not_eq"><const>roman</const></test>
    <edit name="matrix" mode="assign">
      <times><name>matrix</name>
        <matrix><double>1</double><double>0.2</double><double>0</double><double>1</double></matrix>
      </times>
    </edit>
    <edit name="slant" mode="assign"><const>oblique</const></edit>
    <edit name="embeddedbitmap" mode="assign"><bool>false</bool></edit>
  </match>
  <match target="font">
    <test name="weight" compare="less_eq"><const>medium</const></test>
    <test target="pattern" name="weight" compare="more_eq"><const>bold</const></test>
    <edit name="embolden" mode="assign"><bool>true</bool></edit>
    <edit name="weight" mode="assign"><const>bold</const></edit>
  </match>
</fontconfig>
)";

std::set<std::string>& ConfiguredFiles() {
    static std::set<std::string> files;
    return files;
}

// Adds the bundled files that fontconfig's cache of their folders describes, as
// described there: nothing of the files themselves is read. They go with the
// system's fonts, not the application's: Qt clears those when it reads its
// font list again.
void AddCachedFiles(FcConfig* Config, FcFontSet* Into) {
    std::map<std::string, std::set<std::string>> byFolder;
    for (const char* f : BundledFontFiles()) {
        const std::string path = f;
        byFolder[path.substr(0, path.rfind('/'))].insert(path);
    }
    for (const auto& [folder, files] : byFolder) {
        FcCache* cache =
            FcDirCacheLoad(reinterpret_cast<const FcChar8*>(folder.c_str()), Config, nullptr);
        if (!cache) continue;
        FcFontSet* fonts = FcCacheCopySet(cache);
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch ||
                !files.count(reinterpret_cast<const char*>(file)))
                continue;
            FcPattern* copy = FcPatternDuplicate(fonts->fonts[i]);
            if (copy && FcFontSetAdd(Into, copy))
                ConfiguredFiles().insert(reinterpret_cast<const char*>(file));
            else if (copy)
                FcPatternDestroy(copy);
        }
        if (fonts) FcFontSetDestroy(fonts);
        FcDirCacheUnload(cache);
    }
}

// Qt's own widgets write in the generic sans-serif family, which the
// configuration names DejaVu Sans: it is there from the start.
constexpr char DefaultFontFile[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool MakeOwnConfiguration() {
    FcConfig* config = FcConfigCreate();
    if (!config) return false;
    bool ok = FcConfigParseAndLoadFromMemory(
        config, reinterpret_cast<const FcChar8*>(Configuration), FcTrue);
    // Without font folders this only makes the empty set of the system's fonts.
    ok = ok && FcConfigBuildFonts(config);
    FcFontSet* fonts = ok ? FcConfigGetFonts(config, FcSetSystem) : nullptr;
    ok = fonts != nullptr;
    if (ok) AddCachedFiles(config, fonts);
    if (ok && !ConfiguredFiles().count(DefaultFontFile)) {
        // No cache describes it: read from the file, then kept with the others.
        ok = FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(DefaultFontFile));
        FcFontSet* read = ok ? FcConfigGetFonts(config, FcSetApplication) : nullptr;
        for (int i = 0; read && i < read->nfont; ++i) {
            FcPattern* copy = FcPatternDuplicate(read->fonts[i]);
            if (copy && !FcFontSetAdd(fonts, copy)) FcPatternDestroy(copy);
        }
        FcConfigAppFontClear(config);
        if (ok) ConfiguredFiles().insert(DefaultFontFile);
    }
    ok = ok && FcConfigSetCurrent(config);
    if (!ok) ConfiguredFiles().clear();
    // The current configuration holds its own reference.
    FcConfigDestroy(config);
    return ok;
}

bool IsBundledFamily(const FcChar8* Name) {
    for (const char* family : BundledFamilyNames())
        if (strcasecmp(family, reinterpret_cast<const char*>(Name)) == 0) return true;
    return false;
}

int CountValues(FcPattern* Pattern, const char* Object) {
    int n = 0;
    FcValue v;
    while (FcPatternGet(Pattern, Object, n, &v) == FcResultMatch)
        ++n;
    return n;
}

// A copy of an installed font without the bundled families' names, so those
// names always mean the bundled files (an extra style of DejaVu Sans stays
// under its own name, "DejaVu Sans Condensed"); null when no name is left.
// The foundry goes too: the platform's lists name a family once, whoever made
// which of its files.
FcPattern* InstalledCopy(FcPattern* Font) {
    FcPattern* copy = FcPatternDuplicate(Font);
    if (!copy) return nullptr;
    const int families = CountValues(copy, FC_FAMILY);
    // Styles and languages run beside the names they go with, when as many.
    const bool parallelStyles = CountValues(copy, FC_STYLE) == families;
    int left = families;
    for (int i = families - 1; i >= 0; --i) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(copy, FC_FAMILY, i, &name) != FcResultMatch ||
            !IsBundledFamily(name))
            continue;
        FcPatternRemove(copy, FC_FAMILY, i);
        FcPatternRemove(copy, FC_FAMILYLANG, i);
        if (parallelStyles) {
            FcPatternRemove(copy, FC_STYLE, i);
            FcPatternRemove(copy, FC_STYLELANG, i);
        }
        --left;
    }
    FcPatternDel(copy, FC_FOUNDRY);
    if (left > 0) return copy;
    FcPatternDestroy(copy);
    return nullptr;
}

// One face of a family: the same face installed as several files (outlines in
// two formats, say) is offered once.
std::string FaceKey(FcPattern* Font) {
    std::string key;
    FcChar8* text = nullptr;
    if (FcPatternGetString(Font, FC_FAMILY, 0, &text) == FcResultMatch)
        for (const char* c = reinterpret_cast<const char*>(text); *c; ++c)
            key += char(std::tolower(static_cast<unsigned char>(*c)));
    key += '\n';
    if (FcPatternGetString(Font, FC_STYLE, 0, &text) == FcResultMatch)
        key += reinterpret_cast<const char*>(text);
    for (const char* object : {FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_SPACING, FC_PIXEL_SIZE}) {
        double d = 0;
        int i = 0;
        if (FcPatternGetDouble(Font, object, 0, &d) == FcResultMatch)
            key += '\n' + std::to_string(d);
        else if (FcPatternGetInteger(Font, object, 0, &i) == FcResultMatch)
            key += '\n' + std::to_string(i);
        else
            key += "\n-";
    }
    return key;
}

// Outline formats the renderer draws best come first.
int FormatRank(FcPattern* Font) {
    FcChar8* format = nullptr;
    if (FcPatternGetString(Font, FC_FONTFORMAT, 0, &format) != FcResultMatch) return 2;
    const char* f = reinterpret_cast<const char*>(format);
    if (std::strcmp(f, "CFF") == 0 || std::strcmp(f, "TrueType") == 0) return 0;
    return std::strcmp(f, "Type 1") == 0 ? 1 : 2;
}

bool GSystemFontsAdded = false;

// The system's configuration as fontconfig reads it without us, for its font
// list and its substitutions; kept once read.
FcConfig* SystemConfiguration() {
    static FcConfig* const system = FcInitLoadConfigAndFonts();
    return system;
}

bool AddSystemFontsToOwn() {
    FcConfig* own = FcConfigGetCurrent();
    FcFontSet* into = own ? FcConfigGetFonts(own, FcSetSystem) : nullptr;
    if (!into) return false;
    FcConfig* system = SystemConfiguration();
    if (!system) return false;
    std::vector<FcPattern*> kept;
    std::map<std::string, size_t> byFace;
    for (FcSetName set : {FcSetSystem, FcSetApplication}) {
        FcFontSet* fonts = FcConfigGetFonts(system, set);
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcChar8* file = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch &&
                ConfiguredFiles().count(reinterpret_cast<const char*>(file)))
                continue;
            FcPattern* copy = InstalledCopy(fonts->fonts[i]);
            if (!copy) continue;
            const auto [at, first] = byFace.emplace(FaceKey(copy), kept.size());
            if (first) {
                kept.push_back(copy);
            } else if (FormatRank(copy) < FormatRank(kept[at->second])) {
                FcPatternDestroy(kept[at->second]);
                kept[at->second] = copy;
            } else {
                FcPatternDestroy(copy);
            }
        }
    }
    for (FcPattern* font : kept)
        if (!FcFontSetAdd(into, font)) FcPatternDestroy(font);
    return true;
}

// The family names of the font the system's configuration gives for a family
// name (for none: the system's default face).
std::vector<std::string> SystemMatch(FcConfig* System, const char* Family) {
    std::vector<std::string> names;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return names;
    if (Family) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Family));
    FcConfigSubstitute(System, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* font = FcFontMatch(System, pattern, &result)) {
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &name) == FcResultMatch; ++i)
            names.emplace_back(reinterpret_cast<const char*>(name));
        FcPatternDestroy(font);
    }
    FcPatternDestroy(pattern);
    return names;
}

// Every character of every bundled file the configuration holds.
FcCharSet* MakeBundledCoverage() {
    std::set<std::string> bundled;
    for (const char* f : BundledFontFiles())
        bundled.insert(f);
    FcCharSet* all = FcCharSetCreate();
    FcConfig* own = FcConfigGetCurrent();
    for (FcSetName set : {FcSetSystem, FcSetApplication}) {
        FcFontSet* fonts = own ? FcConfigGetFonts(own, set) : nullptr;
        for (int i = 0; all && fonts && i < fonts->nfont; ++i) {
            FcChar8* file = nullptr;
            FcCharSet* chars = nullptr;
            if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch &&
                bundled.count(reinterpret_cast<const char*>(file)) &&
                FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &chars) == FcResultMatch)
                FcCharSetMerge(all, chars, nullptr);
        }
    }
    return all;
}
#else
bool MakeOwnConfiguration() {
    return false;
}
#endif

} // namespace

bool PrepareFontConfiguration() {
    // Whatever fails, fontconfig later loads the system's configuration itself.
    static const bool own = MakeOwnConfiguration();
    return own;
}

bool ConfiguredFontFile(const char* Path) {
#if defined(QM_HAVE_FONTCONFIG) && FC_VERSION >= 21291
    return PrepareFontConfiguration() && ConfiguredFiles().count(Path);
#else
    (void)Path;
    return false;
#endif
}

bool AddSystemFonts() {
#if defined(QM_HAVE_FONTCONFIG) && FC_VERSION >= 21291
    if (!PrepareFontConfiguration()) return false;
    if (!GSystemFontsAdded) GSystemFontsAdded = AddSystemFontsToOwn();
    return GSystemFontsAdded;
#else
    return false;
#endif
}

std::vector<std::string> SubstituteFamilies(const char* Family) {
#if defined(QM_HAVE_FONTCONFIG) && FC_VERSION >= 21291
    FcConfig* system = SystemConfiguration();
    if (!system) return {};
    static const std::vector<std::string> fallback = SystemMatch(system, nullptr);
    std::vector<std::string> found = SystemMatch(system, Family);
    // The system's default face is no substitute: it stands for no match at all.
    if (found.empty() || (!fallback.empty() && found.front() == fallback.front())) return {};
    return found;
#else
    (void)Family;
    return {};
#endif
}

bool BundledFontsHave(char32_t Char) {
#if defined(QM_HAVE_FONTCONFIG) && FC_VERSION >= 21291
    if (!PrepareFontConfiguration()) return true;
    static FcCharSet* const coverage = MakeBundledCoverage();
    return !coverage || FcCharSetHasChar(coverage, Char);
#else
    (void)Char;
    return true;
#endif
}
