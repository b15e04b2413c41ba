// The "PART" section (see DataSectionFuzz.h). Every particle system read
// (up to eight) gets an emitter in a space of its own, mirrored every other
// one, which runs, stops gently, runs on and is drawn.
#include <memory>
#include <vector>

#include "DataSectionFuzz.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/ParticleLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  datafuzz::Run(
      kParticleSectionId, kParticleSectionSubId, data, size,
      [](kis::BaseDataFileReader* reader, SectionCursor* cursor) { return LoadParticleSystems(reader, cursor); },
      [] {
        const ParticleLibrary& lib = GetParticleLibrary();
        std::vector<std::unique_ptr<GPSSpace>> spaces;
        for (size_t i = 0; i < lib.systems.size() && i < 8; ++i) {
          spaces.push_back(std::make_unique<GPSSpace>(static_cast<u32>(i & 1)));
          (new GPSEmiter(spaces.back().get(), lib.systems[i].get(), nullptr, 16, 16))->Start();
        }
        for (int step = 0; step < 6; ++step) {
          for (auto& space : spaces) {
            space->Update(37.5f);
            if (step == 3) space->StopEmitters(false);
            // A space keeps at most one particle above its maximum alive
            // (a new one dies only when the others already exceed it).
            if (space->GetParticleCount() > static_cast<u32>(space->GetMaxParticles()) + 1u) __builtin_trap();
          }
        }
        for (auto& space : spaces) {
          space->SetAlpha(0.5f);
          space->Draw();
        }
      });
  FreeParticleLibrary();
  return 0;
}
