#include "LanguageModule.h"
#include "StartScreenModules.h"
#include "common/ToolViewer.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "engine/DXLWindowViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/KGEFontBaker.h"
#include "gametext/KGEWinFont.h"
#include "gametext/TextServices.h"
#include "platform/encoding/Utf.h"
#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"

namespace fs = std::filesystem;

namespace {

// The four interface fonts: file name, size in points, bold, outline.
struct FontRecipe {
  const char* name;
  i32 points;
  bool bold;
  float outline;
};
constexpr FontRecipe kFonts[] = {
    {"buttons_font", 11, true, 0.0f},
    {"caption_font", 15, true, 1.0f},
    {"main_font", 11, false, 0.0f},
    {"main_big_font", 15, false, 0.0f},
};

bool OpenViewer(DXLWindowViewer& viewer) {
  return tools::CreateToolWindow(viewer, u"DataBuild") && tools::SetToolDisplayMode(viewer, 320, 240) == 0;
}

bool BakeFont(DXLWindowViewer& viewer, const FontRecipe& recipe, const std::string& out) {
  const std::u16string chars = tools::LatinGlyphSet();
  DXLOUTLINE outline{};
  u32 flags = 0;
  if (recipe.outline > 0) {
    DXLMakeOutline(&outline, 1, recipe.outline, 0xFF000000u, 1, 0);
    flags |= kKGEWinFontOutline;
  }
  KGEWinFont* raw = nullptr;
  i32 hr = KGECreateWinFont(&viewer, flags, recipe.points, 0, 1, recipe.bold ? kKGEStyleBold : 0, 0, 0, 0xFFFFFF,
                            u"Arial", KGEWinFont::kMeasureSpace, chars.c_str(), static_cast<u32>(chars.size()), u'?',
                            &outline, nullptr, 0, 0, 0xFFFFFFFFu, &raw);
  std::unique_ptr<KGEWinFont> font(raw);
  if (hr == 0) hr = font->Acquire();
  if (hr == 0) hr = KGEBakeBitmapFont(font.get(), out + ".tga", out + ".txt", std::string(recipe.name) + ".tga");
  if (hr != 0) std::fprintf(stderr, "databuild: font %s failed (0x%08X)\n", recipe.name, static_cast<unsigned>(hr));
  return hr == 0;
}

}  // namespace

bool LanguageModule::Build(DataSetBuild& build) {
  const BuildOptions& options = build.Options();
  const fs::path source = fs::path(options.sourceDir) / "language";
  const fs::path staged = fs::path(options.dataDir) / "language";
  std::error_code ec;
  fs::remove_all(staged, ec);
  fs::create_directories(staged / "fonts", ec);
  fs::copy(source / "english.txt", staged / "english.txt", fs::copy_options::overwrite_existing, ec);
  if (ec) {
    std::fprintf(stderr, "databuild: cannot stage the language: %s\n", ec.message().c_str());
    return false;
  }
  // The language's pictures are drawn: the loading screen's logo, the main
  // screen's title and the credits' farm.
  if (!WriteLanguagePictures(build)) return false;

  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  if (!OpenViewer(viewer)) {
    std::fprintf(stderr, "databuild: no device\n");
    return false;
  }
  for (const FontRecipe& recipe : kFonts)
    if (!BakeFont(viewer, recipe, (staged / "fonts" / recipe.name).string())) return false;

  GetTextServices().languageViewer = &viewer;
  const std::u16string tree = plat::Utf8ToUtf16(fs::absolute(staged / "english.txt").string());
  const std::u16string cache = plat::Utf8ToUtf16(fs::absolute(fs::path(options.dataDir) / FileName()).string());
  bool result = true;
  {
    GameLanguage language(tree.c_str());
    const u32 code = language.SaveCache(cache.c_str());
    if (code != 0) {
      std::fprintf(stderr, "databuild: writing language.dat failed with %u\n", code);
      result = false;
    }
  }
  if (result) {
    GameLanguage check(cache.c_str());
    check.Acquire();
    u32 fonts = 0;
    for (u32 i = 0; i < kGameFontCount; ++i) fonts += check.GetFont(i) ? 1 : 0;
    if (check.GetTableCount() < 29 || fonts != kGameFontCount || !check.GetLogo().image) {
      std::fprintf(stderr, "databuild: language.dat does not read back whole (%u tables, %u fonts)\n",
                   check.GetTableCount(), fonts);
      result = false;
    } else {
      std::printf("language.dat: %u tables, %u comic captions, %u credits, %u fonts\n", check.GetTableCount(),
                  check.GetComixCount(), check.GetCreditCount(), fonts);
    }
  }
  GetTextServices().languageViewer = nullptr;
  return result;
}
