// LevelScreen - the level scene's screen, which the game-wide code sees as
// the running level (CurrentLevel, and the head-up display's
// ScreenSpriteHost): the head-up display (the scene's screen-sprite list,
// which every sprite of the level joins), the shadows, the level transform
// of the current draw (the rules' view: scroll and zoom), the pointer over
// the level (set by the level's input), and the windows' hold on the level
// (its window locks). The scene owns one, with the list, and draws the
// head-up display last; whoever runs the level installs the screen as
// ResourceServices::level. The game windows reach the running level's rules and
// map through it (the item descriptions read money, stock, tasks and the
// player's running award values).
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/CurrentLevel.h"
#include "hud/ScreenSpriteHost.h"
#include "hud/ScreenSpriteList.h"

class GameLevel;
class LevelMap;
class LevelRules;

class LevelScreen : public CurrentLevel, public ScreenSpriteHost {
 public:
  LevelScreen(LevelRules& rules, ScreenSpriteList& hud) : rules_(rules), hud_(hud) {}
  ~LevelScreen() override = default;
  LevelScreen(const LevelScreen&) = delete;
  LevelScreen& operator=(const LevelScreen&) = delete;

  ScreenSpriteList& Hud() { return hud_; }
  LevelRules& Rules() const { return rules_; }
  LevelMap* GetMap() const { return map_; }  // null until the scene sets it
  void SetMap(LevelMap* map) { map_ = map; }
  // The scene it is the screen of (the tutorials' level reaches it through
  // the resource services' running level).
  GameLevel* GetScene() const { return scene_; }
  void SetScene(GameLevel* scene) { scene_ = scene; }
  // The frame's level transform from the rules' view, applied to the game viewer.
  void ApplyView();
  // After a change of screen size: the view, the windows, the sprites' layout.
  void UpdateViewport();
  // Where the pointer stands over the level (level coordinates) and whether
  // it is over the level's area.
  void SetPointer(i32 x, i32 y, bool inside);
  i32 GetPointerX() const { return pointerX_; }
  i32 GetPointerY() const { return pointerY_; }

  // --- ScreenSpriteHost ---------------------------------------------------------------------------
  ScreenSpriteList* GetScreenSprites() override { return &hud_; }

  // --- CurrentLevel ------------------------------------------------------------------------------
  kis::list<LevelShadow*>& GetShadows() override { return shadows_; }
  const DXLMATRIX& GetLevelTransform() const override { return transform_; }
  void OnWindowOpened(u32 id) override;  // the rules' window locks
  void OnWindowClosed(u32 id) override;
  bool IsViewScaling() const override;
  float GetViewScale() const override;
  void MapToScreen(float x, float y, float* sx, float* sy) const override;
  void ScreenToMap(float sx, float sy, float* x, float* y) const override;
  void GetPointer(i32* x, i32* y) const override;
  bool IsPointerOverView() const override { return pointerInside_; }
  bool GetPanelRect(DXLRECT*) const override { return false; }  // the level panel keeps its own
  i32 GetPanelLine() const override;  // the view's bottom
  bool HasMoney(i32 amount) const override;

 private:
  LevelRules& rules_;
  ScreenSpriteList& hud_;
  GameLevel* scene_ = nullptr;
  LevelMap* map_ = nullptr;
  kis::list<LevelShadow*> shadows_;
  DXLMATRIX transform_{};
  i32 pointerX_ = 0;
  i32 pointerY_ = 0;
  bool pointerInside_ = false;
};
