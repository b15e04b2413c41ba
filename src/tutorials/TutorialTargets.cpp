#include "tutorials/TutorialTargets.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/LevelSelectMap.h"
#include "hud/ActiveScreenSprite.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/SpriteObject.h"
#include "level/rules/LevelRules.h"
#include "level/scene/GameLevel.h"
#include "resources/CurrentLevel.h"
#include "resources/GameDraw.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
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

// The level rectangle of a map object's picture: its frame from the hot
// spot, with its sub-pictures, scaled about its position.
bool PictureArea(const SpriteObject& object, DXLRECT* out) {
  const MapSprite* mapSprite = object.GetMapSprite();
  const Sprite* sprite = mapSprite ? mapSprite->GetSprite() : nullptr;
  if (!sprite) return false;
  bool any = false;
  UniteArea(out, DXLRECT{0, 0, sprite->GetFrameWidth(), sprite->GetFrameHeight()}, &any);
  for (const SubSpriteList* list : {object.GetBehind(), object.GetFront()})
    for (i32 i = 0; list && i < list->GetCount(); ++i) {
      DXLRECT r{};
      list->Get(i)->GetBounds(&r);
      UniteArea(out, r, &any);
    }
  const float scale = object.IsScaled() ? object.GetScale() : 1.0f;
  const auto at = [&](i32 v, float hot, i32 origin) {
    return origin + kis::RoundToInt((static_cast<float>(v) + hot) * scale);
  };
  *out = DXLRECT{at(out->left, object.GetHotSpotX(), object.GetX()), at(out->top, object.GetHotSpotY(), object.GetY()),
                 at(out->right, object.GetHotSpotX(), object.GetX()),
                 at(out->bottom, object.GetHotSpotY(), object.GetY())};
  return true;
}

}  // namespace

void UniteArea(DXLRECT* into, const DXLRECT& r, bool* any) {
  if (*any) {
    *into = DXLRECT{std::min(into->left, r.left), std::min(into->top, r.top), std::max(into->right, r.right),
                    std::max(into->bottom, r.bottom)};
  } else {
    *into = r;
  }
  *any = true;
}

bool LevelPointArea(const BaseLevelPoint* point, DXLRECT* out) {
  const CurrentLevel* level = GetCurrentLevel();
  if (!level || !point) return false;
  bool any = false;
  const kis::list<MapObject*>& objects = point->GetMap().GetObjects();
  for (i32 i = 0; i < objects.GetCount(); ++i) {
    const auto* object = dynamic_cast<const SpriteObject*>(objects.Get(i));
    DXLRECT r{};
    if (!object || object->GetOwnerPoint() != point || object->IsDead() || !object->IsAttached() ||
        !PictureArea(*object, &r))
      continue;
    float l = 0, t = 0, rr = 0, b = 0;  // as the head-up sprites' own rectangles (ScreenSprite::GetScreenRect)
    level->MapToScreen(static_cast<float>(r.left), static_cast<float>(r.top), &l, &t);
    level->MapToScreen(static_cast<float>(r.right), static_cast<float>(r.bottom), &rr, &b);
    UniteArea(out, DXLRECT{static_cast<i32>(l), static_cast<i32>(t), static_cast<i32>(rr), static_cast<i32>(b)}, &any);
  }
  if (const ScreenSpriteList* list = GetLevelScreenSprites())
    for (i32 i = 0; i < list->Active().GetCount(); ++i) {
      const ActiveScreenSprite* button = list->Active().Get(i);
      if (!button->IsVisible() || button->GetHandlerOwner() != static_cast<const ScreenSpriteOwner*>(point)) continue;
      DXLRECT r{};
      button->GetScreenRect(&r);
      UniteArea(out, r, &any);
    }
  return any;
}

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

bool TutTargetButton::GetArea(DXLRECT* out, bool) const {
  GameWindow* window = nullptr;
  const GameButton* button = valid_ ? FindControl(&window) : nullptr;
  if (!button) return false;
  const DXLRECT& r = button->GetRect();
  kis::IntPoint a{}, b{};
  window->ClientToScreen(&a, r.left, r.top);
  window->ClientToScreen(&b, r.right, r.bottom);
  *out = DXLRECT{a.x, a.y, b.x, b.y};
  return true;
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

bool TutTargetMapLevel::GetArea(DXLRECT* out, bool) const {
  const LevelSelectMap* map = GetLevelSelectMap();
  const MapLevelSprite* node = valid_ && map && map->IsLoaded() ? map->GetNode(level_) : nullptr;
  const Sprite* cell = node ? node->GetHexPicture() : nullptr;
  if (!cell) return false;
  const i32 w = cell->GetFrameWidth(), h = cell->GetFrameHeight();
  const DXLPOINT a = map->ToScreen(node->GetX() - w / 2, node->GetY() - h / 2);
  const DXLPOINT b = map->ToScreen(node->GetX() + w - w / 2, node->GetY() + h - h / 2);
  *out = DXLRECT{a.x, a.y, b.x, b.y};
  return true;
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

bool TutTargetLevelPoint::GetArea(DXLRECT* out, bool) const {
  return valid_ && LevelPointArea(level_->Map().GetPoint(point_), out);
}

bool TutTargetScreenSprite::GetArea(DXLRECT* out, bool control) const {
  if (!valid_) return false;
  sprite_->GetScreenRect(out);
  const auto* button = control ? nullptr : dynamic_cast<const ActiveScreenSprite*>(sprite_);
  DXLRECT whole{};
  bool any = true;
  if (button && LevelPointArea(dynamic_cast<const BaseLevelPoint*>(button->GetHandlerOwner()), &whole))
    UniteArea(out, whole, &any);
  return true;
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
