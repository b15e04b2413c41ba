#include "base/TimeFormat.h"
#include "base/FormatSink.h"

#include <type_traits>

#include "base/NumberText.h"
#include "platform/encoding/Ascii.h"

namespace kis {
namespace {

constexpr u32 kNameChars = 32;  // 31 characters and the terminator

// Month and day names in both character widths, filled once.
struct LocaleNames {
  wchar shortMonthW[12][kNameChars];
  wchar longMonthW[12][kNameChars];
  wchar shortDayW[7][kNameChars];
  wchar longDayW[7][kNameChars];
  char shortMonthA[12][kNameChars];
  char longMonthA[12][kNameChars];
  char shortDayA[7][kNameChars];
  char longDayA[7][kNameChars];
};

const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// Stores an ASCII name in both tables, cut to `limit` characters.
void SetName(wchar* wide, char* narrow, const char* name, u32 limit) {
  u32 n = 0;
  for (; name[n] && n < limit && n + 1 < kNameChars; ++n) {
    wide[n] = static_cast<wchar>(name[n]);
    narrow[n] = name[n];
  }
  wide[n] = 0;
  narrow[n] = 0;
}

// The system offers no per-thread locale names here, so the tables hold the
// English names (the same every run, which keeps formatted text reproducible).
LocaleNames MakeNames() {
  LocaleNames t{};
  for (int i = 0; i < 12; ++i) {
    SetName(t.shortMonthW[i], t.shortMonthA[i], kMonths[i], 3);
    SetName(t.longMonthW[i], t.longMonthA[i], kMonths[i], kNameChars - 1);
  }
  for (int i = 0; i < 7; ++i) {
    SetName(t.shortDayW[i], t.shortDayA[i], kDays[i], 3);
    SetName(t.longDayW[i], t.longDayA[i], kDays[i], kNameChars - 1);
  }
  return t;
}

const LocaleNames& Names() {
  static const LocaleNames names = MakeNames();
  return names;
}

template <class C> const C* MonthName(u32 month, bool longForm) {
  if (month < 1 || month > 12) return nullptr;
  const LocaleNames& n = Names();
  if constexpr (sizeof(C) == 1)
    return longForm ? n.longMonthA[month - 1] : n.shortMonthA[month - 1];
  else
    return longForm ? n.longMonthW[month - 1] : n.shortMonthW[month - 1];
}

template <class C> const C* DayName(u32 day, bool longForm) {
  if (day > 6) return nullptr;
  const LocaleNames& n = Names();
  if constexpr (sizeof(C) == 1)
    return longForm ? n.longDayA[day] : n.shortDayA[day];
  else
    return longForm ? n.longDayW[day] : n.shortDayW[day];
}


template <class C> bool IsQuote(C c) { return c == '\'' || c == '"'; }

template <class C> u32 Lower(C c) {
  return plat::AsciiToLower(static_cast<u32>(static_cast<std::make_unsigned_t<C>>(c)));
}

template <class C> bool IsFieldLetter(C c) {
  switch (Lower(c)) {
    case 'y': case 'm': case 'd': case 'h': case 'n': case 's': case 'z': case 'a':
      return true;
    default:
      return false;
  }
}

// True when the text at p begins with `word` (lower case), ignoring case.
template <class C> bool StartsWithFolded(const C* p, const char* word) {
  for (; *word; ++word, ++p)
    if (!*p || Lower(*p) != static_cast<u32>(*word)) return false;
  return true;
}

// An AM/PM marker found in the pattern: where it starts, how long it is and
// where its slash is (0 for "AMPM").
struct Marker {
  const void* at = nullptr;
  u32 length = 0;
  u32 slash = 0;
};

// Searches the pattern from p, outside literal text, for the first "a" that
// begins "A/P", "AM/PM" or "AMPM".
template <class C> Marker FindMarker(const C* p) {
  bool literal = false;
  bool skipQuoteTest = false;
  for (; *p; ++p) {
    if (!skipQuoteTest && IsQuote(*p)) {
      literal = !literal;
      skipQuoteTest = true;
      continue;
    }
    skipQuoteTest = false;
    if (literal || Lower(*p) != 'a') continue;
    if (StartsWithFolded(p, "am/pm")) return {p, 5, 2};
    if (StartsWithFolded(p, "ampm")) return {p, 4, 0};
    if (StartsWithFolded(p, "a/p")) return {p, 3, 1};
  }
  return {};
}

}  // namespace

void MsToSystemTime(u32 ms, SystemTime& time) {
  time.year = 0;
  time.month = 0;
  time.dayOfWeek = 0;
  time.day = 0;
  time.hour = static_cast<u16>(ms / 3600000u);
  ms %= 3600000u;
  time.minute = static_cast<u16>(ms / 60000u);
  ms %= 60000u;
  time.second = static_cast<u16>(ms / 1000u);
  time.milliseconds = static_cast<u16>(ms % 1000u);
}

u32 TimeToMs(const SystemTime& time) {
  return u32{time.hour} * 3600000u + u32{time.minute} * 60000u + u32{time.second} * 1000u + time.milliseconds;
}

void InitLocaleNames() { (void)Names(); }

// The marker state lives in this call only, so formatting is reentrant.
template <class C> C* FormatTime(const C* pattern, C* buf, u32 size, const SystemTime& time) {
  if (!buf || size == 0) return buf;
  FormatSink<C> out{buf, size, 0};
  Marker marker;
  bool literal = false;
  bool skipQuoteTest = false;
  const C* p = pattern;
  while (p && *p) {
    const C c = *p;
    if (!skipQuoteTest && IsQuote(c)) {
      literal = !literal;
      skipQuoteTest = true;
      ++p;
      continue;
    }
    skipQuoteTest = false;
    if (literal || !IsFieldLetter(c)) {
      out.Put(c);
      ++p;
      continue;
    }
    u32 width = 1;
    while (p[width] == c) ++width;
    const bool pm = time.hour >= 12;
    switch (Lower(c)) {
      case 'y':
        out.PutDigits(time.year, width >= 3 ? 4 : 2);
        break;
      case 'm':
        if (width <= 2)
          out.PutDigits(time.month, width);
        else
          out.PutText(MonthName<C>(time.month, width >= 4));
        break;
      case 'd':
        if (width <= 2)
          out.PutDigits(time.day, width);
        else
          out.PutText(DayName<C>(time.dayOfWeek, width >= 4));
        break;
      case 'h': {
        marker = FindMarker(p + width);
        u32 hour = time.hour;
        if (marker.at) {
          hour %= 12;
          if (hour == 0) hour = 12;
        }
        out.PutDigits(hour, width >= 2 ? 2 : 1);
        break;
      }
      case 'n':
        out.PutDigits(time.minute, width >= 2 ? 2 : 1);
        break;
      case 's':
        out.PutDigits(time.second, width >= 2 ? 2 : 1);
        break;
      case 'z':
        out.PutDigits(time.milliseconds, width >= 3 ? 3 : width);
        break;
      case 'a':
        if (width == 1 && marker.at == p) {
          if (marker.slash == 0) {
            const C am[] = {'A', 'M', 0};
            const C pmText[] = {'P', 'M', 0};
            out.PutText(pm ? pmText : am);
          } else if (!pm) {
            for (u32 i = 0; i < marker.slash; ++i) out.Put(p[i]);
          } else {
            for (u32 i = marker.slash + 1; i < marker.length; ++i) out.Put(p[i]);
          }
          width = marker.length;
        } else {
          for (u32 i = 0; i < width; ++i) out.Put(c);
        }
        break;
    }
    p += width;
  }
  buf[out.pos] = 0;
  return buf;
}

template char* FormatTime<char>(const char*, char*, u32, const SystemTime&);
template char16_t* FormatTime<char16_t>(const char16_t*, char16_t*, u32, const SystemTime&);

}  // namespace kis
