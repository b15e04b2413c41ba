#include "level/map/BaseLevelPoint.h"

#include <cmath>

#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/Maths.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/map/MapObject.h"
#include "level/map/PointCare.h"
#include "level/map/PointJob.h"
#include "hud/ASSArrowButton.h"

namespace {

constexpr i32 kIconSpread = 18;  // the distance of shared job icons from their anchor

}  // namespace

BaseLevelPoint::BaseLevelPoint(LevelMap& map) : map_(map), maker_(&map.Points()) {}

BaseLevelPoint::~BaseLevelPoint() {
  Shutdown(false, true, 0);
  for (i32 i = 0; i < jobs_.GetCount(); ++i) {
    PointJob* job = jobs_[i];
    job->listPoint_ = nullptr;
    job->ClearTarget();
  }
  jobs_.Clear();
  DeleteDamage();
  delete repairArrow_;
  repairArrow_ = nullptr;
}

bool BaseLevelPoint::OnHover(MapObject*) { return true; }

BaseLevelPoint* BaseLevelPoint::SetMark(u8 mark) {
  mark_ = mark;
  return this;
}

void BaseLevelPoint::CancelRepair() {
  if (PointJob* job = repairJob_) job->Finish();
  RemoveRepairArrow(true, 0);
}

void BaseLevelPoint::GetPos(POINTPOS* out) const {
  out->x = x_;
  out->y = y_;
}

void BaseLevelPoint::Select(MapObject*) { maker_->SelectPoint(index_, true); }

void BaseLevelPoint::GetInfo(POINTPARAMS* out) const {
  *out = POINTPARAMS{};
  out->kind = static_cast<u32>(kind_);
}

bool BaseLevelPoint::SaveExtra(kis::DataCursor* writer) {
  const u8 zero[4] = {};
  return writer->Write(zero, 4);
}

bool BaseLevelPoint::LoadExtra(kis::DataCursor* reader) {
  u8 word[4];
  return reader->Read(word, 4) && word[0] == 0 && word[1] == 0 && word[2] == 0 && word[3] == 0;
}

bool BaseLevelPoint::SaveDamage(kis::DataCursor* writer) {
  PointCare* care = map_.Hooks().care;
  const u32 villain = shutDown_ || !damage_ || !care ? 0 : care->GetDamageVillain(this);
  u8 word[4];
  kis::PutU32LE(word, villain);
  if (!writer->Write(word, 4)) return false;
  return villain == 0 || care->SaveDamageRecord(this, writer);
}

bool BaseLevelPoint::LoadDamage(kis::DataCursor* reader) {
  u8 word[4];
  if (!reader->Read(word, 4)) return false;
  const u32 villain = kis::GetU32LE(word);
  if (villain == 0) return true;
  PointCare* care = map_.Hooks().care;
  return care && care->LoadDamage(this, villain, reader);
}

// --- Life -------------------------------------------------------------------------------------------

u32 BaseLevelPoint::Shutdown(bool fade, bool final, u32 delay) {
  if (shutDown_) return delay;
  if (final) shutDown_ = true;
  return DoShutdown(fade, final, delay);
}

u32 BaseLevelPoint::DoShutdown(bool fade, bool final, u32 delay) {
  if (final) {
    if (selected_) {
      selected_ = false;
      OnDeselect();
    }
    if (hovered_) {
      hovered_ = false;
      SetCursor(kPointCursor, 0);
      OnUnhover();
    }
    if (map_.GetPoint(index_) == this) map_.SetPoint(index_, nullptr);
    DeleteDamage();
  }
  PointJob* repair = repairJob_;
  repairJob_ = nullptr;
  delete repair;
  RemoveRepairArrow(fade, delay);
  return delay;
}

void BaseLevelPoint::DeleteDamage() {
  MapObject* damage = damage_;
  damage_ = nullptr;
  delete damage;
}

void BaseLevelPoint::RemoveRepairArrow(bool fade, u32 delay) {
  ASSArrowButton* arrow = repairArrow_;
  repairArrow_ = nullptr;
  if (!arrow) return;
  if (fade)
    arrow->Hide(true, false, delay, kShowFade | kShowScale, kPointSpriteShowTime);
  else
    delete arrow;
}

// --- Jobs -----------------------------------------------------------------------------------------------

void BaseLevelPoint::AddJob(PointJob* job) {
  if (!job) return;
  if (job->listPoint_ == this) return;
  if (job->listPoint_) job->listPoint_->DetachJob(job);
  jobs_.Add(job);
  job->listPoint_ = this;
  ArrangeJobIcons(job);
}

void BaseLevelPoint::DetachJob(PointJob* job) {
  if (!job || job->listPoint_ != this) return;
  jobs_.Remove(job);
  job->listPoint_ = nullptr;
  ArrangeJobIcons(job);
}

bool BaseLevelPoint::IsBusy() const {
  for (i32 i = 0; i < jobs_.GetCount(); ++i) {
    const PointJob* job = jobs_[i];
    if (job->GetJobId() >= kJobPlant && job->GetJobId() <= kJobShear && !job->HasEnded()) return true;
  }
  return false;
}

// n icons (n >= 3) stand at 270 + k x (360 / n) degrees, the division whole.
void BaseLevelPoint::ArrangeJobIcons(const PointJob* changed) {
  i32 ax = 0, ay = 0;
  if (!changed || !changed->GetIconAnchor(&ax, &ay)) return;
  PointJob* shared[64];
  i32 n = 0;
  for (i32 i = 0; i < jobs_.GetCount() && n < 64; ++i) {
    i32 x = 0, y = 0;
    if (jobs_[i]->GetIconAnchor(&x, &y) && x == ax && y == ay) shared[n++] = jobs_[i];
  }
  if (n == 1) {
    shared[0]->SetIconOffset(0, 0);
  } else if (n == 2) {
    shared[0]->SetIconOffset(-kIconSpread, 0);
    shared[1]->SetIconOffset(kIconSpread, 0);
  } else {
    const i32 step = 360 / (n > 0 ? n : 1);
    for (i32 k = 0; k < n; ++k) {
      const double a = (270.0 + k * step) * 3.14159265358979323846 / 180.0;
      shared[k]->SetIconOffset(kis::RoundToInt(static_cast<float>(kIconSpread * std::cos(a))),
                               kis::RoundToInt(static_cast<float>(kIconSpread * std::sin(a))));
    }
  }
}
