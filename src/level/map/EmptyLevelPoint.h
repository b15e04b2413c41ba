// EmptyLevelPoint - an empty place of the level (kind 0): its marker on the
// map and, optionally, garbage covering it (a kind of the garbage list):
// the garbage's map objects and particles, the obstacles that keep walkers
// off it, its click area and the price button that offers to clear it.
// Selecting the place opens its panel: the garbage panel while it carries
// garbage, else the empty-place panel.
//
// Clearing keeps the same place: the clearing job ends with
// SetGarbage(null, 0, fade, 0). Every change of garbage recounts the
// level's clean-places task.
#pragma once

#include "base/List.h"
#include "level/map/BaseLevelPoint.h"

class ASSPriceButton;
class ActiveScreenSprite;
struct GARBAGEINFO;
class MapShapes;
class ObstacleSet;
class SpriteObject;
class WindowSprites;

constexpr u32 kClearButtonCode = 0x436C6561u;  // 'Clea'
constexpr i32 kClearButtonRise = 53;           // the clear button stands this far above the place

class EmptyLevelPoint : public BaseLevelPoint {
 public:
  // Takes the place at the index of the level's point table: its position
  // and mark from the level's point definition, its marker on the map
  // (with a build effect after the delay when fading).
  EmptyLevelPoint(LevelMap& map, i32 index, bool fade, u32 delay);
  ~EmptyLevelPoint() override;

  // The garbage of the parameters' id at their price; the tutorial hears of it.
  bool Setup(const POINTPARAMS& params, bool fade, u32 delay) override;
  void OnSelect() override;    // opens its panel
  void OnDeselect() override;  // hides it
  void GetWorkOffset(POINTPOS* out) const override;  // (0, 30)
  void GetInfo(POINTPARAMS* out) const override;     // adds the garbage id and price
  i32 GetScreenPrice() const override { return static_cast<i32>(price_); }  // the clear button's

  // Replaces the garbage (null: none; nothing when unchanged), with the old
  // objects fading out over 200 ms after the delay when fading.
  void SetGarbage(const GARBAGEINFO* garbage, u32 price, bool fade, u32 delay);
  void OpenPanel(u32 id);
  // The price button, unless shut down or a clear job or button exists.
  void ShowClearButton(bool fade, u32 delay);
  // With money enough: the button hides and the clearing job starts.
  void StartClearing();
  void DeleteClearButton();

  const GARBAGEINFO* GetGarbage() const { return garbage_; }
  u32 GetPrice() const { return price_; }
  SpriteObject* GetMarker() const { return marker_; }
  WindowSprites* GetOpenPanel() const { return openPanel_; }
  const kis::list<MapObject*>& GetGarbageObjects() const { return garbageObjects_; }
  const ObstacleSet* GetGarbageObstacles() const { return obstacles_; }
  const MapShapes* GetGarbageShapes() const { return shapes_; }
  PointJob* GetClearJob() const { return clearJob_; }
  void SetClearJob(PointJob* job) { clearJob_ = job; }
  ASSPriceButton* GetClearButton() const { return clearButton_; }

 protected:
  // The clear job finishes, the garbage goes, the base runs; the button and
  // marker go (fading after the delay). The time until the marker is gone.
  u32 DoShutdown(bool fade, bool final, u32 delay) override;

 private:
  static u32 OnClearClicked(ActiveScreenSprite* button, ScreenSpriteOwner* owner, u32 mouseButton);

  SpriteObject* marker_ = nullptr;
  WindowSprites* openPanel_ = nullptr;
  const GARBAGEINFO* garbage_ = nullptr;
  u32 price_ = 0;
  kis::list<MapObject*> garbageObjects_;
  ObstacleSet* obstacles_ = nullptr;
  MapShapes* shapes_ = nullptr;
  PointJob* clearJob_ = nullptr;
  ASSPriceButton* clearButton_ = nullptr;
};
