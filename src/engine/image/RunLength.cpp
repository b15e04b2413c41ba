#include "engine/image/RunLength.h"

#include <cstring>

namespace {

// The packer for one element size; fixed sizes let the comparisons compile to
// single loads.
template <u32 E>
u64 Pack(const u8* in, u64 n, u8* out, u64 capacity) {
  auto same = [in](u64 a, u64 b) { return std::memcmp(in + a * E, in + b * E, E) == 0; };
  u64 o = 0, i = 0;
  while (i < n) {
    u64 run = 1;
    while (run < 128 && i + run < n && same(i, i + run)) ++run;
    if (run >= 2) {
      if (o + 1 + E >= capacity) return 0;
      out[o++] = static_cast<u8>(0x80 | (run - 1));
      std::memcpy(out + o, in + i * E, E);
      o += E;
      i += run;
      continue;
    }
    // A raw packet takes elements up to the next pair of equal ones.
    u64 count = 1;
    while (count < 128 && i + count < n && !(i + count + 1 < n && same(i + count, i + count + 1))) ++count;
    const u64 bytes = count * E;
    if (o + 1 + bytes >= capacity) return 0;
    out[o++] = static_cast<u8>(count - 1);
    std::memcpy(out + o, in + i * E, bytes);
    o += bytes;
    i += count;
  }
  return o;
}

}  // namespace

u64 DXLPackRunLength(const u8* in, u64 size, u32 element, u8* out, u64 capacity) {
  if (element == 0 || size % element != 0) return 0;
  switch (element) {
    case 1:
      return Pack<1>(in, size, out, capacity);
    case 2:
      return Pack<2>(in, size / 2, out, capacity);
    case 4:
      return Pack<4>(in, size / 4, out, capacity);
    default:
      return 0;
  }
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
