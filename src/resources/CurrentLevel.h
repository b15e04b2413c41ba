// CurrentLevel - the running level as the game-wide code (the resources and
// the window toolkit) sees it: the shadow list and the transform its map's
// pictures draw with, the windows' hold on it, and its head-up display's
// side: the view, the pointer, the level panel and the money (the
// screen-sprite list new screen sprites join is the head-up display's
// ScreenSpriteHost, hud/ScreenSpriteHost.h). The level scene's screen
// (LevelScreen) implements it; whoever runs a level puts that into the resource
// services (ResourceServices::level) for the level's life.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"

class LevelShadow;

class CurrentLevel {
 public:
  virtual ~CurrentLevel() = default;

  // --- The map's pictures --------------------------------------------------------------------
  // The level's shadow list, drawn between its ground and its standing objects.
  virtual kis::list<LevelShadow*>& GetShadows() = 0;
  // The level transform of the current draw (view translation and scale):
  // level coordinates to screen pixels.
  virtual const DXLMATRIX& GetLevelTransform() const = 0;

  // --- Windows ---------------------------------------------------------------------------------
  // A movable window of this id opened or closed while the level ran (the
  // level holds its input while such windows are open).
  virtual void OnWindowOpened(u32 id) = 0;
  virtual void OnWindowClosed(u32 id) = 0;

  // --- The head-up display (positions in level coordinates; screen
  // positions are pixels of the game area) ----------------------------------------------------
  // Whether the view is zoomed (scaling on) and by how much.
  virtual bool IsViewScaling() const = 0;
  virtual float GetViewScale() const = 0;
  virtual void MapToScreen(float x, float y, float* sx, float* sy) const = 0;
  virtual void ScreenToMap(float sx, float sy, float* x, float* y) const = 0;
  // The pointer position the level keeps, and whether it is over the view.
  virtual void GetPointer(i32* x, i32* y) const = 0;
  virtual bool IsPointerOverView() const = 0;
  // The level panel's rectangle in screen pixels (false without a panel)
  // and the screen line above which price and arrow buttons stand.
  virtual bool GetPanelRect(DXLRECT* out) const = 0;
  virtual i32 GetPanelLine() const = 0;
  // The level's money is at least `amount`.
  virtual bool HasMoney(i32 amount) const = 0;
};

// The resource services' running level; null outside levels.
CurrentLevel* GetCurrentLevel();
