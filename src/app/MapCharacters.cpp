#include "app/MapCharacters.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "base/Identifier.h"
#include "base/Maths.h"
#include "base/Random.h"
#include "content/GameCharacter.h"
#include "engine/DXLFrameSeq.h"
#include "engine/DXLViewer.h"
#include "level/scene/DeveloperOverlay.h"
#include "level/scene/LevelServices.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/MapShadow.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "resources/SpriteSet.h"

namespace {

constexpr MapCharKind kChickenKind{kMapCharChicken, 0.6f, 0.25f, 0.75f, 8.0f, 0};
constexpr MapCharKind kCowKind{kMapCharCow, 0.5f, 0.0f, 0.0f, 0.0f, 0};
constexpr MapCharKind kSheepKind{kMapCharSheep, 0.72f, 0.0f, 0.0f, 0.0f, 1};
constexpr MapCharKind kVillainKind{kMapCharVillain, 0.65f, 1.5f, 1.0f, 1.0f, 0};
constexpr MapCharKind kCatapultKind{kMapCharCatapult, 1.0f, 1.0f, 1.0f, 1.0f, 0};

constexpr u32 kPlacementTries = 500;
constexpr u32 kWalkTries = 100;
constexpr u32 kBlockedPathCost = 5;
constexpr float kTooNear = 10.0f;
constexpr u32 kShapeFill = 0x40FFFFFFu;
constexpr u32 kShapeOutline = 0xFFFFFFFFu;
constexpr u32 kOriginMark = 0xFFFF0000u;
constexpr u32 kShotGrowMs = 300;
constexpr u32 kShotFrameMs = 60;  // a shot picture's frame time when its sprite names none

// The villain's catapult place and shot start by variant (its own units).
constexpr float kCatapultAt[8][2] = {{11, -25}, {40, -14}, {48, 5},   {27, 25},
                                     {-11, 29}, {-27, 25}, {-48, 5}, {-40, -14}};
constexpr float kShotFrom[8][2] = {{10, -93},  {50, -79},  {62, -56},  {39, -29},
                                   {-7, -18}, {-39, -29}, {-62, -56}, {-50, -79}};

GameCharacter* LoadedCharInfo(u32 id) {
  GameCharacter* c = FindCharInfo(GetCharacters(), id);
  if (c && !c->IsLoaded()) c->Init();
  return c;
}

// The total time of the state's run of frames (0 without one).
u32 RunTime(const AnimationState& s) {
  if (!s.animation || s.frames.count <= 0) return 0;
  return DXLFrameSeqGetTotalTime(s.frames.mode, static_cast<u32>(s.frames.count), s.frames.frameTime);
}

bool ShowsMapShapes() {
  const DeveloperOverlay* overlay = GetLevelServices().developer;
  return overlay && overlay->ShowsMapCharacters();
}

u32 RandomDelay(u32 base, u16 spread) { return base + 10 * kis::RandomBelow(static_cast<u16>(spread + 1)); }

}  // namespace

// --- Jobs -----------------------------------------------------------------------------------------------

MapLevelCharJob::MapLevelCharJob(MapLevelCharacter* owner, u32 tag, u32 delay_)
    : delay(delay_), owner_(owner), tag_(tag) {
  owner_->SetJob(this);
  if (delay > 0) owner_->PlayIdle(-1);
}

MapLevelCharJob::~MapLevelCharJob() {
  Cancel();
  if (owner_ && owner_->job_ == this) owner_->job_ = nullptr;
}

bool MapLevelCharJob::Complete() {
  if (state == kMapJobCancelled || state == kMapJobCompleted) return false;
  state = kMapJobCompleted;
  return true;
}

bool MapLevelCharJob::Cancel() {
  if (state == kMapJobCancelled || state == kMapJobCompleted) return false;
  state = kMapJobCancelled;
  return true;
}

MLCJob_Animation::MLCJob_Animation(MapLevelCharacter* owner, u32 tag, u32 delay_, const wchar* name, i32 direction,
                                   i32 duration)
    : MapLevelCharJob(owner, tag, delay_), direction_(direction), duration_(duration) {
  for (u32 i = 0; name && name[i] && i < 32; ++i) name_[i] = name[i];
}

bool MLCJob_Animation::Start() {
  if (duration_ == 0) {
    Complete();
    return true;
  }
  if (!owner_->PlayAnimation(name_, direction_)) return false;
  if (duration_ < 0) duration_ = static_cast<i32>(RunTime(owner_->State()));
  if (duration_ == 0) Complete();
  return true;
}

void MLCJob_Animation::Update(u32 ms) {
  if (duration_ > static_cast<i32>(ms)) {
    duration_ -= static_cast<i32>(ms);
  } else {
    Complete();
  }
}

MLCJob_GoTo::MLCJob_GoTo(MapLevelCharacter* owner, u32 tag, u32 delay_, float x, float y)
    : MapLevelCharJob(owner, tag, delay_), targetX_(x), targetY_(y) {
  owner_->SetWalkTarget(x, y);
}

bool MLCJob_GoTo::Start() {
  startX_ = owner_->GetX();
  startY_ = owner_->GetY();
  dx_ = targetX_ - startX_;
  dy_ = targetY_ - startY_;
  if (std::fabs(dx_) < kMapCharNear && std::fabs(dy_) < kMapCharNear) {
    Complete();
    return true;
  }
  float angle = 0;
  kis::VectorToPolar(kis::FloatPoint{dx_, dy_}, &angle, &length_);
  GameAnimation* walk = owner_->GetWalkAnimation();
  if (walk) {
    StartAnimationIn(walk, &owner_->State(), -1, false);
    owner_->SetAnimSpeed(owner_->GetWalkAnimSpeed());
    targetDirection_ = std::max(walk->FindDirection(angle), 0);
  } else {
    targetDirection_ = owner_->State().direction;
  }
  turnTimer_ = 0;
  walked_ = 0;
  return true;
}

void MLCJob_GoTo::Update(u32 ms) {
  // Turning first, a step every 30 ms (the first at once); the time is used
  // for walking only once the character faces its way.
  while (owner_->State().direction != targetDirection_ && owner_->State().animation) {
    if (turnTimer_ > ms) {
      turnTimer_ -= ms;
      return;
    }
    ms -= turnTimer_;
    turnTimer_ = kMapCharTurnMs;
    owner_->TurnStep(targetDirection_);
  }
  const float frame = static_cast<float>(std::max(GameTimeStep(), 1u));
  walked_ += static_cast<float>(ms) / frame * owner_->GetWalkSpeed();
  if (walked_ >= length_) {
    owner_->SetPosition(targetX_, targetY_);
    Complete();
    return;
  }
  const float f = walked_ / length_;
  owner_->SetPosition(startX_ + dx_ * f, startY_ + dy_ * f);
}

bool MLCJob_GoTo::Complete() {
  if (!MapLevelCharJob::Complete()) return false;
  owner_->SetWalkTarget(owner_->GetX(), owner_->GetY());
  return true;
}

bool MLCJob_GoTo::Cancel() {
  if (!MapLevelCharJob::Cancel()) return false;
  owner_->SetWalkTarget(owner_->GetX(), owner_->GetY());
  return true;
}

// --- The character --------------------------------------------------------------------------------------

MapLevelCharacter::MapLevelCharacter(MLSChars* group, const MapCharKind& kind) : group_(group), kind_(kind) {
  if (group_) group_->Add(this);
  description_ = LoadedCharInfo(kind.id);
  if (description_ && description_->GetShadow()) {
    shadow_ = std::make_unique<MapShadow>(description_->GetShadow(), 0.0f, 0.0f);
    shadowAlpha_ = shadow_->GetBaseAlpha();
  }
}

MapLevelCharacter::~MapLevelCharacter() {
  delete job_;
  GameAnimation::StopSound(&state_);
  if (group_) group_->Remove(this);
}

void MapLevelCharacter::SetJob(MapLevelCharJob* job) {
  MapLevelCharJob* old = job_;
  job_ = job;
  if (old && old != job) {
    // Cancelled while it still has its owner (a walk puts the walk target
    // back on the character's place), then let go so that its deletion
    // leaves the new job in place.
    old->Cancel();
    old->owner_ = nullptr;
    delete old;
  }
}

void MapLevelCharacter::Init(const MAPCHARENTRY*) {
  SetJob(nullptr);
  SetPosition(homeX_, homeY_);
  targetX_ = x_;
  targetY_ = y_;
  PlayIdle(idleDirection_);
}

bool MapLevelCharacter::PlayAnimation(const wchar* name, i32 direction, float speed) {
  GameAnimation* a = description_ ? description_->FindAnimation(0, name) : nullptr;
  if (!a) return false;
  StartAnimationIn(a, &state_, direction, false);
  animSpeed_ = speed;
  return true;
}

bool MapLevelCharacter::PlayIdle(i32 direction) {
  GameAnimation* a = description_ ? description_->GetEntry(0, kind_.idle) : nullptr;
  if (!a) return false;
  StartAnimationIn(a, &state_, direction, false);
  animSpeed_ = 1.0f;
  return true;
}

GameAnimation* MapLevelCharacter::GetWalkAnimation() const {
  return description_ ? description_->GetWalkAnimationPtr(0) : nullptr;
}

void MapLevelCharacter::SetPosition(float x, float y) {
  x_ = x;
  y_ = y;
  if (group_) group_->Reorder(this);
}

void MapLevelCharacter::AddShape(const SHAPEDESC& shape) {
  if (shapeCount_ >= kMapCharShapes) return;
  SHAPERECT r{};
  ShapeBounds(&shape, &r);
  if (shapeCount_ == 0) {
    bounds_ = r;
  } else {
    bounds_.left = std::min(bounds_.left, r.left);
    bounds_.top = std::min(bounds_.top, r.top);
    bounds_.right = std::max(bounds_.right, r.right);
    bounds_.bottom = std::max(bounds_.bottom, r.bottom);
  }
  shapes_[shapeCount_++] = shape;
}

bool MapLevelCharacter::TestPoint(float x, float y, bool final) const {
  if (!group_) return true;
  const i32 rx = kis::RoundToInt(x), ry = kis::RoundToInt(y);
  bool inside = false;
  for (u32 i = 0; i < shapeCount_ && !inside; ++i) inside = ShapeContainsPoint(&shapes_[i], rx, ry);
  if (!inside) return false;
  if (!final) return true;
  const kis::list<MapLevelCharacter*>& all = group_->Characters();
  for (i32 i = 0; i < all.GetCount(); ++i) {
    const MapLevelCharacter* o = all[i];
    if (o == this) continue;
    const float r = kind_.spacing + o->kind_.spacing;
    if (kis::Distance(x, y, o->x_, o->y_) < r || kis::Distance(x, y, o->targetX_, o->targetY_) < r) return false;
  }
  return true;
}

bool MapLevelCharacter::PathFree(float x, float y) const {
  const float dx = x - x_, dy = y - y_;
  const i32 n = std::max({static_cast<i32>(std::ceil(std::fabs(dx))), static_cast<i32>(std::ceil(std::fabs(dy))), 1});
  for (i32 i = 0; i <= n; ++i) {
    const float f = static_cast<float>(i) / static_cast<float>(n);
    if (!TestPoint(x_ + dx * f, y_ + dy * f, i == n)) return false;
  }
  return true;
}

bool MapLevelCharacter::FindFreePoint(bool placement, float* x, float* y) const {
  const i32 w = bounds_.right - bounds_.left, h = bounds_.bottom - bounds_.top;
  if (shapeCount_ == 0 || w <= 0 || h <= 0) return false;
  i32 tries = static_cast<i32>(placement ? kPlacementTries : kWalkTries);
  while (tries > 0) {
    const float px = static_cast<float>(bounds_.left + static_cast<i32>(kis::RandomShort(static_cast<u32>(w))));
    const float py = static_cast<float>(bounds_.top + static_cast<i32>(kis::RandomShort(static_cast<u32>(h))));
    if (kis::Distance(px, py, x_, y_) < kTooNear || !TestPoint(px, py, true)) {
      --tries;
      continue;
    }
    if (placement || PathFree(px, py)) {
      *x = px;
      *y = py;
      return true;
    }
    tries -= static_cast<i32>(kBlockedPathCost);
  }
  return false;
}

void MapLevelCharacter::Update(u32 ms) {
  if (state_.animation) state_.animation->Update(&state_, static_cast<float>(ms) * animSpeed_);
  if (!job_) OnIdle();
  MapLevelCharJob* job = job_;
  if (!job) return;
  if (job->delay > ms) {
    job->delay -= ms;
    return;
  }
  ms -= job->delay;
  job->delay = 0;
  if (job->state == kMapJobNew) {
    if (!job->Start()) {
      job->Cancel();
    } else if (job->state == kMapJobNew) {
      job->state = kMapJobRunning;
      if (ms > 0) job->Update(ms);
    }
  } else if (job->state == kMapJobRunning && ms > 0) {
    job->Update(ms);
  }
  if (job_ == job && job->state >= kMapJobCancelled) {
    const u32 tag = job->GetTag();
    const bool cancelled = job->state == kMapJobCancelled;
    delete job;
    if (cancelled) {
      OnJobCancelled(tag);
    } else {
      OnJobDone(tag);
    }
  }
}

void MapLevelCharacter::Draw(u32 color, bool hovered) {
  DXLViewer* viewer = GetGameViewer();
  if (!state_.animation || !viewer) return;
  DXLMATRIX at{}, here{};
  viewer->GetTransform(&at);
  viewer->Translate(x_, y_);
  viewer->Scale(kind_.scale);
  viewer->GetTransform(&here);
  state_.color = (color & 0xFF000000u) | 0x00FFFFFFu;
  state_.animation->Draw(&state_, true, false);
  if (hovered) {
    const u32 a = color >> 24;
    viewer->SetTransform(&here);
    const DXLDRAWSTATE* previous = SetBlendState(MapHoverDrawState());
    state_.color = ((a == 255 ? 0x40 : a / 4) << 24) | 0x00FFFFFFu;
    state_.animation->Draw(&state_, true, false);
    SetBlendState(previous);
  }
  viewer->SetTransform(&at);
}

void MapLevelCharacter::DrawShadow(u32 color) {
  DXLViewer* viewer = GetGameViewer();
  if (!shadow_ || !viewer) return;
  DXLMATRIX at{};
  viewer->GetTransform(&at);
  shadow_->SetAlpha(static_cast<float>(color >> 24) / 255.0f * shadowAlpha_);
  viewer->Translate(x_, y_);
  viewer->Scale(kind_.scale);
  shadow_->Draw();
  viewer->SetTransform(&at);
}

void MapLevelCharacter::DrawShapes() {
  if (!GetGameViewer()) return;
  for (u32 i = 0; i < shapeCount_; ++i) DrawShapeDesc(shapes_[i], kShapeFill, kShapeOutline);
  SHAPEDESC mark{SHAPE_RECT, {static_cast<u32>(-1), static_cast<u32>(-1), 1, 1, 0, 0, 0}};
  DrawShapeDesc(mark, kOriginMark, kOriginMark);
}

void MapLevelCharacter::InitAtEntry(const MAPCHARENTRY* entry) {
  if (entry) SetHome(static_cast<float>(entry->x), static_cast<float>(entry->y));
  MapLevelCharacter::Init(entry);
  if (state_.animation && entry) StartAnimationIn(state_.animation, &state_, entry->direction, false);
}

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
    if (!LoadedCharInfo(e.kind)) continue;
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

// --- The villains' attack ---------------------------------------------------------------------------------

MLCCatapult::MLCCatapult() : MapLevelCharacter(nullptr, kCatapultKind) {}

MLCVillainShot::MLCVillainShot(MapAttackHost* host, float x, float y, i32 level)
    : host_(host), startX_(x), startY_(y), level_(level), x_(x), y_(y) {
  float tx = x, ty = y;
  if (host_) host_->GetLevelNodePos(level, &tx, &ty);
  SetImage(u"bullet_01");
  if (image_) image_->SetAngle(kis::LineAngle(x, y, tx, ty) - 45.0f);
  dx_ = tx - x;
  dy_ = ty - y;
  length_ = kis::VectorLengthXY(dx_, dy_);
  static const u32 gasId = kis::NameId(u"bullet_gas");
  GPSSpace* space = host_ ? host_->GetAttackParticles() : nullptr;
  if (const GPSSYSTEM* system = FindParticleSystem(gasId); system && space) {
    GPSSYSTEM gas = *system;  // the emitter copies it
    for (i32& interval : gas.burstInterval) interval = interval / 2 + interval % 2;
    emitter_ = new GPSEmiter(space, &gas, nullptr, x, y);
    emitter_->Start();
  }
  AttachSpriteEffect(&effects_, new SEffect_Scale(0.8f, 1.0f, kShotGrowMs, true, 0));
}

MLCVillainShot::~MLCVillainShot() {
  delete emitter_;
  DeleteSpriteEffects(&effects_);
}

void MLCVillainShot::SetImage(const wchar* name) {
  image_.reset();
  SpriteSet* set = GetSpriteSet(kParticleSpriteSet);
  Sprite* sprite = GetSpriteByName(kParticleSpriteSet, name);
  if (!set || !sprite) return;
  if (!sprite->IsLoaded()) sprite->Init();
  image_.reset(sprite->CreateImageSprite(false));
  if (!image_) return;
  image_->SetPivot(0.5f, 0.5f);
  const DXLFRAMESEQ* seq = sprite->GetDefaultAnimation();
  frameTime_ = seq && seq->timePerFrame ? seq->timePerFrame : kShotFrameMs;
  frameCount_ = std::max(sprite->GetFrameCount(), 1);
  imageTime_ = 0;
  frame_ = 0;
}

void MLCVillainShot::Update(u32 ms) {
  if (finished_) return;
  imageTime_ += ms;
  frame_ = static_cast<i32>(imageTime_ / frameTime_);
  if (exploded_) {
    if (frame_ + 1 >= frameCount_) finished_ = true;
    if (image_) image_->SetFrame(std::min(frame_, frameCount_ - 1));
    return;
  }
  if (image_) image_->SetFrame(frame_ % frameCount_);
  travelled_ += kMapShotSpeed;
  if (travelled_ >= length_) {
    x_ = startX_ + dx_;
    y_ = startY_ + dy_;
    Explode();
    return;
  }
  const float f = travelled_ / length_;
  x_ = startX_ + dx_ * f;
  y_ = startY_ + dy_ * f;
  if (emitter_) emitter_->SetPosition(x_, y_);
}

void MLCVillainShot::Explode() {
  exploded_ = true;
  SetImage(u"gas");
  if (image_) {
    image_->SetScale(2.0f, 2.0f);
    image_->SetAngle(0.0f);
  }
  imageTime_ = 2 * frameTime_;
  frameCount_ += 1;
  frame_ = 2;
  delete emitter_;
  emitter_ = nullptr;
  if (host_) host_->LockLevelNode(level_);
}

void MLCVillainShot::Draw(const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (finished_ || !viewer || !image_) return;
  viewer->SetTransform(&base);
  viewer->Translate(x_, y_);
  viewer->Scale(0.8f);
  UpdateSpriteEffects(&effects_);
  image_->Draw();
  viewer->SetTransform(&base);
}

MLCVillain::MLCVillain(MapAttackHost* host, i32 startX, i32 startY, float targetX, float targetY, i32 variant,
                       u32 count, const i32* levels)
    : MapLevelCharacter(nullptr, kVillainKind), host_(host), startX_(startX), startY_(startY), pointX_(targetX),
      pointY_(targetY), variant_(std::clamp(variant, 0, 7)) {
  idleDirection_ = variant_;
  SetHome(static_cast<float>(startX), static_cast<float>(startY));
  targetCount_ = std::min(count, kMaxTargets);
  for (u32 i = 0; i < targetCount_; ++i) targets_[i] = levels[i] - 1;
  Init(nullptr);
}

MLCVillain::~MLCVillain() {
  while (shots_.GetCount() > 0) {
    delete shots_.Last();
    shots_.Delete(shots_.GetCount() - 1);
  }
}

void MLCVillain::SetStep(i32 step) {
  step_ = step;
  const wchar* idle = nullptr;
  if (GameAnimation* a = description_ ? description_->GetEntry(0, kind_.idle) : nullptr) idle = a->GetName();
  switch (step) {
    case 0: break;
    case 1: new MLCJob_GoTo(this, 1, 100, pointX_, pointY_); break;
    case 2: new MLCJob_Animation(this, 2, 0, u"villain_install_begin", variant_, -1); break;
    case 3:
      catapult_ = std::make_unique<MLCCatapult>();
      catapult_->SetPosition(kCatapultAt[variant_][0], kCatapultAt[variant_][1]);
      catapult_->PlayIdle(variant_);
      catapult_->shadowShown = true;
      new MLCJob_Animation(this, 3, 0, u"villain_install_end", variant_, -1);
      break;
    case 4:
      if (catapult_) catapult_->bodyShown = true;
      new MLCJob_Animation(this, 4, 0, idle, variant_, fired_ == 0 ? 300 : 50);
      break;
    case 5:
      if (catapult_) catapult_->bodyShown = false;
      new MLCJob_Animation(this, 5, 0, u"villain_shoot_begin", variant_, -1);
      break;
    case 6: {
      float tx = 0, ty = 0;
      // A target level without a node is passed over (nothing to aim at).
      if (fired_ < targetCount_ && host_ && host_->GetLevelNodePos(targets_[fired_], &tx, &ty))
        shots_.Add(new MLCVillainShot(host_, x_ + kShotFrom[variant_][0] * kind_.scale,
                                      y_ + kShotFrom[variant_][1] * kind_.scale, targets_[fired_]));
      new MLCJob_Animation(this, 6, 0, u"villain_shoot_end", variant_, -1);
      break;
    }
    case 7:
      ++fired_;
      if (fired_ < targetCount_) {
        SetStep(3);
        break;
      }
      if (catapult_) catapult_->bodyShown = true;
      PlayIdle(variant_);
      break;
    case 8:
      catapult_.reset();
      new MLCJob_Animation(this, 8, 0, u"villain_remove", variant_, -1);
      break;
    case 9: new MLCJob_GoTo(this, 9, 0, static_cast<float>(startX_), static_cast<float>(startY_)); break;
    default: step_ = -1; break;
  }
}

void MLCVillain::Update(u32 ms) {
  if (step_ == 0 && !job_) {
    SetStep(1);
  } else if (step_ == 7) {
    bool landed = true;
    for (i32 i = 0; i < shots_.GetCount(); ++i) landed = landed && (shots_[i]->IsExploded() || shots_[i]->IsFinished());
    if (landed) SetStep(8);
  }
  MapLevelCharacter::Update(ms);
  for (i32 i = 0; i < shots_.GetCount(); ++i) shots_[i]->Update(ms);
}

void MLCVillain::DrawAll(const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  constexpr u32 kOpaque = 0xFF000000u;
  // The catapult stands relative to the villain, at the villain's scale.
  const auto atVillain = [&] {
    viewer->SetTransform(&base);
    viewer->Translate(x_, y_);
    viewer->Scale(kind_.scale);
  };
  if (catapult_ && catapult_->shadowShown) {
    atVillain();
    catapult_->DrawShadow(kOpaque);
  }
  viewer->SetTransform(&base);
  DrawShadow(kOpaque);
  if (catapult_ && catapult_->bodyShown) {
    atVillain();
    catapult_->Draw(kOpaque, false);
  }
  viewer->SetTransform(&base);
  Draw(kOpaque, false);
  for (i32 i = 0; i < shots_.GetCount();) {
    MLCVillainShot* shot = shots_[i];
    shot->Draw(base);
    if (shot->IsFinished()) {
      delete shot;
      shots_.Delete(i);
    } else {
      ++i;
    }
  }
  viewer->SetTransform(&base);
}
