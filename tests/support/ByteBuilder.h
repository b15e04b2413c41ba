// Files made by hand in tests: a builder that appends fields in order
// (little-endian as the game's files are, big-endian for font tables), raw
// bytes, text and zeros; a fixed-size record with fields put at their
// offsets, and bytes compared with such a record; and whole files read into
// and written from byte vectors.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

struct ByteBuilder {
  std::vector<uint8_t> v;

  ByteBuilder& u8_(uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    return *this;
  }
  ByteBuilder& u16_(uint32_t x) { return u8_(x).u8_(x >> 8); }
  ByteBuilder& u24_(uint32_t x) { return u16_(x).u8_(x >> 16); }
  ByteBuilder& u32_(uint32_t x) { return u16_(x).u16_(x >> 16); }
  ByteBuilder& be16(uint32_t x) { return u8_(x >> 8).u8_(x); }
  ByteBuilder& be32(uint32_t x) { return be16(x >> 16).be16(x); }
  ByteBuilder& raw(std::initializer_list<uint8_t> bytes) {
    v.insert(v.end(), bytes);
    return *this;
  }
  ByteBuilder& raw(const std::vector<uint8_t>& bytes) {
    v.insert(v.end(), bytes.begin(), bytes.end());
    return *this;
  }
  ByteBuilder& text(const std::string& s) {
    v.insert(v.end(), s.begin(), s.end());
    return *this;
  }
  ByteBuilder& zeros(size_t n) {
    v.insert(v.end(), n, 0);
    return *this;
  }
};

// A record of fixed size laid out by hand from its table: each field put at
// its offset, the rest zero. An offset beyond the record throws, so a slip
// in the test itself shows at once.
struct ByteLayout {
  std::vector<uint8_t> v;

  explicit ByteLayout(size_t size) : v(size, 0) {}
  ByteLayout& u8_(size_t at, uint32_t x) {
    v.at(at) = static_cast<uint8_t>(x);
    return *this;
  }
  ByteLayout& u16_(size_t at, uint32_t x) { return u8_(at, x).u8_(at + 1, x >> 8); }
  ByteLayout& u32_(size_t at, uint32_t x) { return u16_(at, x).u16_(at + 2, x >> 16); }
  ByteLayout& f32_(size_t at, float x) { return u32_(at, std::bit_cast<uint32_t>(x)); }
  // UTF-16 units of the text, from `at` on.
  ByteLayout& wide(size_t at, std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) u16_(at + 2 * i, text[i]);
    return *this;
  }
  // Another record laid out by hand, at `at`.
  ByteLayout& put(size_t at, const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) u8_(at + i, bytes[i]);
    return *this;
  }
};

// Bytes against the bytes laid out by hand: on a mismatch, where they first
// part and how long each is, rather than both dumped whole.
// EXPECT_TRUE(SameBytes(written, hand)).
inline ::testing::AssertionResult SameBytes(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want) {
  if (got == want) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  char text[160];
  if (at < got.size() && at < want.size()) {
    std::snprintf(text, sizeof text, "first differ at byte %zu: 0x%02X where the layout has 0x%02X", at, got[at],
                  want[at]);
  } else {
    std::snprintf(text, sizeof text, "the same up to byte %zu", at);
  }
  return ::testing::AssertionFailure() << text << " (" << got.size() << " bytes against " << want.size() << ")";
}

// The whole file; empty when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  uint8_t buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return bytes;
}

// Writes the bytes as the whole file (created or truncated); false on failure.
inline bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace testsupport
