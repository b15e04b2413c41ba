// SavedLevelStore - the profile's store of saved levels for the played
// tests: one slot a play mode and level, freed with the store, and a count
// of the profile saves asked for.
#pragma once

#include "base/DataBuffer.h"
#include "base/SavedStateStore.h"
#include "level/state/GameLevelSaves.h"

namespace testsupport {

struct SavedLevelStore : kis::SavedStateStore, ProfileSaver {
  ~SavedLevelStore() override {
    for (auto& m : slots)
      for (kis::DataBuffer* b : m) delete b;
  }
  kis::DataBuffer** Slot(u32 mode, u32 level) override {
    return kis::IsSavedStateSlot(mode, level) ? &slots[mode][level] : nullptr;
  }
  void SaveProfile() override { ++saves; }
  kis::DataBuffer* slots[kis::kSavedPlayModes][kis::kSavedLevels] = {};
  i32 saves = 0;
};

}  // namespace testsupport
