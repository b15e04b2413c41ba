// Files made by hand in tests: a builder that appends fields in order
// (little-endian as the game's files are, big-endian for font tables), raw
// bytes, text and zeros; and whole files read into and written from byte
// vectors.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
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
