// A profile file on arbitrary bytes, loaded by the store from its folder and
// chosen (its saved levels read): refused, or a profile whose every field
// the game indexes with is in range, saved and loaded back.
#include "UserFileFuzz.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "base/DataBuffer.h"

namespace {

void Check(const Profile& p) {
  const PROFILEPROGRESS& progress = p.GetProgress();
  if (progress.regime > 1 || p.GetName()[kMaxProfileName] != 0) __builtin_trap();
  for (const REGIMEPROGRESS& r : progress.regimes) {
    if (r.newCount > 3 || (r.marker >> 24) > 6) __builtin_trap();
    for (u32 i = 0; i < r.newCount; ++i)
      if (r.newBonuses[i] < 0 || r.newBonuses[i] > 5) __builtin_trap();
    for (const LEVELPROGRESS& l : r.levels)
      if (l.state > 6) __builtin_trap();
  }
  for (const BONUSSELECTION& s : progress.selection) {
    if (s.count > 3) __builtin_trap();
    for (i32 slot : s.slots)
      if (slot < -1 || slot > 5) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const userfuzz::Scratch scratch("profile");
  if (size > (1u << 20)) return 0;
  scratch.Put("profile7.dat", data, size);
  u32 saved = 0;
  {
    ProfileStore store;
    store.SetClock([] { return u64{1000}; });
    store.LoadProfiles(scratch.Wide());
    Profile* p = store.GetCurrent();
    if (!p) return 0;
    Check(*p);
    for (u32 r = 0; r < 2; ++r)
      for (u32 l = 0; l < kLevelCount; ++l)
        if (kis::DataBuffer** slot = p->Slot(r, l); *slot) {
          if ((*slot)->playMode != r || (*slot)->levelIndex != l) __builtin_trap();
          ++saved;
        }
  }
  // Closed and saved; the store reads it again with the same saved levels.
  ProfileStore store;
  store.LoadProfiles(scratch.Wide());
  Profile* p = store.GetCurrent();
  if (!p) __builtin_trap();
  Check(*p);
  u32 again = 0;
  for (u32 r = 0; r < 2; ++r)
    for (u32 l = 0; l < kLevelCount; ++l) again += *p->Slot(r, l) != nullptr;
  if (again != saved) __builtin_trap();
  return 0;
}
