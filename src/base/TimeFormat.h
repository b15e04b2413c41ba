// Times of day as records and as text.
//
// SystemTime has the shape of the system's date-and-time record (16-bit
// fields). FormatTime writes it by a pattern of field letters (y m d h n s z a,
// either case, repeated for width), with ' or " switching literal text on and
// off and an AM/PM marker ("A/P", "AM/PM" or "AMPM") after an hour field
// turning the hours to 12-hour form. The output is cut to the buffer and always
// terminated. Month and day names come from tables filled once by
// InitLocaleNames (English names; filled on first use if nobody called it).
#pragma once

#include "base/Types.h"

namespace kis {

struct SystemTime {
  u16 year;
  u16 month;      // 1-12
  u16 dayOfWeek;  // 0 Sunday
  u16 day;
  u16 hour;
  u16 minute;
  u16 second;
  u16 milliseconds;
};

// A duration in milliseconds as hours, minutes, seconds and milliseconds; the
// date fields are 0.
void MsToSystemTime(u32 ms, SystemTime& time);
// Hours, minutes, seconds and milliseconds of the record in milliseconds.
u32 TimeToMs(const SystemTime& time);

template <class C> C* FormatTime(const C* pattern, C* buf, u32 size, const SystemTime& time);
inline wchar* FormatTimeW(const wchar* pattern, wchar* buf, u32 size, const SystemTime& time) {
  return FormatTime(pattern, buf, size, time);
}
inline char* FormatTimeA(const char* pattern, char* buf, u32 size, const SystemTime& time) {
  return FormatTime(pattern, buf, size, time);
}

// Fills the month and day name tables (wide and 8-bit, at most 31 characters
// each). Safe to call more than once.
void InitLocaleNames();

}  // namespace kis
