#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/MemoryStream.h"

namespace {

// A memory stream whose allocations can be made to fail.
class FailingStream : public kis::MemoryStream {
 public:
  bool fail = false;
  u8* Reallocate(u64& capacity) override {
    if (fail && capacity != 0) return nullptr;
    return MemoryStream::Reallocate(capacity);
  }
};

TEST(MemoryStream, GrowsInSteps) {
  kis::MemoryStream s;
  EXPECT_FALSE(s.IsOpen());
  const u8 ten[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_EQ(s.Write(ten, 10), 10u);
  EXPECT_EQ(s.GetSize(), 10u);
  EXPECT_EQ(s.GetCapacity(), 8192u);
  EXPECT_EQ(s.SetPosition(8190), 8190u);
  EXPECT_EQ(s.Write(ten, 10), 10u);
  EXPECT_EQ(s.GetCapacity(), 16384u);
  EXPECT_EQ(s.GetSize(), 8200u);
  // The gap between the old end and the write reads as zeros.
  std::vector<u8> back(8200);
  s.SetPosition(0);
  EXPECT_EQ(s.Read(back.data(), 9000), 8200u);
  EXPECT_EQ(back[9], 10);
  EXPECT_EQ(back[10], 0);
  EXPECT_EQ(back[8189], 0);
  EXPECT_EQ(back[8190], 1);
  EXPECT_EQ(std::memcmp(s.GetMemory() + 8190, ten, 10), 0);
}

TEST(MemoryStream, RewoundStreamIsStillOpen) {
  kis::MemoryStream s;
  s.Write("abc", 3);
  s.SetPosition(0);
  EXPECT_TRUE(s.IsOpen());
  char out[8] = {};
  EXPECT_EQ(s.Read(out, 8), 3u);
  EXPECT_STREQ(out, "abc");
  EXPECT_EQ(s.Read(out, 8), 0u);
  EXPECT_EQ(s.Seek(-1, 2), 2u);
  EXPECT_EQ(s.Seek(0, 7), 2u);  // unknown origin only reports
  EXPECT_EQ(s.Read(out, 8), 1u);
  EXPECT_EQ(s.GetPosition(), 3u);
}

TEST(MemoryStream, SeekPastTheEnd) {
  kis::MemoryStream s;
  s.Write("abcd", 4);
  EXPECT_EQ(s.Seek(100, 0), 100u);
  char out[4];
  EXPECT_EQ(s.Read(out, 4), 0u);
  EXPECT_EQ(s.GetSize(), 4u);  // reads never extend
  EXPECT_EQ(s.Write("z", 1), 1u);
  EXPECT_EQ(s.GetSize(), 101u);
  EXPECT_EQ(s.GetMemory()[50], 0);

  // Far beyond any sane size: refused, the stream unchanged.
  s.Seek(static_cast<i64>(u64{1} << 40), 0);
  EXPECT_EQ(s.Write("z", 1), 0u);
  EXPECT_EQ(s.GetSize(), 101u);
  // A position before the start transfers nothing.
  s.Seek(-10, 0);
  EXPECT_EQ(s.Write("z", 1), 0u);
  EXPECT_EQ(s.Read(out, 1), 0u);
}

TEST(MemoryStream, SetSizeMovesThePosition) {
  kis::MemoryStream s;
  std::vector<u8> data(200, 7);
  s.Write(data.data(), data.size());
  s.SetPosition(100);
  EXPECT_TRUE(s.SetSize(4));
  EXPECT_EQ(s.GetPosition(), 4u);
  EXPECT_EQ(s.GetSize(), 4u);
  EXPECT_EQ(s.GetCapacity(), 8192u);
  // Growing again shows zeros, not the old bytes.
  EXPECT_TRUE(s.SetSize(10));
  EXPECT_EQ(s.GetMemory()[3], 7);
  EXPECT_EQ(s.GetMemory()[4], 0);
  EXPECT_TRUE(s.SetSize(0));
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(s.GetCapacity(), 0u);
}

TEST(MemoryStream, FailedAllocationLeavesTheStreamIntact) {
  FailingStream s;
  s.Write("abc", 3);
  s.fail = true;
  s.SetPosition(8192);
  EXPECT_EQ(s.Write("d", 1), 0u);
  EXPECT_FALSE(s.SetSize(20000));
  EXPECT_EQ(s.GetSize(), 3u);
  EXPECT_EQ(s.GetCapacity(), 8192u);
  ASSERT_TRUE(s.IsOpen());
  EXPECT_EQ(std::memcmp(s.GetMemory(), "abc", 3), 0);
  // Within the current capacity nothing is allocated, so writes still work.
  s.SetPosition(3);
  EXPECT_EQ(s.Write("d", 1), 1u);
  s.fail = false;
}

TEST(MemoryStream, EmptyWriteAtTheStartDoesNothing) {
  kis::MemoryStream s;
  EXPECT_EQ(s.Write("x", 0), 0u);
  EXPECT_FALSE(s.IsOpen());
  EXPECT_EQ(s.Write(nullptr, 3), 0u);
}

}  // namespace

TEST(ByteReadStream, ReadsTheCallersBytesAndNeverWrites) {
  const u8 bytes[5] = {1, 2, 3, 4, 5};
  kis::ByteReadStream s(bytes, sizeof(bytes));
  u8 out[8] = {};
  EXPECT_EQ(s.GetSize(), 5u);
  EXPECT_EQ(s.Seek(-2, 2), 3u);
  EXPECT_EQ(s.Read(out, 8), 2u);  // only what remains
  EXPECT_EQ(out[0], 4);
  EXPECT_EQ(s.Read(out, 1), 0u);
  EXPECT_EQ(s.Seek(-10, 1), 0u);  // before the start stops at 0
  EXPECT_EQ(s.Write(out, 1), 0u);
  EXPECT_FALSE(s.SetSize(1));
  EXPECT_EQ(s.Seek(100, 0), 100u);
  EXPECT_EQ(s.Read(out, 1), 0u);
}
