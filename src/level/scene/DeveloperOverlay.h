// DeveloperOverlay - the developer's keys and the overlay drawn over every
// game state while the "Cheats" switch of "config.ini" is on: money, game
// speed, an instant win at a chosen medal time, a failure, a restart, award
// notices, villains brought in by hand or switched off, a warehouse without
// limits; and on screen the frame rate, the profile's clock, shapes and
// paths, object markers, level-point numbers and counters. With the switch
// off no key is taken and nothing is drawn.
//
// The one overlay lives in the level services (LevelServices::developer)
// between InitDebugOverlay and ReleaseDebugOverlay. It reads the game state
// from ResourceServices::appState, the current profile's play time from
// ResourceServices::profilePlayTime and reaches the running level the game's
// world hands it (SetLevel); award notices go through the level's award hook.
#pragma once

#include <functional>
#include <memory>

#include "base/Types.h"

class GameLevel;
class LevelCharacters;
class KGEFont;
namespace shpf {
class PathFinder;
}

// The path flags' bits: the path-search cells of "girl" and "chicken".
constexpr u32 kDebugPathsGirl = 0x80000000u;
constexpr u32 kDebugPathsChicken = 0x40000000u;
constexpr float kDebugFirstLine = 50.0f;  // y of the overlay's first line

struct SHAPEDESC;

class DeveloperOverlay {
 public:
  // The three fonts made (the third yellow); null leaves a font out, and
  // without all three nothing is drawn.
  explicit DeveloperOverlay(bool enabled, bool makeFonts = true);
  ~DeveloperOverlay();
  DeveloperOverlay(const DeveloperOverlay&) = delete;
  DeveloperOverlay& operator=(const DeveloperOverlay&) = delete;

  // True when the key (a scan code; modifiers 1 Ctrl, 2 Shift, 4 Alt) was used.
  bool KeyDown(u16 key, u32 modifiers);
  void Draw();

  // The running level (null outside levels).
  void SetLevel(GameLevel* level) { level_ = level; }
  GameLevel* GetLevel() const { return level_; }
  // Whether a key (scan code) is held; by default the application keyboard's state.
  void SetHeldKeyQuery(std::function<bool(u8)> query) { held_ = std::move(query); }

  bool IsEnabled() const { return enabled_; }
  bool ShowsClock() const { return clock_; }
  bool ShowsFrameRate() const { return frameRate_; }
  bool ShowsMapCharacters() const { return mapCharacters_; }
  u32 GetPathFlags() const { return pathFlags_; }
  bool ShowsShapes() const { return shapes_; }
  bool ShowsMarkers() const { return markers_; }
  bool ShowsPointNumbers() const { return pointNumbers_; }
  bool ShowsCounters() const { return counters_; }
  KGEFont* GetFont(u32 i) const { return i < 3 ? fonts_[i] : nullptr; }
  // y of the next overlay line; the lines drawn in the last Draw.
  float GetLinePosition() const { return line_; }
  u32 GetLinesDrawn() const { return lines_; }

 private:
  bool LevelKey(GameLevel& level, u16 key, u32 modifiers);
  void WinAt(GameLevel& level, i32 limit, bool setTime);
  void DrawLevel(GameLevel& level);
  void DrawPaths(const LevelCharacters& cast, const shpf::PathFinder& finder);
  void DrawLine(const wchar* text);

  bool enabled_;
  KGEFont* fonts_[3] = {};
  bool clock_ = false;
  bool frameRate_ = false;
  bool mapCharacters_ = false;
  u32 pathFlags_ = 0;
  bool shapes_ = false;
  bool markers_ = false;
  bool pointNumbers_ = false;
  bool counters_ = false;
  float line_ = kDebugFirstLine;
  u32 lines_ = 0;
  GameLevel* level_ = nullptr;
  std::function<bool(u8)> held_;
};

// The game's calls: the overlay made (and put into the level services) with
// the switch, deleted again; each render callback ends with the draw; the
// key callbacks offer every key first.
void InitDebugOverlay(bool enabled);
void ReleaseDebugOverlay();
void DrawDebugOverlay();
bool DebugKeyDown(u16 key, u32 modifiers);
DeveloperOverlay* GetDeveloperOverlay();
// A shape description filled and outlined in the current transform's
// coordinates (an unknown kind draws nothing; a fill of alpha 0 none).
void DrawShapeDesc(const SHAPEDESC& desc, u32 fill, u32 outline);
