#include "tutorials/LevelTutorial_6.h"

#include "base/LittleEndian.h"
#include "content/VillainList.h"
#include "level/characters/Job_Repair.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointCare.h"
#include "level/map/MapObject.h"
#include "level/map/PointDamage.h"
#include "level/objects/LevelVillainCast.h"
#include "level/objects/MapVillain.h"
#include "level/objects/VillainShot.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelView.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "tutorials/LevelTutorialScript.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "hud/ASSArrowButton.h"

float VillainTutorialRate(float base, u32 frameInterval) {
  const u32 divisor = frameInterval == 0 ? 0 : 1000 / frameInterval;
  return divisor == 0 ? base : base / static_cast<float>(divisor);
}

namespace {

constexpr TutorialId Step6(u32 n) { return kTutorialLevelBit | kLevelTutorial6 | n; }
constexpr u32 kPanel6 = kTutorialWindowLevelPanel;
constexpr u32 kRecordFirstStart = 20;
constexpr u32 kRecordVillain = 24;
constexpr u32 kRecordArrivals = 28;
constexpr u32 kRateSetOnce = 1;  // the done-once flag once the rate is set
constexpr float kVillainNear = 40.0f;
constexpr i32 kTextPlaceX = 680, kTextPlaceY = 520;

LevelVillainCast* Cast6(GameLevel* level) {
  return level ? dynamic_cast<LevelVillainCast*>(level->Hooks().villains) : nullptr;
}

float HealthRatio(const MapVillain* v) {
  if (!v || !v->GetInfo()) return 0.0f;
  const i32 most = v->GetInfo()->health < 1 ? 1 : v->GetInfo()->health;
  return static_cast<float>(v->GetHealth()) / static_cast<float>(most);
}

bool Damaged(const BaseLevelPoint* p) {
  const auto* d = p ? dynamic_cast<const PointDamage*>(p->GetDamage()) : nullptr;
  return d && !d->IsCleared();
}

// The first damaged point's index, -1 when none.
i32 FirstDamaged(GameLevel* level) {
  if (!level) return -1;
  for (i32 i = 0; i < level->Map().GetPointCount(); ++i)
    if (Damaged(level->Map().GetPoint(i))) return i;
  return -1;
}

LevelTutorial_6* Tutorial6(const ScriptStep& s) { return dynamic_cast<LevelTutorial_6*>(s.GetTutorial()); }

// The computed targets of the script (screen pixels; each sets its angle):
// kAround the stored villain's border toward the view's centre, kPlace the
// level place of the texts, kNear 40 units off the first villain. What the
// first stands for is the villain's rectangle.
class VillainTarget : public TutorialTargetKind<VillainTarget> {
 public:
  enum Mode { kAround, kPlace, kNear };
  VillainTarget(LevelTutorial_6* t, Mode mode, float distance)
      : TutorialTargetKind(kTargetCustom, 0.0f, distance), t_(t), mode_(mode) {}

  void UpdatePosition() override {
    valid_ = 0;
    GameLevel* level = t_ ? t_->GetLevel() : nullptr;
    if (!level) return;
    const LevelView& view = level->Rules().View();
    if (mode_ == kPlace) {
      i32 x = kTextPlaceX, y = kTextPlaceY;
      view.MapToScreen(&x, &y);
      Found(static_cast<float>(x), static_cast<float>(y));
      return;
    }
    const MapVillain* v = mode_ == kAround ? t_->GetVillain() : t_->GetFirstVillain();
    if (!v) return;
    i32 x = kis::RoundToInt(v->GetX()), y = kis::RoundToInt(v->GetY());
    if (mode_ == kNear) {
      i32 sx = x, sy = y;
      view.MapToScreen(&sx, &sy);
      const GAMESCREENAREA& screen = GetResourceServices().screen;
      const bool right = sx >= screen.width / 2, upper = sy < screen.height / 2;
      angle_ = right ? (upper ? 135.0f : 225.0f) : (upper ? 45.0f : 315.0f);
      kis::FloatPoint p{v->GetX(), v->GetY()};
      kis::AddPolar(&p, angle_, kVillainNear, false);
      x = kis::RoundToInt(p.x);
      y = kis::RoundToInt(p.y);
      view.MapToScreen(&x, &y);
      Found(static_cast<float>(x), static_cast<float>(y));
      return;
    }
    DXLRECT r{};
    VillainRect(v, view, &r);
    kis::FloatPoint centre{};
    LevelScreenCentre(&centre, 0.0f, 0.0f, 0, 0);
    const kis::FloatPoint middle{static_cast<float>(r.left + r.right) / 2.0f, static_cast<float>(r.top + r.bottom) / 2.0f};
    angle_ = kis::PointAngle(middle, centre);
    kis::IntPoint edge{};
    kis::RectEdgePointI(kis::Rect{r.left, r.top, r.right, r.bottom}, angle_, &edge);
    Found(static_cast<float>(edge.x), static_cast<float>(edge.y));
  }

  bool GetArea(DXLRECT* out, bool) const override {
    GameLevel* level = t_ ? t_->GetLevel() : nullptr;
    const MapVillain* v = mode_ == kAround && level ? t_->GetVillain() : nullptr;
    if (!valid_ || !v) return false;
    VillainRect(v, level->Rules().View(), out);
    return true;
  }

 private:
  // The villain's rectangle on the screen.
  static void VillainRect(const MapVillain* v, const LevelView& view, DXLRECT* out) {
    const i32 x = kis::RoundToInt(v->GetX()), y = kis::RoundToInt(v->GetY());
    *out = DXLRECT{x - 32, y - 64, x + 32, y + 32};
    view.MapToScreen(&out->left, &out->top);
    view.MapToScreen(&out->right, &out->bottom);
  }

  LevelTutorial_6* t_;
  Mode mode_;
};

ScriptStep* Make6(u32 n, u32 active) { return new ScriptStep(Step6(n), kPanel6, active, 0, n < 5 ? Step6(n + 1) : 0); }

}  // namespace

LevelTutorial_6::LevelTutorial_6(GameLevel* level) : LevelTutorial(kLevelTutorial6, level) {
  // The villain and the poisoned point; the villain goes on with its next shot.
  ScriptStep* s = Make6(1, 0x2000);
  s->canStart = [](ScriptStep& st) {
    LevelTutorial_6* t = Tutorial6(st);
    return t && t->GetVillain() && FirstDamaged(t->GetLevel()) >= 0;
  };
  s->build = [this](ScriptStep& st) {
    const i32 damaged = FirstDamaged(GetLevel());
    st.Arrow(new TutTargetLevelPoint(GetLevel(), damaged, kPointAngle, kPointDistance), 1);
    st.Arrow(new VillainTarget(this, VillainTarget::kAround, 0.0f), 2);
    st.Text(new VillainTarget(this, VillainTarget::kPlace, 0.0f), true, 0.0f, true);
  };
  // Its next shot leaves the catapult at once (the level is still held):
  // the second arrival.
  s->onEnd = [this](ScriptStep&) {
    MapVillain* v = GetVillain();
    if (!v || v->GetState() != kVillainAttacking || v->GetShotsLeft() < 1 || !GetLevel()) return;
    const VillainOffset origin = v->GetShotOrigin();
    const i32 target = PickVillainTarget(GetLevel()->Map(), origin.x, origin.y);
    if (target < 0) return;
    v->FireShot(target);
    Notify(kTutorialEventVillain, 0, v);
  };

  // Its shot in the air, to burst by a click.
  s = Make6(2, 0x2002);
  s->canStart = [this](ScriptStep&) { return HealthRatio(GetFirstVillain()) >= 0.5f; };
  s->build = [this](ScriptStep& st) {
    SetDelay(0);
    ScriptArrowAndText(st, new VillainTarget(this, VillainTarget::kNear, 0.0f), 1);
  };
  s->allow = [](ScriptStep&, u32 code, uintptr_t param, const void*) {
    return code == kTutorialActionObject && param == kObjectVillainShot;
  };
  s->frame = [this](ScriptStep& st, u32) {
    MapVillain* v = GetVillain();
    if (!GetFirstShot() && !(v && v->GetShotJob())) st.Finish();
  };

  // The villain, to drive off by clicks.
  s = Make6(3, 0x1002);
  s->build = [this](ScriptStep& st) { ScriptArrowAndText(st, new VillainTarget(this, VillainTarget::kAround, 0.0f), 1); };
  s->allow = [](ScriptStep&, u32 code, uintptr_t param, const void*) {
    return code == kTutorialActionObject && param == kObjectVillain;
  };
  s->frame = [this](ScriptStep& st, u32) {
    MapVillain* v = GetVillain();
    if (!v || v->GetState() >= kVillainDone) st.Finish();
  };

  // The repair arrow of the first point that has one.
  s = Make6(4, 0x1001);
  s->canStart = [](ScriptStep& st) {
    GameLevel* lv = st.Level();
    st.mark = 0;
    for (i32 i = 0; lv && i < lv->Map().GetPointCount(); ++i)
      if (BaseLevelPoint* p = lv->Map().GetPoint(i); p && p->GetRepairArrow()) {
        st.mark = static_cast<u32>(i) + 1;
        break;
      }
    return true;
  };
  s->build = [](ScriptStep& st) {
    BaseLevelPoint* p = st.mark ? st.Level()->Map().GetPoint(static_cast<i32>(st.mark) - 1) : nullptr;
    if (p && p->GetRepairArrow())
      ScriptArrowAndText(st, new TutTargetScreenSprite(p->GetRepairArrow(), kAngleDown, kArrowGap), 1);
  };
  s->allow = [](ScriptStep& st, u32 code, uintptr_t param, const void* object) {
    return st.mark && ScriptSpriteAction(st, code, param, object, kRepairButtonCode, static_cast<i32>(st.mark) - 1);
  };
  s->event = [](ScriptStep& st, u32 code, uintptr_t param, const void*) {
    if (code == kTutorialEventJob && param == kJobRepair) st.Finish();
  };

  // The repair at work, until the point is clean.
  s = Make6(5, 0x100);
  s->canStart = [](ScriptStep& st) {
    st.mark = static_cast<u32>(FirstDamaged(st.Level()) + 1);
    return true;
  };
  s->build = [](ScriptStep& st) {
    if (st.mark)
      st.Text(new TutTargetLevelPoint(st.Level(), static_cast<i32>(st.mark) - 1, kPointAngle, kPointDistance), false,
              kTextGap, false);
  };
  s->frame = [](ScriptStep& st, u32) {
    GameLevel* lv = st.Level();
    if (st.mark == 0 || !lv || !Damaged(lv->Map().GetPoint(static_cast<i32>(st.mark) - 1))) st.Finish();
  };
  SetFirstStep(Step6(1));
}

MapVillain* LevelTutorial_6::GetVillain() const {
  LevelVillainCast* cast = Cast6(GetLevel());
  if (!cast || villain_ < 0 || villain_ >= static_cast<i32>(cast->GetVillains().size())) return nullptr;
  return cast->GetVillains()[static_cast<size_t>(villain_)];
}

MapVillain* LevelTutorial_6::GetFirstVillain() const {
  LevelVillainCast* cast = Cast6(GetLevel());
  return cast && !cast->GetVillains().empty() ? cast->GetVillains().front() : nullptr;
}

VillainShot* LevelTutorial_6::GetFirstShot() const {
  LevelVillainCast* cast = Cast6(GetLevel());
  if (!cast) return nullptr;
  for (VillainShot* s : cast->GetShots())
    if (!s->IsBurst()) return s;
  return nullptr;
}

// The first wave at once: the villain comes as the level starts.
void LevelTutorial_6::OnStart() {
  SetFlags(kLevelFlagWaves);
  GameLevel* level = GetLevel();
  if (firstStart_ && level && level->Rules().Waves().IsEnabled()) {
    level->Rules().Waves().SetTimeToNext(0);
    firstStart_ = 0;
  }
}

void LevelTutorial_6::Notify(u32 event, uintptr_t param, const void* object) {
  if (event == kTutorialEventVillain && object) {
    ++arrivals_;
    LevelVillainCast* cast = Cast6(GetLevel());
    if (villain_ < 0 && cast) {
      const auto& list = cast->GetVillains();
      for (size_t i = 0; i < list.size(); ++i)
        if (static_cast<const void*>(list[i]) == object) villain_ = static_cast<i32>(i);
    }
  }
  LevelTutorial::Notify(event, param, object);
}

void LevelTutorial_6::Update(u32 elapsed) {
  LevelTutorial::Update(elapsed);
  if (doneOnce_ || arrivals_ != 1) return;
  MapVillain* v = GetFirstVillain();
  if (!v || !v->GetInfo()) return;
  doneOnce_ = kRateSetOnce;
  v->SetTimer(VillainTutorialRate(static_cast<float>(v->GetInfo()->shotInterval), GameTimeStep()));
}

bool LevelTutorial_6::FilterAction(u32 code, uintptr_t param, const void* object) {
  if (code != kTutorialActionWaves) return LevelTutorial::FilterAction(code, param, object);
  switch (param) {
    case kObjectVillainShot:
      // The object asking is the flying shot, which has no health of its
      // own: the second shot flies once the tutorial's villain has been
      // driven below half its health.
      return arrivals_ == 1 || (arrivals_ == 2 && HealthRatio(GetVillain()) < 0.5f);
    case kObjectVillain:
      return villain_ < 0;
    case kObjectDamage:
      return false;
    default:
      return true;
  }
}

void LevelTutorial_6::FillRecord(u8* record) {
  LevelTutorial::FillRecord(record);
  kis::PutU32LE(record + kRecordFirstStart, firstStart_);
  kis::PutU32LE(record + kRecordVillain, static_cast<u32>(villain_));
  kis::PutU32LE(record + kRecordArrivals, arrivals_);
}

bool LevelTutorial_6::LoadRecord(const u8* record, u32 size) {
  if (size < kLevelTutorial6RecordSize || !LevelTutorial::LoadRecord(record, size)) return false;
  firstStart_ = kis::GetU32LE(record + kRecordFirstStart);
  villain_ = static_cast<i32>(kis::GetU32LE(record + kRecordVillain));
  arrivals_ = kis::GetU32LE(record + kRecordArrivals);
  return true;
}
