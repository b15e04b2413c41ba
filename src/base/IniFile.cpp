#include "base/IniFile.h"

#include <string>
#include <vector>

#include "platform/os/IniFile.h"
#include "platform/encoding/Utf.h"

namespace kis {

namespace {

// Text of the wide twin passes as it is; the 8-bit twin's names and values
// are in the ANSI code page and its file name in UTF-8.
std::u16string Wide(const wchar* s) { return s ? std::u16string(s) : std::u16string(); }
std::u16string Wide(const char* s) { return s ? plat::IniAnsiToWide(s) : std::u16string(); }
std::u16string WidePath(const wchar* s) { return Wide(s); }
std::u16string WidePath(const char* s) { return plat::Utf8ToUtf16(s); }
void Narrow(const std::u16string& s, std::u16string& out) { out = s; }
void Narrow(const std::u16string& s, std::string& out) { out = plat::IniWideToAnsi(s); }

template <class Ch>
std::basic_string<Ch> Text(const std::u16string& s) {
  std::basic_string<Ch> out;
  Narrow(s, out);
  return out;
}

template <class Ch>
bool IsBlank(Ch c) {
  return c == ' ' || c == '\t';
}

// Adds names while they fit the room of one name list.
template <class Ch, class Strings>
void AddNames(const std::vector<std::u16string>& names, Strings& list, i32 room) {
  i32 used = 1;
  for (const std::u16string& name : names) {
    const std::basic_string<Ch> text = Text<Ch>(name);
    used += static_cast<i32>(text.size()) + 1;
    if (used > room) break;
    list.AddString(text.c_str());
  }
}

}  // namespace

template <class Ch>
i32 IniFileT<Ch>::ReadString(const Ch* section, const Ch* key, const Ch* def, Ch* buffer, i32 size) {
  if (!buffer || size <= 0) return 0;
  std::basic_string<Ch> value;
  std::u16string found;
  if (this->path_[0] && section && key &&
      plat::ReadIniString(WidePath(this->path_), Wide(section), Wide(key), found)) {
    value = Text<Ch>(found);
  } else if (def) {
    value = def;
    while (!value.empty() && IsBlank(value.back())) value.pop_back();
  }
  const size_t n = value.size() < static_cast<size_t>(size - 1) ? value.size() : static_cast<size_t>(size - 1);
  value.copy(buffer, n);
  buffer[n] = 0;
  return static_cast<i32>(n);
}

template <class Ch>
bool IniFileT<Ch>::WriteString(const Ch* section, const Ch* key, const Ch* value) {
  if (!section && !key && !value) return true;
  if (!this->path_[0]) return false;
  const std::u16string s = Wide(section), k = Wide(key), v = Wide(value);
  return plat::WriteIniString(WidePath(this->path_), section ? s.c_str() : nullptr, key ? k.c_str() : nullptr,
                              value ? v.c_str() : nullptr);
}

template <class Ch>
bool IniFileT<Ch>::Flush() {
  return WriteString(nullptr, nullptr, nullptr);
}

template <class Ch>
void IniFileT<Ch>::ReadSectionKeys(const Ch* section, Strings& list) {
  list.Clear();
  if (!this->path_[0] || !section) return;
  AddNames<Ch>(plat::ReadIniKeys(WidePath(this->path_), Wide(section)), list, this->kNameListSize);
}

template <class Ch>
void IniFileT<Ch>::ReadSections(Strings& list) {
  list.Clear();
  if (!this->path_[0]) return;
  AddNames<Ch>(plat::ReadIniSections(WidePath(this->path_)), list, this->kNameListSize);
}

// One reading of the file gives every key with its value; the keys are
// listed while their names fit the room of a name list, as ReadSectionKeys
// lists them, and each value is cut as ReadString cuts it.
template <class Ch>
void IniFileT<Ch>::ReadSectionValues(const Ch* section, Strings& list) {
  list.Clear();
  if (!this->path_[0] || !section) return;
  const auto values = plat::ReadIniSectionValues(WidePath(this->path_), Wide(section));
  const size_t maxValue = static_cast<size_t>(this->kNameListSize - 1);
  i32 used = 1;
  for (const auto& [key, value] : values) {
    std::basic_string<Ch> item = Text<Ch>(key);
    used += static_cast<i32>(item.size()) + 1;
    if (used > this->kNameListSize) break;
    std::basic_string<Ch> text = Text<Ch>(value);
    if (text.size() > maxValue) text.resize(maxValue);
    item += static_cast<Ch>('=');
    item += text;
    list.AddString(item.c_str());
  }
}

// The sections a name list holds go in one write.
template <class Ch>
bool IniFileT<Ch>::EraseAll() {
  Strings sections;
  ReadSections(sections);
  if (sections.GetCount() == 0) return true;
  std::vector<std::u16string> names;
  for (i32 i = 0; i < sections.GetCount(); ++i) names.push_back(Wide(sections.GetString(i)));
  return plat::DeleteIniSections(WidePath(this->path_), names);
}

template class IniFileT<wchar>;
template class IniFileT<char>;

}  // namespace kis
