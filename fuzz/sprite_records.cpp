// The sprite archive's sprite records (frame layouts, draw states, animations):
// the input is set 2's section of that kind (see SpriteSectionFuzz.h).
#include "SpriteSectionFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return spritefuzz::Run(kSpritesId, data, size);
}
