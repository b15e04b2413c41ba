#include "level/characters/Job_GoTo.h"

#include "content/ContentArchive.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "resources/SpriteSet.h"

Job_GoTo::Job_GoTo(MapCharacter* owner)
    : Job(owner, kJobGoTo),
      stay_(1),
      x_(static_cast<i32>(owner->GetX())),
      y_(static_cast<i32>(owner->GetY())) {}

Job_GoTo::Job_GoTo(MapCharacter* owner, i32 x, i32 y, float limit, bool icon)
    : Job(owner, kJobGoTo), x_(x), y_(y), limit_(limit), iconFlag_(icon ? 1 : 0) {
  if (!icon) return;
  // The boots are found anew for every walk rather than kept: a picture
  // belongs to its sprite set, which goes with the world that read it (the
  // tests build one a case), and a kept pointer would outlive it.
  const SpriteSet* set = GetSpriteSet(kIconSpriteSet);
  ShowIcon(x, y, set ? set->FindSprite(kBootsIconName) : nullptr, nullptr, kJobIconColor);
}

bool Job_GoTo::AcceptPath() { return stay_ || limit_ <= 0.0f || totalLength_ <= limit_; }

void Job_GoTo::Update() {
  if (step_ == 0) {
    if (level_ && level_->IsPlayer(owner_)) static_cast<MapPlayer*>(owner_)->SetWorkStreak(0, true);
    NextStep(1);
    if (stay_) {
      x_ = static_cast<i32>(owner_->GetX());
      y_ = static_cast<i32>(owner_->GetY());
    }
    if (!StartWalk(x_, y_, false, 1.0f, nullptr)) return;
  }
  if (step_ == 1 && UpdateWalk(1.0f)) {
    NextStep(2);
    state_ = kJobDone;
  }
}
