#include "base/RecordFields.h"

#include <cstring>

#include "base/LittleEndian.h"

namespace {

// Memory holds each scalar in its own width: the stored value goes through
// a plain integer of that width, so signed and float members share the path.
void ReadUnit(FieldKind kind, const u8* raw, u8* at) {
  switch (kind) {
    case FieldKind::kBytes:
      *at = *raw;
      break;
    case FieldKind::kU16: {
      const u16 v = kis::GetU16LE(raw);
      std::memcpy(at, &v, 2);
      break;
    }
    case FieldKind::kU32:
    case FieldKind::kF32: {
      const u32 v = kis::GetU32LE(raw);
      std::memcpy(at, &v, 4);
      break;
    }
    case FieldKind::kU64: {
      const u64 v = kis::GetU64LE(raw);
      std::memcpy(at, &v, 8);
      break;
    }
    case FieldKind::kRecord:
    case FieldKind::kText:
      break;
  }
}

void WriteUnit(FieldKind kind, const u8* at, u8* raw) {
  switch (kind) {
    case FieldKind::kBytes:
      *raw = *at;
      break;
    case FieldKind::kU16: {
      u16 v;
      std::memcpy(&v, at, 2);
      kis::PutU16LE(raw, v);
      break;
    }
    case FieldKind::kU32:
    case FieldKind::kF32: {
      u32 v;
      std::memcpy(&v, at, 4);
      kis::PutU32LE(raw, v);
      break;
    }
    case FieldKind::kU64: {
      u64 v;
      std::memcpy(&v, at, 8);
      kis::PutU64LE(raw, v);
      break;
    }
    case FieldKind::kRecord:
    case FieldKind::kText:
      break;
  }
}

void ReadText(const u8* raw, u8* at, u32 units) {
  for (u32 i = 0; i + 1 < units; ++i) {
    const u16 unit = kis::GetU16LE(raw + 2 * i);
    std::memcpy(at + 2 * i, &unit, 2);
  }
  const u16 end = 0;
  std::memcpy(at + 2 * (units - 1), &end, 2);
}

void WriteText(const u8* at, u8* raw, u32 units) {
  bool ended = false;
  for (u32 i = 0; i < units; ++i) {
    u16 unit;
    std::memcpy(&unit, at + 2 * i, 2);
    ended = ended || unit == 0;
    kis::PutU16LE(raw + 2 * i, ended ? 0 : unit);
  }
}

}  // namespace

void ReadRecord(const RecordLayout& layout, const u8* raw, void* record) {
  u8* base = static_cast<u8*>(record);
  for (u32 i = 0; i < layout.fieldCount; ++i) {
    const RecordField& f = layout.fields[i];
    if (f.kind == FieldKind::kText) {
      ReadText(raw + f.offset, base + f.member, f.count);
      continue;
    }
    const u32 unit = FieldUnit(f);
    for (u32 k = 0; k < f.count; ++k) {
      if (f.kind == FieldKind::kRecord)
        ReadRecord(*f.sub, raw + f.offset + k * unit, base + f.member + k * f.stride);
      else
        ReadUnit(f.kind, raw + f.offset + k * unit, base + f.member + k * unit);
    }
  }
}

void WriteRecord(const RecordLayout& layout, const void* record, u8* raw) {
  std::memset(raw, 0, layout.size);
  WriteRecordFields(layout, record, raw);
}

void WriteRecordFields(const RecordLayout& layout, const void* record, u8* raw) {
  const u8* base = static_cast<const u8*>(record);
  for (u32 i = 0; i < layout.fieldCount; ++i) {
    const RecordField& f = layout.fields[i];
    if (f.kind == FieldKind::kText) {
      WriteText(base + f.member, raw + f.offset, f.count);
      continue;
    }
    const u32 unit = FieldUnit(f);
    for (u32 k = 0; k < f.count; ++k) {
      if (f.kind == FieldKind::kRecord)
        WriteRecord(*f.sub, base + f.member + k * f.stride, raw + f.offset + k * unit);
      else
        WriteUnit(f.kind, base + f.member + k * unit, raw + f.offset + k * unit);
    }
  }
}
