#include "level/state/GameLevelSaves.h"

#include "level/scene/GameLevel.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/scene/LevelInterface.h"
#include "level/state/LevelState.h"

namespace {

// The scene as the saved level sees it.
class SceneHost : public LevelStateHost {
 public:
  SceneHost(GameLevel& level, kis::SavedStateStore* store, ProfileSaver* profile, LevelStateVillains* villains)
      : level_(level), store_(store), profile_(profile), villains_(villains) {}
  LevelStateParts GetParts() override { return {&level_.Rules(), &level_.Map(), level_.Map().GetCharacters(), villains_}; }
  void RebuildLevel() override {
    level_.Clear(false);
    level_.BuildLevel();
  }
  void ClearLevel() override { level_.Clear(false); }
  kis::SavedStateStore* GetStore() override { return store_; }
  void SaveProfile() override {
    if (profile_) profile_->SaveProfile();
  }

 private:
  GameLevel& level_;
  kis::SavedStateStore* store_;
  ProfileSaver* profile_;
  LevelStateVillains* villains_;
};

}  // namespace

void GameLevelSaves::SaveState(GameLevel& level) {
  if (!store_) return;
  SceneHost host(level, store_, profile_, villains_);
  SaveLevelState(host);
}

bool GameLevelSaves::LoadSavedState(GameLevel& level) {
  if (!store_) return false;
  SceneHost host(level, store_, profile_, villains_);
  if (!LoadLevelState(host)) return false;
  if (LevelInterface* iface = level.Hooks().iface) iface->CreateBonusButtons();
  return true;
}
