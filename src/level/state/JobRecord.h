// JobRecord - helpers the saved records of characters and jobs share:
// animation names as 32 wide characters with a terminator, times that must
// be finite, and bringing a re-made job to its saved step.
#pragma once

#include "base/Types.h"
#include "resources/GameAnimation.h"

class Job;

void PutRecordName(u8* at, const wchar* name);  // the caller zero-filled the 64 bytes
// False (and an empty name) when the 32 characters hold no terminator.
bool GetRecordName(const u8* at, wchar (&out)[kAnimationNameSize]);
// Finite, not negative and no longer than a day.
bool IsSavedTime(float ms);
// A re-made job brought to the step of its record (offset 8): step 0 stays;
// another goes through NextStep, and the animation step reads the motion
// back (Job::ReadState). A refused step finishes the job: false.
bool RestoreJobStep(Job* job, const u8* record, i32 animationStep);
