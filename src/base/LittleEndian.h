// Little-endian field helpers for stored layouts. Files and archive records
// are never copied as whole structs: every field goes through these.
#pragma once

#include <bit>

#include "base/Types.h"

namespace kis {

inline u16 GetU16LE(const void* p) {
  const u8* b = static_cast<const u8*>(p);
  return static_cast<u16>(b[0] | (b[1] << 8));
}

inline u32 GetU32LE(const void* p) {
  const u8* b = static_cast<const u8*>(p);
  return static_cast<u32>(b[0]) | (static_cast<u32>(b[1]) << 8) | (static_cast<u32>(b[2]) << 16) |
         (static_cast<u32>(b[3]) << 24);
}

inline u64 GetU64LE(const void* p) {
  const u8* b = static_cast<const u8*>(p);
  return static_cast<u64>(GetU32LE(b)) | (static_cast<u64>(GetU32LE(b + 4)) << 32);
}

inline void PutU16LE(void* p, u16 v) {
  u8* b = static_cast<u8*>(p);
  b[0] = static_cast<u8>(v);
  b[1] = static_cast<u8>(v >> 8);
}

inline void PutU32LE(void* p, u32 v) {
  u8* b = static_cast<u8*>(p);
  b[0] = static_cast<u8>(v);
  b[1] = static_cast<u8>(v >> 8);
  b[2] = static_cast<u8>(v >> 16);
  b[3] = static_cast<u8>(v >> 24);
}

inline void PutU64LE(void* p, u64 v) {
  u8* b = static_cast<u8*>(p);
  PutU32LE(b, static_cast<u32>(v));
  PutU32LE(b + 4, static_cast<u32>(v >> 32));
}

// Two's-complement 32-bit integers stored as their 32-bit pattern.
inline i32 GetI32LE(const void* p) { return static_cast<i32>(GetU32LE(p)); }
inline void PutI32LE(void* p, i32 v) { PutU32LE(p, static_cast<u32>(v)); }

// IEEE single-precision floats stored as their 32-bit pattern.
inline float GetF32LE(const void* p) { return std::bit_cast<float>(GetU32LE(p)); }
inline void PutF32LE(void* p, float v) { PutU32LE(p, std::bit_cast<u32>(v)); }

}  // namespace kis
