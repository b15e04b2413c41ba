#include "base/Crc32.h"

#include <array>
#include <cstring>

namespace kis {
namespace {

// Sixteen tables for slicing-by-16: table[k][b] is the register contribution of
// byte b followed by k zero bytes. Table 0 is the classic byte table.
struct Crc32Tables {
  std::array<std::array<u32, 256>, 16> t{};
  constexpr Crc32Tables() {
    for (u32 i = 0; i < 256; ++i) {
      u32 c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      t[0][i] = c;
    }
    for (u32 i = 0; i < 256; ++i)
      for (int k = 1; k < 16; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
};

constexpr Crc32Tables kTables;

inline u32 Load32(const u8* p) {
  // Assembled from bytes so the result does not depend on the host's order.
  return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
         (static_cast<u32>(p[3]) << 24);
}

}  // namespace

const u32* Crc32Table() { return kTables.t[0].data(); }

u32 UpdateCrc32(const void* data, u64 length, u64 startOffset, u32 crc) {
  if (!data || startOffset >= length) return crc;
  const u8* p = static_cast<const u8*>(data) + startOffset;
  u64 n = length - startOffset;
  const auto& t = kTables.t;
  u32 c = ~crc;
  while (n >= 16) {
    const u32 a = Load32(p) ^ c;
    const u32 b = Load32(p + 4);
    const u32 d = Load32(p + 8);
    const u32 e = Load32(p + 12);
    c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
        t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
        t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^
        t[3][e & 0xFF] ^ t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
    p += 16;
    n -= 16;
  }
  while (n--) c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return ~c;
}

}  // namespace kis
