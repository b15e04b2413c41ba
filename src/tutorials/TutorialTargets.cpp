#include "tutorials/TutorialTargets.h"

#include <cmath>
#include <string>

#include "app/LevelSelectMap.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/rules/LevelRules.h"
#include "level/scene/GameLevel.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "ui/GameButton.h"
#include "ui/GameWindow.h"
#include "hud/ScreenSprite.h"
#include "hud/ScreenSpriteHost.h"
#include "hud/ScreenSpriteList.h"
#include "ui/WindowManager.h"

namespace {

constexpr i32 kPanelHeight = 115;  // the level panel's share of the screen's height

kis::Rect ToRect(const DXLRECT& r) { return kis::Rect{r.left, r.top, r.right, r.bottom}; }

// The last button of the list with the id and, unless data is 0, the data.
GameButton* FindIn(const GameControls& list, u32 id, uintptr_t data) {
  for (i32 i = list.GetCount() - 1; i >= 0; --i) {
    GameButton* b = list.Get(i);
    if (b && b->GetId() == id && (data == 0 || b->GetData() == data)) return b;
  }
  return nullptr;
}

}  // namespace

void TutorialTarget::Found(float x, float y) {
  valid_ = 1;
  kis::FloatPoint p{x, y};
  if (distance_ != 0.0f) kis::AddPolar(&p, angle_, distance_, false);
  fx_ = p.x;
  fy_ = p.y;
  x_ = kis::RoundToInt(p.x);
  y_ = kis::RoundToInt(p.y);
}

void TutorialTarget::TellWhere(const char* what, i32 tag, i32* toldX, i32* toldY) const {
  if (!IsValid()) return;
  const i32 x = static_cast<i32>(std::lround(fx_));
  const i32 y = static_cast<i32>(std::lround(fy_));
  if (x == *toldX && y == *toldY) return;
  *toldX = x;
  *toldY = y;
  TellPlace(std::string(what) + " " + std::to_string(tag) + " " + std::to_string(std::lround(angle_)) + " " +
                std::to_string(std::lround(distance_)),
            DXLRECT{x, y, x, y});
}

// The window's own controls first, then its groups from the top.
GameButton* TutTargetButton::FindControl(GameWindow** out) const {
  WindowManager* manager = GetWindowManager();
  GameWindow* window = manager ? manager->FindWindow(window_) : nullptr;
  if (out) *out = window;
  if (!window) return nullptr;
  GameButton* button = FindIn(window->Controls(), control_, data_);
  for (i32 i = window->ControlGroups().GetCount() - 1; i >= 0 && !button; --i)
    button = FindIn(*window->ControlGroups().Get(i), control_, data_);
  return button;
}

void TutTargetButton::UpdatePosition() {
  valid_ = 0;
  GameWindow* window = nullptr;
  GameButton* button = FindControl(&window);
  if (!button) return;
  kis::IntPoint edge{};
  kis::RectEdgePointI(ToRect(button->GetRect()), angle_, &edge);  // a zero-sized rectangle gives its corner
  kis::IntPoint screen{};
  window->ClientToScreen(&screen, edge.x, edge.y);
  Found(static_cast<float>(screen.x), static_cast<float>(screen.y));
}

void TutTargetCustom::UpdatePosition() {
  valid_ = 0;
  kis::FloatPoint p{0.0f, 0.0f};
  if (!function_ || !function_(&p, angle_, distance_, argument_, extra_)) return;
  Found(p.x, p.y);
}

bool LevelScreenCentre(kis::FloatPoint* out, float, float, u32, u32) {
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  out->x = static_cast<float>(screen.width / 2);
  out->y = static_cast<float>((screen.height - kPanelHeight) / 2);
  return true;
}

void TutTargetMapLevel::UpdatePosition() {
  valid_ = 0;
  const LevelSelectMap* map = GetLevelSelectMap();
  const MapLevelSprite* node = map && map->IsLoaded() ? map->GetNode(level_) : nullptr;
  if (!node) return;
  kis::FloatPoint p{static_cast<float>(node->GetX()), static_cast<float>(node->GetY())};
  if (distance_ != 0.0f) kis::AddPolar(&p, angle_, distance_, false);
  const DXLPOINT screen = map->ToScreen(kis::RoundToInt(p.x), kis::RoundToInt(p.y));
  const float keep = distance_;
  distance_ = 0.0f;
  Found(static_cast<float>(screen.x), static_cast<float>(screen.y));
  distance_ = keep;
}

// Moved by the distance in level units, then onto the screen.
void TutTargetLevelPoint::UpdatePosition() {
  valid_ = 0;
  BaseLevelPoint* point = level_ ? level_->Map().GetPoint(point_) : nullptr;
  if (!point) return;
  kis::FloatPoint p{static_cast<float>(point->GetX()), static_cast<float>(point->GetY())};
  if (distance_ != 0.0f) kis::AddPolar(&p, angle_, distance_, false);
  i32 x = kis::RoundToInt(p.x);
  i32 y = kis::RoundToInt(p.y);
  level_->Rules().View().MapToScreen(&x, &y);
  const float keep = distance_;
  distance_ = 0.0f;
  Found(static_cast<float>(x), static_cast<float>(y));
  distance_ = keep;
}

void TutTargetScreenSprite::UpdatePosition() {
  valid_ = 0;
  ScreenSpriteList* list = GetLevelScreenSprites();
  if (!sprite_ || !list || list->Sprites().IndexOf(sprite_) < 0 || !sprite_->IsVisible()) return;
  DXLRECT rect{};
  sprite_->GetScreenRect(&rect);
  kis::IntPoint edge{};
  kis::RectEdgePointI(ToRect(rect), angle_, &edge);
  Found(static_cast<float>(edge.x), static_cast<float>(edge.y));
}
