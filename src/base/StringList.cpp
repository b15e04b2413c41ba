#include "base/StringList.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "base/FileStream.h"
#include "base/LittleEndian.h"
#include "platform/os/FileSystem.h"

namespace kis {

namespace {

// Text buffers of list items. Like the slot array of kis::list, running out
// of memory for them is not something the game can go on from.
template <class C>
C* AllocChars(size_t count) {
  void* p = std::malloc(count * sizeof(C));
  if (!p) throw std::bad_alloc();
  return static_cast<C*>(p);
}

template <class C>
const C* EmptyText() {
  static const C empty[1] = {0};
  return empty;
}

// Length of text bounded by n characters.
template <class C>
u32 ListBoundedLength(const C* text, u32 n) {
  u32 len = 0;
  if (text)
    while (len < n && text[len]) ++len;
  return len;
}

}  // namespace

template <class C>
StringList<C>::~StringList() {
  FreeAllItems();
}

template <class C>
typename StringList<C>::Item* StringList<C>::MakeItem(const C* text, u32 n, uintptr_t data) {
  const u32 len = ListBoundedLength(text, n);
  auto* item = new Item;
  item->text = AllocChars<C>(static_cast<size_t>(len) + 1);
  if (len) std::memcpy(item->text, text, len * sizeof(C));
  item->text[len] = 0;
  item->length = len;
  item->data = data;
  return item;
}

template <class C>
void StringList<C>::FreeItem(Item* item) {
  if (!item) return;
  std::free(item->text);
  delete item;
}

template <class C>
void StringList<C>::FreeAllItems() {
  ReleaseItems(0);
  this->count_ = 0;
}

template <class C>
void StringList<C>::ReleaseItems(i32 first) {
  if (first < 0) first = 0;
  for (i32 i = this->count_ - 1; i >= first; --i) {
    FreeItem(this->items_[i]);
    this->items_[i] = nullptr;
  }
}

template <class C>
void StringList<C>::AddList(const Base* other) {
  if (!other) return;
  // Read the count first: other may be this list, which grows as we go.
  const i32 n = other->GetCount();
  if (n == 0) return;
  if (this->count_ + n > this->capacity_) this->SetCapacity(this->count_ + n);
  for (i32 i = 0; i < n; ++i) {
    const Item* item = other->Get(i);
    if (item)
      Base::Add(MakeItem(item->text, item->length, item->data));
    else
      Base::Add(MakeItem(nullptr, 0, 0));
  }
}

template <class C>
void StringList<C>::Delete(i32 index) {
  Item* item = Base::Get(index);
  if (index < 0 || index >= this->count_) return;
  Base::Delete(index);
  FreeItem(item);
}

template <class C>
void StringList<C>::Set(i32 index, Item* item) {
  if (index < 0 || index >= this->count_) return;
  Item* old = this->items_[index];
  this->items_[index] = item;
  if (old != item) FreeItem(old);
}

template <class C>
i32 StringList<C>::AddBlank(i32 length) {
  return AddBlankData(0, length);
}

template <class C>
i32 StringList<C>::AddN(const C* text, i32 n) {
  return AddNData(0, text, n);
}

template <class C>
i32 StringList<C>::AddString(const C* text) {
  return AddStringData(0, text);
}

template <class C>
i32 StringList<C>::AddBlankData(uintptr_t data, i32 length) {
  const u32 len = length > 0 ? static_cast<u32>(length) : 0;
  auto* item = new Item;
  item->text = AllocChars<C>(static_cast<size_t>(len) + 1);
  std::memset(item->text, 0, (static_cast<size_t>(len) + 1) * sizeof(C));
  item->length = len;
  item->data = data;
  return this->Add(item);
}

template <class C>
i32 StringList<C>::AddNData(uintptr_t data, const C* text, i32 n) {
  return this->Add(MakeItem(text, n > 0 ? static_cast<u32>(n) : 0, data));
}

template <class C>
i32 StringList<C>::AddStringData(uintptr_t data, const C* text) {
  return this->Add(MakeItem(text, 0xFFFFFFFFu, data));
}

template <class C>
void StringList<C>::AddStrings(const StringList* other) {
  if (!other) return;
  const i32 n = other->GetCount();
  if (this->count_ + n > this->capacity_) this->SetCapacity(this->count_ + n);
  for (i32 i = 0; i < n; ++i) AddString(other->GetString(i));
}

template <class C>
i32 StringList<C>::IndexOfText(const C* text) const {
  return IndexOfText(text, true);
}

template <class C>
i32 StringList<C>::IndexOfText(const C* text, bool ignoreCase) const {
  for (i32 i = 0; i < this->count_; ++i) {
    const Item* item = this->items_[i];
    const C* mine = item ? item->text : nullptr;
    if (mine && mine == text) return i;
    const int order = ignoreCase ? StrICompare(mine, text) : StrCompare(mine, text);
    if (order == 0) return i;
  }
  return -1;
}

template <class C>
i32 StringList<C>::InsertString(i32 index, const C* text) {
  const i32 at = Base::Insert(index, nullptr);
  if (at >= 0) SetItem(at, text, 0);
  return at;
}

template <class C>
void StringList<C>::SetString(i32 index, const C* text) {
  SetItem(index, text, 0);
}

template <class C>
C* StringList<C>::GetStringCopy(i32 index, C* buffer, u32 size) const {
  if (!buffer) return buffer;
  if (index < 0 || index >= this->count_) return StrCopy(buffer, size, EmptyText<C>());
  return StrCopy(buffer, size, GetString(index));
}

template <class C>
const C* StringList<C>::GetString(i32 index) const {
  if (index < 0 || index >= this->count_) return nullptr;
  const Item* item = this->items_[index];
  return item && item->text ? item->text : EmptyText<C>();
}

template <class C>
void StringList<C>::SetItem(i32 index, const C* text, uintptr_t data) {
  if (index < 0 || index >= this->count_) return;
  Item*& item = this->items_[index];
  if (!item) item = new Item;
  // Copy into a fresh buffer before letting the old one go: text may be it.
  const u32 len = StrLen(text);
  C* fresh = AllocChars<C>(static_cast<size_t>(len) + 1);
  if (len) std::memcpy(fresh, text, len * sizeof(C));
  fresh[len] = 0;
  std::free(item->text);
  item->text = fresh;
  item->length = len;
  item->data = data;
}

template <class C>
bool StringList<C>::ResizeItem(i32 index, u32 length) {
  if (index < 0 || index >= this->count_) return false;
  Item*& item = this->items_[index];
  if (!item) item = new Item;
  if (item->text && item->length == length) return true;
  const u32 old = item->text ? item->length : 0;
  void* p = std::realloc(item->text, (static_cast<size_t>(length) + 1) * sizeof(C));
  if (!p) throw std::bad_alloc();
  item->text = static_cast<C*>(p);
  if (length > old) std::memset(item->text + old, 0, (length - old) * sizeof(C));
  item->text[length] = 0;
  item->length = length;
  return true;
}

template <class C>
C* StringList<C>::AppendToString(i32 index, const C* text) {
  if (index < 0 || index >= this->count_) return nullptr;
  Item*& item = this->items_[index];
  if (!item) item = MakeItem(nullptr, 0, 0);
  const u32 add = StrLen(text);
  if (add == 0) return item->text;
  // A new buffer keeps text valid even when it points into the item itself.
  const size_t total = static_cast<size_t>(item->length) + add;
  C* joined = AllocChars<C>(total + 1);
  std::memcpy(joined, item->text, item->length * sizeof(C));
  std::memcpy(joined + item->length, text, add * sizeof(C));
  joined[total] = 0;
  std::free(item->text);
  item->text = joined;
  item->length = static_cast<u32>(total);
  return item->text;
}

template <class C>
u32 StringList<C>::GetLength(i32 index) const {
  const Item* item = Base::Get(index);
  return item && item->text ? item->length : 0;
}

template <class C>
uintptr_t StringList<C>::GetData(i32 index) const {
  const Item* item = Base::Get(index);
  return item ? item->data : 0;
}

template class StringList<char>;
template class StringList<wchar>;

// ---------------------------------------------------------------------------
// WideStrings: joined text and text files.

u32 WideStrings::GetTextLength() const {
  u64 total = 0;
  for (i32 i = 0; i < count_; ++i) total += GetLength(i);
  if (count_ >= 2) total += static_cast<u64>(StrLen(separator_)) * static_cast<u64>(count_ - 1);
  return total > 0xFFFFFFFEu ? 0xFFFFFFFEu : static_cast<u32>(total);
}

wchar* WideStrings::GetText(wchar* buffer, u32 size) const {
  if (!buffer) {
    size = GetTextLength() + 1;
    buffer = static_cast<wchar*>(std::malloc(static_cast<size_t>(size) * sizeof(wchar)));
    if (!buffer) return nullptr;
  }
  if (size == 0) return buffer;
  const u32 sepLen = StrLen(separator_);
  u32 used = 0;
  const u32 room = size - 1;
  auto put = [&](const wchar* text, u32 len) {
    const u32 n = len < room - used ? len : room - used;
    std::memcpy(buffer + used, text, n * sizeof(wchar));
    used += n;
  };
  for (i32 i = 0; i < count_ && used < room; ++i) {
    if (i > 0) put(separator_, sepLen);
    put(GetString(i), GetLength(i));
  }
  buffer[used] = 0;
  return buffer;
}

void WideStrings::SetText(const wchar* source, u32 length) {
  // Work on a copy: source may be the text of one of the items freed here.
  const u32 end = ListBoundedLength(source, length);
  wchar* text = StrDupN(source, end, false);
  FreeAllItems();
  if (!text) return;
  const u32 sepLen = StrLen(separator_);
  u32 pos = 0;
  while (pos < end) {
    // The next separator inside [pos, end); the line is the rest when none.
    u32 cut = end;
    if (sepLen > 0) {
      for (u32 i = pos; i + sepLen <= end; ++i) {
        if (std::memcmp(text + i, separator_, sepLen * sizeof(wchar)) == 0) {
          cut = i;
          break;
        }
      }
    }
    AddN(text + pos, static_cast<i32>(cut - pos));
    if (cut == end) break;
    pos = cut + sepLen;
  }
  StrFree(text);
}

void WideStrings::DetectSeparator(const wchar* text) {
  if (!text) return;
  for (u32 i = 0; text[i]; ++i) {
    if (text[i] == u'\r') {
      separator_[0] = u'\r';
      separator_[1] = text[i + 1] == u'\n' ? u'\n' : 0;
      separator_[2] = 0;
      return;
    }
    if (text[i] == u'\n') {
      separator_[0] = u'\n';
      separator_[1] = 0;
      return;
    }
  }
}

bool WideStrings::LoadFromStream(Stream* stream) {
  FreeAllItems();
  if (!stream || !stream->IsOpen()) return false;
  const u64 position = stream->GetPosition();
  const u64 size = stream->GetSize();
  if (size <= position || size - position < 2) return false;
  u8 mark[2];
  if (!stream->ReadBlock(mark, 2) || GetU16LE(mark) != 0xFEFF) return false;
  const u64 chars = (size - position - 2) / 2;
  if (chars > kMaxLoadChars) return false;
  const size_t bytes = static_cast<size_t>(chars) * 2;
  u8* raw = static_cast<u8*>(std::malloc(bytes ? bytes : 1));
  wchar* text = static_cast<wchar*>(std::malloc((static_cast<size_t>(chars) + 1) * sizeof(wchar)));
  if (!raw || !text) {
    std::free(raw);
    std::free(text);
    return false;
  }
  // A short read (the file shrank under us) keeps what arrived.
  u64 got = bytes ? stream->Read(raw, bytes) : 0;
  if (got == kStreamError || got > bytes) got = 0;
  const u32 n = static_cast<u32>(got / 2);
  for (u32 i = 0; i < n; ++i) text[i] = static_cast<wchar>(GetU16LE(raw + 2 * i));
  text[n] = 0;
  std::free(raw);
  DetectSeparator(text);
  SetText(text, n);
  std::free(text);
  return true;
}

bool WideStrings::SaveToStream(Stream* stream) const {
  if (!stream || !stream->IsOpen()) return false;
  wchar* text = GetText(nullptr, 0);
  if (!text) return false;
  const u32 n = GetTextLength();
  const size_t bytes = 2 + static_cast<size_t>(n) * 2;
  u8* raw = static_cast<u8*>(std::malloc(bytes));
  if (!raw) {
    StrFree(text);
    return false;
  }
  PutU16LE(raw, 0xFEFF);
  for (u32 i = 0; i < n; ++i) PutU16LE(raw + 2 + 2 * i, text[i]);
  StrFree(text);
  const bool ok = stream->WriteBlock(raw, bytes);
  std::free(raw);
  return ok;
}

bool WideStrings::LoadFromFile(const wchar* name) {
  FileStreamW file(name, kStreamRead);
  return LoadFromStream(&file);
}

bool WideStrings::SaveToFile(const wchar* name) const {
  if (!name || !name[0]) return false;
  const std::u16string bak = std::u16string(name) + u".bak";
  bool ok;
  {
    FileStreamW file(bak.c_str(), kStreamCreate);
    ok = SaveToStream(&file) && plat::FlushFile(file.GetHandle());
  }
  if (ok) ok = plat::RenameFile(bak, name);
  if (!ok) plat::DeleteFile(bak);
  return ok;
}

}  // namespace kis
