// The millisecond clock of the base library: the platform's injectable clock
// (tests install a fake one), for callers that stand on the base library only.
#pragma once

#include "base/Types.h"

namespace kis {

// Milliseconds of the platform clock (wraps after 49.7 days).
u32 GetTimeMs();

}  // namespace kis
