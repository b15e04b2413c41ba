#include "engine/image/RunLength.h"

#include <cstring>

u64 DXLPackRunLength(const u8* in, u64 size, u32 element, u8* out, u64 capacity) {
  if (element == 0 || size % element != 0) return 0;
  const u64 n = size / element;
  auto same = [&](u64 a, u64 b) { return std::memcmp(in + a * element, in + b * element, element) == 0; };
  u64 o = 0, i = 0;
  while (i < n) {
    u64 run = 1;
    while (run < 128 && i + run < n && same(i, i + run)) ++run;
    if (run >= 2) {
      if (o + 1 + element >= capacity) return 0;
      out[o++] = static_cast<u8>(0x80 | (run - 1));
      std::memcpy(out + o, in + i * element, element);
      o += element;
      i += run;
      continue;
    }
    // A raw packet takes elements up to the next pair of equal ones.
    u64 count = 1;
    while (count < 128 && i + count < n && !(i + count + 1 < n && same(i + count, i + count + 1))) ++count;
    const u64 bytes = count * element;
    if (o + 1 + bytes >= capacity) return 0;
    out[o++] = static_cast<u8>(count - 1);
    std::memcpy(out + o, in + i * element, bytes);
    o += bytes;
    i += count;
  }
  return o;
}

bool DXLUnpackRunLength(const u8* in, u64 inSize, u32 element, u8* out, u64 outSize) {
  if (element == 0) return false;
  u64 i = 0, o = 0;
  while (i < inSize) {
    const u8 h = in[i++];
    const u64 count = (h & 127u) + 1u;
    const u64 bytes = count * element;
    if (bytes > outSize - o) return false;
    if (h & 0x80) {
      if (element > inSize - i) return false;
      if (out)
        for (u64 k = 0; k < count; ++k) std::memcpy(out + o + k * element, in + i, element);
      i += element;
    } else {
      if (bytes > inSize - i) return false;
      if (out) std::memcpy(out + o, in + i, bytes);
      i += bytes;
    }
    o += bytes;
  }
  return o == outSize;
}
