#include "base/text/TdrDocument.h"

#include <cstdio>
#include <new>
#include <vector>

#include "base/Strings.h"
#include "base/text/CodePageNames.h"
#include "base/text/TextChars.h"
#include "base/text/TextValue.h"
#include "platform/encoding/Ascii.h"
#include "platform/encoding/CodePage.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"

namespace kis {
namespace {

using textchars::IsBlank;
using textchars::IsNameChar;

constexpr size_t kMaxFileName = 259;

bool ReadWholeFile(const std::u16string& name, std::vector<u8>& bytes) {
  const std::string path = plat::NativePath(std::u16string_view(name));
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(f) : -1;
  ok = ok && size >= 0 && size <= static_cast<long>(kMaxTdrFileSize) && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = bytes.empty() || std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
  }
  std::fclose(f);
  return ok;
}

// The code page that a "<charset = name>" line at the start of the text
// declares, or 0.
template <class Ch>
u32 DeclaredCodePage(const Ch* t, size_t n) {
  size_t p = 0;
  auto skip = [&] {
    while (p < n && IsBlank(t[p])) ++p;
  };
  skip();
  if (n - p < 11 || t[p] != '<') return 0;
  ++p;
  skip();
  static const char kWord[] = "charset";
  for (size_t k = 0; k < 7; ++k, ++p)
    if (p >= n || plat::AsciiToLower(t[p]) != static_cast<Ch>(kWord[k])) return 0;
  skip();
  if (p >= n || t[p] != '=') return 0;
  ++p;
  skip();
  const bool quoted = p < n && t[p] == '"';
  if (quoted) ++p;
  const size_t start = p;
  while (p < n && (plat::IsAsciiLetter(t[p]) || plat::IsAsciiDigit(t[p]) || t[p] == '-')) ++p;
  const size_t end = p;
  if (quoted) {
    if (p >= n || t[p] != '"') return 0;
    ++p;
  }
  skip();
  if (p >= n || t[p] != '>' || end == start || end - start > 64) return 0;
  if constexpr (sizeof(Ch) == 1)
    return FindCodePageA(reinterpret_cast<const char*>(t + start), static_cast<u32>(end - start));
  else
    return FindCodePageW(t + start, static_cast<u32>(end - start));
}

template <class A, class B>
bool TdrSameName(const A* a, u32 aLength, u32 aId, const B* b, u32 bLength, u32 bId) {
  return aId == bId && aLength == bLength && textchars::SameFolded(a, b, aLength);
}

}  // namespace

TdrDocument::TdrDocument() {
  root_.closed = true;
  current_ = &root_;
}

TdrDocument::~TdrDocument() { FreeTree(); }

// Deletes every node below the root with an explicit stack: deep trees must
// not exhaust the call stack.
void TdrDocument::FreeTree() {
  std::vector<TdrNode*> pending;
  for (u32 i = 0; i < root_.children.Count(); ++i) pending.push_back(root_.children[i]);
  while (!pending.empty()) {
    TdrNode* node = pending.back();
    pending.pop_back();
    for (u32 i = 0; i < node->children.Count(); ++i) pending.push_back(node->children[i]);
    delete node;
  }
  root_.children.Reset();
  root_.attributes.Reset();
  current_ = &root_;
  lastFound_ = -1;
}

void TdrDocument::Clear() {
  error_ = 0;
  FreeTree();
  text_.clear();
  text_.shrink_to_fit();
}

bool TdrDocument::SetFileName(const wchar* name) {
  error_ = 0;
  const u32 length = StrLen(name);
  if (length == 0 || length > kMaxFileName) return false;
  fileName_.assign(name, length);
  return true;
}

u32 TdrDocument::GetFileName(wchar* buffer, u32 capacity) {
  error_ = 0;
  if (!buffer && capacity) {
    error_ |= kTdrBadArgument;
    return 0;
  }
  if (capacity == 0) return 0;
  u32 length = static_cast<u32>(fileName_.size());
  if (!CopyWideText(buffer, capacity, fileName_.c_str(), &length)) error_ |= kTdrCut;
  return length;
}

bool TdrDocument::Load() {
  Clear();
  codePage_ = 0;
  std::vector<u8> bytes;
  if (fileName_.empty() || !ReadWholeFile(fileName_, bytes)) return false;
  const size_t n = bytes.size();
  size_t skip = 0;
  enum class Enc { kAnsi, kUtf8, kUtf16Le, kUtf16Be } enc = Enc::kAnsi;
  if (n >= 4 && ((bytes[0] == 0xFF && bytes[1] == 0xFE && bytes[2] == 0 && bytes[3] == 0) ||
                 (bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0xFE && bytes[3] == 0xFF)))
    return false;  // UTF-32
  if (n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    enc = Enc::kUtf8;
    skip = 3;
  } else if (n >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
    enc = Enc::kUtf16Be;
    skip = 2;
  } else if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    enc = Enc::kUtf16Le;
    skip = 2;
  }
  const size_t body = n - skip;
  if (body == 0) return true;  // only a mark: an empty document
  const u8* src = bytes.data() + skip;

  switch (enc) {
    case Enc::kAnsi: {
      if (body > kMaxTdrChars) return false;
      const char* a = reinterpret_cast<const char*>(src);
      codePage_ = DeclaredCodePage(a, body);
      std::u16string wide;
      // Every byte must give exactly one character: single-byte pages only.
      if (!plat::MultiByteToWide(codePage_, std::string_view(a, body), wide) || wide.size() != body) return false;
      text_ = std::move(wide);
      break;
    }
    case Enc::kUtf8:
      text_ = plat::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(src), body));
      if (text_.empty() || text_.size() > kMaxTdrChars) {
        text_.clear();
        return false;
      }
      codePage_ = DeclaredCodePage(text_.data(), text_.size());
      break;
    case Enc::kUtf16Le:
    case Enc::kUtf16Be: {
      if (body % 2) return false;
      text_.resize(body / 2);
      const bool be = enc == Enc::kUtf16Be;
      for (size_t i = 0; i < text_.size(); ++i) {
        const u8 lo = src[2 * i + (be ? 1 : 0)];
        const u8 hi = src[2 * i + (be ? 0 : 1)];
        text_[i] = static_cast<wchar>(lo | (hi << 8));
      }
      codePage_ = DeclaredCodePage(text_.data(), text_.size());
      break;
    }
  }
  text_.push_back(0);
  if (!Parse()) {
    const u32 page = codePage_;
    Clear();
    codePage_ = page;
    return false;
  }
  current_ = &root_;
  lastFound_ = -1;
  return true;
}

bool TdrDocument::Parse() {
  wchar* t = text_.data();
  const size_t n = text_.size() - 1;  // the last character is the added zero
  TdrNode* cur = &root_;
  u32 depth = 0;
  size_t i = 0;
  while (i < n) {
    while (i < n && (t[i] == '\r' || t[i] == '\n')) ++i;
    if (i >= n) break;
    size_t eol = i;
    while (eol < n && t[eol] != '\r' && t[eol] != '\n') ++eol;
    if (!ParseLine(t, i, eol, cur, depth)) return false;
    i = eol + 1;
  }
  return cur->closed && (root_.attributes.Count() > 0 || root_.children.Count() > 0);
}

// One line [p, eol). Names and values are cut out of the text by writing
// zeros behind them; t[eol] may be overwritten (the line is done by then).
bool TdrDocument::ParseLine(wchar* t, size_t p, size_t eol, TdrNode*& cur, u32& depth) {
  while (p < eol && IsBlank(t[p])) ++p;
  if (p >= eol) return true;
  if (t[p] == '}') {
    if (cur->closed) return false;  // a "}" with no open block
    cur->closed = true;
    cur = cur->parent;
    --depth;
    return true;
  }
  if (p + 1 < eol && t[p] == '/' && t[p + 1] == '/') return true;
  if (!IsNameChar(t[p])) return true;
  const size_t nameStart = p;
  while (p < eol && IsNameChar(t[p])) ++p;
  const size_t nameEnd = p;
  while (p < eol && IsBlank(t[p])) ++p;
  if (p >= eol) return true;
  const u32 nameLength = static_cast<u32>(nameEnd - nameStart);
  if (t[p] == '=') {
    ++p;
    while (p < eol && IsBlank(t[p])) ++p;
    size_t valueEnd = eol;
    while (valueEnd > p && IsBlank(t[valueEnd - 1])) --valueEnd;
    TDRATTRIBUTE a;
    a.index = cur->attributes.Count();
    a.nameLength = nameLength;
    a.nameId = textchars::NameIdOf(t + nameStart, nameLength);
    a.valueOffset = static_cast<u32>(p - nameStart);
    a.valueLength = static_cast<u32>(valueEnd - p);
    a.name = t + nameStart;
    if (!cur->attributes.Add(a)) return false;
    t[nameEnd] = 0;
    t[valueEnd] = 0;
    return true;
  }
  if (t[p] != '{') return true;
  // "name { }" (closing braces and blanks only, perhaps then a comment) is a
  // closed, empty child; otherwise the child becomes current.
  size_t q = p + 1;
  u32 braces = 0;
  while (q < eol && (IsBlank(t[q]) || t[q] == '}')) braces += t[q++] == '}';
  const bool closed = braces > 0 && (q >= eol || (q + 1 < eol && t[q] == '/' && t[q + 1] == '/'));
  if (!closed && depth >= kMaxTdrDepth) return false;
  TdrNode* child = new (std::nothrow) TdrNode;
  if (!child) return false;
  child->parent = cur;
  child->index = cur->children.Count();
  child->closed = closed;
  child->nameLength = nameLength;
  child->nameId = textchars::NameIdOf(t + nameStart, nameLength);
  child->name = t + nameStart;
  if (!cur->children.Add(child)) {
    delete child;
    return false;
  }
  t[nameEnd] = 0;
  if (!closed) {
    cur = child;
    ++depth;
  }
  return true;
}

void TdrDocument::SetCurrentNode(TdrNode* node) {
  current_ = node ? node : &root_;
  lastFound_ = -1;
}

bool TdrDocument::GoRoot() {
  error_ = 0;
  if (current_ == &root_) return false;
  SetCurrentNode(&root_);
  return true;
}

bool TdrDocument::GoParent() {
  error_ = 0;
  if (!current_->parent) return false;
  SetCurrentNode(current_->parent);
  return true;
}

bool TdrDocument::NextSibling() {
  error_ = 0;
  TdrNode* parent = current_->parent;
  if (!parent) return false;
  for (u32 i = current_->index + 1; i < parent->children.Count(); ++i) {
    TdrNode* s = parent->children[i];
    if (TdrSameName(s->name, s->nameLength, s->nameId, current_->name, current_->nameLength, current_->nameId)) {
      SetCurrentNode(s);
      return true;
    }
  }
  return false;
}

bool TdrDocument::FindChild(const wchar* path, bool fromCurrent) {
  error_ = 0;
  struct Part {
    const wchar* name;
    u32 length;
  };
  std::vector<Part> parts;
  const wchar* p = path;
  while (p && *p) {
    while (IsBlank(*p) || *p == '\\') ++p;
    if (!*p) break;
    const wchar* start = p;
    while (IsNameChar(*p)) ++p;
    if (p == start) {
      error_ |= kTdrBadPath;
      return false;
    }
    parts.push_back({start, static_cast<u32>(p - start)});
    while (IsBlank(*p)) ++p;
    if (*p && *p != '\\') {
      error_ |= kTdrBadPath;
      return false;
    }
  }
  if (parts.empty()) {
    error_ |= kTdrBadPath;
    return false;
  }
  TdrNode* node = fromCurrent ? current_ : &root_;
  for (const Part& part : parts) {
    const u32 id = textchars::NameIdOf(part.name, part.length);
    TdrNode* found = nullptr;
    for (u32 i = 0; i < node->children.Count() && !found; ++i) {
      TdrNode* c = node->children[i];
      if (TdrSameName(c->name, c->nameLength, c->nameId, part.name, part.length, id)) found = c;
    }
    if (!found) {
      error_ |= kTdrChildNotFound;
      return false;
    }
    node = found;
  }
  SetCurrentNode(node);
  return true;
}

u32 TdrDocument::GetAttributeCount() {
  error_ = 0;
  return current_->attributes.Count();
}

const wchar* TdrDocument::GetAttributeName(u32 index, u32* length) { return AttributeText(index, length, false); }

const wchar* TdrDocument::GetAttributeValue(u32 index, u32* length) { return AttributeText(index, length, true); }

const wchar* TdrDocument::AttributeText(u32 index, u32* length, bool value) {
  error_ = 0;
  if (length) *length = 0;
  if (index >= current_->attributes.Count()) {
    error_ |= kTdrNotFound;
    return nullptr;
  }
  const TDRATTRIBUTE& a = current_->attributes[index];
  if (length) *length = value ? a.valueLength : a.nameLength;
  return value ? a.name + a.valueOffset : a.name;
}

// Index of the attribute of that name in the current node, or -1 with 0x500
// (malformed name) or 0x400 (not found). `next` continues after the last
// found attribute when that has the same name.
template <class Ch>
i32 TdrDocument::FindAttribute(const Ch* name, bool next) {
  const u32 length = StrLen(name);
  bool valid = length > 0;
  for (u32 i = 0; i < length && valid; ++i) valid = IsNameChar(name[i]);
  if (!valid) {
    error_ |= kTdrBadName;
    return -1;
  }
  const u32 id = textchars::NameIdOf(name, length);
  const TdrArray<TDRATTRIBUTE>& attrs = current_->attributes;
  u32 start = 0;
  if (next && lastFound_ >= 0 && static_cast<u32>(lastFound_) < attrs.Count()) {
    const TDRATTRIBUTE& last = attrs[static_cast<u32>(lastFound_)];
    if (TdrSameName(last.name, last.nameLength, last.nameId, name, length, id)) start = static_cast<u32>(lastFound_) + 1;
  }
  for (u32 i = start; i < attrs.Count(); ++i) {
    if (TdrSameName(attrs[i].name, attrs[i].nameLength, attrs[i].nameId, name, length, id)) {
      lastFound_ = static_cast<i32>(i);
      return static_cast<i32>(i);
    }
  }
  error_ |= kTdrNotFound;
  return -1;
}

bool TdrDocument::HasAttribute(const wchar* name) {
  error_ = 0;
  return FindAttribute(name, false) >= 0;
}

const wchar* TdrDocument::GetValue(const wchar* name, u32* length) {
  error_ = 0;
  if (length) *length = 0;
  const i32 i = FindAttribute(name, false);
  if (i < 0) return nullptr;
  const TDRATTRIBUTE& a = current_->attributes[static_cast<u32>(i)];
  if (length) *length = a.valueLength;
  return a.name + a.valueOffset;
}

// Reads attribute `name` through `parse` (value text, out value) -> success;
// the default when it is missing, the default and kTdrMalformed when the
// value does not parse.
template <class T, class ParseFn>
T TdrDocument::ReadParsed(const wchar* name, T def, ParseFn parse) {
  error_ = 0;
  const i32 i = FindAttribute(name, false);
  if (i < 0) return def;
  const TDRATTRIBUTE& a = current_->attributes[static_cast<u32>(i)];
  T v = 0;
  if (!parse(a.name + a.valueOffset, &v)) {
    error_ |= kTdrMalformed;
    return def;
  }
  return v;
}

i32 TdrDocument::ReadInt(const wchar* name, i32 def) {
  return ReadParsed(name, def, [](const wchar* t, i32* v) { return ParseIntW(t, v); });
}

u32 TdrDocument::ReadHex(const wchar* name, u32 def) {
  return ReadParsed(name, def, [](const wchar* t, u32* v) { return ParseHexW(t, v); });
}

wchar TdrDocument::ReadChar(const wchar* name, wchar def) {
  return ReadParsed(name, def, [this](const wchar* t, wchar* v) { return ParseCharW(t, v, codePage_); });
}

// Copies the value of attribute `index` by the value rules, or the default
// when the attribute is missing (index < 0) or its value is malformed.
template <class D>
u32 TdrDocument::ReadString(i32 index, D* buffer, u32 capacity, const D* def) {
  if (!buffer && capacity) {
    error_ |= kTdrBadArgument;
    return 0;
  }
  if (index >= 0) {
    const TDRATTRIBUTE& a = current_->attributes[static_cast<u32>(index)];
    const wchar* value = a.name + a.valueOffset;
    u32 count = 0;
    u32 r;
    if constexpr (sizeof(D) == 2)
      r = CopyValueWToW(value, buffer, capacity, codePage_, &count);
    else
      r = CopyValueWToA(value, buffer, capacity, codePage_, &count);
    error_ |= r;
    if ((r & kCopyMalformed) == 0) return count;
  }
  TextSink sink;
  sink.Begin(buffer, sizeof(D) == 2, capacity, codePage_);
  if (def) Emit(sink, def, StrLen(def));
  if (sink.cut) error_ |= kTdrCut;
  return sink.count;
}

u32 TdrDocument::ReadStringW(const wchar* name, wchar* buffer, u32 capacity, const wchar* def) {
  error_ = 0;
  return ReadString(FindAttribute(name, false), buffer, capacity, def);
}

u32 TdrDocument::ReadStringExW(const wchar* name, bool first, wchar* buffer, u32 capacity, const wchar* def) {
  error_ = 0;
  return ReadString(FindAttribute(name, !first), buffer, capacity, def);
}

u32 TdrDocument::ReadStringA(const char* name, char* buffer, u32 capacity, const char* def) {
  error_ = 0;
  return ReadString(FindAttribute(name, false), buffer, capacity, def);
}

// Hands the value of attribute `index` to the scanner; 0 records and the
// scanner's result in the error flags when it fails.
u32 TdrDocument::Scan(i32 index, const wchar* format, i32 maxRecords, void* destination, u32 recordSize, u32 mode) {
  if (index < 0) return 0;
  const TDRATTRIBUTE& a = current_->attributes[static_cast<u32>(index)];
  u32 records = 0;
  const u32 r = ScanTextW(format, maxRecords, destination, recordSize, mode, a.name + a.valueOffset, codePage_,
                          &records);
  if (r != kScanOk) {
    error_ |= r;
    return 0;
  }
  return records;
}

u32 TdrDocument::CountValues(const wchar* name, const wchar* format) {
  error_ = 0;
  return Scan(FindAttribute(name, false), format, 0x7FFFFFFF, nullptr, 0, kScanCount);
}

u32 TdrDocument::CountValuesEx(const wchar* name, bool first, const wchar* format) {
  error_ = 0;
  return Scan(FindAttribute(name, !first), format, 0x7FFFFFFF, nullptr, 0, kScanCount);
}

u32 TdrDocument::ReadValuesList(const wchar* name, const wchar* format, i32 maxRecords, const ScanArgList& args) {
  error_ = 0;
  return Scan(FindAttribute(name, false), format, maxRecords, const_cast<ScanArgList*>(&args), 0, kScanPointers);
}

u32 TdrDocument::ReadValuesAtList(u32 index, const wchar* format, i32 maxRecords, const ScanArgList& args) {
  error_ = 0;
  if (index >= current_->attributes.Count()) {
    error_ |= kTdrNotFound;
    return 0;
  }
  return Scan(static_cast<i32>(index), format, maxRecords, const_cast<ScanArgList*>(&args), 0, kScanPointers);
}

u32 TdrDocument::ReadArray(const wchar* name, const wchar* format, void* array, i32 maxRecords, u32 recordSize) {
  error_ = 0;
  return Scan(FindAttribute(name, false), format, maxRecords, array, recordSize, kScanArray);
}

u32 TdrDocument::ReadArrayEx(const wchar* name, bool first, const wchar* format, void* array, i32 maxRecords,
                             u32 recordSize) {
  error_ = 0;
  return Scan(FindAttribute(name, !first), format, maxRecords, array, recordSize, kScanArray);
}

bool LoadTdrDocument(const wchar* fileName, TdrDocument** document) {
  if (!document) return false;
  *document = nullptr;
  TdrDocument* doc = new (std::nothrow) TdrDocument;
  if (!doc) return false;
  if (!doc->SetFileName(fileName) || !doc->Load()) {
    delete doc;
    return false;
  }
  *document = doc;
  return true;
}

}  // namespace kis
