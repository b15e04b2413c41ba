// kis::CustomIniFileW / kis::CustomIniFileA: typed access to an ini file.
//
// The object holds only the file's absolute path (at most 259 characters); a
// name that would not fit leaves the path empty, and then nothing is read and
// every write fails. The virtual operations reach the file; the typed ones
// (numbers, flags, existence tests, value lists) are built on them. Missing
// files, sections and keys give the defaults. Every call uses its own buffers,
// so ini objects may be used from several places at once.
//
// Relative names are placed under the current folder: a name is left as it is
// when it holds a ":" (a drive), starts with two backslashes (a network path)
// or starts with "/" (a Linux root). The 8-bit twin takes its file name in
// UTF-8 and its sections, keys and values in the ANSI code page.
#pragma once

#include "base/StringList.h"
#include "base/Types.h"
#include "base/ValueList.h"

namespace kis {

template <class Ch>
struct IniStringList;
template <>
struct IniStringList<wchar> {
  using type = WideStrings;
};
template <>
struct IniStringList<char> {
  using type = AnsiStrings;
};

template <class Ch>
class CustomIniFileT {
 public:
  using Strings = typename IniStringList<Ch>::type;
  static constexpr i32 kMaxPath = 260;       // characters of the path, terminator included
  static constexpr i32 kNumberSize = 64;     // buffer of a number value
  static constexpr i32 kValueListSize = 4096;
  static constexpr i32 kNameListSize = 16384;  // room of a name list and of one listed value

  explicit CustomIniFileT(const Ch* fileName);
  CustomIniFileT(const CustomIniFileT&) = delete;
  CustomIniFileT& operator=(const CustomIniFileT&) = delete;
  virtual ~CustomIniFileT() = default;

  // Copies the value (at most size - 1 characters) and returns the count; a
  // missing key gives the default without its trailing blanks.
  virtual i32 ReadString(const Ch* section, const Ch* key, const Ch* def, Ch* buffer, i32 size) = 0;
  virtual bool WriteString(const Ch* section, const Ch* key, const Ch* value) = 0;  // null value: delete
  virtual bool Flush() = 0;
  virtual void ReadSectionKeys(const Ch* section, Strings& list) = 0;    // list emptied first
  virtual void ReadSections(Strings& list) = 0;                          // list emptied first
  virtual void ReadSectionValues(const Ch* section, Strings& list) = 0;  // items "key=value"
  virtual bool EraseSection(const Ch* section) = 0;
  virtual bool DeleteKey(const Ch* section, const Ch* key) = 0;
  virtual bool EraseAll() = 0;

  // Decimal, or hexadecimal after "$", "#" or "0x"; the default unless the
  // whole value is a number that fits 32 bits.
  i32 ReadInt(const Ch* section, const Ch* key, i32 def);
  bool ReadBool(const Ch* section, const Ch* key, bool def) { return ReadInt(section, key, def ? 1 : 0) != 0; }
  bool WriteInt(const Ch* section, const Ch* key, i32 value);
  bool KeyExists(const Ch* section, const Ch* key);  // key name case ignored
  bool SectionExists(const Ch* section);             // false for a section without keys

  // Scans the value (see ValueList.h) with "," between values; returns the
  // number of variables stored, or -1 when a variable does not fit its token.
  template <class... Args>
  i32 ReadValues(const Ch* section, const Ch* key, const Ch* format, i32 skip, i32 count, Args&&... args) {
    Ch buffer[kValueListSize];
    ReadString(section, key, nullptr, buffer, kValueListSize);
    return ScanValues<Ch>(buffer, format, static_cast<Ch>(','), skip, count, args...);
  }

  const Ch* GetPath() const { return path_; }

 protected:
  Ch path_[kMaxPath] = {};
};

using CustomIniFileW = CustomIniFileT<wchar>;
using CustomIniFileA = CustomIniFileT<char>;

extern template class CustomIniFileT<wchar>;
extern template class CustomIniFileT<char>;

}  // namespace kis
