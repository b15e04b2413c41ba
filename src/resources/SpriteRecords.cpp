#include "resources/SpriteRecords.h"

#include <cstring>

#include "base/LittleEndian.h"

using kis::GetF32LE;
using kis::GetI32LE;
using kis::GetU32LE;
using kis::PutF32LE;
using kis::PutI32LE;
using kis::PutU32LE;

void ParseSpriteName(const u8* raw, wchar* out) {
  for (u32 i = 0; i + 1 < kSpriteNameSize; ++i) out[i] = static_cast<wchar>(kis::GetU16LE(raw + 2 * i));
  out[kSpriteNameSize - 1] = 0;
}

void PutSpriteName(u8* raw, const wchar* name) {
  std::memset(raw, 0, 2 * kSpriteNameSize);
  for (u32 i = 0; name && i < kSpriteNameSize && name[i]; ++i) kis::PutU16LE(raw + 2 * i, name[i]);
}

void ParseDrawStateRecord(const u8* raw, DXLDRAWSTATE* out) {
  out->minFilter = raw[0];
  out->magFilter = raw[1];
  out->addressU = GetU32LE(raw + 4);
  out->addressV = GetU32LE(raw + 8);
  out->blendMode = GetU32LE(raw + 12);
  out->colorOp = GetU32LE(raw + 16);
  out->alphaOp = GetU32LE(raw + 20);
}

void PutDrawStateRecord(u8* raw, const DXLDRAWSTATE& state) {
  std::memset(raw, 0, kDrawStateRecordSize);
  raw[0] = state.minFilter;
  raw[1] = state.magFilter;
  PutU32LE(raw + 4, state.addressU);
  PutU32LE(raw + 8, state.addressV);
  PutU32LE(raw + 12, state.blendMode);
  PutU32LE(raw + 16, state.colorOp);
  PutU32LE(raw + 20, state.alphaOp);
}

void ParseFrameSeqRecord(const u8* raw, DXLFRAMESEQ* out) {
  *out = DXLFRAMESEQ{GetU32LE(raw), GetU32LE(raw + 4), GetU32LE(raw + 8),
                     GetU32LE(raw + 12), GetU32LE(raw + 16), GetU32LE(raw + 20)};
}

void PutFrameSeqRecord(u8* raw, const DXLFRAMESEQ& seq) {
  const u32 words[6] = {seq.mode, seq.first, seq.count, seq.timePerFrame, seq.elapsed, seq.current};
  for (int i = 0; i < 6; ++i) PutU32LE(raw + 4 * i, words[i]);
}

void ParseRectRecord(const u8* raw, DXLRECT* out) {
  *out = DXLRECT{GetI32LE(raw), GetI32LE(raw + 4), GetI32LE(raw + 8), GetI32LE(raw + 12)};
}

void PutRectRecord(u8* raw, const DXLRECT& rect) {
  PutI32LE(raw, rect.left);
  PutI32LE(raw + 4, rect.top);
  PutI32LE(raw + 8, rect.right);
  PutI32LE(raw + 12, rect.bottom);
}

void ParseImageRecord(const u8* raw, IMAGERECORD* out) {
  out->size = GetU32LE(raw);
  out->imageFilter = GetU32LE(raw + 4);
  out->loadOption = GetU32LE(raw + 8);
  ParseDrawStateRecord(raw + 12, &out->drawState);
  ParseSpriteName(raw + 36, out->name);
  out->length = GetU32LE(raw + 100);
}

void PutImageRecord(u8* raw, const IMAGERECORD& record) {
  PutU32LE(raw, kImageRecordSize);
  PutU32LE(raw + 4, record.imageFilter);
  PutU32LE(raw + 8, record.loadOption);
  PutDrawStateRecord(raw + 12, record.drawState);
  PutSpriteName(raw + 36, record.name);
  PutU32LE(raw + 100, record.length);
}

void ParseSpriteRecord(const u8* raw, SPRITERECORD* out) {
  out->size = GetU32LE(raw);
  ParseSpriteName(raw + 4, out->name);
  ParseSpriteName(raw + 68, out->texture);
  out->flipH = raw[132];
  out->flipV = raw[133];
  out->unused = raw[134];
  out->turn = GetI32LE(raw + 136);
  out->frameCount = GetI32LE(raw + 140);
  out->explicitFrames = raw[144];
  ParseRectRecord(raw + 148, &out->area);
  out->frameWidth = GetI32LE(raw + 164);
  out->frameHeight = GetI32LE(raw + 168);
  out->gapX = GetI32LE(raw + 172);
  out->gapY = GetI32LE(raw + 176);
  out->hasDrawState = raw[180];
  out->hasAnimation = raw[181];
}

void PutSpriteRecord(u8* raw, const SPRITERECORD& record) {
  std::memset(raw, 0, kSpriteRecordSize);
  PutU32LE(raw, kSpriteRecordSize);
  PutSpriteName(raw + 4, record.name);
  PutSpriteName(raw + 68, record.texture);
  raw[132] = record.flipH;
  raw[133] = record.flipV;
  raw[134] = record.unused;
  PutI32LE(raw + 136, record.turn);
  PutI32LE(raw + 140, record.frameCount);
  raw[144] = record.explicitFrames;
  PutRectRecord(raw + 148, record.area);
  PutI32LE(raw + 164, record.frameWidth);
  PutI32LE(raw + 168, record.frameHeight);
  PutI32LE(raw + 172, record.gapX);
  PutI32LE(raw + 176, record.gapY);
  raw[180] = record.hasDrawState;
  raw[181] = record.hasAnimation;
}

void ParseMapSpriteRecord(const u8* raw, MAPSPRITERECORD* out) {
  out->size = GetU32LE(raw);
  ParseSpriteName(raw + 4, out->name);
  ParseSpriteName(raw + 68, out->sprite);
  out->hotX = GetI32LE(raw + 132);
  out->hotY = GetI32LE(raw + 136);
  out->secondX = GetI32LE(raw + 140);
  out->secondY = GetI32LE(raw + 144);
  out->hasShadow = raw[148];
  out->countA = GetU32LE(raw + 152);
  out->countB = GetU32LE(raw + 156);
  out->behindCount = GetI32LE(raw + 160);
  out->frontCount = GetI32LE(raw + 164);
}

void PutMapSpriteRecord(u8* raw, const MAPSPRITERECORD& record) {
  std::memset(raw, 0, kMapSpriteRecordSize);
  PutU32LE(raw, kMapSpriteRecordSize);
  PutSpriteName(raw + 4, record.name);
  PutSpriteName(raw + 68, record.sprite);
  PutI32LE(raw + 132, record.hotX);
  PutI32LE(raw + 136, record.hotY);
  PutI32LE(raw + 140, record.secondX);
  PutI32LE(raw + 144, record.secondY);
  raw[148] = record.hasShadow;
  PutU32LE(raw + 152, record.countA);
  PutU32LE(raw + 156, record.countB);
  PutI32LE(raw + 160, record.behindCount);
  PutI32LE(raw + 164, record.frontCount);
}

void ParseSubSpriteRecord(const u8* raw, SSDATA* out) {
  out->size = GetU32LE(raw);
  out->kind = GetU32LE(raw + 4);
  ParseSpriteName(raw + 8, out->name);
  out->x = GetF32LE(raw + 72);
  out->y = GetF32LE(raw + 76);
  out->pivotX = GetF32LE(raw + 80);
  out->pivotY = GetF32LE(raw + 84);
  out->scaleX = GetF32LE(raw + 88);
  out->scaleY = GetF32LE(raw + 92);
  out->sprite = nullptr;
}

void PutSubSpriteRecord(u8* raw, const SSDATA& record) {
  PutU32LE(raw, kSubSpriteRecordSize);
  PutU32LE(raw + 4, record.kind);
  PutSpriteName(raw + 8, record.name);
  PutF32LE(raw + 72, record.x);
  PutF32LE(raw + 76, record.y);
  PutF32LE(raw + 80, record.pivotX);
  PutF32LE(raw + 84, record.pivotY);
  PutF32LE(raw + 88, record.scaleX);
  PutF32LE(raw + 92, record.scaleY);
}

void ParseShadowRecord(const u8* raw, SHADOWRECORD* out) {
  ParseSpriteName(raw, out->name);
  out->width = GetI32LE(raw + 64);
  out->height = GetI32LE(raw + 68);
  out->pivotX = GetF32LE(raw + 72);
  out->pivotY = GetF32LE(raw + 76);
  out->alpha = GetF32LE(raw + 80);
}

void PutShadowRecord(u8* raw, const SHADOWRECORD& record) {
  PutSpriteName(raw, record.name);
  PutI32LE(raw + 64, record.width);
  PutI32LE(raw + 68, record.height);
  PutF32LE(raw + 72, record.pivotX);
  PutF32LE(raw + 76, record.pivotY);
  PutF32LE(raw + 80, record.alpha);
}
