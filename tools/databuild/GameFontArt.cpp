#include "GameFontArt.h"
#include "common/ToolViewer.h"

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "ArtBook.h"
#include "DataSetBuild.h"
#include "PictureCatalog.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/DXLTexture.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEFontBaker.h"
#include "gametext/KGEWinFont.h"
#include "platform/encoding/Utf.h"
#include "platform/headless/Session.h"
#include "ui/GameFontSection.h"

namespace fs = std::filesystem;

namespace {

// Game fonts 5 to 9: the empty panel's times, plain texts, the flying
// labels over the level, the map's level numbers, large titles.
struct GameFontRecipe {
  i32 points;
  bool bold;
};
constexpr GameFontRecipe kRecipes[kGameFontSlots] = {{14, true}, {12, false}, {16, true}, {13, true}, {20, true}};

// A baked font's glyph picture, 0xAARRGGBB with straight alpha.
struct GlyphPicture {
  u32 width = 0;
  u32 height = 0;
  std::vector<u32> argb;
};

struct BakedFonts {
  std::vector<u8> section;
  GlyphPicture pictures[kGameFontSlots];
};

BakedFonts& Baked() {
  static BakedFonts baked;
  return baked;
}

std::string PictureName(u32 slot) { return "game_font_" + std::to_string(5 + slot); }

GlyphPicture CopyPicture(DXLTexture* texture) {
  GlyphPicture p;
  const i32 w = texture->GetImageWidth(), h = texture->GetImageHeight();
  const u8* bits = texture->Lock(0);
  if (!bits || w <= 0 || h <= 0) {
    if (bits) texture->Unlock();
    return p;
  }
  p.width = static_cast<u32>(w);
  p.height = static_cast<u32>(h);
  p.argb.resize(static_cast<size_t>(w) * h);
  for (i32 y = 0; y < h; ++y)
    for (i32 x = 0; x < w; ++x)
      p.argb[static_cast<size_t>(y) * w + x] = kis::GetU32LE(bits + static_cast<size_t>(y) * texture->GetLockPitch() + x * 4);
  texture->Unlock();
  return p;
}

// A system font of the recipe baked into a bitmap font on its own picture.
std::unique_ptr<KGEBitmapFont> Bake(DXLWindowViewer& viewer, const GameFontRecipe& recipe, const fs::path& folder,
                                    GlyphPicture* picture) {
  const std::u16string chars = tools::LatinGlyphSet();
  KGEWinFont* raw = nullptr;
  i32 hr = KGECreateWinFont(&viewer, 0, recipe.points, 0, 1, recipe.bold ? kKGEStyleBold : 0, 0, 0, 0xFFFFFF,
                            u"Arial", KGEWinFont::kMeasureSpace, chars.c_str(), static_cast<u32>(chars.size()), u'?',
                            nullptr, nullptr, 0, 0, 0xFFFFFFFFu, &raw);
  std::unique_ptr<KGEWinFont> win(raw);
  if (hr == 0) hr = win->Acquire();
  const fs::path description = folder / "font.txt";
  if (hr == 0) hr = KGEBakeBitmapFont(win.get(), (folder / "font.tga").string(), description.string(), "font.tga");
  if (hr != 0) return nullptr;
  *picture = CopyPicture(win->GetTexture());
  DXLTexture* texture = win->GetTexture();
  KGEBitmapFont* font = nullptr;
  const std::u16string path = plat::Utf8ToUtf16(description.string());
  if (KGELoadBitmapFontFile(&viewer, &texture, nullptr, false, path.c_str(), nullptr, &font) != 0) return nullptr;
  return std::unique_ptr<KGEBitmapFont>(font);
}

// The body WriteGameFontSection writes, through a scratch file.
std::vector<u8> SectionBytes(const std::vector<GameFontEntry>& entries, const fs::path& folder) {
  const std::u16string path = plat::Utf8ToUtf16((folder / "FONT.dat").string());
  std::vector<u8> bytes;
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(path.c_str(), 1, 1, 1, false);
  if (!w) return bytes;
  const bool written = w->BeginSection(1, 0) && WriteGameFontSection(w, entries) && w->EndSection();
  if (!kis::CloseDataFile(w) || !written) return bytes;
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(path.c_str(), 1, 1, 1);
  if (r && r->OpenSection(1, 0)) {
    bytes.resize(r->GetSectionSize());
    if (!bytes.empty() && !r->Read(bytes.data(), static_cast<u32>(bytes.size()))) bytes.clear();
  }
  kis::CloseDataFile(r);
  return bytes;
}

void DrawPicture(u32 slot, cairo_t* cr) {
  const GlyphPicture& p = Baked().pictures[slot];
  if (p.argb.empty()) return;
  // Cairo wants premultiplied alpha.
  std::vector<u32> pre(p.argb.size());
  for (size_t i = 0; i < pre.size(); ++i) {
    const u32 c = p.argb[i], a = c >> 24;
    const auto mul = [a](u32 v) { return (v * a + 127) / 255; };
    pre[i] = (a << 24) | (mul((c >> 16) & 0xFF) << 16) | (mul((c >> 8) & 0xFF) << 8) | mul(c & 0xFF);
  }
  cairo_surface_t* s = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pre.data()),
                                                           CAIRO_FORMAT_ARGB32, static_cast<int>(p.width),
                                                           static_cast<int>(p.height), static_cast<int>(p.width * 4));
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, s, 0, 0);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(s);
}

}  // namespace

bool BakeGameFonts(DataSetBuild& build, ContentSourceTables&) {
  std::error_code ec;
  const fs::path folder = fs::temp_directory_path(ec) / ("databuild_fonts_" + std::to_string(::getpid()));
  fs::create_directories(folder, ec);
  bool ok = !ec;
  {
    plat::headless::Session session;
    plat::PlatformServicesScope installed{session.Services()};
    DXLWindowViewer viewer;
    ok = ok && tools::CreateToolWindow(viewer, u"DataBuildFonts") && tools::SetToolDisplayMode(viewer, 320, 240) == 0;
    std::vector<std::unique_ptr<KGEBitmapFont>> fonts;
    std::vector<std::u16string> names;
    for (u32 slot = 0; ok && slot < kGameFontSlots; ++slot) {
      fonts.push_back(Bake(viewer, kRecipes[slot], folder, &Baked().pictures[slot]));
      names.push_back(plat::Utf8ToUtf16(PictureName(slot)));
      ok = fonts.back() != nullptr && !Baked().pictures[slot].argb.empty();
    }
    if (ok) {
      std::vector<GameFontEntry> entries;
      for (u32 slot = 0; slot < kGameFontSlots; ++slot) entries.push_back({fonts[slot].get(), names[slot].c_str()});
      Baked().section = SectionBytes(entries, folder);
      ok = !Baked().section.empty();
    }
  }
  fs::remove_all(folder, ec);
  if (!ok) {
    std::fprintf(stderr, "databuild: the game fonts do not bake\n");
    return false;
  }
  for (u32 slot = 0; slot < kGameFontSlots; ++slot) {
    std::string error;
    if (!build.Pictures().Require(1, PictureName(slot), PictureKind::kImage, Baked().pictures[slot].width,
                                  Baked().pictures[slot].height, "the game fonts", &error)) {
      std::fprintf(stderr, "databuild: %s\n", error.c_str());
      return false;
    }
  }
  return true;
}

std::vector<u8> GameFontSection() { return Baked().section; }

void AddGameFontArt(ArtBook& book) {
  for (u32 slot = 0; slot < kGameFontSlots; ++slot) {
    ArtPiece piece;
    piece.draw = [slot](cairo_t* cr, const ArtFrame&) { DrawPicture(slot, cr); };
    piece.layout = FrameLayout{1, 1};
    book.Add(1, PictureName(slot), std::move(piece));
  }
}
