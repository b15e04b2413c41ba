#include "level/objects/MapVillain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "base/Strings.h"
#include "content/GameBonuses.h"
#include "content/GameCharacter.h"
#include "content/VillainList.h"
#include "engine/DXLViewer.h"
#include "level/characters/LevelCharacters.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/map/SpriteObject.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/SSHealthBar.h"
#include "level/objects/VillainJobs.h"
#include "level/objects/VillainShot.h"
#include "level/rules/LevelRules.h"
#include "level/state/JobRecord.h"
#include "pathfinding/MapShapes.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SEffects.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteSet.h"
#include "resources/StandardSounds.h"
#include "resources/TutorialHooks.h"
#include "hud/HudPieces.h"

namespace {

constexpr VillainOffset kCatapultOffsets[8] = {{11, -25}, {40, -14}, {48, 5},   {27, 25},
                                               {-11, 29}, {-27, 25}, {-48, 5}, {-40, -14}};
constexpr VillainOffset kShotOrigins[8] = {{10, -93},  {50, -79},  {62, -56},  {39, -29},
                                           {-7, -18}, {-39, -29}, {-62, -56}, {-50, -79}};

// The hit ellipse by direction: centre x (mirrored for 5 to 7), centre y, radii.
struct HitEllipse {
  i32 x, y, rx, ry;
};
constexpr HitEllipse kHitEllipses[5] = {{4, -36, 40, 64}, {12, -36, 54, 56}, {18, -30, 54, 56}, {12, -24, 48, 56},
                                        {-4, -20, 40, 64}};

constexpr u32 kStandId = 0xCE02E0FAu;         // "villain_stand"
constexpr u32 kShootBeginId = 0xB2BE70EFu;    // "villain_shoot_begin"
constexpr u32 kShootEndId = 0xB297451Fu;      // "villain_shoot_end"
constexpr u32 kInstallEndId = 0xA362CB86u;    // "villain_install_end"
constexpr u32 kRunawayId = 0xB21EF48Cu;       // "villain_runaway"
constexpr u32 kAngryId = 0x6A7ADED5u;         // "villain_angry"
constexpr float kMarkerReach = 32.0f;         // the marker goes once the villain stands this near
constexpr i32 kBarLowAnchor = 200;            // spots above this y show the bar below the villain
constexpr u32 kHighlightLift = 0xFF202020u;   // what a hovered villain adds to each channel
constexpr wchar kVillainPrefix[] = u"villain";
constexpr u32 kPrefixLength = 7;

bool HasVillainPrefix(const wchar* name) {
  for (u32 i = 0; i < kPrefixLength; ++i)
    if (!name || name[i] != kVillainPrefix[i]) return false;
  return true;
}

void PlayStandard(StandardSound sound) {
  GetSoundSettings().PlaySound(GetStandardSound(sound), kSoundGroupLevel | kSoundGroupScreen, 0);
}

}  // namespace

VillainOffset CatapultOffset(i32 direction) { return kCatapultOffsets[direction & 7]; }
VillainOffset ShotOriginOffset(i32 direction) { return kShotOrigins[direction & 7]; }

void VillainAnimationName(u32 skin, const wchar* name, wchar (&out)[kAnimationNameSize]) {
  out[0] = 0;
  if (!name) return;
  if (skin == 0 || !HasVillainPrefix(name)) {
    kis::StrCopy(out, kAnimationNameSize, name);
    return;
  }
  char digits[16];
  std::snprintf(digits, sizeof digits, "_%u", skin + 1);
  u32 n = 0;
  auto put = [&](wchar c) {
    if (n + 1 < kAnimationNameSize) out[n++] = c;
  };
  for (u32 i = 0; i < kPrefixLength; ++i) put(name[i]);
  for (const char* d = digits; *d; ++d) put(static_cast<wchar>(*d));
  for (const wchar* p = name + kPrefixLength; *p; ++p) put(*p);
  out[n] = 0;
}

// A skin part is "_" and digits right after "villain"; the "_" that follows
// them goes with them, so the name reads as the base skin's.
void StripVillainSkin(const wchar* name, wchar (&out)[kAnimationNameSize]) {
  out[0] = 0;
  if (!name) return;
  kis::StrCopy(out, kAnimationNameSize, name);
  if (!HasVillainPrefix(name) || name[kPrefixLength] != u'_') return;
  const wchar* p = name + kPrefixLength + 1;
  if (*p < u'0' || *p > u'9') return;
  while (*p >= u'0' && *p <= u'9') ++p;
  if (*p == u'_') ++p;
  u32 n = kPrefixLength + 1;
  for (; *p && n + 1 < kAnimationNameSize; ++p) out[n++] = *p;
  out[n] = 0;
}

i32 CatapultStateFor(const wchar* animation, bool installed, i32 villainState) {
  if (!installed || villainState >= kVillainGone || !animation) return 0;
  wchar base[kAnimationNameSize];
  StripVillainSkin(animation, base);
  switch (kis::NameId(base)) {
    case kStandId:
      return villainState == kVillainDrivenOff ? 3 : 2;
    case kShootBeginId:
    case kShootEndId:
    case kInstallEndId:
      return 1;
    case kRunawayId:
    case kAngryId:
      return 3;
    default:
      return 0;
  }
}

// --- MapVillain ------------------------------------------------------------------------------------------

namespace {

const wchar* StandName(GameCharacter* description, u32 skin) {
  const GameAnimation* stand = description ? description->GetCharAnimation(static_cast<i32>(skin)) : nullptr;
  return stand ? stand->GetName() : nullptr;
}

}  // namespace

MapVillain::MapVillain(LevelVillainCast& villains, GameCharacter* description, GameCharacter* catapult, u32 slot,
                       const VILLAINSLOT& spot, const VILLAININFO* info)
    : MapCharacter(*villains.GetMap()->GetCharacters(), description, static_cast<i32>(info->skin),
                   StandName(description, info->skin), spot.direction & 7, static_cast<float>(spot.startX),
                   static_cast<float>(spot.startY), nullptr),
      villains_(villains),
      catapultDescription_(catapult),
      spot_(spot),
      info_(info),
      slot_(static_cast<i32>(slot)),
      shotsLeft_(info->shots < 1 ? 1 : info->shots),
      health_(info->health < 1 ? 1 : info->health),
      direction_(spot.direction & 7) {
  kind_ = kObjectVillain;
  cursorKind_ = kCursorHand;
  SetSkipFootingCheck(true);
  villains_.AddVillain(this);
  AttachToLevel(0);
}

MapVillain::~MapVillain() {
  DeleteAllJobs();
  DeleteCatapult();
  delete bar_;
  bar_ = nullptr;
  if (marker_) delete marker_;
  marker_ = nullptr;
  Unregister();
  villains_.RemoveVillain(this);
}

void MapVillain::Release() {
  MapCharacter::Release();
  Unregister();
  DeleteCatapult();
}

void MapVillain::OnAdded() {
  MapCharacter::OnAdded();
  if (!catapult_) MakeCatapult();
}

void MapVillain::OnRemoved() {
  MapCharacter::OnRemoved();
  RemoveShapes();
  DeleteCatapult();
}

void MapVillain::MakeCatapult() {
  if (!catapultDescription_) return;
  catapult_ = new MapCatapult(*this, catapultDescription_);
}

void MapVillain::DeleteCatapult() {
  if (!catapult_) return;
  MapCatapult* c = catapult_;
  catapult_ = nullptr;
  c->ForgetVillain();
  delete c;
}

const wchar* MapVillain::Anim(const wchar* name) {
  VillainAnimationName(info_->skin, name, anim_);
  return anim_;
}

VillainOffset MapVillain::GetShotOrigin() const {
  const VillainOffset o = ShotOriginOffset(direction_);
  return {spot_.x + o.x, spot_.y + o.y};
}

VillainOffset MapVillain::GetCatapultPlace() const {
  const VillainOffset o = CatapultOffset(direction_);
  return {spot_.x + o.x, spot_.y + o.y};
}

void MapVillain::SetMoveJob(Job* job) {
  if (moveJob_ && moveJob_ != job) {
    Job* before = moveJob_;
    moveJob_ = nullptr;
    before->Finish();
  }
  moveJob_ = job;
}

// --- Timer and state ---------------------------------------------------------------------------------------

void MapVillain::OnIdle() {
  if (!TutorialAllowAction(kTutorialActionWaves, kObjectVillain, this)) return;
  if (villainState_ > kVillainDone) return;
  timer_ -= static_cast<float>(GameTimeStep());
  if (timer_ > 0.1f) return;
  switch (villainState_) {
    case kVillainWaiting:
      timer_ = static_cast<float>(info_->enterInterval);
      new Job_VillainEnter(this);
      return;
    case kVillainAttacking:
      if (shotsLeft_ > 0)
        Shoot();
      else
        SetState(kVillainDone, true);
      return;
    default:
      new Job_VillainLeave(this);
      return;
  }
}

void MapVillain::Shoot() {
  timer_ = static_cast<float>(info_->shotInterval);
  const VillainOffset origin = GetShotOrigin();
  const i32 target = PickVillainTarget(GetMap(), origin.x, origin.y);
  if (target < 0) {
    if (shotsLeft_ > 0) --shotsLeft_;
  } else {
    new Job_VillainShot(this, target);
    TutorialNotify(kTutorialEventVillain, 0, this);
  }
  if (shotsLeft_ == 1) timer_ = kLastShotDelay;
}

void MapVillain::FireShot(i32 target) {
  if (shotsLeft_ > 0) --shotsLeft_;
  const VillainOffset origin = GetShotOrigin();
  new VillainShot(villains_, static_cast<float>(origin.x), static_cast<float>(origin.y), target, info_, true);
  PlayStandard(kSoundVillainShot);
  if (LevelRules* rules = cast_.GetRules()) rules->SetVillainsInRow(0, true);
}

void MapVillain::SetState(i32 state, bool animate) {
  if (state == villainState_) return;
  villainState_ = state;
  if (state == kVillainAttacking) MakeClickable();
  if (state != kVillainDrivenOff) return;
  Unregister();
  DeleteAllJobs();
  SetWalkModifier(kVillainWalkModifier, false, kVillainRunFactor);
  new Job_VillainRunaway(this);
  if (installed_ && catapult_) catapult_->SetState(3, animate);
}

void MapVillain::Unregister() {
  villains_.ClearSlot(slot_, this);
  slot_ = -1;
  RemoveShapes();
  RemoveMarker(true);
}

// --- Clicks -----------------------------------------------------------------------------------------------

MapObject* MapVillain::OnClick() {
  Hit();
  return this;
}

void MapVillain::Hit() {
  if (villainState_ > kVillainDone) return;
  if (health_ > 0) --health_;
  if (bar_) bar_->SetValue(health_);
  if (health_ > 0) {
    PlayStandard(kSoundVillainHit);
    if (bar_) bar_->AddEffect(new SEffect_Scale(1.0f, 1.2f, 150, true, 0));
  } else {
    if (bar_) {
      bar_->Hide(true, false, 0, kShowPop, 200);
      bar_ = nullptr;  // the display's list deletes it once hidden
      barShown_ = false;
    }
    DriveOff();
    PlayStandard(kSoundVillainDriveOff);
  }
  flashLeft_ = kHitFlashTime;
}

void MapVillain::DriveOff() {
  SetState(kVillainDrivenOff, true);
  if (LevelRules* rules = cast_.GetRules()) {
    rules->ChangeMoney(info_->money, x_, y_, 80.0f);
    rules->AddAwardProgress(kVillainAwardCounter, 1);
    if (shotsLeft_ >= info_->shots) rules->IncVillainsInRow(true);
  }
}

void MapVillain::OnBonusStrike() {
  struck_ = true;
  strike_ = std::make_unique<VillainStrike>();
  DriveOff();
}

u32 MapVillain::GetFlashColor() const {
  if (flashLeft_ == 0) return 0;
  const u32 red = 255u * flashLeft_ / kHitFlashTime;
  return 0xFF000000u | (red << 16);
}

// --- Hit ellipse, bar, marker ------------------------------------------------------------------------------

void MapVillain::MakeClickable() {
  if (shapes_) return;
  shapes_ = new MapShapes(&GetMap());
  PlaceShapes();
  if (!bar_ && cast_.GetHud()) {
    const i32 y = spot_.y < kBarLowAnchor ? spot_.y + 40 : spot_.y - 88;
    bar_ = new SSHealthBar(spot_.x, y, health_, info_->health < 1 ? 1 : info_->health);
  }
}

void MapVillain::PlaceShapes() {
  const i32 d = direction_;
  const HitEllipse& e = kHitEllipses[d <= 4 ? d : 8 - d];
  const i32 s = d >= 5 ? -1 : 1;
  SHAPEDESC desc{};
  SetShapeEllipse(&desc, e.x * s, e.y, e.rx, e.ry);
  shapes_->Clear();
  shapes_->Create(0, &desc, 1, static_cast<i32>(x_), static_cast<i32>(y_), 0,
                  reinterpret_cast<uintptr_t>(static_cast<MapObject*>(this)));
}

void MapVillain::RemoveShapes() {
  delete shapes_;
  shapes_ = nullptr;
}

bool MapVillain::MoveTo(float x, float y) {
  const bool moved = MapCharacter::MoveTo(x, y);
  if (moved && shapes_) PlaceShapes();
  return moved;
}

void MapVillain::UpdateBar(bool hovered) {
  if (!bar_) return;
  const bool due = IsClickable() && health_ > 0 && (health_ < info_->health || hovered);
  if (due == barShown_) return;
  barShown_ = due;
  if (due)
    bar_->Show(true, 0, kShowFade, 0);
  else
    bar_->Hide(false, true, 0, kShowFade, 0);
}

i32 MapVillain::GetPointIndex() const {
  auto* self = const_cast<MapVillain*>(this);
  self->Highlight();
  if (catapult_) catapult_->Highlight();
  self->UpdateBar(true);
  return -1;
}

void MapVillain::ShowArrivalMarker() {
  if (marker_) return;
  wchar name[] = u"villain_cross_1";
  name[14] = static_cast<wchar>(u'1' + kis::RandomInt(3));
  SpriteSet* set = GetSpriteSet(kMapSpriteSet);
  MapSprite* sprite = set ? set->FindMapSprite(name) : nullptr;
  marker_ = sprite ? SpriteObject::Create(GetMap(), sprite, kLayerGround, spot_.x, spot_.y, kObjectSprite, nullptr, 0)
                   : nullptr;
  if (!marker_) return;
  marker_->AttachToLevel(0);
  marker_->AddEffect(new SEffect_Alpha(0.0f, 1.0f, 100, true, 0));
  marker_->AddEffect(new SEffect_Scale(3.0f, 1.2f, 200, true, 0));
  marker_->AddEffect(new SEffect_Scale(1.2f, 1.0f, 500, true, 200));
}

void MapVillain::RemoveMarker(bool fade) {
  if (!marker_) return;
  SpriteObject* m = marker_;
  marker_ = nullptr;
  if (fade)
    m->DisposeWithEffect(0, new SEffect_Alpha(1.0f, 0.0f, 200, false, 0));
  else
    delete m;
}

// --- Frame --------------------------------------------------------------------------------------------------

void MapVillain::Update() {
  if (!IsDead() && villainState_ == kVillainGone) {
    Dispose();
    return;
  }
  const u32 step = GameTimeStep();
  flashLeft_ = flashLeft_ > step ? flashLeft_ - step : 0;
  if (strike_) strike_->Advance(step);
  MapCharacter::Update();
  if (arrivalSoundPending_) {
    arrivalSoundPending_ = false;
    if (info_->sound) GetSoundSettings().PlaySound(info_->sound, kSoundGroupLevel | kSoundGroupScreen, 0);
  }
  if (marker_ && std::fabs(x_ - static_cast<float>(spot_.x)) < kMarkerReach &&
      std::fabs(y_ - static_cast<float>(spot_.y)) < kMarkerReach)
    RemoveMarker(true);
}

void MapVillain::PlayAnimation(i32 skin, const wchar* name, i32 direction, bool keepTime, i32 activity) {
  MapCharacter::PlayAnimation(skin, name, direction, keepTime, activity);
  if (!catapult_) return;
  catapult_->SetState(CatapultStateFor(GetAnimationName(), installed_, villainState_), true);
}

void MapVillain::Draw() {
  DXLViewer* viewer = GetGameViewer();
  const DXLMATRIX view = viewer ? viewer->CurrentTransform() : DXLMATRIX{};  // before the character's own move
  MapCharacter::Draw();
  if (viewer && strike_ && struck_ && !IsDead()) strike_->Draw(x_, y_, view);
  UpdateBar(IsHighlighted());
}

// A flash or the hover adds its colour: the picture, then the picture
// again in that colour added onto it.
namespace {

void DrawLit(AnimationState& state, const DXLMATRIX& at, u32 color) {
  const u32 keep = state.color;
  state.animation->Draw(&state, true, false);
  if (DXLViewer* viewer = GetGameViewer()) viewer->SetTransform(&at);
  state.color = (color & 0x00FFFFFFu) | (keep & 0xFF000000u);
  const DXLDRAWSTATE* previous = SetBlendState(MapHighlightBlend());
  state.animation->Draw(&state, true, false);
  SetBlendState(previous);
  state.color = keep;
}

}  // namespace

void MapVillain::DrawFrame() {
  u32 color = GetFlashColor();
  if (!color && IsHighlighted()) color = kHighlightLift;
  if (!color) {
    MapCharacter::DrawFrame();
    return;
  }
  DrawLit(state_, transform_, color);
}

// --- Records ------------------------------------------------------------------------------------------------

void MapVillain::SaveState(u8* r) const {
  MapCharacter::SaveState(r);
  u8* v = r + kVillainRecordAt;
  kis::PutI32LE(v, slot_);
  kis::PutI32LE(v + 4, villainState_);
  kis::PutF32LE(v + 8, timer_);
  kis::PutI32LE(v + 12, shotsLeft_);
  kis::PutI32LE(v + 16, health_);
  kis::PutI32LE(v + 20, direction_);
  kis::PutU32LE(v + 24, installed_ ? 1 : 0);
  kis::PutI32LE(r + kCatapultRecordAt, catapult_ ? catapult_->GetState() : 0);
}

bool MapVillain::RestoreVillain(u32 slot) {
  MapCharacter::RestoreState();
  const u8* v = GetLoadedRecord() + kVillainRecordAt;
  const i32 savedSlot = kis::GetI32LE(v);
  const i32 state = kis::GetI32LE(v + 4);
  const float timer = kis::GetF32LE(v + 8);
  const i32 shots = kis::GetI32LE(v + 12);
  const i32 health = kis::GetI32LE(v + 16);
  const i32 direction = kis::GetI32LE(v + 20);
  const u32 installed = kis::GetU32LE(v + 24);
  const i32 catapult = kis::GetI32LE(GetLoadedRecord() + kCatapultRecordAt);
  const i32 maxShots = info_->shots < 1 ? 1 : info_->shots;
  const i32 maxHealth = info_->health < 1 ? 1 : info_->health;
  if (savedSlot != static_cast<i32>(slot) || state < kVillainWaiting || state > kVillainDone) return false;
  if (!std::isfinite(timer) || std::fabs(timer) > 86400000.0f) return false;
  if (shots < 0 || shots > maxShots || health < 1 || health > maxHealth) return false;
  if (direction != direction_ || installed > 1 || catapult < 0 || catapult > 2) return false;
  timer_ = timer;
  shotsLeft_ = shots;
  health_ = health;
  installed_ = installed != 0;
  SetState(state, false);
  if (bar_) bar_->SetValue(health_);
  if (catapult_) catapult_->SetState(catapult, false);
  return true;
}

bool MapVillain::LoadJob(const u8* record, u32 size) { return LoadVillainJob(this, record, size); }

// --- VillainStrike -----------------------------------------------------------------------------------------

namespace {

constexpr float kStrikeScale = 0.5f;
constexpr float kStrikeRise[VillainStrike::kImages] = {50.0f, 40.0f, 40.0f};
constexpr u32 kStrikeFrameTime = 100;  // ms a frame when the sprite names no animation

}  // namespace

VillainStrike::VillainStrike() {
  const GameBonuses* bonuses = GetGameBonuses();
  MapSprite* sprites[kImages] = {bonuses ? bonuses->GetBeesAttack() : nullptr,
                                 bonuses ? bonuses->GetBees() : nullptr, bonuses ? bonuses->GetBees() : nullptr};
  for (i32 i = 0; i < kImages; ++i) {
    Sprite* sprite = sprites[i] ? sprites[i]->GetSprite() : nullptr;
    if (!sprite) continue;
    sprite->Init();
    images_[i].reset(sprite->CreateImageSprite(false));
    if (!images_[i]) {
      sprite->Release(false);
      continue;
    }
    const float w = static_cast<float>(std::max(sprite->GetFrameWidth(), 1));
    const float h = static_cast<float>(std::max(sprite->GetFrameHeight(), 1));
    images_[i]->SetPivot(static_cast<float>(sprites[i]->GetHotX()) / w, static_cast<float>(sprites[i]->GetHotY()) / h);
    images_[i]->SetScale(kStrikeScale, kStrikeScale);
    const DXLFRAMESEQ* seq = sprite->GetDefaultAnimation();
    frameTime_[i] = seq && seq->timePerFrame > 0 ? seq->timePerFrame : kStrikeFrameTime;
  }
  Advance(0);
}

VillainStrike::~VillainStrike() {
  for (i32 i = 0; i < kImages; ++i) Free(i);
}

void VillainStrike::Free(i32 i) {
  if (!images_[i]) return;
  Sprite* sprite = images_[i]->GetSprite();
  images_[i].reset();
  if (sprite) sprite->Release(false);
}

i32 VillainStrike::GetFrame(i32 i) const {
  const ImageSprite* image = GetImage(i);
  if (!image || !image->GetSprite()) return -1;
  const i32 count = std::max(image->GetSprite()->GetFrameCount(), 1);
  const i32 step = static_cast<i32>(clock_ / frameTime_[i]);
  if (i == 0) return step;  // at or past the count once it has run
  return (step + (i == 2 ? kStrikeLead : 0)) % count;
}

void VillainStrike::Advance(u32 ms) {
  clock_ += ms;
  for (i32 i = 0; i < kImages; ++i) {
    if (!images_[i]) continue;
    const i32 frame = GetFrame(i);
    if (i == 0 && frame >= images_[0]->GetSprite()->GetFrameCount()) {
      Free(0);
      continue;
    }
    images_[i]->SetFrame(frame);
  }
}

float VillainStrike::GetAlpha() const {
  if (clock_ <= kStrikeFadeDelay) return 0.0f;
  const float a = static_cast<float>(clock_ - kStrikeFadeDelay) / static_cast<float>(kStrikeFadeTime);
  return a < 1.0f ? a : 1.0f;
}

void VillainStrike::Draw(float x, float y, const DXLMATRIX& base) {
  const u32 alpha = static_cast<u32>(GetAlpha() * 255.0f + 0.5f);
  if (alpha == 0) return;
  for (i32 i = 0; i < kImages; ++i) {
    if (!images_[i]) continue;
    images_[i]->SetColor(alpha << 24 | 0x00FFFFFFu);
    DrawImageAt(images_[i].get(), x, y - kStrikeRise[i], base);
  }
  if (DXLViewer* viewer = GetGameViewer()) viewer->SetTransform(&base);
}

// --- MapCatapult -------------------------------------------------------------------------------------------

MapCatapult::MapCatapult(MapVillain& villain, GameCharacter* description)
    : MapCharacter(villain.GetCast(), description, 0, StandName(description, 0), villain.GetSpot().direction & 7,
                   static_cast<float>(villain.GetCatapultPlace().x), static_cast<float>(villain.GetCatapultPlace().y),
                   nullptr),
      villain_(&villain),
      facing_(villain.GetSpot().direction & 7) {
  kind_ = kObjectCatapult;
  SetSkipFootingCheck(true);
}

MapCatapult::~MapCatapult() {
  if (villain_) villain_->ForgetCatapult();
}

void MapCatapult::Release() {
  MapCharacter::Release();
  if (villain_) villain_->ForgetCatapult();
  villain_ = nullptr;
}

void MapCatapult::DrawFrame() {
  const u32 color = villain_ ? villain_->GetFlashColor() : 0;
  if (!color) {
    MapCharacter::DrawFrame();
    return;
  }
  DrawLit(state_, transform_, color);
}

void MapCatapult::UpdateAnimation() {
  if (hideLeft_ == 0) MapCharacter::UpdateAnimation();  // fading, the last frame stays
}

void MapCatapult::Update() {
  MapCharacter::Update();
  if (hideLeft_ == 0) return;
  const u32 step = GameTimeStep();
  hideLeft_ = hideLeft_ > step ? hideLeft_ - step : 0;
  if (hideLeft_ > 0) return;
  ClearEffects();
  DetachFromLevel();
}

void MapCatapult::SetState(i32 state, bool animate) {
  if (state == catapultState_ || state < 0 || state > 3 || IsDead()) return;
  const i32 before = catapultState_;
  catapultState_ = state;
  if (hideLeft_ > 0) {  // shown again while fading out
    hideLeft_ = 0;
    ClearEffects();
  }
  if (state == 0) {
    if (animate && before != 0 && IsAttached()) {
      AddEffect(new SEffect_Alpha(1.0f, 0.0f, kCatapultHideTime, false, 0));
      hideLeft_ = kCatapultHideTime;
    } else {
      DetachFromLevel();
    }
    return;
  }
  AttachToLevel(0);
  if (state == 1) {
    PlayAnimation(0, StandName(description_, 0), facing_, false, kActivityIdle);
    if (animate && before == 0) AddEffect(new SEffect_Alpha(0.25f, 1.0f, 80, true, 0));
  } else if (state == 2) {
    PlayAnimation(0, u"catapult_stand", facing_, false, kActivityIdle);
  } else {
    PlayAnimation(0, u"catapult_break", facing_, false, kActivityIdle);
    DisposeWithEffect(0, new SEffect_Alpha(1.0f, 0.0f, 200, false, 1000));
  }
}
