// BaseLevelPoint - the root of every level point: one of the level's fixed
// places, kept in the level map's point table by index, where a building, a
// plant bed, a tree or nothing (an empty place) stands. It may be hovered
// (the mouse is over it) and selected (its panel is open) independently,
// keeps the jobs aimed at it and arranges their icons, and may carry toxic
// damage with its repair job and arrow. It owns the head-up display sprites
// it shows (screen sprites, on the level's list) until it
// hides one for good, which the list then deletes; its buttons hand their
// clicks back to it as their ScreenSpriteOwner.
//
// A point ends with a final Shutdown, then deletion. Shutdown acts once:
// later calls only return their delay. Every point class's destructor calls
// Shutdown(false, true, 0) itself, so its own shutdown runs while the
// object is whole; the base destructor then tells the listed jobs that
// their target is gone.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "content/RateModifiers.h"
#include "hud/ScreenSpriteOwner.h"

namespace kis {
class DataCursor;
}

class ASSArrowButton;
class LevelMap;
class LevelPointMaker;
class MapObject;
class PointJob;

// Point kinds.
constexpr i32 kPointKindNone = -1;
constexpr i32 kPointKindEmpty = 0;
constexpr i32 kPointKindWarehouse = 1;
constexpr i32 kPointKindPlant = 2;
constexpr i32 kPointKindBuilding = 3;

constexpr u32 kPointCursor = 0x101;  // the hand over a point's objects
constexpr u32 kPointSpriteShowTime = 200;  // ms of the points' sprites' show and hide effects

// A point's parameters, as the factory and Setup take them and GetInfo
// gives them back (the first words of a point definition and of a point's
// saved header). Fields a caller does not set are 0.
// What the level tells its points (OnLevelNotify).
constexpr u32 kLevelNotifyEnd = 1;   // the level ends
constexpr u32 kLevelNotifyRain = 2;  // the rain bonus begins: the plant points are watered

struct POINTPARAMS {
  u32 kind = 0;
  i32 level = 0;
  u32 id = 0;     // plant or building id, or an empty place's garbage id
  u32 price = 0;  // an empty place's clearing price (a plant's growth percent, f32 bits)
  u32 extra[2] = {0, 0};  // a plant's water left and water maximum
};

struct POINTPOS {
  i32 x = 0;
  i32 y = 0;
};

class BaseLevelPoint : public ScreenSpriteOwner {
 public:
  explicit BaseLevelPoint(LevelMap& map);  // a point of that map, made by its point maker
  ~BaseLevelPoint() override;
  BaseLevelPoint(const BaseLevelPoint&) = delete;
  BaseLevelPoint& operator=(const BaseLevelPoint&) = delete;

  // --- Overridable ------------------------------------------------------------------------------
  virtual bool Setup(const POINTPARAMS& params, bool fade, u32 delay) = 0;
  virtual bool OnHover(MapObject* hovered);  // false refuses the hover
  virtual void OnUnhover() {}
  virtual void OnSelect() {}    // subclasses open their panel
  virtual void OnDeselect() {}  // and close it
  virtual BaseLevelPoint* SetMark(u8 mark);
  virtual bool CanBeDamaged() const { return false; }
  virtual void StopJobs(bool /*fade*/) {}
  // Finishes the repair job and takes the repair arrow away with a fade.
  virtual void CancelRepair();
  virtual void GetPos(POINTPOS* out) const;
  // The point's hint anchor: here its position; a plant point's button
  // anchor, 48 above a building. The repair arrow does not stand there but
  // at the position (GetPos), as the tutorials' point targets do.
  virtual void GetHintAnchor(POINTPOS* out) const { GetPos(out); }
  // Where the player stands to work on the point, from its position.
  virtual void GetWorkOffset(POINTPOS* out) const = 0;
  // One tick of ms: the time the point may use.
  virtual u32 Update(u32 ms) { return ms; }
  virtual void SetRateModifier(u32 id, bool additive, float value) { rates_.Set(id, additive, value); }
  // Makes this point the level's selected point, with the selection sound.
  virtual void Select(MapObject* sender);
  virtual void GetInfo(POINTPARAMS* out) const;
  virtual bool Collect(uintptr_t /*argument*/) { return false; }  // nothing to collect
  virtual void OnLevelNotify(u32 /*event*/) {}  // the animal houses pass it on
  // The saved level: the point's state, a word of extras (0) and its damage.
  virtual bool SaveState(kis::DataCursor* /*writer*/) { return true; }
  virtual bool LoadState(kis::DataCursor* /*reader*/) { return true; }
  virtual bool SaveExtra(kis::DataCursor* writer);
  virtual bool LoadExtra(kis::DataCursor* reader);  // true only for a 0
  // A u32 villain id (0: no damage), then the damage record.
  virtual bool SaveDamage(kis::DataCursor* writer);
  virtual bool LoadDamage(kis::DataCursor* reader);

  // --- Life ---------------------------------------------------------------------------------------
  // Once: a final call marks the point shut down; then the class's shutdown.
  // The delay (ms) until the point's pictures have gone.
  u32 Shutdown(bool fade, bool final, u32 delay);
  bool IsShutDown() const { return shutDown_; }

  // --- Jobs ---------------------------------------------------------------------------------------
  // A job belongs to one point at a time: adding it to another detaches it
  // from the old one. Both re-arrange the job icons.
  void AddJob(PointJob* job);
  void DetachJob(PointJob* job);
  const kis::list<PointJob*>& GetJobs() const { return jobs_; }
  // The icons of the listed jobs whose icons stand where that job's does:
  // one in the middle, two side by side 36 apart, more on a circle of 18.
  void ArrangeJobIcons(const PointJob* changed);
  // While a job that works on this point (the player's plant to shear, as
  // they list themselves here with their icons) waits or runs; asked of
  // the listed jobs each time, so no count has to follow them.
  bool IsBusy() const;

  // --- Damage ----------------------------------------------------------------------------------
  bool HasDamage() const { return damage_ != nullptr; }
  MapObject* GetDamage() const { return damage_; }
  void SetDamage(MapObject* damage) { damage_ = damage; }  // owned
  void DeleteDamage();
  PointJob* GetRepairJob() const { return repairJob_; }
  void SetRepairJob(PointJob* job) { repairJob_ = job; }
  ASSArrowButton* GetRepairArrow() const { return repairArrow_; }
  void SetRepairArrow(ASSArrowButton* arrow) { repairArrow_ = arrow; }  // owned
  void RemoveRepairArrow(bool fade, u32 delay);

  // --- Fields ----------------------------------------------------------------------------------
  i32 GetIndex() const { return index_; }
  void SetIndex(i32 index) { index_ = index; }
  i32 GetKind() const { return kind_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  void SetPosition(i32 x, i32 y) {
    x_ = x;
    y_ = y;
  }
  u8 GetMark() const { return mark_; }
  bool IsPointHovered() const { return hovered_; }  // the mouse is on or near the point
  bool IsSelected() const { return selected_; }
  void SetHovered(bool on) { hovered_ = on; }
  void SetSelected(bool on) { selected_ = on; }
  u32 GetCursor() const { return cursor_; }
  u16 GetCursorTag() const { return cursorTag_; }
  void SetCursor(u32 cursor, u16 tag) {
    cursor_ = cursor;
    cursorTag_ = tag;
  }
  i32 GetShowDelay() const { return showDelay_; }
  const RateModifiers& GetRates() const { return rates_; }
  LevelMap& GetMap() const { return map_; }
  LevelPointMaker* GetMaker() const { return maker_; }

 protected:
  // The class's own shutdown (see Shutdown); the delay until it is gone.
  virtual u32 DoShutdown(bool fade, bool final, u32 delay);

  i32 kind_ = kPointKindNone;
  i32 showDelay_ = 0;

 private:
  kis::list<PointJob*> jobs_;
  LevelMap& map_;
  LevelPointMaker* maker_;
  i32 index_ = -1;
  i32 x_ = 0;
  i32 y_ = 0;
  u8 mark_ = 0;
  bool hovered_ = false;
  bool selected_ = false;
  u32 cursor_ = kPointCursor;
  u16 cursorTag_ = 0;
  bool shutDown_ = false;
  RateModifiers rates_;
  MapObject* damage_ = nullptr;
  PointJob* repairJob_ = nullptr;
  ASSArrowButton* repairArrow_ = nullptr;
};
