#include "gametext/GameMessager.h"

#include "gametext/TextServices.h"
#include "platform/os/Clock.h"

bool GameMessager::CanSend(u32 id) {
  if (GetTextServices().messagesOff) return false;
  const u32 now = plat::GetTimeMs();
  for (i32 i = 0; i < count_; ++i) {
    Entry& e = entries_[i];
    if (e.id != id) continue;
    // Unsigned difference: correct across the clock's wrap.
    if (now - e.time < kInterval) return false;
    e.time = now;
    return true;
  }
  if (count_ >= static_cast<i32>(kMaxIds)) return false;
  entries_[count_++] = Entry{id, now};
  return true;
}
