#include "app/GameCursors.h"

#include "base/FileStream.h"
#include "base/Path.h"
#include "engine/DXLApp.h"
#include "engine/DXLCursors.h"
#include "engine/DXLTexture.h"
#include "engine/image/DXLBitmapFileFormats.h"

// The slots are the game's cursor ids (resources/CursorIds.h, whose names
// clash with the engine's cursor kinds in one file); the arrow comes first.
const GAMECURSORFILE kGameCursorFiles[kGameCursorCount] = {
    {256, u"arrow.cur"}, {257, u"hand.cur"}, {258, u"arrow_gray.cur"}, {259, u"ibeam.cur"},
    {260, u"pan.cur"},   {261, u"pan_on.cur"}, {61441, u"delete.cur"}};

namespace {

constexpr u32 kPathLength = 260;
constexpr u32 kCursorBlendMode = kBlendAlpha;

}  // namespace

u32 LoadGameCursorFiles(const wchar* dataFolder, DXLTextures* textures) {
  if (!dataFolder || !textures) return 0;
  u32 loaded = 0;
  for (const GAMECURSORFILE& c : kGameCursorFiles) {
    wchar folder[kPathLength], path[kPathLength];
    if (!kis::CombinePathW(folder, kPathLength, dataFolder, u"Cursors", false) ||
        !kis::CombinePathW(path, kPathLength, folder, c.file, false))
      continue;
    i32 x = 0, y = 0;
    {
      kis::FileStreamW file(path, kis::kStreamRead);
      if (!file.IsOpen() || !DXLReadCursorHotspot(&file, &x, &y)) continue;
    }
    DXLTexture* texture = DXLLoadTextureFile(textures, path, kCursorBlendMode, c.file, false);
    if (!texture) continue;
    if (!texture->IsReady()) {
      delete texture;
      continue;
    }
    const DXLCURSORDATA record{kCursorTexture, c.slot, x, y, reinterpret_cast<uintptr_t>(texture)};
    DXLAddCursor(&record);
    if (&c == &kGameCursorFiles[0]) DXLSetDefaultCursor(&record);
    ++loaded;
  }
  return loaded;
}
