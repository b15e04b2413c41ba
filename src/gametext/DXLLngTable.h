// DXLLngTable - one named table of a language: keyed texts in load order,
// one per key (a later text of the same key replaces the earlier one in
// place), and the language's default text for every key that is missing.
// Room is reserved before filling: AddText refuses a text when the table is
// full. The table owns its texts, not the default text.
#pragma once

#include "base/Identifier.h"
#include "base/Types.h"
#include "gametext/DXLLngText.h"

// A text key asked for with the fallback and not in its section: the log
// says which (the text shown is the language's "NF" one).
void LogTextMiss(const wchar* section, const wchar* key);

class DXLLngTable {
 public:
  DXLLngTable(const kis::Identifier& name, DXLLngText** defaultText) : name_(name), defaultText_(defaultText) {}
  DXLLngTable(const DXLLngTable&) = delete;
  DXLLngTable& operator=(const DXLLngTable&) = delete;
  ~DXLLngTable();  // frees the texts from last to first

  // First variant of the key's text; else the default text's first variant
  // with `fallback`, else null. A key that is no identifier gives null.
  const wchar* FindText(const wchar* key, bool fallback) const;
  // The key's text, or null.
  const DXLLngText* Find(const kis::Identifier& key) const;
  DXLLngText* AddText(const wchar* key, u32 keyLength, const wchar* value, u32 valueLength);
  bool Reserve(u32 n);     // grows the room by n; unchanged on failure
  void Append(DXLLngText* text);  // stores it when there is room, else frees it

  const kis::Identifier& GetName() const { return name_; }
  u32 GetCount() const { return count_; }
  u32 GetCapacity() const { return capacity_; }
  const DXLLngText* GetTextAt(u32 i) const { return i < count_ ? texts_[i] : nullptr; }
  const DXLLngText* GetDefaultText() const { return defaultText_ ? *defaultText_ : nullptr; }

 private:
  kis::Identifier name_;
  u32 count_ = 0;
  u32 capacity_ = 0;
  DXLLngText** texts_ = nullptr;
  DXLLngText** defaultText_;  // the language's slot, so a reloaded default is seen
};
