// String lists: kis::list subclasses whose items are heap records holding a
// text, its length and one free data word. AnsiStrings holds 8-bit texts,
// WideStrings UTF-16 texts and adds joining and splitting at a line separator
// and reading and writing UTF-16LE text files (FF FE, then the lines joined by
// the separator, with no terminator and no trailing separator).
//
// Ownership: the list owns its items. Deleting, replacing (Set), shrinking or
// destroying frees the affected records; AddList and AddStrings add copies.
// A record handed in through Add/Set/Insert must come from `new` with its text
// from std::malloc (StrDup*), and then belongs to the list. A null slot (from
// SetCount growing the list) reads as an empty text everywhere.
#pragma once

#include <cstdint>

#include "base/List.h"
#include "base/Strings.h"

namespace kis {

class Stream;

template <class C>
struct StringItem {
  C* text = nullptr;   // never null in a record made by the list
  u32 length = 0;      // characters, terminator excluded
  uintptr_t data = 0;  // free word for the owner (may hold a pointer)
};

using StringItemW = StringItem<wchar>;
using StringItemA = StringItem<char>;

template <class C>
class StringList : public list<StringItem<C>*> {
 public:
  using Item = StringItem<C>;
  using Base = list<Item*>;

  StringList() = default;
  ~StringList() override;

  void ReleaseItems(i32 first) override;         // frees records from the last down to first
  void AddList(const Base* other) override;      // appends copies of other's texts and data words
  void Delete(i32 index) override;               // removes and frees one record
  void Set(i32 index, Item* item) override;      // replaces one record, freeing the old one

  virtual i32 AddBlank(i32 length);                          // text of length unset characters
  virtual i32 AddN(const C* text, i32 n);                    // at most n characters of text
  virtual i32 AddString(const C* text);
  virtual i32 AddBlankData(uintptr_t data, i32 length);      // (the blank is zero-filled)
  virtual i32 AddNData(uintptr_t data, const C* text, i32 n);
  virtual i32 AddStringData(uintptr_t data, const C* text);
  virtual void AddStrings(const StringList* other);          // copies of the texts, data words 0
  virtual i32 IndexOfText(const C* text) const;              // ignoring case; -1 when absent
  virtual i32 InsertString(i32 index, const C* text);        // index, or -1 for a bad index
  virtual void SetString(i32 index, const C* text);          // data word becomes 0
  virtual C* GetStringCopy(i32 index, C* buffer, u32 size) const;
  virtual const C* GetString(i32 index) const;               // null for a bad index

  // Sets text and data word of an item in range, making the record when the
  // slot is null; a null text gives an empty text. `text` may be the item's own.
  void SetItem(i32 index, const C* text, uintptr_t data);
  // Gives the item's text room for `length` characters (new ones zeroed) and
  // sets its length; false for a bad index.
  bool ResizeItem(i32 index, u32 length);
  // Appends text to the item; the item's text, or null for a bad index.
  C* AppendToString(i32 index, const C* text);
  i32 IndexOfText(const C* text, bool ignoreCase) const;
  u32 GetLength(i32 index) const;      // 0 for a bad index
  uintptr_t GetData(i32 index) const;  // 0 for a bad index

  // The list's own release already frees text and record of each item; the
  // plain list's DeleteAll/FreeAll would free them a second time.
  void DeleteAll() { this->Clear(); }
  void FreeAll() { this->Clear(); }

 protected:
  // A new record holding a copy of at most n characters of text; freed with
  // FreeItem.
  static Item* MakeItem(const C* text, u32 n, uintptr_t data);
  static void FreeItem(Item* item);
  void FreeAllItems();
};

class AnsiStrings : public StringList<char> {
 public:
  AnsiStrings() = default;
};

class WideStrings : public StringList<wchar> {
 public:
  // Longest text file LoadFromStream reads, in characters; a larger file is
  // refused (the list is left empty).
  static constexpr u64 kMaxLoadChars = u64{1} << 28;

  WideStrings() = default;

  const wchar* GetSeparator() const { return separator_; }

  // Total length of the texts joined by the separator.
  u32 GetTextLength() const;
  // Joins the texts with the separator into buffer (at most size - 1
  // characters, then a terminator). With a null buffer a joined copy is made
  // on the heap (release it with StrFree; null when memory runs out); a
  // buffer with size 0 is returned untouched.
  wchar* GetText(wchar* buffer, u32 size) const;
  // Empties the list, then splits the first `length` characters of text (up
  // to a terminator) at each separator. A trailing separator gives no empty
  // last item; two in a row give an empty item.
  void SetText(const wchar* text, u32 length);
  // Takes the separator of the first line break of text: "\r\n" when a CR is
  // followed by LF, else the lone CR or LF. Unchanged when there is none.
  void DetectSeparator(const wchar* text);

  // Reads a UTF-16LE text with its byte-order mark from the current position;
  // any other content (or a closed stream) gives an empty list and false.
  bool LoadFromStream(Stream* stream);
  // Writes the mark and the joined text; true when all of it was written.
  bool SaveToStream(Stream* stream) const;
  bool LoadFromFile(const wchar* name);
  // Writes the whole file under name + ".bak" and then moves it over the old
  // file, so a failed save never loses the old one.
  bool SaveToFile(const wchar* name) const;

 private:
  wchar separator_[3] = {u'\n', 0, 0};
};

}  // namespace kis
