#include "base/CustomIniFile.h"
#include "base/NumberText.h"

#include <string>

#include "base/IniNumbers.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"

namespace kis {

namespace {

std::basic_string<wchar> CurrentFolder(wchar) { return plat::GetCurrentDirectory(); }
std::basic_string<char> CurrentFolder(char) { return plat::Utf16ToUtf8(plat::GetCurrentDirectory()); }

template <class Ch>
size_t Length(const Ch* s) {
  size_t n = 0;
  while (s && s[n]) ++n;
  return n;
}

}  // namespace

template <class Ch>
CustomIniFileT<Ch>::CustomIniFileT(const Ch* fileName) {
  const size_t n = Length(fileName);
  if (n == 0) return;
  const bool absolute = (n >= 2 && fileName[0] == '\\' && fileName[1] == '\\') || fileName[0] == '/' ||
                        std::basic_string_view<Ch>(fileName, n).find(static_cast<Ch>(':')) != std::basic_string_view<Ch>::npos;
  std::basic_string<Ch> path;
  if (!absolute) {
    path = CurrentFolder(Ch{});
    const bool separated = !path.empty() && (path.back() == '\\' || path.back() == '/');
    if (fileName[0] != '\\' && !separated) path += static_cast<Ch>('\\');
    if (fileName[0] == '\\' && separated) path.pop_back();
  }
  path.append(fileName, n);
  // A path cut to fit would name another file: keep none instead.
  if (path.size() >= static_cast<size_t>(kMaxPath)) return;
  path.copy(path_, path.size());
  path_[path.size()] = 0;
}

template <class Ch>
i32 CustomIniFileT<Ch>::ReadInt(const Ch* section, const Ch* key, i32 def) {
  Ch buffer[kNumberSize];
  const Ch empty[1] = {0};
  const i32 n = ReadString(section, key, empty, buffer, kNumberSize);
  if (n <= 0) return def;
  const u32 len = static_cast<u32>(n);
  if (ini_detail::HexPrefixLength(buffer, len) > 0)
    return static_cast<i32>(HexStrToInt(buffer, len, static_cast<u32>(def), true, true));
  return StrToInt(buffer, len, def);
}

template <class Ch>
bool CustomIniFileT<Ch>::WriteInt(const Ch* section, const Ch* key, i32 value) {
  const std::string digits = std::to_string(value);
  Ch buffer[kNumberSize];
  size_t i = 0;
  for (; i < digits.size(); ++i) buffer[i] = static_cast<Ch>(digits[i]);
  buffer[i] = 0;
  return WriteString(section, key, buffer);
}

template <class Ch>
bool CustomIniFileT<Ch>::KeyExists(const Ch* section, const Ch* key) {
  Strings keys;
  ReadSectionKeys(section, keys);
  return keys.IndexOfText(key) >= 0;
}

template <class Ch>
bool CustomIniFileT<Ch>::SectionExists(const Ch* section) {
  Strings keys;
  ReadSectionKeys(section, keys);
  return keys.GetCount() > 0;
}

template class CustomIniFileT<wchar>;
template class CustomIniFileT<char>;

}  // namespace kis
