// Shared by the fuzz targets of the resources' data-archive sections
// ("PART", "ANIM"): the input becomes the body of that section in a data
// archive, followed by a whole constants section; the reader reads it the
// way the start-up loader does (yielding after every other record), the
// constants section must still be found afterwards unless the reader failed
// on a read, and what was read is then played and drawn on a small headless
// viewer with the particle set's "spark" and the animation set's "walker".
// Whatever the bytes, it must end cleanly and nothing may leak.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzViewer.h"
#include "ScratchFile.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLWindowViewer.h"
#include "engine/image/SaveBitmapTGA.h"
#include "platform/encoding/Utf.h"
#include "platform/headless/Session.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace datafuzz {

inline u32 g_steps = 0;
inline bool YieldSometimes(float) { return (++g_steps & 1) != 0; }

// A w x 8 picture, opaque but for its first two rows and columns.
inline std::vector<u8> Picture(u32 w, u32 h) {
  std::vector<u32> argb(w * h);
  for (u32 i = 0; i < w * h; ++i) argb[i] = (i % w > 1 && i / w > 1) ? 0xFFC08040u : 0;
  return DXLEncodeTGA32(w, h, argb.data());
}

struct World {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  std::unique_ptr<SpriteSet> particles, animations;
  std::u16string path;
  World() {
    fuzzviewer::Open(viewer);
    SetGameViewer(&viewer);
    particles = std::make_unique<SpriteSet>(kParticleSpriteSet);
    animations = std::make_unique<SpriteSet>(kAnimationSpriteSet);
    AddSprite(*particles, u"spark", 8, 1);
    AddSprite(*animations, u"walker", 32, 4);
    path = plat::Utf8ToUtf16(fuzzscratch::Path("data", ".dat"));
  }
  static void AddSprite(SpriteSet& set, const wchar* name, u32 width, i32 frames) {
    DXLTexture* t = set.GetTextures()->NewTexture();
    t->SetName(name);
    const std::vector<u8> file = Picture(width, 8);
    t->LoadFromMemory(file.data(), static_cast<u32>(file.size()));
    (new Sprite(&set, name, t, SPRITEGRID{frames, 8, 8, 0, 0, {0, 0, 0, 0}}, false, false, 0))->Init();
  }
};

inline World& TheWorld() {
  static World world;
  return world;
}

// Writes the archive and calls the resumable reader `read` on it until it
// finishes; unless a failed read failed the whole archive, the section must
// be closed and the constants behind it readable. Then `use` plays and
// draws what was read, inside a frame.
template <class Read, class Use>
int Run(u32 id, u32 subId, const uint8_t* data, size_t size, Read read, Use use) {
  World& world = TheWorld();
  SetGameViewer(&world.viewer);
  GetResourceServices().loadingProgress = &YieldSometimes;
  const std::vector<DataSection> sections = {{id, subId, std::vector<u8>(data, data + size)},
                                             {kConstantsSectionId, kConstantsSectionSubId, std::vector<u8>(4, 7)}};
  if (!WriteDataArchive(world.path.c_str(), sections)) return 0;
  kis::DataFileReaderW* reader = kis::OpenDataFileReaderW(world.path.c_str(), kDataArchiveSignature1,
                                                          kDataArchiveSignature2, kDataArchiveVersion);
  if (!reader) return 0;
  SectionCursor cursor;
  u32 calls = 0;
  while (read(reader, &cursor) == 0)
    if (++calls > (1u << 24)) __builtin_trap();  // every call takes a record: it must end
  if (reader->IsOk()) {
    if (reader->GetOpenEntry() || !reader->OpenSection(kConstantsSectionId, kConstantsSectionSubId))
      __builtin_trap();
    reader->CloseSection();
  }
  kis::CloseDataFile(reader);
  if (world.viewer.BeginFrame() == 0) {
    use();
    UnbindDrawTexture();
    world.viewer.Present();
  }
  GetResourceServices().loadingProgress = nullptr;
  return 0;
}

}  // namespace datafuzz
