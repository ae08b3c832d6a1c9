// The font engine against the pinned free fonts: Liberation (fonts-liberation2) carries the
// metrics of Times New Roman, Arial and Courier New, so the expected widths below are those
// fonts' design advances (units per em 2048) scaled to the em size and rounded per glyph.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/fonts/font_engine.h"
#include "platform/fonts/font_rules.h"
#include "platform/headless.h"

namespace paginor {
namespace {

namespace fs = std::filesystem;

// 12 pt at 600 ppi: an em of 100 pixels.
constexpr int32_t kEm100 = -100;

struct FixedPaths : Paths {
  explicit FixedPaths(std::string dir) : data(std::move(dir)) {}
  std::string programDataDir() const override { return data; }
  std::string userDir() const override { return data; }
  std::string data;
};

std::string freshDir(const std::string& name) {
  fs::path dir = fs::path(PAGINOR_TEST_TMP) / "font_engine" / name;
  fs::remove_all(dir);
  fs::create_directories(dir / "fonts");
  return dir.string();
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream(path) << text;
}

std::string baseName(const std::string& path) {
  return fs::path(path).filename().string();
}

class FontEngineTest : public ::testing::Test {
 protected:
  FontHandle make(const std::string& face, int32_t height = kEm100, int32_t weight = 400,
                  bool italic = false, int32_t resolution = 600) {
    LogFont lf;
    lf.face = face;
    lf.height = height;
    lf.weight = weight;
    lf.italic = italic;
    return fonts->createFont(lf, resolution);
  }
  // The font file that serves a face name, as a file name.
  std::string fileOf(const std::string& face, int32_t weight = 400, bool italic = false) {
    FontHandle h = make(face, kEm100, weight, italic);
    std::string file = baseName(fonts->fontFile(h));
    fonts->deleteFont(h);
    return file;
  }
  int32_t width(const std::string& face, std::string_view text, int32_t height = kEm100) {
    FontHandle h = make(face, height);
    int32_t cx = fonts->textExtent(h, text).cx;
    fonts->deleteFont(h);
    return cx;
  }

  SystemPaths paths;
  std::unique_ptr<FontEngine> fonts = makeFontEngine(paths);
};

TEST_F(FontEngineTest, ShippedConfigurationIsFound) {
  EXPECT_TRUE(fonts->warnings().empty()) << "PAGINOR_DATA_DIR=" << paths.programDataDir()
                                                  << ": " << fonts->warnings().front();
}

TEST_F(FontEngineTest, WindowsFacesMapToTheirMetricTwins) {
  EXPECT_EQ(fileOf("Times New Roman"), "LiberationSerif-Regular.ttf");
  EXPECT_EQ(fileOf("Times New Roman", 700), "LiberationSerif-Bold.ttf");
  EXPECT_EQ(fileOf("Times New Roman", 400, true), "LiberationSerif-Italic.ttf");
  EXPECT_EQ(fileOf("Times New Roman", 700, true), "LiberationSerif-BoldItalic.ttf");
  EXPECT_EQ(fileOf("Times New Roman", 599), "LiberationSerif-Regular.ttf");
  EXPECT_EQ(fileOf("Times New Roman", 600), "LiberationSerif-Bold.ttf");
  EXPECT_EQ(fileOf("times new roman"), "LiberationSerif-Regular.ttf");
  EXPECT_EQ(fileOf("Arial"), "LiberationSans-Regular.ttf");
  EXPECT_EQ(fileOf("Arial", 700), "LiberationSans-Bold.ttf");
  EXPECT_EQ(fileOf("Courier New"), "LiberationMono-Regular.ttf");
  EXPECT_EQ(fileOf("Courier"), "LiberationMono-Regular.ttf");
  EXPECT_EQ(fileOf("Helvetica"), "LiberationSans-Regular.ttf");
  EXPECT_EQ(fileOf("MS Sans Serif"), "LiberationSans-Regular.ttf");
  EXPECT_EQ(fileOf("Microsoft Sans Serif"), "LiberationSans-Regular.ttf");
  // A free font asked for by its own name is used as it is.
  EXPECT_EQ(fileOf("DejaVu Serif"), "DejaVuSerif.ttf");
}

TEST_F(FontEngineTest, UnknownFaceFallsBackToLiberationSans) {
  EXPECT_EQ(fileOf("Gibt es nicht"), "LiberationSans-Regular.ttf");
  EXPECT_EQ(fileOf("Gibt es nicht", 700, true), "LiberationSans-BoldItalic.ttf");
  EXPECT_EQ(fileOf(""), "LiberationSans-Regular.ttf");
  EXPECT_EQ(width("Gibt es nicht", "a"), width("Arial", "a"));
}

TEST_F(FontEngineTest, WidthIsTheSumOfRoundedDesignAdvances) {
  // Times 'a' is 909 units: 44.38 px at an em of 100.
  EXPECT_EQ(width("Times New Roman", "a"), 44);
  // Each glyph is rounded before summing: 4 × 44, not round(177.5).
  EXPECT_EQ(width("Times New Roman", "aaaa"), 176);
  EXPECT_EQ(width("Times New Roman", "Wa "), 94 + 44 + 25);  // 1933, 909, 512 units
  EXPECT_EQ(width("Arial", "a"), 56);                        // 1139 units: 55.62
  // Courier 'a' is 1229 units: exactly 614.5 px at an em of 1024, rounded away from zero.
  EXPECT_EQ(width("Courier New", "a", -1024), 615);
  EXPECT_EQ(width("Times New Roman", ""), 0);

  FontHandle bold = make("Times New Roman", kEm100, 700);
  EXPECT_EQ(fonts->textExtent(bold, "a").cx, 50);  // 1024 units in the bold face
  fonts->deleteFont(bold);
}

TEST_F(FontEngineTest, HeightIsRoundedWindowsAscentPlusDescent) {
  FontHandle h = make("Times New Roman");
  FontMetrics m = fonts->metrics(h);
  EXPECT_EQ(m.ascent, 89);   // usWinAscent 1825: 89.11
  EXPECT_EQ(m.descent, 22);  // usWinDescent 443: 21.63
  EXPECT_EQ(m.height, 111);
  EXPECT_EQ(fonts->textExtent(h, "a").cy, 111);
  fonts->deleteFont(h);

  h = make("Courier New");  // 1705 + 615 units: 83.25 + 30.03
  EXPECT_EQ(fonts->textExtent(h, "x").cy, 83 + 30);
  fonts->deleteFont(h);
}

TEST_F(FontEngineTest, HeightSignSelectsEmOrCellAndZeroIsTwelvePoints) {
  // A positive height is the cell: 111 px of Liberation Serif is the em of 100 again.
  EXPECT_EQ(width("Times New Roman", "W", 111), 94);
  FontHandle cell = make("Times New Roman", 111);
  EXPECT_EQ(fonts->metrics(cell).height, 111);
  fonts->deleteFont(cell);
  // Height 0: 12 pt at the resolution (100 px at 600 ppi, 16 px at 96).
  EXPECT_EQ(width("Times New Roman", "W", 0), 94);
  FontHandle screen = make("Times New Roman", 0, 400, false, 96);
  EXPECT_EQ(fonts->textExtent(screen, "W").cx, 15);  // 1933 × 16 / 2048 = 15.1
  fonts->deleteFont(screen);
}

TEST_F(FontEngineTest, Windows1252BytesMeasureTheirUnicodeGlyphs) {
  EXPECT_EQ(width("Times New Roman", "\xE9"), 44);  // é, 909 units
  EXPECT_EQ(width("Times New Roman", "\xE4"), 44);  // ä, 909 units
  EXPECT_EQ(width("Times New Roman", "\x80"), 50);  // €, 1024 units (.notdef would be 78)
  EXPECT_EQ(width("Arial", "\x80"), 56);            // €, 1139 units
  FontHandle h = make("Arial");
  EXPECT_EQ(fonts->unicodeFor(h, 0x80), U'\u20AC');
  EXPECT_EQ(fonts->unicodeFor(h, 0xE4), U'\u00E4');
  EXPECT_EQ(fonts->unicodeFor(h, 'l'), U'l');
  fonts->deleteFont(h);
}

TEST_F(FontEngineTest, SymbolFacesDrawMappedCharactersFromFreeFonts) {
  FontHandle wd = make("Wingdings");
  EXPECT_EQ(fonts->unicodeFor(wd, 159), U'\u2022');   // the default bullet
  EXPECT_EQ(fonts->unicodeFor(wd, 'l'), U'\u25CF');   // black circle
  EXPECT_EQ(fonts->unicodeFor(wd, 'n'), U'\u25A0');   // black square
  EXPECT_EQ(fonts->unicodeFor(wd, 0xFC), U'\u2714');  // check mark
  EXPECT_EQ(baseName(fonts->fontFile(wd)), "DejaVuSans.ttf");
  // Measured by the mapped glyph (DejaVu Sans U+25CF: 1787 units), not by a letter 'l'.
  EXPECT_EQ(fonts->textExtent(wd, "l").cx, 87);
  // DejaVu Sans lacks U+2353; DejaVu Sans Mono has it and draws it.
  EXPECT_EQ(fonts->unicodeFor(wd, 'y'), U'\u2353');
  EXPECT_EQ(baseName(fonts->fontFileFor(wd, 'y')), "DejaVuSansMono.ttf");
  EXPECT_EQ(baseName(fonts->fontFileFor(wd, 'l')), "DejaVuSans.ttf");
  fonts->deleteFont(wd);

  FontHandle sym = make("SYMBOL");
  EXPECT_EQ(fonts->unicodeFor(sym, 174), U'\u2192');  // the tab mark
  EXPECT_EQ(fonts->unicodeFor(sym, 191), U'\u21B5');  // the line-break mark
  EXPECT_EQ(fonts->unicodeFor(sym, 'a'), U'\u03B1');
  EXPECT_EQ(fonts->unicodeFor(sym, '1'), U'1');
  EXPECT_EQ(fonts->textExtent(sym, "\xAE").cx, 84);  // DejaVu Sans U+2192: 1716 units
  fonts->deleteFont(sym);
}

TEST_F(FontEngineTest, HandlesAreCheckedAndReused) {
  EXPECT_EQ(fonts->textExtent(0, "a").cx, 0);
  EXPECT_EQ(fonts->textExtent(12345, "a").cx, 0);
  EXPECT_EQ(fonts->fontFile(-1), "");
  FontHandle a = make("Arial");
  FontHandle b = make("Times New Roman");
  EXPECT_NE(a, b);
  fonts->deleteFont(a);
  fonts->deleteFont(a);  // twice is harmless
  EXPECT_EQ(fonts->textExtent(a, "a").cx, 0);
  EXPECT_EQ(fonts->textExtent(b, "a").cx, 44);  // the other handle is untouched
  FontHandle c = make("Courier New");
  EXPECT_EQ(fonts->textExtent(c, "a").cx, 60);
  fonts->deleteFont(b);
  fonts->deleteFont(c);
}

TEST_F(FontEngineTest, ExtremeSizesAreBounded) {
  FontHandle huge = make("Arial", INT32_MIN);
  EXPECT_GT(fonts->metrics(huge).height, 0);
  EXPECT_EQ(fonts->textExtent(huge, std::string(1'000'000, 'W')).cx, INT32_MAX);
  fonts->deleteFont(huge);
  FontHandle tallCell = make("Arial", INT32_MAX - 1, 400, false, -5);
  EXPECT_GT(fonts->metrics(tallCell).height, 0);
  fonts->deleteFont(tallCell);
  FontHandle noResolution = make("Arial", 0, 400, false, 0);
  EXPECT_EQ(fonts->textExtent(noResolution, "a").cx, 56);  // as at 600 ppi
  fonts->deleteFont(noResolution);
}

// Without the file the built-in rules apply, and they are the file's rules.
TEST_F(FontEngineTest, MissingConfigurationUsesTheSameBuiltInRules) {
  FixedPaths empty(freshDir("missing"));
  auto builtIn = makeFontEngine(empty);
  auto warnings = builtIn->warnings();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_NE(warnings[0].find("fehlt"), std::string::npos);
  for (const fonts::FaceAlias& alias : fonts::faceAliases()) {
    for (int weight : {400, 700}) {
      LogFont lf;
      lf.face = alias.windowsName;
      lf.height = kEm100;
      lf.weight = weight;
      FontHandle fromFile = fonts->createFont(lf, 600);
      FontHandle fromCode = builtIn->createFont(lf, 600);
      EXPECT_EQ(fonts->fontFile(fromFile), builtIn->fontFile(fromCode)) << alias.windowsName;
      EXPECT_EQ(fonts->textExtent(fromFile, "Wa").cx, builtIn->textExtent(fromCode, "Wa").cx);
    }
  }
}

TEST_F(FontEngineTest, DamagedOrEmptyConfigurationStillMeasures) {
  std::string damagedDir = freshDir("damaged");
  writeFile(fs::path(damagedDir) / fonts::kConfigFile, "<fontconfig><dir>/usr/share/fo");
  FixedPaths damaged(damagedDir);
  auto engine = makeFontEngine(damaged);
  ASSERT_FALSE(engine->warnings().empty());
  EXPECT_NE(engine->warnings()[0].find("fehlerhaft"), std::string::npos);
  LogFont lf;
  lf.face = "Times New Roman";
  lf.height = kEm100;
  EXPECT_EQ(engine->textExtent(engine->createFont(lf, 600), "a").cx, 44);

  // A configuration without font directories finds no font at all: widths are estimated.
  std::string emptyDir = freshDir("no-fonts");
  writeFile(fs::path(emptyDir) / fonts::kConfigFile, "<?xml version=\"1.0\"?><fontconfig/>");
  FixedPaths noFonts(emptyDir);
  auto blind = makeFontEngine(noFonts);
  FontHandle h = blind->createFont(lf, 600);
  EXPECT_GT(blind->textExtent(h, "a").cx, 0);
  EXPECT_GT(blind->metrics(h).height, 0);
  EXPECT_EQ(blind->fontFile(h), "");
  ASSERT_EQ(blind->warnings().size(), 1u);
  EXPECT_NE(blind->warnings()[0].find("keine lesbare Schrift"), std::string::npos);
}

// A system configuration that aliases Times New Roman elsewhere (as fonts-croscore's rules alias
// it to Tinos) must not change which font measures.
TEST_F(FontEngineTest, SystemFontconfigRulesAreIgnored) {
  std::string dir = freshDir("hostile");
  fs::path conf = fs::path(dir) / "hostile.conf";
  writeFile(conf,
            "<?xml version=\"1.0\"?><fontconfig><dir>/usr/share/fonts</dir>"
            "<match target=\"pattern\"><test name=\"family\"><string>Times New Roman</string>"
            "</test><edit name=\"family\" mode=\"assign_replace\" binding=\"strong\">"
            "<string>DejaVu Serif</string></edit></match></fontconfig>");
  // Kept set while the engine is made and used: anything that consults fontconfig's default
  // configuration meets the hostile rule.
  setenv("FONTCONFIG_FILE", conf.c_str(), 1);
  FcConfig* system = FcInitLoadConfigAndFonts();
  ASSERT_NE(system, nullptr);
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Times New Roman"));
  FcConfigSubstitute(system, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* font = FcFontMatch(system, pattern, &result);
  FcChar8* file = nullptr;
  ASSERT_TRUE(font && FcPatternGetString(font, FC_FILE, 0, &file) == FcResultMatch);
  EXPECT_EQ(baseName(reinterpret_cast<const char*>(file)), "DejaVuSerif.ttf");  // rule is live

  auto engine = makeFontEngine(paths);
  FontHandle h = engine->createFont(LogFont{"Times New Roman"}, 600);
  EXPECT_EQ(baseName(engine->fontFile(h)), "LiberationSerif-Regular.ttf");
  EXPECT_EQ(engine->textExtent(h, "a").cx, 44);

  FcPatternDestroy(font);
  FcPatternDestroy(pattern);
  FcConfigDestroy(system);
  unsetenv("FONTCONFIG_FILE");
}

}  // namespace
}  // namespace paginor
