// GameLevel's input: each event goes to the window stack first, then to the
// screen sprites, and only then to the level (its objects, points and the
// player); before play starts a left click or Enter only starts it.
#include <cmath>
#include <cstdlib>

#include "content/LevelInfo.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelCast.h"
#include "level/scene/LevelInterface.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelRules.h"
#include "level/scene/LevelVillains.h"
#include "level/map/MapObject.h"
#include "pathfinding/MapShapes.h"
#include "resources/GameServices.h"
#include "resources/TutorialHooks.h"
#include "ui/WindowManager.h"

namespace {

constexpr u32 kTutorialActionObject = 101;  // parameter: the object's kind
constexpr u32 kTutorialActionPoint = 102;   // hovering a point (its index)
constexpr u32 kTutorialActionSelect = 103;  // selecting a point (its index)
constexpr u32 kTutorialActionWalk = 199;    // the player walking to a clicked place
constexpr u32 kTutorialEventStart = 0x80000001u;
constexpr u32 kObjectVillainShot = 0x20000010u;
constexpr u32 kObjectVillain = 0x20000110u;
constexpr i32 kPlayLeft = 144, kPlayTop = 16, kPlayRight = kLevelWidth - 144, kPlayBottom = kLevelHeight - 24;
constexpr i32 kVillainSlotMargin = 40;
constexpr i32 kPointRadiusX = 70, kPointRadiusY = 44;

WindowManager* Windows() { return GetGameServices().windowManager; }

// The owner object of a hit shape that contains the point and draws above
// the candidate (a greater draw key) and that the tutorial allows.
void Consider(const MAPSHAPE* shape, i32 x, i32 y, MapObject** best) {
  if (!shape || !ShapeContainsPoint(&shape->desc, x, y)) return;
  auto* owner = reinterpret_cast<MapObject*>(shape->owner);
  if (!owner) return;
  if (*best && !(*best)->SortsBefore(owner->GetSortKey(), owner->GetSerial())) return;
  if (!TutorialAllowAction(kTutorialActionObject, owner->GetKind(), owner)) return;
  *best = owner;
}

}  // namespace

void GameLevel::ResetInput() {
  cleared_ = false;
  entered_ = false;
  rules_->View().Recompute(GetGameServices().screen.width, GetGameServices().screen.height);
  mouseScreenX_ = mouseScreenY_ = mouseMapX_ = mouseMapY_ = 0;
  mouseInside_ = false;
  map_->StoreHoveredPoint(-1);
  map_->StoreSelectedPoint(-1);
  map_->SetHoveredObject(nullptr);
}

// --- Slots ----------------------------------------------------------------------------------------------

// A press where the pointer was not seen before (it jumped there) first
// moves the windows' hover to what is under it: the level's own hover asks
// the windows whether a control is under the pointer, and a control left
// behind would keep the press from the map.
void GameLevel::FollowJump(i32 x, i32 y, u32 flags) {
  if (x == mouseScreenX_ && y == mouseScreenY_) return;
  if (Windows()) Windows()->OnMouseMove(x, y, 0, flags);
  const i32 at[2] = {x, y};
  UpdateHover(at);
}

bool GameLevel::OnMouseDown(i32 x, i32 y, u32 button, u32 flags) {
  FollowJump(x, y, flags);
  if (Windows() && Windows()->OnMouseDown(x, y, button, flags)) return true;
  if (!rules_->IsStarted()) {
    if (button == kMouseLeft) StartPlay();
    return true;
  }
  MapObject* hovered = map_->GetHoveredObject();
  if (!(hovered && hovered->GetKind() == kObjectVillainShot) && hud_.MouseDown(mouseMapX_, mouseMapY_, button, 0))
    return true;
  if (button == kMouseLeft && mouseInside_) OnLeftClick();
  else if (button == kMouseRight) OnRightClick();
  return true;
}

bool GameLevel::OnMouseMove(i32 x, i32 y, u32 buttons, u32 flags) {
  if (x != mouseScreenX_ || y != mouseScreenY_) {
    const i32 at[2] = {x, y};
    UpdateHover(at);
  }
  return Windows() && Windows()->OnMouseMove(x, y, buttons, flags);
}

bool GameLevel::OnMouseUp(i32 x, i32 y, u32 button, u32 flags) {
  if (x != mouseScreenX_ || y != mouseScreenY_) {
    const i32 at[2] = {x, y};
    UpdateHover(at);
  }
  const bool taken = Windows() && Windows()->OnMouseUp(x, y, button, flags);
  hud_.MouseUp(mouseMapX_, mouseMapY_, button, 0);
  return taken;
}

bool GameLevel::OnDoubleClick(i32 x, i32 y, u32 flags) {
  FollowJump(x, y, flags);
  if (Windows() && Windows()->OnDoubleClick(x, y, kMouseLeft)) return true;
  if (hud_.MouseDown(mouseMapX_, mouseMapY_, kMouseLeft, 0)) return true;
  if (mouseInside_ && rules_->IsStarted()) OnLeftClick();
  return true;
}

bool GameLevel::OnMouseWheel(i32 x, i32 y, i32 delta) {
  if (x != mouseScreenX_ || y != mouseScreenY_) {
    const i32 at[2] = {x, y};
    UpdateHover(at);
  }
  return Windows() && Windows()->OnMouseWheel(x, y, delta, 0, 0);
}

bool GameLevel::OnKeyDown(u16 key, u32 flags) {
  if (Windows() && Windows()->OnKeyDown(key, flags)) return true;
  if (key == kLevelKeyEscape) {
    if (hooks_.iface) hooks_.iface->OpenMenu(true);
    return true;
  }
  if (key == kLevelKeyEnter && !rules_->IsStarted()) {
    StartPlay();
    return true;
  }
  return false;
}

bool GameLevel::OnKeyUp(u16 key, u32 flags) { return Windows() && Windows()->OnKeyUp(key, flags); }
bool GameLevel::OnChar(u16 code, u32 flags) { return Windows() && Windows()->OnChar(code, flags); }

void GameLevel::StartPlay() {
  if (!rules_->StartPlay()) return;
  if (hooks_.iface) hooks_.iface->StartTimeBar();
  TutorialNotify(kTutorialEventStart, 0, nullptr);
}

// --- Hover --------------------------------------------------------------------------------------------------

void GameLevel::UpdateHover(const i32* position) {
  if (position) {
    mouseScreenX_ = position[0];
    mouseScreenY_ = position[1];
  }
  mouseMapX_ = mouseScreenX_;
  mouseMapY_ = mouseScreenY_;
  ScreenToMap(&mouseMapX_, &mouseMapY_);
  mouseInside_ = mouseMapX_ >= 0 && mouseMapY_ >= 0 && mouseMapX_ < kLevelWidth && mouseMapY_ < kLevelHeight;
  hud_.UpdateHover(mouseMapX_, mouseMapY_);
  MapObject* object = nullptr;
  i32 point = -1;
  const bool overControl = Windows() && Windows()->GetHoverControl();
  const bool open = mouseInside_ && !rules_->Locks().IsLockedExcept(kLockTutorial) && !overControl;
  if (open) object = FindObjectAt(mouseMapX_, mouseMapY_);
  map_->SetHoveredObject(object);
  if (open) point = FindPointNear(mouseMapX_, mouseMapY_);
  if (point >= 0 && !TutorialAllowAction(kTutorialActionPoint, static_cast<uintptr_t>(point), map_->GetPoint(point)))
    point = -1;
  map_->Points().HoverPoint(point, object);
}

MapObject* GameLevel::FindObjectAt(i32 x, i32 y) const {
  MapObject* shot = hooks_.villains ? hooks_.villains->FindShotAt(x, y) : nullptr;
  MapObject* best = nullptr;
  if (x >= 0 && y >= 0)
    if (const kis::list<MAPSHAPE*>* cell = map_->GetTileShapes(x / kTileWidth, y / kTileHeight))
      for (i32 i = 0; i < cell->GetCount(); ++i) Consider((*cell)[i], x, y, &best);
  const kis::list<MapShapes*>& global = map_->GetGlobalShapes();
  for (i32 i = 0; i < global.GetCount(); ++i)
    for (u32 k = 0; k < global[i]->GetCount(); ++k) Consider(global[i]->GetShape(k), x, y, &best);
  if (!shot) return best;
  if (!best) return shot;
  return best->GetKind() == kObjectVillain ? best : shot;
}

// The point owning the hovered object, else the nearest point definition
// inside an ellipse of 70 x 44 about the mouse (the lower index on ties).
i32 GameLevel::FindPointNear(i32 x, i32 y) const {
  if (const MapObject* hovered = map_->GetHoveredObject()) return hovered->GetPointIndex();
  if (!info_) return -1;
  i32 found = -1;
  float nearest = 0.0f;
  const i32 n = static_cast<i32>(info_->points.size());
  for (i32 i = 0; i < n && i < map_->GetPointCount(); ++i) {
    const i32 dx = info_->points[i].x - x, dy = info_->points[i].y - y;
    if (std::abs(dx) > kPointRadiusX || std::abs(dy) > kPointRadiusY) continue;
    const float ey = static_cast<float>(dy) * kPointRadiusX / kPointRadiusY;
    if (std::hypot(static_cast<float>(dx), ey) >= kPointRadiusX) continue;
    const float d = std::hypot(static_cast<float>(dx), static_cast<float>(dy));
    if (found < 0 || d < nearest) {
      found = i;
      nearest = d;
    }
  }
  return found;
}

// --- Clicks --------------------------------------------------------------------------------------------------

void GameLevel::OnLeftClick() {
  if (MapObject* hovered = map_->GetHoveredObject()) {
    hovered->OnClick();
    return;
  }
  const i32 point = map_->GetHoveredPoint();
  if (TutorialAllowAction(kTutorialActionSelect, static_cast<uintptr_t>(point), map_->GetPoint(point)))
    map_->Points().SelectPoint(point, true);
  if (map_->GetSelectedPoint() >= 0) return;
  const i32 x = mouseMapX_, y = mouseMapY_;
  if (x < kPlayLeft || y < kPlayTop || x >= kPlayRight || y >= kPlayBottom) return;
  if (!TutorialAllowAction(kTutorialActionWalk, 0, nullptr)) return;
  for (u32 i = 0; info_ && i < info_->villainSlotCount; ++i) {
    const VILLAINSLOT& s = info_->villainSlots[i];
    if (std::abs(s.x - x) < kVillainSlotMargin && std::abs(s.y - y) < kVillainSlotMargin) return;
  }
  if (hooks_.characters) hooks_.characters->WalkPlayerTo(x, y);
}

void GameLevel::OnRightClick() {
  if (hooks_.characters) hooks_.characters->CancelJobNear(mouseMapX_, mouseMapY_);
}

bool GameLevel::GetCursorKind(u32* cursor) const {
  if (rules_->Locks().IsLockedExcept(kLockTutorial)) return false;
  // Over a sprite that answers the mouse: the hand of the points.
  if (hud_.GetHovered()) {
    *cursor = kPointCursor;
    return true;
  }
  if (!mouseInside_) return false;
  if (const MapObject* hovered = map_->GetHoveredObject())
    *cursor = hovered->GetCursorKind();
  else
    *cursor = map_->GetHoveredPoint() < 0 ? kCursorLevelNone : kPointCursor;
  return true;
}

// --- View -------------------------------------------------------------------------------------------------------

void GameLevel::UpdateViewport() {
  rules_->View().UpdateViewport(GetGameServices().screen.width, GetGameServices().screen.height);
  if (Windows()) Windows()->OnScreenResize();
  hud_.RelayoutAll();
}

void GameLevel::MapToScreen(i32* x, i32* y) const { rules_->View().MapToScreen(x, y); }
void GameLevel::ScreenToMap(i32* x, i32* y) const { rules_->View().ScreenToMap(x, y); }
