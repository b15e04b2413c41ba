#include "resources/TutorialHooks.h"

#include "resources/GameServices.h"

bool TutorialAllowAction(u32 action, uintptr_t parameter, const void* object) {
  TutorialHooks* tutorial = GetGameServices().tutorial;
  return !tutorial || tutorial->AllowAction(action, parameter, object);
}

void TutorialNotify(u32 event, uintptr_t parameter, const void* object) {
  if (TutorialHooks* tutorial = GetGameServices().tutorial) tutorial->Notify(event, parameter, object);
}

void DeleteFinishedTutorials() {
  std::vector<TutorialHooks*>& finished = GetGameServices().finishedTutorials;
  while (!finished.empty()) {
    TutorialHooks* tutorial = finished.back();
    finished.pop_back();
    delete tutorial;
  }
}
