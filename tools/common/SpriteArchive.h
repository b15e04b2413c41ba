// Reading a data set's archives the way the start-up loader does, for the
// tools, tests and benchmarks that show a level: each resumable reader
// called until it finishes, the 17 sprite sets of "Sprites.dat" read kind
// by kind (every set's images, then sprites, then map sprites), and the
// digit fonts of "Data.dat" made ready to draw.
// Header-only; include as "common/SpriteArchive.h".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/datafile/DataFileReader.h"
#include "engine/DXLTexture.h"
#include "engine/text/DigitalFont.h"
#include "resources/GameServices.h"
#include "resources/SpriteSet.h"
#include "ui/DigitFontSection.h"
#include "ui/WindowManager.h"

namespace tools {

// Calls a resumable reader until it finishes; false on its error flag.
template <class Read>
bool ReadWhole(Read read) {
  SectionCursor cursor;
  for (u32 calls = 0; read(&cursor) == 0 && calls < 1000000; ++calls) {
  }
  return cursor.error == 0;
}

// The 17 sets made and read, the reader left in the image directory (the
// textures load from there as they are needed). Empty on success, else
// what failed.
inline std::string ReadSpriteSets(kis::BaseDataFileReader* reader, std::vector<std::unique_ptr<SpriteSet>>* sets) {
  for (u32 i = 0; i < kSpriteSetCount; ++i) sets->push_back(std::make_unique<SpriteSet>(i));
  using Reader = i32 (SpriteSet::*)(kis::BaseDataFileReader*, SectionCursor*, float, float);
  const struct {
    u32 id, subId;
    Reader read;
  } kinds[] = {{kSpriteImagesId, kSpriteImagesSubId, &SpriteSet::ReadImages},
               {kSpritesId, kSpritesSubId, &SpriteSet::ReadSprites},
               {kMapSpritesId, kMapSpritesSubId, &SpriteSet::ReadMapSprites}};
  for (const auto& kind : kinds) {
    if (!reader->EnterDirectory(kind.id, kind.subId)) return "Sprites.dat lacks a directory";
    for (auto& set : *sets)
      if (!ReadWhole([&](SectionCursor* c) { return (set.get()->*kind.read)(reader, c, 0.0f, 1.0f); }))
        return "Sprites.dat: a sprite set does not read";
    if (!reader->LeaveDirectory()) return "Sprites.dat: a directory does not close";
  }
  if (!reader->EnterDirectory(kSpriteImagesId, kSpriteImagesSubId)) return "Sprites.dat: no images";
  return {};
}

// The digit fonts into the window manager (sprite set 1 read first, the
// sprite archive in its image directory), each font's picture loaded and its
// modes built on it, as the start-up does before the first screen; false
// when the section does not read.
inline bool ReadDigitFonts(kis::BaseDataFileReader* data, WindowManager* manager) {
  if (!ReadWhole([&](SectionCursor* c) { return LoadDigitFonts(data, c, manager); })) return false;
  for (i32 i = 0; i < manager->Fonts().GetCount(); ++i) {
    DigitalFont* font = manager->Fonts().Get(i);
    if (font->GetTexture() && !font->GetTexture()->IsReady()) font->GetTexture()->Load();
    font->RebuildModes();
  }
  return true;
}

}  // namespace tools
