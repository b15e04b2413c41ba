// GameLevel's frame: the update with its fixed ticks, the music, and the
// draw in layers under one level transform.
#include <cmath>
#include <cstdio>

#include "base/Random.h"
#include "content/GameBonuses.h"
#include "content/LevelInfo.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "level/map/BaseLevelPoint.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelGround.h"
#include "level/scene/LevelInput.h"
#include "level/scene/LevelScreen.h"
#include "level/scene/LevelCast.h"
#include "level/scene/LevelInterface.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/scene/LevelVillains.h"
#include "level/map/MapObject.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/GameEffect.h"
#include "resources/ImageSprite.h"
#include "resources/MapShadow.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteEffect.h"
#include "resources/TutorialHooks.h"

namespace {

constexpr u32 kOutsideStartAndTutorial = kLockStart | kLockTutorial;
constexpr float kHoverMarkerScale = 1.5f;
constexpr float kSelectionScale = 1.1f;
constexpr float kSelectionSwing = 0.05f;
constexpr float kDegrees = 3.14159265f / 180.0f;

bool ScreenEffectRunning() {
  const GameEffect* effect = GetResourceServices().effect;
  return effect && effect->IsRunning();
}

}  // namespace

// --- Update -------------------------------------------------------------------------------------------

void GameLevel::Update(u32 elapsed) {
  LevelLocks& locks = rules_->Locks();
  const u32 d = rules_->Clock().Scale(elapsed);
  if (d == 0) return;
  if (hooks_.iface && hooks_.iface->IsTimeBarRunning() && !locks.IsLockedExcept(kOutsideStartAndTutorial))
    hooks_.iface->AdvanceTimeBar(d);
  input_->UpdateHover(nullptr);
  // The clock takes the whole of d; the ticks at most 200 ms of it.
  const u32 ticks = rules_->AdvanceFrame(d, ScreenEffectRunning());
  for (u32 i = 0; i < ticks; ++i) Tick();
  map_->UpdateDisposed();  // the world goes on whether it is drawn or not
  rules_->CheckTimeLimit();
  if (hooks_.rules.panel) hooks_.rules.panel->UpdateTimeBar(true);
  if (!locks.IsLockedExcept(kLockTutorial)) pulseClock_ += d;
  if (!GetSoundSettings().IsMusicPlaying()) PlayNextMusic();
}

void GameLevel::Tick() {
  const u32 t = GameTimeStep();
  LevelLocks& locks = rules_->Locks();
  if (!locks.IsLockedExcept(0)) {
    if (TutorialAllowAction(kTutorialActionWaves, 0, nullptr)) {
      rules_->RunWaves(t, *this);
      if (hooks_.villains) hooks_.villains->UpdateShots(t);
    }
    for (i32 i = 0; i < map_->GetPointCount(); ++i)
      if (BaseLevelPoint* p = map_->GetPoint(i)) p->Update(t);
    if (hooks_.characters) {
      hooks_.characters->UpdatePaths();
      hooks_.characters->UpdateCharacters(t);
    }
    map_->UpdateParticles(t);
    rules_->Tick(t);  // the pending result, the bonus slots, the rain's time
    if (villainParticles_) villainParticles_->Update(static_cast<float>(t));
  }
  if (!locks.IsLockedExcept(kOutsideStartAndTutorial)) {
    hud_.UpdateAll();  // a step of the game's time step
    if (levelParticles_) levelParticles_->Update(static_cast<float>(t));
  }
}

// The level's own track loops; the general tracks play once each, in turn
// 1, 2, 3, 1, ... from one picked at random.
void GameLevel::PlayNextMusic() {
  SoundSettings& sound = GetSoundSettings();
  if (musicMode_ == 1) {
    if (info_) sound.PlayMusic(info_->music, true);
    return;
  }
  if (musicTrack_ == 0) musicTrack_ = 1 + kis::RandomInt(3);
  char narrow[16];
  std::snprintf(narrow, sizeof narrow, "music_%02u", musicTrack_);
  wchar name[16] = {};
  for (u32 i = 0; i < 15 && narrow[i]; ++i) name[i] = static_cast<wchar>(narrow[i]);
  sound.PlayMusic(name, false);
  musicTrack_ = musicTrack_ % 3 + 1;
}

// --- Draw ---------------------------------------------------------------------------------------------------

void GameLevel::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  screen_->ApplyView();
  const DXLMATRIX& transform = screen_->GetLevelTransform();
  ground_->Draw(transform);
  map_->DrawMapObjects(kLayerGround);
  viewer->SetTransform(&transform);
  viewer->ApplyTransform(nullptr);
  DrawShadows(screen_->GetShadows());
  DrawMarkers();
  map_->DrawMapObjects(kLayerStanding);
  if (levelParticles_) {
    viewer->SetTransform(&transform);
    levelParticles_->Draw();
  }
  DrawRain();
  viewer->SetTransform(&transform);
  viewer->ApplyTransform(nullptr);
  hud_.DrawAll();
  if (villainParticles_) {
    viewer->SetTransform(&transform);
    villainParticles_->Draw();
  }
  if (hooks_.villains) {
    viewer->SetTransform(&transform);
    viewer->ApplyTransform(nullptr);
    hooks_.villains->DrawShots();
  }
  UnbindDrawTexture();
}

// The hovered point's marker, then the selected point's, pulsing between
// 1.05 and 1.15 of its size every 1200 ms.
void GameLevel::DrawMarkers() {
  if (!info_) return;
  DXLViewer* viewer = GetGameViewer();
  auto draw = [&](ImageSprite* marker, i32 index, float scale) {
    if (!marker || index < 0 || index >= static_cast<i32>(info_->points.size())) return;
    const POINTDEF& d = info_->points[index];
    viewer->SetTransform(&screen_->GetLevelTransform());
    viewer->Translate(static_cast<float>(d.x), static_cast<float>(d.y));
    viewer->Scale(scale);
    marker->Draw();
  };
  draw(hoverMarker_, map_->GetHoveredPoint(), kHoverMarkerScale);
  const float phase = static_cast<float>(pulseClock_ % kSelectionPulse) * 360.0f / kSelectionPulse;
  draw(selection_, map_->GetSelectedPoint(), kSelectionScale + kSelectionSwing * std::sin(phase * kDegrees));
  viewer->SetTransform(&screen_->GetLevelTransform());
  viewer->ApplyTransform(nullptr);
}

// The rain bonus's current image laid as a repeating texture over the
// visible part of the level, a pixel beyond it all round.
void GameLevel::DrawRain() {
  u32 colour = 0, image = 0;
  const bool active = rules_->Bonuses().IsActive(kBonusRain);
  if (!rules_->Bonuses().GetRain().Prepare(active, &colour, &image)) return;
  GameBonuses* bonuses = GetGameBonuses();
  DXLTexture* texture = bonuses ? bonuses->GetRainImage(image) : nullptr;
  if (!texture || texture->GetWidth() <= 0 || texture->GetHeight() <= 0) return;
  const LevelView& view = rules_->View();
  float x = static_cast<float>(view.Get().scrollX), y = static_cast<float>(view.Get().scrollY);
  float l = x - 1, t = y - 1, w = static_cast<float>(view.GetViewWidth() + 2), h = static_cast<float>(view.GetViewHeight() + 2);
  if (view.Get().scaling) {
    const float s = view.Get().scale;
    x /= s, y /= s, l /= s, t /= s, w /= s, h /= s;
  }
  const float tw = static_cast<float>(texture->GetWidth()), th = static_cast<float>(texture->GetHeight());
  DXLQUAD quad;
  const float xs[4] = {l, l + w, l + w, l}, ys[4] = {t, t, t + h, t + h};
  for (u32 i = 0; i < 4; ++i) quad.v[i] = DXLVERTEX{xs[i], ys[i], 0.0f, colour, (xs[i] - x) / tw, (ys[i] - y) / th};
  DXLViewer* viewer = GetGameViewer();
  viewer->SetTransform(&screen_->GetLevelTransform());
  viewer->ApplyTransform(nullptr);
  BindDrawTexture(texture);
  DrawQuad(&quad);
}
