// MapNodes - a level's node on the level-selection map (MapLevelSprite) and
// the decorations it shows (BaseMLS and its kinds), chosen from the level's
// MAPNODE items by the level's state: each item names the states it shows
// in by its mask (0x1 hidden, 0x2 closed, 0x4 open, 0x8 finished, 0x10 the
// villains' attack). A node also shows a glow while its level is open, the
// medal and the level number once it is finished, and a highlight under the
// pointer. State changes fade decorations in and out (300 ms) or apply at
// once.
//
// The node reads the level's state in the current profile through its
// MapNodeOwner (the level-selection map, LevelSelectMap). Decorations are
// made when a state needs them and deleted when their hiding fade ends.
// Items of the map characters' kind (256) make their group of characters
// (MLSChars, MapAnimals.h).
#pragma once

#include <memory>

#include "base/Types.h"
#include "content/MapSection.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLFrameSeq.h"
#include "engine/DXLRect.h"

class GPSSpace;
class ImageSprite;
class KGETextSpriteW;
class Sprite;
class SpriteEffectList;

// Level states a node shows (the profile's, Profile.h).
constexpr u32 kMapNodeStates = 7;
constexpr u32 kMapNodeFadeMs = 300;
// The medal's place from the node (map units), and the sign board's
// top-left corner from its item's place.
constexpr float kMapMedalX = -49.0f;
constexpr float kMapMedalY = -2.0f;
constexpr i32 kMapSignLeft = -24;
constexpr i32 kMapSignTop = -57;

// The pictures all nodes share, looked up by name once for all of them
// (LookUpMapNodePictures) and kept by the map; a missing one is null and
// left out.
struct MapNodePictures {
  Sprite* sign = nullptr;    // "sign", under every level sign
  Sprite* medals = nullptr;  // "map_medals", the finished levels' medal
};

// What a node reads of the map that owns it.
class MapNodeOwner {
 public:
  virtual ~MapNodeOwner() = default;
  // The level's state in the current profile and regime (0..6).
  virtual u32 GetLevelState(i32 level) const = 0;
  // The shared pictures (kept while the map lives).
  virtual const MapNodePictures& GetNodePictures() const = 0;
};

// A picture of a sprite set made ready to draw (it stays so while the set
// lives); null when missing or it does not load.
Sprite* LoadSelectMapPicture(u32 set, const wchar* name);
// "sign" and "map_medals" looked up (once, by the map).
MapNodePictures LookUpMapNodePictures();

// The additive state of the highlight pass over hovered decorations.
const DXLDRAWSTATE* MapHoverDrawState();

// The item mask of a level state: 0x1, 0x2, 0x4 for states 0 to 2, 0x8 above.
u32 MapStateMask(u32 state);

class BaseMLS {
 public:
  explicit BaseMLS(u32 mask) : mask_(mask) {}
  virtual ~BaseMLS();
  BaseMLS(const BaseMLS&) = delete;
  BaseMLS& operator=(const BaseMLS&) = delete;

  virtual void Show(u32 delay);  // fades in over 300 ms after the delay
  virtual void Hide(u32 delay);  // fades out likewise
  virtual void Begin() {}
  virtual void End() {}
  virtual void Update(u32 /*ms*/) {}
  // `color`'s top byte is the alpha; `hovered` adds the highlight pass.
  virtual void Draw(u32 color, bool hovered) = 0;

  u32 GetMask() const { return mask_; }
  SpriteEffectList* GetEffects() const { return effects_; }
  SpriteEffectList** EffectSlot() { return &effects_; }
  bool hiding = false;
  bool begun = false;

 protected:
  u32 mask_;
  SpriteEffectList* effects_ = nullptr;
};

// Kind 1 (a sprite at its position) and kind 3 (centred on it).
class MLSSprite : public BaseMLS {
 public:
  MLSSprite(const MAPNODEITEM& item, bool centred);
  ~MLSSprite() override;
  void Begin() override;
  void Update(u32 ms) override;
  void Draw(u32 color, bool hovered) override;
  ImageSprite* GetImage() const { return image_.get(); }
  float GetX() const { return x_; }
  float GetY() const { return y_; }

 private:
  std::unique_ptr<ImageSprite> image_;
  float x_ = 0.0f;
  float y_ = 0.0f;
  bool animated_ = false;
  DXLFRAMESEQ seq_{};
};

// Kind 2: the level's sign with its number.
class MLSSign : public BaseMLS {
 public:
  // `sign`: the shared "sign" picture (null: none drawn).
  MLSSign(const MAPNODEITEM& item, i32 level, Sprite* sign);
  ~MLSSign() override;
  void Show(u32 delay) override;  // builds up
  void Hide(u32 delay) override;  // shrinks away
  void Draw(u32 color, bool hovered) override;
  KGETextSpriteW* GetNumber() const { return number_.get(); }

 private:
  std::unique_ptr<ImageSprite> image_;
  std::unique_ptr<KGETextSpriteW> number_;
  float x_ = 0.0f;
  float y_ = 0.0f;
  float numberX_ = 0.0f;
  float numberY_ = 0.0f;
};

// Kind 4: a group of particle emitters drawn at the item's scale.
class MLSParticles : public BaseMLS {
 public:
  explicit MLSParticles(const MAPNODEITEM& item);
  ~MLSParticles() override;
  void Begin() override;  // the emitters run
  void End() override;    // and stop at once
  void Update(u32 ms) override;
  void Draw(u32 color, bool hovered) override;
  GPSSpace* GetSpace() const { return space_.get(); }

 private:
  float scale_;
  std::unique_ptr<GPSSpace> space_;
};

class MapLevelSprite {
 public:
  // `node` is kept (the map owns it); x and y are the node's map position.
  // The "selection" and "hex" quads are made here, once.
  MapLevelSprite(MapNodeOwner* owner, i32 level, i32 x, i32 y, const MAPNODE* node);
  virtual ~MapLevelSprite();
  MapLevelSprite(const MapLevelSprite&) = delete;
  MapLevelSprite& operator=(const MapLevelSprite&) = delete;

  // A state (kept within 0..6): the decorations of its mask, the glow while
  // open, the medal (the profile's grade) and number once finished; animated
  // changes start after `delay` ms.
  virtual void SetState(u32 state, bool animate, u32 delay);
  // Every fade ended at once: decorations begun, the medal opaque.
  virtual void FinishEffects();
  virtual void Update(u32 ms);
  // The decorations for an item mask, the state kept.
  void SetChildren(u32 mask, bool animate, u32 delay);
  // First pass (selection, glow, decorations) and second (medal, number),
  // each from the map's transform `base`.
  void Draw(const DXLMATRIX& base);
  void DrawResult(const DXLMATRIX& base);
  void SetHover(bool hovered) { hover_ = hovered ? 2 : 1; }
  // The sign, and the medal with its number, moved down by so many map
  // units (up when negative; 0: where the node's look puts them), so the
  // map can keep them clear of what covers the screen's edges.
  void SetLabelShifts(float sign, float medal) {
    signShift_ = sign;
    medalShift_ = medal;
  }
  float GetMedalShift() const { return medalShift_; }
  // The sign's picture in map units, shifted (false: no sign).
  bool GetSignBounds(DXLRECT* out) const;
  // The medal and its number as drawn around the medal's place (the node
  // plus kMapMedalX, kMapMedalY and its shift), in screen pixels at scale
  // 1, whether or not the level is finished.
  DXLRECT GetResultBounds() const;

  i32 GetLevel() const { return level_; }
  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  u32 GetState() const { return state_; }
  bool IsHovered() const { return hover_ >= 2; }
  BaseMLS* GetChild(u32 slot) const { return slot < kMapNodeItemSlots ? children_[slot] : nullptr; }
  bool IsGlowOn() const { return glow_; }
  SpriteEffectList* GetGlowEffects() const { return glowEffects_; }
  i32 GetMedalFrame() const { return medalFrame_; }
  KGETextSpriteW* GetNumber() const { return number_.get(); }
  SpriteEffectList* GetResultEffects() const { return resultEffects_; }
  Sprite* GetSelectionPicture() const { return selection_; }
  Sprite* GetHexPicture() const { return hex_; }

 private:
  void DeleteChild(u32 slot);
  BaseMLS* MakeChild(const MAPNODEITEM& item) const;

  MapNodeOwner* owner_;
  i32 level_;
  const MAPNODE* node_;
  Sprite* selection_ = nullptr;  // null: no highlight drawn
  DXLQUAD selectionQuad_{};
  Sprite* hex_ = nullptr;  // null: no glow drawn
  DXLQUAD hexQuad_{};
  BaseMLS* children_[kMapNodeItemSlots] = {};
  i32 x_;
  i32 y_;
  u32 hover_ = 1;
  u32 state_ = 0;
  i32 medalFrame_ = -1;
  std::unique_ptr<ImageSprite> medal_;
  std::unique_ptr<KGETextSpriteW> number_;
  float numberX_ = 0.0f;
  float numberY_ = 0.0f;
  SpriteEffectList* resultEffects_ = nullptr;
  bool glow_ = false;
  SpriteEffectList* glowEffects_ = nullptr;
  float signShift_ = 0.0f;
  float medalShift_ = 0.0f;
};
