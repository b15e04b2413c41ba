// The standard CRC-32 (reflected polynomial 0xEDB88320, as in zlib and PNG).
// It checks the sections of data files and saved states, and its register,
// run over a lower-cased name, is the name id of Identifier.h.
#pragma once

#include "base/Types.h"

namespace kis {

// Continues the running CRC-32 `crc` over data[startOffset .. length). A start
// value of 0 gives the standard CRC-32 of the bytes; chained calls over
// consecutive pieces give the CRC-32 of the whole. A start offset beyond the
// length processes nothing and returns crc unchanged.
u32 UpdateCrc32(const void* data, u64 length, u64 startOffset, u32 crc);

// Plain form: CRC-32 of `length` bytes continuing from `crc`.
inline u32 Crc32(const void* data, u64 length, u32 crc = 0) { return UpdateCrc32(data, length, 0, crc); }

// The two ways UpdateCrc32 can run, with the same meaning as Crc32: the
// portable sliced-table path, and the carry-less multiply folding path that
// UpdateCrc32 picks on x86-64 CPUs with PCLMULQDQ for longer inputs. Exposed
// so tests and benchmarks can hold them against each other; Crc32Folding runs
// the portable path when the CPU lacks the instructions.
u32 Crc32Portable(const void* data, u64 length, u32 crc = 0);
u32 Crc32Folding(const void* data, u64 length, u32 crc = 0);
bool Crc32FoldingAvailable();

// The byte-at-a-time table (entry i is the CRC register step for byte i).
const u32* Crc32Table();

// Advances a raw CRC register (no inversion before or after) by one byte.
inline u32 Crc32StepByte(u32 reg, u8 byte) { return Crc32Table()[(reg ^ byte) & 0xFF] ^ (reg >> 8); }

}  // namespace kis
