// The operating system's name for the log.
//
// The version codes name the releases of the desktop system the game first ran
// on (1 "Windows 95" ... 9 "Windows 7"); any other system, Linux included, is
// code 0 and named "Unknown".
#pragma once

#include "base/Types.h"

namespace kis {

// The version code of the running system; 0 when it is none of the known ones.
u32 GetOSVersion();
// The name of GetOSVersion()'s code, cut to the buffer; with withServicePack
// set, a non-empty service-pack text follows after a blank.
wchar* GetOSNameW(wchar* buf, u32 size, bool withServicePack);

}  // namespace kis
