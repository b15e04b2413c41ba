#include "base/SystemInfo.h"

namespace kis {
namespace {

const char* const kOsNames[] = {"Unknown",       "Windows 95",    "Windows 98", "Windows ME",   "Windows NT 3",
                                "Windows NT 4",  "Windows 2000",  "Windows XP", "Windows Vista", "Windows 7"};

// The service pack of the running system; Linux has none.
const char* ServicePackText() { return ""; }

}  // namespace

u32 GetOSVersion() { return 0; }

wchar* GetOSNameW(wchar* buf, u32 size, bool withServicePack) {
  if (!buf || size == 0) return buf;
  const u32 code = GetOSVersion();
  const char* name = code < sizeof(kOsNames) / sizeof(kOsNames[0]) ? kOsNames[code] : kOsNames[0];
  u32 n = 0;
  auto put = [&](char c) {
    if (n + 1 < size) buf[n++] = static_cast<wchar>(static_cast<unsigned char>(c));
  };
  for (const char* p = name; *p; ++p) put(*p);
  const char* pack = ServicePackText();
  if (withServicePack && *pack) {
    put(' ');
    for (const char* p = pack; *p; ++p) put(*p);
  }
  buf[n] = 0;
  return buf;
}

}  // namespace kis
