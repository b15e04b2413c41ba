#include "level/objects/VillainShot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/DataCursor.h"
#include "base/Identifier.h"
#include "base/LittleEndian.h"
#include "content/VillainList.h"
#include "engine/DXLViewer.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/objects/LevelVillainCast.h"
#include "level/rules/LevelRules.h"
#include "resources/GameDraw.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/ParticleLibrary.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/StandardSounds.h"
#include "resources/TutorialHooks.h"
#include "hud/HudPieces.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr u32 kGrowTime = 300;           // ms of the grow from 0.8 to 1.2
constexpr u32 kHoverColor = 0xFF404040u;  // added to a hovered shot
constexpr i32 kFarthestShot = 100000;     // no saved shot starts further off the map

// The shot's pictures keep still: the shot sets their frames from its own
// clock, so they stop with the level. The sprite's own sequence, if any,
// is kept for the flight.
std::unique_ptr<ImageSprite> MakeShotImage(const wchar* name, DXLFRAMESEQ* sequence = nullptr) {
  Sprite* sprite = GetSpriteByName(kParticleSpriteSet, name);
  if (!sprite) return nullptr;
  sprite->Init();
  std::unique_ptr<ImageSprite> image(sprite->CreateImageSprite(false));
  if (!image) {
    sprite->Release(false);
    return nullptr;
  }
  image->SetPivot(0.5f, 0.5f);
  if (sequence && image->FrameState().animated) *sequence = image->FrameState().seq;
  image->SetAnimation(nullptr, false);
  image->SetFrame(0);
  return image;
}

void FreeShotImage(std::unique_ptr<ImageSprite>& image) {
  if (!image) return;
  Sprite* sprite = image->GetSprite();
  image.reset();
  if (sprite) sprite->Release(false);
}

void Play(StandardSound sound) {
  GetSoundSettings().PlaySound(GetStandardSound(sound), kSoundGroupLevel | kSoundGroupScreen, 0);
}

}  // namespace

float ShotSpeed(float distance, u32 flightTime, u32 tick, float greatest) {
  const u32 n = tick ? flightTime / tick : 0;
  const bool capped = std::isfinite(greatest) && greatest > 0.0f;
  if (n == 0) return capped ? greatest : distance;
  const float even = distance / static_cast<float>(n);
  return capped ? std::min(even, greatest) : even;
}

VillainShot::VillainShot(LevelVillainCast& villains, float x, float y, i32 target, const VILLAININFO* info, bool animate)
    : DynObject(*villains.GetMap()), villains_(villains), target_(target), startX_(x), startY_(y), info_(info) {
  kind_ = kObjectVillainShot;
  cursorKind_ = kCursorHand;
  if (BaseLevelPoint* point = GetMap().GetPoint(target)) {
    POINTPOS pos;
    point->GetPos(&pos);
    dx_ = static_cast<float>(pos.x) - x;
    dy_ = static_cast<float>(pos.y) - y;
  }
  distance_ = std::sqrt(dx_ * dx_ + dy_ * dy_);
  speed_ = ShotSpeed(distance_, info->flightTime, GameTimeStep(), info->shotSpeed);
  image_ = MakeShotImage(u"bullet_01", &flightSequence_);
  if (image_) image_->SetAngle(std::atan2(dy_, dx_) * 180.0f / kPi - 45.0f);
  if (!animate) growClock_ = kGrowTime;
  static const u32 trailId = kis::NameId(u"bullet_gas");
  if (const GPSSYSTEM* system = FindParticleSystem(trailId)) {
    GPSSYSTEM trail = *system;
    const float f = std::min(1.5f - speed_ / 2.0f, 1.5f);
    for (i32& interval : trail.burstInterval)
      interval = static_cast<i32>(std::floor(static_cast<float>(interval) * f + 0.5f));
    gas_ = std::make_unique<GPSSpace>(0);
    emitter_ = new GPSEmiter(gas_.get(), &trail, nullptr, x, y);
    emitter_->Start();
  }
  MoveTo(x, y);
  villains_.AddShot(this);
}

VillainShot::~VillainShot() {
  gas_.reset();
  FreeShotImage(image_);
  villains_.RemoveShot(this);
}

void VillainShot::SetTravelled(float travelled) {
  travelled_ = std::clamp(travelled, 0.0f, distance_);
  const float f = distance_ > 0.0f ? travelled_ / distance_ : 1.0f;
  MoveTo(startX_ + dx_ * f, startY_ + dy_ * f);
}

void VillainShot::Update(u32 ms) {
  if (IsDead()) return;
  growClock_ = std::min(growClock_ + ms, kGrowTime);
  flightClock_ += ms;
  if (!burst_ && image_ && flightSequence_.count > 0)
    image_->SetFrame(static_cast<i32>(DXLFrameSeqFrameAt(&flightSequence_, flightClock_)));
  if (gas_) gas_->Update(static_cast<float>(ms));
  if (burst_) {
    burstClock_ += ms;
    if (burstClock_ >= burstLength_) Dispose();
    return;
  }
  if (!TutorialAllowAction(kTutorialActionWaves, kObjectVillainShot, this)) return;
  if (travelled_ + speed_ >= distance_) {
    travelled_ = distance_;
    Arrive();
    return;
  }
  SetTravelled(travelled_ + speed_);
  if (emitter_) emitter_->SetPosition(x_, y_);
}

void VillainShot::Arrive() {
  LevelMap& map = GetMap();
  if (!map.Points().GetDamageablePoint(target_)) {
    Burst();
    return;
  }
  AddDamage(map, target_, villains_.FindDamageSource(info_->id), true);
  Play(kSoundVillainShotHit);
  Dispose();
}

void VillainShot::Burst() {
  if (burst_) return;
  burst_ = true;
  burstClock_ = 0;
  delete emitter_;
  emitter_ = nullptr;
  FreeShotImage(image_);
  image_ = MakeShotImage(u"gas");
  burstLength_ = 0;
  if (image_) {
    image_->SetScale(2.0f, 2.0f);
    const i32 frames = image_->GetSprite() ? image_->GetSprite()->GetFrameCount() : 1;
    burstLength_ = static_cast<u32>(std::max(frames, 1)) * kGasFrameTime;
  }
  Play(kSoundVillainShotBurst);
}

i32 VillainShot::GetPointIndex() const {
  auto* self = const_cast<VillainShot*>(this);
  self->Highlight();
  self->hovered_ = true;
  return -1;
}

MapObject* VillainShot::OnClick() {
  if (burst_ || IsDead()) return this;
  if (LevelRules* rules = GetMap().GetRules()) rules->ChangeMoney(info_->shotMoney, x_, y_, 32.0f);
  Burst();
  return this;
}

void VillainShot::Draw() {
  DXLViewer* viewer = GetGameViewer();
  const bool hovered = hovered_;
  hovered_ = false;
  if (!viewer || !image_ || (IsDead() && !burst_)) return;
  const DXLMATRIX base = viewer->CurrentTransform();
  if (gas_) {
    gas_->Draw();
    viewer->SetTransform(&base);
  }
  const bool effects = effects_ && UpdateEffects();
  u32 color = effects ? GetColor() : 0xFFFFFFFFu;
  if (burst_) {
    const i32 frames = image_->GetSprite() ? image_->GetSprite()->GetFrameCount() : 1;
    image_->SetFrame(std::min(static_cast<i32>(burstClock_ / kGasFrameTime), std::max(frames, 1) - 1));
  } else {
    const float grow = 0.8f + 0.4f * static_cast<float>(growClock_) / kGrowTime;
    const float scale = growClock_ >= kGrowTime ? 1.0f : grow;
    image_->SetScale(scale, scale);
  }
  const DXLDRAWSTATE* previous = nullptr;
  if (hovered && !burst_) {
    color = (kHoverColor & 0x00FFFFFFu) | (color & 0xFF000000u);
    previous = SetBlendState(MapHighlightBlend());
  }
  image_->SetColor(color);
  DrawImageAt(image_.get(), x_, y_, base);
  if (previous || (hovered && !burst_)) SetBlendState(previous);
  image_->SetColor(0xFFFFFFFFu);
}

// --- Records ----------------------------------------------------------------------------------------------

bool VillainShot::Save(kis::DataCursor* writer) const {
  u8 r[kShotRecordSize] = {};
  kis::PutU32LE(r, kShotRecordSize);
  kis::PutU32LE(r + 4, IsDead() || burst_ ? 1 : 0);
  kis::PutI32LE(r + 8, target_);
  kis::PutU32LE(r + 12, info_->id);
  kis::PutI32LE(r + 16, static_cast<i32>(startX_));
  kis::PutI32LE(r + 20, static_cast<i32>(startY_));
  kis::PutF32LE(r + 24, travelled_);
  return writer->Write(r, kShotRecordSize);
}

bool VillainShot::Load(LevelVillainCast& villains, kis::DataCursor* reader) {
  u8 r[kShotRecordSize];
  if (!reader->Read(r, kShotRecordSize) || kis::GetU32LE(r) != kShotRecordSize) return false;
  if (kis::GetU32LE(r + 4) != 0) return true;
  const i32 target = kis::GetI32LE(r + 8);
  const VILLAININFO* info = FindVillainInfo(kis::GetU32LE(r + 12));
  const float travelled = kis::GetF32LE(r + 24);
  const i32 x = kis::GetI32LE(r + 16), y = kis::GetI32LE(r + 20);
  if (!info || !villains.GetMap()->GetPoint(target) || !std::isfinite(travelled) || travelled < 0.0f) return false;
  if (std::abs(x) > kFarthestShot || std::abs(y) > kFarthestShot) return false;
  auto* shot = new VillainShot(villains, static_cast<float>(x), static_cast<float>(y), target, info, false);
  shot->SetTravelled(travelled);
  return true;
}
