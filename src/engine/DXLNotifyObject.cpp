#include "engine/DXLNotifyObject.h"

DXLNotifyObject::~DXLNotifyObject() {
  NotifyAll(kNotifyDestroyed);
  listeners_.Clear();
}

void DXLNotifyObject::Notify(DXLNotifyObject* /*sender*/, u32 /*code*/) {}

void DXLNotifyObject::AddListener(DXLNotifyObject* object) {
  if (object) listeners_.AddUnique(object);
}

void DXLNotifyObject::RemoveListener(DXLNotifyObject* object) { listeners_.Remove(object); }

// Last to first; after each call the index is brought back inside the list in
// case the listener removed more than itself.
void DXLNotifyObject::NotifyAll(u32 code) {
  for (i32 i = listeners_.GetCount() - 1; i >= 0; --i) {
    if (i >= listeners_.GetCount()) {
      i = listeners_.GetCount();
      continue;
    }
    DXLNotifyObject* listener = listeners_.Get(i);
    if (listener) listener->Notify(this, code);
  }
}
