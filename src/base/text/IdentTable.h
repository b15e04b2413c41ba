// kis::IdentTable - named sections of named text entries, as the
// spreadsheet-XML language reader collects them, with lookups by name.
//
// Names are compared by name id, then length, then characters with A-Z
// folded. Section lookups never return null: a missing section gives the
// placeholder section (no entries). Error flags are cleared at the start of
// each lookup or read and ORed with its failures: 0x200 section not found,
// 0x300 malformed or empty section name, 0x400 entry not found, 0x500
// malformed entry name; value reads add the copy results (1, 2, 4).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"

namespace kis {

struct IdentEntry {
  u32 index = 0;
  std::u16string name;
  u32 nameLength = 0;
  u32 nameId = 0;
  std::u16string value;
  u32 valueLength = 0;
};

struct IdentSection {
  u32 index = 0;
  std::u16string name;
  u32 nameLength = 0;
  u32 nameId = 0;
  std::vector<std::unique_ptr<IdentEntry>> entries;
};

class IdentTable {
 public:
  IdentTable();
  IdentTable(const IdentTable&) = delete;
  IdentTable& operator=(const IdentTable&) = delete;

  // Building the table (file order is kept).
  IdentSection* AddSection(const wchar* name, u32 length);
  IdentEntry* AddEntry(IdentSection* section, const wchar* name, u32 nameLength, const wchar* value,
                       u32 valueLength);
  u32 GetSectionCount() const { return static_cast<u32>(sections_.size()); }
  IdentSection* GetSection(u32 index) const;  // null out of range
  IdentSection* GetPlaceholder() { return &placeholder_; }
  bool IsPlaceholder(const IdentSection* section) const { return section == &placeholder_; }

  // The section whose entries the name lookups search; null means none.
  void SetCurrentSection(IdentSection* section);
  IdentSection* GetCurrentSection() const { return current_; }
  u32 GetStatus() const { return error_; }

  IdentSection* FindW(const wchar* name);  // one identifier, blanks around allowed
  IdentSection* FindByHash(const wchar* name, u32 length, u32 nameId, u32 startIndex);
  // An entry of the current section; `next` continues after the entry found
  // last when it has this name.
  IdentEntry* ParseNameW(const wchar* name, bool next);
  IdentEntry* ParseNameA(const char* name, bool next);
  const wchar* LookupValueW(const wchar* name, u32* length, bool next);
  // Characters stored (capacity 0: the length needed). `raw` copies the
  // characters unchanged; otherwise by the value rules with the ANSI code
  // page. A missing entry or malformed value gives the default.
  u32 ReadValueW(const IdentEntry* entry, wchar* buffer, u32 capacity, const wchar* def, bool raw);
  u32 ReadValueA(const IdentEntry* entry, char* buffer, u32 capacity, const char* def, bool raw);

 private:
  template <class Ch>
  IdentEntry* ParseName(const Ch* name, bool next);
  template <class D>
  u32 ReadValue(const IdentEntry* entry, D* buffer, u32 capacity, const D* def, bool raw);

  std::vector<std::unique_ptr<IdentSection>> sections_;
  IdentSection placeholder_;
  IdentSection* current_ = nullptr;
  const IdentEntry* lastFound_ = nullptr;
  u32 error_ = 0;
};

}  // namespace kis
