#include "level/characters/Job_Animation.h"

#include "base/Strings.h"

Job_Animation::Job_Animation(MapCharacter* owner, u16 jobId, const wchar* name, i32 direction, u32 duration)
    : Job(owner, jobId), direction_(direction), duration_(duration) {
  kis::StrCopy(name_, kAnimationNameSize, name ? name : u"");
}

// Step 1 (a walk, when one was started there) moves on at once; step 2 is
// the animation; any other step ends the job.
bool Job_Animation::NextStep(i32 step) {
  if (!Job::NextStep(step)) return false;
  if (step_ == 1) return NextStep(-1);
  if (step_ == 2) return PlayAnimation(duration_, name_, direction_, -1);
  Finish();
  return false;
}

void Job_Animation::Update() { UpdateWalkThenWork(1); }
