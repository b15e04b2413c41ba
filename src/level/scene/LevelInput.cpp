#include "level/scene/LevelInput.h"

#include <cmath>
#include <cstdlib>

#include "content/LevelInfo.h"
#include "content/LevelMapDefs.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelScreen.h"
#include "level/scene/LevelServices.h"
#include "level/scene/LevelCast.h"
#include "level/scene/LevelInterface.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelRules.h"
#include "level/scene/LevelVillains.h"
#include "level/map/MapObject.h"
#include "pathfinding/MapShapes.h"
#include "resources/ResourceServices.h"
#include "resources/TutorialHooks.h"
#include "ui/WindowManager.h"

namespace {

static_assert(kPlayRight == kLevelWidth - kPlayLeft && kPlayBottom == kLevelHeight - 24,
              "the play rectangle sits in the playfield");
constexpr i32 kVillainSlotMargin = 40;
constexpr i32 kPointRadiusX = 70, kPointRadiusY = 44;

WindowManager* Windows() { return GetWindowManager(); }

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

void LevelInput::Reset() {
  level_.Rules().View().Recompute(GetResourceServices().screen.width, GetResourceServices().screen.height);
  screenX_ = screenY_ = 0;
  level_.Screen().SetPointer(0, 0, false);
  LevelMap& map = level_.Map();
  map.StoreHoveredPoint(-1);
  map.StoreSelectedPoint(-1);
  map.SetHoveredObject(nullptr);
}

// --- Slots ----------------------------------------------------------------------------------------------

// A press where the pointer was not seen before (it jumped there) first
// moves the windows' hover to what is under it: the level's own hover asks
// the windows whether a control is under the pointer, and a control left
// behind would keep the press from the map.
void LevelInput::FollowJump(i32 x, i32 y, u32 flags) {
  if (x == screenX_ && y == screenY_) return;
  if (Windows()) Windows()->OnMouseMove(x, y, 0, flags);
  const i32 at[2] = {x, y};
  UpdateHover(at);
}

bool LevelInput::OnMouseDown(i32 x, i32 y, u32 button, u32 flags) {
  FollowJump(x, y, flags);
  if (Windows() && Windows()->OnMouseDown(x, y, button, flags)) return true;
  if (!level_.Rules().IsStarted()) {
    if (button == kMouseLeft) level_.StartPlay();
    return true;
  }
  LevelScreen& screen = level_.Screen();
  MapObject* hovered = level_.Map().GetHoveredObject();
  if (!(hovered && hovered->GetKind() == kObjectVillainShot) &&
      screen.Hud().MouseDown(screen.GetPointerX(), screen.GetPointerY(), button, 0))
    return true;
  if (button == kMouseLeft && screen.IsPointerOverView()) OnLeftClick();
  else if (button == kMouseRight) OnRightClick();
  return true;
}

bool LevelInput::OnMouseMove(i32 x, i32 y, u32 buttons, u32 flags) {
  if (x != screenX_ || y != screenY_) {
    const i32 at[2] = {x, y};
    UpdateHover(at);
  }
  return Windows() && Windows()->OnMouseMove(x, y, buttons, flags);
}

bool LevelInput::OnMouseUp(i32 x, i32 y, u32 button, u32 flags) {
  if (x != screenX_ || y != screenY_) {
    const i32 at[2] = {x, y};
    UpdateHover(at);
  }
  const bool taken = Windows() && Windows()->OnMouseUp(x, y, button, flags);
  LevelScreen& screen = level_.Screen();
  screen.Hud().MouseUp(screen.GetPointerX(), screen.GetPointerY(), button, 0);
  return taken;
}

bool LevelInput::OnDoubleClick(i32 x, i32 y, u32 flags) {
  FollowJump(x, y, flags);
  if (Windows() && Windows()->OnDoubleClick(x, y, kMouseLeft)) return true;
  LevelScreen& screen = level_.Screen();
  if (screen.Hud().MouseDown(screen.GetPointerX(), screen.GetPointerY(), kMouseLeft, 0)) return true;
  if (screen.IsPointerOverView()) OnLeftClick();
  return true;
}

bool LevelInput::OnMouseWheel(i32 x, i32 y, i32 delta) {
  if (x != screenX_ || y != screenY_) {
    const i32 at[2] = {x, y};
    UpdateHover(at);
  }
  return Windows() && Windows()->OnMouseWheel(x, y, delta, 0, 0);
}

bool LevelInput::OnKeyDown(u16 key, u32 flags) {
  if (Windows() && Windows()->OnKeyDown(key, flags)) return true;
  if (key == kLevelKeyEscape) {
    if (LevelInterface* iface = level_.Hooks().iface) iface->OpenMenu(true);
    return true;
  }
  if (key == kLevelKeyEnter && !level_.Rules().IsStarted()) {
    level_.StartPlay();
    return true;
  }
  return false;
}

bool LevelInput::OnKeyUp(u16 key, u32 flags) { return Windows() && Windows()->OnKeyUp(key, flags); }
bool LevelInput::OnChar(u16 code, u32 flags) { return Windows() && Windows()->OnChar(code, flags); }

// --- Hover --------------------------------------------------------------------------------------------------

// Without a position (the frame's update) the game's pointer is read, so a
// level just built or restored hovers what is under the mouse before the
// mouse moves.
void LevelInput::UpdateHover(const i32* position) {
  if (position) {
    screenX_ = position[0];
    screenY_ = position[1];
  } else if (DXLPOINT (*pointer)() = GetLevelServices().pointer) {
    const DXLPOINT p = pointer();
    screenX_ = p.x;
    screenY_ = p.y;
  }
  i32 x = screenX_, y = screenY_;
  level_.Rules().View().ScreenToMap(&x, &y);
  const bool inside = x >= 0 && y >= 0 && x < kLevelWidth && y < kLevelHeight;
  LevelScreen& screen = level_.Screen();
  screen.SetPointer(x, y, inside);
  screen.Hud().UpdateHover(x, y);
  LevelMap& map = level_.Map();
  MapObject* object = nullptr;
  i32 point = -1;
  const bool overControl = Windows() && Windows()->GetHoverControl();
  const bool open = inside && !level_.Rules().Locks().IsLockedExcept(kLockTutorial) && !overControl;
  if (open) object = FindObjectAt(x, y);
  map.SetHoveredObject(object);
  if (open) point = FindPointNear(x, y);
  if (point >= 0 && !TutorialAllowAction(kTutorialActionPoint, static_cast<uintptr_t>(point), map.GetPoint(point)))
    point = -1;
  map.Points().HoverPoint(point, object);
}

MapObject* LevelInput::FindObjectAt(i32 x, i32 y) const {
  LevelVillains* villains = level_.Hooks().villains;
  const LevelMap& map = level_.Map();
  MapObject* shot = villains ? villains->FindShotAt(x, y) : nullptr;
  MapObject* best = nullptr;
  if (x >= 0 && y >= 0)
    if (const kis::list<MAPSHAPE*>* cell = map.GetTileShapes(x / kTileWidth, y / kTileHeight))
      for (i32 i = 0; i < cell->GetCount(); ++i) Consider((*cell)[i], x, y, &best);
  // A global set carries no position of its own: its shapes are built
  // without an offset, in level coordinates, so the point relative to the
  // set is the point itself.
  const kis::list<MapShapes*>& global = map.GetGlobalShapes();
  for (i32 i = 0; i < global.GetCount(); ++i)
    for (u32 k = 0; k < global[i]->GetCount(); ++k) Consider(global[i]->GetShape(k), x, y, &best);
  if (!shot) return best;
  if (!best) return shot;
  return best->GetKind() == kObjectVillain ? best : shot;
}

// The point owning the hovered object, else the nearest point definition
// inside an ellipse of 70 x 44 about the mouse (the lower index on ties).
i32 LevelInput::FindPointNear(i32 x, i32 y) const {
  const LevelMap& map = level_.Map();
  if (const MapObject* hovered = map.GetHoveredObject()) return hovered->GetPointIndex();
  const LEVELINFO* info = level_.GetInfo();
  if (!info) return -1;
  i32 found = -1;
  float nearest = 0.0f;
  const i32 n = static_cast<i32>(info->points.size());
  for (i32 i = 0; i < n && i < map.GetPointCount(); ++i) {
    const i32 dx = info->points[i].x - x, dy = info->points[i].y - y;
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

void LevelInput::OnLeftClick() {
  LevelMap& map = level_.Map();
  if (MapObject* hovered = map.GetHoveredObject()) {
    hovered->OnClick();
    return;
  }
  // A point is chosen through its own Select: the warehouse opens its
  // window there instead of being selected, and she does not walk to it.
  const i32 point = map.GetHoveredPoint();
  BaseLevelPoint* chosen = map.GetPoint(point);
  if (TutorialAllowAction(kTutorialActionSelect, static_cast<uintptr_t>(point), chosen)) {
    if (chosen)
      chosen->Select(nullptr);
    else
      map.Points().SelectPoint(point, true);
  }
  if (map.GetSelectedPoint() >= 0 || (chosen && chosen->GetKind() == kPointKindWarehouse)) return;
  const i32 x = level_.Screen().GetPointerX(), y = level_.Screen().GetPointerY();
  if (x < kPlayLeft || y < kPlayTop || x >= kPlayRight || y >= kPlayBottom) return;
  if (!TutorialAllowAction(kTutorialActionWalk, 0, nullptr)) return;
  const LEVELINFO* info = level_.GetInfo();
  for (u32 i = 0; info && i < info->villainSlotCount; ++i) {
    const VILLAINSLOT& s = info->villainSlots[i];
    if (std::abs(s.x - x) < kVillainSlotMargin && std::abs(s.y - y) < kVillainSlotMargin) return;
  }
  if (LevelCast* characters = level_.Hooks().characters) characters->WalkPlayerTo(x, y);
}

void LevelInput::OnRightClick() {
  if (LevelCast* characters = level_.Hooks().characters)
    characters->CancelJobNear(level_.Screen().GetPointerX(), level_.Screen().GetPointerY());
}

bool LevelInput::GetCursorKind(u32* cursor) const {
  if (level_.Rules().Locks().IsLockedExcept(kLockTutorial)) return false;
  LevelScreen& screen = level_.Screen();
  // Over a sprite that answers the mouse: screen sprites carry no cursor of
  // their own, and every one that answers the mouse is a button (arrows,
  // prices, production), so the hand of the points.
  if (screen.Hud().GetHovered()) {
    *cursor = kPointCursor;
    return true;
  }
  if (!screen.IsPointerOverView()) return false;
  const LevelMap& map = level_.Map();
  if (const MapObject* hovered = map.GetHoveredObject())
    *cursor = hovered->GetCursorKind();
  else
    *cursor = map.GetHoveredPoint() < 0 ? kCursorLevelNone : kPointCursor;
  return true;
}
