#include "windows/MapInterface.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLViewer.h"
#include "engine/image/GlyphEffects.h"
#include "gametext/KGEBaseTextSprite.h"
#include "gametext/KGEFont.h"
#include "gametext/KGETextParams.h"
#include "level/scene/DeveloperOverlay.h"
#include "resources/GEffects.h"
#include "resources/GameDraw.h"
#include "resources/ImageSprite.h"
#include "resources/MotionEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "ui/CaptionHintWindow.h"
#include "hud/HudPieces.h"
#include "ui/ImageButton.h"
#include "ui/InvisibleButton.h"
#include "ui/SkinTable.h"
#include "ui/SpritesWindow.h"
#include "ui/WindowManager.h"
#include "windows/AwardsWindow.h"
#include "windows/MapMedalsPanel.h"
#include "windows/MapProfile.h"
#include "windows/OptionsWindow.h"
#include "windows/PanelSkins.h"
#include "windows/ProfilesWindow.h"
#include "windows/WindowServices.h"

namespace {

constexpr u32 kMapTextFont = 3;
constexpr uintptr_t kProfileTagKind = 0x1000005;  // the item descriptions' profile object
constexpr u32 kMapFadeMs = 250;
constexpr u32 kMapFadeMode = 1;
constexpr u32 kShiftAlone = 2;  // the modifier word of Shift alone
constexpr u32 kGreetingGlow = 0x40FFFFFFu;
constexpr u32 kRegimeOutlineColor = 0xFF5B2200u;
constexpr u32 kLockFrameMs = 70;     // the lock's opening, a frame each, when its sprite has no pace of its own
constexpr u32 kChainFallMs = 600;    // the chain dropping away as the regime opens
constexpr float kChainX = 113.0f, kChainY = -14.0f;
constexpr float kLockX = 123.0f, kLockY = -14.0f;
constexpr float kRegimeCaptionX = 40.0f;
constexpr float kRegimeCaptionY = 17.0f;  // the easy caption's middle; the hard one 27 lower
constexpr float kRegimeCaptionStep = 27.0f;

const wchar* MapText(const wchar* key) { return SectionText(u"map_interface", key); }

i32 MapScreenWidth() { return GetResourceServices().screen.width; }
i32 MapScreenHeight() { return GetResourceServices().screen.height; }

// The covered moment of the regime fade: the interface the window manager
// knows refreshes its regime button and medals, then its map rebuilds.
void RegimeFadeCovered() {
  WindowManager* manager = GetWindowManager();
  auto* map = manager ? static_cast<MapInterface*>(manager->GetAnchor(kAnchorMapInterface)) : nullptr;
  if (!map) return;
  map->RefreshRegimeButton(false);
  if (MapProfile* profile = GetMapProfile(); profile && map->GetMedalsPanel())
    map->GetMedalsPanel()->Refresh(profile->GetRegime());
  if (map->GetHost()) map->GetHost()->OnRegimeSwitched();
}

void DrawTextSprite(KGETextSpriteW* text, float x, float y, u32 color, const DXLMATRIX& base) {
  DXLViewer* viewer = GetGameViewer();
  if (!text || !viewer) return;
  viewer->SetTransform(&base);
  viewer->Translate(x, y);
  viewer->ApplyTransform(nullptr);
  text->SetColor(color);
  text->Draw();
}

}  // namespace

// --- ProfileButton --------------------------------------------------------------------------------

ProfileButton::ProfileButton(GameWindow* parent, ButtonList* list, u32 id, MapProfile* profile, i32 width,
                             i32 windowWidth)
    : ActiveButton(parent, list, id), profile_(profile) {
  welcome_ = !profile || profile->GetOpenCount() < 2;
  if (!profile) return;  // nobody to greet: the last profile was deleted, the profiles window makes the next
  KGETEXTPARAMS params{};
  params.flags = kKGEOwnCopy | kKGEMarkup | kKGEWrap | kKGEAlignCenter;
  params.maxChars = 256;
  params.wrapWidth = width + 1;
  params.color = 0xFFFFFFFFu;
  params.context1 = kProfileTagKind;
  params.context2 = reinterpret_cast<uintptr_t>(profile);
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize;
  box.maxWidth = width + 1;
  box.maxHeight = 24;
  KGETextSpriteW* made = nullptr;
  KGECreateTextSpriteW(GetGameViewer(), GetGameFont(kMapTextFont), &params, &box,
                       MapText(welcome_ ? u"welcom" : u"hello"), kKGEWholeText, GetResourceServices().itemDescription,
                       &made);
  text_.reset(made);
  const i32 w = text_ ? text_->GetWidth() : 0, h = text_ ? text_->GetHeight() : 0;
  const i32 left = (windowWidth - w) / 2, top = 12 - h / 2;
  rect_ = DXLRECT{left - 2, top - 2, left + w + 2, top + h + 2};
}

ProfileButton::~ProfileButton() = default;

void ProfileButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer || !text_) return;
  state_.Update();
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  const float x = static_cast<float>(rect_.left + 2), y = static_cast<float>(rect_.top + 2);
  if ((state_.GetState() & kStateBaseMask) >= kStateHover) {
    // The glow: the text faint and spread one pixel round, then the text.
    for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
      DrawTextSprite(text_.get(), x + static_cast<float>(dx), y + static_cast<float>(dy), kGreetingGlow, base);
  }
  DrawTextSprite(text_.get(), x, y, 0xFFFFFFFFu, base);
  viewer->SetTransform(&base);
}

// --- RegimeButton ---------------------------------------------------------------------------------

RegimeButton::RegimeButton(GameWindow* parent, ButtonList* list, u32 id)
    : ActiveButton(parent, list, id), lockFrameMs_(kLockFrameMs) {
  state_.EnableFlag(true);
  for (u32 i = 0; i < 5; ++i) {
    SKINRECT frame = FrameSkinOf(skins::kRegimeIndicator, kInterfaceImage);
    frame.x += static_cast<i32>(i) * skins::kRegimeIndicator.stepX;
    frame.right += static_cast<i32>(i) * skins::kRegimeIndicator.stepX;
    AddPiece(0, 0, skins::kRegimeIndicator.frameWidth, skins::kRegimeIndicator.frameHeight, frame, &frames_[i]);
  }
  DXLOUTLINE outline{};
  DXLMakeOutline(&outline, 1, 1.0f, kRegimeOutlineColor, 32, 0);
  captions_[0].reset(MakePanelText(MapText(u"Easy_regime"), kMapTextFont, &outline));
  captions_[1].reset(MakePanelText(MapText(u"Hard_regime"), kMapTextFont, &outline));
  chain_ = MakeImage(FindHudSprite(u"map_lock_chain"), 0.0f, 0.0f);
  lock_ = MakeImage(FindHudSprite(u"lock"), 0.0f, 0.0f);
  if (lock_) {
    // The button drives the lock's frames (closed while disabled, opening
    // once at its sequence's pace): left running, the sprite's own loop on
    // the frame clock would show over the frame set.
    const SpriteFrameState& own = lock_->FrameState();
    if (own.animated && own.seq.timePerFrame != 0) lockFrameMs_ = own.seq.timePerFrame;
    lock_->SetAnimation(nullptr, false);
    lock_->SetFrame(0);
  }
  rect_ = DXLRECT{0, 0, kWidth, kHeight};
  SetCaptionColors();
}

RegimeButton::~RegimeButton() { DeleteSpriteEffects(&chainEffects_); }

void RegimeButton::SetPosition(i32 x, i32 y) { rect_ = DXLRECT{x, y, x + kWidth, y + kHeight}; }

void RegimeButton::SetFlag(bool flag, bool instant, u32 time) {
  GameButton::SetFlag(flag, instant, time);
  SetCaptionColors();
}

void RegimeButton::SetCaptionColors() {
  const bool hard = state_.GetFlag();
  captionColor_[0] = hard ? kEasyColor : kChosenColor;
  captionColor_[1] = hard ? kChosenColor : kEasyColor;
}

void RegimeButton::Show(bool on, bool instant, u32 time) {
  if (on == enabled_) return;
  enabled_ = on;
  GameButton::Show(on, true, time);
  lockStart_ = GameClock();
  DeleteSpriteEffects(&chainEffects_);
  chainFlag_ = lockFlag_ = false;
  if (!on) {
    delete GetHintWindow();
    const DXLRECT anchor{0, 0, 0, 0};
    new CaptionHintWindow(this, SectionText(u"main_screen", u"hard_hint"), false, nullptr, 0, 0, &anchor, 1, 0, 0);
  } else {
    delete GetHintWindow();
    if (!instant) {
      // The chain drops and fades; the lock plays its opening once.
      chainFlag_ = chain_ != nullptr;
      lockFlag_ = lock_ != nullptr;
      AttachSpriteEffect(&chainEffects_, new SEffect_Pos(0.0f, 0.0f, 0.0f, 40.0f, kChainFallMs, true, 0));
      AttachSpriteEffect(&chainEffects_, new SEffect_Alpha(1.0f, 0.0f, kChainFallMs, true, 0));
    }
  }
  SetCaptionColors();
}

u32 RegimeButton::GetIndicatorFrame() const {
  if (!enabled_) return 0;
  return 1 + (state_.GetFlag() ? 2u : 0u) + ((state_.GetState() & kStateBaseMask) > kStateNormal ? 1u : 0u);
}

bool RegimeButton::IsChainDrawn() const { return chain_ && (!enabled_ || chainFlag_); }
bool RegimeButton::IsLockDrawn() const { return lock_ && (!enabled_ || lockFlag_); }

void RegimeButton::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  state_.Update();
  DXLMATRIX base{};
  viewer->GetTransform(&base);
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  DXLMATRIX local{};
  viewer->GetTransform(&local);
  viewer->ApplyTransform(nullptr);
  const i32 indicatorTop = (kHeight - skins::kRegimeIndicator.frameHeight) / 2;
  viewer->Translate(6.0f, static_cast<float>(indicatorTop));
  viewer->ApplyTransform(nullptr);
  DrawPieces(&frames_[GetIndicatorFrame()]);
  UnbindDrawTexture();
  for (u32 i = 0; i < 2; ++i) {
    KGETextSpriteW* t = captions_[i].get();
    if (!t) continue;
    const float middle = kRegimeCaptionY + kRegimeCaptionStep * static_cast<float>(i);
    DrawTextSprite(t, kRegimeCaptionX, std::floor(middle - static_cast<float>(t->GetHeight()) / 2), captionColor_[i],
                   local);
  }
  if (chain_) {
    const bool running = UpdateSpriteEffects(&chainEffects_);
    if (enabled_ && chainFlag_ && !running) chainFlag_ = false;
    if (!enabled_ || chainFlag_) {
      const float dy = chainEffects_ ? chainEffects_->posY : 0.0f;
      chain_->SetColor(enabled_ ? GetEffectColor(chainEffects_, 0xFFFFFFFFu) : 0xFFFFFFFFu);
      DrawImageAt(chain_.get(), kChainX, kChainY + dy, local);
    }
  }
  if (lock_ && (!enabled_ || lockFlag_)) {
    // Closed while disabled; opening frame by frame once, then gone.
    Sprite* sprite = lock_->GetSprite();
    const u32 last = sprite ? static_cast<u32>(std::max(sprite->GetFrameCount() - 1, 0)) : 0;
    const u32 frame = enabled_ ? (GameClock() - lockStart_) / lockFrameMs_ : 0;
    if (enabled_ && frame >= last) {
      lockFlag_ = false;
    } else {
      lock_->SetFrame(static_cast<i32>(frame));
      DrawImageAt(lock_.get(), kLockX, kLockY, local);
    }
  }
  viewer->SetTransform(&base);
}

// --- MapInterface ---------------------------------------------------------------------------------

MapInterface::MapInterface(MapInterfaceHost* host) : GameWindow(kMapInterfaceId, false), host_(host) {
  medals_ = std::make_unique<MapMedalsPanel>(0, 0, 0, 0, 0);
  Layout();
  if (MapProfile* profile = GetMapProfile()) medals_->Refresh(profile->GetRegime());
  if (manager_) manager_->SetAnchor(kAnchorMapInterface, this);
}

MapInterface::~MapInterface() {
  if (manager_ && manager_->GetAnchor(kAnchorMapInterface) == this) manager_->SetAnchor(kAnchorMapInterface, nullptr);
}

// The frame: the bands behind the corner buttons (their rounded ends
// inwards), studs where they end, the thin edges down the screen's sides
// between them, and the plate behind the greeting.
void MapInterface::BuildFrame(i32 w, i32 h) {
  ClearQuads();
  const SKINRECT band = SkinOf(skins::kMapBand, kInterfaceImage);
  const SKINRECT plate = SkinOf(skins::kMapPlate, kInterfaceImage);
  const SKINRECT edge = SkinOf(skins::kMapEdge, kInterfaceImage);
  const SKINRECT corner = SkinOf(skins::kMapCorner, kInterfaceImage);
  const i32 bandH = skins::kMapBand.frameHeight;
  AddRow(0, 0, kSideBand, bandH, band);
  AddRow(w - kSideBand, 0, kSideBand, bandH, band);
  AddRow(0, h - bandH, kSideBand, bandH, band);
  AddRow(w - kSideBand, h - bandH, kSideBand, bandH, band);
  const i32 edgeW = skins::kMapEdge.frameWidth;
  if (h - 2 * bandH > 0) {
    AddPiece(0, bandH, edgeW, h - 2 * bandH, edge);
    AddPiece(w - edgeW, bandH, edgeW, h - 2 * bandH, edge);
  }
  const i32 cw = skins::kMapCorner.frameWidth, ch = skins::kMapCorner.frameHeight;
  AddPiece(kSideBand - cw / 2, (bandH - ch) / 2, cw, ch, corner);
  AddPiece(w - kSideBand - cw / 2, (bandH - ch) / 2, cw, ch, corner);
  AddPiece(kSideBand - cw / 2, h - bandH + (bandH - ch) / 2, cw, ch, corner);
  AddPiece(w - kSideBand - cw / 2, h - bandH + (bandH - ch) / 2, cw, ch, corner);
  DXLRECT panels[kEdgePanels];
  GetEdgePanels(w, h, panels);
  const DXLRECT& greeting = panels[5];
  AddStretchedFrame(greeting.left, greeting.top, greeting.right - greeting.left, greeting.bottom - greeting.top,
                    plate);
}

void MapInterface::GetEdgePanels(i32 w, i32 h, DXLRECT (&out)[kEdgePanels]) {
  const i32 bandH = skins::kMapBand.frameHeight, stud = kSideBand + skins::kMapCorner.frameWidth / 2;
  const i32 plateX = (w - kMedalsWidth) / 2 - 14, plateY = h - MapMedalsPanel::kHeight - 8;
  const i32 greetingW = std::max(w - 2 * kSideBand + skins::kMapCorner.frameWidth,
                                 skins::kMapPlate.left + skins::kMapPlate.right);
  out[0] = DXLRECT{0, h - bandH, stud, h};
  out[1] = DXLRECT{plateX, plateY, plateX + kMedalsWidth + 8 + 20, plateY + MapMedalsPanel::kHeight + 8 + 19};
  out[2] = DXLRECT{w - stud, h - bandH, w, h};
  out[3] = DXLRECT{0, 0, stud, bandH};
  out[4] = DXLRECT{w - stud, 0, w, bandH};
  out[5] = DXLRECT{(w - greetingW) / 2, -skins::kMapPlate.top, (w - greetingW) / 2 + greetingW, kGreetingBand + 6};
}

void MapInterface::Layout() {
  const i32 w = MapScreenWidth(), h = MapScreenHeight();
  rect_ = DXLRECT{0, 0, w, h};
  BuildFrame(w, h);
  CreateProfileButton();
  DXLRECT panels[kEdgePanels];
  GetEdgePanels(w, h, panels);
  const DXLRECT& plate = panels[1];
  const i32 panelX = plate.left + 10, panelY = plate.top + 8;
  medals_->SetDrawPosition(static_cast<float>(panelX), static_cast<float>(panelY));
  AddStretchedFrame(plate.left, plate.top, plate.right - plate.left, plate.bottom - plate.top,
                    SkinOf(skins::kMapPlate, kInterfaceImage));
  if (!medalsArea_)
    medalsArea_ = new InvisibleButton(this, &controls_, kMapMedalsCommand, panelX + 4, panelY + 3, kMedalsWidth,
                                      kMedalsHeight);
  else
    medalsArea_->SetPosition(panelX + 4, panelY + 3);
  AddOrMoveButton(kMapBackCommand, u"back", 4, 2);
  AddOrMoveButton(kMapOptionsCommand, u"options", w - 173, 2);
  AddOrMoveButton(kMapAwardsCommand, u"awards", 4, h - 66);
  if (!regime_) {
    regime_ = new RegimeButton(this, &controls_, kMapRegimeCommand);
    RefreshRegimeButton(false);
  }
  regime_->SetPosition(w - 175, h - 65);
}

void MapInterface::AddOrMoveButton(u32 command, const wchar* key, i32 x, i32 y) {
  if (auto* button = static_cast<ImageButton*>(GetButton(command))) {
    button->SetPosition(x, y);
    return;
  }
  SpritesWindow::CreateButton(this, &controls_, command, x, y, nullptr, kButtonWidth, MapText(key));
}

GameButton* MapInterface::GetButton(u32 command) const {
  if (command != kMapBackCommand && command != kMapOptionsCommand && command != kMapAwardsCommand) return nullptr;
  return FindControl(command, 0);
}

void MapInterface::CreateProfileButton() {
  delete greeting_;
  greeting_ = new ProfileButton(this, &controls_, kMapGreetingCommand, GetMapProfile(), MapScreenWidth() - 370,
                                MapScreenWidth());
}

void MapInterface::RefreshRegimeButton(bool animate) {
  if (!regime_) return;
  MapProfile* profile = GetMapProfile();
  regime_->SetFlag(profile && profile->GetRegime() == 1, true, 0);
  regime_->Show(profile && profile->IsHardUnlocked(), !animate, 0);
}

bool MapInterface::IsOverButtons(i32 x, i32 y) const {
  kis::IntPoint p{};
  ScreenToClient(&p, x, y);
  for (GameButton* b : {GetButton(kMapBackCommand), GetButton(kMapOptionsCommand),
                        static_cast<GameButton*>(greeting_)})
    if (b && b->HitTest(p.x, p.y)) return true;
  return false;
}

void MapInterface::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLMATRIX saved{};
  viewer->GetTransform(&saved);
  viewer->Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  viewer->ApplyTransform(nullptr);
  // The buttons are drawn under this transform too: it holds the game
  // area's place on a screen wider than the game.
  viewer->GetTransform(&transform_);
  DrawPieces();
  UnbindDrawTexture();
  viewer->SetTransform(&saved);
  medals_->Draw();
  DrawControls();
  viewer->SetTransform(&saved);
  viewer->ApplyTransform(nullptr);
}

// The bands are measured in the interface's own coordinates, as its
// buttons and the medals area are: the same as the screen's while it covers
// the screen from its corner, and still right were it placed elsewhere.
bool MapInterface::HitTest(i32 sx, i32 sy) const {
  const i32 w = MapScreenWidth(), h = MapScreenHeight();
  kis::IntPoint p{};
  ScreenToClient(&p, sx, sy);
  const i32 x = p.x, y = p.y;
  if (medalsArea_ && medalsArea_->HitTest(x, y)) return true;
  if (x < 0 || y < 0 || x >= w || y >= h) return false;
  if (y > kTopBand && y < h - kBottomBand) return false;
  if (x >= kSideBand && x < w - kSideBand && y >= kGreetingBand) return false;
  return true;
}

void MapInterface::OnMouseUp(i32 x, i32 y, u32 button, u32 keys) {
  lastKeys_ = keys;
  GameWindow::OnMouseUp(x, y, button, keys);
}

u32 MapInterface::OnCommand(GameButton* control) {
  WindowServices& s = GetWindowServices();
  switch (control->GetId()) {
    case kMapGreetingCommand:
      if (s.profileRoster) {
        MapInterfaceHost* host = host_;
        new ProfilesWindow(
            s.profileRoster, [host] { if (host) host->OnProfileChosen(); },
            [host] { if (host) host->OnCurrentProfileDeleted(); },
            [host] { if (host) host->OnCurrentProfileReplaced(); });
      }
      return kCommandRelease;
    case kMapOptionsCommand:
      new OptionsWindow(s.optionsHooks);
      return kCommandRelease;
    // Neither fade starts over a running screen effect: a second one would
    // replace the first before its covered moment (the screen change, the
    // map rebuilt for the regime), and a regime switched twice would be
    // shown once.
    case kMapBackCommand:
      if (!GetGameEffect())
        RunGameEffect(new GEffect_Regime(kGameStateMainScreen, kMapFadeMs, kMapFadeMs, 0, kMapFadeMode));
      return kCommandRelease;
    case kMapAwardsCommand:
    case kMapMedalsCommand: {
      const DeveloperOverlay* developer = GetDeveloperOverlay();
      const bool cheats = developer && developer->IsEnabled();
      OpenAwards(cheats && lastKeys_ == kShiftAlone);
      return kCommandRelease;
    }
    case kMapRegimeCommand: {
      MapProfile* profile = GetMapProfile();
      if (!profile || GetGameEffect()) return kCommandRelease;
      profile->SetRegime((profile->GetRegime() + 1) % 2);
      RunGameEffect(new GEffect_ShowHide(&RegimeFadeCovered, kMapFadeMs, kMapFadeMs, 0, kMapFadeMode, kHookAll));
      return kCommandRelease;
    }
    default: return kCommandNothing;
  }
}
