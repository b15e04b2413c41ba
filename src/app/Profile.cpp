#include "app/Profile.h"

#include <algorithm>
#include <bit>

#include "app/GameLog.h"
#include "app/ProfileStore.h"
#include "base/DataBuffer.h"
#include "content/AwardTable.h"
#include "content/LevelTable.h"
#include "windows/WindowServices.h"

namespace {

constexpr u32 kGoldAward = 1;  // the award record counting gold medals
constexpr u32 kEighthLevel = 7;

bool IsLevel(i32 level) { return level >= 0 && level < static_cast<i32>(kLevelCount); }
bool IsBonus(i32 bonus) { return bonus >= 0 && bonus < static_cast<i32>(kProfileBonuses); }

}  // namespace

Profile::Profile(ProfileStore* store) : store_(store), progress_(EmptyProfileProgress()) {}

// Closing: as the current profile, the summary is written and the profile
// saved; then it is no longer the store's.
Profile::~Profile() {
  if (store_ && store_->current_ == this) {
    if (store_->log_ && store_->log_->GetProfile() == this) store_->log_->WriteSummary();
    store_->SaveProfileFile(this);
    store_->log_.reset();
    store_->current_ = nullptr;
  }
  if (GetMapProfile() == this) GetWindowServices().mapProfile = nullptr;
  if (GetWindowServices().awardsProfile == this) GetWindowServices().awardsProfile = nullptr;
  FreeSavedLevels(saved_);
  if (store_) std::erase(store_->profiles_, this);
}

void Profile::SetName(std::u16string_view name) {
  std::fill(std::begin(header_.name), std::end(header_.name), 0);
  name.copy(header_.name, std::min<size_t>(name.size(), kMaxProfileName));
}

std::u16string Profile::GetFolder() const { return store_ ? store_->GetFolder() : std::u16string(); }

void Profile::Touch() {
  header_.lastUsed = store_ ? store_->Now() : 0;
  if (store_) store_->Place(this);
}

void Profile::ResetProgress() {
  FreeSavedLevels(saved_);
  progress_ = store_ ? store_->GetDefaults() : EmptyProfileProgress();
  shownAwards_ = progress_.awards;
  Touch();
}

void Profile::SetRegime(u32 regime) {
  if (regime >= kProfileRegimes || regime == progress_.regime) return;
  progress_.regime = regime;
  SaveProfile();
}

u32 Profile::GetLevelState(u32 regime, u32 level) const {
  return regime < kProfileRegimes && level < kLevelCount ? progress_.regimes[regime].levels[level].state : 0;
}

u32 Profile::GetBestTime(u32 regime, u32 level) const {
  return regime < kProfileRegimes && level < kLevelCount ? progress_.regimes[regime].levels[level].bestTime : 0;
}

void Profile::SetBonusSelection(u32 regime, const BONUSSELECTION& selection) {
  if (regime >= kProfileRegimes) return;
  progress_.selection[regime] = selection;
  SanitizeProfileProgress(&progress_);
}

void Profile::AddPlayTime(u32 ms) {
  progress_.playTime = progress_.playTime > 0xFFFFFFFFu - ms ? 0xFFFFFFFFu : progress_.playTime + ms;
}

bool Profile::IsEasterEggFound(i32 level) const {
  return level >= 0 && level < 64 && (progress_.easterEggs >> level & 1) != 0;
}

i32 Profile::SetEasterEggFound(i32 level) {
  if (level >= 0 && level < 64) progress_.easterEggs |= u64{1} << level;
  return std::popcount(progress_.easterEggs);
}

void Profile::SetLevelState(u32 level, u32 state) {
  if (level < kLevelCount) Current().levels[level].state = state > kMaxLevelState ? kMaxLevelState : state;
}

i32 Profile::TakeNewBonusMarker() {
  REGIMEPROGRESS& r = Current();
  const u32 marker = r.marker >> 24;
  r.marker &= 0x00FFFFFFu;
  return marker >= 1 && marker <= kProfileBonuses ? static_cast<i32>(marker) - 1 : -1;
}

bool Profile::HasBonus(i32 bonus) const { return IsBonus(bonus) && Current().bonuses[bonus] != 0; }

u32 Profile::ListBonuses(i32* out) const {
  u32 n = 0;
  for (i32 i = 0; i < static_cast<i32>(kProfileBonuses); ++i) {
    if (!HasBonus(i)) continue;
    if (out) out[n] = i;
    ++n;
  }
  return n;
}

bool Profile::UnlockBonus(i32 bonus) {
  if (!IsBonus(bonus) || HasBonus(bonus)) return false;
  REGIMEPROGRESS& r = Current();
  r.bonuses[bonus] = 1;
  if (r.newCount < kMaxNewBonuses)
    r.newBonuses[r.newCount++] = bonus;
  else
    r.newBonuses[kMaxNewBonuses - 1] = bonus;
  // Taken into the regime's next levels at once when a slot of its selection
  // is free: the level window offers no choice until four are owned, so a
  // bonus not put here would never reach a level, and the new-bonus
  // tutorial's first step points at the level window's slot that shows it.
  // A full selection stays the player's.
  BONUSSELECTION& chosen = progress_.selection[progress_.regime & 1];
  const u32 used = std::min(chosen.count, kBonusSelectionSlots);
  if (std::find(chosen.slots, chosen.slots + used, bonus) != chosen.slots + used) return true;
  for (u32 i = 0; i < kBonusSelectionSlots; ++i) {
    if (i < used && chosen.slots[i] >= 0) continue;
    chosen.slots[i] = bonus;
    chosen.count = std::max(used, i + 1);
    break;
  }
  return true;
}

u32 Profile::CountMedals(u32 regime, u32* counts) const {
  if (counts) counts[0] = counts[1] = counts[2] = 0;
  if (regime >= kProfileRegimes) return 0;
  u32 n = 0;
  for (const LEVELPROGRESS& l : progress_.regimes[regime].levels) {
    if (l.state < static_cast<u32>(kGradeBronze)) continue;
    ++n;
    if (counts) ++counts[l.state - kGradeBronze];
  }
  return n;
}

u32 Profile::CountFinished(u32 regime) const {
  if (regime >= kProfileRegimes) return 0;
  return static_cast<u32>(std::count_if(std::begin(progress_.regimes[regime].levels),
                                        std::end(progress_.regimes[regime].levels),
                                        [](const LEVELPROGRESS& l) { return l.state >= kGradeFinished; }));
}

u32 Profile::CountGold() const {
  u32 n = 0;
  for (const REGIMEPROGRESS& r : progress_.regimes)
    for (const LEVELPROGRESS& l : r.levels) n += l.state == static_cast<u32>(kGradeGold);
  return n;
}

kis::DataBuffer* Profile::GetSavedLevel(i32 level) const {
  return IsLevel(level) ? saved_[progress_.regime & 1][level] : nullptr;
}

void Profile::DropSavedLevel(i32 level) {
  if (!IsLevel(level)) return;
  kis::DataBuffer*& slot = saved_[progress_.regime & 1][level];
  delete slot;
  slot = nullptr;
}

void Profile::MarkShown(u32 mask) {
  if (HasFlags(mask)) return;
  progress_.shownFlags |= mask;
  SaveProfile();
}

void Profile::RecordLevelResult(i32 level, u32 time, LEVELRESULT* out) { Record(level, &time, out); }

void Profile::RecordUnplayedResult(i32 level, LEVELRESULT* out) { Record(level, nullptr, out); }

void Profile::Record(i32 i, const u32* time, LEVELRESULT* out) {
  LEVELRESULT r{};
  if (!IsLevel(i)) {
    if (out) *out = r;
    return;
  }
  const u32 regime = progress_.regime & 1;
  REGIMEPROGRESS& block = progress_.regimes[regime];
  LEVELPROGRESS* levels = block.levels;
  const LevelTable* table = GetLevelTable();
  const LEVELINFO* info = table ? &table->Get(static_cast<u32>(i)) : nullptr;
  r.level = i;
  r.regime = static_cast<i32>(regime);
  if (info) {
    const LEVELREGIME& limits = info->regimes[regime];
    r.limits[0] = limits.bronze;
    r.limits[1] = limits.silver;
    r.limits[2] = limits.gold;
  }
  r.previousState = static_cast<i32>(levels[i].state);
  r.previousBest = levels[i].bestTime;
  LevelResultListener* listener = store_ ? store_->GetResultListener() : nullptr;
  if (listener) listener->RememberLevel(i);

  // The next level opens; when it was hidden, the next group is shown.
  const u32 next = static_cast<u32>(i) + 1;
  if (next < kLevelCount && levels[next].state == kLevelHidden && table && info) {
    for (u32 j = next; j < kLevelCount; ++j) {
      const LEVELINFO& other = table->Get(j);
      if (other.loaded && other.mapGroup == info->mapGroup + 1 && levels[j].state < kLevelOpen)
        levels[j].state = kLevelShown;
    }
  }
  if (next < kLevelCount && levels[next].state < kLevelOpen) levels[next].state = kLevelOpen;

  i32 grade = kGradeBronze;
  if (time) {
    u32 t = *time == 0 ? 1 : *time;
    if (table) {
      grade = table->GetMedal(static_cast<i32>(regime), i, *time, &t);
      if (grade == 0) grade = kGradeBronze;
    }
    r.time = t;
    const bool personal = levels[i].bestTime == 0 || t < levels[i].bestTime;
    if (store_ && store_->RecordBestTime(static_cast<u32>(i), t)) r.flags |= 2;
    if (personal) {
      r.flags |= 1;
      levels[i].bestTime = t;
    }
  }
  if (static_cast<u32>(grade) > levels[i].state) levels[i].state = static_cast<u32>(grade);
  r.grade = grade;

  r.bonusId = info ? info->bonusId : -1;
  if (UnlockBonus(r.bonusId)) {
    r.flags |= 16;
    block.marker = (block.marker & 0x00FFFFFFu) | (static_cast<u32>(r.bonusId + 1) << 24);
  }

  if (const AwardTable* awards = GetAwardTable()) {
    if (awards->RaiseRecord(progress_.awards, kGoldAward, static_cast<i32>(CountGold()), false)) {
      r.flags |= 4;
      if (awards->CheckFinal(progress_.awards)) r.flags |= 32;
    }
  }

  if (!progress_.eighthLevel && static_cast<u32>(i) == kEighthLevel) {
    progress_.eighthLevel = 1;
    r.flags |= 8;
  }

  if (listener) listener->SetLevelResult(r);
  DropSavedLevel(i);
  SaveProfile();
  if (out) *out = r;
}

void Profile::LogLevelResult(const LEVELRESULT& record) {
  gamelog::GameLog* log = store_ ? store_->GetGameLog() : nullptr;
  if (log && log->GetProfile() == this) log->LogRun(&record);
}

void Profile::BeginLevel(i32 level) {
  gamelog::GameLog* log = store_ ? store_->GetGameLog() : nullptr;
  if (log && log->GetProfile() == this) log->BeginLevel(level);
}

kis::DataBuffer** Profile::Slot(u32 regime, u32 level) {
  return regime < kProfileRegimes && level < kLevelCount ? &saved_[regime][level] : nullptr;
}

void Profile::SaveProfile() {
  if (store_) store_->SaveProfileFile(this);
}
