#include "gametext/LngXmlDocument.h"

#include <vector>

#include "base/text/XmlText.h"
#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/os/File.h"

namespace {

template <class C>
bool IsTagBlank(C c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

template <class C>
bool IsNameChar(C c) {
  return plat::IsAsciiLetter(c) || plat::IsAsciiDigit(c) || c == '_';
}

bool IsTrimBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Row state while parsing: where we are and the two cell texts.
constexpr u32 kInRow = 0x01;
constexpr u32 kInCell = 0x02;
constexpr u32 kInData = 0x04;
constexpr u32 kFirstCell = 0x10;
constexpr u32 kSecondCell = 0x20;
constexpr u32 kRowFull = 0x30;

// The tag name `word` at `name` (of `length` characters), followed by
// nothing, a blank or a final "/".
template <class C>
bool TagIs(const C* name, size_t length, const char* word) {
  size_t n = 0;
  while (word[n]) {
    if (n >= length || name[n] != static_cast<C>(word[n])) return false;
    ++n;
  }
  return n == length || IsTagBlank(name[n]) || name[n] == '/';
}

template <class C>
bool TagIsExactly(const C* name, size_t length, const char* word) {
  size_t n = 0;
  while (word[n]) {
    if (n >= length || name[n] != static_cast<C>(word[n])) return false;
    ++n;
  }
  return n == length;
}

// Data elements may carry the spreadsheet's namespace prefix.
template <class C>
bool IsDataTag(const C* name, size_t length, bool exact) {
  if (length > 3 && name[0] == 's' && name[1] == 's' && name[2] == ':') {
    name += 3;
    length -= 3;
  }
  return exact ? TagIsExactly(name, length, "Data") : TagIs(name, length, "Data");
}

// The text of a data element as UTF-16: tags inside it dropped, 8-bit text
// read as UTF-8.
template <class C>
std::u16string DataText(const C* begin, const C* end) {
  std::basic_string<C> plain;
  for (const C* p = begin; p < end; ++p) {
    if (*p == '<') {
      const C* q = p;
      while (q < end && *q != '>') ++q;
      if (q < end) {
        p = q;
        continue;
      }
    }
    plain.push_back(*p);
  }
  if constexpr (sizeof(C) == 1) {
    return plat::Utf8ToUtf16(plain);
  } else {
    return plain;
  }
}

std::u16string Decode(const std::u16string& raw) {
  if (raw.empty()) return {};
  const u32 length = static_cast<u32>(raw.size());
  std::u16string out(length + 1, u'\0');
  const u32 n = kis::DecodeXmlTextW(raw.data(), length, out.data(), length + 1);
  out.resize(n);
  return out;
}

template <class C>
void Parse(LngXmlDocument& doc, const C* text, size_t length) {
  const C* const end = text + length;
  const C* p = text;
  u32 flags = 0;
  const C* dataStart = nullptr;
  std::u16string cellText;
  std::u16string cells[2];
  while (p < end) {
    const C* lt = p;
    while (lt < end && *lt != '<') ++lt;
    if (lt >= end) return;
    const C* name = lt + 1;
    while (name < end && IsTagBlank(*name)) ++name;
    const C* gt = name;
    while (gt < end && *gt != '>') ++gt;
    if (gt >= end) return;
    const C* tagEnd = gt;
    while (tagEnd > name && IsTagBlank(tagEnd[-1])) --tagEnd;
    p = gt + 1;
    const size_t tagLength = static_cast<size_t>(tagEnd - name);
    if (tagLength < 3) continue;  // a short tag (rich text such as <B>) is skipped like any other

    if (*name == '/') {
      const C* closing = name + 1;
      while (closing < tagEnd && IsTagBlank(*closing)) ++closing;
      const size_t closingLength = static_cast<size_t>(tagEnd - closing);
      if (flags & kInData) {
        if (IsDataTag(closing, closingLength, true)) {
          cellText = DataText(dataStart, lt);
          flags &= ~kInData;
        }
      } else if (flags & kInCell) {
        if (TagIsExactly(closing, closingLength, "Cell")) {
          cells[(flags & kFirstCell) ? 1 : 0] = Decode(cellText);
          flags = (flags & ~kInCell) | ((flags & kFirstCell) ? kSecondCell : kFirstCell);
        }
      } else if (flags & kInRow) {
        if (TagIsExactly(closing, closingLength, "Row")) {
          doc.AddRow(cells[0], cells[1]);
          flags = 0;
        }
      }
      continue;
    }

    const bool selfClosing = tagEnd[-1] == '/';
    if (TagIs(name, tagLength, "Row")) {
      if (!(flags & kInRow)) {
        flags = kInRow;
        cells[0].clear();
        cells[1].clear();
        if (selfClosing) {
          doc.AddRow(cells[0], cells[1]);
          flags = 0;
        }
      }
    } else if (TagIs(name, tagLength, "Cell")) {
      if ((flags & kInRow) && (flags & kRowFull) != kRowFull && !(flags & kInCell)) {
        cellText.clear();
        if (selfClosing) {
          cells[(flags & kFirstCell) ? 1 : 0].clear();
          flags |= (flags & kFirstCell) ? kSecondCell : kFirstCell;
        } else {
          flags |= kInCell;
        }
      }
    } else if (IsDataTag(name, tagLength, false)) {
      if ((flags & kInCell) && !(flags & kInData)) {
        cellText.clear();
        if (!selfClosing) {
          flags |= kInData;
          dataStart = gt + 1;
        }
      }
    }
  }
}

}  // namespace

void LngXmlDocument::AddRow(const std::u16string& first, const std::u16string& second) {
  if (first.empty()) return;
  size_t b = 0, e = first.size();
  while (b < e && IsTrimBlank(first[b])) ++b;
  while (e > b && IsTrimBlank(first[e - 1])) --e;
  if (e - b >= 2 && first[b] == u'[' && first[e - 1] == u']') {
    size_t nb = b + 1, ne = e - 1;
    while (nb < ne && IsTrimBlank(first[nb])) ++nb;
    size_t n = nb;
    while (n < ne && IsNameChar(first[n])) ++n;
    if (n == nb) return;  // no name: the row is ignored
    current_ = table_.AddSection(first.data() + nb, static_cast<u32>(n - nb));
    return;
  }
  size_t n = b;
  while (n < e && IsNameChar(first[n])) ++n;
  if (n == b) return;
  table_.AddEntry(current_, first.data() + b, static_cast<u32>(n - b), second.data(),
                  static_cast<u32>(second.size()));
}

bool LngXmlDocument::Load(const wchar* path) {
  if (!path) return false;
  const plat::FileHandle file = plat::OpenFile(std::u16string_view(path), plat::kFileRead);
  if (file == plat::kInvalidFile) return false;
  u64 size = 0;
  std::vector<u8> bytes;
  bool ok = plat::SeekFile(file, 0, 2, &size) && size <= kMaxFileBytes && plat::SeekFile(file, 0, 0, nullptr);
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = plat::ReadFile(file, bytes.data(), size) == size;
  }
  plat::CloseFile(file);
  return ok && LoadBytes(bytes.data(), bytes.size());
}

bool LngXmlDocument::LoadBytes(const u8* bytes, size_t size) {
  if (!bytes && size) return false;
  size_t skip = 0;
  enum { kEight, kUtf8, kUtf16Le, kUtf16Be } form = kEight;
  if (size >= 2) {
    u8 head[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < 4 && i < size; ++i) head[i] = bytes[i];
    const bool four = size >= 4;
    if (four && ((head[0] == 0xFF && head[1] == 0xFE && head[2] == 0 && head[3] == 0) ||
                 (head[0] == 0 && head[1] == 0 && head[2] == 0xFE && head[3] == 0xFF)))
      return false;  // UTF-32
    if (size >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
      form = kUtf8;
      skip = 3;
    } else if (head[0] == 0xFE && head[1] == 0xFF) {
      form = kUtf16Be;
      skip = 2;
    } else if (head[0] == 0xFF && head[1] == 0xFE) {
      form = kUtf16Le;
      skip = 2;
    }
  }
  const size_t rest = size - skip;
  if (rest == 0) return false;
  const u8* body = bytes + skip;
  if (form == kEight) {
    Parse(*this, reinterpret_cast<const char*>(body), rest);
    current_ = &root_;
    return true;
  }
  std::u16string text;
  if (form == kUtf8) {
    text = plat::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(body), rest));
    if (text.empty()) return false;
  } else {
    if (rest % 2) return false;
    text.resize(rest / 2);
    for (size_t i = 0; i < text.size(); ++i) {
      const u8 a = body[2 * i], b = body[2 * i + 1];
      text[i] = form == kUtf16Le ? static_cast<char16_t>(a | (b << 8)) : static_cast<char16_t>(b | (a << 8));
    }
  }
  Parse(*this, text.data(), text.size());
  current_ = &root_;
  return true;
}

bool LngXmlDocument::EnterSection(const wchar* name) {
  kis::IdentSection* s = table_.FindW(name);
  status_ = table_.GetStatus();
  if (table_.IsPlaceholder(s)) return false;
  current_ = s;
  return true;
}

bool LngXmlDocument::NextSection() {
  status_ = 0;
  if (current_ == &root_) return false;
  kis::IdentSection* s =
      table_.FindByHash(current_->name.data(), current_->nameLength, current_->nameId, current_->index + 1);
  status_ = table_.GetStatus();
  if (table_.IsPlaceholder(s)) return false;
  current_ = s;
  return true;
}

void LngXmlDocument::ToRoot() {
  status_ = 0;
  current_ = &root_;
}

u32 LngXmlDocument::GetCount() {
  status_ = 0;
  return static_cast<u32>(current_->entries.size());
}

const kis::IdentEntry* LngXmlDocument::EntryAt(u32 index) {
  status_ = 0;
  if (index >= current_->entries.size()) {
    status_ = 0x400;
    return nullptr;
  }
  return current_->entries[index].get();
}

const wchar* LngXmlDocument::GetKey(u32 index, u32* length) {
  const kis::IdentEntry* e = EntryAt(index);
  if (length) *length = e ? e->nameLength : 0;
  return e ? e->name.c_str() : nullptr;
}

const wchar* LngXmlDocument::GetValueAt(u32 index, u32* length) {
  const kis::IdentEntry* e = EntryAt(index);
  if (length) *length = e ? e->valueLength : 0;
  return e ? e->value.c_str() : nullptr;
}

const wchar* LngXmlDocument::GetValue(const wchar* name, u32* length) {
  table_.SetCurrentSection(current_);
  const wchar* v = table_.LookupValueW(name, length, false);
  status_ = table_.GetStatus();
  return v;
}

u32 LngXmlDocument::ReadValue(const wchar* name, wchar* buffer, u32 capacity) {
  table_.SetCurrentSection(current_);
  const kis::IdentEntry* e = table_.ParseNameW(name, false);
  if (!e) {
    status_ = table_.GetStatus();
    if (buffer && capacity) buffer[0] = 0;
    return 0;
  }
  const u32 n = table_.ReadValueW(e, buffer, capacity, nullptr, false);
  status_ = table_.GetStatus();
  return n;
}

u32 LngXmlDocument::ReadValueA(const char* name, char* buffer, u32 capacity) {
  table_.SetCurrentSection(current_);
  const kis::IdentEntry* e = table_.ParseNameA(name, false);
  if (!e) {
    status_ = table_.GetStatus();
    if (buffer && capacity) buffer[0] = 0;
    return 0;
  }
  const u32 n = table_.ReadValueA(e, buffer, capacity, nullptr, false);
  status_ = table_.GetStatus();
  return n;
}
