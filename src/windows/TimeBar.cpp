#include "windows/TimeBar.h"

#include <algorithm>
#include <cmath>

#include "content/LevelInfo.h"
#include "engine/DXLViewer.h"
#include "level/rules/LevelRules.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "resources/StandardSounds.h"
#include "hud/HudPieces.h"
#include "ui/SkinTable.h"
#include "windows/LevelPanel.h"

namespace {

constexpr i32 kMinAvailable = 3 * kTimeBarMinSegment;
constexpr i32 kIconY = 14;
constexpr i32 kGaugeX = 4, kGaugeY = 13;
constexpr float kCrossWidth = 13.0f, kCrossHeight = 16.0f;
constexpr i32 kWarnFrom = 5000, kWarnUntil = 1000;
// The medal stage at which each medal (bronze, silver, gold) is still to be won.
constexpr i32 kMedalStage[TimeBar::kMedals] = {4, 5, 6};

i32 Nearest(double v) { return static_cast<i32>(std::floor(v + 0.5)); }
i32 Ceiling(double v) { return static_cast<i32>(std::ceil(v)); }

// A fraction of a limit; a limit of 0 or less counts whole.
double Share(double part, double whole) { return whole > 0.0 ? part / whole : 1.0; }

}  // namespace

// Mode 0 has no bronze limit: bronze keeps the least width and gold and
// silver share the rest by their limits. Mode 1 shares the whole by the
// limits; a segment raised to the least width takes it from the others in
// proportion. The limits are put in order first (0 <= gold <= silver <=
// bronze), so no share is negative and none divides by zero.
void ComputeTimeBarSegments(u32 mode, const i32 limits[3], i32 available, i32 out[3]) {
  const i32 m = kTimeBarMinSegment;
  available = std::max(available, kMinAvailable);
  const double bronze = std::max(limits[0], 0);
  const double silver = mode == 0 ? std::max(limits[1], 0) : std::clamp<double>(limits[1], 0.0, bronze);
  const double gold = std::clamp<double>(limits[2], 0.0, silver);
  i32& b = out[0];
  i32& s = out[1];
  i32& g = out[2];
  if (mode == 0) {
    const i32 rest = available - m;
    b = m;
    g = std::clamp(Nearest(rest * Share(gold, silver)), m, rest - m);
    s = rest - g;
    return;
  }
  const double fg = Share(gold, bronze), fs = bronze > 0.0 ? (silver - gold) / bronze : 0.0;
  const double fractions[3] = {1.0 - fs - fg, fs, fg};
  g = Nearest(available * fg);
  s = Ceiling(available * fs);
  b = available - s - g;
  bool raised[3] = {};
  i32 count = 0;
  for (i32 i = 0; i < 3; ++i)
    if (out[i] < m) {
      out[i] = m;
      raised[i] = true;
      ++count;
    }
  if (count == 1) {
    i32 a = -1, c = -1;
    for (i32 i = 0; i < 3; ++i)
      if (!raised[i]) (a < 0 ? a : c) = i;
    const double fa = fractions[a], fb = fractions[c], both = fa + fb;
    const i32 share = available - m;
    const i32 wa = fa > 0.0 && both > 0.0 ? Nearest(share * fa / both) : 0;
    out[a] = std::clamp(wa, m, share - m);
    out[c] = share - out[a];
  } else if (count == 2) {
    for (i32 i = 0; i < 3; ++i)
      if (!raised[i]) out[i] = available - 2 * m;
  }
}

TimeBar::TimeBar(LevelPanel& owner) : owner_(owner) {
  static const wchar* const kIcons[kMedals] = {u"time_bar_bronze_icon", u"time_bar_silver_icon",
                                               u"time_bar_gold_icon"};
  for (i32 i = 0; i < kMedals; ++i) {
    icons_[i] = MakeImage(FindHudSprite(kIcons[i]), 0.5f, 0.5f);
    if (icons_[i]) icons_[i]->SetScale(0.5f, 0.5f);
  }
  Sprite* cross = FindHudSprite(u"red_cross");
  cross_ = MakeImage(cross, 0.5f, 0.5f);
  if (cross_ && PictureWidth(cross) > 0 && PictureHeight(cross) > 0)
    cross_->SetScale(kCrossWidth / static_cast<float>(PictureWidth(cross)),
                     kCrossHeight / static_cast<float>(PictureHeight(cross)));
  warningSound_ = GetStandardSound(kSoundTimeWarning);
  Arrange(owner.GetChildX(), owner.GetChildWidth());
  stageSeen_ = 4;
}

TimeBar::~TimeBar() {
  StopWarning();
  for (SpriteEffectList*& effects : crossEffects_) DeleteSpriteEffects(&effects);
  for (SpriteEffectList*& effects : iconEffects_) DeleteSpriteEffects(&effects);
}

u32 TimeBar::Mode() const {
  const LevelRules* rules = owner_.GetRules();
  return rules && rules->GetRegime() == 1 ? 1 : 0;
}

void TimeBar::GetSize(i32* width, i32* height) const {
  if (width) *width = width_;
  if (height) *height = kTimeBarHeight;
}

void TimeBar::Advance(u32 ms) {
  if (running_) time_ = ms < UINT32_MAX - time_ ? time_ + ms : UINT32_MAX;
}

// The frame is a row of pieces of "time_bar" (a plain piece for mode 0's
// bronze part, else caps, fillers, icon plates and separators), the icons
// centred on their plates.
void TimeBar::Arrange(i32 x, i32 width) {
  const i32 target = width + 2;
  if (target != width_) {
    width_ = target;
    ClearQuads();
    const u32 mode = Mode();
    const LevelRules* rules = owner_.GetRules();
    const LEVELINFO* info = rules ? rules->GetInfo() : nullptr;
    const i32 regime = rules ? rules->GetRegime() : 0;
    i32 limits[3] = {0, 0, 0};
    if (info && regime >= 0 && static_cast<u32>(regime) < kLevelRegimes) {
      const LEVELREGIME& r = info->regimes[regime];
      limits[0] = r.bronze;
      limits[1] = r.silver;
      limits[2] = r.gold;
    }
    ComputeTimeBarSegments(mode, limits, std::max(target - 8, kMinAvailable), segments_);
    const i32 b = segments_[0], s = segments_[1], g = segments_[2];
    const u32 gaugeLimits[3] = {static_cast<u32>(std::max(limits[0], 0)), static_cast<u32>(std::max(limits[1], 0)),
                                static_cast<u32>(std::max(limits[2], 0))};
    gauge_.Init(mode, gaugeLimits, segments_, kGaugeX, kGaugeY);

    const auto& cap = skins::kTimeBarCap;
    const auto& sep = skins::kTimeBarSeparator;
    const auto& fill = skins::kTimeBarFiller;
    const auto& plate = skins::kTimeBarPlate;
    const auto& end = skins::kTimeBarEnd;
    const auto& plain = skins::kTimeBarPlain;
    const auto piece = [](i32 w, const SkinPiece& p) { return SKINPIECE{std::max(w, 0), p.x, p.y, p.frameWidth}; };
    const i32 p1 = (b - 27) / 2 - 7, p2 = (s - 27) / 2, p3 = g - ((g - 27) / 2 - 7) - 36;
    SKINPIECE pieces[16];
    i32 n = 0;
    if (mode == 0) {
      pieces[n++] = piece(plain.frameWidth, plain);
    } else {
      pieces[n++] = piece(cap.frameWidth, cap);
      pieces[n++] = piece(p1, fill);
      pieces[n++] = piece(plate.frameWidth, plate);
      pieces[n++] = piece(b + 5 - cap.frameWidth - p1 - plate.frameWidth - sep.frameWidth, fill);
      pieces[n++] = piece(sep.frameWidth, sep);
    }
    pieces[n++] = piece(p2 - 1, fill);
    pieces[n++] = piece(plate.frameWidth, plate);
    pieces[n++] = piece(s - p2 - 28, fill);
    pieces[n++] = piece(sep.frameWidth, sep);
    pieces[n++] = piece(p3, fill);
    pieces[n++] = piece(plate.frameWidth, plate);
    pieces[n++] = piece(g - p3 - 36, fill);
    pieces[n++] = piece(end.frameWidth, end);
    Sprite* frame = FindHudSprite(u"time_bar");
    if (frame && frame->GetTexture()) AddPieces(frame->GetTexture(), 0, 0, plain.frameHeight, nullptr, n, pieces);
    iconX_[0] = static_cast<float>(p1 + 26);
    iconX_[1] = static_cast<float>(b + 18 + p2);
    iconX_[2] = static_cast<float>(b + s + 19 + p3);
  }
  x_ = static_cast<float>(x - 1);
  y_ = -5.0f;
  UpdateTime(false);
}

void TimeBar::StopWarning() {
  if (warning_) GetSoundSettings().StopSound(warning_);
  warning_ = 0;
}

// Which limit is watched follows the medal stage: gold from 6, silver at 5,
// bronze at 4 in mode 1 only. Once no medal is left to watch the loop stops
// for good (the level is lost a moment later anyway).
void TimeBar::UpdateTime(bool animate) {
  LevelRules* rules = owner_.GetRules();
  const u32 t = rules ? rules->Clock().GetTime() : 0;
  gauge_.SetValue(t);
  const i32 stage = rules ? rules->Clock().GetMedal() : 6;
  const u32 mode = Mode();
  const LEVELINFO* info = rules ? rules->GetInfo() : nullptr;
  const i32 regime = rules ? rules->GetRegime() : 0;
  const LEVELREGIME* limits =
      info && regime >= 0 && static_cast<u32>(regime) < kLevelRegimes ? &info->regimes[regime] : nullptr;

  i32 watched = -1;
  if (stage >= 6)
    watched = 2;
  else if (stage == 5)
    watched = 1;
  else if (stage == 4 && mode == 1)
    watched = 0;
  if (animate)
    for (i32 m = kMedals - 1; m >= 0; --m)
      if (stageSeen_ >= kMedalStage[m] && stage < kMedalStage[m] && (m > 0 || mode == 1)) {
        DeleteSpriteEffects(&crossEffects_[m]);
        AttachSpriteEffect(&crossEffects_[m], new SEffect_Alpha(0.25f, 1.0f, 100, true, 0));
        AttachSpriteEffect(&crossEffects_[m], new SEffect_Scale(3.0f, 1.0f, 200, true, 0));
      }

  bool warn = false;
  if (watched >= 0 && limits) {
    const i32 limit = watched == 2 ? limits->gold : watched == 1 ? limits->silver : limits->bronze;
    const i64 remaining = static_cast<i64>(limit) - static_cast<i64>(t);
    warn = remaining <= kWarnFrom && (remaining > kWarnUntil || (animate && warning_ != 0));
  }
  const bool ended = rules && (rules->Tasks().GetResultFlags() & (kResultFlagWon | kResultFlagLost)) != 0;
  if (warn && !ended) {
    if (!warning_ && warningSound_) warning_ = GetSoundSettings().PlaySound(warningSound_, kTimeWarningGroups, -1);
  } else {
    StopWarning();
  }
  stageSeen_ = stage;
}

void TimeBar::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  viewer->Translate(x_, y_);
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  // The bar's rectangle in the target's pixels, through the transform.
  const auto& m4 = base.m;
  const auto at = [&](float x, float y, i32* px, i32* py) {
    *px = static_cast<i32>(std::lround(x * m4[0][0] + y * m4[1][0] + m4[3][0]));
    *py = static_cast<i32>(std::lround(x * m4[0][1] + y * m4[1][1] + m4[3][1]));
  };
  at(0.0f, 0.0f, &clip_.left, &clip_.top);
  at(static_cast<float>(width_), static_cast<float>(kTimeBarHeight), &clip_.right, &clip_.bottom);
  viewer->PushClip(clip_);
  viewer->ApplyTransform(nullptr);
  DrawPieces();
  gauge_.Draw();
  for (i32 m = 0; m < kMedals; ++m) {
    if (!icons_[m]) continue;
    viewer->SetTransform(&base);
    viewer->Translate(iconX_[m], static_cast<float>(kIconY));
    u32 colour = 0xFFFFFFFFu;
    if (iconEffects_[m] && UpdateSpriteEffects(&iconEffects_[m])) colour = GetEffectColor(iconEffects_[m], colour);
    icons_[m]->SetColor(colour);
    viewer->ApplyTransform(nullptr);
    icons_[m]->Draw();
  }
  // A cross over every medal the stage seen has passed, gold first.
  for (i32 m = kMedals - 1; m >= 0 && cross_; --m) {
    if (stageSeen_ >= kMedalStage[m] || (m == 0 && Mode() == 0)) continue;
    u32 colour = 0xFFFFFFFFu;
    viewer->SetTransform(&base);
    viewer->Translate(iconX_[m], static_cast<float>(kIconY));
    if (crossEffects_[m] && UpdateSpriteEffects(&crossEffects_[m])) colour = GetEffectColor(crossEffects_[m], colour);
    cross_->SetColor(colour);
    viewer->ApplyTransform(nullptr);
    cross_->Draw();
  }
  UnbindDrawTexture();
  viewer->PopClip();
  viewer->SetTransform(&saved);
  viewer->ApplyTransform(nullptr);
}
