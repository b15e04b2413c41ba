// animation { name, sprite, frame = W, H, frames, directions, mode,
// frame_ms, offset = X, Y, sound = NAME, DELAY_MS, LOOP, REPEAT }
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "ContentSources.h"
#include "DataSetBuild.h"
#include "MotionSources.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "platform/encoding/Utf.h"
#include "resources/SpriteSet.h"

namespace {

constexpr const char* kModes[] = {"once", "once_back", "loop", "loop_back", "ping_pong"};
constexpr u32 kMaxDirections = 16;
constexpr u32 kMaxFramesPerDirection = 64;

std::string Summary(const ANIMRECORD& a, const std::string& mode, u32 frames) {
  std::string s = mode + ", " + std::to_string(frames) + " frames of " + std::to_string(a.frameTime) + " ms";
  if (a.soundName[0]) {
    s += ", sound " + NarrowName(a.soundName);
    if (a.soundDelay) s += " after " + std::to_string(a.soundDelay) + " ms";
    if (a.soundLoop) s += ", looping";
    if (a.soundRepeat == kAnimRepeatTotal) {
      s += ", every run";
    } else if (a.soundRepeat) {
      s += ", every " + std::to_string(a.soundRepeat) + " ms";
    }
  }
  return s;
}

}  // namespace

bool ReadAnimations(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/animations.txt")) return false;
  for (kis::TdrNode* block : tree.Blocks(u"animation")) {
    tree.Enter(block);
    wchar name[32] = {}, sprite[32] = {}, modeName[16] = {}, sound[32] = {}, repeat[16] = {};
    i32 width = 0, height = 0, offsetX = 0, offsetY = 0;
    u32 frames = 1, directions = 1, frameMs = 100, soundDelay = 0, soundLoop = 0;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      if (key == "name") {
        tree.Read(i, u"Z[32]", &name);
      } else if (key == "sprite") {
        tree.Read(i, u"Z[32]", &sprite);
      } else if (key == "frame") {
        tree.Read(i, u"i4,i4", &width, &height);
      } else if (key == "frames") {
        tree.Read(i, u"u4", &frames);
      } else if (key == "directions") {
        tree.Read(i, u"u4", &directions);
      } else if (key == "mode") {
        tree.Read(i, u"Z[16]", &modeName);
      } else if (key == "frame_ms") {
        tree.Read(i, u"u4", &frameMs);
      } else if (key == "offset") {
        tree.Read(i, u"i4,i4", &offsetX, &offsetY);
      } else if (key == "sound") {
        tree.Read(i, u"Z[32],u4,u4,Z[16]", &sound, &soundDelay, &soundLoop, &repeat);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    const std::string animName = NarrowName(name), mode = NarrowName(modeName);
    std::string spriteName = NarrowName(sprite);
    if (spriteName.empty()) spriteName = animName;
    u32 modeValue = 0;
    while (modeValue < std::size(kModes) && mode != kModes[modeValue]) ++modeValue;
    if (kis::NameIdA(animName.c_str()) == 0 || kis::NameIdA(spriteName.c_str()) == 0) {
      tree.Fail("an animation needs a name (and its sprite's) of letters, digits and \"_\"");
      continue;
    }
    if (modeValue == std::size(kModes)) tree.Fail("mode: one of once, once_back, loop, loop_back, ping_pong");
    if (width < 1 || height < 1 || width > 1024 || height > 1024) tree.Fail("frame: its width and height, 1 to 1024");
    if (frames < 1 || frames > kMaxFramesPerDirection || directions < 1 || directions > kMaxDirections)
      tree.Fail("frames: 1 to 64 a direction, directions: 1 to 16");
    if (!tree.Ok()) continue;

    const std::u16string wideName = plat::Utf8ToUtf16(animName), wideSprite = plat::Utf8ToUtf16(spriteName);
    ANIMRECORD a = MakeAnimationRecord(wideName.c_str(), modeValue, frameMs, static_cast<i32>(directions));
    for (u32 d = 0; d < directions; ++d) {
      ANIMDIRECTION& dir = a.directions[d];
      SetName(dir.sprite, spriteName);
      dir.first = static_cast<i32>(d * frames);
      dir.count = static_cast<i32>(frames);
      dir.offsetX = offsetX;
      dir.offsetY = offsetY;
    }
    const std::string soundName = NarrowName(sound), repeatText = NarrowName(repeat);
    if (!soundName.empty()) {
      SetName(a.soundName, soundName);
      a.soundDelay = soundDelay;
      a.soundLoop = soundLoop ? 1 : 0;
      if (repeatText == "total") {
        a.soundRepeat = kAnimRepeatTotal;
      } else {
        char* end = nullptr;
        a.soundRepeat = static_cast<u32>(std::strtoul(repeatText.c_str(), &end, 10));
        if (repeatText.empty() || *end != '\0') tree.Fail("sound: its repeat is a number of ms or \"total\"");
      }
      build.RequireSound(soundName);
    }
    std::string error;
    if (!build.Pictures().Require(kAnimationSpriteSet, spriteName, PictureKind::kSprite, static_cast<u32>(width),
                                  static_cast<u32>(height), "tables/animations.txt", &error,
                                  FrameLayout{frames * directions, frames}))
      tree.Fail(error);
    if (ContactSheet* sheet = build.Sheet()) {
      SheetAnimation s{animName, spriteName, Summary(a, mode, frames), {}};
      for (const ANIMDIRECTION& d : a.directions) s.directions.push_back({d.first, d.count, d.angle});
      sheet->AddAnimation(std::move(s));
    }
    tables.animations.push_back(std::move(a));
  }
  return tree.Ok();
}
