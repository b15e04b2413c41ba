#include "tutorials/MapTutorial.h"

#include <cstdio>
#include <string>

#include "app/LevelSelectMap.h"
#include "resources/ResourceServices.h"
#include "tutorials/TutorialArrow.h"
#include "tutorials/TutorialInfo.h"
#include "tutorials/TutorialLayer.h"
#include "tutorials/TutorialTargets.h"
#include "ui/GameButton.h"
#include "ui/GameWindow.h"
#include "windows/MapInterface.h"

u32 MapTutorialWindowId(const void* window) {
  return window ? static_cast<const GameWindow*>(window)->GetId() : 0;
}

// --- MapTutorial --------------------------------------------------------------------------------------

MapTutorial::MapTutorial(TutorialId id, const wchar* name) : GameTutorial(id) {
  for (u32 i = 0; name && i < kMapTutorialNameMax && name[i]; ++i) name_[i] = name[i];
  SetDelay(kMapTutorialDelay);
  SetSaved(false);
}

bool MapTutorial::AllowKey(u16 key, const void* window) {
  const u32 id = MapTutorialWindowId(window);
  return !((key == kKeyEscape || key == kKeyEnter) &&
           (id == kTutorialWindowLevelStart || id == kTutorialWindowBonuses));
}

bool MapTutorial::FilterAction(u32 code, uintptr_t param, const void* object) {
  if (code == kTutorialActionButton) {
    const u32 window = static_cast<u32>(param);
    if (window != kTutorialWindowLevelStart) {
      if (window != kTutorialWindowMap) return true;
      const u32 control = object ? static_cast<const GameButton*>(object)->GetId() : 0;
      if (control == kMapOptionsCommand || control == kMapGreetingCommand || control == kMapBackCommand) return true;
    }
  } else if (code == kTutorialActionMapLevel && !(GetFlags() & kMapFlagNodes)) {
    return false;
  }
  return GameTutorial::FilterAction(code, param, object);
}

void MapTutorial::Run(TutorialId firstStep) {
  SetFirstStep(firstStep);
  StartStep(firstStep);
  Start();
}

bool MapTutorial::Save(kis::DataCursor*) { return false; }
bool MapTutorial::LoadRecord(const u8*, u32) { return false; }

// The next pending tutorial is asked for once this one has finished in its
// own frame (out of the current slot, waiting for deletion at the frame's
// end); not when another tutorial replaced it or the map has gone.
void MapTutorial::Update(u32 elapsed) {
  UpdateBase(elapsed);
  if (!serveNext_ || GetState() != kTutorialFinished) return;
  serveNext_ = false;
  LevelSelectMap* map = GetLevelSelectMap();
  if (GetResourceServices().tutorial || !map || !map->GetInterface()) return;
  map->StartTutorials();
}

// --- MapTutorialStep ----------------------------------------------------------------------------------

MapTutorialStep::MapTutorialStep(TutorialId id, u32 layerCode, u32 flagsBegin, u32 flagsEnd)
    : TutorialStep(id, layerCode), begin_(flagsBegin), end_(flagsEnd) {}

MapTutorial* MapTutorialStep::GetMapTutorial() const { return dynamic_cast<MapTutorial*>(GetTutorial()); }

void MapTutorialStep::Begin() {
  if (GameTutorial* t = GetTutorial(); t && begin_ != kFlagsKept) t->SetFlags(begin_);
}

void MapTutorialStep::End() {
  if (GameTutorial* t = GetTutorial(); t && end_ != kFlagsKept) t->SetFlags(end_);
}

const wchar* MapTutorialStep::GetText(const wchar* key) {
  const MapTutorial* tutorial = GetMapTutorial();
  const wchar* name = tutorial ? tutorial->GetName() : u"";
  char number[16];
  std::snprintf(number, sizeof number, "_%d", static_cast<i32>(static_cast<i16>(TutorialStepNumber(GetId()))));
  std::u16string formed = u"map_";
  formed += name;
  for (const char* c = number; *c; ++c) formed += static_cast<wchar>(*c);
  if (key) formed += key;
  return TutorialStep::GetText(formed.c_str());
}

bool MapTutorialStep::CatchesPointAt(i32 x, i32 y) {
  const LevelSelectMap* map = GetLevelSelectMap();
  const MapInterface* face = map ? map->GetInterface() : nullptr;
  return !(face && face->IsOverButtons(x, y));
}

TutorialArrow* MapTutorialStep::Arrow(TutorialTarget* target) {
  if (!GetLayer()) {
    delete target;
    return nullptr;
  }
  auto* arrow = new TutorialArrow(GetLayer(), 0);
  SetArrowTarget(arrow, target);
  return arrow;
}

TutorialInfo* MapTutorialStep::Text(const wchar* text, TutorialTarget* target, bool shared, bool centred,
                                    float distance, bool click) {
  return AddLayerText(GetLayer(), text, target, shared, centred, distance, click);
}

void MapTutorialStep::ArrowAndText(TutorialTarget* target, const wchar* text, float distance, bool click) {
  if (TutorialArrow* arrow = Arrow(target)) Text(text, arrow->GetTarget(), true, false, distance, click);
}
