#include "gametext/DXLLngText.h"

#include <cstdlib>
#include <new>
#include <vector>

#include "base/Strings.h"

namespace {

// Room in the block after the header and the pairs: the characters follow
// the pairs, total + count of them (every variant's terminator included).
wchar* CharBase(DXLLngText* t) { return reinterpret_cast<wchar*>(t->Variants() + t->count); }
size_t CharRoom(const DXLLngText* t) { return size_t{t->total} + t->count; }

constexpr u32 kMaxVariants = 1u << 20;
constexpr u32 kMaxChars = 1u << 24;

bool IsSpaceOrTab(wchar c) { return c == u' ' || c == u'\t'; }

struct Span {
  u32 begin;  // first character after the opening quote, or the value's start
  u32 end;    // the closing quote, or the value's end
  u32 chars;  // characters once backslash pairs are folded
};

// The quoted-list form; false when the value does not follow it.
bool ScanQuoted(const wchar* v, u32 n, std::vector<Span>& spans) {
  u32 p = 0;
  for (;;) {
    if (p >= n || v[p] != u'"') return false;
    ++p;
    Span s{p, p, 0};
    for (;;) {
      if (p >= n || v[p] == 0) return false;
      if (v[p] == u'"') break;
      if (v[p] == u'\\') {
        ++p;
        if (p >= n || v[p] == 0) return false;
      }
      ++p;
      ++s.chars;
    }
    s.end = p++;
    spans.push_back(s);
    while (p < n && IsSpaceOrTab(v[p])) ++p;
    if (p < n && v[p] == u',') {
      ++p;
      while (p < n && IsSpaceOrTab(v[p])) ++p;
      if (p >= n || v[p] != u'"') return false;
      continue;
    }
    break;
  }
  if (p >= n || v[p] == 0) return true;
  return p + 1 < n && v[p] == u'/' && v[p + 1] == u'/';
}

// Copies a span, folding backslash pairs.
u32 Unescape(const wchar* v, const Span& s, wchar* out) {
  u32 k = 0;
  for (u32 p = s.begin; p < s.end; ++p) {
    wchar c = v[p];
    if (c == u'\\') {
      if (p + 1 >= s.end) break;  // a lone backslash at the end is dropped
      c = v[++p];
      if (c == u'n') c = 10;
      else if (c == u'r') c = 13;
    }
    out[k++] = c;
  }
  return k;
}

}  // namespace

// Until filled, every variant is the empty text in the last unit of the
// room, which the fill never writes but a final terminator into, so it
// stays the empty text however far the filling has come.
DXLLngText* AllocLngText(const kis::Identifier& key, u32 count, u32 total) {
  if (count == 0 || count > kMaxVariants || total > kMaxChars) return nullptr;
  const size_t bytes = sizeof(DXLLngText) + sizeof(DXLLngVariant) * count + sizeof(wchar) * (size_t{total} + count);
  void* block = std::malloc(bytes);
  if (!block) return nullptr;
  DXLLngText* t = new (block) DXLLngText;
  t->key = key;
  t->count = count;
  t->total = total;
  wchar* empty = CharBase(t) + CharRoom(t) - 1;
  *empty = 0;
  for (u32 i = 0; i < count; ++i) t->Variants()[i] = DXLLngVariant{0, empty};
  return t;
}

// Variant i goes right after variant i - 1's terminator, found from that
// variant alone, so filling a text takes time in proportion to its size.
// A variant whose predecessor is not filled yet finds no room: the last
// unit is where the unfilled ones point.
bool FillLngVariant(DXLLngText* text, u32 i, const wchar* chars, u32 length) {
  if (!text || i >= text->count) return false;
  wchar* base = CharBase(text);
  size_t used = 0;
  if (i > 0) {
    const DXLLngVariant& before = text->Variants()[i - 1];
    used = static_cast<size_t>(before.text - base) + before.length + 1;
  }
  // Every variant after this one still needs its terminator.
  if (used + length + 1 + (text->count - i - 1) > CharRoom(text)) return false;
  wchar* dest = base + used;
  for (u32 k = 0; k < length; ++k) dest[k] = chars[k];
  dest[length] = 0;
  text->Variants()[i] = DXLLngVariant{length, dest};
  return true;
}

void FreeLngText(DXLLngText* text) {
  if (!text) return;
  text->~DXLLngText();
  std::free(text);
}

DXLLngText* MakeLngText(const wchar* key, u32 keyLength, const wchar* value, u32 valueLength) {
  if (!key || !value) return nullptr;
  if (keyLength == kis::kToTerminator) keyLength = kis::StrLenW(key);
  if (valueLength == kis::kToTerminator) valueLength = kis::StrLenW(value);
  kis::Identifier id;
  if (!id.Parse(key, keyLength, false, nullptr, nullptr)) return nullptr;

  std::vector<Span> spans;
  if (valueLength == 0 || value[0] != u'"' || !ScanQuoted(value, valueLength, spans)) {
    spans.clear();
    Span whole{0, valueLength, 0};
    for (u32 p = 0; p < valueLength && value[p] != 0; ++p) {
      if (value[p] == u'\\') {
        if (p + 1 >= valueLength || value[p + 1] == 0) break;
        ++p;
      }
      ++whole.chars;
    }
    u32 end = 0;
    while (end < valueLength && value[end] != 0) ++end;
    whole.end = end;
    spans.push_back(whole);
  }
  u64 total = 0;
  for (const Span& s : spans) total += s.chars;
  if (total > kMaxChars) return nullptr;
  DXLLngText* t = AllocLngText(id, static_cast<u32>(spans.size()), static_cast<u32>(total));
  if (!t) return nullptr;
  std::vector<wchar> scratch;
  for (u32 i = 0; i < spans.size(); ++i) {
    scratch.resize(spans[i].chars + 1);
    const u32 n = Unescape(value, spans[i], scratch.data());
    FillLngVariant(t, i, scratch.data(), n);
  }
  return t;
}
