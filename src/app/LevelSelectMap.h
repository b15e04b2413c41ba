// LevelSelectMap - the level-selection map, game state 5: a landscape of
// 1024 x 768 map units on which the 41 levels stand as nodes of a
// hexagonal grid of 7 x 7 cells (MapLevelSprite, MapNodes.h), with its
// background pieces, animated waters and particle emitters, read from the
// data archive's "MAPM" section (content/MapSection.h).
//
// One map lives for the whole run: made empty by the game, filled once by
// the start-up loader (ReadMapSection), entered and left with state 5. On
// entry it makes the map interface (MapInterface) and refreshes its nodes
// from the current profile; a click on a playable node opens the level
// window, whose answer starts the level (StartLevel, through the host).
// Told of a result by the profile (LevelResultListener), it animates what
// the result changed when the level hands back (PlayResult), then serves
// the map tutorials and award notices that are due (StartTutorials).
//
// Map units reach the screen (game coordinates) through the screen fit:
// scale h / 768 unless the height is 768 to 800 (then 1, centred
// vertically), centred horizontally. The mouse wheel zooms (modes 1 and 2:
// steps 0.01 and 0.1) between 0.5 and 1.5, snapping to the scale it had.
//
// Node items of kind 256 carry the map characters (MapAnimals.h). On a
// fresh profile whose opening comic has played, the villains' attack runs
// (StartVillainsAttack): every node hidden with its attack look, two
// villains (MLCVillain) walk in and shoot gas at four nodes, then leave.
#pragma once

#include <memory>
#include <vector>

#include "app/MapVillainAttack.h"
#include "app/MapNodes.h"
#include "app/ProfileSeams.h"
#include "base/Types.h"
#include "content/MapSection.h"
#include "content/ProfileProgress.h"
#include "level/rules/LevelProfile.h"
#include "engine/DXLDrawTypes.h"
#include "windows/MapInterface.h"

class GPSSpace;
class ProfileStore;
class Profile;
class Sprite;

namespace kis {
class BaseDataFileReader;
}

struct SectionCursor;

constexpr u32 kMapWidth = 1024;
constexpr u32 kMapHeight = 768;
constexpr u32 kMapGridColumns = 7;
constexpr u32 kMapDrawSlots = 49;
constexpr u32 kMapWaterFrames = 8;
constexpr u32 kMapLevelCursor = 257;  // over a playable level
constexpr float kMapHexFactor = 1.48330f;  // sin 60 degrees x 161 / 2 / 47
constexpr u32 kMapVillainsTutorialId = 0x40080000u;  // the attack's tutorial

// The map's pending tutorials and notices (GetTutorialFlags).
constexpr u32 kMapTutorialFirst = 0x2;    // the first tutorial's check
constexpr u32 kMapTutorialRegime = 0x4;   // the hard regime was unlocked
constexpr u32 kMapNoticeAward = 0x8;      // a new award
constexpr u32 kMapNoticeFinal = 0x10;     // the final award
constexpr u32 kMapVillainsAttack = 0x20;  // the opening comic ended
// The profile's one-time flags of the map's tutorials.
constexpr u32 kProfileShownFirstMap = 0x2;
constexpr u32 kProfileShownHardMap = 0x10;
constexpr u32 kProfileShownVillainsAttack = 0x40;  // the opening attack was played

// What the map asks of the game around it: the level object that plays a
// chosen level. The game (Game.h) implements it; tests install a fake.
class LevelSelectMapHost {
 public:
  virtual ~LevelSelectMapHost() = default;
  // A level object of this level and regime exists that has not ended.
  virtual bool HasKeptLevel(i32 level, u32 regime) const = 0;
  // The level object deleted (none: nothing).
  virtual void DeleteLevel() = 0;
  // A new level object for the level in the current profile's regime; false
  // when none could be made.
  virtual bool MakeLevel(i32 level) = 0;
};

// One animated water: up to 8 frames, each fading in over the one before,
// the last fading out before the cycle restarts.
struct MapWater {
  Sprite* frames[kMapWaterFrames] = {};
  u32 frameCount = 0;
  float x = 0.0f;
  float y = 0.0f;
  u32 frameTime = 0;
  u32 step = 0;
  u32 elapsed = 0;
  float progress = 0.0f;

  void Update(u32 ms);
  void Draw() const;
};

class LevelSelectMap : public MapNodeOwner,
                       public MapInterfaceHost,
                       public LevelResultListener,
                       public MapAttackHost {
 public:
  LevelSelectMap(ProfileStore* profiles, LevelSelectMapHost* host);
  ~LevelSelectMap() override;
  LevelSelectMap(const LevelSelectMap&) = delete;
  LevelSelectMap& operator=(const LevelSelectMap&) = delete;

  // The "MAPM" section read in one call (1 returned; a failure sets the
  // cursor's error flag and leaves the map not loaded), then Load.
  i32 ReadMapSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);
  // The section's data taken: the background and waters' pictures, the 41
  // nodes at their cells in the level table's grid, the draw order, the
  // screen fit. The map is loaded from then on.
  void Load(MapSectionData data);
  bool IsLoaded() const { return loaded_; }
  void SetCheats(bool on) { cheats_ = on; }

  // --- State 5 -------------------------------------------------------------------------------
  void Enter();
  void Leave();
  void Update(u32 ms);
  void Draw();
  // Input in game coordinates; each offered to the window manager first.
  void OnMouseDown(i32 x, i32 y, u32 button, u32 flags);
  void OnMouseUp(i32 x, i32 y, u32 button, u32 flags);
  void OnMouseMove(i32 x, i32 y, u32 buttons, u32 flags);
  void OnDoubleClick(i32 x, i32 y, u32 flags);
  void OnMouseWheel(i32 x, i32 y, i32 delta, i32 second, i32 mode);
  // The keys answer whether a window or the map took them.
  bool OnKeyDown(u16 key, u32 flags);  // virtual-key code
  bool OnKeyUp(u16 key, u32 flags);
  bool OnChar(u16 character);
  bool GetCursor(u32* cursor);
  void OnScreenResize();

  // --- Geometry ------------------------------------------------------------------------------
  DXLPOINT ToScreen(i32 x, i32 y) const;
  DXLPOINT ToMap(i32 x, i32 y) const;
  static DXLPOINT GetLevelPos(i32 cell);
  // The level at a map point, or -1.
  i32 HitTest(i32 x, i32 y) const;
  // The draw-order slot of a grid cell (row x 7 + the odd columns first).
  static u32 DrawSlot(i32 cell);
  void FitScreen(i32 width, i32 height);
  // A node's sign and its medal with the number, on the screen as the map
  // draws them now (false for a level without a node or sign).
  bool GetNodeLabels(i32 level, DXLRECT* sign, DXLRECT* medal) const;
  void CoverScreen();  // the offsets kept where the picture covers the game area

  // --- The map's work -------------------------------------------------------------------------
  // The hover from the pointer at (x, y) (game coordinates).
  void UpdateHover(i32 x, i32 y);
  void StartLevel(i32 level, bool fresh);
  void PlayResult(u32 delay);
  void StartTutorials();
  void Refresh();
  void RefreshLevels(bool atOnce);
  // The current profile's progress copied for the map to show (its
  // profile is about to go).
  void KeepProfileCopy();

  // LevelResultListener
  void RememberLevel(i32 level) override;
  void SetLevelResult(const LEVELRESULT& result) override;
  // MapInterfaceHost
  void OnProfileChosen() override;
  void OnCurrentProfileDeleted() override { KeepProfileCopy(); }
  void OnCurrentProfileReplaced() override;
  void OnRegimeSwitched() override;
  // The fade after a profile choice has covered the screen: the greeting
  // made anew, the map refreshed.
  void ProfileCovered();
  // MapNodeOwner
  u32 GetLevelState(i32 level) const override;
  const MapNodePictures& GetNodePictures() const override { return pictures_; }
  // MapAttackHost
  bool GetLevelNodePos(i32 level, float* x, float* y) const override;
  void LockLevelNode(i32 level) override;
  GPSSpace* GetAttackParticles() override { return particles_.get(); }

  // The villains' attack: every node hidden in its attack look, two
  // villains made (none when their descriptions or animations are missing)
  // and the attack's tutorial started.
  void StartVillainsAttack();
  const kis::list<MLCVillain*>& GetVillains() const { return villains_; }
  void DeleteVillains();

  // --- What tests and the game read ------------------------------------------------------------
  MapLevelSprite* GetNode(i32 level) const;
  MapLevelSprite* GetDrawSlot(u32 slot) const { return slot < kMapDrawSlots ? order_[slot] : nullptr; }
  MapInterface* GetInterface() const { return interface_.get(); }
  float GetScale() const { return scale_; }
  i32 GetOffsetX() const { return offsetX_; }
  i32 GetOffsetY() const { return offsetY_; }
  i32 GetHovered() const { return hovered_; }  // a level shown on the map, or -1
  DXLPOINT GetPointer() const { return pointer_; }  // the last pointer place the map was told
  i32 GetPlayedLevel() const { return played_; }
  i32 GetResultLevel() const { return result_.level; }
  u32 GetTutorialFlags() const { return tutorialFlags_; }
  // Villains of the attack scene are still on the map (the scene's tutorial
  // brings the map back once none is left).
  bool HasVillains() const { return villains_.GetCount() > 0; }
  void AddTutorialFlags(u32 flags) { tutorialFlags_ |= flags; }
  bool OwnsProgressCopy() const { return copy_ != nullptr; }
  const PROFILEPROGRESS* GetProgress() const { return Progress(); }
  u32 GetTotalTime() const { return totalTime_; }
  u32 GetBackgroundPieces() const { return pieces_; }
  const std::vector<MapWater>& GetWaters() const { return waters_; }
  GPSSpace* GetParticles() const { return particles_.get(); }

 private:
  // A result waiting to be played opens the hard regime.
  bool RegimeOpensWithResult() const;
  Profile* Current() const;
  const PROFILEPROGRESS* Progress() const;
  u32 Regime() const;
  bool IsPlayable(i32 level) const;
  void SetHovered(i32 level);
  // Each node's sign and medal moved where the interface's panels would
  // cover them on the fitted screen.
  void PlaceNodeLabels();
  void KeepPointer(i32 x, i32 y);  // the pointer's place stored, the hover kept
  void ReleaseCopy();
  void CloseMapWindows();
  void LevelWindowClosed(u32 result, i32 level, u32 fresh);

  ProfileStore* profiles_;
  LevelSelectMapHost* host_;
  bool loaded_ = false;
  bool cheats_ = false;
  MapSectionData data_;
  std::unique_ptr<MapInterface> interface_;
  const PROFILEPROGRESS* progress_ = nullptr;
  std::unique_ptr<PROFILEPROGRESS> copy_;
  DXLPOINT pointer_{0, 0};
  DXLPOINT pointerMap_{0, 0};
  i32 offsetX_ = 0;
  i32 offsetY_ = 0;
  float scale_ = 1.0f;
  float homeScale_ = 0.0f;  // the scale when the wheel first turned (0: not yet)
  i32 fitWidth_ = 0, fitHeight_ = 0;  // the game area fitted
  i32 fitX_ = 0, fitY_ = 0;           // the offsets of the fit
  i32 hovered_ = -1;
  i32 pointed_ = -1;  // the level under the pointer, shown or not (the developers' result takes it)
  u32 totalTime_ = 0;
  u32 unspent_ = 0;
  u32 frames_ = 0;
  u32 previous_[kLevelCount] = {};
  std::vector<std::unique_ptr<MapLevelSprite>> nodes_;
  MapNodePictures pictures_;  // shared by the nodes
  i32 played_ = -1;
  LEVELRESULT result_{};
  u32 tutorialFlags_ = 0;
  bool sidePieces_ = false;
  Sprite* background_[3] = {};  // centre, left, right
  DXLQUAD backgroundQuads_[3] = {};
  u32 pieces_ = 1;
  DXLMATRIX transform_{};
  std::vector<MapWater> waters_;
  MapLevelSprite* order_[kMapDrawSlots] = {};
  std::unique_ptr<GPSSpace> particles_;
  i32 cells_[kLevelCount] = {};  // each level's grid cell, -1 for none
  kis::list<MLCVillain*> villains_;
  bool attackShown_ = false;  // the nodes show the attack's look
};

// The map installed in the application services (AppServices::
// levelSelectMap: the effects' and windows' plain callbacks reach it
// through this); null when none is.
LevelSelectMap* GetLevelSelectMap();
