#include "resources/SpriteArchiveWriter.h"

#include "base/LittleEndian.h"
#include "base/Strings.h"
#include "base/datafile/DataFileWriter.h"

namespace {

template <size_t N, class R>
void AppendRecord(std::vector<u8>* out, void (*put)(u8*, const R&), const R& record) {
  u8 raw[N];
  put(raw, record);
  out->insert(out->end(), raw, raw + N);
}

void AppendBytes(std::vector<u8>* out, const std::vector<u8>& bytes) { out->insert(out->end(), bytes.begin(), bytes.end()); }

}  // namespace

SpriteImageEntry MakeSpriteImageEntry(const wchar* name, std::vector<u8> image) {
  SpriteImageEntry e{};
  e.record.size = kImageRecordSize;
  e.record.imageFilter = 1;
  DXLMakeSimpleDrawState(&e.record.drawState, 1, 3, kBlendAlpha, 4);
  kis::StrCopy(e.record.name, kSpriteNameSize, name);
  e.image = std::move(image);
  return e;
}

SpriteEntry MakeSpriteEntry(const wchar* name, const wchar* texture) {
  SpriteEntry e{};
  e.record.size = kSpriteRecordSize;
  kis::StrCopy(e.record.name, kSpriteNameSize, name);
  kis::StrCopy(e.record.texture, kSpriteNameSize, texture);
  return e;
}

MapSpriteEntry MakeMapSpriteEntry(const wchar* name, const wchar* sprite) {
  MapSpriteEntry e{};
  e.record.size = kMapSpriteRecordSize;
  kis::StrCopy(e.record.name, kSpriteNameSize, name);
  kis::StrCopy(e.record.sprite, kSpriteNameSize, sprite);
  return e;
}

SSDATA MakeSubSprite(const wchar* sprite, float x, float y) {
  SSDATA d{};
  d.size = kSubSpriteRecordSize;
  d.kind = kSubSpriteImage;
  kis::StrCopy(d.name, kSpriteNameSize, sprite);
  d.x = x;
  d.y = y;
  d.pivotX = d.pivotY = 0.5f;
  d.scaleX = d.scaleY = 1.0f;
  return d;
}

SHADOWRECORD MakeShadowRecord(const wchar* sprite, float alpha) {
  SHADOWRECORD s{};
  kis::StrCopy(s.name, kSpriteNameSize, sprite);
  s.pivotX = s.pivotY = 0.5f;
  s.alpha = alpha;
  return s;
}

void AppendSpriteImageEntry(std::vector<u8>* out, const SpriteImageEntry& entry) {
  IMAGERECORD r = entry.record;
  r.length = static_cast<u32>(entry.image.size());
  AppendRecord<kImageRecordSize>(out, PutImageRecord, r);
  AppendBytes(out, entry.image);
}

void AppendSpriteEntry(std::vector<u8>* out, const SpriteEntry& entry) {
  SPRITERECORD r = entry.record;
  if (r.explicitFrames) r.frameCount = static_cast<i32>(entry.frames.size());
  r.hasDrawState = entry.drawState ? 1 : 0;
  r.hasAnimation = entry.animation ? 1 : 0;
  AppendRecord<kSpriteRecordSize>(out, PutSpriteRecord, r);
  if (r.explicitFrames)
    for (const DXLRECT& f : entry.frames) AppendRecord<kFrameRectRecordSize>(out, PutRectRecord, f);
  if (entry.drawState) AppendRecord<kDrawStateRecordSize>(out, PutDrawStateRecord, *entry.drawState);
  if (entry.animation) AppendRecord<kFrameSeqRecordSize>(out, PutFrameSeqRecord, *entry.animation);
}

void AppendMapSpriteEntry(std::vector<u8>* out, const MapSpriteEntry& entry) {
  MAPSPRITERECORD r = entry.record;
  r.hasShadow = entry.shadow ? 1 : 0;
  r.countA = static_cast<u32>(entry.arrayA.size() / kMapSpriteARecordSize);
  r.countB = static_cast<u32>(entry.arrayB.size() / kMapSpriteBRecordSize);
  r.behindCount = static_cast<i32>(entry.behind.size());
  r.frontCount = static_cast<i32>(entry.front.size());
  AppendRecord<kMapSpriteRecordSize>(out, PutMapSpriteRecord, r);
  if (entry.shadow) AppendRecord<kShadowRecordSize>(out, PutShadowRecord, *entry.shadow);
  out->insert(out->end(), entry.arrayA.begin(), entry.arrayA.begin() + r.countA * kMapSpriteARecordSize);
  out->insert(out->end(), entry.arrayB.begin(), entry.arrayB.begin() + r.countB * kMapSpriteBRecordSize);
  for (const SSDATA& d : entry.behind) AppendRecord<kSubSpriteRecordSize>(out, PutSubSpriteRecord, d);
  for (const SSDATA& d : entry.front) AppendRecord<kSubSpriteRecordSize>(out, PutSubSpriteRecord, d);
}

template <class Entry>
std::vector<u8> SpriteSectionBody(const std::vector<Entry>& entries,
                                  void (*append)(std::vector<u8>*, const Entry&)) {
  std::vector<u8> body(4);
  kis::PutU32LE(body.data(), static_cast<u32>(entries.size()));
  for (const Entry& e : entries) append(&body, e);
  return body;
}

template std::vector<u8> SpriteSectionBody(const std::vector<SpriteImageEntry>&,
                                           void (*)(std::vector<u8>*, const SpriteImageEntry&));
template std::vector<u8> SpriteSectionBody(const std::vector<SpriteEntry>&,
                                           void (*)(std::vector<u8>*, const SpriteEntry&));
template std::vector<u8> SpriteSectionBody(const std::vector<MapSpriteEntry>&,
                                           void (*)(std::vector<u8>*, const MapSpriteEntry&));

int SpriteArchiveWriter::KindIndex(u32 kindId) {
  return kindId == kSpriteImagesId ? 0 : kindId == kSpritesId ? 1 : kindId == kMapSpritesId ? 2 : -1;
}

void SpriteArchiveWriter::SetRawSection(u32 kindId, u32 set, std::vector<u8> body) {
  const int kind = KindIndex(kindId);
  if (kind >= 0) sets_[set % kSpriteSetCount].raw[kind] = std::move(body);
}

std::vector<u8> SpriteArchiveWriter::ImageSection(u32 set) const {
  const Set& s = sets_[set % kSpriteSetCount];
  return s.raw[0] ? *s.raw[0] : SpriteSectionBody(s.images, &AppendSpriteImageEntry);
}

std::vector<u8> SpriteArchiveWriter::SpriteSection(u32 set) const {
  const Set& s = sets_[set % kSpriteSetCount];
  return s.raw[1] ? *s.raw[1] : SpriteSectionBody(s.sprites, &AppendSpriteEntry);
}

std::vector<u8> SpriteArchiveWriter::MapSpriteSection(u32 set) const {
  const Set& s = sets_[set % kSpriteSetCount];
  return s.raw[2] ? *s.raw[2] : SpriteSectionBody(s.mapSprites, &AppendMapSpriteEntry);
}

bool SpriteArchiveWriter::WriteTo(kis::BaseDataFileWriter* writer) const {
  if (!writer) return false;
  struct Kind {
    u32 id, subId;
    std::vector<u8> (SpriteArchiveWriter::*body)(u32) const;
  };
  const Kind kinds[] = {{kSpriteImagesId, kSpriteImagesSubId, &SpriteArchiveWriter::ImageSection},
                        {kSpritesId, kSpritesSubId, &SpriteArchiveWriter::SpriteSection},
                        {kMapSpritesId, kMapSpritesSubId, &SpriteArchiveWriter::MapSpriteSection}};
  for (const Kind& k : kinds) {
    writer->BeginDirectory(k.id, k.subId);
    for (u32 set = 0; set < kSpriteSetCount; ++set) {
      const std::vector<u8> body = (this->*k.body)(set);
      writer->BeginSection(k.id + set, k.subId);
      writer->Write(body.data(), static_cast<u32>(body.size()));
      writer->EndSection();
    }
    writer->EndDirectory();
  }
  return writer->IsOk();
}

bool SpriteArchiveWriter::Write(const wchar* path) const {
  kis::DataFileWriterW* writer = kis::CreateDataFileWriterW(path, kSpriteArchiveSignature1,
                                                            kSpriteArchiveSignature2, kSpriteArchiveVersion, true);
  if (!writer) return false;
  const bool written = WriteTo(writer);
  return kis::CloseDataFile(writer) && written;
}
