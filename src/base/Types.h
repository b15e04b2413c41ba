// Fixed-width integer names used across the game. Stored layouts are always
// read and written field by field in little-endian order (see LittleEndian.h);
// these names only say how wide a value is in memory.
#pragma once

#include <cstddef>
#include <cstdint>

using u8 = std::uint8_t;
using u16 = std::uint16_t;
using u32 = std::uint32_t;
using u64 = std::uint64_t;
using i8 = std::int8_t;
using i16 = std::int16_t;
using i32 = std::int32_t;
using i64 = std::int64_t;

// The game's wide text is UTF-16 on every platform.
using wchar = char16_t;
