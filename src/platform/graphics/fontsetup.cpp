// The process's own font configuration. Every face the program draws with is a
// bundled file it registers itself, so the system's font folders and its alias
// rules are never needed; reading them is most of the font work at start-up.
#include "platform/graphics/qtbridge.h"
#include <map>
#include <set>
#include <string>
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

// Adds the bundled files that fontconfig's cache of their folder describes, as
// described there: nothing of the files themselves is read.
void AddCachedFiles(FcConfig* Config) {
    std::map<std::string, std::set<std::string>> byFolder;
    for (const char* f : BundledFontFiles()) {
        const std::string path = f;
        byFolder[path.substr(0, path.rfind('/'))].insert(path);
    }
    FcFontSet* added = nullptr;
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
            if (!added) {
                // Asking for a file that cannot exist makes the set to add to.
                FcConfigAppFontAddFile(Config, reinterpret_cast<const FcChar8*>("/dev/null/font"));
                added = FcConfigGetFonts(Config, FcSetApplication);
                if (!added) break;
            }
            FcPattern* copy = FcPatternDuplicate(fonts->fonts[i]);
            if (copy && FcFontSetAdd(added, copy))
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
    if (ok) AddCachedFiles(config);
    if (ok && !ConfiguredFiles().count(DefaultFontFile)) {
        ok = FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(DefaultFontFile));
        if (ok) ConfiguredFiles().insert(DefaultFontFile);
    }
    ok = ok && FcConfigSetCurrent(config);
    if (!ok) ConfiguredFiles().clear();
    // The current configuration holds its own reference.
    FcConfigDestroy(config);
    return ok;
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
