#include "content/ComixSection.h"

#include "base/LittleEndian.h"
#include "content/ContentSections.h"
#include "content/KindSections.h"

namespace {

bool ReadU32(kis::BaseDataFileReader* reader, u32* out) {
  u8 raw[4];
  if (!ReadDataSection(reader, raw, 4)) return false;
  *out = kis::GetU32LE(raw);
  return true;
}

bool ReadEntries(const u8* raw, u32 count, std::vector<COMIXENTRY>* out) {
  out->resize(count);
  for (u32 i = 0; i < count; ++i) {
    const u8* e = raw + i * kComixEntrySize;
    ParseWideField(e, (*out)[i].name);
    (*out)[i].x = static_cast<i32>(kis::GetU32LE(e + 64));
    (*out)[i].y = static_cast<i32>(kis::GetU32LE(e + 68));
  }
  return true;
}

bool ReadPart(kis::BaseDataFileReader* reader, COMIXPART* part) {
  u8 head[kComixPartHeaderSize];
  if (!ReadDataSection(reader, head, kComixPartHeaderSize)) return false;
  const u32 size = kis::GetU32LE(head);
  part->x = static_cast<i32>(kis::GetU32LE(head + 4));
  part->y = static_cast<i32>(kis::GetU32LE(head + 8));
  part->centerX = static_cast<i32>(kis::GetU32LE(head + 12));
  part->centerY = static_cast<i32>(kis::GetU32LE(head + 16));
  const u32 a = kis::GetU32LE(head + 20), b = kis::GetU32LE(head + 24), c = kis::GetU32LE(head + 28);
  const u64 entries = u64{a} + b + c;
  if (kComixPartHeaderSize + kComixEntrySize * entries != size) return false;
  const u32 body = size - kComixPartHeaderSize;
  if (body > DataSectionBytesLeft(reader)) return false;  // before anything is allocated
  std::vector<u8> raw(body);
  if (body && !ReadDataSection(reader, raw.data(), body)) return false;
  ReadEntries(raw.data(), a, &part->pictures);
  ReadEntries(raw.data() + u64{kComixEntrySize} * a, b, &part->overlays);
  ReadEntries(raw.data() + u64{kComixEntrySize} * (u64{a} + b), c, &part->texts);
  return true;
}

bool ReadPages(kis::BaseDataFileReader* reader, std::vector<std::unique_ptr<ComixPage>>* pages) {
  u32 count = 0;
  if (!ReadU32(reader, &count)) return false;
  if (u64{count} * kComixPageHeaderSize > DataSectionBytesLeft(reader)) return false;
  for (u32 p = 0; p < count; ++p) {
    auto page = std::make_unique<ComixPage>();
    u32 x = 0, y = 0, parts = 0;
    if (!ReadU32(reader, &x) || !ReadU32(reader, &y) || !ReadU32(reader, &parts)) return false;
    page->x = static_cast<i32>(x);
    page->y = static_cast<i32>(y);
    if (u64{parts} * kComixPartHeaderSize > DataSectionBytesLeft(reader)) return false;
    page->parts.resize(parts);
    for (COMIXPART& part : page->parts)
      if (!ReadPart(reader, &part)) return false;
    pages->push_back(std::move(page));
  }
  return true;
}

void AppendEntries(std::vector<u8>& out, const std::vector<COMIXENTRY>& entries) {
  for (const COMIXENTRY& e : entries) {
    u8 raw[kComixEntrySize] = {};
    PutWideField(raw, e.name);
    kis::PutU32LE(raw + 64, static_cast<u32>(e.x));
    kis::PutU32LE(raw + 68, static_cast<u32>(e.y));
    AppendBytes(out, raw, kComixEntrySize);
  }
}

}  // namespace

i32 ComixList::ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  pages_.clear();
  if (!OpenDataSection(reader, kComixSectionId, kComixSectionSubId)) {
    cursor->error = 1;
    return 1;
  }
  const bool ok = ReadPages(reader, &pages_);
  if (!ok) pages_.clear();
  EndDataSection(reader, cursor, !ok);
  if (cursor->error) pages_.clear();
  cursor->done = cursor->total = GetCount();
  return 1;
}

std::vector<u8> ComixSection(const std::vector<ComixPage>& pages) {
  std::vector<u8> out;
  AppendU32(out, static_cast<u32>(pages.size()));
  for (const ComixPage& page : pages) {
    AppendU32(out, static_cast<u32>(page.x));
    AppendU32(out, static_cast<u32>(page.y));
    AppendU32(out, static_cast<u32>(page.parts.size()));
    for (const COMIXPART& part : page.parts) {
      u8 head[kComixPartHeaderSize] = {};
      const i32 fields[] = {part.x, part.y, part.centerX, part.centerY};
      kis::PutU32LE(head, static_cast<u32>(part.RecordSize()));
      for (u32 i = 0; i < 4; ++i) kis::PutU32LE(head + 4 + 4 * i, static_cast<u32>(fields[i]));
      kis::PutU32LE(head + 20, static_cast<u32>(part.pictures.size()));
      kis::PutU32LE(head + 24, static_cast<u32>(part.overlays.size()));
      kis::PutU32LE(head + 28, static_cast<u32>(part.texts.size()));
      AppendBytes(out, head, kComixPartHeaderSize);
      AppendEntries(out, part.pictures);
      AppendEntries(out, part.overlays);
      AppendEntries(out, part.texts);
    }
  }
  return out;
}
