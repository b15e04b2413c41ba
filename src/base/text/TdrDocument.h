// kis::TdrDocument - the reader of the game's hand-written text tree files:
// language texts, bitmap-font descriptions, the logo list, resource lists and
// parameter documents.
//
// A document is a tree of nodes. Each node holds ordered attributes written
// as "name = value" lines and ordered children written as "name { ... }"
// blocks. Values stay raw text (cut out of the file text in place) until a
// typed read turns them into numbers, characters, strings or records (see
// TextScanner.h). Attribute reads and child searches are relative to the
// current node.
//
// Every public operation except GetStatus and SetCurrentNode clears the error
// flags first and ORs in its failures: 1 malformed value or text that does not
// match the format, 2 null buffer with a capacity or unusable format or
// arguments, 4 result cut short, 0x200 child not found, 0x300 malformed or
// empty path, 0x400 attribute not found or index out of range, 0x500
// malformed attribute name. The values are not independent bits: compare by
// equality.
//
// Files: at most 8 MB; UTF-8, UTF-16LE or UTF-16BE with a byte-order mark, or
// 8-bit text in the code page that a "<charset = name>" line declares (the
// ANSI code page otherwise). Blocks nest at most kMaxTdrDepth deep; the tree
// is freed without recursion. Documents are always wide.
#pragma once

#include <cstdlib>
#include <string>

#include "base/List.h"
#include "base/Types.h"
#include "base/text/TextScanner.h"

namespace kis {

constexpr u32 kTdrMalformed = 1;
constexpr u32 kTdrBadArgument = 2;
constexpr u32 kTdrCut = 4;
constexpr u32 kTdrChildNotFound = 0x200;
constexpr u32 kTdrBadPath = 0x300;
constexpr u32 kTdrNotFound = 0x400;
constexpr u32 kTdrBadName = 0x500;

constexpr u32 kMaxTdrDepth = 256;
constexpr u32 kMaxTdrFileSize = 8388608;
constexpr u32 kMaxTdrChars = 4194304;

struct TDRATTRIBUTE {
  u32 index;
  u32 nameLength;
  u32 nameId;
  u32 valueOffset;  // characters from the start of the name to the value
  u32 valueLength;
  const wchar* name;
};

// Growable array of plain records with the list growth rule; a failed growth
// is reported, not thrown.
template <class T>
class TdrArray {
 public:
  TdrArray() = default;
  TdrArray(const TdrArray&) = delete;
  TdrArray& operator=(const TdrArray&) = delete;
  ~TdrArray() { std::free(data_); }

  bool Add(const T& item) {
    if (count_ == capacity_) {
      const u32 grown = capacity_ + static_cast<u32>(ListGrowStep(static_cast<i32>(capacity_)));
      T* p = static_cast<T*>(std::realloc(data_, static_cast<size_t>(grown) * sizeof(T)));
      if (!p) return false;
      data_ = p;
      capacity_ = grown;
    }
    data_[count_++] = item;
    return true;
  }
  void Reset() {
    std::free(data_);
    data_ = nullptr;
    count_ = capacity_ = 0;
  }
  u32 Count() const { return count_; }
  u32 Capacity() const { return capacity_; }
  T& operator[](u32 i) { return data_[i]; }
  const T& operator[](u32 i) const { return data_[i]; }

 private:
  T* data_ = nullptr;
  u32 count_ = 0;
  u32 capacity_ = 0;
};

class TdrNode {
 public:
  TdrNode() = default;
  TdrNode(const TdrNode&) = delete;
  TdrNode& operator=(const TdrNode&) = delete;

  TdrNode* parent = nullptr;
  u32 index = 0;  // in the parent's child list
  bool closed = false;
  u32 nameLength = 0;
  u32 nameId = 0;
  const wchar* name = nullptr;  // into the document text; null for the root
  TdrArray<TdrNode*> children;  // owned
  TdrArray<TDRATTRIBUTE> attributes;
};

class TdrDocument {
 public:
  TdrDocument();
  ~TdrDocument();
  TdrDocument(const TdrDocument&) = delete;
  TdrDocument& operator=(const TdrDocument&) = delete;

  bool SetFileName(const wchar* name);           // 1 to 259 characters
  u32 GetFileName(wchar* buffer, u32 capacity);  // characters copied
  bool Load();                                   // reads and parses the file
  void Clear();                                  // empty tree, root current
  u32 GetStatus() const { return error_; }
  u32 GetCodePage() const { return codePage_; }  // 0 = the ANSI code page

  // Navigation.
  void SetCurrentNode(TdrNode* node);  // null makes the root current
  TdrNode* GetCurrentNode() const { return current_; }
  TdrNode* GetRoot() { return &root_; }
  bool GoRoot();                                   // false when the root is current already
  bool GoParent();                                 // false at the root
  bool NextSibling();                              // next node of the same name
  bool FindChild(const wchar* path, bool fromCurrent);  // "a\\b": first child of each name

  // Attributes of the current node.
  u32 GetAttributeCount();
  const wchar* GetAttributeName(u32 index, u32* length);
  const wchar* GetAttributeValue(u32 index, u32* length);
  bool HasAttribute(const wchar* name);
  const wchar* GetValue(const wchar* name, u32* length);

  // Typed reads of the first attribute of a name (Ex forms: `first` false
  // continues after the attribute found last when it has the same name).
  i32 ReadInt(const wchar* name, i32 def);
  u32 ReadHex(const wchar* name, u32 def);
  wchar ReadChar(const wchar* name, wchar def);
  // Characters stored; capacity 0 returns the length needed.
  u32 ReadStringW(const wchar* name, wchar* buffer, u32 capacity, const wchar* def);
  u32 ReadStringExW(const wchar* name, bool first, wchar* buffer, u32 capacity, const wchar* def);
  u32 ReadStringA(const char* name, char* buffer, u32 capacity, const char* def);
  u32 CountValues(const wchar* name, const wchar* format);
  u32 CountValuesEx(const wchar* name, bool first, const wchar* format);

  // Records read into the variables, one pointer per field in format order,
  // repeated per record; a field with [N] takes a pointer to an array.
  template <class... T>
  u32 ReadValues(const wchar* name, const wchar* format, i32 maxRecords, T*... values) {
    const auto args = MakeScanArgs(values...);
    return ReadValuesList(name, format, maxRecords, args.List());
  }
  template <class... T>
  u32 ReadValuesAt(u32 index, const wchar* format, i32 maxRecords, T*... values) {
    const auto args = MakeScanArgs(values...);
    return ReadValuesAtList(index, format, maxRecords, args.List());
  }
  u32 ReadValuesList(const wchar* name, const wchar* format, i32 maxRecords, const ScanArgList& args);
  u32 ReadValuesAtList(u32 index, const wchar* format, i32 maxRecords, const ScanArgList& args);

  // Records read into an array of records of recordSize bytes.
  u32 ReadArray(const wchar* name, const wchar* format, void* array, i32 maxRecords, u32 recordSize);
  u32 ReadArrayEx(const wchar* name, bool first, const wchar* format, void* array, i32 maxRecords, u32 recordSize);
  template <class R, size_t N>
  u32 ReadArray(const wchar* name, const wchar* format, R (&array)[N]) {
    return ReadArray(name, format, array, static_cast<i32>(N), static_cast<u32>(sizeof(R)));
  }

 private:
  template <class T, class ParseFn>
  T ReadParsed(const wchar* name, T def, ParseFn parse);
  void FreeTree();
  bool Parse();
  bool ParseLine(wchar* t, size_t p, size_t eol, TdrNode*& cur, u32& depth);
  template <class Ch>
  i32 FindAttribute(const Ch* name, bool next);
  // The name or the value of the current node's attribute `index`; null
  // and kTdrNotFound beyond the last.
  const wchar* AttributeText(u32 index, u32* length, bool value);
  template <class D>
  u32 ReadString(i32 index, D* buffer, u32 capacity, const D* def);
  u32 Scan(i32 index, const wchar* format, i32 maxRecords, void* destination, u32 recordSize, u32 mode);

  std::u16string fileName_;
  std::u16string text_;  // the file text plus one terminating zero
  TdrNode root_;
  u32 codePage_ = 0;
  u32 error_ = 0;
  TdrNode* current_ = nullptr;
  i32 lastFound_ = -1;
};

// Creates a document, sets its file name and loads it; on failure the
// document is deleted and false returned. The caller deletes *document.
bool LoadTdrDocument(const wchar* fileName, TdrDocument** document);

}  // namespace kis
