// kis::IniFileW / kis::IniFileA: the ini file classes the game uses, over the
// platform's ini engine. Every call reads the file afresh and every write has
// reached the disk when it returns (see platform/os/IniFile.h), so an object holds
// no copy of the file and Flush has nothing to do.
#pragma once

#include "base/CustomIniFile.h"

namespace kis {

template <class Ch>
class IniFileT : public CustomIniFileT<Ch> {
 public:
  using typename CustomIniFileT<Ch>::Strings;

  explicit IniFileT(const Ch* fileName) : CustomIniFileT<Ch>(fileName) {}
  ~IniFileT() override { Flush(); }

  i32 ReadString(const Ch* section, const Ch* key, const Ch* def, Ch* buffer, i32 size) override;
  bool WriteString(const Ch* section, const Ch* key, const Ch* value) override;
  bool Flush() override;
  void ReadSectionKeys(const Ch* section, Strings& list) override;
  void ReadSections(Strings& list) override;
  void ReadSectionValues(const Ch* section, Strings& list) override;
  bool EraseSection(const Ch* section) override { return WriteString(section, nullptr, nullptr); }
  bool DeleteKey(const Ch* section, const Ch* key) override { return WriteString(section, key, nullptr); }
  bool EraseAll() override;  // every section, in one write
};

using IniFileW = IniFileT<wchar>;
using IniFileA = IniFileT<char>;

extern template class IniFileT<wchar>;
extern template class IniFileT<char>;

}  // namespace kis
