// The resumable section readers of SpriteSet and the records they read.
// Image entries are read from the archive as they come (their image bytes
// are only skipped); sprite and map-sprite sections are read whole by the
// first call and their records taken from memory, made in the section's
// pool.
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextures.h"
#include "resources/MapSprite.h"
#include "resources/RecordPool.h"
#include "resources/SectionReading.h"
#include "resources/ShadowData.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

// What tells the three kinds of section apart. A whole section gets a pool
// sized for its records: each record's object and room for what its
// variable part turns into in memory, per byte of the section beyond the
// fixed records (frame rectangles take their 16 bytes again; a map sprite's
// 96-byte sub-sprite descriptions take a little more, its arrays as much,
// its shadow less).
struct SpriteSet::SectionKind {
  u32 id;
  u32 subId;
  u32 recordSize;
  RecordReader read;
  bool whole;
  size_t objectSize;
  size_t extraNumerator;
  size_t extraDenominator;
};

namespace {

template <class T>
constexpr size_t Aligned() {
  return (sizeof(T) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
}

}  // namespace

const u8* SpriteSet::SectionInput::Take(u64 n) {
  if (n > Left()) return nullptr;
  const u8* p = data + at;
  at += static_cast<size_t>(n);
  return p;
}

i32 SpriteSet::ReadImages(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  static constexpr SectionKind kImages{kSpriteImagesId, kSpriteImagesSubId, kImageRecordSize, &SpriteSet::ReadImage,
                                       false, 0, 0, 1};
  return ReadSection(reader, cursor, base, span, kImages);
}

i32 SpriteSet::ReadSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  static constexpr SectionKind kSprites{kSpritesId,         kSpritesSubId,   kSpriteRecordSize,   &SpriteSet::ReadSprite,
                                        true,               Aligned<Sprite>(), sizeof(DXLRECT), kFrameRectRecordSize};
  for (i32 i = 0; i < textures_->GetCount(); ++i) sectionTextures_.Add(textures_->GetAt(i));
  const i32 result = ReadSection(reader, cursor, base, span, kSprites);
  sectionTextures_.Clear();
  lastTexture_ = nullptr;
  lastTextureName_[0] = 0;
  return result;
}

i32 SpriteSet::ReadMapSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  static constexpr SectionKind kMapSprites{kMapSpritesId,        kMapSpritesSubId, kMapSpriteRecordSize,
                                           &SpriteSet::ReadMapSprite, true,        Aligned<MapSprite>(),
                                           sizeof(SSDATA),       kSubSpriteRecordSize};
  return ReadSection(reader, cursor, base, span, kMapSprites);
}

// The first call (nothing done yet) opens the section and reads the count,
// which must fit the section at the records' fixed size; later calls find the
// section still open. A failure closes the section when the reader is still
// in order, so one damaged set leaves the archive readable.
i32 SpriteSet::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span,
                           const SectionKind& kind) {
  if (!cursor) return 1;
  auto finish = [this, reader, cursor](bool failed) {
    input_ = SectionInput{};
    sectionBytes_.reset();
    return FinishSection(reader, cursor, failed);
  };
  if (!reader) return finish(true);
  const u32 sectionId = kind.id + number_;
  if (cursor->done == 0) {
    u8 count[4];
    if (!reader->OpenSection(sectionId, kind.subId) || !reader->Read(count, 4)) return finish(true);
    cursor->total = kis::GetU32LE(count);
    const u64 left = SectionBytesLeft(reader);
    if (cursor->total > left / kind.recordSize) return finish(true);
    input_ = SectionInput{};
    if (kind.whole && !StartWholeSection(reader, kind, cursor->total, left)) return finish(true);
  } else {
    const kis::DATAFILEENTRY* open = reader->GetOpenEntry();
    if (!open || open->id != sectionId || open->subId != kind.subId) return finish(true);
  }
  while (cursor->done < cursor->total) {
    if (!(this->*kind.read)(reader, kind.whole ? &input_ : nullptr)) return finish(true);
    ++cursor->done;
    const float done = static_cast<float>(cursor->done) / static_cast<float>(cursor->total);
    if (StepLoadingProgress(base + done * span)) return 0;
  }
  return finish(false);
}

// Reads the rest of the section in one go and makes the pool of its
// records; the lists and name indexes get room for them at once.
bool SpriteSet::StartWholeSection(kis::BaseDataFileReader* reader, const SectionKind& kind, u32 count, u64 bytes) {
  if (count == 0) return true;  // no records: the bytes are not needed
  const size_t left = static_cast<size_t>(bytes);
  const size_t variable = left - size_t{count} * kind.recordSize;
  // Each record's pieces may each start a little on, at their alignment.
  const size_t poolBytes = size_t{count} * (kind.objectSize + 2 * alignof(std::max_align_t)) +
                           (variable / kind.extraDenominator + 1) * kind.extraNumerator;
  std::unique_ptr<RecordPool> pool = RecordPool::Make(poolBytes);
  if (!pool) return false;
  sectionBytes_.reset(new (std::nothrow) u8[left]);  // not cleared: the read fills it
  if (!sectionBytes_ || !reader->Read(sectionBytes_.get(), static_cast<u32>(left))) return false;
  input_ = SectionInput{sectionBytes_.get(), left, 0, pool.get()};
  pools_.push_back(std::move(pool));
  if (kind.id == kSpritesId) {
    sprites_.SetCapacity(sprites_.GetCount() + static_cast<i32>(count));
    spriteNames_.Reserve(count);
  } else {
    mapSprites_.SetCapacity(mapSprites_.GetCount() + static_cast<i32>(count));
    mapSpriteNames_.Reserve(count);
  }
  return true;
}

// The image bytes are only skipped: the texture reads them from the archive
// when it is first built.
bool SpriteSet::ReadImage(kis::BaseDataFileReader* reader, SectionInput*) {
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

// The sprite is made in the section's pool; the rectangles of an explicit
// one are parsed straight into it.
bool SpriteSet::ReadSprite(kis::BaseDataFileReader*, SectionInput* input) {
  const u8* raw = input->Take(kSpriteRecordSize);
  if (!raw) return false;
  SPRITERECORD r;
  ParseSpriteRecord(raw, &r);
  if (r.size != kSpriteRecordSize) return false;
  // Sprites mostly come in runs on one texture.
  DXLTexture* texture = nullptr;
  if (r.texture[0]) {
    // The same stored bytes name the same texture: one compare of the
    // buffers instead of a walk of the names.
    if (std::memcmp(lastTextureName_, r.texture, sizeof r.texture) != 0) {
      lastTexture_ = sectionTextures_.Find(r.texture, NameIndex<DXLTexture>::HashBuffer(r.texture));
      std::memcpy(lastTextureName_, r.texture, sizeof r.texture);
    }
    texture = lastTexture_;
  }
  RecordPool& pool = *input->pool;
  Sprite* sprite = nullptr;
  if (r.explicitFrames) {
    const u8* bytes = r.frameCount >= 0 ? input->Take(u64(r.frameCount) * kFrameRectRecordSize) : nullptr;
    if (!bytes) return false;
    DXLRECT* rects = r.frameCount > 0 ? pool.AllocateArray<DXLRECT>(static_cast<size_t>(r.frameCount)) : nullptr;
    for (i32 i = 0; i < r.frameCount; ++i) ParseRectRecord(bytes + size_t(i) * kFrameRectRecordSize, &rects[i]);
    sprite = new (pool.Allocate(sizeof(Sprite), alignof(Sprite)))
        Sprite(this, r.name, texture, r.frameCount, Sprite::KeptRects{rects}, r.flipH != 0, r.flipV != 0, r.turn);
  } else {
    const SPRITEGRID grid{r.frameCount, r.frameWidth, r.frameHeight, r.gapX, r.gapY, r.area};
    sprite = new (pool.Allocate(sizeof(Sprite), alignof(Sprite)))
        Sprite(this, r.name, texture, grid, r.flipH != 0, r.flipV != 0, r.turn);
  }
  sprite->pooled_ = 1;
  if (r.hasDrawState) {
    const u8* block = input->Take(kDrawStateRecordSize);
    if (!block) {
      delete sprite;
      return false;
    }
    DXLDRAWSTATE state;
    ParseDrawStateRecord(block, &state);
    sprite->SetDrawState(&state);
  }
  if (r.hasAnimation) {
    const u8* block = input->Take(kFrameSeqRecordSize);
    if (!block) {
      delete sprite;
      return false;
    }
    DXLFRAMESEQ seq;
    ParseFrameSeqRecord(block, &seq);
    sprite->SetDefaultAnimation(&seq);
  }
  return true;
}

// The map sprite is made in the section's pool, its sub-sprite lists and its
// arrays too.
bool SpriteSet::ReadMapSprite(kis::BaseDataFileReader*, SectionInput* input) {
  const u8* raw = input->Take(kMapSpriteRecordSize);
  if (!raw) return false;
  MAPSPRITERECORD r;
  ParseMapSpriteRecord(raw, &r);
  if (r.size != kMapSpriteRecordSize) return false;
  RecordPool& pool = *input->pool;
  MapSprite* mapSprite = new (pool.Allocate(sizeof(MapSprite), alignof(MapSprite)))
      MapSprite(this, r.name, FindStoredSprite(r.sprite), r.hotX, r.hotY, pool.Resource());
  mapSprite->pooled_ = 1;
  auto fail = [mapSprite] {
    delete mapSprite;
    return false;
  };
  mapSprite->SetSecondPoint(r.secondX, r.secondY);
  if (r.hasShadow) {
    const u8* shadow = input->Take(kShadowRecordSize);
    if (!shadow) return fail();
    mapSprite->shadow_ = ShadowDataFrom(shadow);
  }
  const u64 bytesA = u64(r.countA) * kMapSpriteARecordSize, bytesB = u64(r.countB) * kMapSpriteBRecordSize;
  const u8* a = input->Take(bytesA);
  const u8* b = a ? input->Take(bytesB) : nullptr;
  if (!b) return fail();
  if (bytesA + bytesB > 0) {
    u8* arrays = pool.AllocateArray<u8>(static_cast<size_t>(bytesA + bytesB));
    std::memcpy(arrays, a, static_cast<size_t>(bytesA));
    std::memcpy(arrays + bytesA, b, static_cast<size_t>(bytesB));
    mapSprite->KeepArrays(arrays, static_cast<u32>(bytesA), arrays + bytesA, static_cast<u32>(bytesB));
  }
  if (r.behindCount < 0 || r.frontCount < 0 ||
      (u64(r.behindCount) + u64(r.frontCount)) * kSubSpriteRecordSize > input->Left())
    return fail();
  if (!ReadSubSprites(input, r.behindCount, &mapSprite->behind_) ||
      !ReadSubSprites(input, r.frontCount, &mapSprite->front_))
    return fail();
  return true;
}

// Each description must be an image sub-sprite of the right size naming a
// sprite of this set; the first one that is not ends the list short.
bool SpriteSet::ReadSubSprites(SectionInput* input, i32 count, std::pmr::vector<SSDATA>* out) {
  out->reserve(static_cast<size_t>(count));
  for (i32 i = 0; i < count; ++i) {
    const u8* raw = input->Take(kSubSpriteRecordSize);
    if (!raw || kis::GetU32LE(raw + 4) != kSubSpriteImage || kis::GetU32LE(raw) != kSubSpriteRecordSize) return false;
    SSDATA& d = out->emplace_back();
    ParseSubSpriteRecord(raw, &d);
    d.sprite = FindStoredSprite(d.name);
    if (!d.sprite) return false;
  }
  return true;
}
