// DXLUpdateableObject - a notify object that reports its changes to an owner.
// A change calls Changed; outside an update bracket that becomes Update, whose
// base behaviour hands the change on to the owner's Changed, so a change climbs
// the owner chain until it meets an object inside a bracket or one without an
// owner. Closing the outermost bracket delivers one Changed(null) for all the
// changes made inside it. The owner is not owned.
#pragma once

#include "engine/DXLNotifyObject.h"

class DXLUpdateableObject : public DXLNotifyObject {
 public:
  DXLUpdateableObject() = default;
  ~DXLUpdateableObject() override = default;

  // Rebuilds after a change; the base tells the owner (derived classes call it
  // after their own work).
  virtual void Update(DXLUpdateableObject* source);
  virtual void Hook() {}  // an empty hook for derived classes
  // Calls Update unless an update bracket is open.
  virtual void Changed(DXLUpdateableObject* source);

  void BeginUpdate() { ++updateCounter_; }
  void EndUpdate();  // nothing without an open bracket; else closes one and calls Changed(null)
  bool IsUpdating() const { return updateCounter_ > 0; }

  DXLUpdateableObject* GetOwner() const { return owner_; }
  void SetOwner(DXLUpdateableObject* owner) { owner_ = owner; }

 protected:
  DXLUpdateableObject* owner_ = nullptr;
  u32 updateCounter_ = 0;
};
