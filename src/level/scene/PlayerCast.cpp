#include "level/scene/PlayerCast.h"

#include <cmath>
#include <cstdlib>

#include "content/GameCharacter.h"
#include "level/characters/Job.h"
#include "level/characters/Job_GoTo.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "resources/TutorialHooks.h"

namespace {

constexpr i32 kCancelReach = 81;            // pixels each way from the icon
constexpr float kCancelAtOnce = 24.0f;      // a job this near is taken without looking further

}  // namespace

PlayerCast::PlayerCast(LevelMap& map, LevelRules* rules, ScreenSpriteList* hud, i32 width, i32 height)
    : characters_(std::make_unique<LevelCharacters>(map, rules, hud, width, height)) {}

PlayerCast::~PlayerCast() = default;

shpf::PathFinder* PlayerCast::GetPathFinder() const { return characters_->Paths().GetPathFinder(); }
MapPlayer* PlayerCast::Player() const { return characters_->GetPlayer(); }
DynObject* PlayerCast::GetPlayer() const { return characters_->GetPlayer(); }

bool PlayerCast::LoadDescriptions() {
  bool stepped = false;
  for (u32 id : {kPlayerDescription, kVillainDescription})
    if (GameCharacter* c = FindCharInfo(GetCharacters(), id); c && !c->IsLoaded()) {
      if (stepped) return false;  // the next call takes it
      stepped = true;
      if (!c->InitStep()) return false;
    }
  return true;
}

DynObject* PlayerCast::CreatePlayer(i32 x, i32 y) {
  if (!FindCharacterByName(GetCharacters(), kPlayerCharacterName)) return nullptr;
  return new MapPlayer(*characters_, static_cast<float>(x), static_cast<float>(y));
}

void PlayerCast::DeleteAll() {
  const kis::list<MapCharacter*>& all = characters_->GetCharacters();
  while (all.GetCount() > 0) delete all.Last();  // each leaves the list
}

void PlayerCast::UpdateCharacters(u32) { characters_->Update(); }

bool PlayerCast::WalkPlayerTo(i32 x, i32 y) {
  MapPlayer* player = Player();
  if (!player) return false;
  player->AddJob(new Job_GoTo(player, x, y, 0.0f, true));
  return true;
}

// The first job still to run is the choice unless a later one's icon lies
// within 81 pixels each way and nearer; one nearer than 24 ends the search.
// Only the jobs that have ended (finished or done) are passed by: no flag
// of a job keeps it from the choice. The one flag word a job has, whether
// its animation shows the progress line (Job::SetShowProgress), is set on
// every job of the player (only the villains' jobs clear it), so passing
// by the jobs that have it set would leave the right click cancelling
// nothing at all.
bool PlayerCast::CancelJobNear(i32 x, i32 y) {
  MapPlayer* player = Player();
  if (!player) return false;
  Job* chosen = nullptr;
  float best = 0.0f;
  const kis::list<Job*>& jobs = player->GetJobs();
  for (i32 i = 0; i < jobs.GetCount(); ++i) {
    Job* job = jobs[i];
    if (job->GetState() == kJobFinished || job->GetState() == kJobDone) continue;
    i32 ix = 0, iy = 0;
    const bool icon = job->GetIconPoint(&ix, &iy);
    const float d = std::hypot(static_cast<float>(ix - x), static_cast<float>(iy - y));
    if (!chosen) {
      chosen = job;
      best = icon ? d : 1e30f;
    } else if (icon && std::abs(ix - x) < kCancelReach && std::abs(iy - y) < kCancelReach && d < best) {
      chosen = job;
      best = d;
    }
    if (best < kCancelAtOnce) break;
  }
  if (!chosen || !TutorialAllowAction(kTutorialActionCancel, chosen->GetJobId(), chosen)) return false;
  return chosen->Finish();
}

void PlayerCast::SetPlayerWalkModifier(u32 id, float value) {
  if (MapPlayer* p = Player()) {
    p->SetWalkModifier(id, false, value);
    p->SetRateModifier(0, id, false, value);
  }
}

void PlayerCast::SetPlayerSpeedModifier(u32 id, float value) {
  if (MapPlayer* p = Player()) p->SetSpeedModifier(id, false, value, value);
}

void PlayerCast::SetPlayerRunning(bool running) {
  if (MapPlayer* p = Player()) p->SetRunning(running);
}
