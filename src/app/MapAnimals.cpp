#include "app/MapAnimals.h"

#include <algorithm>
#include <iterator>

#include "base/Random.h"
#include "engine/DXLViewer.h"
#include "level/scene/DeveloperOverlay.h"
#include "resources/ResourceServices.h"

namespace {

constexpr MapCharKind kChickenKind{kMapCharChicken, 0.6f, 0.25f, 0.75f, 8.0f, 0};
constexpr MapCharKind kCowKind{kMapCharCow, 0.5f, 0.0f, 0.0f, 0.0f, 0};
constexpr MapCharKind kSheepKind{kMapCharSheep, 0.72f, 0.0f, 0.0f, 0.0f, 1};

bool ShowsMapShapes() {
  const DeveloperOverlay* overlay = GetDeveloperOverlay();
  return overlay && overlay->ShowsMapCharacters();
}

u32 RandomDelay(u32 base, u16 spread) { return base + 10 * kis::RandomBelow(static_cast<u16>(spread + 1)); }

}  // namespace

// --- The kinds ------------------------------------------------------------------------------------------

MLCChicken::MLCChicken(MLSChars* group) : MapLevelCharacter(group, kChickenKind) {}

void MLCChicken::Init(const MAPCHARENTRY* entry) {
  if (entry) {
    for (u32 i = 0; i < std::min(entry->shapeCount, kMapCharShapes); ++i) {
      SHAPEDESC shape{entry->shapes[i].kind, {}};
      std::copy(std::begin(entry->shapes[i].words), std::end(entry->shapes[i].words), shape.words);
      AddShape(shape);
    }
  }
  float x = 0, y = 0;
  if (!FindFreePoint(true, &x, &y)) x = y = 0;
  SetHome(x, y);
  MapLevelCharacter::Init(entry);
  if (GameAnimation* a = state_.animation)
    StartAnimationIn(a, &state_, kis::RandomChar(static_cast<i16>(a->GetDirectionCount())), false);
}

void MLCChicken::OnIdle() {
  if (kis::RandomChar(100) < 15) {
    const u32 delay = RandomDelay(1000, 300);
    const i32 direction = kis::RandomChar(10) >= 5 ? kis::RandomChar(4) : -1;
    new MLCJob_Animation(this, 2, delay, u"chicken_yelling", direction, static_cast<i32>(RandomDelay(1000, 100)));
    return;
  }
  float x = 0, y = 0;
  if (FindFreePoint(false, &x, &y)) {
    new MLCJob_GoTo(this, 1, RandomDelay(1000, 300), x, y);
    return;
  }
  new MLCJob_Wait(this, 0, RandomDelay(100, 90));
}

MLCCow::MLCCow(MLSChars* group) : MapLevelCharacter(group, kCowKind) {}

void MLCCow::Init(const MAPCHARENTRY* entry) { InitAtEntry(entry); }

void MLCCow::OnIdle() { new MLCJob_Animation(this, 2, RandomDelay(5000, 1000), u"cowhead_yelling", -1, -1); }

MLCSheep::MLCSheep(MLSChars* group) : MapLevelCharacter(group, kSheepKind) {}

void MLCSheep::Init(const MAPCHARENTRY* entry) { InitAtEntry(entry); }

void MLCSheep::OnIdle() {
  static const wchar* const kActs[4] = {u"sheephead_turnleft", u"sheephead_turnright", u"sheephead_blink",
                                        u"sheephead_yelling"};
  const u32 delay = RandomDelay(4000, 400);
  new MLCJob_Animation(this, 2, delay, kActs[kis::RandomChar(4)], -1, -1);
}

// --- The group ------------------------------------------------------------------------------------------

MLSChars::MLSChars(const MAPNODEITEM& item) : BaseMLS(item.stateMask) {
  MAPCHARENTRY entries[kMapCharEntries];
  const u32 n = ParseMapCharEntries(item, entries);
  for (u32 i = 0; i < n && static_cast<u32>(characters_.GetCount()) < kMapCharsPerGroup; ++i) {
    const MAPCHARENTRY& e = entries[i];
    if (!MapLevelCharacter::LoadedDescription(e.kind)) continue;
    if (e.kind == kMapCharChicken) {
      for (u32 k = 0; k < e.count && static_cast<u32>(characters_.GetCount()) < kMapCharsPerGroup; ++k)
        (new MLCChicken(this))->Init(&e);
    } else if (e.kind == kMapCharCow) {
      (new MLCCow(this))->Init(&e);
    } else if (e.kind == kMapCharSheep) {
      (new MLCSheep(this))->Init(&e);
    }
  }
}

MLSChars::~MLSChars() {
  while (characters_.GetCount() > 0) delete characters_.Last();
}

void MLSChars::Add(MapLevelCharacter* c) {
  characters_.Add(c);
  order_.Add(c);
}

void MLSChars::Remove(MapLevelCharacter* c) {
  if (const i32 i = characters_.IndexOf(c); i >= 0) characters_.Delete(i);
  if (const i32 i = order_.IndexOf(c); i >= 0) order_.Delete(i);
}

void MLSChars::Reorder(MapLevelCharacter* c) {
  if (const i32 i = order_.IndexOf(c); i >= 0) order_.Delete(i);
  i32 at = order_.GetCount();
  for (i32 i = 0; i < order_.GetCount(); ++i) {
    const MapLevelCharacter* o = order_[i];
    if (o->GetY() > c->GetY() || (o->GetY() == c->GetY() && o->GetX() > c->GetX())) {
      at = i;
      break;
    }
  }
  order_.Insert(at, c);
}

void MLSChars::Update(u32 ms) {
  for (i32 i = 0; i < characters_.GetCount(); ++i) characters_[i]->Update(ms);
}

void MLSChars::Draw(u32 color, bool hovered) {
  DXLViewer* viewer = GetGameViewer();
  if (characters_.GetCount() == 0 || !viewer) return;
  viewer->GetTransform(&saved_);
  if (ShowsMapShapes()) {
    for (i32 i = 0; i < order_.GetCount(); ++i) {
      viewer->SetTransform(&saved_);
      order_[i]->DrawShapes();
    }
  }
  for (i32 i = 0; i < order_.GetCount(); ++i) {
    viewer->SetTransform(&saved_);
    order_[i]->DrawShadow(color);
  }
  for (i32 i = 0; i < order_.GetCount(); ++i) {
    viewer->SetTransform(&saved_);
    order_[i]->Draw(color, hovered);
  }
  viewer->SetTransform(&saved_);
}
