#include "base/Clock.h"

#include "platform/os/Clock.h"

namespace kis {

u32 GetTimeMs() { return plat::GetTimeMs(); }

}  // namespace kis
