// The tutorial's part of a saved level read from any bytes: a plain
// two-step tutorial, a level tutorial and the villain tutorial (without a
// level, which refuses every record once its size passes) must refuse or
// take it without reading past the data; a taken one runs, saves and reads its own save back.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/GameWorld.h"
#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "resources/ResourceServices.h"
#include "tutorials/GameTutorial.h"
#include "tutorials/LevelTutorial.h"
#include "tutorials/LevelTutorial_6.h"

namespace {

class Step : public TutorialStep {
 public:
  Step(TutorialId id, TutorialId next) : TutorialStep(id, 0) { SetNextStep(next); }
  void Begin() override {}
  void End() override {}
  bool LoadData(const u8* block) override { return block != nullptr; }
};

class Script : public GameTutorial {
 public:
  Script() : GameTutorial(0x00050000u) {
    new Step(0x50001u, 0x50002u);
    new Step(0x50002u, 0);
    SetFirstStep(0x50001u);
  }
};

bool LoadFrom(GameTutorial& t, const uint8_t* data, size_t size) {
  kis::DataBuffer buffer;
  if (!buffer.GrowData(size + 1)) return false;
  if (size) std::memcpy(buffer.Data(), data, size);
  buffer.dataSize = static_cast<u32>(size);
  kis::DataCursor reader;
  return reader.BeginRead(&buffer) && t.Load(&reader);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  ResetAllServices();
  Script* script = new Script;
  if (LoadFrom(*script, data, size)) {
    script->Start();
    script->StartFirstStep();
    for (int i = 0; i < 40; ++i) script->Update(10);
    kis::DataCursor writer;
    kis::LevelSaveInfo info{};
    if (writer.Begin(info) && script->Save(&writer)) {
      const kis::DataBuffer* saved = writer.GetBuffer();
      Script* again = new Script;  // finishes the first
      if (!LoadFrom(*again, saved->Data(), writer.GetDataPosition())) __builtin_trap();
    }
  }
  LevelTutorial* level = new LevelTutorial(0x00010000u, nullptr);
  LoadFrom(*level, data, size);
  // The villain tutorial's longer record (32 bytes), its steps built.
  LevelTutorial_6* villains = new LevelTutorial_6(nullptr);  // finishes the one before
  LoadFrom(*villains, data, size);
  if (TutorialHooks* current = GetResourceServices().tutorial) current->Discard();
  DeleteFinishedTutorials();
  ResetAllServices();
  return 0;
}
