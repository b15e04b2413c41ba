// Shared by the three sprite-section fuzz targets: the input becomes set 2's
// section of one kind in an otherwise whole sprite archive, which is read
// the way the start-up loader reads it (yielding after every other record),
// and set 2's sprites and map sprites are then loaded, drawn and released.
// Whatever the bytes, reading must end cleanly and nothing may leak.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzViewer.h"
#include "ScratchFile.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLWindowViewer.h"
#include "engine/image/SaveBitmapTGA.h"
#include "platform/encoding/Utf.h"
#include "platform/os/WindowSystem.h"
#include "platform/headless/Session.h"
#include "resources/GameDraw.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteArchiveWriter.h"
#include "resources/SpriteSet.h"

namespace spritefuzz {

// An 8 x 8 uncompressed Targa picture.
inline std::vector<u8> Picture() {
  const std::vector<u32> grey(8 * 8, 0x80808080u);
  return DXLEncodeTGA32(8, 8, grey.data());
}

// Set 2: the image "pic", a grid sprite "a", an explicit sprite "b" with a
// draw state and an animation, and a map sprite "m" with everything; set 3
// (the shadow set): "blob".
inline SpriteArchiveWriter BaseArchive() {
  SpriteArchiveWriter w;
  for (u32 set : {2u, 3u}) w.Images(set).push_back(MakeSpriteImageEntry(u"pic", Picture()));
  SpriteEntry a = MakeSpriteEntry(u"a", u"pic");
  a.record.frameWidth = 4;
  a.record.frameHeight = 2;
  a.record.gapX = 1;
  a.record.turn = 1;
  SpriteEntry b = MakeSpriteEntry(u"b", u"pic");
  b.record.explicitFrames = 1;
  b.record.flipH = 1;
  b.frames = {{0, 0, 4, 4}, {0, 0, 0, 0}, {6, 6, 0, 0}};
  DXLDRAWSTATE state;
  DXLMakeSimpleDrawState(&state, 0, 3, kBlendAdd, 4);
  b.drawState = state;
  b.animation = DXLFRAMESEQ{kFrameSeqPingPong, 0, 0, 50, 0, 0};
  w.Sprites(2) = {a, b};
  w.Sprites(3) = {MakeSpriteEntry(u"blob", u"pic")};
  MapSpriteEntry m = MakeMapSpriteEntry(u"m", u"a");
  m.record.hotX = 3;
  m.shadow = MakeShadowRecord(u"blob", 0.5f);
  m.arrayA.assign(kMapSpriteARecordSize, 1);
  m.arrayB.assign(2 * kMapSpriteBRecordSize, 2);
  m.behind = {MakeSubSprite(u"b", 1, 1)};
  m.front = {MakeSubSprite(u"a", 2, 2), MakeSubSprite(u"A", 3, 3)};
  w.MapSprites(2) = {m};
  return w;
}

inline u32 g_steps = 0;
inline bool YieldSometimes(float) { return (++g_steps & 1) != 0; }

struct World {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  std::u16string path;
  World() {
    fuzzviewer::Open(viewer);
    path = plat::Utf8ToUtf16(fuzzscratch::Path("sprites", ".dat"));
  }
};

inline World& TheWorld() {
  static World world;
  return world;
}

using Reader = i32 (SpriteSet::*)(kis::BaseDataFileReader*, SectionCursor*, float, float);

inline bool ReadKind(kis::BaseDataFileReader* reader, std::vector<std::unique_ptr<SpriteSet>>& sets, u32 id,
                     u32 subId, Reader read) {
  if (!reader->EnterDirectory(id, subId)) return false;
  for (auto& set : sets) {
    SectionCursor cursor;
    while (((*set).*read)(reader, &cursor, 0.0f, 1.0f) == 0) {
    }
    if (cursor.done > cursor.total) __builtin_trap();
  }
  return reader->LeaveDirectory();
}

// Loads, draws and releases everything set 2 holds.
inline void Exercise(SpriteSet& set) {
  for (i32 i = 0; i < set.GetSprites().GetCount(); ++i) {
    Sprite* s = set.GetSprites().Get(i);
    s->Init();
    if (s->IsLoaded() && s->GetFrameCount() <= 0) __builtin_trap();
    SpriteFrameState state;
    s->InitFrameState(&state, true, true);
    s->DrawFrameState(&state, 0xFFFFFFFFu);
    SPRITEDRAWITEM item;
    s->MakeDrawItemAt(&item, -1, 1.0f, 2.0f, nullptr, 0, true, s->GetTurn());
    s->Release(false);
  }
  for (i32 i = 0; i < set.GetMapSprites().GetCount(); ++i) {
    MapSprite* m = set.GetMapSprites().Get(i);
    m->Init();
    m->Release(true);
  }
  UnbindDrawTexture();
}

inline int Run(u32 kind, const uint8_t* data, size_t size) {
  World& world = TheWorld();
  SetGameViewer(&world.viewer);
  GetResourceServices().loadingProgress = &YieldSometimes;
  SpriteArchiveWriter writer = BaseArchive();
  writer.SetRawSection(kind, 2, std::vector<u8>(data, data + size));
  if (!writer.Write(world.path.c_str())) return 0;
  kis::DataFileReaderW* reader = kis::OpenDataFileReaderW(world.path.c_str(), kSpriteArchiveSignature1,
                                                          kSpriteArchiveSignature2, kSpriteArchiveVersion);
  if (!reader) return 0;
  {
    std::vector<std::unique_ptr<SpriteSet>> sets;
    for (u32 i = 0; i < kSpriteSetCount; ++i) sets.push_back(std::make_unique<SpriteSet>(i));
    if (ReadKind(reader, sets, kSpriteImagesId, kSpriteImagesSubId, &SpriteSet::ReadImages) &&
        ReadKind(reader, sets, kSpritesId, kSpritesSubId, &SpriteSet::ReadSprites)) {
      ReadKind(reader, sets, kMapSpritesId, kMapSpritesSubId, &SpriteSet::ReadMapSprites);
    }
    Exercise(*sets[2]);
  }
  kis::CloseDataFile(reader);
  ResetResourceServices();
  return 0;
}

}  // namespace spritefuzz
