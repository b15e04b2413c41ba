// The map characters' descriptions for tests, installed in the content
// services: chicken (2), cow (3), sheep (5), villain (6) and catapult (7),
// each animation in 8 directions whose runs are rows of 4 frames (direction
// i starts at frame 4 i) of 100 ms, so an animation played once lasts 400 ms.
#pragma once

#include <initializer_list>

#include "content/ContentServices.h"
#include "content/GameCharacter.h"
#include "resources/GameAnimation.h"

namespace mapchartest {

inline GameAnimation* MapCharAnimation(const wchar* name, u32 mode) {
  auto* a = new GameAnimation(name, 8);
  a->SetTiming(mode, 100, 400);
  for (i32 d = 0; d < 8; ++d) {
    a->GetDirection(d)->first = 4 * d;
    a->GetDirection(d)->count = 4;
  }
  return a;
}

struct MapCharacterRig {
  MapCharacterRig() {
    Describe(u"chicken", 2, {u"chicken_stand", u"chicken_walk", u"chicken_yelling"}, 1);
    Describe(u"cowhead", 3, {u"cowhead", u"cowhead_yelling"}, 0);
    Describe(u"sheephead", 5,
             {u"sheephead_stand", u"sheephead_eat", u"sheephead_yelling", u"sheephead_turnleft",
              u"sheephead_turnright", u"sheephead_blink"},
             0);
    Describe(u"villain", 6,
             {u"villain_stand", u"villain_walk", u"villain_install_begin", u"villain_install_end",
              u"villain_shoot_begin", u"villain_shoot_end", u"villain_remove"},
             1);
    Describe(u"catapult", 7, {u"catapult_idle"}, 0);
    GetContentServices().characters = &list;
  }
  ~MapCharacterRig() {
    GetContentServices().characters = nullptr;
    list.Clear();
    FreeAnimations();
  }
  void Describe(const wchar* name, u32 id, std::initializer_list<const wchar*> animations, i32 walk) {
    auto* c = new GameCharacter(name, id, 1);
    c->SetSkinCount(1);
    for (const wchar* n : animations) {
      const std::u16string s(n);
      const bool once = s.find(u"yelling") != s.npos || s.find(u"turn") != s.npos || s.find(u"blink") != s.npos ||
                        s.find(u"install") != s.npos || s.find(u"shoot") != s.npos || s.find(u"remove") != s.npos;
      c->AddToSkin(0, MapCharAnimation(n, once ? kAnimOnce : kAnimLoop));
    }
    c->walkIndex = walk;
    list.Add(c);
  }
  CharacterList list;
};

}  // namespace mapchartest
