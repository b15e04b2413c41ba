#include "windows/AwardsWindow.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/DXLMouse.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/StandardSounds.h"
#include "ui/CaptionHintWindow.h"
#include "ui/ControlState.h"
#include "hud/HudPieces.h"
#include "ui/ItemTagKinds.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/AwardNotice.h"
#include "windows/GameWindowManager.h"
#include "windows/MapMedalsPanel.h"
#include "windows/PanelSkins.h"
#include "windows/WindowServices.h"

namespace {

constexpr u32 kTierFlashUp = 300, kTierFlashDown = 300;            // a small award's tier flash
constexpr u32 kBigFadeIn = 250, kBigWhiteUp = 250, kBigWhiteDown = 500;  // a big award's show
constexpr u32 kNotWonColor = 0xFF505050u;
constexpr i32 kBigPlaces[kRecordAwardCount][2] = {{32, 30}, {102, 38}, {391, 20}, {465, 35},
                                                   {19, 136}, {80, 132}, {389, 132}, {454, 136}};
constexpr i32 kSmallWidth = 50, kSmallHeight = 62;
constexpr i32 kBigSide = 52;  // the places above stand 61 pixels apart at the closest
constexpr i32 kTotalWidth = 188;  // its height follows from its picture
constexpr float kHoverTint = 48.0f;  // added per channel to a won tier's plate while hovered
constexpr i32 kSmallRowY = 193;  // below the lower big awards' strip, on the panel
constexpr i32 kSmallBarY = 37;   // the progress bar under the tier plate
constexpr i32 kSmallIconSide = 32;  // the medal inside the 48 x 34 tier plate

// The hover tint of a control state, faded with its hover fade.
float HoverTint(const ControlState& state) {
  const auto tint = [](u32 s) { return (s & kStateBaseMask) >= kStateHover ? kHoverTint : 0.0f; };
  const float now = tint(state.GetState());
  if (!state.IsFading()) return now;
  const float before = tint(state.GetPrevious().state);
  return before + (now - before) * state.GetProgress();
}


const wchar* WindowText(const wchar* key) { return SectionText(u"awards_window", key); }
const wchar* AwardText(const wchar* key) { return SectionText(u"awards", key); }

void PlayAwardSound() {
  SoundSettings& s = GetSoundSettings();
  s.PlaySound(GetStandardSound(kSoundAward), kSoundGroupScreen, 0);
}

u32 LerpColor(u32 a, u32 b, float t) {
  u32 out = 0;
  for (u32 shift = 0; shift < 32; shift += 8) {
    const float ca = static_cast<float>((a >> shift) & 0xFF), cb = static_cast<float>((b >> shift) & 0xFF);
    out |= static_cast<u32>(std::lround(ca + (cb - ca) * t)) << shift;
  }
  return out;
}

float Part(u32 t, u32 length) { return length == 0 ? 1.0f : std::min(static_cast<float>(t) / static_cast<float>(length), 1.0f); }

i32 Threshold(const TIEREDAWARD& a, i32 t) { return t <= 0 ? a.startValue : a.tiers[std::min(t, 3) - 1]; }

const TIEREDAWARD* Tiered(u32 i) {
  const AwardTable* table = GetAwardTable();
  return table ? &table->GetTiered(i) : nullptr;
}

// A picture scaled into w x h at the button's place.
std::unique_ptr<ImageSprite> Picture(Sprite* sprite, i32 w, i32 h) {
  std::unique_ptr<ImageSprite> image = sprite ? MakeImage(sprite, 0.0f, 0.0f) : nullptr;
  const i32 fw = sprite ? sprite->GetFrameWidth() : 0, fh = sprite ? sprite->GetFrameHeight() : 0;
  if (image && fw > 0 && fh > 0)
    image->SetScale(static_cast<float>(w) / static_cast<float>(fw), static_cast<float>(h) / static_cast<float>(fh));
  return image;
}

void DrawQuadRect(float x, float y, float w, float h, u32 color) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || w <= 0 || h <= 0) return;
  UnbindDrawTexture();
  DXLQUAD q{};
  const float xs[4] = {x, x + w, x + w, x}, ys[4] = {y, y, y + h, y + h};  // a fan from the top left
  for (i32 i = 0; i < 4; ++i) {
    q.v[i].x = xs[i];
    q.v[i].y = ys[i];
    q.v[i].color = color;
  }
  DrawQuad(&q);
}

}  // namespace

float SmallAwardFraction(const TIEREDAWARD& award, i32 value, i32 tier) {
  if (tier >= 3) return 1.0f;
  const i64 lo = Threshold(award, tier), hi = Threshold(award, tier + 1);
  if (hi <= lo) return 1.0f;  // equal thresholds: the tier is full
  const double f = static_cast<double>(static_cast<i64>(value) - lo) / static_cast<double>(hi - lo);
  return static_cast<float>(std::clamp(f, 0.0, 1.0));
}

// --- SmallAwardButton -----------------------------------------------------------------------------

SmallAwardButton::SmallAwardButton(AwardsWindow* window, u32 index, i32 oldValue, i32 newValue, u32* start)
    : ActiveButton(window, &window->Controls(), kAwardSmallCommand), index_(index), oldValue_(oldValue),
      newValue_(newValue) {
  const AwardTable* table = GetAwardTable();
  const TIEREDAWARD* award = Tiered(index);
  oldTier_ = table ? table->GetTier(index, oldValue) : 0;
  newTier_ = table ? table->GetTier(index, newValue) : 0;
  shownTier_ = oldTier_;
  bar_ = award ? SmallAwardFraction(*award, oldValue, oldTier_) : 0.0f;
  const i32 x = 57 * static_cast<i32>(index) + 19, y = window->GetPanelTop() + kSmallRowY;
  SetRect(DXLRECT{x, y, x + kSmallWidth, y + kSmallHeight});
  if (award) icon_ = Picture(award->icon, kSmallIconSide, kSmallIconSide);
  // The steps: a tier rise flashes at t; the bar runs on from t + delay.
  u32 t = *start, delay = 0;
  i32 tier = oldTier_, value = oldValue;
  while (award && steps_.size() < 8) {
    SmallAwardStep s;
    const bool flash = newTier_ > tier;
    if (flash) {
      s.flashAt = t;
      s.tier = ++tier;
    }
    const bool bar = tier < 3 && value < newValue;
    if (bar) {
      const i32 target = std::min(Threshold(*award, tier + 1), newValue);
      s.from = SmallAwardFraction(*award, value, tier);
      s.to = target >= Threshold(*award, tier + 1) ? 1.0f : SmallAwardFraction(*award, target, tier);
      s.barStart = t + delay;
      s.barEnd = s.barStart + std::max(static_cast<u32>((s.to - s.from) * 2000.0f), GameTimeStep());
      value = target;
    }
    if (!flash && !bar) break;
    if (!flash) s.tier = tier;
    steps_.push_back(s);
    end_ = bar ? s.barEnd : s.flashAt + kTierFlashUp + kTierFlashDown;
    if (!bar) break;
    t = s.barEnd;
    delay = kAwardsStepPause;
  }
  if (!steps_.empty()) *start = end_;
  done_ = steps_.empty();
  if (award) {
    wchar body[] = u"[SAWARD D]";
    new CaptionHintWindow(this, AwardText(award->name), true, body, kItemTagSmallAward,
                          reinterpret_cast<uintptr_t>(award), nullptr, 1, 0, 0);
  }
}

bool SmallAwardButton::Update(u32 now) {
  if (done_) return false;
  const TIEREDAWARD* award = Tiered(index_);
  u32 flashes = 0;
  shownTier_ = oldTier_;
  bar_ = award ? SmallAwardFraction(*award, oldValue_, oldTier_) : 0.0f;
  flash_ = 0;
  for (const SmallAwardStep& s : steps_) {
    if (s.flashAt && now >= s.flashAt) {
      ++flashes;
      shownTier_ = s.tier;
      bar_ = s.from;
      const u32 t = now - s.flashAt;
      flash_ = t < kTierFlashUp ? LerpColor(0xFF101010u, 0xFFC0C0C0u, Part(t, kTierFlashUp))
                            : t < kTierFlashUp + kTierFlashDown ? LerpColor(0xFFC0C0C0u, 0xFF000000u, Part(t - kTierFlashUp, kTierFlashDown))
                                                        : 0;
    }
    if (s.barEnd > s.barStart && now >= s.barStart)
      bar_ = s.from + (s.to - s.from) * Part(now - s.barStart, s.barEnd - s.barStart);
  }
  for (; flashes_ < flashes; ++flashes_) PlayAwardSound();
  if (now >= end_) {
    Complete();
    return false;
  }
  return true;
}

void SmallAwardButton::Complete() {
  done_ = true;
  const TIEREDAWARD* award = Tiered(index_);
  shownTier_ = newTier_;
  bar_ = award ? SmallAwardFraction(*award, newValue_, newTier_) : 0.0f;
  flash_ = 0;
}

void SmallAwardButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  const float x = static_cast<float>(rect_.left), y = static_cast<float>(rect_.top);
  // The tier plate cut from the interface image; the flash and, on a won
  // tier, the hover tint light it up (added over it).
  if (DXLTexture* sheet = GetResourceServices().interfaceImage) {
    const SkinPiece& p = skins::kAwardTier;
    const i32 tier = std::clamp(shownTier_, 0, 3);
    DXLQUAD q;
    sheet->MakeQuadPartInt(&q, rect_.left + 1, rect_.top, p.x, p.y + tier * p.stepY, p.frameWidth, p.frameHeight,
                           0xFFFFFFFFu);
    viewer->ApplyTransform(nullptr);
    BindDrawTexture(sheet);
    DrawQuad(&q);
    const float hover = tier >= 1 ? HoverTint(state_) : 0.0f;
    u32 add = 0;
    for (u32 shift = 0; shift < 24; shift += 8) {
      const float c = static_cast<float>((flash_ >> shift) & 0xFF) + hover;
      add |= static_cast<u32>(std::min(std::lround(c), 255L)) << shift;
    }
    if (add != 0) {
      DXLDRAWSTATE light = sheet->GetDrawState();
      light.blendMode = kBlendAdd;
      const DXLDRAWSTATE* previous = SetBlendState(&light);
      for (DXLVERTEX& v : q.v) v.color = 0xFF000000u | add;
      DrawQuad(&q);
      SetBlendState(previous);
    }
    UnbindDrawTexture();
  }
  if (icon_) {
    icon_->SetColor(shownTier_ > 0 ? 0xFFFFFFFFu : 0xFF909090u);
    icon_->SetScale(icon_->GetScaleX(), icon_->GetScaleY());
    DrawImageAt(icon_.get(), x + 1 + (48 - kSmallIconSide) / 2.0f, y + 1, base);
    viewer->ApplyTransform(nullptr);  // the bar under the window's transform, not the icon's
  }
  // The progress bar under it.
  const float barX = x + (kSmallWidth - kAwardsBarLength) / 2.0f, barY = y + kSmallBarY;
  DrawQuadRect(barX, barY, static_cast<float>(kAwardsBarLength), 8, 0xFF3B2A1Fu);
  DrawQuadRect(barX + 1, barY + 1, (kAwardsBarLength - 2) * bar_, 6, shownTier_ >= 3 ? 0xFFF2B92Eu : 0xFF7CC24Au);
  viewer->SetTransform(&base);
}

// --- BigAwardButton -------------------------------------------------------------------------------

BigAwardButton::BigAwardButton(AwardsWindow* window, u32 index, bool wasWon, bool isWon, u32* start)
    : ActiveButton(window, &window->Controls(), index == kRecordAwardCount ? kAwardTotalCommand : kAwardBigCommand),
      index_(index), wasWon_(wasWon), isWon_(isWon) {
  const AwardTable* table = GetAwardTable();
  const i32 top = window->GetPanelTop();
  const bool fresh = isWon && !wasWon;
  if (IsTotal()) {
    Sprite* total = table ? table->GetTotalPicture() : nullptr;
    if (total) total->Init();
    // 188 wide, as high as its picture at that width.
    const i32 w = total && total->IsLoaded() ? total->GetFrameWidth() : 0;
    const i32 height = w > 0 ? static_cast<i32>(std::lround(static_cast<double>(total->GetFrameHeight()) *
                                                             kTotalWidth / w))
                             : 0;
    SetRect(DXLRECT{176, top + 12, 176 + kTotalWidth, top + 12 + height});
    if (height > 0) picture_ = Picture(total, kTotalWidth, height);
    waiting_ = animating_ = fresh;
    new CaptionHintWindow(this, AwardText(u"final"), true, AwardText(u"final_desc"), kItemTagFinalAward, 0, nullptr, 1,
                          0, 0);
  } else {
    const i32 x = kBigPlaces[index][0], y = top + kBigPlaces[index][1];
    SetRect(DXLRECT{x, y, x + kBigSide, y + kBigSide});
    if (table) {
      const RECORDAWARD& r = table->GetRecord(index);
      picture_ = Picture(r.icon, kBigSide, kBigSide);
      wchar key[kAwardNameSize + 8] = {};
      u32 n = 0;
      for (; n < kAwardNameSize && r.name[n]; ++n) key[n] = r.name[n];
      for (const wchar* s = u"_desc"; *s; ++s) key[n++] = *s;
      new CaptionHintWindow(this, AwardText(r.name), true, AwardText(key), kItemTagBigAward,
                            reinterpret_cast<uintptr_t>(&r), nullptr, 1, 0, 0);
    }
    if (fresh) {
      start_ = *start;
      *start += kAwardsBigStep;
      animating_ = true;
    }
  }
  color_ = animating_ ? 0x00FFFFFFu : isWon_ ? 0xFFFFFFFFu : kNotWonColor;
}

bool BigAwardButton::Update(u32 now) {
  if (!animating_ || waiting_) return animating_;
  if (now < start_) {
    color_ = 0x00FFFFFFu;
    return true;
  }
  const u32 t = now - start_;
  color_ = (static_cast<u32>(std::lround(Part(t, kBigFadeIn) * 255.0f)) << 24) | 0x00FFFFFFu;
  if (t >= kBigFadeIn) {
    if (!sounded_) {
      sounded_ = true;
      PlayAwardSound();
    }
    const u32 f = t - kBigFadeIn;
    const float a = f < kBigWhiteUp ? Part(f, kBigWhiteUp) : 1.0f - Part(f - kBigWhiteUp, kBigWhiteDown);
    flash_ = (static_cast<u32>(std::lround(a * 255.0f)) << 24) | 0x00FFFFFFu;
  }
  if (t >= kBigFadeIn + kBigWhiteUp + kBigWhiteDown) {
    Complete();
    return false;
  }
  return true;
}

void BigAwardButton::Complete() {
  animating_ = waiting_ = false;
  color_ = isWon_ ? 0xFFFFFFFFu : kNotWonColor;
  flash_ = 0x00FFFFFFu;
}

void BigAwardButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !picture_) return;
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  picture_->SetColor(color_);
  DrawImageAt(picture_.get(), static_cast<float>(rect_.left), static_cast<float>(rect_.top), base);
  if (flash_ >> 24) {
    DrawQuadRect(static_cast<float>(rect_.left), static_cast<float>(rect_.top),
                 static_cast<float>(rect_.right - rect_.left), static_cast<float>(rect_.bottom - rect_.top),
                 (((flash_ >> 25) << 24) | 0x00FFFFFFu));
  }
  viewer->SetTransform(&base);
}

// --- AwardsWindow ---------------------------------------------------------------------------------

AwardsWindow::AwardsWindow(AwardsProfile* profile, bool testMode)
    : SpritesWindow(kAwardsWindowId, true, true), openedAt_(GameClock()) {
  // The one open before is still the manager's awards anchor (this one
  // takes it once made).
  if (auto* previous = static_cast<AwardsWindow*>(manager_ ? manager_->GetAnchor(kAnchorAwards) : nullptr))
    previous->Close();
  AWARDCOUNTERS oldValues{}, newValues{};
  if (profile && profile->GetShownAwards()) oldValues = *profile->GetShownAwards();
  if (profile && profile->GetAwardCounters()) newValues = *profile->GetAwardCounters();
  const AwardTable* table = GetAwardTable();
  if (testMode && table) {
    std::mt19937 rng(openedAt_ + 1);
    const auto upTo = [&rng](i64 top) {
      return top <= 0 ? 0 : static_cast<i32>(std::uniform_int_distribution<i64>(0, top)(rng));
    };
    for (u32 i = 0; i < kTieredAwardCount; ++i) newValues.tiered[i] = upTo(table->GetTiered(i).tiers[2] * 12LL / 10);
    for (u32 i = 0; i < kRecordAwardCount; ++i) newValues.records[i] = upTo(table->GetRecord(i).threshold * 2LL);
    newValues.finalGiven = upTo(1);
  } else if (profile && profile->GetShownAwards()) {
    *profile->GetShownAwards() = newValues;
    profile->SaveProfile();
  }

  AddTopRow(kAwardsWidth);
  i32 w = 0;
  GetSize(&w, &panelTop_);
  panelTop_ -= 2;
  const i32 panelHeight = 244, medalsHeight = 2 * 44 + 8;
  AddStretchedFrame(0, panelTop_, kAwardsWidth, panelHeight + medalsHeight,
                    SkinOf(skins::kDialogMessage, GetResourceServices().interfaceImage));
  AddBodyFrame(1);
  if (WindowManager* m = GetWindowManager())
    if (Sprite* panel = m->GetInterfaceSprite(u"awards_panel")) panel_ = MakeImage(panel, 0.0f, 0.0f);
  for (u32 i = 0; i < 2; ++i) {
    medals_[i] = std::make_unique<MapMedalsPanel>(0, 0, 0, 0, 1);
    medals_[i]->SetCaption(WindowText(i == 0 ? u"Easy" : u"Hard"));
    medals_[i]->Refresh(i);
    medals_[i]->SetDrawPosition(12.0f, static_cast<float>(panelTop_ + panelHeight + 2 + 44 * static_cast<i32>(i)));
  }
  u32 start = openedAt_ + kAwardsFirstStart;
  for (u32 i = 0; i < kRecordAwardCount; ++i) {
    const i32 goal = table ? table->GetRecord(i).threshold : 0;
    big_[i] = new BigAwardButton(this, i, table && oldValues.records[i] >= goal, table && newValues.records[i] >= goal,
                                 &start);
  }
  for (u32 i = 0; i < kTieredAwardCount; ++i)
    small_[i] = new SmallAwardButton(this, i, oldValues.tiered[i], newValues.tiered[i], &start);
  big_[kRecordAwardCount] =
      new BigAwardButton(this, kRecordAwardCount, oldValues.finalGiven != 0, newValues.finalGiven != 0, &start);
  SetCaption(WindowText(u"caption"));
  AddButton(kAwardsClose, WindowText(u"close"), 1, 1, 0);
  if (manager_) manager_->SetAnchor(kAnchorAwards, this);
  Show(0, true);
  // The award notices still shown leave: the window tells it all.
  if (AwardNoticeQueue* notices = GetAwardNotices()) notices->CloseAll();
}

AwardsWindow::~AwardsWindow() {
  if (manager_ && manager_->GetAnchor(kAnchorAwards) == this) manager_->SetAnchor(kAnchorAwards, nullptr);
  Unregister();  // no longer found by its id while its parts go
}

u32 AwardsWindow::GetPending() const {
  u32 n = 0;
  const u32 now = GameClock();
  for (SmallAwardButton* s : small_)
    if (s && now < s->GetEnd() && !s->Steps().empty()) ++n;
  for (BigAwardButton* b : big_)
    if (b && b->IsAnimating() && !b->IsWaiting()) ++n;
  return n;
}

void AwardsWindow::Step() {
  const u32 now = GameClock();
  u32 pending = 0;
  for (BigAwardButton* b : big_)
    if (b && b->Update(now) && !b->IsWaiting()) ++pending;
  for (SmallAwardButton* s : small_)
    if (s && s->Update(now)) ++pending;
  BigAwardButton* total = big_[kRecordAwardCount];
  if (total && total->IsWaiting() && pending == 0) total->StartAt(now + kAwardsTotalWait);
}

void AwardsWindow::CompleteAll() {
  for (SmallAwardButton* s : small_)
    if (s) s->Complete();
  for (BigAwardButton* b : big_)
    if (b) b->Complete();
}

bool AwardsWindow::OnMouseDown(i32 x, i32 y, u32 button, u32 keys) {
  if (button == kMouseLeft) CompleteAll();
  return SpritesWindow::OnMouseDown(x, y, button, keys);
}

bool AwardsWindow::OnDoubleClick(i32 x, i32 y, u32 button) {
  CompleteAll();
  return SpritesWindow::OnDoubleClick(x, y, button);
}

bool AwardsWindow::OnKeyDown(u16 key, u32 extra) {
  if (key == 13 || key == 27) {
    CompleteAll();
    Close();
    return true;
  }
  return SpritesWindow::OnKeyDown(key, extra);
}

u32 AwardsWindow::OnCommand(GameButton* control) {
  if (control && control->GetId() == kAwardsClose) {
    Close();
    return 2;
  }
  return SpritesWindow::OnCommand(control);
}

bool AwardsWindow::Update() {
  Step();
  return SpritesWindow::Update();
}

void AwardsWindow::DrawBackground() {
  SpritesWindow::DrawBackground();
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  if (panel_) DrawImageAt(panel_.get(), 0.0f, static_cast<float>(panelTop_), base);
  for (const auto& m : medals_)
    if (m) m->Draw();
  viewer->SetTransform(&base);
}

// --- Opening ---------------------------------------------------------------------------------------

AwardsWindow* OpenAwards(bool testMode) { return new AwardsWindow(GetWindowServices().awardsProfile, testMode); }
