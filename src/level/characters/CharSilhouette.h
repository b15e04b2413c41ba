// CharSilhouette - the fading copy a running character leaves behind: its
// description, animation state and draw offsets at its position, sorted one
// step behind it. It is disposed at once and lives only while its fade (an
// alpha from 0.4 to 0 over 500 ms, shortened by the character's walk rate)
// runs.
#pragma once

#include "level/map/DynObject.h"
#include "resources/GameAnimation.h"

class GameCharacter;
class MapCharacter;

class CharSilhouette : public DynObject {
 public:
  explicit CharSilhouette(MapCharacter* source);
  ~CharSilhouette() override = default;
  void Draw() override;

 private:
  GameCharacter* description_;
  AnimationState state_;
  float offsetX_;
  float offsetY_;
};
