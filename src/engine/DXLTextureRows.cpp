#include "engine/DXLTextureRows.h"

#include "base/Maths.h"

void DXLColorizePixels(const u32* source, u32* destination, u32 count, u32 color, float factor) {
  if (!source || !destination) return;
  const u32 rgb = color & 0x00FFFFFFu;
  for (u32 i = 0; i < count; ++i) {
    u32 alpha = source[i] >> 24;
    if (factor != 1.0f) {
      const i32 scaled = kis::RoundToInt(static_cast<float>(alpha) * factor);
      alpha = scaled < 0 ? 0 : scaled > 255 ? 255 : static_cast<u32>(scaled);
    }
    destination[i] = rgb | alpha << 24;
  }
}

void DXLAlphaToA8L8(const u32* source, u16* destination, u32 count) {
  if (!source || !destination) return;
  for (u32 i = 0; i < count; ++i) destination[i] = static_cast<u16>(((source[i] >> 24) << 8) | 0xFF);
}

void DXLCoverageToA4R4G4B4(const u32* source, u16* destination, u32 count) {
  if (!source || !destination) return;
  for (u32 i = 0; i < count; ++i) destination[i] = static_cast<u16>(((source[i] >> 12) & 0xF) << 12 | 0x0FFF);
}
