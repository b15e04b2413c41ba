// InitObject - base of the game's reference-counted resources (sprites, map
// sprites, later animations and characters). Every successful Init raises
// the count by one and is matched by one Release; Release with the force flag
// drops the count to 0 at once. The resource is built on the first
// successful Init and freed when the count returns to 0; 0 means not loaded.
#pragma once

#include "base/Types.h"

class InitObject {
 public:
  InitObject() = default;
  InitObject(const InitObject&) = delete;
  InitObject& operator=(const InitObject&) = delete;
  virtual ~InitObject() = default;

  virtual void Init() = 0;
  virtual void Release(bool force) = 0;

  i32 GetInitCount() const { return initCount_; }
  bool IsLoaded() const { return initCount_ > 0; }

 protected:
  // Lowers the count by one (to 0 with force); true when the count is 0
  // afterwards and the caller is to free the resource. A count of 0 to begin
  // with answers false.
  bool DropInit(bool force) {
    if (initCount_ == 0) return false;
    initCount_ = force ? 0 : initCount_ - 1;
    return initCount_ == 0;
  }

  i32 initCount_ = 0;
};
