// The "ANIM" section (see DataSectionFuzz.h). Every animation read (up to
// eight) is acquired, started from an angle, played a while and drawn with
// and without its offset, then released.
#include "DataSectionFuzz.h"
#include "resources/AnimationSection.h"
#include "resources/GameAnimation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  datafuzz::Run(
      kAnimationSectionId, kAnimationSectionSubId, data, size,
      [](kis::BaseDataFileReader* reader, SectionCursor* cursor) { return LoadAnimations(reader, cursor, 0, 1); },
      [] {
        const kis::list<GameAnimation*>& list = GetAnimations();
        for (i32 i = 0; i < list.GetCount() && i < 8; ++i) {
          GameAnimation* a = list.Get(i);
          a->Init();
          AnimationState state;
          state.angle = 77.0f * static_cast<float>(i);
          a->Start(&state, -1, false);
          for (int step = 0; step < 5; ++step) {
            a->Update(&state, 45.0f);
            a->Draw(&state, step & 1, step == 2);
          }
          a->Start(&state, i, true);
          a->Draw(&state, true, false);
          GameAnimation::StopSound(&state);
          if (a->FindDirection(state.angle) >= a->GetDirectionCount()) __builtin_trap();
          a->Release(false);
        }
      });
  FreeAnimations();
  return 0;
}
