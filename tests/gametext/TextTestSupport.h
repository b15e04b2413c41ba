// Shared helpers of the bitmap-font, font-data, layout and text-object tests:
// a picture texture filled by a function, description files written into a
// temporary folder, and small fonts whose glyphs are blocks of known size.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "engine/DXLTexture.h"
#include "gametext/KGEBitmapFont.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxTypes.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/ImageFiles.h"
#include "testsupport/TempFolder.h"

namespace texttest {

// A w x h A8R8G8B8 picture on the viewer with pixels from `pixel(x, y)`.
inline std::unique_ptr<DXLTexture> MakePicture(DXLViewer* viewer, i32 w, i32 h,
                                               const std::function<u32(i32, i32)>& pixel) {
  auto t = std::make_unique<DXLTexture>(viewer);
  t->Create(w, h, plat::gfx::D3DFMT_A8R8G8B8, true);
  u8* bits = t->Lock(0);
  if (!bits) return t;
  for (i32 y = 0; y < t->GetHeight(); ++y)
    for (i32 x = 0; x < t->GetWidth(); ++x)
      kis::PutU32LE(bits + y * t->GetLockPitch() + x * 4, x < w && y < h ? pixel(x, y) : 0);
  t->Unlock();
  return t;
}

// Reads the texel at (x, y) of a texture.
inline u32 Texel(DXLTexture* t, i32 x, i32 y) {
  const u8* bits = t->Lock(0);
  const u32 v = bits ? kis::GetU32LE(bits + y * t->GetLockPitch() + x * 4) : 0;
  t->Unlock();
  return v;
}

inline std::string WriteDescription(const TempFolder& folder, const std::string& name, const std::string& body) {
  const std::string path = folder.Path() + "/" + name;
  const std::string bytes = "\xEF\xBB\xBF" + body;
  EXPECT_TRUE(testsupport::WriteFileBytes(path, std::vector<u8>(bytes.begin(), bytes.end())));
  return path;
}

// Loads a description with the given picture (not owned by the font).
inline std::unique_ptr<KGEBitmapFont> LoadDescription(DXLViewer* viewer, DXLTexture* picture, const std::string& path,
                                                      i32* hr) {
  KGEBitmapFont* font = nullptr;
  DXLTexture* p = picture;
  *hr = KGELoadBitmapFontFile(viewer, &p, nullptr, false, plat::Utf8ToUtf16(path).c_str(), nullptr, &font);
  return std::unique_ptr<KGEBitmapFont>(font);
}

}  // namespace texttest
