#include "app/LevelSelectMap.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "app/AppServices.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "base/Maths.h"
#include "platform/encoding/Utf.h"
#include "content/GameCharacter.h"
#include "content/LevelTable.h"
#include "engine/DXLLog.h"
#include "engine/DXLMouse.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "resources/GEffects.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/GameEffect.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "resources/StandardSounds.h"
#include "resources/TutorialHooks.h"
#include "hud/HudPieces.h"
#include "ui/SpritesWindow.h"
#include "ui/WindowManager.h"
#include "ui/WindowQueues.h"
#include "windows/AwardNotice.h"
#include "windows/ComixBook.h"
#include "windows/GameWindowManager.h"
#include "windows/LevelWindow.h"
#include "windows/MapInterface.h"
#include "windows/MapMedalsPanel.h"
#include "windows/WindowServices.h"

namespace {

constexpr u32 kSelectMapFade = 250;
constexpr u32 kMapResultHardOpened = 0x8;  // a level result's flag: the hard regime opened
constexpr u32 kSelectMapFadeMode = 1;
constexpr u32 kSelectMapHooks = 31;
constexpr u32 kSelectMapMaxFrames = 5;
constexpr u32 kSelectMapClickGroup = 0x40000000u;
constexpr u16 kSelectMapEscape = 27;
constexpr i32 kSelectMapWheelCoarse = 2;
constexpr i32 kSelectMapWheelFine = 1;
// The map's picture in map units: the centre piece from 0, 1024 wide, the
// side pieces 128 wide beyond it (the right one from 1023), all 768 high.
constexpr float kSelectMapPictureLeft = -128.0f;
constexpr float kSelectMapPictureRight = 1151.0f;
constexpr float kSelectMapPictureHeight = 768.0f;
constexpr float kSelectMapLeast = 0.5f, kSelectMapMost = 1.5f;  // the wheel's scales

// The least scale at which the picture, side pieces and all, covers a
// width x height game area.
float SelectMapCoverScale(i32 width, i32 height) {
  return std::max(static_cast<float>(height) / kSelectMapPictureHeight,
                  static_cast<float>(width) / (kSelectMapPictureRight - kSelectMapPictureLeft));
}

// The effects' plain callbacks onto the map installed in the application
// services.
void SelectMapFinishResult() {
  LevelSelectMap* map = GetLevelSelectMap();
  if (!map) return;
  for (i32 i = 0; i < static_cast<i32>(kLevelCount); ++i)
    if (MapLevelSprite* node = map->GetNode(i)) node->FinishEffects();
  map->StartTutorials();
}
void SelectMapStartTutorials() {
  if (LevelSelectMap* map = GetLevelSelectMap()) map->StartTutorials();
}
void SelectMapProfileCovered() {
  if (LevelSelectMap* map = GetLevelSelectMap()) map->ProfileCovered();
}

void CloseSpritesWindow(GameWindow* window) {
  if (auto* w = dynamic_cast<SpritesWindow*>(window); w && !w->IsClosing()) w->Close();
}

void CloseProfilesWindow() {
  if (WindowManager* windows = GetWindowManager()) CloseSpritesWindow(windows->GetAnchor(kAnchorProfiles));
}

// A quad of the picture's first frame moved by dx.
void PieceQuad(Sprite* sprite, float dx, DXLQUAD* out) {
  *out = DXLQUAD{};
  const DXLQUAD* quad = sprite ? sprite->GetQuad(0, false) : nullptr;
  if (!quad) return;
  *out = *quad;
  for (DXLVERTEX& v : out->v) v.x += dx;
}

}  // namespace

LevelSelectMap* GetLevelSelectMap() { return GetAppServices().levelSelectMap; }

// --- Water --------------------------------------------------------------------------------------------

void MapWater::Update(u32 ms) {
  if (frameTime == 0) return;
  elapsed += ms;
  while (elapsed >= frameTime) {
    elapsed -= frameTime;
    step = (step + 1) % (frameCount + 1);
  }
  progress = static_cast<float>(elapsed) / static_cast<float>(frameTime);
}

void MapWater::Draw() const {
  DXLViewer* viewer = GetGameViewer();
  if (frameCount == 0 || !viewer) return;
  viewer->Translate(x, y);
  viewer->ApplyTransform(nullptr);
  const u32 previous = step == 0 ? frameCount : step - 1;
  if (step < frameCount && previous < frameCount) frames[previous]->DrawFrame(0, 0xFFFFFFFFu, false);
  const float alpha = step < frameCount ? progress : 1.0f - progress;
  const u32 a = static_cast<u32>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
  frames[step < frameCount ? step : frameCount - 1]->DrawFrame(0, (a << 24) | 0x00FFFFFFu, false);
}

// --- The map --------------------------------------------------------------------------------------------

LevelSelectMap::LevelSelectMap(ProfileStore* profiles, LevelSelectMapHost* host) : profiles_(profiles), host_(host) {
  result_.level = -1;
}

LevelSelectMap::~LevelSelectMap() {
  Leave();
  DeleteVillains();
  nodes_.clear();
  ReleaseCopy();
  if (ComixBook* book = GetComixBook()) book->SetMapFlagsHook(nullptr);
}

i32 LevelSelectMap::ReadMapSection(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  MapSectionData data;
  ::ReadMapSection(reader, cursor, &data);
  if (cursor->error) return 1;
  Load(std::move(data));
  return 1;
}

void LevelSelectMap::Load(MapSectionData data) {
  data_ = std::move(data);
  background_[0] = LoadSelectMapPicture(kSelectionMapSpriteSet, u"map_center");
  background_[1] = LoadSelectMapPicture(kSelectionMapSpriteSet, u"map_left");
  background_[2] = LoadSelectMapPicture(kSelectionMapSpriteSet, u"map_right");
  PieceQuad(background_[0], 0.0f, &backgroundQuads_[0]);
  PieceQuad(background_[1], -128.0f, &backgroundQuads_[1]);
  PieceQuad(background_[2], 1023.0f, &backgroundQuads_[2]);

  waters_.clear();
  const u32 step = std::max(GameTimeStep(), 1u);
  for (size_t k = 0; k < data_.waters.size(); ++k) {
    MapWater water;
    for (u32 f = 1; f <= kMapWaterFrames; ++f) {
      // The frames are numbered from 1 up to the first that is missing.
      const std::u16string name = plat::Utf8ToUtf16("map_water" + std::to_string(k + 1) + "_" + std::to_string(f));
      const SpriteSet* set = GetSpriteSet(kSelectionMapSpriteSet);
      if (!set || !set->ProbeSprite(name.c_str())) break;
      Sprite* frame = LoadSelectMapPicture(kSelectionMapSpriteSet, name.c_str());
      if (!frame) break;
      if (frame->GetTexture()) frame->GetTexture()->SetBlendMode(1);
      water.frames[water.frameCount++] = frame;
    }
    water.x = static_cast<float>(data_.waters[k].x);
    water.y = static_cast<float>(data_.waters[k].y);
    water.frameTime = std::max(data_.waters[k].frameTime, step);
    waters_.push_back(water);
  }

  // The nodes at the cells of the level table's grid (a level that is on
  // no cell of it takes its record's cell).
  i32 cells[kLevelCount];
  std::fill(std::begin(cells), std::end(cells), -1);
  if (const LevelTable* table = GetLevelTable()) {
    for (u32 c = 0; c < kMapGridCells; ++c) {
      const i32 level = table->GetGridCell(c);
      if (level >= 0 && level < static_cast<i32>(kLevelCount) && cells[level] < 0) cells[level] = static_cast<i32>(c);
    }
    for (u32 i = 0; i < kLevelCount; ++i) {
      const i32 cell = table->Get(i).mapCell;
      if (cells[i] < 0 && cell >= 0 && cell < static_cast<i32>(kMapGridCells)) cells[i] = cell;
    }
  }
  nodes_.clear();
  pictures_ = LookUpMapNodePictures();  // once, for every node
  std::copy(std::begin(cells), std::end(cells), std::begin(cells_));
  std::fill(std::begin(order_), std::end(order_), nullptr);
  for (u32 i = 0; i < kLevelCount; ++i) {
    const DXLPOINT at = cells[i] >= 0 ? GetLevelPos(cells[i]) : DXLPOINT{0, 0};
    nodes_.push_back(std::make_unique<MapLevelSprite>(this, static_cast<i32>(i), at.x, at.y, &data_.nodes[i]));
    if (cells[i] >= 0) order_[DrawSlot(cells[i])] = nodes_.back().get();
  }
  loaded_ = true;
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  FitScreen(screen.width, screen.height);
  if (ComixBook* book = GetComixBook()) book->SetMapFlagsHook([this](u32 flags) { tutorialFlags_ |= flags; });
}

// --- Geometry -------------------------------------------------------------------------------------

DXLPOINT LevelSelectMap::ToScreen(i32 x, i32 y) const {
  return DXLPOINT{kis::RoundToInt(static_cast<float>(x) * scale_) + offsetX_,
                  kis::RoundToInt(static_cast<float>(y) * scale_) + offsetY_};
}

DXLPOINT LevelSelectMap::ToMap(i32 x, i32 y) const {
  return DXLPOINT{kis::RoundToInt(static_cast<float>(x - offsetX_) / scale_),
                  kis::RoundToInt(static_cast<float>(y - offsetY_) / scale_)};
}

DXLPOINT LevelSelectMap::GetLevelPos(i32 cell) {
  DXLPOINT p{};
  MapCellPosition(cell, &p.x, &p.y);
  return p;
}

u32 LevelSelectMap::DrawSlot(i32 cell) {
  const i32 k = cell % static_cast<i32>(kMapGridColumns);
  return static_cast<u32>((cell - k) + k / 2 + (k % 2 == 0 ? 3 : 0));
}

// Integer arithmetic truncates toward zero, as the grid's own.
i32 LevelSelectMap::HitTest(i32 x, i32 y) const {
  i32 column = (x - 62) / 123;
  const bool even = column % 2 == 0;
  const i32 y1 = even ? y - 47 : column < 0 ? y - 94 : y;
  i32 row = static_cast<i32>(std::floor(static_cast<double>(y1 - 52) / 94.0));
  const i32 cx = 123 * column + 143;
  const i32 cy = 94 * row + 99 + (even ? 47 : 0);
  if (x < cx - 42) {
    const auto distance = [&](i32 nx, i32 ny) {
      const i32 r = kis::RoundToInt(static_cast<float>(y - ny) * kMapHexFactor);
      const double dx = x - nx, dy = r;
      return std::sqrt(dx * dx + dy * dy);
    };
    const bool lower = y >= cy;
    const double d0 = distance(cx, cy);
    const double d1 = distance(cx - 123, lower ? cy + 47 : cy - 47);
    if (d0 > d1) {
      if (lower && even) ++row;
      if (!lower && !even) --row;
      --column;
    }
  }
  if (column < 0 || column >= 7 || row < 0 || row >= 7) return -1;
  const LevelTable* table = GetLevelTable();
  return table ? table->GetGridCell(static_cast<u32>(row * 7 + column)) : -1;
}

// Where the fit leaves part of the game area bare (a height of 769 to 800
// kept at scale 1 shows black bands above and below the picture; a width
// beyond the side pieces, black at the sides), the picture is scaled up to
// cover it, and its offsets are kept within what covers it. A new size
// starts the wheel's zoom afresh.
void LevelSelectMap::FitScreen(i32 width, i32 height) {
  if (height > 800 || height < 768) {
    scale_ = static_cast<float>(height) / 768.0f;
    offsetY_ = 0;
  } else {
    scale_ = 1.0f;
    offsetY_ = (height - 766) / 2;
  }
  scale_ = std::max(scale_, SelectMapCoverScale(width, height));
  offsetX_ = (width - kis::RoundToInt(1024.0f * scale_)) / 2;
  fitWidth_ = width;
  fitHeight_ = height;
  fitX_ = offsetX_;
  fitY_ = offsetY_;
  homeScale_ = 0.0f;
  CoverScreen();
  PlaceNodeLabels();
}

bool LevelSelectMap::GetNodeLabels(i32 level, DXLRECT* sign, DXLRECT* medal) const {
  const MapLevelSprite* node = GetNode(level);
  DXLRECT board{};
  if (!node || level >= static_cast<i32>(kLevelCount) || cells_[level] < 0 || !node->GetSignBounds(&board))
    return false;
  const DXLPOINT a = ToScreen(board.left, board.top), b = ToScreen(board.right, board.bottom);
  *sign = DXLRECT{a.x, a.y, b.x, b.y};
  // The medal's place rounded to whole pixels, as it is drawn.
  const i32 mx = kis::RoundToInt((static_cast<float>(node->GetX()) + kMapMedalX) * scale_) + offsetX_;
  const i32 my =
      kis::RoundToInt((static_cast<float>(node->GetY()) + kMapMedalY + node->GetMedalShift()) * scale_) + offsetY_;
  const DXLRECT r = node->GetResultBounds();
  *medal = DXLRECT{mx + r.left, my + r.top, mx + r.right, my + r.bottom};
  return true;
}

// A node of the top or bottom row may stand where the interface's panels
// cover its sign or medal on a small screen (its map is scaled down, the
// panels are not): the one covered moves away from the screen's edge just
// clear of them, with 2 pixels to spare; the node, its farm and its
// hexagon stay.
void LevelSelectMap::PlaceNodeLabels() {
  DXLRECT panels[MapInterface::kEdgePanels];
  MapInterface::GetEdgePanels(fitWidth_, fitHeight_, panels);
  for (i32 level = 0; level < static_cast<i32>(nodes_.size()); ++level) {
    MapLevelSprite& node = *nodes_[static_cast<size_t>(level)];
    node.SetLabelShifts(0.0f, 0.0f);
    DXLRECT labels[2];
    if (!GetNodeLabels(level, &labels[0], &labels[1])) continue;
    float shifts[2] = {};
    for (u32 k = 0; k < 2; ++k) {
      const DXLRECT& l = labels[k];
      i32 rise = 0, sink = 0;
      for (u32 i = 0; i < MapInterface::kEdgePanels; ++i) {
        const DXLRECT& p = panels[i];
        if (l.left >= p.right || l.right <= p.left) continue;
        if (i < MapInterface::kBottomPanels) rise = std::max(rise, l.bottom + 2 - p.top);
        else sink = std::max(sink, p.bottom + 2 - l.top);
      }
      if (rise > 0) shifts[k] = -std::ceil(static_cast<float>(rise) / scale_);
      else if (sink > 0) shifts[k] = std::ceil(static_cast<float>(sink) / scale_);
    }
    node.SetLabelShifts(shifts[0], shifts[1]);
  }
}

// The fitted offsets kept within those at which the picture covers the
// game area at the present scale; the side pieces drawn where the centre
// piece alone does not reach the sides.
void LevelSelectMap::CoverScreen() {
  const i32 left = kis::RoundToInt(kSelectMapPictureLeft * scale_);
  const i32 right = kis::RoundToInt(kSelectMapPictureRight * scale_);
  const i32 bottom = kis::RoundToInt(kSelectMapPictureHeight * scale_);
  offsetX_ = std::max(fitWidth_ - right, std::min(fitX_, -left));
  offsetY_ = std::max(fitHeight_ - bottom, std::min(fitY_, 0));
  sidePieces_ = GetResourceServices().screen.scaling || offsetX_ > 0 ||
                offsetX_ + kis::RoundToInt(1024.0f * scale_) < fitWidth_;
  pieces_ = sidePieces_ ? 3 : 1;
}

// --- Profile ---------------------------------------------------------------------------------------

Profile* LevelSelectMap::Current() const { return profiles_ ? profiles_->GetCurrent() : nullptr; }

// What the map shows: its own pointer while it is on screen, else the
// current profile's progress (the map may be told of a result before it
// was ever entered, and a profile may go while it is not shown).
const PROFILEPROGRESS* LevelSelectMap::Progress() const {
  if (progress_) return progress_;
  const Profile* profile = Current();
  return profile ? &profile->GetProgress() : nullptr;
}

u32 LevelSelectMap::Regime() const {
  const PROFILEPROGRESS* progress = Progress();
  return progress ? progress->regime & 1 : 0;
}

u32 LevelSelectMap::GetLevelState(i32 level) const {
  const PROFILEPROGRESS* progress = Progress();
  if (!progress || level < 0 || level >= static_cast<i32>(kLevelCount)) return 0;
  return std::min(progress->regimes[Regime()].levels[level].state, kMaxLevelState);
}

bool LevelSelectMap::IsPlayable(i32 level) const {
  const LevelTable* table = GetLevelTable();
  return level >= 0 && GetLevelState(level) >= 2 && table && table->Get(static_cast<u32>(level)).loaded;
}

MapLevelSprite* LevelSelectMap::GetNode(i32 level) const {
  return level >= 0 && level < static_cast<i32>(nodes_.size()) ? nodes_[static_cast<size_t>(level)].get() : nullptr;
}

void LevelSelectMap::ReleaseCopy() {
  if (copy_ && progress_ == copy_.get()) progress_ = nullptr;
  copy_.reset();
}

void LevelSelectMap::KeepProfileCopy() {
  const PROFILEPROGRESS* from = Progress();
  if (!from) return;
  auto copy = std::make_unique<PROFILEPROGRESS>(*from);
  copy_ = std::move(copy);
  progress_ = copy_.get();
}

// --- State 5 ---------------------------------------------------------------------------------------

void LevelSelectMap::Enter() {
  if (!loaded_) return;
  if (!interface_) interface_ = std::make_unique<MapInterface>(this);
  pointer_ = pointerMap_ = DXLPOINT{0, 0};
  hovered_ = pointed_ = -1;
  totalTime_ = unspent_ = frames_ = 0;
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  FitScreen(screen.width, screen.height);
  particles_ = std::make_unique<GPSSpace>(0);
  for (const MAPPARTICLE& p : data_.particles) {
    const GPSSYSTEM* system = p.systemId ? FindParticleSystem(p.systemId) : nullptr;
    if (!system) continue;
    GPSSYSTEM turned = *system;  // the emitter copies it
    if (p.angle != 0.0f && std::isfinite(p.angle))
      turned.directionOffset = kis::NormalizeAngle(turned.directionOffset + p.angle);
    new GPSEmiter(particles_.get(), &turned, nullptr, static_cast<float>(p.x), static_cast<float>(p.y));
  }
  particles_->StartEmitters();
  interface_->CreateProfileButton();
  Refresh();
  StartTutorials();
  GetSoundSettings().PlayMusic(u"main_theme", true);
}

void LevelSelectMap::CloseMapWindows() {
  WindowManager* windows = GetWindowManager();
  if (!windows) return;
  CloseSpritesWindow(windows->GetDialog());
  CloseSpritesWindow(FindWindowOf<LevelWindow>());
  CloseProfilesWindow();
}

void LevelSelectMap::Leave() {
  if (!loaded_) return;
  result_.level = -1;
  SetHovered(pointed_ = -1);
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Discard();
  CloseMapWindows();
  interface_.reset();
  DeleteVillains();
  particles_.reset();
  tutorialFlags_ = 0;
  ReleaseCopy();
  progress_ = nullptr;  // off screen the map reads whichever profile is current
  // The theme is the map's: the next screen starts its own music.
  SoundSettings& sound = GetSoundSettings();
  if (sound.currentMusic) sound.StopMusic(sound.currentMusic);
}

void LevelSelectMap::Update(u32 ms) {
  if (!loaded_ || ms == 0) return;
  const u32 step = std::max(GameTimeStep(), 1u);
  unspent_ = std::min(unspent_ + ms, kSelectMapMaxFrames * step);
  frames_ = unspent_ / step;
  const u32 spent = frames_ * step;
  unspent_ -= spent;
  totalTime_ += spent;
  if (spent) {
    for (auto& node : nodes_) node->Update(spent);
    for (MapWater& water : waters_) water.Update(spent);
  }
  // The villains move in whole frames, and stand while a window blocks.
  WindowManager* windows = GetWindowManager();
  if (villains_.GetCount() > 0 && !(windows && windows->GetModalCount() > 0)) {
    for (u32 f = 0; f < frames_; ++f) {
      for (i32 i = 0; i < villains_.GetCount();) {
        MLCVillain* villain = villains_[i];
        villain->Update(step);
        if (villain->GetStep() == -1) {
          villains_.Delete(i);
          delete villain;
        } else {
          ++i;
        }
      }
    }
  }
  // The attack's tutorial brings the map back; when none runs (none was
  // made) the map comes back by itself once the villains have gone.
  if (attackShown_ && villains_.GetCount() == 0 && !GetResourceServices().tutorial) {
    RefreshLevels(false);
    StartTutorials();
  }
  if (particles_) particles_->Update(static_cast<float>(ms));
}

void LevelSelectMap::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!loaded_ || !viewer) return;
  DXLMATRIX screen{};
  viewer->GetTransform(&screen);
  viewer->Translate(static_cast<float>(offsetX_), static_cast<float>(offsetY_));
  viewer->Scale(scale_);
  viewer->GetTransform(&transform_);
  if (sidePieces_) {
    DrawPieceQuads(background_[1], &backgroundQuads_[1], 1);
    DrawPieceQuads(background_[2], &backgroundQuads_[2], 1);
  }
  DrawPieceQuads(background_[0], &backgroundQuads_[0], 1);
  for (const MapWater& water : waters_) {
    viewer->SetTransform(&transform_);
    water.Draw();
  }
  for (MapLevelSprite* node : order_)
    if (node) node->Draw(transform_);
  for (MapLevelSprite* node : order_)
    if (node) node->DrawResult(transform_);
  for (i32 i = 0; i < villains_.GetCount(); ++i) villains_[i]->DrawAll(transform_);
  if (particles_) {
    viewer->SetTransform(&transform_);
    viewer->ApplyTransform(nullptr);
    particles_->Draw();
  }
  viewer->SetTransform(&screen);
  viewer->ApplyTransform(nullptr);
  if (WindowManager* windows = GetWindowManager()) windows->Draw();
}

// --- Input -----------------------------------------------------------------------------------------

void LevelSelectMap::SetHovered(i32 level) {
  if (level == hovered_) return;
  if (MapLevelSprite* old = GetNode(hovered_)) old->SetHover(false);
  hovered_ = level;
  if (MapLevelSprite* now = GetNode(hovered_)) now->SetHover(true);
}

void LevelSelectMap::KeepPointer(i32 x, i32 y) {
  pointer_ = DXLPOINT{x, y};
  pointerMap_ = ToMap(x, y);
}

// A hidden level's cell stays dark under the pointer: nothing there can be
// clicked, and its light would give the level away.
void LevelSelectMap::UpdateHover(i32 x, i32 y) {
  KeepPointer(x, y);
  const i32 hit = HitTest(pointerMap_.x, pointerMap_.y);
  const bool allowed = hit >= 0 && TutorialAllowAction(kTutorialActionMapLevel, static_cast<uintptr_t>(hit), nullptr);
  pointed_ = allowed ? hit : -1;
  SetHovered(pointed_ >= 0 && GetLevelState(pointed_) > 0 ? pointed_ : -1);
}

void LevelSelectMap::OnMouseDown(i32 x, i32 y, u32 button, u32 flags) {
  if (!loaded_) return;
  WindowManager* windows = GetWindowManager();
  if (windows && windows->OnMouseDown(x, y, button, flags)) return;
  if (x != pointer_.x || y != pointer_.y) UpdateHover(x, y);
  if (button != kMouseLeft || pointed_ < 0) return;
  if ((flags & 0x2) && cheats_) {
    // The developers' result: the level finished with bronze, no time.
    // Without the developers' switch a Shift-click is a plain click.
    if (Profile* profile = Current()) {
      LEVELRESULT r;
      profile->RecordUnplayedResult(pointed_, &r);
      PlayResult(0);
      // No level comes back to the map to refresh it: the medal counts and
      // the regime switch (when this result opened the hard regime) now.
      if (interface_) {
        if (MapMedalsPanel* medals = interface_->GetMedalsPanel()) medals->Refresh(Regime());
        interface_->RefreshRegimeButton(true);  // a regime this result opened opens with its animation
      }
    }
    return;
  }
  if (hovered_ < 0 || !IsPlayable(hovered_) || FindWindowOf<LevelWindow>()) return;
  const i32 level = hovered_;
  TutorialNotify(kTutorialEventMapLevel, static_cast<uintptr_t>(level), nullptr);
  new LevelWindow(level, kLevelWindowFromMap, [](u32 result, i32 chosen, u32 fresh) {
    if (LevelSelectMap* map = GetLevelSelectMap()) map->LevelWindowClosed(result, chosen, fresh);
  });
  GetSoundSettings().PlaySound(GetStandardSound(kSoundClick), kSelectMapClickGroup, 0);
  SetHovered(-1);
}

void LevelSelectMap::LevelWindowClosed(u32 result, i32 level, u32 fresh) {
  CloseSpritesWindow(FindWindowOf<LevelWindow>());
  if (result != 0) StartLevel(level, fresh != 0);
}

// Release, move and double click store the pointer's place whoever takes
// them; a window that takes one leaves the hover as it was.
void LevelSelectMap::OnMouseUp(i32 x, i32 y, u32 button, u32 flags) {
  if (!loaded_) return;
  WindowManager* windows = GetWindowManager();
  if (windows && windows->OnMouseUp(x, y, button, flags)) return KeepPointer(x, y);
  UpdateHover(x, y);
}

void LevelSelectMap::OnMouseMove(i32 x, i32 y, u32 buttons, u32 flags) {
  if (!loaded_) return;
  WindowManager* windows = GetWindowManager();
  if (windows && windows->OnMouseMove(x, y, buttons, flags)) return KeepPointer(x, y);
  UpdateHover(x, y);
}

void LevelSelectMap::OnDoubleClick(i32 x, i32 y, u32 flags) {
  if (!loaded_) return;
  WindowManager* windows = GetWindowManager();
  if (windows && windows->OnDoubleClick(x, y, flags)) return KeepPointer(x, y);
  UpdateHover(x, y);
}

void LevelSelectMap::OnMouseWheel(i32 x, i32 y, i32 delta, i32 second, i32 mode) {
  if (!loaded_) return;
  WindowManager* windows = GetWindowManager();
  if (windows && windows->OnMouseWheel(x, y, delta, second, mode)) return;
  if (homeScale_ == 0.0f) homeScale_ = scale_;
  if (mode != kSelectMapWheelFine && mode != kSelectMapWheelCoarse) return;
  float step = mode == kSelectMapWheelFine ? 0.01f : 0.1f;
  if (delta > 0) step = -step;
  const float next = scale_ + step;
  if ((scale_ < homeScale_ && next > homeScale_) || (scale_ > homeScale_ && next < homeScale_)) {
    scale_ = homeScale_;
    CoverScreen();
    return;
  }
  // Never out past the scale that covers the game area (nor, on a screen
  // that fits the map larger than the wheel's range, in below it).
  const float least = std::max(kSelectMapLeast, SelectMapCoverScale(fitWidth_, fitHeight_));
  const float most = std::max({kSelectMapMost, least, homeScale_});
  scale_ = std::clamp(static_cast<float>(kis::RoundToInt(scale_ * 100.0f)) / 100.0f + step, least, most);
  CoverScreen();
}

bool LevelSelectMap::OnKeyDown(u16 key, u32 flags) {
  if (!loaded_) return false;
  WindowManager* windows = GetWindowManager();
  if (windows && windows->OnKeyDown(key, flags)) return true;
  if (key != kSelectMapEscape) return false;
  if (!GetGameEffect())
    RunGameEffect(new GEffect_Regime(kGameStateMainScreen, kSelectMapFade, kSelectMapFade, 0, kSelectMapFadeMode));
  return true;
}

bool LevelSelectMap::OnKeyUp(u16 key, u32 flags) {
  WindowManager* windows = GetWindowManager();
  return loaded_ && windows && windows->OnKeyUp(key, flags);
}

bool LevelSelectMap::OnChar(u16 character) {
  WindowManager* windows = GetWindowManager();
  return loaded_ && windows && windows->OnChar(character, 0);
}

bool LevelSelectMap::GetCursor(u32* cursor) {
  if (!loaded_) return false;
  WindowManager* windows = GetWindowManager();
  if (windows && windows->GetCursor(cursor)) return true;
  if (hovered_ >= 0 && IsPlayable(hovered_)) {
    *cursor = kMapLevelCursor;
    return true;
  }
  return false;
}

// The game tells the map of every change of the screen, whatever the state;
// its windows hear of it from the game too.
void LevelSelectMap::OnScreenResize() {
  if (!loaded_) return;
  SetHovered(pointed_ = -1);
  const GAMESCREENAREA& screen = GetResourceServices().screen;
  FitScreen(screen.width, screen.height);
}

// --- Levels and results ----------------------------------------------------------------------------

void LevelSelectMap::StartLevel(i32 level, bool fresh) {
  Profile* profile = Current();
  if (!profile || !host_ || GetGameEffect()) return;
  if (!fresh && host_->HasKeptLevel(level, profile->GetRegime())) {
    RunGameEffect(new GEffect_Regime(kGameStateLevel, kSelectMapFade, kSelectMapFade, 0, kSelectMapFadeMode));
    return;
  }
  host_->DeleteLevel();
  if (fresh) {
    profile->DropSavedLevel(level);
    profile->SaveProfile();
  }
  if (host_->MakeLevel(level))
    RunGameEffect(
        new GEffect_Regime(kGameStateLevelLoading, kSelectMapFade, kSelectMapFade, 0, kSelectMapFadeMode));
}

void LevelSelectMap::RememberLevel(i32 level) {
  if (level < 0 || level >= static_cast<i32>(kLevelCount) || GetLevelState(level) >= 3) return;
  played_ = level;
  for (u32 i = 0; i < kLevelCount; ++i) previous_[i] = GetLevelState(static_cast<i32>(i));
}

void LevelSelectMap::SetLevelResult(const LEVELRESULT& result) { result_ = result; }

void LevelSelectMap::PlayResult(u32 delay) {
  if (!loaded_) return;
  MapLevelSprite* played = GetNode(played_);
  if (!played) {
    StartTutorials();
    return;
  }
  played->SetState(3, true, delay);
  u32 end = delay + 600;
  bool opened = false;
  for (u32 i = 0; i < kLevelCount; ++i) {
    const u32 state = GetLevelState(static_cast<i32>(i));
    if ((state == 1 || state == 2) && state > previous_[i]) {
      DXLLogValueFormat(0, "Level map", "level %d finished, level %u now %u", played_ + 1, i + 1, state);
      nodes_[i]->SetState(state, true, delay + kMapNodeFadeMs);
      opened = true;
    }
  }
  if (opened) end += kMapNodeFadeMs;
  auto* skip = new GEffect_Skip(&SelectMapFinishResult, end, kSelectMapHooks);
  RunGameEffect(skip);
  if (GameEffect* running = GetGameEffect()) running->SetCompletion(&SelectMapStartTutorials);
  UpdateHover(0, 0);
  if (result_.level == played_) {
    if (result_.flags & kMapResultHardOpened) tutorialFlags_ |= kMapTutorialRegime;
    if (result_.flags & 0x4) tutorialFlags_ |= kMapNoticeAward;
    if (result_.flags & 0x20) tutorialFlags_ |= kMapNoticeFinal;
  }
  played_ = -1;
}

// The regime button stays as it was while a result that opens the hard
// regime waits to be played; the first refresh after it plays the opening.
bool LevelSelectMap::RegimeOpensWithResult() const {
  return played_ >= 0 && result_.level == played_ && (result_.flags & kMapResultHardOpened) != 0;
}

void LevelSelectMap::StartTutorials() {
  if (tutorialFlags_ == 0) return;
  if (interface_ && !RegimeOpensWithResult())
    interface_->RefreshRegimeButton((tutorialFlags_ & kMapTutorialRegime) != 0);
  Profile* profile = Current();
  TutorialFactory* factory = GetResourceServices().tutorialFactory;
  const u32 regime = Regime();
  // The opening comic plays on every visit from the main screen until level
  // 1 is won; the attack after it is the story's opening and plays once for
  // the profile, not again on each of those visits.
  if (tutorialFlags_ & kMapVillainsAttack) {
    tutorialFlags_ &= ~kMapVillainsAttack;
    if (profile && regime == 0 && profile->CountFinished(0) == 0 && !profile->HasFlags(kProfileShownVillainsAttack)) {
      profile->MarkShown(kProfileShownVillainsAttack);
      StartVillainsAttack();
      return;
    }
  }
  if (tutorialFlags_ & kMapTutorialFirst) {
    if (profile && !profile->HasFlags(kProfileShownFirstMap) && regime == 0 && profile->CountFinished(0) == 0) {
      profile->MarkShown(kProfileShownFirstMap);
      if (profile->AreTutorialsOn() && factory) factory->StartMapTutorial(MapTutorialKind::kFirst);
      return;
    }
    if (profile && !profile->HasFlags(kProfileShownHardMap) && regime == 1 && profile->CountFinished(1) == 0) {
      profile->MarkShown(kProfileShownHardMap);
      if (profile->AreTutorialsOn() && factory) factory->StartMapTutorial(MapTutorialKind::kHard);
      return;
    }
    tutorialFlags_ &= ~kMapTutorialFirst;
  }
  if (tutorialFlags_ & kMapTutorialRegime) {
    tutorialFlags_ &= ~kMapTutorialRegime;
    if (factory) factory->StartMapTutorial(MapTutorialKind::kRegime);
    return;
  }
  AwardNoticeQueue* awards = GetAwardNotices();
  if (tutorialFlags_ & kMapNoticeAward) {
    tutorialFlags_ &= ~kMapNoticeAward;
    if (awards) awards->ShowAward(1, 1, 1);
  }
  if (tutorialFlags_ & kMapNoticeFinal) {
    tutorialFlags_ &= ~kMapNoticeFinal;
    if (awards) awards->ShowAward(2, 0, 0);
  }
}

bool LevelSelectMap::GetLevelNodePos(i32 level, float* x, float* y) const {
  // A level without a cell has no node to aim at.
  if (level < 0 || level >= static_cast<i32>(kLevelCount) || cells_[level] < 0) return false;
  const DXLPOINT p = GetLevelPos(cells_[level]);
  *x = static_cast<float>(p.x);
  *y = static_cast<float>(p.y);
  return true;
}

// A gas shot's hit: the node's locked look fades in over the attack's.
void LevelSelectMap::LockLevelNode(i32 level) {
  if (MapLevelSprite* node = GetNode(level)) node->SetChildren(kMapMaskHidden, true, 0);
}

void LevelSelectMap::DeleteVillains() {
  while (villains_.GetCount() > 0) {
    MLCVillain* villain = villains_.Last();
    villains_.Delete(villains_.GetCount() - 1);
    delete villain;
  }
}

namespace {

// The attack's villains, their paths and targets (levels from 1).
struct SelectMapVillainPlan {
  i32 startY;
  float targetX, targetY;
  i32 variant;
  i32 levels[2];
};
constexpr SelectMapVillainPlan kSelectMapVillains[2] = {{280, 20, 360, 2, {15, 26}}, {610, 60, 585, 0, {36, 41}}};

// Every animation the attack plays is there (else no villain is made).
bool SelectMapVillainsReady() {
  const kis::list<GameCharacter*>& all = GetCharacters();
  GameCharacter* villain = FindCharInfo(all, kMapCharVillain);
  GameCharacter* catapult = FindCharInfo(all, kMapCharCatapult);
  if (!villain || !catapult || !villain->GetCharAnimation(0) || !villain->GetWalkAnimationPtr(0) ||
      !catapult->GetCharAnimation(0))
    return false;
  for (const wchar* name : {u"villain_install_begin", u"villain_install_end", u"villain_shoot_begin",
                            u"villain_shoot_end", u"villain_remove"})
    if (!villain->FindAnimation(0, name)) return false;
  return true;
}

}  // namespace

void LevelSelectMap::StartVillainsAttack() {
  if (!loaded_) return;
  for (auto& node : nodes_) {
    node->SetState(0, false, 0);
    node->SetChildren(kMapMaskAttack, false, 0);
  }
  DeleteVillains();
  attackShown_ = true;
  if (SelectMapVillainsReady()) {
    const i32 sx = -offsetX_ - 64;  // just off the map's left edge
    for (const SelectMapVillainPlan& plan : kSelectMapVillains)
      villains_.Add(new MLCVillain(this, sx, plan.startY, plan.targetX, plan.targetY, plan.variant, 2, plan.levels));
  }
  if (TutorialFactory* factory = GetResourceServices().tutorialFactory)
    factory->StartMapTutorial(MapTutorialKind::kVillainsAttack);
}

void LevelSelectMap::Refresh() {
  if (!loaded_) return;
  if (particles_) particles_->ClearParticles();
  DeleteVillains();
  attackShown_ = false;
  ReleaseCopy();
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Discard();
  tutorialFlags_ |= kMapTutorialFirst;
  Profile* profile = Current();
  progress_ = profile ? &profile->GetProgress() : nullptr;
  if (interface_) {
    if (MapMedalsPanel* medals = interface_->GetMedalsPanel()) medals->Refresh(Regime());
    if (!RegimeOpensWithResult()) interface_->RefreshRegimeButton(false);
  }
  for (u32 i = 0; i < kLevelCount; ++i)
    nodes_[i]->SetState(played_ >= 0 ? previous_[i] : GetLevelState(static_cast<i32>(i)), false, 0);
}

void LevelSelectMap::RefreshLevels(bool atOnce) {
  attackShown_ = false;
  for (u32 i = 0; i < nodes_.size(); ++i) nodes_[i]->SetState(GetLevelState(static_cast<i32>(i)), !atOnce, 0);
  TutorialHooks* tutorial = GetResourceServices().tutorial;
  if (tutorial && tutorial->GetTutorialId() == kMapVillainsTutorialId) tutorial->Stop();
  if (atOnce) DeleteVillains();
}

// --- The interface's callbacks ---------------------------------------------------------------------

void LevelSelectMap::OnRegimeSwitched() {
  CloseProfilesWindow();
  result_.level = -1;
  Refresh();
  StartTutorials();
}

void LevelSelectMap::OnProfileChosen() {
  Profile* profile = Current();
  if (profile && profile->GetRegime() == 0 && profile->CountFinished(0) == 0) {
    ComixBook* book = GetWindowServices().comixBook;
    if (book && book->StartComix(0, nullptr)) return;
  }
  RunGameEffect(new GEffect_ShowHide(&SelectMapProfileCovered, kSelectMapFade, kSelectMapFade, 0,
                                     kSelectMapFadeMode, kSelectMapHooks));
}

// The current profile deleted under the profiles window: the greeting
// names the one that took its place, whose progress the map shows (a
// result the deleted one left to animate goes with it); with none left the
// map keeps its copy of the deleted one's until a profile is made, and
// greets nobody.
void LevelSelectMap::OnCurrentProfileReplaced() {
  if (interface_) interface_->CreateProfileButton();
  if (!Current()) return;
  result_.level = -1;
  played_ = -1;
  Refresh();
}

void LevelSelectMap::ProfileCovered() {
  CloseProfilesWindow();
  result_.level = -1;
  if (interface_) interface_->CreateProfileButton();
  Refresh();
  StartTutorials();
}
