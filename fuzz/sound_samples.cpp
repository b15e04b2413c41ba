// The sound archive's sample section with its standard-name block: the input
// is the section (see SoundSectionFuzz.h).
#include "SoundSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return soundfuzz::Run(kSampleSectionId, data, size);
}
