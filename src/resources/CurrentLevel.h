// CurrentLevel - the running level as the resources and the interface see
// it: the level scene (GameLevel) implements it and puts itself into the game
// services while it runs (GameServices::level); tests install a fake.
#pragma once

#include "base/List.h"
#include "engine/DXLDrawTypes.h"

class LevelShadow;

class CurrentLevel {
 public:
  virtual ~CurrentLevel() = default;
  // The level's shadow list, drawn between its ground and its standing objects.
  virtual kis::list<LevelShadow*>& GetShadows() = 0;
  // The level transform of the current draw (view translation and scale).
  virtual const DXLMATRIX& GetLevelTransform() const = 0;
  // A movable window of this id opened or closed while the level ran (the
  // level holds its input while such windows are open).
  virtual void OnWindowOpened(u32 id) = 0;
  virtual void OnWindowClosed(u32 id) = 0;
};
