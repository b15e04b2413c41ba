#include "gametext/DXLLngTable.h"

#include <cstdlib>
#include <string>

#include "base/Strings.h"
#include "engine/DXLLog.h"

DXLLngTable::~DXLLngTable() {
  for (u32 i = count_; i-- > 0;) FreeLngText(texts_[i]);
  std::free(texts_);
}

const DXLLngText* DXLLngTable::Find(const kis::Identifier& key) const {
  for (u32 i = 0; i < count_; ++i)
    if (texts_[i]->key.Equals(key)) return texts_[i];
  return nullptr;
}

const wchar* DXLLngTable::FindText(const wchar* key, bool fallback) const {
  kis::Identifier id;
  if (!key || !id.Parse(key, kis::StrLenW(key), false, nullptr, nullptr)) return nullptr;
  if (const DXLLngText* t = Find(id)) return t->First();
  const DXLLngText* d = GetDefaultText();
  if (fallback) LogTextMiss(name_.name, key);
  return fallback && d ? d->First() : nullptr;
}

void LogTextMiss(const wchar* section, const wchar* key) {
  std::u16string named = section ? section : u"";
  named += u"/";
  if (key) named += key;
  DXLLogLookupMissW("text", named.c_str());
}

DXLLngText* DXLLngTable::AddText(const wchar* key, u32 keyLength, const wchar* value, u32 valueLength) {
  if (count_ == capacity_) return nullptr;
  DXLLngText* t = MakeLngText(key, keyLength, value, valueLength);
  if (!t) return nullptr;
  for (u32 i = 0; i < count_; ++i) {
    if (texts_[i]->key.Equals(t->key)) {
      FreeLngText(texts_[i]);
      texts_[i] = t;
      return t;
    }
  }
  texts_[count_++] = t;
  return t;
}

bool DXLLngTable::Reserve(u32 n) {
  if (n == 0) return true;
  const u64 grown = u64{capacity_} + n;
  if (grown > (1u << 24)) return false;
  void* p = std::realloc(texts_, static_cast<size_t>(grown) * sizeof(DXLLngText*));
  if (!p) return false;
  texts_ = static_cast<DXLLngText**>(p);
  capacity_ = static_cast<u32>(grown);
  return true;
}

void DXLLngTable::Append(DXLLngText* text) {
  if (!text) return;
  if (count_ < capacity_) {
    texts_[count_++] = text;
  } else {
    FreeLngText(text);
  }
}
