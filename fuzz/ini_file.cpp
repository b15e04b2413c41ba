// Any bytes read as an ini file: every section and key is enumerated and read,
// then a key is written; untouched content must come back byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/os/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  plat::IniFile ini;
  ini.Parse(bytes);
  if (ini.Serialize() != bytes) __builtin_trap();
  std::u16string value;
  for (const std::u16string& section : ini.GetSections()) {
    for (const std::u16string& key : ini.GetKeys(section))
      if (!ini.GetValue(section, key, value)) __builtin_trap();
  }
  const std::u16string section = ini.GetSections().empty() ? u"Fuzz" : ini.GetSections().front();
  ini.SetValue(section, u"written", u"v 1");
  if (!ini.GetValue(section, u"WRITTEN", value) || value != u"v 1") __builtin_trap();
  plat::IniFile again;
  again.Parse(ini.Serialize());
  if (!again.GetValue(section, u"written", value) || value != u"v 1") __builtin_trap();
  ini.DeleteKey(section, u"written");
  ini.DeleteSection(section);
  return 0;
}
