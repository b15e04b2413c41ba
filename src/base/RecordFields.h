// RecordFields - a stored record's layout written once: one table of its
// fields (where each lies in the stored bytes, where in the memory record,
// its kind and how many) that the reader and the writer both walk, so the
// two can never disagree on an offset.
//
// Stored fields are little-endian. Bytes no field names are written as 0 and
// skipped when read (padding). A field of kind kRecord repeats another
// layout, one element after the other in the stored bytes and `stride`
// bytes apart in memory. A field of kind kText is a text of `count` UTF-16
// units: written up to its end and padded with zeros, read with its last
// unit 0 so that a text filling the field still ends inside the buffer. The
// memory record must be standard-layout (its members are found with
// offsetof); the macros below check at compile time that each member has the
// kind's width and room for the count.
#pragma once

#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

#include "base/Types.h"

enum class FieldKind : u8 { kBytes, kU16, kU32, kU64, kF32, kRecord, kText };

struct RecordLayout;

struct RecordField {
  u32 offset;  // into the stored record
  u32 member;  // into the memory record
  FieldKind kind;
  u32 count;                // elements
  const RecordLayout* sub;  // kRecord: the element's layout
  u32 stride;               // kRecord: bytes between elements in memory
};

struct RecordLayout {
  u32 size;  // stored bytes
  const RecordField* fields;
  u32 fieldCount;
};

constexpr u32 FieldUnit(const RecordField& f) {
  switch (f.kind) {
    case FieldKind::kBytes:
      return 1;
    case FieldKind::kU16:
    case FieldKind::kText:
      return 2;
    case FieldKind::kU32:
    case FieldKind::kF32:
      return 4;
    case FieldKind::kU64:
      return 8;
    case FieldKind::kRecord:
      return f.sub ? f.sub->size : 0;
  }
  return 0;
}

// True when every field lies inside the stored size and no two overlap
// (fields in the table in stored order).
constexpr bool LayoutFits(const RecordLayout& layout) {
  u32 end = 0;
  for (u32 i = 0; i < layout.fieldCount; ++i) {
    const RecordField& f = layout.fields[i];
    if (f.offset < end || f.count == 0 || FieldUnit(f) == 0) return false;
    end = f.offset + FieldUnit(f) * f.count;
    if (end > layout.size) return false;
  }
  return true;
}

// Reads the layout's fields from `raw` (layout.size bytes) into the record.
void ReadRecord(const RecordLayout& layout, const u8* raw, void* record);
// Writes the record's fields into `raw` (layout.size bytes), padding 0.
void WriteRecord(const RecordLayout& layout, const void* record, u8* raw);
// Writes only the layout's fields, leaving every other byte as it is: for a
// stored record whose fields come from two memory records (the second
// layout written after WriteRecord of the first).
void WriteRecordFields(const RecordLayout& layout, const void* record, u8* raw);

namespace recordfields {

template <const RecordLayout& layout>
void ReadFixed(const u8* raw, u8* base);

// One field of a layout known at compile time: on a little-endian host the
// stored bytes are the memory bytes, so a run of scalars is one copy.
template <const RecordLayout& layout, u32 i>
inline void ReadFixedField(const u8* raw, u8* base) {
  constexpr RecordField f = layout.fields[i];
  if constexpr (f.kind == FieldKind::kText) {
    std::memcpy(base + f.member, raw + f.offset, 2 * (f.count - 1));
    std::memset(base + f.member + 2 * (f.count - 1), 0, 2);
  } else if constexpr (f.kind == FieldKind::kRecord) {
    for (u32 k = 0; k < f.count; ++k) ReadFixed<*f.sub>(raw + f.offset + k * f.sub->size, base + f.member + k * f.stride);
  } else {
    std::memcpy(base + f.member, raw + f.offset, FieldUnit(f) * f.count);
  }
}

template <const RecordLayout& layout, u32... i>
inline void ReadFixedFields(const u8* raw, u8* base, std::integer_sequence<u32, i...>) {
  (ReadFixedField<layout, i>(raw, base), ...);
}

template <const RecordLayout& layout>
inline void ReadFixed(const u8* raw, u8* base) {
  ReadFixedFields<layout>(raw, base, std::make_integer_sequence<u32, layout.fieldCount>{});
}

void MemberDoesNotFit();  // never defined: reached only in a bad table, at compile time

template <class Member>
consteval RecordField Make(u32 offset, u32 member, FieldKind kind, u32 count, const RecordLayout* sub = nullptr) {
  using Unit = std::remove_all_extents_t<Member>;
  const u32 room = static_cast<u32>(sizeof(Member) / sizeof(Unit));
  RecordField f{offset, member, kind, count, sub, static_cast<u32>(sizeof(Unit))};
  const u32 unit = kind == FieldKind::kRecord ? 0 : FieldUnit(f);
  if (!std::is_standard_layout_v<Unit> || count == 0 || count > room ||
      (kind != FieldKind::kRecord && unit != sizeof(Unit)))
    MemberDoesNotFit();
  return f;
}

template <class Array>
consteval RecordField MakeElements(u32 offset, u32 member, u32 first, FieldKind kind, u32 count) {
  using Unit = std::remove_all_extents_t<Array>;
  RecordField f{offset, static_cast<u32>(member + first * sizeof(Unit)), kind, count, nullptr,
                static_cast<u32>(sizeof(Unit))};
  if (!std::is_standard_layout_v<Unit> || std::rank_v<Array> != 1 || count == 0 ||
      first + count > std::extent_v<Array> || kind == FieldKind::kRecord || FieldUnit(f) != sizeof(Unit))
    MemberDoesNotFit();
  return f;
}

}  // namespace recordfields

// TM_FIELD(Type, member, offset, kind, count): `count` elements of a scalar
// kind (kBytes, kU16, kU32, kU64, kF32), or a text of `count` units (kText),
// at `offset`. TM_RECORDS(Type, member, offset, layout, count): `count`
// elements of another layout. TM_ELEMENTS(Type, array, first, offset, kind,
// count): `count` elements of a member array from element `first` on, for an
// array whose elements lie apart in the stored record.
#define TM_FIELD(Type, member, offset, kind, count) \
  recordfields::Make<decltype(Type::member)>(offset, static_cast<u32>(offsetof(Type, member)), FieldKind::kind, count)
#define TM_RECORDS(Type, member, offset, layout, count)                                                            \
  recordfields::Make<decltype(Type::member)>(offset, static_cast<u32>(offsetof(Type, member)), FieldKind::kRecord, \
                                             count, &(layout))
#define TM_ELEMENTS(Type, array, first, offset, kind, count)                                                     \
  recordfields::MakeElements<decltype(Type::array)>(offset, static_cast<u32>(offsetof(Type, array)), first, \
                                                    FieldKind::kind, count)

// ReadRecord for a layout known at compile time (a constexpr table with
// static storage): the walk unrolled into straight copies, one per field,
// with the same result. For the records read by the thousand.
template <const RecordLayout& layout>
inline void ReadFixedRecord(const u8* raw, void* record) {
  if constexpr (std::endian::native == std::endian::little) {
    recordfields::ReadFixed<layout>(raw, static_cast<u8*>(record));
  } else {
    ReadRecord(layout, raw, record);
  }
}

template <size_t n>
constexpr RecordLayout MakeLayout(u32 size, const RecordField (&fields)[n]) {
  return RecordLayout{size, fields, static_cast<u32>(n)};
}
