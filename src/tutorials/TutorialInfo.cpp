#include "tutorials/TutorialInfo.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/DXLViewer.h"
#include "gametext/KGETextParams.h"
#include "hud/ActiveScreenSprite.h"
#include "hud/ScreenSpriteHost.h"
#include "hud/ScreenSpriteList.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/GameDraw.h"
#include "resources/MotionEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/HIText.h"
#include "ui/HintTextParams.h"
#include "ui/NarrowButton.h"
#include "ui/SkinTable.h"
#include "ui/WindowManager.h"
#include "windows/LevelPanel.h"
#include "windows/MoneyWindow.h"
#include "resources/Sprite.h"

namespace {

constexpr u32 kInfoFont = 3;
constexpr u32 kInfoFadeIn = 120;
constexpr u32 kInfoFadeOut = 150;
constexpr float kInfoRise = 5.0f;
constexpr float kInfoShrink = 0.8f;
constexpr i32 kClickGap = 4;
// The frame's overhang past the note's rectangle, as BuildFrame draws it.
constexpr i32 kFrameLeft = 3;
constexpr i32 kFrameTop = 1;
constexpr i32 kFrameRight = 3;
constexpr i32 kFrameBottom = 6;
constexpr i32 kBarGap = 2;       // free pixels between a note's frame and a bar
constexpr i32 kAsideGap = 24;    // kept free round a bare target point
constexpr float kAreaGap = 2.0f;  // free pixels between a note's frame and its target

}  // namespace

// --- TutorialInfo -----------------------------------------------------------------------------------------

TutorialInfo::TutorialInfo(TutorialLayer* layer) : layer_(layer) {
  margins_ = DXLRECT{18, 14, 18, 18};
  if (layer_) layer_->Texts().Add(this);
}

TutorialInfo::~TutorialInfo() {
  if (layer_) layer_->Texts().Remove(this);
  DeleteSpriteEffects(&fade_);
  delete target_;
}

void TutorialInfo::SetState(u32 state) {
  if (state <= state_) return;
  state_ = state;
  DeleteSpriteEffects(&fade_);
  if (state == kLayerShowing) {
    AttachSpriteEffect(&fade_, new SEffect_Alpha(0.0f, 1.0f, kInfoFadeIn, true, 0));
    AttachSpriteEffect(&fade_, new SEffect_Pos(0.0f, kInfoRise, 0.0f, 0.0f, kInfoFadeIn, true, 0));
  } else if (state == kLayerHiding) {
    AttachSpriteEffect(&fade_, new SEffect_Alpha(1.0f, 0.0f, kInfoFadeOut, true, 0));
    AttachSpriteEffect(&fade_, new SEffect_Scale(1.0f, kInfoShrink, kInfoFadeOut, true, 0));
  }
}

void TutorialInfo::OnLayerUpdate() {
  if (state_ == kLayerShowing && !fade_) state_ = kLayerShown;
}

void TutorialInfo::SetTarget(TutorialTarget* target, bool centred, float distance) {
  if (target != target_) delete target_;
  target_ = target;
  centred_ = centred ? 1 : 0;
  distance_ = distance;
  UpdateTarget();
}

void TutorialInfo::UpdateTarget() {
  if (!target_) return;
  target_->UpdatePosition();
  Place();
}

// Where a note may stand, frame and all: the game area less the level's bars
// (the boards along the top with the menu's plate and the close-tutorial
// button, the panel's strip along the bottom). Held as the window's own rectangle, so the frame's overhang
// (3 pixels to each side, 1 above, 6 below) stays inside as well.
DXLRECT TutorialInfo::Room() {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  DXLRECT room{kFrameLeft, kFrameTop, screen.width - kFrameRight, screen.height - kFrameBottom};
  WindowManager* windows = GetWindowManager();
  auto* panel = windows ? dynamic_cast<LevelPanel*>(windows->FindWindow(kLevelPanelId)) : nullptr;
  if (!panel) return room;
  i32 top = panel->GetMenuPlate().bottom;
  if (const GameWindow* money = windows->FindWindow(kMoneyWindowId)) top = std::max(top, money->GetRect().bottom);
  // The close-tutorial button under the boards' left end, while it shows.
  if (const NarrowButton* close = panel->GetTutorialButton()) {
    kis::IntPoint bottom{};
    panel->ClientToScreen(&bottom, 0, close->GetRect().bottom);
    top = std::max(top, bottom.y);
  }
  room.top = std::max(room.top, top + kBarGap + kFrameTop);
  room.bottom = std::min(room.bottom, panel->GetRect().top - kBarGap - kFrameBottom);
  return room;
}

namespace {

// The frame of a note at `at` (its window's top-left corner; w x h) meets the rectangle.
bool FrameMeets(const DXLRECT& r, const kis::FloatPoint& at, float w, float h) {
  return at.x - static_cast<float>(kFrameLeft) < static_cast<float>(r.right) &&
         static_cast<float>(r.left) < at.x + w + static_cast<float>(kFrameRight) &&
         at.y - static_cast<float>(kFrameTop) < static_cast<float>(r.bottom) &&
         static_cast<float>(r.top) < at.y + h + static_cast<float>(kFrameBottom);
}

// What a note rather leaves free: the head-up buttons the running level
// shows and the arrows of its layer.
std::vector<DXLRECT> KeptFree(TutorialLayer* layer) {
  std::vector<DXLRECT> free;
  if (const ScreenSpriteList* list = GetLevelScreenSprites())
    for (i32 i = 0; i < list->Active().GetCount(); ++i)
      if (const ActiveScreenSprite* button = list->Active().Get(i); button->IsVisible())
        button->GetScreenRect(&free.emplace_back());
  // An arrow by five points of its middle line.
  kis::FloatPoint tip{}, tail{};
  for (i32 i = 0; layer && i < layer->Arrows().GetCount(); ++i)
    if (layer->Arrows().Get(i)->GetState() < kLayerHiding && layer->Arrows().Get(i)->GetLine(&tip, &tail))
      for (float k : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
        const i32 x = static_cast<i32>(tip.x + (tail.x - tip.x) * k), y = static_cast<i32>(tip.y + (tail.y - tip.y) * k);
        free.push_back(DXLRECT{x, y, x + 1, y + 1});
      }
  return free;
}

// Where a note at `at` (w x h) may stand so that its frame keeps clear of
// `area` and the note stays in the room: where it stands, or the nearest
// place by one of the four sides of the area where it fits whole (moved
// across that side, or also along it to line up with the area's ends); of
// those, one clear of the rectangles `free` first. False when it meets the
// area and no side has room.
bool ClearOfArea(const DXLRECT& area, const DXLRECT& room, float w, float h, const std::vector<DXLRECT>& free,
                 kis::FloatPoint* at) {
  const float left = static_cast<float>(area.left), top = static_cast<float>(area.top);
  const float right = static_cast<float>(area.right), bottom = static_cast<float>(area.bottom);
  const float frameLeft = kFrameLeft, frameTop = kFrameTop, frameRight = kFrameRight, frameBottom = kFrameBottom;
  std::vector<kis::FloatPoint> places{*at};
  for (float x : {at->x, left, right - w}) {
    places.push_back({x, top - kAreaGap - frameBottom - h});
    places.push_back({x, bottom + kAreaGap + frameTop});
  }
  for (float y : {at->y, top, bottom - h}) {
    places.push_back({left - kAreaGap - frameRight - w, y});
    places.push_back({right + kAreaGap + frameLeft, y});
  }
  const kis::FloatPoint* best = nullptr;
  float bestMove = 0.0f;
  bool bestClear = false;
  for (const kis::FloatPoint& p : places) {
    if (FrameMeets(area, p, w, h) || p.x < static_cast<float>(room.left) || p.x + w > static_cast<float>(room.right) ||
        p.y < static_cast<float>(room.top) || p.y + h > static_cast<float>(room.bottom))
      continue;
    const float move = std::abs(p.x - at->x) + std::abs(p.y - at->y);
    const bool clear = std::none_of(free.begin(), free.end(), [&](const DXLRECT& r) { return FrameMeets(r, p, w, h); });
    if (!best || (clear && !bestClear) || (clear == bestClear && move < bestMove)) {
      best = &p;
      bestMove = move;
      bestClear = clear;
    }
  }
  if (best) *at = *best;
  return best != nullptr;
}

}  // namespace

// Next to the target on the side its angle points to (or centred on it),
// moved by its distance along the angle, then kept in the room: a note
// pushed back only into the screen before its move (and the screen alone)
// would go off it again, or under the bars, where it can be neither read
// nor clicked. A note that then stands over what its target stands for
// (the building with its buttons, the control; a bare point and the 24
// pixels round it) moves to the nearest side of it where it fits whole;
// where no side has room beside the whole building, at least beside the
// button the player is to click. Of the places beside it, one that leaves
// the level's head-up buttons and the layer's arrows free comes first.
void TutorialInfo::Place() {
  if (!target_ || !target_->IsValid()) return;
  const i32 w = width_, h = height_;
  const i32 hw = w / 2, hh = h / 2;
  kis::IntPoint anchor{hw, hh};
  if (!centred_) kis::RectEdgePointI(kis::Rect{0, 0, w, h}, target_->GetAngle() - 180.0f, &anchor);
  const DXLRECT room = Room();
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  const auto inside = [&](float* x, float* y) {
    // Where the room is narrower than the note, its top-left corner wins.
    *x = std::max(std::min(*x, static_cast<float>(room.right) - fw), static_cast<float>(room.left));
    *y = std::max(std::min(*y, static_cast<float>(room.bottom) - fh), static_cast<float>(room.top));
  };
  kis::FloatPoint p{static_cast<float>(target_->GetX() - anchor.x), static_cast<float>(target_->GetY() - anchor.y)};
  inside(&p.x, &p.y);
  if (distance_ != 0.0f) {
    kis::AddPolar(&p, target_->GetAngle(), distance_, false);
    inside(&p.x, &p.y);
  }
  if (!centred_) {
    DXLRECT area{};
    if (!target_->GetArea(&area, false)) {
      const i32 x = static_cast<i32>(target_->GetFloatX()), y = static_cast<i32>(target_->GetFloatY());
      area = DXLRECT{x - kAsideGap, y - kAsideGap, x + kAsideGap, y + kAsideGap};
    }
    const std::vector<DXLRECT> free = KeptFree(layer_);
    if (!ClearOfArea(area, room, fw, fh, free, &p) && target_->GetArea(&area, true))
      ClearOfArea(area, room, fw, fh, free, &p);
  }
  SetPos(p.x + static_cast<float>(hw), p.y + static_cast<float>(hh));
  pivotX_ = static_cast<float>(-hw);
  pivotY_ = static_cast<float>(-hh);
}

void TutorialInfo::BuildFrame() {
  ClearQuads();
  // The services' interface image where the start-up loader installed it,
  // else the window manager's "interface" sprite.
  DXLTexture* image = GetResourceServices().interfaceImage;
  WindowManager* manager = GetWindowManager();
  Sprite* sprite = image || !manager ? nullptr : manager->GetInterfaceSprite(u"interface");
  if (sprite) image = sprite->GetTexture();
  if (!image) return;
  AddStretchedFrame(-kFrameLeft, -kFrameTop, width_ + kFrameLeft + kFrameRight, height_ + kFrameTop + kFrameBottom,
                    SkinOf(skins::kTutorialInfoFrame, image));
  SetAlpha(colour_);
}

// Placed at its point under its fade (rising in, shrinking out about its
// middle); a finished fade-out leaves it gone. The fade moves on even while
// the target cannot be found, but the text is drawn only at a valid one.
bool TutorialInfo::BeginDraw() {
  DXLViewer* viewer = GetGameViewer();
  if (viewer) {
    LoadGameAreaTransform();
    viewer->Translate(posX_, posY_);
  }
  if (fade_) {
    if (UpdateSpriteEffects(&fade_)) {
      SetColor(GetEffectColor(fade_, 0xFFFFFFFFu));
    } else if (state_ == kLayerShowing) {
      state_ = kLayerShown;
      SetColor(0xFF000000u);
    } else {
      state_ = kLayerGone;
      return false;
    }
  }
  if (!viewer || !target_ || !target_->IsValid()) return false;
  viewer->Translate(pivotX_, pivotY_);
  return true;
}

void TutorialInfo::Draw() {
  // Under the developer switch "Places" the log tells where the text's
  // target stands whenever that changes, as an arrow's (with no arrow it is
  // what the step asks to be clicked).
  if (target_) target_->TellWhere("hint", 0, &toldX_, &toldY_);
  if (GetGameViewer())
    BaseHintWindow::Draw();
  else
    BeginDraw();
}

// --- TutorialInfoText ---------------------------------------------------------------------------------------

TutorialInfoText::TutorialInfoText(TutorialLayer* layer, const wchar* text, bool withClickText, u32 itemKind,
                                   uintptr_t item)
    : TutorialInfo(layer) {
  KGETEXTPARAMS params{};
  InitBodyTextParams(&params, 0, kInfoTextWidth, itemKind, item);
  params.color = kInfoTextColour;
  // At most 400 x 400, with a light drop shadow one pixel right and down.
  KGESPRITEPARAMS box{};
  box.flags = kKGESpriteMaxSize | kKGESpriteShadow;
  box.maxWidth = box.maxHeight = kInfoTextWidth;
  box.shadow = KGESHADOW{1, kInfoShadowOffset, kInfoShadowOffset, kInfoShadowColour};
  KGEFont* font = GetGameFont(kInfoFont);
  const KGETEXTCALLBACK markup = GetResourceServices().itemDescription;
  main_ = new HIText(this, font, &params, &box, text ? text : u"", false, markup);
  if (withClickText) {
    const GameLanguage* language = GetGameLanguage();
    const wchar* click = language ? language->GetTextByName(u"tutorial", u"click_text", false) : nullptr;
    params.color = kInfoClickColour;
    click_ = new HIText(this, font, &params, &box, click ? click : u"", false, markup);
    click_->SetPos(0, main_->GetRect().bottom + kClickGap);
  }
  SetColor(0xFF000000u);
  Measure();
}

void SetInfoTarget(TutorialInfo* info, TutorialTarget* target, bool centred, float distance) {
  if (info)
    info->SetTarget(target, centred, distance);
  else
    delete target;
}

void SetInfoSharedTarget(TutorialInfo* info, const TutorialTarget* target, bool centred, float distance) {
  if (info && target) info->SetTarget(target->Clone(target->GetDistance()), centred, distance);
}

TutorialInfo* AddLayerText(TutorialLayer* layer, const wchar* text, TutorialTarget* target, bool shared, bool centred,
                           float distance, bool click, u32 itemKind, uintptr_t item) {
  if (!layer || !target) {
    if (!shared) delete target;
    return nullptr;
  }
  auto* info = new TutorialInfoText(layer, text, click, itemKind, item);
  if (shared)
    SetInfoSharedTarget(info, target, centred, distance);
  else
    SetInfoTarget(info, target, centred, distance);
  if (click) layer->CatchClicks();
  return info;
}
