#include "level/map/LevelMap.h"

#include "content/LevelInfo.h"
#include "engine/DXLViewer.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelRules.h"
#include "level/map/MapAward.h"
#include "level/map/MapObject.h"
#include "level/map/ParticlesObject.h"
#include "pathfinding/MapShapes.h"
#include "resources/GameDraw.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"

LevelMap::LevelMap(LevelRules* rules, const LevelMapHooks& hooks) : rules_(rules), hooks_(hooks) {}

LevelMap::~LevelMap() {
  DeletePoints();
  DeleteAllObjects();
}

const LEVELINFO* LevelMap::GetInfo() const { return rules_ ? rules_->GetInfo() : nullptr; }

void LevelMap::DeleteAllObjects() {
  // An object may delete others it owns: take the last one each time.
  while (objects_.GetCount() > 0) delete objects_.Last();
  award_ = nullptr;
  hovered_ = nullptr;
}

void LevelMap::UpdateParticles(u32 ms) {
  for (i32 i = 0; i < particles_.GetCount(); ++i) particles_[i]->Update(ms);
}

// --- Depth bands ---------------------------------------------------------------------------------

i32 LevelMap::BandOf(i32 sortY) {
  if (sortY < 0) return 0;
  const i32 band = sortY / kBandHeight + 1;
  return band < kBandCount ? band : kBandCount - 1;
}

// An object that stays in its band moves from where it stood, forward or
// backward; one coming from elsewhere is searched for from the end of the
// band that is nearer to it (judged by the middle entry).
void LevelMap::PlaceInBand(MapObject* object, i32 sortY, i32 sortKey) {
  const i32 band = BandOf(sortY);
  kis::list<MapObject*>& list = bands_[object->GetLayer()][band];
  const u32 serial = object->GetSerial();
  if (object->IsInBand() && object->GetBand() == band) {
    if (object->GetSortRow() == sortY && object->GetSortKey() == sortKey) return;
    object->SetBandPlace(band, sortY, sortKey);
    const i32 n = list.GetCount();
    if (n == 1) return;
    const i32 at = list.IndexOf(object);
    i32 to = at;
    if (at + 1 < n && list[at + 1]->SortsBefore(sortKey, serial)) {
      while (to + 1 < n && list[to + 1]->SortsBefore(sortKey, serial)) ++to;
    } else {
      while (to > 0 && object->SortsBefore(list[to - 1]->GetSortKey(), list[to - 1]->GetSerial())) --to;
    }
    list.Move(at, to);
    return;
  }
  if (object->IsInBand()) RemoveFromBand(object);
  object->SetBandPlace(band, sortY, sortKey);
  const i32 n = list.GetCount();
  i32 at = 0;
  if (n > 0) {
    const MapObject* middle = list[n / 2];
    if (object->SortsBefore(middle->GetSortKey(), middle->GetSerial())) {
      while (at < n && list[at]->SortsBefore(sortKey, serial)) ++at;
    } else {
      at = n;
      while (at > 0 && object->SortsBefore(list[at - 1]->GetSortKey(), list[at - 1]->GetSerial())) --at;
    }
  }
  list.Insert(at, object);
}

void LevelMap::RemoveFromBand(MapObject* object) {
  if (object->IsInBand()) {
    const i32 band = object->GetBand();
    if (band >= 0 && band < kBandCount) bands_[object->GetLayer()][band].Remove(object);
    object->SetBandPlace(-1, object->GetSortRow(), object->GetSortKey());
  }
  if (hovered_ == object) hovered_ = nullptr;
}

// --- Disposal and drawing ---------------------------------------------------------------------------

void LevelMap::AddDisposed(MapObject* object) { disposed_[object->GetLayer()].AddUnique(object); }

void LevelMap::RemoveDisposed(MapObject* object) { disposed_[object->GetLayer()].Remove(object); }

void LevelMap::DrawMapObjects(u32 layer) {
  layer &= 1;
  DXLViewer* viewer = GetGameViewer();
  if (viewer) {
    const DXLMATRIX levelTransform = viewer->CurrentTransform();
    DeferredEffectCalls scope;
    for (kis::list<MapObject*>& band : bands_[layer]) {
      for (i32 i = 0; i < band.GetCount(); ++i) {
        MapObject* object = band[i];
        viewer->SetTransform(&levelTransform);
        object->Draw();
        object->ClearHighlight();
      }
    }
    UnbindDrawTexture();
  }
  PurgeDisposed(layer);
}

void LevelMap::PurgeDisposed(u32 layer) {
  kis::list<MapObject*>& list = disposed_[layer & 1];
  for (i32 i = list.GetCount() - 1; i >= 0; --i) {
    if (i >= list.GetCount()) continue;
    MapObject* object = list[i];
    if (!object->GetEffects() || !object->IsAttached()) delete object;
  }
}

void LevelMap::UpdateDisposed() {
  for (u32 layer = 0; layer < kMapLayers; ++layer) {
    kis::list<MapObject*>& list = disposed_[layer];
    for (i32 i = list.GetCount() - 1; i >= 0; --i)
      if (i < list.GetCount()) list[i]->UpdateEffects();
    PurgeDisposed(layer);
  }
}

void LevelMap::ForgetObject(MapObject* object) {
  if (hovered_ == object) hovered_ = nullptr;
  if (award_ && static_cast<MapObject*>(award_) == object) award_ = nullptr;
}

// --- Shape host ----------------------------------------------------------------------------------

void LevelMap::AddTileShape(i32 column, i32 row, MAPSHAPE* shape) {
  if (column >= 0 && column < kTileColumns && row >= 0 && row < kTileRows) tiles_[row * kTileColumns + column].Add(shape);
}

void LevelMap::RemoveTileShape(i32 column, i32 row, MAPSHAPE* shape) {
  if (column >= 0 && column < kTileColumns && row >= 0 && row < kTileRows)
    tiles_[row * kTileColumns + column].Remove(shape);
}

const kis::list<MAPSHAPE*>* LevelMap::GetTileShapes(i32 column, i32 row) const {
  if (column < 0 || column >= kTileColumns || row < 0 || row >= kTileRows) return nullptr;
  return &tiles_[row * kTileColumns + column];
}

// --- Level points --------------------------------------------------------------------------------

void LevelMap::SetPointCount(i32 count) { pointCount_ = count < 0 ? 0 : count > kMaxPoints ? kMaxPoints : count; }

BaseLevelPoint* LevelMap::GetPoint(i32 index) const {
  return index >= 0 && index < pointCount_ ? points_[index] : nullptr;
}

void LevelMap::SetPoint(i32 index, BaseLevelPoint* point) {
  if (index >= 0 && index < kMaxPoints) points_[index] = point;
}

void LevelMap::DeletePoints() {
  maker_.SelectPoint(-1, false);
  for (i32 i = kMaxPoints - 1; i >= 0; --i) {
    BaseLevelPoint* point = points_[i];
    points_[i] = nullptr;
    delete point;
  }
  pointCount_ = 0;
  hoveredPoint_ = selectedPoint_ = -1;
}

void LevelMap::ClosePanelExcept(const BaseLevelPoint* point) {
  if (selectedPoint_ >= 0 && (!point || GetPoint(selectedPoint_) != point)) maker_.SelectPoint(-1, false);
}

// --- Counts -------------------------------------------------------------------------------------

i32 LevelMap::CountPoints(i32 kind, u32 id, i32 minLevel) const {
  i32 n = 0;
  for (i32 i = 0; i < pointCount_; ++i) {
    const BaseLevelPoint* p = points_[i];
    if (!p || p->IsShutDown() || p->GetKind() != kind) continue;
    POINTPARAMS info;
    p->GetInfo(&info);
    if (info.id == id && info.level >= minLevel) ++n;
  }
  return n;
}

i32 LevelMap::CountCleanPlaces() const {
  const LEVELINFO* level = GetInfo();
  const i32 defined = level ? static_cast<i32>(level->points.size()) : pointCount_;
  i32 n = 0;
  for (i32 i = 0; i < defined; ++i) {
    const BaseLevelPoint* p = i < kMaxPoints ? points_[i] : nullptr;
    if (!p) {
      ++n;
      continue;
    }
    POINTPARAMS info;
    p->GetInfo(&info);
    if (info.kind != kPointKindEmpty || info.id == 0) ++n;
  }
  return n;
}
