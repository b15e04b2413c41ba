#include "StartScreenModules.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ContactSheet.h"
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

// A picture drawn on a w x h canvas, written as a Targa file at the data
// folder's relative path and, when a contact sheet is gathered, put on it
// under that path.
template <class Draw>
bool WritePicture(DataSetBuild& build, const std::string& relative, u32 w, u32 h, Draw draw) {
  PictureCanvas canvas(w, h);
  draw(canvas);
  if (ContactSheet* sheet = build.Sheet())
    sheet->AddPicture(SheetPicture{kLooseFilesSheetSet, relative, PictureKind::kImage, w, h, 1, 1, 0, false, w, h,
                                   canvas.Pixels()});
  return WriteDataFile(build, relative, canvas.TargaFile());
}

// A picture with text: the font outlives the canvas.
template <class Draw>
bool WritePictureWithText(DataSetBuild& build, const std::string& relative, u32 w, u32 h, Draw draw) {
  LabelFont font;
  return WritePicture(build, relative, w, h, [&](PictureCanvas& c) { draw(c, font); });
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
  return WritePictureWithText(build, "Logos/studio.tga", 800, 600, DrawStudioMark) &&
         WritePictureWithText(build, "Logos/game.tga", 800, 600, DrawGameLogo) &&
         WriteDataFile(build, "Logos/Logos.txt", std::vector<u8>(text.begin(), text.end()));
}

bool LoadingModule::Build(DataSetBuild& build) {
  return WritePicture(build, "Loading/loading.tga", 400, 28, DrawLoadingBar) &&
         WritePicture(build, "Loading/back_glow.tga", 160, 96, DrawBackGlow) &&
         WritePicture(build, "Loading/loading_panel.tga", 416, 44, DrawLoadingPanel) &&
         WritePicture(build, "Loading/screen_border.tga", 64, 128, DrawScreenBorder);
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

bool WriteLanguagePictures(DataSetBuild& build) {
  return WritePictureWithText(build, "language/images/loading_logo.tga", 320, 160, DrawLoadingLogo) &&
         WritePictureWithText(build, "language/images/logo.tga", 512, 256, DrawTitleLogo) &&
         WritePicture(build, "language/images/credits_farm.tga", 256, 128, DrawCreditsFarm);
}
