#include "level/map/PointDamage.h"

#include <cmath>
#include <cstring>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Random.h"
#include "content/ContentArchive.h"
#include "engine/DXLViewer.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/map/PointJob.h"
#include "level/map/SpriteObject.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "hud/SSProgressLine.h"

namespace {

constexpr wchar kGasName[] = u"gas";
constexpr wchar kPuddleName[] = u"toxic_puddle";
constexpr i32 kPuffSpread = 80;  // puffs start within this distance of the puddle
constexpr i32 kPuffRise = 20;    // and this much above it
constexpr u32 kPuddleFadeIn = 100;
constexpr float kMaxPuffOffset = 4096.0f;  // a loaded puff further off is not one of ours

}  // namespace

PointDamage::PointDamage(BaseLevelPoint* point, i32 x, i32 y, i32 sortX, i32 sortY, const DAMAGESOURCE* source,
                         bool fade)
    : MapObject(point->GetMap(), kLayerStanding), point_(point), x_(x), y_(y) {
  kind_ = kObjectDamage;
  if (source) source_ = *source;
  if (Sprite* gas = GetSpriteByName(kEffectSpriteSet, kGasName)) {
    gas_ = gas->CreateImageSprite(false);
    if (gas_) gas_->SetPivot(0.5f, 0.5f);
    if (const DXLFRAMESEQ* seq = gas->GetDefaultAnimation()) {
      gasSeq_ = *seq;
    } else {
      DXLFrameSeqInit(&gasSeq_, 0, 0, static_cast<u32>(gas->GetFrameCount() > 0 ? gas->GetFrameCount() : 1), 100, 0,
                      0);
    }
  }
  puffLifetime_ = gasSeq_.count * gasSeq_.timePerFrame;
  puffInterval_ = static_cast<float>(puffLifetime_) / static_cast<float>(kMaxPuffs);
  if (puffInterval_ < static_cast<float>(GameTimeStep())) puffInterval_ = static_cast<float>(GameTimeStep());
  if (puffInterval_ < 1.0f) puffInterval_ = 1.0f;  // the puff loop must move on
  total_ = remaining_ = source_.damageTime > puffLifetime_ ? source_.damageTime : puffLifetime_;
  StoreSortOffset(sortX, sortY);
  SetCleared(false, fade);
  SetPos(x, y);
  AttachToLevel(0);
  AddPuff(0.0f, 0.0f, 2 * gasSeq_.timePerFrame);
}

PointDamage::~PointDamage() {
  if (point_ && point_->GetDamage() == this) point_->SetDamage(nullptr);
  delete line_;
  delete puddle_;
  delete gas_;
}

void PointDamage::AddPuff(float x, float y, u32 age) {
  if (puffCount_ >= kMaxPuffs) return;
  puffs_[puffCount_++] = GASPUFF{x, y, age};
}

void PointDamage::MakeLine(bool instant) {
  if (!GetMap().Hooks().hud) return;
  line_ = new SSProgressLine(x_, y_ - (lineRaised_ ? kRepairLineRise : 0), kDamageLineWidth, 0);
  line_->SetKeepSize(true);  // its pixel size also while the view is zoomed out
  SetLineProgress();
  line_->Show(instant, 0, kShowScale, kPointSpriteShowTime);
}

void PointDamage::SetLineProgress() {
  if (line_ && total_ > 0)
    line_->SetProgress(static_cast<float>(remaining_) / static_cast<float>(total_) * 100.0f);
}

void PointDamage::RaiseLine(bool raised) {
  if (raised == lineRaised_) return;
  lineRaised_ = raised;
  if (!line_) return;
  delete line_;
  line_ = nullptr;
  MakeLine(true);
}

bool PointDamage::SetCleared(bool cleared, bool fade) {
  if (cleared == cleared_) return false;
  cleared_ = cleared;
  if (!cleared) {
    MakeLine(!fade);
    SpriteSet* set = GetSpriteSet(kMapSpriteSet);
    if (MapSprite* sprite = set ? set->FindMapSprite(kPuddleName) : nullptr) {
      puddle_ = SpriteObject::Create(GetMap(), sprite, kLayerGround, x_, y_, kObjectSprite, nullptr, 0);
      if (puddle_) {
        puddle_->AttachToLevel(0);
        if (fade) {
          puddle_->AddEffect(new SEffect_Alpha(0.0f, 1.0f, kPuddleFadeIn, true, 0));
          puddle_->AddEffect(new SEffect_Scale(0.9f, 1.0f, kPuddleFadeIn, true, 0));
        }
      }
    }
    if (point_) ShowRepairArrow(point_, fade);
    return true;
  }
  if (SSProgressLine* line = line_) {
    line_ = nullptr;
    if (fade)
      line->Hide(true, false, 0, kShowFade | kShowScale, kPointSpriteShowTime);
    else
      delete line;
  }
  if (SpriteObject* puddle = puddle_) {
    puddle_ = nullptr;
    if (fade)
      puddle->DisposeWithEffect(0, new SEffect_Alpha(1.0f, 0.0f, kPointSpriteShowTime, true, 0));
    else
      delete puddle;
  }
  if (point_) {
    if (PointJob* repair = point_->GetRepairJob()) repair->Finish();
    point_->RemoveRepairArrow(fade, 0);
  }
  return true;
}

void PointDamage::SetRemaining(u32 ms, bool fade) {
  if (IsDead()) return;
  if (fade && ms > remaining_) AddPuff(0.0f, 0.0f, 2 * gasSeq_.timePerFrame);
  remaining_ = ms;
  const u32 longest = ms > puffLifetime_ ? ms : puffLifetime_;
  if (longest > total_) total_ = remaining_ = longest;
  if (SetCleared(remaining_ == 0, fade)) return;
  SetLineProgress();
  // Set without fade (a restored damage), the line stands at once.
  if (!fade && line_) line_->Show(true, 0, 0, 0);
}

u32 PointDamage::Update(u32 ms) {
  if (IsDead()) return ms;
  u32 kept = 0;
  for (u32 i = 0; i < puffCount_; ++i) {
    GASPUFF p = puffs_[i];
    p.age += ms;
    if (p.age < puffLifetime_) puffs_[kept++] = p;
  }
  puffCount_ = kept;
  u32 result = ms;
  if (!cleared_) {
    float t = static_cast<float>(ms);
    while (t >= countdown_) {
      t -= countdown_;
      countdown_ = puffInterval_;
      if (puffCount_ < kMaxPuffs) {
        i32 px, py;
        do {
          px = kis::RandomRange(-kPuffSpread, kPuffSpread);
          py = kis::RandomRange(-kPuffSpread, kPuffSpread);
        } while (px * px + py * py > kPuffSpread * kPuffSpread);
        AddPuff(static_cast<float>(px), static_cast<float>(py - kPuffRise), 0);
      }
    }
    countdown_ -= t;
    if (TutorialAllowAction(kTutorialActionWaves, kObjectDamage, this)) {
      if (remaining_ > ms) {
        remaining_ -= ms;
        result = 0;
      } else {
        result = ms - remaining_;
        remaining_ = 0;
        SetCleared(true, true);
      }
      SetLineProgress();
    }
  }
  if (cleared_ && puffCount_ == 0) {
    Dispose();
    return ms;
  }
  return result;
}

void PointDamage::Release() {
  SetCleared(true, true);
  BaseLevelPoint* point = point_;
  point_ = nullptr;
  if (point && point->GetDamage() == this) {
    point->SetDamage(nullptr);
    point->CancelRepair();
  }
}

void PointDamage::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !gas_ || puffCount_ == 0) return;
  viewer->PushTransform();
  viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
  for (u32 i = 0; i < puffCount_; ++i) {
    gas_->SetFrame(static_cast<i32>(DXLFrameSeqFrameAt(&gasSeq_, puffs_[i].age)));
    viewer->PushTransform();
    viewer->Translate(puffs_[i].x, puffs_[i].y);
    gas_->Draw();
    viewer->PopTransform();
  }
  viewer->PopTransform();
}

// --- Record ---------------------------------------------------------------------------------------

bool PointDamage::SaveRecord(kis::DataCursor* writer) const {
  u8 r[kDamageRecordSize] = {};
  kis::PutU32LE(r, kDamageRecordSize);
  kis::PutU32LE(r + 4, remaining_);
  kis::PutU32LE(r + 8, puffCount_);
  for (u32 i = 0; i < kMaxPuffs; ++i) {
    const GASPUFF& p = puffs_[i];
    kis::PutF32LE(r + 12 + 12 * i, i < puffCount_ ? p.x : 0.0f);
    kis::PutF32LE(r + 16 + 12 * i, i < puffCount_ ? p.y : 0.0f);
    kis::PutU32LE(r + 20 + 12 * i, i < puffCount_ ? p.age : 0);
  }
  kis::PutF32LE(r + 132, countdown_);
  return writer->Write(r, kDamageRecordSize);
}

bool PointDamage::LoadRecord(kis::DataCursor* reader) {
  const u8* r = static_cast<const u8*>(reader->ReadPtr(kDamageRecordSize));
  if (!r || kis::GetU32LE(r) != kDamageRecordSize) return false;
  const u32 count = kis::GetU32LE(r + 8);
  const float countdown = kis::GetF32LE(r + 132);
  if (count > kMaxPuffs || !std::isfinite(countdown) || countdown < 0.0f || countdown > puffInterval_) return false;
  GASPUFF puffs[kMaxPuffs];
  for (u32 i = 0; i < count; ++i) {
    puffs[i] = GASPUFF{kis::GetF32LE(r + 12 + 12 * i), kis::GetF32LE(r + 16 + 12 * i), kis::GetU32LE(r + 20 + 12 * i)};
    if (!std::isfinite(puffs[i].x) || !std::isfinite(puffs[i].y) || std::fabs(puffs[i].x) > kMaxPuffOffset ||
        std::fabs(puffs[i].y) > kMaxPuffOffset)
      return false;
  }
  SetRemaining(kis::GetU32LE(r + 4), false);
  puffCount_ = count;
  for (u32 i = 0; i < count; ++i) puffs_[i] = puffs[i];
  countdown_ = countdown;
  return true;
}
