// The sprite archive's map-sprite records (shadows, arrays, sub-sprites): the
// input is set 2's section of that kind (see SpriteSectionFuzz.h).
#include "SpriteSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return spritefuzz::Run(kMapSpritesId, data, size);
}
