// ScreenSpriteHost - the running level's head-up display as the screen
// sprites see it: the screen-sprite list new screen sprites join. The running
// level (ResourceServices::level, a CurrentLevel of the resources) implements
// it beside CurrentLevel (the level scene's LevelScreen, the tests' fakes);
// GetLevelScreenSprites finds it there.
#pragma once

class ScreenSpriteList;

class ScreenSpriteHost {
 public:
  virtual ~ScreenSpriteHost() = default;
  // The level's screen-sprite list (new screen sprites register with it).
  virtual ScreenSpriteList* GetScreenSprites() = 0;
};

// The running level's screen-sprite list; null outside levels and when the
// running level is no ScreenSpriteHost.
ScreenSpriteList* GetLevelScreenSprites();
