// LngXmlDocument - a language written as a spreadsheet saved as XML: rows of
// cells, of which only the first two count. A row whose first cell is
// "[name]" starts a section; any other row with an identifier in its first
// cell adds a pair (key, second cell) to the current section; rows before
// the first section row fill the root. Sections of one name may repeat.
//
// The file may be UTF-8, UTF-16 (either order, with a byte-order mark) or
// 8-bit text whose cell texts are UTF-8; UTF-32, an empty file, a mark alone
// and odd-sized UTF-16 are refused (an empty document). Only the tags Row,
// Cell and Data (also "ss:Data") are read, by their first letters and case;
// every other tag, however short, is skipped, and tags inside a cell's text
// (rich text such as <B>) are dropped from it. A tag without its ">" ends the
// parse; what was committed before stays. Built completely at construction;
// afterwards it only answers lookups.
#pragma once

#include <string>

#include "base/Types.h"
#include "base/text/IdentTable.h"

class LngXmlDocument {
 public:
  static constexpr u32 kMaxFileBytes = 32u << 20;  // a larger file is not a language

  LngXmlDocument() = default;
  LngXmlDocument(const LngXmlDocument&) = delete;
  LngXmlDocument& operator=(const LngXmlDocument&) = delete;

  bool Load(const wchar* path);                  // false when unreadable or refused
  bool LoadBytes(const u8* bytes, size_t size);  // the same from memory

  bool HasContent() const { return table_.GetSectionCount() > 0 || !root_.entries.empty(); }
  u32 GetStatus() const { return status_; }

  // The current section moves between the root and the sections.
  bool EnterSection(const wchar* name);
  bool NextSection();
  void ToRoot();
  u32 GetCount();
  const wchar* GetValue(const wchar* name, u32* length);
  const wchar* GetKey(u32 index, u32* length);
  const wchar* GetValueAt(u32 index, u32* length);
  u32 ReadValueA(const char* name, char* buffer, u32 capacity);
  u32 ReadValue(const wchar* name, wchar* buffer, u32 capacity);

  kis::IdentTable& Table() { return table_; }
  kis::IdentSection& Root() { return root_; }

  // Parsing pieces, shared by both character widths.
  void AddRow(const std::u16string& first, const std::u16string& second);

 private:
  const kis::IdentEntry* EntryAt(u32 index);

  kis::IdentTable table_;
  kis::IdentSection root_;
  kis::IdentSection* current_ = &root_;
  u32 status_ = 0;
};
