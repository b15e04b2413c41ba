// The resumable section readers of SpriteSet and the records they read.
// Image entries are read from the archive as they come (their image bytes
// are only skipped); sprite and map-sprite sections are read whole by the
// first call and their records taken from memory.
#include <cstring>
#include <memory>
#include <vector>

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextures.h"
#include "resources/MapSprite.h"
#include "resources/SectionReading.h"
#include "resources/ShadowData.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"

const u8* SpriteSet::SectionInput::Take(size_t n) {
  if (n > Left()) return nullptr;
  const u8* p = bytes.data() + at;
  at += n;
  return p;
}

i32 SpriteSet::ReadImages(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  return ReadSection(reader, cursor, base, span, kSpriteImagesId, kSpriteImagesSubId, kImageRecordSize, false,
                     &SpriteSet::ReadImage);
}

i32 SpriteSet::ReadSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  return ReadSection(reader, cursor, base, span, kSpritesId, kSpritesSubId, kSpriteRecordSize, true,
                     &SpriteSet::ReadSprite);
}

i32 SpriteSet::ReadMapSprites(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span) {
  return ReadSection(reader, cursor, base, span, kMapSpritesId, kMapSpritesSubId, kMapSpriteRecordSize, true,
                     &SpriteSet::ReadMapSprite);
}

// The first call (nothing done yet) opens the section and reads the count,
// which must fit the section at the records' fixed size; later calls find the
// section still open. A failure closes the section when the reader is still
// in order, so one damaged set leaves the archive readable.
i32 SpriteSet::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, float base, float span, u32 id,
                           u32 subId, u32 recordSize, bool whole, RecordReader read) {
  if (!cursor) return 1;
  auto finish = [this, reader, cursor](bool failed) {
    input_ = SectionInput{};
    return FinishSection(reader, cursor, failed);
  };
  if (!reader) return finish(true);
  const u32 sectionId = id + number_;
  if (cursor->done == 0) {
    u8 count[4];
    if (!reader->OpenSection(sectionId, subId) || !reader->Read(count, 4)) return finish(true);
    cursor->total = kis::GetU32LE(count);
    const u64 left = SectionBytesLeft(reader);
    if (cursor->total > left / recordSize) return finish(true);
    input_ = SectionInput{};
    if (whole) {
      input_.bytes.resize(static_cast<size_t>(left));
      if (left > 0 && !reader->Read(input_.bytes.data(), static_cast<u32>(left))) return finish(true);
    }
  } else {
    const kis::DATAFILEENTRY* open = reader->GetOpenEntry();
    if (!open || open->id != sectionId || open->subId != subId) return finish(true);
  }
  while (cursor->done < cursor->total) {
    if (!(this->*read)(reader, whole ? &input_ : nullptr)) return finish(true);
    ++cursor->done;
    const float done = static_cast<float>(cursor->done) / static_cast<float>(cursor->total);
    if (StepLoadingProgress(base + done * span)) return 0;
  }
  return finish(false);
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

bool SpriteSet::ReadSprite(kis::BaseDataFileReader*, SectionInput* input) {
  const u8* raw = input->Take(kSpriteRecordSize);
  if (!raw) return false;
  SPRITERECORD r;
  ParseSpriteRecord(raw, &r);
  if (r.size != kSpriteRecordSize) return false;
  DXLTexture* texture = FindTexture(r.texture);
  std::unique_ptr<Sprite> sprite;
  if (r.explicitFrames) {
    const u8* bytes = r.frameCount >= 0 ? input->Take(u64(r.frameCount) * kFrameRectRecordSize) : nullptr;
    if (!bytes) return false;
    // Most sprites list a few frames: those stay on the stack.
    DXLRECT few[16];
    std::vector<DXLRECT> many(r.frameCount > 16 ? static_cast<size_t>(r.frameCount) : 0);
    DXLRECT* rects = many.empty() ? few : many.data();
    for (i32 i = 0; i < r.frameCount; ++i) ParseRectRecord(bytes + size_t(i) * kFrameRectRecordSize, &rects[i]);
    sprite = std::make_unique<Sprite>(this, r.name, texture, r.frameCount, rects, r.flipH != 0, r.flipV != 0,
                                      r.turn);
  } else {
    const SPRITEGRID grid{r.frameCount, r.frameWidth, r.frameHeight, r.gapX, r.gapY, r.area};
    sprite = std::make_unique<Sprite>(this, r.name, texture, grid, r.flipH != 0, r.flipV != 0, r.turn);
  }
  if (r.hasDrawState) {
    const u8* block = input->Take(kDrawStateRecordSize);
    if (!block) return false;
    DXLDRAWSTATE state;
    ParseDrawStateRecord(block, &state);
    sprite->SetDrawState(&state);
  }
  if (r.hasAnimation) {
    const u8* block = input->Take(kFrameSeqRecordSize);
    if (!block) return false;
    DXLFRAMESEQ seq;
    ParseFrameSeqRecord(block, &seq);
    sprite->SetDefaultAnimation(&seq);
  }
  sprite.release();  // the set owns it now
  return true;
}

bool SpriteSet::ReadMapSprite(kis::BaseDataFileReader*, SectionInput* input) {
  const u8* raw = input->Take(kMapSpriteRecordSize);
  if (!raw) return false;
  MAPSPRITERECORD r;
  ParseMapSpriteRecord(raw, &r);
  if (r.size != kMapSpriteRecordSize) return false;
  auto mapSprite = std::make_unique<MapSprite>(this, r.name, FindSprite(r.sprite), r.hotX, r.hotY);
  mapSprite->SetSecondPoint(r.secondX, r.secondY);
  if (r.hasShadow) {
    const u8* shadow = input->Take(kShadowRecordSize);
    if (!shadow) return false;
    mapSprite->SetShadow(std::unique_ptr<SHADOWDATA>(MakeShadowData(shadow)));
  }
  const u64 bytesA = u64(r.countA) * kMapSpriteARecordSize, bytesB = u64(r.countB) * kMapSpriteBRecordSize;
  const u8* a = input->Take(bytesA);
  const u8* b = a ? input->Take(bytesB) : nullptr;
  if (!b) return false;
  if (bytesA || bytesB) mapSprite->SetArrays(std::vector<u8>(a, a + bytesA), std::vector<u8>(b, b + bytesB));
  if (r.behindCount < 0 || r.frontCount < 0 ||
      (u64(r.behindCount) + u64(r.frontCount)) * kSubSpriteRecordSize > input->Left())
    return false;
  if (!ReadSubSprites(input, r.behindCount, &mapSprite->Behind()) ||
      !ReadSubSprites(input, r.frontCount, &mapSprite->InFront()))
    return false;
  mapSprite.release();  // the set owns it now
  return true;
}

// Each description must be an image sub-sprite of the right size naming a
// sprite of this set; the first one that is not ends the list short.
bool SpriteSet::ReadSubSprites(SectionInput* input, i32 count, std::vector<SSDATA>* out) {
  out->reserve(static_cast<size_t>(count));
  for (i32 i = 0; i < count; ++i) {
    const u8* raw = input->Take(kSubSpriteRecordSize);
    if (!raw || kis::GetU32LE(raw + 4) != kSubSpriteImage || kis::GetU32LE(raw) != kSubSpriteRecordSize) return false;
    SSDATA d;
    ParseSubSpriteRecord(raw, &d);
    d.sprite = FindSprite(d.name);
    if (!d.sprite) return false;
    out->push_back(d);
  }
  return true;
}
