// The "ANIM" section of the data archive: the animations, read into the
// global animation list (GameAnimation.h), and its writer.
//
// Layout: u32 count, then per animation an 80-byte header {64-byte name (32
// UTF-16 units), u32 play mode, u32 frame time, u32 total time, u32
// direction count d}, d 88-byte direction entries {64-byte sprite name, i32
// first frame, i32 frame count, i32 offset x, i32 offset y, f32 angle, u32
// pointer slot (written 0, ignored on read)}, and a 76-byte sound block
// {64-byte sound name (empty: none), u32 start delay, u32 loop flag, u32
// repeat interval}.
#pragma once

#include <vector>

#include "base/Types.h"
#include "resources/GameAnimation.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kAnimationSectionId = 0x414E494Du;  // "ANIM"
constexpr u32 kAnimationSectionSubId = 1;
constexpr u32 kAnimationHeaderSize = 80;
constexpr u32 kAnimationDirectionSize = 88;
constexpr u32 kAnimationSoundSize = 76;

// An animation as stored (for the writer).
struct ANIMRECORD {
  wchar name[kAnimationNameSize];
  u32 mode;
  u32 frameTime;
  u32 totalTime;
  std::vector<ANIMDIRECTION> directions;  // spritePtr is not stored
  wchar soundName[kAnimationNameSize];
  u32 soundDelay;
  u32 soundLoop;
  u32 soundRepeat;
};

// A record with the name, the timing and `directions` zeroed directions at
// the default angles; no sound.
ANIMRECORD MakeAnimationRecord(const wchar* name, u32 mode, u32 frameTime, i32 directions);
std::vector<u8> AnimationSectionBody(const std::vector<ANIMRECORD>& animations);

// The resumable reader: 1 when finished (the cursor's error flag tells a
// failure), 0 to be called again. Each animation joins the global list;
// direction sprites are found by name in the animation sprite set (none for
// an unknown name), and a named sound is loaded with its loop flag. After
// each animation the progress is start + done / total x span, and the
// reader returns 0 when the progress hook asks for the frame back. A short
// read, a count or direction count larger than the bytes left, or a failed
// close sets the error flag; the animation being read is then dropped.
i32 LoadAnimations(kis::BaseDataFileReader* reader, SectionCursor* cursor, float start, float span);
