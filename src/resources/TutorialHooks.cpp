#include "resources/TutorialHooks.h"
#include "resources/ResourceServices.h"


bool TutorialAllowAction(u32 action, uintptr_t parameter, const void* object) {
  TutorialHooks* tutorial = GetResourceServices().tutorial;
  return !tutorial || tutorial->AllowAction(action, parameter, object);
}

void TutorialNotify(u32 event, uintptr_t parameter, const void* object) {
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Notify(event, parameter, object);
}

void DeleteFinishedTutorials() {
  std::vector<TutorialHooks*>& finished = GetResourceServices().finishedTutorials;
  while (!finished.empty()) {
    TutorialHooks* tutorial = finished.back();
    finished.pop_back();
    delete tutorial;
  }
}
