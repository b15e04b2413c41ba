#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/Crc32.h"

namespace {

TEST(Crc32, KnownVectors) {
  EXPECT_EQ(kis::UpdateCrc32("123456789", 9, 0, 0), 0xCBF43926u);
  const u8 zeros[8] = {};
  EXPECT_EQ(kis::Crc32(zeros, 8), 0x6522DF69u);
  EXPECT_EQ(kis::Crc32("", 0), 0u);
}

TEST(Crc32, ChainsAndHonoursTheStartOffset) {
  const u32 first = kis::UpdateCrc32("1234", 4, 0, 0);
  EXPECT_EQ(kis::UpdateCrc32("56789", 5, 0, first), 0xCBF43926u);
  EXPECT_EQ(kis::UpdateCrc32("xx123456789", 11, 2, 0), 0xCBF43926u);
  EXPECT_EQ(kis::UpdateCrc32("abc", 3, 4, 0x1234u), 0x1234u);
}

TEST(Crc32, WideLoopAgreesWithTheByteLoopAtEveryLengthAndAlignment) {
  std::vector<u8> data(300);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<u8>(i * 131 + 7);
  for (size_t start = 0; start < 5; ++start) {
    for (size_t len = start; len <= data.size(); len += 7) {
      u32 reg = 0xFFFFFFFFu;
      for (size_t i = start; i < len; ++i) reg = kis::Crc32StepByte(reg, data[i]);
      EXPECT_EQ(kis::UpdateCrc32(data.data(), len, start, 0), ~reg) << start << " " << len;
    }
  }
}

}  // namespace

namespace {

std::vector<u8> Pattern(size_t n, u32 seed) {
  std::vector<u8> data(n);
  for (auto& b : data) {
    seed = seed * 1103515245u + 12345u;
    b = static_cast<u8>(seed >> 16);
  }
  return data;
}

TEST(Crc32, FoldingPathAgreesWithTheTablePath) {
  if (!kis::Crc32FoldingAvailable()) GTEST_SKIP() << "no carry-less multiply on this CPU";
  const std::vector<u8> data = Pattern(4096 + 64, 99);
  // Every length up to a few folding blocks, at every alignment of a 16-byte
  // load, with both a zero and a running start value.
  for (size_t align = 0; align < 16; ++align) {
    for (size_t len = 0; len <= 300; ++len) {
      for (u32 start : {0u, 0xDEADBEEFu}) {
        ASSERT_EQ(kis::Crc32Folding(data.data() + align, len, start), kis::Crc32Portable(data.data() + align, len, start))
            << "align " << align << " length " << len;
      }
    }
  }
  for (size_t len : {511u, 512u, 1000u, 4095u, 4096u})
    EXPECT_EQ(kis::Crc32Folding(data.data() + 3, len), kis::Crc32Portable(data.data() + 3, len)) << len;
}

TEST(Crc32, FoldingPathHandlesUniformBlocks) {
  // All zeros and all ones stress the reduction constants differently from
  // random bytes; a known vector pins the result itself.
  for (u8 fill : {u8{0x00}, u8{0xFF}}) {
    const std::vector<u8> data(1000, fill);
    EXPECT_EQ(kis::Crc32Folding(data.data(), data.size()), kis::Crc32Portable(data.data(), data.size()));
  }
  std::vector<u8> digits(90);
  for (size_t i = 0; i < digits.size(); ++i) digits[i] = static_cast<u8>('1' + i % 9);  // "123456789" x 10
  u32 chained = 0;
  for (int i = 0; i < 10; ++i) chained = kis::Crc32Portable(digits.data() + i * 9, 9, chained);
  EXPECT_EQ(kis::UpdateCrc32(digits.data(), digits.size(), 0, 0), chained);
}

TEST(Crc32, LongInputsChainAcrossThePaths) {
  const std::vector<u8> data = Pattern(1 << 16, 7);
  const u32 whole = kis::UpdateCrc32(data.data(), data.size(), 0, 0);
  u32 running = 0;
  size_t at = 0;
  for (size_t step : {1u, 63u, 64u, 65u, 1000u, 17u, 8192u}) {
    running = kis::UpdateCrc32(data.data(), at + step, at, running);
    at += step;
  }
  running = kis::UpdateCrc32(data.data(), data.size(), at, running);
  EXPECT_EQ(running, whole);
  EXPECT_EQ(whole, kis::Crc32Portable(data.data(), data.size()));
}

}  // namespace
