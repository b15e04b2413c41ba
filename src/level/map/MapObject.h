// MapObject - anything placed on the level's map and drawn in depth order:
// scenery sprites, gates, water, the hidden award, particle emitters,
// characters and the damage on a point. Every map object belongs to the
// level map it is made on (LevelMap), which lists it from construction to
// destruction; it is drawn only while attached (in a depth band of its
// layer).
//
// Life: made detached -> AttachToLevel (into its band, shapes and shadow
// registered by OnAdded) -> moved with SetPos (the band follows) ->
// Dispose (dead; Release frees what it holds in the level; it waits in the
// disposal list of its layer) -> deleted by the next draw of its layer once
// its effects have ended. DisposeWithEffect plays a removal effect first and
// says how long the object has left. Deleting an object detaches it and
// takes it out of every list of the map.
#pragma once

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "resources/CursorIds.h"

class BaseLevelPoint;
class LevelMap;
class LevelShadow;
class SpriteEffect;
class SpriteEffectList;

// Kind codes (top nibble: 1 sprite objects, 2 moving objects, 4 others).
constexpr u32 kObjectSprite = 0x10000000u;
constexpr u32 kObjectGate = 0x10000001u;
constexpr u32 kObjectWater = 0x10000002u;
constexpr u32 kObjectAward = 0x10000003u;
constexpr u32 kObjectPlaceMarker = 0x10000100u;  // the marker and garbage of an empty place
constexpr u32 kObjectDynamic = 0x20000000u;
constexpr u32 kObjectVillainShot = 0x20000010u;  // a villain's flying shot
constexpr u32 kObjectVillain = 0x20000110u;
constexpr u32 kObjectCatapult = 0x20000111u;     // a villain's catapult
constexpr u32 kObjectDamage = 0x40000010u;
constexpr u32 kObjectParticles = 0x40000020u;

// Attach flags.
constexpr u32 kAttachObstacles = 1;     // an obstacle for the path finder
constexpr u32 kAttachClickShapes = 2;   // has click shapes
constexpr u32 kAttachSecondVariety = 4; // its obstacles are of the second variety


constexpr u32 kLayerGround = 0;
constexpr u32 kLayerStanding = 1;

class MapObject {
 public:
  MapObject(LevelMap& map, u32 layer);
  virtual ~MapObject();
  MapObject(const MapObject&) = delete;
  MapObject& operator=(const MapObject&) = delete;

  // --- Overridable ----------------------------------------------------------------------
  virtual void Release() {}  // frees what the object holds in the level, once disposed
  // Starts a removal animation; the delay until it has played.
  virtual u32 StartRemoval(u32 delay) { return delay; }
  virtual void OnAdded();    // attached: the shadow registers
  virtual void OnRemoved();  // detached: the shadow unregisters
  virtual void Draw() = 0;
  // Sort row and key from the position; the band follows while in one.
  virtual void SetPos(i32 x, i32 y);
  // Same flags while attached: nothing; other flags: detached first.
  virtual void AttachToLevel(u32 flags);
  virtual void DetachFromLevel();
  virtual void AddEffect(SpriteEffect* effect);  // a copy goes to the shadow
  virtual void ClearEffects();
  virtual bool Highlight();  // false when already highlighted or dead
  virtual i32 GetPointIndex() const;  // the owner point's index, -1 without
  // With an owner point: the point is selected and the click ends there
  // (null); without: the object itself.
  virtual MapObject* OnClick();

  // --- Removal ------------------------------------------------------------------------
  void Dispose();  // once
  // Not when dead: effects cleared, StartRemoval, Dispose, then the effect
  // (null: none) added. The time until the object is gone: the delay plus
  // the effect's duration. A dead object answers the delay and the effect
  // is deleted.
  u32 DisposeWithEffect(u32 delay, SpriteEffect* effect);

  // --- State --------------------------------------------------------------------------------
  void SetShadow(LevelShadow* shadow);  // owned; registered at once while attached
  void SetSortOffset(i32 dx, i32 dy);   // re-sorts when changed
  // Steps the effects: whether any remain; the colour's alpha follows an
  // effect that drives colour.
  bool UpdateEffects();
  void SetOwnerPoint(BaseLevelPoint* point) { ownerPoint_ = point; }

  LevelMap& GetMap() const { return map_; }
  u32 GetSerial() const { return serial_; }
  u32 GetKind() const { return kind_; }
  u32 GetAttachFlags() const { return attachFlags_; }
  u32 GetLayer() const { return layer_; }
  i32 GetBand() const { return band_; }
  i32 GetSortOffsetX() const { return sortOffsetX_; }
  i32 GetSortOffsetY() const { return sortOffsetY_; }
  i32 GetSortRow() const { return sortRow_; }
  i32 GetSortKey() const { return sortKey_; }
  bool IsAttached() const { return attached_; }
  bool IsInBand() const { return inBand_; }
  bool IsDead() const { return dead_; }
  bool IsHighlighted() const { return highlighted_; }
  void ClearHighlight() { highlighted_ = false; }
  u32 GetColor() const { return color_; }
  void SetColor(u32 color) { color_ = color; }
  u32 GetCursorKind() const { return cursorKind_; }
  BaseLevelPoint* GetOwnerPoint() const { return ownerPoint_; }
  LevelShadow* GetShadow() const { return shadow_; }
  SpriteEffectList* GetEffects() const { return effects_; }
  const DXLMATRIX& GetTransform() const { return transform_; }

  // For the level map only: where the object stands in the bands.
  void SetBandPlace(i32 band, i32 sortRow, i32 sortKey) {
    band_ = band;
    inBand_ = band >= 0;
    sortRow_ = sortRow;
    sortKey_ = sortKey;
  }
  // Depth order: key, then serial.
  bool SortsBefore(i32 key, u32 serial) const {
    return sortKey_ < key || (sortKey_ == key && serial_ < serial);
  }

 protected:
  // The whole-pixel position SetSortOffset re-sorts at; false when the
  // object has none.
  virtual bool GetSortPosition(i32* x, i32* y) const;
  void StoreSortOffset(i32 dx, i32 dy) {  // without re-sorting
    sortOffsetX_ = dx;
    sortOffsetY_ = dy;
  }

  u32 kind_ = kObjectSprite;
  u32 cursorKind_ = kCursorArrow;
  DXLMATRIX transform_{};
  SpriteEffectList* effects_ = nullptr;
  bool effectAlphaActive_ = false;

 private:
  LevelMap& map_;
  u32 serial_;
  u32 attachFlags_ = 0;
  i32 band_ = -1;
  i32 sortOffsetX_ = 0;
  i32 sortOffsetY_ = 0;
  u32 layer_;
  i32 sortRow_ = -1;
  i32 sortKey_ = 0;
  bool attached_ = false;
  bool inBand_ = false;
  bool dead_ = false;
  LevelShadow* shadow_ = nullptr;
  u32 color_ = 0xFFFFFFFFu;
  BaseLevelPoint* ownerPoint_ = nullptr;
  bool highlighted_ = false;
};

// The state a highlighted object is drawn in: the texture's colour added to
// the vertex colour, which brightens it.
const DXLDRAWSTATE* MapHighlightBlend();
