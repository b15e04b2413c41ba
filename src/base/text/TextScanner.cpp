#include "base/text/TextScanner.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/text/TextChars.h"
#include "base/text/TextValue.h"
#include "platform/encoding/Ascii.h"
#include "platform/encoding/CodePage.h"

namespace kis {
namespace {

using textchars::IsBlank;
using textchars::IsNameChar;
using textchars::Unit;

// ---------------------------------------------------------------- format

struct Field {
  wchar letter = 0;
  u32 size = 0;         // bytes per value
  u32 count = 1;        // N of "[N]"
  bool explicitCount = false;
  bool optional = false;
  bool isString = false;  // S, Z, s, c: N is the capacity of one string
  bool isFloat = false;
  u32 offset = 0;       // inside the record (array mode)
};

struct Format {
  std::vector<Field> fields;
  bool unclosedTail = false;  // "{" without its "}"
};

constexpr size_t kMaxFields = 256;

bool ParseFormat(const wchar* f, Format& out) {
  if (!f) return false;
  bool tail = false;
  bool closed = false;
  for (;;) {
    while (IsBlank(*f)) ++f;
    if (*f == '{') {
      if (tail) return false;
      tail = true;
      ++f;
      while (IsBlank(*f)) ++f;
    }
    Field fd;
    fd.letter = *f;
    fd.optional = tail;
    switch (*f) {
      case 'i':
      case 'u':
      case 'x':
        ++f;
        if (*f != '1' && *f != '2' && *f != '4' && *f != '8') return false;
        fd.size = static_cast<u32>(*f - '0');
        break;
      case 'b':
        ++f;
        if (*f != '1' && *f != '4') return false;
        fd.size = static_cast<u32>(*f - '0');
        break;
      case 'l':
        fd.letter = 'i';
        fd.size = 4;
        break;
      case 'f':
        fd.size = 4;
        fd.isFloat = true;
        break;
      case 'W':
        fd.size = 2;
        break;
      case 'C':
        fd.size = 1;
        break;
      case 'c':
      case 'Z':
      case 's':
        fd.size = 2;
        fd.isString = true;
        break;
      case 'S':
        fd.size = 1;
        fd.isString = true;
        break;
      default:
        return false;
    }
    ++f;
    while (IsBlank(*f)) ++f;
    if (*f == '[') {
      ++f;
      while (IsBlank(*f)) ++f;
      if (!plat::IsAsciiDigit(*f)) return false;
      u64 n = 0;
      while (plat::IsAsciiDigit(*f)) {
        n = n * 10 + static_cast<u64>(*f - '0');
        if (n > 0x7FFFFFFFu) return false;
        ++f;
      }
      if (n == 0) return false;
      while (IsBlank(*f)) ++f;
      if (*f != ']') return false;
      ++f;
      fd.count = static_cast<u32>(n);
      fd.explicitCount = true;
      while (IsBlank(*f)) ++f;
    }
    out.fields.push_back(fd);
    if (out.fields.size() > kMaxFields) return false;
    if (*f == '}') {
      if (!tail) return false;
      ++f;
      while (IsBlank(*f)) ++f;
      if (*f) return false;
      closed = true;
      break;
    }
    if (*f == 0) break;
    if (*f != ',') return false;
    ++f;
  }
  out.unclosedTail = tail && !closed;
  return true;
}

// Lays the fields out in a record: 2-byte values at even offsets, 4- and
// 8-byte values at multiples of 4. False when a field overruns the record.
bool LayOut(Format& fmt, u32 recordSize) {
  u64 offset = 0;
  for (Field& fd : fmt.fields) {
    if (fd.size == 2) offset = (offset + 1) & ~u64{1};
    if (fd.size >= 4) offset = (offset + 3) & ~u64{3};
    const u64 end = offset + static_cast<u64>(fd.count) * fd.size;
    if (end > recordSize) return false;
    fd.offset = static_cast<u32>(offset);
    offset = end;
  }
  return true;
}

// ---------------------------------------------------------------- values

template <class Ch>
void SkipBlanks(const Ch*& p) {
  while (IsBlank(*p)) ++p;
}

void StoreInt(u8* dst, u32 size, u64 value) {
  if (!dst) return;
  for (u32 i = 0; i < size; ++i) dst[i] = static_cast<u8>(value >> (8 * i));
}

template <class Ch>
bool ParseSigned(const Ch*& p, u32 size, u64* value) {
  const Ch* q = p;
  bool negative = false;
  if (*q == '-' || *q == '+') negative = *q++ == '-';
  if (!plat::IsAsciiDigit(*q)) return false;
  const u64 limit = negative ? (u64{1} << (8 * size - 1)) : (u64{1} << (8 * size - 1)) - 1;
  u64 mag = 0;
  while (plat::IsAsciiDigit(*q)) {
    const u64 d = static_cast<u64>(*q - '0');
    if (mag > (limit - d) / 10) return false;
    mag = mag * 10 + d;
    ++q;
  }
  *value = negative ? ~mag + 1 : mag;
  p = q;
  return true;
}

template <class Ch>
bool ParseUnsigned(const Ch*& p, u32 size, u64* value) {
  const Ch* q = p;
  if (!plat::IsAsciiDigit(*q)) return false;
  const u64 limit = size >= 8 ? ~u64{0} : (u64{1} << (8 * size)) - 1;
  u64 v = 0;
  while (plat::IsAsciiDigit(*q)) {
    const u64 d = static_cast<u64>(*q - '0');
    if (v > (limit - d) / 10) return false;
    v = v * 10 + d;
    ++q;
  }
  *value = v;
  p = q;
  return true;
}

// Hexadecimal with an optional "0x", "0X", "#" or "$" prefix; leading zeros
// are free, at most maxDigits significant digits.
template <class Ch>
bool ParseHexValue(const Ch*& p, u32 maxDigits, u64* value) {
  const Ch* q = p;
  if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X'))
    q += 2;
  else if (*q == '#' || *q == '$')
    ++q;
  if (plat::HexDigitValue(*q) < 0) return false;
  u64 v = 0;
  u32 significant = 0;
  for (int d; (d = plat::HexDigitValue(*q)) >= 0; ++q) {
    if (v == 0 && d == 0) continue;
    if (++significant > maxDigits) return false;
    v = (v << 4) | static_cast<u64>(d);
  }
  *value = v;
  p = q;
  return true;
}

// "U+" or "u+" and exactly four hexadecimal digits.
template <class Ch>
bool ParseUPlus(const Ch*& p, u32* value) {
  if ((p[0] != 'U' && p[0] != 'u') || p[1] != '+') return false;
  u32 v = 0;
  for (int i = 2; i < 6; ++i) {
    const int d = plat::HexDigitValue(p[i]);
    if (d < 0) return false;
    v = (v << 4) | static_cast<u32>(d);
  }
  if (plat::HexDigitValue(p[6]) >= 0) return false;
  p += 6;
  *value = v;
  return true;
}

template <class Ch>
bool ParseBool(const Ch*& p, u64* value) {
  u64 v = 0;
  const Ch* q = p;
  if (ParseUnsigned(q, 1, &v)) {
    if (v > 1) return false;
    p = q;
    *value = v;
    return true;
  }
  SkipBlanks(q);
  const Ch* start = q;
  while (IsNameChar(*q)) ++q;
  const u32 length = static_cast<u32>(q - start);
  if (length == 0) return false;
  static const struct Words {
    const char* word;
    u32 length;
    u32 id;
    u64 value;
  } kWords[] = {{"false", 5, textchars::NameIdOf("false", 5), 0},
                {"no", 2, textchars::NameIdOf("no", 2), 0},
                {"true", 4, textchars::NameIdOf("true", 4), 1},
                {"yes", 3, textchars::NameIdOf("yes", 3), 1}};
  const u32 id = textchars::NameIdOf(start, length);
  for (const Words& w : kWords) {
    if (w.id == id && w.length == length && textchars::SameFolded(start, w.word, length)) {
      SkipBlanks(q);
      p = q;
      *value = w.value;
      return true;
    }
  }
  return false;
}

// Decimal floating point built digit by digit; an exponent scales by at most
// 10^38 either way. A result that does not fit a float is refused.
template <class Ch>
bool ParseFloat(const Ch*& p, float* value) {
  const Ch* q = p;
  bool negative = false;
  if (*q == '-' || *q == '+') negative = *q++ == '-';
  float v = 0.0f;
  u32 digits = 0;
  while (plat::IsAsciiDigit(*q)) {
    v = static_cast<float>(static_cast<double>(v) * 10.0 + static_cast<double>(*q - '0'));
    ++q;
    ++digits;
  }
  if (*q == '.') {
    ++q;
    const Ch* first = q;
    while (plat::IsAsciiDigit(*q)) ++q;
    digits += static_cast<u32>(q - first);
    double fraction = 0.0;
    for (const Ch* d = q; d != first;) {
      --d;
      fraction = (static_cast<double>(*d - '0') + fraction) / 10.0;
    }
    v = static_cast<float>(static_cast<double>(v) + fraction);
  }
  if (digits == 0) return false;
  if (*q == 'e' || *q == 'E') {
    ++q;
    u64 e = 0;
    if (!ParseSigned(q, 4, &e)) return false;
    const i32 exponent = static_cast<i32>(static_cast<u32>(e));
    const i32 steps = exponent < 0 ? (exponent < -38 ? 38 : -exponent) : (exponent > 38 ? 38 : exponent);
    for (i32 i = 0; i < steps; ++i) v = exponent < 0 ? v / 10.0f : v * 10.0f;
  }
  if (!std::isfinite(v)) return false;
  *value = negative ? -v : v;
  p = q;
  return true;
}

// The character forms shared by W, C and c: a quoted character, a "U+" code
// or a hexadecimal number of at most two digits.
enum class CharForm { kQuoted, kUPlus, kHex };

template <class Ch>
bool ParseCharForm(const Ch*& p, u32* value, CharForm* form) {
  if (p[0] == '\'' && p[1] != 0 && p[2] == '\'') {
    *value = Unit(p[1]);
    *form = CharForm::kQuoted;
    p += 3;
    return true;
  }
  if (ParseUPlus(p, value)) {
    *form = CharForm::kUPlus;
    return true;
  }
  u64 v = 0;
  if (!ParseHexValue(p, 2, &v)) return false;
  *value = static_cast<u32>(v);
  *form = CharForm::kHex;
  return true;
}

// A wide character from either width of text.
template <class Ch>
bool ParseWideChar(const Ch*& p, u32 codePage, wchar* out) {
  const Ch* q = p;
  u32 v = 0;
  CharForm form;
  if (!ParseCharForm(q, &v, &form)) return false;
  if constexpr (sizeof(Ch) == 1) {
    if (form != CharForm::kUPlus) {
      // A byte of 8-bit text names the character of the code page.
      const char byte = static_cast<char>(v);
      std::u16string w;
      if (!plat::MultiByteToWide(codePage, std::string_view(&byte, 1), w) || w.size() != 1) return false;
      v = w[0];
    }
  }
  *out = static_cast<wchar>(v);
  p = q;
  return true;
}

template <class Ch>
bool ParseAnsiChar(const Ch*& p, u32 codePage, u8* out) {
  const Ch* q = p;
  u32 v = 0;
  CharForm form;
  if (!ParseCharForm(q, &v, &form)) return false;
  if constexpr (sizeof(Ch) == 2) {
    if (form != CharForm::kHex) {
      const wchar c = static_cast<wchar>(v);
      std::string a;
      if (!plat::WideToMultiByte(codePage, std::u16string_view(&c, 1), a) || a.size() != 1) return false;
      v = static_cast<u8>(a[0]);
    }
  }
  *out = static_cast<u8>(v);
  p = q;
  return true;
}

// ---------------------------------------------------------------- scan

template <class Ch>
class Scan {
 public:
  Scan(const Format& fmt, u32 mode, void* destination, u32 recordSize, u32 codePage)
      : fmt_(fmt), mode_(mode), recordSize_(recordSize), codePage_(codePage) {
    if (mode == kScanArray) record_ = static_cast<u8*>(destination);
    if (mode == kScanPointers) args_ = static_cast<const ScanArgList*>(destination);
  }

  u32 Run(const Ch* text, i32 maxRecords, u32* recordCount) {
    cur_ = text;
    u32 records = 0;
    while (!textchars::RestIsEmpty(cur_)) {
      const u32 r = ReadRecord();
      if (r != kScanOk) return r;
      ++records;
      if (record_) record_ += recordSize_;
      if (!textchars::RestIsEmpty(cur_) && *cur_ != ',') return kScanMismatch;
      if (records >= static_cast<u32>(maxRecords)) break;
      if (*cur_ == ',') ++cur_;
    }
    *recordCount = records;
    return kScanOk;
  }

 private:
  u32 ReadRecord() {
    // A tail "{" without its "}" never lets a record end well.
    if (fmt_.unclosedTail) return kScanMismatch;
    SkipBlanks(cur_);
    const bool paren = *cur_ == '(';
    if (paren) {
      ++cur_;
      SkipBlanks(cur_);
    }
    for (size_t i = 0; i < fmt_.fields.size(); ++i) {
      const Field& fd = fmt_.fields[i];
      if (fd.optional) {
        if (!paren && textchars::RestIsEmpty(cur_)) return kScanOk;
        if (paren && *cur_ == ')') {
          ++cur_;
          SkipBlanks(cur_);
          return kScanOk;
        }
      }
      if (i > 0) {
        if (*cur_ != ',') return kScanMismatch;
        ++cur_;
        SkipBlanks(cur_);
      }
      u8* dst = nullptr;
      const u32 r = Destination(fd, &dst);
      if (r != kScanOk) return r;
      const u32 v = fd.isString ? ReadString(fd, dst) : ReadValues(fd, dst);
      if (v != kScanOk) return v;
    }
    if (paren) {
      if (*cur_ != ')') return kScanMismatch;
      ++cur_;
      SkipBlanks(cur_);
    }
    return kScanOk;
  }

  u32 Destination(const Field& fd, u8** dst) {
    if (mode_ == kScanArray) {
      *dst = record_ + fd.offset;
    } else if (mode_ == kScanPointers) {
      if (!args_ || nextArg_ >= args_->count) return kScanBadFormat;
      const ScanArg& a = args_->items[nextArg_++];
      if (!a.ptr || a.size != fd.size || a.capacity < fd.count || a.isFloat != fd.isFloat) return kScanBadFormat;
      *dst = static_cast<u8*>(a.ptr);
    }
    return kScanOk;
  }

  u32 ReadValues(const Field& fd, u8* dst) {
    for (u32 k = 0; k < fd.count; ++k) {
      if (k > 0) {
        if (*cur_ != ',') return kScanMismatch;
        ++cur_;
        SkipBlanks(cur_);
      }
      if (!ReadOne(fd, dst)) return kScanMismatch;
      if (dst) dst += fd.size;
      SkipBlanks(cur_);
    }
    return kScanOk;
  }

  bool ReadOne(const Field& fd, u8* dst) {
    u64 v = 0;
    switch (fd.letter) {
      case 'i':
        if (!ParseSigned(cur_, fd.size, &v)) return false;
        break;
      case 'u':
        if (!ParseUnsigned(cur_, fd.size, &v)) return false;
        break;
      case 'x':
        if (!ParseHexValue(cur_, 2 * fd.size, &v)) return false;
        break;
      case 'b':
        if (!ParseBool(cur_, &v)) return false;
        break;
      case 'f': {
        float f = 0;
        if (!ParseFloat(cur_, &f)) return false;
        if (dst) std::memcpy(dst, &f, sizeof f);
        return true;
      }
      case 'W': {
        wchar c = 0;
        if (!ParseWideChar(cur_, codePage_, &c)) return false;
        v = c;
        break;
      }
      case 'C': {
        u8 c = 0;
        if (!ParseAnsiChar(cur_, codePage_, &c)) return false;
        v = c;
        break;
      }
      default:
        return false;
    }
    StoreInt(dst, fd.size, v);
    return true;
  }

  u32 ReadString(const Field& fd, u8* dst) {
    Ch closer = 0;
    if (fd.explicitCount && (*cur_ == '(' || *cur_ == '[')) {
      closer = *cur_ == '(' ? Ch(')') : Ch(']');
      ++cur_;
      SkipBlanks(cur_);
    }
    if (fd.letter == 'c') {
      // One character, stored as a string of one.
      wchar c = 0;
      if (fd.count < 2 || !ParseWideChar(cur_, codePage_, &c)) return kScanMismatch;
      if (dst) {
        const wchar s[2] = {c, 0};
        std::memcpy(dst, s, sizeof s);
      }
    } else {
      TextSink sink;
      sink.Begin(dst, fd.letter != 'S', dst ? fd.count : 0, codePage_);
      if (*cur_ == '"') {
        if (!ReadQuotedValue(cur_, sink)) return kScanMismatch;
      } else {
        const Ch* start = cur_;
        while (IsNameChar(*cur_)) ++cur_;
        if (cur_ == start) return kScanMismatch;
        Emit(sink, start, static_cast<u32>(cur_ - start));
      }
      if (sink.cut || static_cast<u64>(sink.count) + 1 > fd.count) return kScanMismatch;
    }
    SkipBlanks(cur_);
    if (closer) {
      if (*cur_ != closer) return kScanMismatch;
      ++cur_;
      SkipBlanks(cur_);
    }
    return kScanOk;
  }

  const Format& fmt_;
  u32 mode_;
  u32 recordSize_;
  u32 codePage_;
  u8* record_ = nullptr;
  const ScanArgList* args_ = nullptr;
  u32 nextArg_ = 0;
  const Ch* cur_ = nullptr;
};

template <class Ch>
u32 ScanText(const wchar* format, i32 maxRecords, void* destination, u32 recordSize, u32 mode, const Ch* text,
             u32 codePage, u32* recordCount) {
  u32 ignored = 0;
  if (!recordCount) recordCount = &ignored;
  *recordCount = 0;
  if (maxRecords < 1 || mode > kScanPointers) return kScanBadFormat;
  if (mode != kScanCount && !destination) return kScanBadFormat;
  if (mode == kScanArray && recordSize == 0) return kScanBadFormat;
  Format fmt;
  if (!ParseFormat(format, fmt) || fmt.fields.empty()) return kScanBadFormat;
  if (mode == kScanArray && !LayOut(fmt, recordSize)) return kScanBadFormat;
  if (!text) return kScanOk;
  Scan<Ch> scan(fmt, mode, destination, recordSize, codePage);
  return scan.Run(text, maxRecords, recordCount);
}

template <class Ch>
bool ParseIntT(const Ch* text, i32* value) {
  u64 v = 0;
  if (!text) return false;
  const Ch* p = text;
  if (!ParseSigned(p, 4, &v) || !textchars::RestIsEmpty(p)) return false;
  if (value) *value = static_cast<i32>(static_cast<u32>(v));
  return true;
}

template <class Ch>
bool ParseHexT(const Ch* text, u32* value) {
  u64 v = 0;
  if (!text) return false;
  const Ch* p = text;
  if (!ParseHexValue(p, 8, &v) || !textchars::RestIsEmpty(p)) return false;
  if (value) *value = static_cast<u32>(v);
  return true;
}

template <class Ch>
bool ParseCharT(const Ch* text, wchar* value, u32 codePage) {
  wchar c = 0;
  if (!text) return false;
  const Ch* p = text;
  if (!ParseWideChar(p, codePage, &c) || !textchars::RestIsEmpty(p)) return false;
  if (value) *value = c;
  return true;
}

}  // namespace

u32 ScanTextW(const wchar* format, i32 maxRecords, void* destination, u32 recordSize, u32 mode, const wchar* text,
              u32 codePage, u32* recordCount) {
  return ScanText(format, maxRecords, destination, recordSize, mode, text, codePage, recordCount);
}

u32 ScanTextA(const wchar* format, i32 maxRecords, void* destination, u32 recordSize, u32 mode, const char* text,
              u32 codePage, u32* recordCount) {
  return ScanText(format, maxRecords, destination, recordSize, mode, text, codePage, recordCount);
}

bool ParseIntW(const wchar* text, i32* value) { return ParseIntT(text, value); }
bool ParseHexW(const wchar* text, u32* value) { return ParseHexT(text, value); }
bool ParseCharW(const wchar* text, wchar* value, u32 codePage) { return ParseCharT(text, value, codePage); }
bool ParseIntA(const char* text, i32* value) { return ParseIntT(text, value); }
bool ParseHexA(const char* text, u32* value) { return ParseHexT(text, value); }
bool ParseCharA(const char* text, wchar* value, u32 codePage) { return ParseCharT(text, value, codePage); }

bool IsRestEmptyW(const wchar* text) { return textchars::RestIsEmpty(text); }
bool IsRestEmptyA(const char* text) { return textchars::RestIsEmpty(text); }

}  // namespace kis
