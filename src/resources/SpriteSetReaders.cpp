// The resumable section readers of SpriteSet and the records they read.
#include <memory>
#include <vector>

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextures.h"
#include "resources/MapSprite.h"
#include "resources/ShadowData.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

namespace {

u64 BytesLeft(const kis::BaseDataFileReader* reader) {
  const u32 size = reader->GetSectionSize(), at = reader->GetPosition();
  return at <= size ? size - at : 0;
}

bool ReadBlock(kis::BaseDataFileReader* reader, u64 bytes, std::vector<u8>* out) {
  if (bytes > BytesLeft(reader)) return false;
  out->resize(static_cast<size_t>(bytes));
  return bytes == 0 || reader->Read(out->data(), static_cast<u32>(bytes));
}

}  // namespace

i32 SpriteSet::ReadImages(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  return ReadSection(reader, cursor, base, span, kSpriteImagesId, kSpriteImagesSubId, kImageRecordSize,
                     &SpriteSet::ReadImage);
}

i32 SpriteSet::ReadSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  return ReadSection(reader, cursor, base, span, kSpritesId, kSpritesSubId, kSpriteRecordSize,
                     &SpriteSet::ReadSprite);
}

i32 SpriteSet::ReadMapSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  return ReadSection(reader, cursor, base, span, kMapSpritesId, kMapSpritesSubId, kMapSpriteRecordSize,
                     &SpriteSet::ReadMapSprite);
}

// The first call (nothing done yet) opens the section and reads the count,
// which must fit the section at the records' fixed size; later calls find the
// section still open. A failure closes the section when the reader is still
// in order, so one damaged set leaves the archive readable.
i32 SpriteSet::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span, u32 id,
                           u32 subId, u32 recordSize, RecordReader read) {
  if (!cursor) return 1;
  auto fail = [reader, cursor]() {
    cursor->error = 1;
    if (reader && reader->GetOpenEntry()) reader->CloseSection();
    return 1;
  };
  if (!reader) return fail();
  const u32 sectionId = id + number_;
  if (cursor->done == 0) {
    u8 count[4];
    if (!reader->OpenSection(sectionId, subId) || !reader->Read(count, 4)) return fail();
    cursor->total = kis::GetU32LE(count);
    if (cursor->total > BytesLeft(reader) / recordSize) return fail();
  } else {
    const kis::DATAFILEENTRY* open = reader->GetOpenEntry();
    if (!open || open->id != sectionId || open->subId != subId) return fail();
  }
  while (cursor->done < cursor->total) {
    if (!(this->*read)(reader)) return fail();
    ++cursor->done;
    const float done = static_cast<float>(cursor->done) / static_cast<float>(cursor->total);
    if (StepLoadingProgress(base + done * span)) return 0;
  }
  if (!reader->CloseSection()) cursor->error = 1;
  return 1;
}

// The image bytes are only skipped: the texture reads them from the archive
// when it is first built.
bool SpriteSet::ReadImage(kis::BaseDataFileReader* reader) {
  u8 raw[kImageRecordSize];
  if (!reader->Read(raw, kImageRecordSize)) return false;
  IMAGERECORD record;
  ParseImageRecord(raw, &record);
  if (record.size != kImageRecordSize) return false;
  auto loader = std::make_unique<DXLTextureLoaderDataFile>(reader, record.length);
  if (loader->HasFailed()) return false;
  DXLTexture* texture = textures_->NewTexture();
  texture->SetName(record.name);
  texture->SetImageFilter(record.imageFilter);
  texture->SetEdgeFlags(record.loadOption);
  texture->SetDrawState(record.drawState);
  texture->SetSource(loader.get(), true);
  texture->SetAutoReload(true);  // built again from the archive on a new device
  loaders_.push_back(std::move(loader));
  return true;
}

bool SpriteSet::ReadSprite(kis::BaseDataFileReader* reader) {
  u8 raw[kSpriteRecordSize];
  if (!reader->Read(raw, kSpriteRecordSize)) return false;
  SPRITERECORD r;
  ParseSpriteRecord(raw, &r);
  if (r.size != kSpriteRecordSize) return false;
  DXLTexture* texture = FindTexture(r.texture);
  std::unique_ptr<Sprite> sprite;
  if (r.explicitFrames) {
    std::vector<u8> bytes;
    if (r.frameCount < 0 || !ReadBlock(reader, u64(r.frameCount) * kFrameRectRecordSize, &bytes)) return false;
    std::vector<DXLRECT> rects(static_cast<size_t>(r.frameCount));
    for (size_t i = 0; i < rects.size(); ++i) ParseRectRecord(bytes.data() + i * kFrameRectRecordSize, &rects[i]);
    sprite = std::make_unique<Sprite>(this, r.name, texture, r.frameCount, rects.data(), r.flipH != 0, r.flipV != 0,
                                      r.turn);
  } else {
    const SPRITEGRID grid{r.frameCount, r.frameWidth, r.frameHeight, r.gapX, r.gapY, r.area};
    sprite = std::make_unique<Sprite>(this, r.name, texture, grid, r.flipH != 0, r.flipV != 0, r.turn);
  }
  if (r.hasDrawState) {
    u8 block[kDrawStateRecordSize];
    if (!reader->Read(block, kDrawStateRecordSize)) return false;
    DXLDRAWSTATE state;
    ParseDrawStateRecord(block, &state);
    sprite->SetDrawState(&state);
  }
  if (r.hasAnimation) {
    u8 block[kFrameSeqRecordSize];
    if (!reader->Read(block, kFrameSeqRecordSize)) return false;
    DXLFRAMESEQ seq;
    ParseFrameSeqRecord(block, &seq);
    sprite->SetDefaultAnimation(&seq);
  }
  sprite.release();  // the set owns it now
  return true;
}

bool SpriteSet::ReadMapSprite(kis::BaseDataFileReader* reader) {
  u8 raw[kMapSpriteRecordSize];
  if (!reader->Read(raw, kMapSpriteRecordSize)) return false;
  MAPSPRITERECORD r;
  ParseMapSpriteRecord(raw, &r);
  if (r.size != kMapSpriteRecordSize) return false;
  auto mapSprite = std::make_unique<MapSprite>(this, r.name, FindSprite(r.sprite), r.hotX, r.hotY);
  mapSprite->SetSecondPoint(r.secondX, r.secondY);
  if (r.hasShadow) {
    std::unique_ptr<SHADOWDATA> shadow(ReadShadowData(reader));
    if (!shadow) return false;
    mapSprite->SetShadow(std::move(shadow));
  }
  std::vector<u8> a, b;
  if (!ReadBlock(reader, u64(r.countA) * kMapSpriteARecordSize, &a) ||
      !ReadBlock(reader, u64(r.countB) * kMapSpriteBRecordSize, &b))
    return false;
  mapSprite->SetArrays(std::move(a), std::move(b));
  if (r.behindCount < 0 || r.frontCount < 0 ||
      (u64(r.behindCount) + u64(r.frontCount)) * kSubSpriteRecordSize > BytesLeft(reader))
    return false;
  if (!ReadSubSprites(reader, r.behindCount, &mapSprite->Behind()) ||
      !ReadSubSprites(reader, r.frontCount, &mapSprite->InFront()))
    return false;
  mapSprite.release();  // the set owns it now
  return true;
}

// Each description must be an image sub-sprite of the right size naming a
// sprite of this set; the first one that is not ends the list short.
bool SpriteSet::ReadSubSprites(kis::BaseDataFileReader* reader, i32 count, std::vector<SSDATA>* out) {
  out->reserve(static_cast<size_t>(count));
  for (i32 i = 0; i < count; ++i) {
    u8 raw[kSubSpriteRecordSize];
    if (!reader->Read(raw, 8)) return false;
    if (kis::GetU32LE(raw + 4) != kSubSpriteImage || kis::GetU32LE(raw) != kSubSpriteRecordSize) return false;
    if (!reader->Read(raw + 8, kSubSpriteRecordSize - 8)) return false;
    SSDATA d;
    ParseSubSpriteRecord(raw, &d);
    d.sprite = FindSprite(d.name);
    if (!d.sprite) return false;
    out->push_back(d);
  }
  return true;
}
