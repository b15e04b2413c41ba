#include "base/text/IdentTable.h"

#include "base/Strings.h"
#include "base/text/TextChars.h"
#include "base/text/TextValue.h"

namespace kis {
namespace {

using textchars::IsBlank;
using textchars::IsNameChar;

constexpr u32 kSectionNotFound = 0x200;
constexpr u32 kBadSectionName = 0x300;
constexpr u32 kEntryNotFound = 0x400;
constexpr u32 kBadEntryName = 0x500;

// The one identifier of `text` (blanks around allowed): start and length, or
// false when the text holds anything else.
template <class Ch>
bool OneIdentifier(const Ch* text, const Ch** start, u32* length) {
  if (!text) return false;
  const Ch* p = text;
  while (IsBlank(*p)) ++p;
  const Ch* s = p;
  while (IsNameChar(*p)) ++p;
  if (p == s) return false;
  *start = s;
  *length = static_cast<u32>(p - s);
  while (IsBlank(*p)) ++p;
  return *p == 0;
}

template <class A, class B>
bool SameName(const A* a, u32 aLength, u32 aId, const B* b, u32 bLength, u32 bId) {
  return aId == bId && aLength == bLength && textchars::SameFolded(a, b, aLength);
}

}  // namespace

IdentTable::IdentTable() { placeholder_.index = 0x7FFFFFFF; }

IdentSection* IdentTable::AddSection(const wchar* name, u32 length) {
  auto s = std::make_unique<IdentSection>();
  s->index = static_cast<u32>(sections_.size());
  if (name) s->name.assign(name, length);
  s->nameLength = static_cast<u32>(s->name.size());
  s->nameId = textchars::NameIdOf(s->name.data(), s->nameLength);
  sections_.push_back(std::move(s));
  return sections_.back().get();
}

IdentEntry* IdentTable::AddEntry(IdentSection* section, const wchar* name, u32 nameLength, const wchar* value,
                                 u32 valueLength) {
  if (!section || section == &placeholder_) return nullptr;
  auto e = std::make_unique<IdentEntry>();
  e->index = static_cast<u32>(section->entries.size());
  if (name) e->name.assign(name, nameLength);
  e->nameLength = static_cast<u32>(e->name.size());
  e->nameId = textchars::NameIdOf(e->name.data(), e->nameLength);
  if (value) e->value.assign(value, valueLength);
  e->valueLength = static_cast<u32>(e->value.size());
  section->entries.push_back(std::move(e));
  return section->entries.back().get();
}

IdentSection* IdentTable::GetSection(u32 index) const {
  return index < sections_.size() ? sections_[index].get() : nullptr;
}

void IdentTable::SetCurrentSection(IdentSection* section) {
  current_ = section;
  lastFound_ = nullptr;
}

IdentSection* IdentTable::FindW(const wchar* name) {
  error_ = 0;
  const wchar* start = nullptr;
  u32 length = 0;
  if (!OneIdentifier(name, &start, &length)) {
    error_ |= kBadSectionName;
    return &placeholder_;
  }
  return FindByHash(start, length, textchars::NameIdOf(start, length), 0);
}

IdentSection* IdentTable::FindByHash(const wchar* name, u32 length, u32 nameId, u32 startIndex) {
  error_ = 0;
  if (!name || length == 0) {
    error_ |= kBadSectionName;
    return &placeholder_;
  }
  for (size_t i = startIndex; i < sections_.size(); ++i) {
    const IdentSection& s = *sections_[i];
    if (SameName(s.name.data(), s.nameLength, s.nameId, name, length, nameId)) return sections_[i].get();
  }
  error_ |= kSectionNotFound;
  return &placeholder_;
}

template <class Ch>
IdentEntry* IdentTable::ParseName(const Ch* name, bool next) {
  error_ = 0;
  const Ch* start = nullptr;
  u32 length = 0;
  if (!OneIdentifier(name, &start, &length)) {
    error_ |= kBadEntryName;
    return nullptr;
  }
  const u32 id = textchars::NameIdOf(start, length);
  const IdentSection* section = current_ ? current_ : &placeholder_;
  size_t from = 0;
  if (next && lastFound_ && lastFound_->index < section->entries.size() &&
      section->entries[lastFound_->index].get() == lastFound_ &&
      SameName(lastFound_->name.data(), lastFound_->nameLength, lastFound_->nameId, start, length, id))
    from = lastFound_->index + 1;
  for (size_t i = from; i < section->entries.size(); ++i) {
    IdentEntry* e = section->entries[i].get();
    if (SameName(e->name.data(), e->nameLength, e->nameId, start, length, id)) {
      lastFound_ = e;
      return e;
    }
  }
  error_ |= kEntryNotFound;
  return nullptr;
}

IdentEntry* IdentTable::ParseNameW(const wchar* name, bool next) { return ParseName(name, next); }
IdentEntry* IdentTable::ParseNameA(const char* name, bool next) { return ParseName(name, next); }

const wchar* IdentTable::LookupValueW(const wchar* name, u32* length, bool next) {
  const IdentEntry* e = ParseName(name, next);
  if (length) *length = e ? e->valueLength : 0;
  return e ? e->value.c_str() : nullptr;
}

template <class D>
u32 IdentTable::ReadValue(const IdentEntry* entry, D* buffer, u32 capacity, const D* def, bool raw) {
  error_ = 0;
  if (!buffer && capacity) {
    error_ |= kCopyNullBuffer;
    return 0;
  }
  if (entry) {
    u32 count = entry->valueLength;
    u32 r;
    if constexpr (sizeof(D) == 2)
      r = raw ? CopyRawWToW(entry->value.c_str(), buffer, capacity, 0, &count)
              : CopyValueWToW(entry->value.c_str(), buffer, capacity, 0, &count);
    else
      r = raw ? CopyRawWToA(entry->value.c_str(), buffer, capacity, 0, &count)
              : CopyValueWToA(entry->value.c_str(), buffer, capacity, 0, &count);
    error_ |= r;
    if ((r & kCopyMalformed) == 0) return count;
  }
  TextSink sink;
  sink.Begin(buffer, sizeof(D) == 2, capacity, 0);
  if (def) Emit(sink, def, StrLen(def));
  if (sink.cut) error_ |= kCopyCut;
  return sink.count;
}

u32 IdentTable::ReadValueW(const IdentEntry* entry, wchar* buffer, u32 capacity, const wchar* def, bool raw) {
  return ReadValue(entry, buffer, capacity, def, raw);
}

u32 IdentTable::ReadValueA(const IdentEntry* entry, char* buffer, u32 capacity, const char* def, bool raw) {
  return ReadValue(entry, buffer, capacity, def, raw);
}

}  // namespace kis
