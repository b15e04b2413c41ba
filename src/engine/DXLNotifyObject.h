// DXLNotifyObject - root of the engine objects that tell listeners about
// events by a numeric code. Listeners are not owned. NotifyAll walks the list
// from the last entry to the first, so a listener may remove itself (or an
// entry already told) while it is being told without anyone being skipped or
// told twice. The destructor tells every listener kNotifyDestroyed.
#pragma once

#include "base/List.h"
#include "base/Types.h"

// Notification codes of the engine core.
constexpr u32 kNotifyDestroyed = 1;  // the sender is going away
constexpr u32 kNotifyBuilt = 2;      // the sender's content was (re)built
constexpr u32 kNotifyReleased = 3;   // the sender's content was released

class DXLNotifyObject {
 public:
  DXLNotifyObject() = default;
  DXLNotifyObject(const DXLNotifyObject&) = delete;
  DXLNotifyObject& operator=(const DXLNotifyObject&) = delete;
  virtual ~DXLNotifyObject();

  virtual void Notify(DXLNotifyObject* sender, u32 code);  // empty here

  void AddListener(DXLNotifyObject* object);     // null and repeats ignored
  void RemoveListener(DXLNotifyObject* object);  // nothing when absent
  void NotifyAll(u32 code);                      // Notify(this, code) on each listener

  i32 GetListenerCount() const { return listeners_.GetCount(); }

 protected:
  kis::list<DXLNotifyObject*> listeners_;
};
