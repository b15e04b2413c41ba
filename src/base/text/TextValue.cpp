#include "base/text/TextValue.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/Strings.h"
#include "base/text/TextChars.h"
#include "platform/encoding/CodePage.h"

namespace kis {
namespace {

bool IsHighSurrogate(u32 c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(u32 c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Largest cut of wide units at or below `limit` that keeps surrogate pairs whole.
u32 WideCut(const wchar* units, u32 n, u32 limit) {
  if (limit > 0 && limit < n && IsHighSurrogate(units[limit - 1]) && IsLowSurrogate(units[limit])) return limit - 1;
  return limit;
}

// Largest character end at or below `limit`.
u32 EndsCut(const std::vector<u32>& ends, u32 limit) {
  auto it = std::upper_bound(ends.begin(), ends.end(), limit);
  return it == ends.begin() ? 0 : *(it - 1);
}

template <class D, class CutFn>
void Store(TextSink& s, const D* units, u32 n, CutFn cutAt) {
  if (s.countOnly) {
    s.count += n;
    return;
  }
  u32 take = n;
  if (static_cast<u64>(n) + 1 > s.room) {
    take = cutAt(s.room - 1);
    s.cut = true;
  }
  D* d = static_cast<D*>(s.dest);
  if (take) std::memcpy(d, units, static_cast<size_t>(take) * sizeof(D));
  d[take] = 0;
  s.dest = d + take;
  s.room -= take;
  s.count += take;
}

template <class S>
u32 CopyValue(const S* text, void* buffer, bool wideDest, u32 capacity, u32 codePage, u32* count) {
  if (count) *count = 0;
  if (!buffer && capacity) return kCopyNullBuffer;
  TextSink sink;
  sink.Begin(buffer, wideDest, capacity, codePage);
  bool malformed = false;
  if (text && *text == '"') {
    const S* cursor = text;
    malformed = !ReadQuotedValue(cursor, sink) || !textchars::RestIsEmpty(cursor);
  } else if (text) {
    Emit(sink, text, StrLen(text));
  }
  if (count) *count = sink.count;
  return (malformed ? kCopyMalformed : kCopyDone) | (sink.cut ? kCopyCut : 0);
}

template <class S>
u32 CopyRaw(const S* text, void* buffer, bool wideDest, u32 capacity, u32 codePage, u32* count) {
  const u32 length = count ? *count : 0;
  if (count) *count = 0;
  if (!buffer && capacity) return kCopyNullBuffer;
  TextSink sink;
  sink.Begin(buffer, wideDest, capacity, codePage);
  if (text) Emit(sink, text, length);
  if (count) *count = sink.count;
  return sink.cut ? kCopyCut : kCopyDone;
}

template <class S>
bool Convert(void* buffer, bool wideDest, u32 capacity, const S* text, u32* length, u32 codePage) {
  const u32 n = length ? *length : 0;
  if (length) *length = 0;
  if (!buffer && capacity) return false;
  TextSink sink;
  sink.Begin(buffer, wideDest, capacity, codePage);
  if (text) Emit(sink, text, n);
  if (length) *length = sink.count;
  return !sink.cut;
}

template <class S>
bool ReadQuoted(const S*& cursor, TextSink& sink) {
  const S* p = cursor + 1;  // past the opening quote
  const S* run = p;
  for (;;) {
    const S c = *p;
    if (c == 0) {
      Emit(sink, run, static_cast<u32>(p - run));
      cursor = p;
      return false;
    }
    if (c == '"') {
      Emit(sink, run, static_cast<u32>(p - run));
      cursor = p + 1;
      return true;
    }
    if (c != '\\') {
      ++p;
      continue;
    }
    Emit(sink, run, static_cast<u32>(p - run));
    ++p;
    if (*p == 0) {
      cursor = p;
      return false;
    }
    if (*p == 'n' || *p == 'r') {
      const S ctl = *p == 'n' ? S('\n') : S('\r');
      Emit(sink, &ctl, 1);
      ++p;
    } else {
      // The escaped character stands for itself; a surrogate pair stays whole.
      u32 n = 1;
      if (sizeof(S) == 2 && IsHighSurrogate(textchars::Unit(p[0])) && IsLowSurrogate(textchars::Unit(p[1]))) n = 2;
      Emit(sink, p, n);
      p += n;
    }
    run = p;
  }
}

}  // namespace

void TextSink::Begin(void* buffer, bool wideDest, u32 capacity, u32 page) {
  dest = buffer;
  wide = wideDest;
  countOnly = capacity == 0 || buffer == nullptr;
  cut = false;
  room = capacity;
  count = 0;
  codePage = page;
  if (!countOnly) {
    if (wide)
      *static_cast<wchar*>(buffer) = 0;
    else
      *static_cast<char*>(buffer) = 0;
  }
}

void EmitWide(TextSink& sink, const wchar* text, u32 length) {
  if (sink.cut || !sink.wide) return;
  Store(sink, text, length, [&](u32 limit) { return WideCut(text, length, limit); });
}

void EmitWideAsAnsi(TextSink& sink, const wchar* text, u32 length) {
  if (sink.cut || sink.wide) return;
  std::string out;
  std::vector<u32> ends;
  if (!plat::WideToMultiByte(sink.codePage, std::u16string_view(text, length), out, &ends)) return;
  Store(sink, out.data(), static_cast<u32>(out.size()), [&](u32 limit) { return EndsCut(ends, limit); });
}

void EmitAnsi(TextSink& sink, const char* text, u32 length) {
  if (sink.cut || sink.wide) return;
  Store(sink, text, length, [&](u32 limit) {
    if (plat::IsSingleByteCodePage(sink.codePage)) return limit;
    std::u16string scratch;
    std::vector<u32> ends;
    if (!plat::MultiByteToWide(sink.codePage, std::string_view(text, length), scratch, &ends)) return limit;
    return EndsCut(ends, limit);
  });
}

void EmitAnsiAsWide(TextSink& sink, const char* text, u32 length) {
  if (sink.cut || !sink.wide) return;
  std::u16string out;
  if (!plat::MultiByteToWide(sink.codePage, std::string_view(text, length), out)) return;
  Store(sink, out.data(), static_cast<u32>(out.size()),
        [&](u32 limit) { return WideCut(out.data(), static_cast<u32>(out.size()), limit); });
}

void Emit(TextSink& sink, const wchar* text, u32 length) {
  if (sink.wide)
    EmitWide(sink, text, length);
  else
    EmitWideAsAnsi(sink, text, length);
}

void Emit(TextSink& sink, const char* text, u32 length) {
  if (sink.wide)
    EmitAnsiAsWide(sink, text, length);
  else
    EmitAnsi(sink, text, length);
}

bool ReadQuotedValue(const wchar*& cursor, TextSink& sink) { return ReadQuoted(cursor, sink); }
bool ReadQuotedValue(const char*& cursor, TextSink& sink) { return ReadQuoted(cursor, sink); }

u32 CopyValueWToA(const wchar* text, char* buffer, u32 capacity, u32 codePage, u32* count) {
  return CopyValue(text, buffer, false, capacity, codePage, count);
}
u32 CopyValueWToW(const wchar* text, wchar* buffer, u32 capacity, u32 codePage, u32* count) {
  return CopyValue(text, buffer, true, capacity, codePage, count);
}
u32 CopyValueAToA(const char* text, char* buffer, u32 capacity, u32 codePage, u32* count) {
  return CopyValue(text, buffer, false, capacity, codePage, count);
}
u32 CopyValueAToW(const char* text, wchar* buffer, u32 capacity, u32 codePage, u32* count) {
  return CopyValue(text, buffer, true, capacity, codePage, count);
}

u32 CopyRawWToA(const wchar* text, char* buffer, u32 capacity, u32 codePage, u32* count) {
  return CopyRaw(text, buffer, false, capacity, codePage, count);
}
u32 CopyRawWToW(const wchar* text, wchar* buffer, u32 capacity, u32 codePage, u32* count) {
  return CopyRaw(text, buffer, true, capacity, codePage, count);
}

bool ConvertWideToAnsi(char* buffer, u32 capacity, const wchar* text, u32* length, u32 codePage) {
  return Convert(buffer, false, capacity, text, length, codePage);
}
bool CopyWideText(wchar* buffer, u32 capacity, const wchar* text, u32* length) {
  return Convert(buffer, true, capacity, text, length, 0);
}
bool ConvertAnsiToWide(wchar* buffer, u32 capacity, const char* text, u32* length, u32 codePage) {
  return Convert(buffer, true, capacity, text, length, codePage);
}

}  // namespace kis
