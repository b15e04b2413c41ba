#include "StartScreenModules.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "PictureCanvas.h"
#include "StartScreenArt.h"

namespace fs = std::filesystem;

bool WriteDataFile(DataSetBuild& build, const std::string& relative, const std::vector<u8>& bytes) {
  const fs::path path = build.DataPath(relative);
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "databuild: cannot write %s\n", path.string().c_str());
    return false;
  }
  return true;
}

namespace {

template <class Draw>
std::vector<u8> Targa(u32 w, u32 h, Draw draw) {
  PictureCanvas canvas(w, h);
  draw(canvas);
  return canvas.TargaFile();
}

// A picture with text: the font outlives the canvas.
template <class Draw>
std::vector<u8> TargaWithText(u32 w, u32 h, Draw draw) {
  LabelFont font;
  return Targa(w, h, [&](PictureCanvas& c) { draw(c, font); });
}

}  // namespace

bool LogosModule::Build(DataSetBuild& build) {
  // The studio's mark may not be skipped; the game's logo may.
  char list[256];
  std::snprintf(list, sizeof list,
                "// The logos shown before the loading: picture, background colour, ms, not skippable.\n"
                "studio = \"studio.tga\", %06X, 2000, 1\n"
                "game = \"game.tga\", %06X, 2500\n",
                kStudioBackground, kGameLogoBackground);
  const std::string text(list);
  return WriteDataFile(build, "Logos/studio.tga", TargaWithText(800, 600, DrawStudioMark)) &&
         WriteDataFile(build, "Logos/game.tga", TargaWithText(800, 600, DrawGameLogo)) &&
         WriteDataFile(build, "Logos/Logos.txt", std::vector<u8>(text.begin(), text.end()));
}

bool LoadingModule::Build(DataSetBuild& build) {
  return WriteDataFile(build, "Loading/loading.tga", Targa(400, 28, DrawLoadingBar)) &&
         WriteDataFile(build, "Loading/back_glow.tga", Targa(160, 96, DrawBackGlow)) &&
         WriteDataFile(build, "Loading/loading_panel.tga", Targa(416, 44, DrawLoadingPanel)) &&
         WriteDataFile(build, "Loading/screen_border.tga", Targa(64, 128, DrawScreenBorder));
}

bool CursorsModule::Build(DataSetBuild& build) {
  for (u32 i = 0; i < kCursorArtCount; ++i) {
    PictureCanvas canvas(32, 32);
    DrawCursor(canvas, i);
    const CursorArt& art = kCursorArt[i];
    if (!WriteDataFile(build, std::string("Cursors/") + art.file,
                       CursorFile(32, 32, canvas.Pixels(), art.hotspotX, art.hotspotY)))
      return false;
  }
  return true;
}

std::vector<u8> BitmapFile32(u32 width, u32 height, const std::vector<u32>& argb) {
  std::vector<u8> out;
  auto u16_ = [&](u32 v) {
    out.push_back(static_cast<u8>(v));
    out.push_back(static_cast<u8>(v >> 8));
  };
  auto u32_ = [&](u32 v) {
    u16_(v & 0xFFFF);
    u16_(v >> 16);
  };
  const u32 pixels = width * height * 4;
  out.push_back('B');
  out.push_back('M');
  u32_(54 + pixels);
  u32_(0);
  u32_(54);
  u32_(40);
  u32_(width);
  u32_(height);
  u16_(1);
  u16_(32);
  for (int i = 0; i < 6; ++i) u32_(0);
  for (u32 r = 0; r < height; ++r)
    for (u32 x = 0; x < width; ++x) u32_(argb[(height - 1 - r) * width + x]);
  return out;
}

bool WindowIconModule::Build(DataSetBuild& build) {
  PictureCanvas canvas(64, 64);
  DrawWindowIcon(canvas);
  return WriteDataFile(build, "icon.bmp", BitmapFile32(64, 64, canvas.Pixels()));
}

std::vector<u8> LoadingLogoFile() { return TargaWithText(320, 160, DrawLoadingLogo); }
std::vector<u8> TitleLogoFile() { return TargaWithText(512, 256, DrawTitleLogo); }
std::vector<u8> CreditsFarmFile() { return Targa(256, 128, DrawCreditsFarm); }
