// The resumable section readers of SpriteSet and the records they read.
// Image entries are read from the archive as they come (their image bytes
// are only skipped); sprite and map-sprite sections are read whole by the
// first call into the section's pool, and their records checked and indexed
// there, each made in the pool when first asked for.
#include <bit>
#include <cstddef>
#include <cstdint>
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
#include "resources/ResourceServices.h"
#include "resources/SectionReading.h"
#include "resources/ShadowData.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

// What tells the three kinds of section apart. A whole section gets a pool
// sized for its bytes and its records: each record's slot and object, and
// room for what its variable part turns into in memory, per byte of the
// section beyond the fixed records (frame rectangles take their 16 bytes
// again; a map sprite's 96-byte sub-sprite descriptions take a little more,
// its arrays and shadow less).
struct SpriteSet::SectionKind {
  u32 id;
  u32 subId;
  u32 recordSize;
  bool whole;
  size_t objectSize;  // with the record's slot
  size_t extraNumerator;
  size_t extraDenominator;
};

namespace {

// Up to this many textures are searched in turn, with no index for the call.
constexpr i32 kFewTextures = 8;

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

// The first call (nothing done yet) opens the section and reads the count,
// which must fit the section at the records' fixed size; later calls find the
// section still open. A failure closes the section when the reader is still
// in order, so one damaged set leaves the archive readable.
template <SpriteSet::RecordReader read>
i32 SpriteSet::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span,
                           const SectionKind& kind) {
  if (!cursor) return 1;
  auto finish = [this, reader, cursor](bool failed) {
    input_ = SectionInput{};
    return FinishSection(reader, cursor, failed);
  };
  if (!reader) return finish(true);
  const u32 sectionId = kind.id + number_;
  if (cursor->done == 0) {
    input_ = SectionInput{};
    if (!reader->OpenSection(sectionId, kind.subId)) return finish(true);
    if (kind.whole) {
      if (!StartWholeSection(reader, kind, &cursor->total)) return finish(true);
    } else {
      u8 count[4];
      if (!reader->Read(count, 4)) return finish(true);
      cursor->total = kis::GetU32LE(count);
      if (cursor->total > SectionBytesLeft(reader) / kind.recordSize) return finish(true);
    }
  } else {
    const kis::DATAFILEENTRY* open = reader->GetOpenEntry();
    if (!open || open->id != sectionId || open->subId != kind.subId) return finish(true);
  }
  // Progress nobody watches is not worked out record by record.
  const ResourceServices& services = GetResourceServices();
  const bool watched = services.progress || services.loadingProgress;
  // The input and the count are worked on in registers: kept in the set and
  // the cursor, each step of the loop would wait for the one before it
  // through memory.
  SectionInput input = input_;
  u32 done = cursor->done;
  const u32 total = cursor->total;
  while (done < total) {
    if (!(this->*read)(reader, kind.whole ? &input : nullptr)) {
      cursor->done = done;
      return finish(true);
    }
    ++done;
    if (!watched) continue;
    cursor->done = done;
    if (StepLoadingProgress(base + static_cast<float>(done) / static_cast<float>(total) * span)) {
      input_ = input;
      return 0;
    }
  }
  cursor->done = done;
  return finish(false);
}

i32 SpriteSet::ReadImages(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  static constexpr SectionKind kImages{kSpriteImagesId, kSpriteImagesSubId, kImageRecordSize, false, 0, 0, 1};
  return ReadSection<&SpriteSet::ReadImage>(reader, cursor, base, span, kImages);
}

i32 SpriteSet::ReadSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  static constexpr SectionKind kSprites{kSpritesId,      kSpritesSubId,
                                        kSpriteRecordSize, true,
                                        Aligned<Sprite>() + Aligned<SpriteSlot>(), sizeof(DXLRECT),
                                        kFrameRectRecordSize};
  if (textures_->GetCount() > kFewTextures)
    for (i32 i = 0; i < textures_->GetCount(); ++i) sectionTextures_.Add(textures_->GetAt(i));
  const i32 result = ReadSection<&SpriteSet::ReadSprite>(reader, cursor, base, span, kSprites);
  sectionTextures_.Clear();
  lastTexture_ = nullptr;
  lastTextureName_[0] = 0;
  return result;
}

i32 SpriteSet::ReadMapSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  static constexpr SectionKind kMapSprites{kMapSpritesId,        kMapSpritesSubId,
                                           kMapSpriteRecordSize, true,
                                           Aligned<MapSprite>() + Aligned<MapSpriteSlot>(),
                                           sizeof(SSDATA),       kSubSpriteRecordSize};
  const i32 result = ReadSection<&SpriteSet::ReadMapSprite>(reader, cursor, base, span, kMapSprites);
  nextSubSprite_ = 0;  // the sprites may change before the next call
  return result;
}

// Reads the open section whole, its count with its records, in one go
// into the pool of its records, which keeps the bytes for them; the count
// must fit the bytes after it at the records' fixed size. The set's
// members get room for the records at once.
bool SpriteSet::StartWholeSection(kis::BaseDataFileReader* reader, const SectionKind& kind, u32* count) {
  const size_t size = reader->GetSectionSize();
  if (size < 4) return false;
  // Sized for as many records as the bytes could hold; each record's pieces
  // may each start a little on, at their alignment.
  const size_t most = (size - 4) / kind.recordSize;
  const size_t poolBytes = size + most * (kind.objectSize + 2 * alignof(std::max_align_t)) +
                           (size / kind.extraDenominator + 1) * kind.extraNumerator;
  std::unique_ptr<RecordPool> pool = RecordPool::Make(poolBytes);
  if (!pool) return false;
  u8* data = pool->AllocateArray<u8>(size);  // not cleared: the read fills it
  if (!reader->Read(data, static_cast<u32>(size))) return false;
  *count = kis::GetU32LE(data);
  if (*count > most) return false;
  if (*count == 0) return true;  // no records: the bytes are not kept
  const size_t slotSize = kind.id == kSpritesId ? sizeof(SpriteSlot) : sizeof(MapSpriteSlot);
  void* slots = pool->Allocate(*count * slotSize, alignof(std::max_align_t));
  input_ = SectionInput{data + 4, size - 4, 0, pool.get(), slots};
  if (pools_.capacity() == 0) pools_.reserve(2);  // a set reads two sections
  pools_.push_back(std::move(pool));  // kept from now on: the records indexed before a failure stay
  if (kind.id == kSpritesId) {
    sprites_.Reserve(*count, true);
  } else {
    mapSprites_.Reserve(*count, false);
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

namespace {

const wchar (&AsBuffer(const wchar* name))[kSpriteNameSize] {
  return *reinterpret_cast<const wchar(*)[kSpriteNameSize]>(name);
}

// A stored name field as a name buffer: the stored units themselves where
// they read as the name (little-endian, ending inside the field); null
// otherwise.
const wchar* InPlaceName(const u8* raw) {
  if constexpr (std::endian::native == std::endian::little && sizeof(wchar) == 2) {
    if ((raw[2 * kSpriteNameSize - 2] | raw[2 * kSpriteNameSize - 1]) == 0 &&
        reinterpret_cast<uintptr_t>(raw) % alignof(wchar) == 0)
      return reinterpret_cast<const wchar*>(raw);
  }
  return nullptr;
}

// The same, or the name parsed into `copy`.
const wchar (&NameBuffer(const u8* raw, wchar (&copy)[kSpriteNameSize]))[kSpriteNameSize] {
  if (const wchar* name = InPlaceName(raw)) return AsBuffer(name);
  ParseSpriteNameBuffer(raw, copy);
  return copy;
}

// The same, or the name parsed into a copy in the pool.
const wchar* StoredName(const u8* raw, RecordPool& pool) {
  if (const wchar* name = InPlaceName(raw)) return name;
  wchar* copy = pool.AllocateArray<wchar>(kSpriteNameSize);
  ParseSpriteNameBuffer(raw, *reinterpret_cast<wchar(*)[kSpriteNameSize]>(copy));
  return copy;
}

}  // namespace

// The texture of a name among a few, as the index would find it.
DXLTexture* SpriteSet::FewTexture(const wchar* name) const {
  if (!name[0]) return nullptr;
  for (i32 i = 0; i < textures_->GetCount(); ++i) {
    DXLTexture* t = textures_->GetAt(i);
    if (t && NameIndex<DXLTexture>::SameName(t->GetName(), name)) return t;
  }
  return nullptr;
}

// Checks a sprite record whole and indexes it: its name (the texture's when
// empty) and the texture it names, found now; the sprite is made when first
// asked for (MakeSprite).
inline bool SpriteSet::ReadSprite(kis::BaseDataFileReader*, SectionInput* input) {
  const u8* raw = input->Take(kSpriteRecordSize);
  if (!raw || kis::GetU32LE(raw) != kSpriteRecordSize) return false;
  if (raw[kSpriteExplicitAt]) {
    const i32 frames = kis::GetI32LE(raw + kSpriteFrameCountAt);
    if (frames < 0 || !input->Take(u64(frames) * kFrameRectRecordSize)) return false;
  }
  if (raw[kSpriteHasDrawStateAt] && !input->Take(kDrawStateRecordSize)) return false;
  if (raw[kSpriteHasAnimationAt] && !input->Take(kFrameSeqRecordSize)) return false;
  // Sprites mostly come in runs on one texture: the same stored bytes name
  // the same texture, one compare of them instead of a look-up.
  DXLTexture* texture = nullptr;
  const u8* textureName = raw + kSpriteTextureAt;
  if (textureName[0] | textureName[1]) {
    if (std::memcmp(lastTextureName_, textureName, sizeof lastTextureName_) != 0) {
      std::memcpy(lastTextureName_, textureName, sizeof lastTextureName_);
      wchar copy[kSpriteNameSize];
      const wchar(&name)[kSpriteNameSize] = NameBuffer(textureName, copy);
      lastTexture_ = textures_->GetCount() > kFewTextures
                         ? sectionTextures_.Find(name, NameIndex<DXLTexture>::HashBuffer(name))
                         : FewTexture(name);
    }
    texture = lastTexture_;
  }
  RecordPool& pool = *input->pool;
  const wchar* name = StoredName(raw + kSpriteNameAt, pool);
  if (!name[0] && texture) {
    wchar* copy = pool.AllocateArray<wchar>(kSpriteNameSize);
    NameIndex<Sprite>::CopyToBuffer(*reinterpret_cast<wchar(*)[kSpriteNameSize]>(copy), texture->GetName());
    name = copy;
  }
  auto* slot = new (input->slots)
      SpriteSlot{name, nullptr, raw, texture, &pool, NameIndex<SpriteSlot>::HashBuffer(AsBuffer(name)), 0};
  input->slots = slot + 1;
  sprites_.AddIndexed(slot);  // map sprites search them as they are read
  return true;
}

// Checks a map-sprite record whole and indexes it: its parts' sizes, and
// every sub-sprite an image one of the right size naming a sprite of this
// set; its name is the sprite's when empty. The map sprite is made when
// first asked for (MakeMapSprite).
inline bool SpriteSet::ReadMapSprite(kis::BaseDataFileReader*, SectionInput* input) {
  const u8* raw = input->Take(kMapSpriteRecordSize);
  if (!raw || kis::GetU32LE(raw) != kMapSpriteRecordSize) return false;
  if (raw[kMapSpriteHasShadowAt] && !input->Take(kShadowRecordSize)) return false;
  if (!input->Take(u64(kis::GetU32LE(raw + kMapSpriteCountAAt)) * kMapSpriteARecordSize) ||
      !input->Take(u64(kis::GetU32LE(raw + kMapSpriteCountBAt)) * kMapSpriteBRecordSize))
    return false;
  const i32 behind = kis::GetI32LE(raw + kMapSpriteBehindAt), front = kis::GetI32LE(raw + kMapSpriteFrontAt);
  if (behind < 0 || front < 0) return false;
  const u8* subSprites = input->Take((u64(behind) + u64(front)) * kSubSpriteRecordSize);
  if (!subSprites) return false;
  wchar name[kSpriteNameSize];
  for (i64 i = 0; i < i64{behind} + front; ++i) {
    const u8* d = subSprites + i * kSubSpriteRecordSize;
    if (kis::GetU32LE(d + kSubSpriteKindAt) != kSubSpriteImage || kis::GetU32LE(d) != kSubSpriteRecordSize)
      return false;
    if (!sprites_.Has(NameBuffer(d + kSubSpriteNameAt, name), &nextSubSprite_)) return false;
  }
  RecordPool& pool = *input->pool;
  const wchar* ownName = StoredName(raw + kMapSpriteNameAt, pool);
  if (!ownName[0]) {
    if (const SpriteSlot* sprite = sprites_.FindBuffer(NameBuffer(raw + kMapSpriteSpriteAt, name))) {
      wchar* copy = pool.AllocateArray<wchar>(kSpriteNameSize);
      NameIndex<Sprite>::CopyToBuffer(*reinterpret_cast<wchar(*)[kSpriteNameSize]>(copy), sprite->name);
      ownName = copy;
    }
  }
  auto* slot = new (input->slots) MapSpriteSlot{ownName, nullptr, raw, nullptr, &pool, 0, 0};  // hashed when first searched
  input->slots = slot + 1;
  mapSprites_.Add(slot);
  return true;
}

// The sprite of a record checked by ReadSprite, made in its section's pool;
// the rectangles of an explicit one are parsed straight into it.
Sprite* SpriteSet::MakeSprite(SpriteSlot* slot) const {
  SpriteSet* self = const_cast<SpriteSet*>(this);  // records are made on first use, also by const look-ups
  SPRITERECORD r;
  ParseSpriteRecord(slot->record, &r);
  const u8* next = slot->record + kSpriteRecordSize;
  RecordPool& pool = *slot->pool;
  DXLTexture* texture = static_cast<DXLTexture*>(slot->found);
  Sprite* sprite = nullptr;
  if (r.explicitFrames) {
    DXLRECT* rects = r.frameCount > 0 ? pool.AllocateArray<DXLRECT>(static_cast<size_t>(r.frameCount)) : nullptr;
    for (i32 i = 0; i < r.frameCount; ++i, next += kFrameRectRecordSize) ParseRectRecord(next, &rects[i]);
    sprite = new (pool.Allocate(sizeof(Sprite), alignof(Sprite)))
        Sprite(nullptr, slot->name, texture, r.frameCount, Sprite::KeptRects{rects}, r.flipH != 0, r.flipV != 0, r.turn);
  } else {
    const SPRITEGRID grid{r.frameCount, r.frameWidth, r.frameHeight, r.gapX, r.gapY, r.area};
    sprite = new (pool.Allocate(sizeof(Sprite), alignof(Sprite)))
        Sprite(nullptr, slot->name, texture, grid, r.flipH != 0, r.flipV != 0, r.turn);
  }
  sprite->set_ = self;  // its slot is already in the set
  sprite->pooled_ = 1;
  if (r.hasDrawState) {
    DXLDRAWSTATE state;
    ParseDrawStateRecord(next, &state);
    sprite->SetDrawState(&state);
    next += kDrawStateRecordSize;
  }
  if (r.hasAnimation) {
    DXLFRAMESEQ seq;
    ParseFrameSeqRecord(next, &seq);
    sprite->SetDefaultAnimation(&seq);
  }
  slot->made = sprite;
  return sprite;
}

// The map sprite of a record checked by ReadMapSprite, made in its section's
// pool with its sub-sprite lists; its arrays stay in the section's bytes.
// The sprites it names are found (and made) now.
MapSprite* SpriteSet::MakeMapSprite(MapSpriteSlot* slot) const {
  SpriteSet* self = const_cast<SpriteSet*>(this);  // records are made on first use, also by const look-ups
  MAPSPRITERECORD r;
  ParseMapSpriteRecord(slot->record, &r);
  const u8* next = slot->record + kMapSpriteRecordSize;
  RecordPool& pool = *slot->pool;
  MapSprite* mapSprite = new (pool.Allocate(sizeof(MapSprite), alignof(MapSprite)))
      MapSprite(nullptr, slot->name, FindStoredSprite(r.sprite), r.hotX, r.hotY, pool.Resource());
  mapSprite->set_ = self;  // its slot is already in the set
  mapSprite->pooled_ = 1;
  slot->made = mapSprite;
  mapSprite->SetSecondPoint(r.secondX, r.secondY);
  if (r.hasShadow) {
    mapSprite->shadow_ = ShadowDataFrom(next);
    next += kShadowRecordSize;
  }
  const u32 bytesA = r.countA * kMapSpriteARecordSize, bytesB = r.countB * kMapSpriteBRecordSize;
  if (bytesA + bytesB > 0) mapSprite->KeepArrays(next, bytesA, next + bytesA, bytesB);
  next += bytesA + bytesB;
  MakeSubSprites(next, r.behindCount, &mapSprite->behind_);
  MakeSubSprites(next + size_t(r.behindCount) * kSubSpriteRecordSize, r.frontCount, &mapSprite->front_);
  return mapSprite;
}

// Sub-sprite descriptions checked by ReadMapSprite, each with the sprite it
// names.
void SpriteSet::MakeSubSprites(const u8* raw, i32 count, std::pmr::vector<SSDATA>* out) const {
  out->reserve(static_cast<size_t>(count));
  for (i32 i = 0; i < count; ++i, raw += kSubSpriteRecordSize) {
    SSDATA& d = out->emplace_back();
    ParseSubSpriteRecord(raw, &d);
    d.sprite = FindStoredSprite(d.name);
  }
}
