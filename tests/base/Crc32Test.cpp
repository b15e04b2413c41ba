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
