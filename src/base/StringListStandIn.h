// Temporary minimal string lists (kis::WideStrings, kis::AnsiStrings) with just
// what the ini classes use: an owning list of heap text items. To be replaced
// by the full string lists; delete this header when they arrive.
#pragma once

#include <cstdint>
#include <cstring>

#include "base/List.h"
#include "base/Types.h"

namespace kis {

template <class Ch>
struct StringItemT {
  Ch* text = nullptr;
  u32 length = 0;
  uintptr_t data = 0;
};
using StringItemW = StringItemT<wchar>;
using StringItemA = StringItemT<char>;

template <class Ch>
class StringsT : public list<StringItemT<Ch>*> {
  using Base = list<StringItemT<Ch>*>;

 public:
  StringsT() = default;
  ~StringsT() override { this->Clear(); }

  void ReleaseItems(i32 first) override {
    for (i32 i = this->count_ - 1; i >= first; --i) Free(this->items_[i]);
  }

  i32 AddString(const Ch* text) {
    u32 n = 0;
    while (text && text[n]) ++n;
    auto* item = new StringItemT<Ch>;
    item->text = new Ch[n + 1];
    if (n) std::memcpy(item->text, text, n * sizeof(Ch));
    item->text[n] = 0;
    item->length = n;
    return Base::Add(item);
  }

  const Ch* GetString(i32 index) const {
    StringItemT<Ch>* item = Base::Get(index);
    return item ? item->text : nullptr;
  }

  Ch* AppendToString(i32 index, const Ch* text) {
    StringItemT<Ch>* item = Base::Get(index);
    if (!item) return nullptr;
    u32 n = 0;
    while (text && text[n]) ++n;
    Ch* grown = new Ch[item->length + n + 1];
    std::memcpy(grown, item->text, item->length * sizeof(Ch));
    if (n) std::memcpy(grown + item->length, text, n * sizeof(Ch));
    grown[item->length + n] = 0;
    delete[] item->text;
    item->text = grown;
    item->length += n;
    return grown;
  }

  // First item equal to text ignoring the case of A-Z; -1 when absent.
  i32 IndexOfText(const Ch* text) const {
    for (i32 i = 0; i < this->count_; ++i) {
      const Ch* a = this->items_[i] ? this->items_[i]->text : nullptr;
      const Ch* b = text;
      if (!a || !b) {
        if ((!a || !*a) && (!b || !*b)) return i;
        continue;
      }
      while (*a && Lower(*a) == Lower(*b)) ++a, ++b;
      if (Lower(*a) == Lower(*b)) return i;
    }
    return -1;
  }

 private:
  static Ch Lower(Ch c) { return c >= 'A' && c <= 'Z' ? static_cast<Ch>(c + 32) : c; }
  static void Free(StringItemT<Ch>* item) {
    if (!item) return;
    delete[] item->text;
    delete item;
  }
};

using WideStrings = StringsT<wchar>;
using AnsiStrings = StringsT<char>;

}  // namespace kis
