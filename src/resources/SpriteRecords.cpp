#include "resources/SpriteRecords.h"

#include <bit>
#include <cstddef>
#include <cstring>

#include "base/LittleEndian.h"
#include "base/RecordFields.h"

namespace {

// --- The layouts: each table is walked by the reader and by the writer -----------------

constexpr RecordField kDrawStateFields[] = {
    TM_FIELD(DXLDRAWSTATE, minFilter, 0, kBytes, 1), TM_FIELD(DXLDRAWSTATE, magFilter, 1, kBytes, 1),
    TM_FIELD(DXLDRAWSTATE, addressU, 4, kU32, 1),    TM_FIELD(DXLDRAWSTATE, addressV, 8, kU32, 1),
    TM_FIELD(DXLDRAWSTATE, blendMode, 12, kU32, 1),  TM_FIELD(DXLDRAWSTATE, colorOp, 16, kU32, 1),
    TM_FIELD(DXLDRAWSTATE, alphaOp, 20, kU32, 1)};
constexpr RecordLayout kDrawStateLayout = MakeLayout(kDrawStateRecordSize, kDrawStateFields);

constexpr RecordField kFrameSeqFields[] = {
    TM_FIELD(DXLFRAMESEQ, mode, 0, kU32, 1),          TM_FIELD(DXLFRAMESEQ, first, 4, kU32, 1),
    TM_FIELD(DXLFRAMESEQ, count, 8, kU32, 1),         TM_FIELD(DXLFRAMESEQ, timePerFrame, 12, kU32, 1),
    TM_FIELD(DXLFRAMESEQ, elapsed, 16, kU32, 1),      TM_FIELD(DXLFRAMESEQ, current, 20, kU32, 1)};
constexpr RecordLayout kFrameSeqLayout = MakeLayout(kFrameSeqRecordSize, kFrameSeqFields);

constexpr RecordField kImageFields[] = {
    TM_FIELD(IMAGERECORD, size, 0, kU32, 1),
    TM_FIELD(IMAGERECORD, imageFilter, 4, kU32, 1),
    TM_FIELD(IMAGERECORD, loadOption, 8, kU32, 1),
    TM_RECORDS(IMAGERECORD, drawState, 12, kDrawStateLayout, 1),
    TM_FIELD(IMAGERECORD, name, 36, kText, kSpriteNameSize),
    TM_FIELD(IMAGERECORD, length, 100, kU32, 1)};
constexpr RecordLayout kImageLayout = MakeLayout(kImageRecordSize, kImageFields);

constexpr RecordField kSpriteFields[] = {
    TM_FIELD(SPRITERECORD, size, 0, kU32, 1),
    TM_FIELD(SPRITERECORD, name, 4, kText, kSpriteNameSize),
    TM_FIELD(SPRITERECORD, texture, 68, kText, kSpriteNameSize),
    TM_FIELD(SPRITERECORD, flipH, 132, kBytes, 1),
    TM_FIELD(SPRITERECORD, flipV, 133, kBytes, 1),
    TM_FIELD(SPRITERECORD, unused, 134, kBytes, 1),
    TM_FIELD(SPRITERECORD, turn, 136, kU32, 1),
    TM_FIELD(SPRITERECORD, frameCount, 140, kU32, 1),
    TM_FIELD(SPRITERECORD, explicitFrames, 144, kBytes, 1),
    TM_RECORDS(SPRITERECORD, area, 148, kDXLRectLayout, 1),
    TM_FIELD(SPRITERECORD, frameWidth, 164, kU32, 1),
    TM_FIELD(SPRITERECORD, frameHeight, 168, kU32, 1),
    TM_FIELD(SPRITERECORD, gapX, 172, kU32, 1),
    TM_FIELD(SPRITERECORD, gapY, 176, kU32, 1),
    TM_FIELD(SPRITERECORD, hasDrawState, 180, kBytes, 1),
    TM_FIELD(SPRITERECORD, hasAnimation, 181, kBytes, 1)};
constexpr RecordLayout kSpriteLayout = MakeLayout(kSpriteRecordSize, kSpriteFields);

constexpr RecordField kMapSpriteFields[] = {
    TM_FIELD(MAPSPRITERECORD, size, 0, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, name, 4, kText, kSpriteNameSize),
    TM_FIELD(MAPSPRITERECORD, sprite, 68, kText, kSpriteNameSize),
    TM_FIELD(MAPSPRITERECORD, hotX, 132, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, hotY, 136, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, secondX, 140, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, secondY, 144, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, hasShadow, 148, kBytes, 1),
    TM_FIELD(MAPSPRITERECORD, countA, 152, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, countB, 156, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, behindCount, 160, kU32, 1),
    TM_FIELD(MAPSPRITERECORD, frontCount, 164, kU32, 1)};
constexpr RecordLayout kMapSpriteLayout = MakeLayout(kMapSpriteRecordSize, kMapSpriteFields);

constexpr RecordField kSubSpriteFields[] = {
    TM_FIELD(SSDATA, size, 0, kU32, 1),    TM_FIELD(SSDATA, kind, 4, kU32, 1),
    TM_FIELD(SSDATA, name, 8, kText, kSpriteNameSize),
    TM_FIELD(SSDATA, x, 72, kF32, 1),      TM_FIELD(SSDATA, y, 76, kF32, 1),
    TM_FIELD(SSDATA, pivotX, 80, kF32, 1), TM_FIELD(SSDATA, pivotY, 84, kF32, 1),
    TM_FIELD(SSDATA, scaleX, 88, kF32, 1), TM_FIELD(SSDATA, scaleY, 92, kF32, 1)};
constexpr RecordLayout kSubSpriteLayout = MakeLayout(kSubSpriteRecordSize, kSubSpriteFields);

constexpr RecordField kShadowFields[] = {
    TM_FIELD(SHADOWRECORD, name, 0, kText, kSpriteNameSize), TM_FIELD(SHADOWRECORD, width, 64, kU32, 1),
    TM_FIELD(SHADOWRECORD, height, 68, kU32, 1),             TM_FIELD(SHADOWRECORD, pivotX, 72, kF32, 1),
    TM_FIELD(SHADOWRECORD, pivotY, 76, kF32, 1),             TM_FIELD(SHADOWRECORD, alpha, 80, kF32, 1)};
constexpr RecordLayout kShadowLayout = MakeLayout(kShadowRecordSize, kShadowFields);

// The stored offset of the field at `member` in a table.
template <size_t n>
consteval u32 StoredAt(const RecordField (&fields)[n], size_t member) {
  for (const RecordField& f : fields)
    if (f.member == member) return f.offset;
  return ~0u;
}
static_assert(StoredAt(kSpriteFields, offsetof(SPRITERECORD, name)) == kSpriteNameAt &&
              StoredAt(kSpriteFields, offsetof(SPRITERECORD, texture)) == kSpriteTextureAt &&
              StoredAt(kSpriteFields, offsetof(SPRITERECORD, frameCount)) == kSpriteFrameCountAt &&
              StoredAt(kSpriteFields, offsetof(SPRITERECORD, explicitFrames)) == kSpriteExplicitAt &&
              StoredAt(kSpriteFields, offsetof(SPRITERECORD, hasDrawState)) == kSpriteHasDrawStateAt &&
              StoredAt(kSpriteFields, offsetof(SPRITERECORD, hasAnimation)) == kSpriteHasAnimationAt);
static_assert(StoredAt(kMapSpriteFields, offsetof(MAPSPRITERECORD, name)) == kMapSpriteNameAt &&
              StoredAt(kMapSpriteFields, offsetof(MAPSPRITERECORD, sprite)) == kMapSpriteSpriteAt &&
              StoredAt(kMapSpriteFields, offsetof(MAPSPRITERECORD, hasShadow)) == kMapSpriteHasShadowAt &&
              StoredAt(kMapSpriteFields, offsetof(MAPSPRITERECORD, countA)) == kMapSpriteCountAAt &&
              StoredAt(kMapSpriteFields, offsetof(MAPSPRITERECORD, countB)) == kMapSpriteCountBAt &&
              StoredAt(kMapSpriteFields, offsetof(MAPSPRITERECORD, behindCount)) == kMapSpriteBehindAt &&
              StoredAt(kMapSpriteFields, offsetof(MAPSPRITERECORD, frontCount)) == kMapSpriteFrontAt);
static_assert(StoredAt(kSubSpriteFields, offsetof(SSDATA, kind)) == kSubSpriteKindAt &&
              StoredAt(kSubSpriteFields, offsetof(SSDATA, name)) == kSubSpriteNameAt);

static_assert(LayoutFits(kDrawStateLayout) && LayoutFits(kFrameSeqLayout) && LayoutFits(kImageLayout) &&
              LayoutFits(kSpriteLayout) && LayoutFits(kMapSpriteLayout) && LayoutFits(kSubSpriteLayout) &&
              LayoutFits(kShadowLayout) && LayoutFits(kDXLRectLayout));

// The record as written: its size word is the layout's, whatever it holds.
template <class R>
void WriteSized(const RecordLayout& layout, const R& record, u8* raw) {
  R sized = record;
  sized.size = layout.size;
  WriteRecord(layout, &sized, raw);
}

}  // namespace

void ParseSpriteName(const u8* raw, wchar* out) {
  for (u32 i = 0; i + 1 < kSpriteNameSize; ++i) out[i] = static_cast<wchar>(kis::GetU16LE(raw + 2 * i));
  out[kSpriteNameSize - 1] = 0;
}

void ParseSpriteNameBuffer(const u8* raw, wchar (&out)[kSpriteNameSize]) {
  if constexpr (std::endian::native == std::endian::little && sizeof(wchar) == 2) {
    std::memcpy(out, raw, sizeof out);
    out[kSpriteNameSize - 1] = 0;
  } else {
    ParseSpriteName(raw, out);
  }
}

void PutSpriteName(u8* raw, const wchar* name) {
  std::memset(raw, 0, 2 * kSpriteNameSize);
  for (u32 i = 0; name && i < kSpriteNameSize && name[i]; ++i) kis::PutU16LE(raw + 2 * i, name[i]);
}

void ParseDrawStateRecord(const u8* raw, DXLDRAWSTATE* out) { ReadFixedRecord<kDrawStateLayout>(raw, out); }
void PutDrawStateRecord(u8* raw, const DXLDRAWSTATE& state) { WriteRecord(kDrawStateLayout, &state, raw); }

void ParseFrameSeqRecord(const u8* raw, DXLFRAMESEQ* out) { ReadFixedRecord<kFrameSeqLayout>(raw, out); }
void PutFrameSeqRecord(u8* raw, const DXLFRAMESEQ& seq) { WriteRecord(kFrameSeqLayout, &seq, raw); }

void ParseRectRecord(const u8* raw, DXLRECT* out) { ReadFixedRecord<kDXLRectLayout>(raw, out); }
void PutRectRecord(u8* raw, const DXLRECT& rect) { WriteRecord(kDXLRectLayout, &rect, raw); }

void ParseImageRecord(const u8* raw, IMAGERECORD* out) { ReadFixedRecord<kImageLayout>(raw, out); }
void PutImageRecord(u8* raw, const IMAGERECORD& record) { WriteSized(kImageLayout, record, raw); }

void ParseSpriteRecord(const u8* raw, SPRITERECORD* out) { ReadFixedRecord<kSpriteLayout>(raw, out); }
void PutSpriteRecord(u8* raw, const SPRITERECORD& record) { WriteSized(kSpriteLayout, record, raw); }

void ParseMapSpriteRecord(const u8* raw, MAPSPRITERECORD* out) { ReadFixedRecord<kMapSpriteLayout>(raw, out); }
void PutMapSpriteRecord(u8* raw, const MAPSPRITERECORD& record) { WriteSized(kMapSpriteLayout, record, raw); }

void ParseSubSpriteRecord(const u8* raw, SSDATA* out) {
  ReadFixedRecord<kSubSpriteLayout>(raw, out);
  out->sprite = nullptr;
}
void PutSubSpriteRecord(u8* raw, const SSDATA& record) { WriteSized(kSubSpriteLayout, record, raw); }

void ParseShadowRecord(const u8* raw, SHADOWRECORD* out) { ReadFixedRecord<kShadowLayout>(raw, out); }
void PutShadowRecord(u8* raw, const SHADOWRECORD& record) { WriteRecord(kShadowLayout, &record, raw); }
