#include "level/scene/DeveloperOverlay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "content/AwardTable.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "engine/DXLApp.h"
#include "engine/DXLKeyboard.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEFont.h"
#include "gametext/KGEWinFont.h"
#include "content/GameCharacter.h"
#include "level/characters/Job.h"
#include "level/characters/LevelCharacters.h"
#include "level/characters/MapPlayer.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/DynObject.h"
#include "level/map/LevelMap.h"
#include "level/map/SpriteObject.h"
#include "level/rules/LevelClock.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/rules/VillainWaves.h"
#include "level/rules/WarehouseStock.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelServices.h"
#include "pathfinding/MapShapes.h"
#include "pathfinding/PathFinder.h"
#include "pathfinding/ShapeRecords.h"
#include "platform/input/KeyCodes.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"

namespace {

// Scan codes of the keys the overlay answers (the keyboard's own codes).
constexpr u8 kKeyR = 0x13, kKeyT = 0x14, kKeyJ = 0x24, kKeyF = 0x21, kKeyC = 0x2E, kKeyV = 0x2F, kKeyB = 0x30;
constexpr u8 kKey1 = plat::DIK_1, kKey8 = 0x09;

constexpr u32 kNone = 0, kCtrl = 1, kShift = 2;
constexpr i32 kMoneyStep = 10000;
constexpr u32 kNoLimitTime = ((99u * 60u + 59u) * 60u + 59u) * 1000u;  // 99:59:59
constexpr u32 kDebugWin = 1000;  // ms before the result shows, as a win by the tasks
constexpr i32 kFontPoints = 12;
constexpr u32 kYellow = 0xFFFFFF00u;
constexpr float kLeftMargin = 10.0f;
constexpr float kLoadErrorX = 10.0f, kLoadErrorLift = 150.0f;  // the job-loading error, from the screen's bottom
constexpr u32 kTileShapeOutline = 0xFFFFFF00u;
constexpr u32 kGlobalShapeFill = 0x4000FF00u, kGlobalShapeOutline = 0xFF00FF00u;
// The overlay's own lines (a developer's aid, kept as written).
constexpr const wchar* kVillainsOffLine = u"Злодеи выключены";
constexpr const wchar* kNoLimitsLine = u"Чит на склад включен";

bool Held(u8 key) {
  const DXLKeyboard* keyboard = DXLGetAppData().keyboard;
  return keyboard && keyboard->IsKeyHeld(key);
}

// The overlay's characters: printable ASCII and the Cyrillic letters.
std::u16string OverlayCharacters() {
  std::u16string chars;
  for (char16_t c = 0x20; c < 0x7F; ++c) chars += c;
  for (char16_t c = 0x410; c < 0x450; ++c) chars += c;
  chars += u"\u0401\u0451";
  return chars;
}

KGEFont* MakeFont(DXLViewer* viewer, u32 color) {
  if (!viewer) return nullptr;
  KGEWinFont* font = nullptr;
  const std::u16string chars = OverlayCharacters();
  if (KGECreateWinFont(viewer, 0, kFontPoints, 0, 1, 0, 0, 0, color & 0xFFFFFFu, u"Arial", KGEWinFont::kMeasureSpace, chars.c_str(),
                       static_cast<u32>(chars.size()),
                       u'?', nullptr, nullptr, 0, 0, color, &font) != 0 || !font)
    return nullptr;
  if (font->Acquire() != 0) {
    delete font;
    return nullptr;
  }
  return font;
}

void ColorQuad(float x0, float y0, float x1, float y1, u32 fill, u32 outline) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  DXLCOLORVERTEX v[5] = {{x0, y0, 0, fill}, {x1, y0, 0, fill}, {x1, y1, 0, fill}, {x0, y1, 0, fill}, {x0, y0, 0, fill}};
  if (fill >> 24) viewer->DrawColorQuad(v);
  if (outline) {
    for (DXLCOLORVERTEX& c : v) c.color = outline;
    viewer->DrawColorFrame(v);
  }
}

// Low 24 bits of the outline with alpha 0x40: the fill of a debug shape or cell.
u32 QuarterFill(u32 outline) { return (outline & 0xFFFFFFu) | 0x40000000u; }

i32 ShapeCornerX(u32 word) { return static_cast<i16>(word & 0xFFFF); }
i32 ShapeCornerY(u32 word) { return static_cast<i16>(word >> 16); }

// The finder's cells a polyline of (x, y) pairs runs through, added to `cells`
// as column + row * columns: each segment sampled at a quarter of the smaller
// cell side, so that no cell it crosses is skipped.
void AddSegmentCells(const shpf::PathFinder& finder, const float* xy, u32 count, std::vector<i32>* cells) {
  const float cw = finder.GetCellWidth(), ch = finder.GetCellHeight();
  const i32 columns = finder.GetColumns(), rows = finder.GetRows();
  if (cw <= 0 || ch <= 0 || columns <= 0 || rows <= 0) return;
  auto mark = [&](float x, float y) {
    if (!(x >= 0 && y >= 0 && x < cw * columns && y < ch * rows)) return;  // off the finder, or not a number
    const i32 c = static_cast<i32>(std::floor(x / cw)), r = static_cast<i32>(std::floor(y / ch));
    if (c >= 0 && c < columns && r >= 0 && r < rows) cells->push_back(c + r * columns);
  };
  for (u32 k = 0; k < count; ++k) {
    const float x0 = xy[2 * k], y0 = xy[2 * k + 1];
    mark(x0, y0);
    if (k + 1 == count) break;
    const float dx = xy[2 * k + 2] - x0, dy = xy[2 * k + 3] - y0;
    const float steps = std::ceil(std::max(std::fabs(dx), std::fabs(dy)) / (std::min(cw, ch) / 4.0f));
    for (float s = 1; s <= steps && s < 65536.0f; ++s) mark(x0 + dx * s / steps, y0 + dy * s / steps);
  }
}

// The cells of one walk's search: the path found, or the polyline the
// search refines while it runs (its start and finish at the least).
void AddSearchCells(const shpf::PathFinder& finder, const shpf::_PATHREQUEST& r, std::vector<i32>* cells) {
  std::vector<float> xy;
  if (r.prState == shpf::PFS_FOUND && r.points) {
    xy.assign(r.points, r.points + 2 * static_cast<size_t>(r.pointCount));
  } else if (r.prState == shpf::PFS_SEARCHING) {
    if (r.data && r.data->path.GetCount() > 0) {
      for (i32 i = 0; i < r.data->path.GetCount(); ++i)
        if (const shpf::_PATHPOINT* p = r.data->path[i]) xy.push_back(p->x), xy.push_back(p->y);
    } else {
      xy = {r.startX, r.startY, r.finishX, r.finishY};
    }
  }
  AddSegmentCells(finder, xy.data(), static_cast<u32>(xy.size() / 2), cells);
}

// The regime's limits of the level: bronze, silver, gold (ms); null outside the table.
const LEVELREGIME* Regime(GameLevel& level) {
  const LEVELINFO* info = level.GetInfo();
  const i32 regime = level.Rules().GetRegime();
  if (!info || regime < 0 || regime >= static_cast<i32>(kLevelRegimes)) return nullptr;
  return &info->regimes[regime];
}

bool HasTimeLimits(GameLevel& level) {
  const LEVELREGIME* r = Regime(level);
  return r && r->bronze > 0;
}

}  // namespace

// A shape description, filled and outlined in map coordinates: rectangles
// and the corners of triangles and diamonds as they stand, circles and
// ellipses as polygons of 32 sides. An unknown kind draws nothing.
void DrawShapeDesc(const SHAPEDESC& d, u32 fill, u32 outline) {
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  constexpr u32 kRoundSides = 32;
  DXLCOLORVERTEX v[kRoundSides + 1];
  u32 n = 0;
  auto add = [&](float x, float y) { v[n++] = DXLCOLORVERTEX{x, y, 0.0f, fill}; };
  switch (d.kind) {
    case SHAPE_RECT: {
      const float l = static_cast<float>(static_cast<i32>(d.words[0])), t = static_cast<float>(static_cast<i32>(d.words[1]));
      const float r = static_cast<float>(static_cast<i32>(d.words[2])), b = static_cast<float>(static_cast<i32>(d.words[3]));
      add(l, t), add(r, t), add(r, b), add(l, b);
      break;
    }
    case SHAPE_CIRCLE:
    case SHAPE_ELLIPSE: {
      const float cx = static_cast<float>(static_cast<i32>(d.words[0])), cy = static_cast<float>(static_cast<i32>(d.words[1]));
      const float rx = static_cast<float>(static_cast<i32>(d.words[2]));
      const float ry = d.kind == SHAPE_CIRCLE ? rx : static_cast<float>(static_cast<i32>(d.words[3]));
      for (u32 k = 0; k < kRoundSides; ++k) {
        const double a = 6.283185307179586 * k / kRoundSides;
        add(cx + rx * static_cast<float>(std::cos(a)), cy + ry * static_cast<float>(std::sin(a)));
      }
      break;
    }
    case SHAPE_TRIANGLE:
    case SHAPE_DIAMOND:
      for (u32 k = 0; k < (d.kind == SHAPE_TRIANGLE ? 3u : 4u); ++k)
        add(static_cast<float>(ShapeCornerX(d.words[k])), static_cast<float>(ShapeCornerY(d.words[k])));
      break;
    default:
      return;
  }
  if (fill >> 24) viewer->DrawTriangleFan(kFvfColor, n, v, sizeof(DXLCOLORVERTEX));
  v[n++] = v[0];
  for (u32 k = 0; k < n; ++k) v[k].color = outline;
  viewer->DrawLineStrip(kFvfColor, n, v, sizeof(DXLCOLORVERTEX));
}

DeveloperOverlay::DeveloperOverlay(bool enabled, bool makeFonts) : enabled_(enabled) {
  if (makeFonts) {
    DXLViewer* viewer = GetGameViewer();
    fonts_[0] = MakeFont(viewer, 0xFFFFFFFFu);
    fonts_[1] = MakeFont(viewer, 0xFFFFFFFFu);
    fonts_[2] = MakeFont(viewer, kYellow);
  }
  held_ = &Held;
}

DeveloperOverlay::~DeveloperOverlay() {
  for (KGEFont*& f : fonts_) {
    delete f;
    f = nullptr;
  }
}

bool DeveloperOverlay::KeyDown(u16 key, u32 modifiers) {
  if (!enabled_) return false;
  const u32 state = GetResourceServices().appState;
  if (modifiers == kCtrl && key == kKeyT) return (clock_ = !clock_), true;
  if (modifiers == kCtrl && key == kKeyF) return (frameRate_ = !frameRate_), true;
  if (state == kGameStateLevelMap && modifiers == kCtrl && key == plat::DIK_S)
    return (mapCharacters_ = !mapCharacters_), true;
  if (state != kGameStateLevel || !level_) return false;
  return LevelKey(*level_, key, modifiers);
}

void DeveloperOverlay::WinAt(GameLevel& level, i32 limit, bool setTime) {
  if (setTime) level.Rules().Clock().SetTime(limit > 0 ? static_cast<u32>(limit) : kNoLimitTime);
  level.Rules().Tasks().Win(kDebugWin);
}

bool DeveloperOverlay::LevelKey(GameLevel& level, u16 key, u32 modifiers) {
  LevelRules& rules = level.Rules();
  const bool running = level.IsStarted() && rules.Tasks().GetResult() == kResultNone;
  if (modifiers == kCtrl) {
    switch (key) {
      case kKey1: pathFlags_ ^= kDebugPathsGirl; return true;
      case kKey1 + 1: pathFlags_ ^= kDebugPathsChicken; return true;
      case plat::DIK_MINUS: rules.Money().Set(std::max(rules.Money().Get() - kMoneyStep, 0)); return true;
      case plat::DIK_EQUALS:
        rules.Money().Set(std::min(rules.Money().Get() + kMoneyStep, LevelMoney::kMax));
        return true;
      case plat::DIK_W: {
        bool& noLimits = GetLevelServices().warehouseNoLimits;
        noLimits = !noLimits;
        if (WarehouseStock* stock = rules.Stock()) stock->NotifyAll();
        return true;
      }
      case plat::DIK_P: pointNumbers_ = !pointNumbers_; return true;
      case plat::DIK_S: shapes_ = !shapes_; return true;
      case kKeyJ: counters_ = !counters_; return true;
      case kKeyC: markers_ = !markers_; return true;
      default: break;
    }
  }
  const LEVELREGIME* regime = Regime(level);
  if (key == kKeyC && (modifiers == kNone || modifiers == kShift) && running) {
    WinAt(level, HasTimeLimits(level) ? regime->bronze : 0, modifiers == kNone);
    return true;
  }
  if (modifiers == kShift && key >= kKey1 && key <= kKey1 + 2 && running && regime) {
    const i32 limits[3] = {regime->gold, regime->silver, regime->bronze};
    WinAt(level, limits[key - kKey1], true);
    return true;
  }
  if (modifiers == kNone && key == plat::DIK_L && running && HasTimeLimits(level)) {
    rules.Tasks().Lose(0);
    return true;
  }

  // These go on to the restart check.
  AwardNotices* awards = rules.Hooks().awards;
  if (key == plat::DIK_A && (modifiers == kNone || modifiers == kShift || modifiers == kCtrl)) {
    const i32 variant = modifiers == kNone ? 1 : modifiers == kShift ? 2 : 3;
    const u32 index = kis::RandomBelow(9);
    if (awards) awards->ShowAward(0, index, variant);
  } else if (key == kKeyB && modifiers == kNone) {
    const u32 index = kis::RandomBelow(8);
    if (awards) awards->ShowAward(1, index, 1);
  } else if (key == kKeyT && modifiers == kNone) {
    if (awards) awards->ShowAward(2, 0, 0);
  } else if (key == kKeyV && modifiers == kCtrl && level.HasVillains()) {
    rules.Waves().SetSwitchedOff(!rules.Waves().IsSwitchedOff());
  } else if (modifiers == kNone && key >= kKey1 && key <= kKey8 && held_ && held_(kKeyV) && level.HasVillains()) {
    level.SpawnVillainByHand(key - kKey1);
  } else if (modifiers == kShift && key == plat::DIK_EQUALS) {
    rules.Clock().SetSpeed(rules.Clock().GetSpeed() + 1);
  } else if (modifiers == kShift && key == plat::DIK_MINUS) {
    rules.Clock().SetSpeed(rules.Clock().GetSpeed() - 1);
  }
  if (key == kKeyR) {
    level.Restart();
    level.OnEnter();
    return true;
  }
  return false;
}

void DeveloperOverlay::DrawLine(const wchar* text) {
  const ResourceServices& s = GetResourceServices();
  fonts_[1]->DrawTextAt(kLeftMargin + static_cast<float>(s.screen.rect.left), line_ + static_cast<float>(s.screen.rect.top),
                        text);
  line_ += static_cast<float>(fonts_[1]->GetHeight() + 2);
  ++lines_;
}

void DeveloperOverlay::Draw() {
  lines_ = 0;
  if (!enabled_ || !fonts_[0] || !fonts_[1] || !fonts_[2]) return;
  DXLViewer* viewer = GetGameViewer();
  if (!viewer) return;
  ResourceServices& s = GetResourceServices();
  UnbindDrawTexture();
  line_ = kDebugFirstLine;
  if (s.appState == kGameStateLevel && level_ && level_->IsLoaded()) DrawLevel(*level_);
  viewer->LoadIdentity(nullptr);
  viewer->ResetWorldTransform();
  UnbindDrawTexture();
  const float width = static_cast<float>(s.screen.width);
  // Why a saved job of the level could not be restored, low on the screen.
  const LevelCharacters* cast = level_ ? level_->Map().GetCharacters() : nullptr;
  if (const wchar* error = cast ? cast->GetLoadError() : nullptr; error && error[0])
    fonts_[1]->DrawTextAt(kLoadErrorX, static_cast<float>(s.screen.height) - kLoadErrorLift, error);
  if (clock_ && s.profilePlayTime >= 0) {
    ColorQuad(width - 104, 100, width - 16, 124, 0xFF000000u, 0);
    const i64 t = s.profilePlayTime / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(t / 3600),
                  static_cast<long long>(t / 60 % 60), static_cast<long long>(t % 60));
    const std::u16string wide(text, text + std::char_traits<char>::length(text));
    if (KGEFont* font = GetGameFont(3) ? GetGameFont(3) : fonts_[2]) font->DrawTextAt(width - 100, 100, wide.c_str());
  }
  if (frameRate_) {
    char text[32];
    std::snprintf(text, sizeof text, "FPS: %u", viewer->GetFramesPerSecond());
    const std::u16string wide(text, text + std::char_traits<char>::length(text));
    DrawLine(wide.c_str());
  }
}

// The path-search cells of the walks of "girl" (bit 31, red) and "chicken"
// (bit 30, blue): each cell of the finder a search ran through, once per
// character, filled with its colour at alpha 0x40 and outlined.
void DeveloperOverlay::DrawPaths(const LevelCharacters& cast, const shpf::PathFinder& finder) {
  const kis::list<MapCharacter*>& all = cast.GetCharacters();
  const float cw = finder.GetCellWidth(), ch = finder.GetCellHeight();
  std::vector<i32> cells;
  for (i32 i = 0; i < all.GetCount(); ++i) {
    const MapCharacter* c = all[i];
    const GameCharacter* d = c ? c->GetDescription() : nullptr;
    if (!d) continue;
    const std::u16string name(d->name);
    const u32 color = name == u"girl" && (pathFlags_ & kDebugPathsGirl)         ? 0xFFFF0000u
                      : name == u"chicken" && (pathFlags_ & kDebugPathsChicken) ? 0xFF0000FFu
                                                                               : 0u;
    if (!color) continue;
    cells.clear();
    const kis::list<Job*>& jobs = c->GetJobs();
    for (i32 j = 0; j < jobs.GetCount(); ++j)
      if (jobs[j]) AddSearchCells(finder, jobs[j]->GetPathRequest(), &cells);
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    for (const i32 cell : cells) {
      const float x = static_cast<float>(cell % finder.GetColumns()) * cw, y = static_cast<float>(cell / finder.GetColumns()) * ch;
      ColorQuad(x, y, x + cw, y + ch, QuarterFill(color), color);
    }
  }
}

void DeveloperOverlay::DrawLevel(GameLevel& level) {
  DXLViewer* viewer = GetGameViewer();
  const DXLMATRIX& transform = level.Screen().GetLevelTransform();
  viewer->SetTransform(&transform);
  viewer->ApplyTransform(nullptr);
  LevelMap& map = level.Map();
  if (shapes_) {
    // The hit shapes of the tile cells, each once however many tiles it spans...
    std::vector<const MAPSHAPE*> seen;
    for (i32 row = 0; row < map.GetTileRows(); ++row)
      for (i32 column = 0; column < map.GetTileColumns(); ++column) {
        const kis::list<MAPSHAPE*>* tile = map.GetTileShapes(column, row);
        for (i32 i = 0; tile && i < tile->GetCount(); ++i) {
          const MAPSHAPE* shape = (*tile)[i];
          if (!shape || std::find(seen.begin(), seen.end(), shape) != seen.end()) continue;
          seen.push_back(shape);
          DrawShapeDesc(shape->desc, QuarterFill(kTileShapeOutline), kTileShapeOutline);
        }
      }
    // ...then the sets of the level's global list, in green.
    const kis::list<MapShapes*>& global = map.GetGlobalShapes();
    for (i32 i = 0; i < global.GetCount(); ++i)
      for (u32 k = 0; global[i] && k < global[i]->GetCount(); ++k)
        DrawShapeDesc(global[i]->GetShape(k)->desc, kGlobalShapeFill, kGlobalShapeOutline);
  }
  const shpf::PathFinder* finder = level.GetPathFinder();
  if (pathFlags_ && map.GetCharacters() && finder) DrawPaths(*map.GetCharacters(), *finder);
  if (markers_) {
    const kis::list<MapObject*>& objects = map.GetObjects();
    for (i32 i = 0; i < objects.GetCount(); ++i) {
      MapObject* o = objects[i];
      if (!o) continue;
      float x = 0, y = 0;
      if (o->GetKind() & kObjectDynamic) {
        const auto* d = static_cast<const DynObject*>(o);
        x = d->GetX(), y = d->GetY();
      } else if (o->GetKind() & kObjectSprite) {
        const auto* so = static_cast<const SpriteObject*>(o);
        x = static_cast<float>(so->GetX()), y = static_cast<float>(so->GetY());
      } else {
        continue;
      }
      if (markers_) ColorQuad(x - 2.5f, y - 2.5f, x + 2.5f, y + 2.5f, 0xFFFF0000u, 0);
    }
  }
  viewer->LoadIdentity(nullptr);
  viewer->ResetWorldTransform();
  if (pointNumbers_) {
    if (KGEFont* font = GetGameFont(5)) {
      for (i32 i = 0; i < map.GetPointCount(); ++i) {
        const BaseLevelPoint* p = map.GetPoint(i);
        if (!p) continue;
        POINTPOS pos;
        p->GetPos(&pos);
        float sx = 0, sy = 0;
        level.Screen().MapToScreen(static_cast<float>(pos.x), static_cast<float>(pos.y), &sx, &sy);
        const std::string n = std::to_string(i);
        font->DrawTextAt(sx - 50, sy - 10, std::u16string(n.begin(), n.end()).c_str());
      }
    }
  }
  UnbindDrawTexture();
  LevelRules& rules = level.Rules();
  if (level.HasVillains() && rules.Waves().IsSwitchedOff()) DrawLine(kVillainsOffLine);
  if (GetLevelServices().warehouseNoLimits) DrawLine(kNoLimitsLine);
  if (counters_) {
    const auto* player = dynamic_cast<const MapPlayer*>(level.GetPlayer());
    std::string text = "JobsInRow: " + std::to_string(player ? player->GetWorkStreak() : 0);
    DrawLine(std::u16string(text.begin(), text.end()).c_str());
    if (level.HasVillains()) {
      const LevelProfile* profile = rules.Hooks().profile;
      text = "VillainsInRow: " + std::to_string(profile ? profile->GetVillainsInRow() : 0);
      DrawLine(std::u16string(text.begin(), text.end()).c_str());
    }
  }
}

// The fonts are made only where the overlay may draw: with the switch off
// nothing would ever use them, and making them is a good part of a start.
void InitDebugOverlay(bool enabled) {
  ReleaseDebugOverlay();
  LevelServices& s = GetLevelServices();
  s.gameDeveloper = std::make_unique<DeveloperOverlay>(enabled, enabled);
  s.developer = s.gameDeveloper.get();
}

void ReleaseDebugOverlay() {
  LevelServices& s = GetLevelServices();
  if (s.developer == s.gameDeveloper.get()) s.developer = nullptr;
  s.gameDeveloper.reset();
}

void DrawDebugOverlay() {
  if (DeveloperOverlay* o = GetDeveloperOverlay()) o->Draw();
}

bool DebugKeyDown(u16 key, u32 modifiers) {
  DeveloperOverlay* o = GetDeveloperOverlay();
  return o && o->KeyDown(key, modifiers);
}

DeveloperOverlay* GetDeveloperOverlay() { return GetLevelServices().developer; }
