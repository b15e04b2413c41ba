#include "level/map/MapAward.h"

#include "level/map/LevelMap.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "resources/SEffects.h"
#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"
#include "hud/ScreenSpriteList.h"

namespace {

constexpr u32 kEggsFoundRecord = 0;  // award record of easter eggs found
constexpr float kLabelRise = 32.0f;

}  // namespace

MapAward::MapAward(LevelMap& map, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y)
    : SpriteObject(map, kLayerStanding, mapSprite, flagByte, x, y, nullptr) {
  kind_ = kObjectAward;
  cursorKind_ = kCursorPan;
  map.SetAward(this);
}

MapAward::~MapAward() {
  DetachFromLevel();
  if (GetMap().GetAward() == this) GetMap().SetAward(nullptr);
}

void MapAward::OnRemoved() {
  SpriteObject::OnRemoved();
  if (GetMap().GetAward() == this) GetMap().SetAward(nullptr);
}

void MapAward::AttachToLevel(u32 flags) { SpriteObject::AttachToLevel(flags | kAttachClickShapes); }

i32 MapAward::GetPointIndex() const {
  const_cast<MapAward*>(this)->Highlight();
  return -1;
}

MapObject* MapAward::OnClick() {
  Collect();
  return this;
}

void MapAward::Collect() {
  if (IsDead()) return;
  Dispose();
  LevelRules* rules = GetMap().GetRules();
  if (rules) {
    const LevelHooks& hooks = rules->Hooks();
    if (hooks.profile) rules->RaiseAwardRecord(kEggsFoundRecord, hooks.profile->SetEasterEggFound(rules->GetLevel()), false, true);
    if (hooks.hud)
      hooks.hud->ShowFlyingText(u"level_interface", u"easter_egg", static_cast<float>(x_),
                                static_cast<float>(y_) - kLabelRise);
  }
  AddEffect(new SEffect_Scale(1.0f, 2.0f, 200, true, 0));
  AddEffect(new SEffect_Alpha(1.0f, 0.0f, 100, true, 100));
  GetSoundSettings().PlaySound(GetStandardSound(kSoundAward), kSoundGroupLevel | kSoundGroupScreen, 0);
}
