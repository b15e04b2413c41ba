// ParticleLibrary - the game's particle library, kept in the resource
// services (ResourceServices::particles): the curves, emitter
// parameter records and particle-system definitions read from the "PART"
// section (ParticleRecords.h), the live particle spaces, the particle
// sprite set and the largest step particles are advanced by. Records live
// until FreeParticleLibrary (shutdown and tests) or the services' reset, so
// pointers to them stay valid; when two records share an id, look-ups give
// the first.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "resources/GPSHandleTable.h"
#include "resources/ParticleRecords.h"

class GPSSpace;
class SpriteSet;
struct SectionCursor;

namespace kis {
class BaseDataFileReader;
}

struct ParticleLibrary {
  std::vector<std::unique_ptr<GPSCURVE>> curves;
  std::vector<std::unique_ptr<GPSPARAMS>> params;
  std::vector<std::unique_ptr<GPSSYSTEM>> systems;
  GPSHandleTable<GPSSpace> spaces;  // registered by the spaces themselves
  SpriteSet* spriteSet = nullptr;   // null: sprite set kParticleSpriteSet
  float maxStep = 10.0f;            // ms
  u32 loadRead = 0;                 // records read of the section being loaded
  u32 loadGroupCount = 0;           // records in its current group
};

ParticleLibrary& GetParticleLibrary();
// Frees every record and returns the settings to their start; spaces must
// be gone.
void FreeParticleLibrary();
// The set the particles' sprites are found in.
SpriteSet* GetParticleSpriteSet();
// The largest step (ms); below 1 ms, or not a number, counts as 1 ms.
void SetParticleMaxStep(float ms);

// Null for 0 or when absent.
const GPSSYSTEM* FindParticleSystem(u32 nameId);
const GPSPARAMS* FindEmitterParams(u32 id);
const GPSCURVE* FindCurve(u32 id);

// The resumable reader of "PART": 1 when finished (the cursor's error flag
// tells a failure), 0 to be called again. The cursor's done word holds the
// group (top four bits: 1 curves, 2 parameter records, 3 definitions, 15
// closing) and the index within it; after each record the progress is
// records read / the section's total (1 when the total is 0), and the
// reader returns 0 when the progress hook asks for the frame back. A failed
// read, a size word that differs, more than 16 curve points or a count
// larger than the bytes left sets the error flag; records read before stay.
i32 LoadParticleSystems(kis::BaseDataFileReader* reader, SectionCursor* cursor);
