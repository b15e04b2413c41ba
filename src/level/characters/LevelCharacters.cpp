#include "level/characters/LevelCharacters.h"

#include "base/Strings.h"
#include "content/AwardTable.h"
#include "content/LevelInfo.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/characters/MapPlayer.h"

LevelCharacters::LevelCharacters(LevelMap& map, LevelRules* rules, ScreenSpriteList* hud, i32 width, i32 height)
    : map_(map), rules_(rules), hud_(hud), paths_(width, height) {
  map_.SetCharacters(this);
}

LevelCharacters::~LevelCharacters() {
  while (characters_.GetCount() > 0) delete characters_.Last();  // each leaves the list
  if (map_.GetCharacters() == this) map_.SetCharacters(nullptr);
}

// A character is deleted in the middle of the loop only by its own kind's
// doing (a villain leaving); the loop then goes on from the same place.
void LevelCharacters::Update() {
  paths_.Update();
  for (i32 i = 0; i < characters_.GetCount(); ++i) {
    MapCharacter* c = characters_[i];
    c->Update();
    if (i < characters_.GetCount() && characters_[i] != c) --i;
  }
}

void LevelCharacters::RemoveCharacter(MapCharacter* c) {
  characters_.Remove(c);
  if (c == player_) SetPlayer(nullptr);
}

void LevelCharacters::SetPlayer(MapPlayer* player) {
  player_ = player;
  map_.SetPlayer(player);
}

bool LevelCharacters::IsPlayer(const MapCharacter* c) const { return c && c == player_; }

LevelMoney* LevelCharacters::GetMoney() const { return rules_ ? &rules_->Money() : nullptr; }

bool LevelCharacters::IsEntered() const { return rules_ && rules_->IsEntered(); }

float LevelCharacters::GetActivityFactor(i32 activity) const {
  const LEVELINFO* info = rules_ ? rules_->GetInfo() : nullptr;
  if (!info || activity < 0 || activity >= 6) return 1.0f;
  return info->baseRates[activity];
}

void LevelCharacters::RaiseAwardRecord(u32 record, i32 value, bool add, bool notify) {
  if (rules_) rules_->RaiseAwardRecord(record, value, add, notify);
}

i32 LevelCharacters::GetAwardRecord(u32 record) const {
  LevelProfile* profile = rules_ ? rules_->Hooks().profile : nullptr;
  AWARDCOUNTERS* counters = profile ? profile->GetAwardCounters() : nullptr;
  return counters && record < kRecordAwardCount ? counters->records[record] : 0;
}

void LevelCharacters::SetLoadError(const wchar* text) { kis::StrCopy(loadError_, 256, text ? text : u""); }
