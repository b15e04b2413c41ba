#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PathTestSupport.h"
#include "base/LittleEndian.h"
#include "pathfinding/FailureDump.h"
#include "pathfinding/PathFinder.h"
#include "testsupport/TempFolder.h"

namespace {

using namespace shpf;

// A stream into memory that accepts at most `room` bytes.
class MemoryStream : public kis::Stream {
 public:
  explicit MemoryStream(size_t room = SIZE_MAX, bool open = true) : room_(room), open_(open) {}
  bool IsOpen() const override { return open_; }
  bool SetSize(u64) override { return false; }
  u64 Seek(i64, u32) override { return bytes.size(); }
  u64 Read(void*, u64) override { return 0; }
  u64 Write(const void* buffer, u64 size) override {
    const size_t n = std::min<size_t>(static_cast<size_t>(size), room_ - bytes.size());
    bytes.append(static_cast<const char*>(buffer), n);
    return n;
  }
  std::string bytes;

 private:
  size_t room_;
  bool open_;
};

std::string Image(const PathFinder& pf) {
  MemoryStream s;
  EXPECT_TRUE(pf.DumpShapes(&s));
  return s.bytes;
}

const u8* U(const std::string& s) { return reinterpret_cast<const u8*>(s.data()); }

TEST(FailureDump, ShapeImageFieldsInOrder) {
  PathFinder pf(1280, 720, 64, 64);
  pf.CreateGrid(0x01020304, PackPair(12, 8), PackPair(-3, 16), 0x80000001u);
  pf.SetGridBounds(pf.GetGrid(0x01020304), PackPair(20, 30), PackPair(1000, 700));
  _SHAPE* gone = pf.AddShape(PackPair(1, 1), PackPair(2, 2), 0);
  pf.AddShape(PackPair(300, -20), PackPair(100, 40), 7);
  pf.AddShape(PackPair(-5, 600), PackPair(5, 610), 0xFFFFFFFFu);
  pf.RemoveShape(gone);
  const std::string b = Image(pf);
  ASSERT_EQ(b.size(), 64u);
  const u8* p = U(b);
  EXPECT_EQ(kis::GetU16LE(p), 1280);
  EXPECT_EQ(kis::GetU16LE(p + 2), 720);
  EXPECT_EQ(kis::GetU16LE(p + 4), 64);
  EXPECT_EQ(kis::GetU16LE(p + 6), 64);
  EXPECT_EQ(kis::GetU32LE(p + 8), 1u);
  EXPECT_EQ(kis::GetU32LE(p + 12), 0x01020304u);
  EXPECT_EQ(kis::GetU16LE(p + 16), 12);
  EXPECT_EQ(kis::GetU16LE(p + 18), 8);
  EXPECT_EQ(kis::GetU16LE(p + 20), 0) << "negative footprint stored as 0";
  EXPECT_EQ(kis::GetU16LE(p + 22), 16);
  EXPECT_EQ(kis::GetU32LE(p + 24), 0x80000001u);
  EXPECT_EQ(kis::GetU16LE(p + 28), 20);
  EXPECT_EQ(kis::GetU16LE(p + 30), 30);
  EXPECT_EQ(kis::GetU16LE(p + 32), 1000);
  EXPECT_EQ(kis::GetU16LE(p + 34), 700);
  EXPECT_EQ(kis::GetU32LE(p + 36), 2u);
  EXPECT_EQ(static_cast<i16>(kis::GetU16LE(p + 40)), 100);
  EXPECT_EQ(static_cast<i16>(kis::GetU16LE(p + 42)), -20);
  EXPECT_EQ(static_cast<i16>(kis::GetU16LE(p + 44)), 300);
  EXPECT_EQ(static_cast<i16>(kis::GetU16LE(p + 46)), 40);
  EXPECT_EQ(kis::GetU32LE(p + 48), 7u);
  EXPECT_EQ(static_cast<i16>(kis::GetU16LE(p + 52)), -5);
  EXPECT_EQ(kis::GetU32LE(p + 60), 0xFFFFFFFFu);
}

TEST(FailureDump, EmptyFinderGivesSixteenBytes) {
  PathFinder pf(1280, 720, 64, 64);
  const std::string b = Image(pf);
  EXPECT_EQ(b, std::string("\x00\x05\xD0\x02\x40\x00\x40\x00\x00\x00\x00\x00\x00\x00\x00\x00", 16));
}

TEST(FailureDump, NothingIsWrittenIntoAClosedStreamOrInsideABracket) {
  PathFinder pf(1280, 720, 64, 64);
  pf.CreateGrid(1, 0, 0, 1);
  pf.AddShape(PackPair(1, 1), PackPair(20, 20), 0);
  MemoryStream closed(SIZE_MAX, false);
  EXPECT_FALSE(pf.DumpShapes(&closed));
  EXPECT_FALSE(pf.DumpShapes(nullptr));
  pf.BeginUpdate();
  MemoryStream s;
  EXPECT_FALSE(pf.DumpShapes(&s));
  EXPECT_TRUE(s.bytes.empty());
  pf.EndUpdate();
  // A short write stops at the first field that does not fit.
  for (size_t room : {0u, 3u, 9u, 13u, 39u, 45u}) {
    MemoryStream shortStream(room);
    EXPECT_FALSE(pf.DumpShapes(&shortStream)) << room;
    EXPECT_EQ(shortStream.bytes.size(), room) << room;
  }
}

TEST(FailureDump, FilesAreWrittenKeyByKeyAndReplaceEarlierOnes) {
  TempFolder folder;
  shpf_test::RecordingSink sink;
  PathFinder pf(400, 300, 64, 64);
  pf.SetFailureSink(&sink);
  pf.SetDumpFolder(folder.Wide());
  pf.CreateGrid(3, 0, 0, 1);
  pf.AddShape(PackPair(1, 1), PackPair(20, 20), 0);
  // An earlier log with other content is replaced whole.
  {
    std::FILE* f = std::fopen((folder.Path() + "/$crash.log").c_str(), "wb");
    std::fputs("[OLD]\r\nKey=1\r\n[CRASH]\r\nGridID=77\r\nStale=1\r\n", f);
    std::fclose(f);
  }
  _PATHREQUEST r{};
  r.gridId = 3;
  r.interval = 10;
  r.startX = 10.5f;
  r.startY = 20;
  r.finishX = -3.25f;
  r.finishY = 299.999f;
  pf.WriteFailureDump(u"Ошибка поиска пути!\n!in_point", &r);
  EXPECT_EQ(folder.Read("$crash.log"),
            "[CRASH]\r\nGridID=3\r\nInterval=10\r\nStart=10.500000, 20.000000\r\nFinish=-3.250000, 299.998993\r\n");
  EXPECT_EQ(folder.Read("$crash.shpf"), Image(pf));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], "Ошибка поиска пути!\n!in_point");
  EXPECT_EQ(sink.captions[0], "Ошибка поиска пути!");

  // Read back: the same world and request.
  const std::string image = folder.Read("$crash.shpf");
  std::unique_ptr<PathFinder> back = ReadShapeDump(U(image), image.size());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Image(*back), image);
  CrashRequest cr{};
  ASSERT_TRUE(ReadCrashLog(folder.Read("$crash.log"), &cr));
  EXPECT_EQ(cr.gridId, 3u);
  EXPECT_EQ(cr.interval, 10u);
  EXPECT_EQ(cr.startX, 10.5f);
  EXPECT_EQ(cr.finishY, 299.998993f);

  // A folder that cannot be written still reaches the sink.
  pf.SetDumpFolder(u"/nonexistent-folder/for/dumps");
  pf.WriteFailureDump(u"x", &r);
  EXPECT_EQ(sink.messages.size(), 2u);
}

TEST(FailureDump, ReplayGivesTheSameSearch) {
  PathFinder pf(640, 480, 64, 64);
  pf.CreateGrid(5, PackPair(12, 8), PackPair(12, 8), 1);
  pf.SetGridBounds(pf.GetGrid(5), PackPair(40, 30), PackPair(600, 450));
  pf.BeginUpdate();
  for (i32 i = 0; i < 6; ++i) pf.AddShape(PackPair(100 + i * 80, 50 + (i % 2) * 150), PackPair(140 + i * 80, 280 + (i % 2) * 150), 0);
  pf.EndUpdate();
  const std::string image = Image(pf);
  std::unique_ptr<PathFinder> back = ReadShapeDump(U(image), image.size());
  ASSERT_NE(back, nullptr);
  _PATHREQUEST a{}, b{};
  a.gridId = b.gridId = 5;
  a.startX = b.startX = 50;
  a.startY = b.startY = 240;
  a.finishX = b.finishX = 590;
  a.finishY = b.finishY = 240;
  pf.RunRequest(&a);
  back->RunRequest(&b);
  ASSERT_EQ(a.prState, PFS_FOUND);
  EXPECT_EQ(shpf_test::Points(a), shpf_test::Points(b));
  delete[] a.points;
  delete[] b.points;
}

TEST(FailureDump, DamagedImagesAndLogsAreRefused) {
  PathFinder pf(640, 480, 64, 64);
  pf.CreateGrid(5, 0, 0, 1);
  pf.AddShape(PackPair(1, 1), PackPair(20, 20), 0);
  const std::string image = Image(pf);
  for (size_t n = 0; n < image.size(); ++n) EXPECT_EQ(ReadShapeDump(U(image), n), nullptr) << n;
  EXPECT_EQ(ReadShapeDump(U(image + "x"), image.size() + 1), nullptr);
  std::string huge = image;
  kis::PutU32LE(huge.data() + 8, 0xFFFFFFFFu);  // grid count
  EXPECT_EQ(ReadShapeDump(U(huge), huge.size()), nullptr);
  std::string zeroCell = image;
  kis::PutU16LE(zeroCell.data() + 4, 0);
  EXPECT_EQ(ReadShapeDump(U(zeroCell), zeroCell.size()), nullptr);
  std::string twice = image.substr(0, 8);
  twice += std::string("\x02\x00\x00\x00", 4);
  twice += image.substr(12, 24);
  twice += image.substr(12);
  EXPECT_EQ(ReadShapeDump(U(twice), twice.size()), nullptr) << "duplicate grid id";
  EXPECT_EQ(ReadShapeDump(nullptr, 0), nullptr);

  CrashRequest cr{};
  EXPECT_FALSE(ReadCrashLog("[CRASH]\r\nGridID=1\r\nInterval=10\r\nStart=1, 2\r\n", &cr)) << "no finish";
  EXPECT_FALSE(ReadCrashLog("[CRASH]\r\nGridID=x\r\nInterval=10\r\nStart=1, 2\r\nFinish=3, 4\r\n", &cr));
  EXPECT_FALSE(ReadCrashLog("[CRASH]\r\nGridID=1\r\nInterval=10\r\nStart=1 2\r\nFinish=3, 4\r\n", &cr));
  EXPECT_FALSE(ReadCrashLog("[OTHER]\r\nGridID=1\r\nInterval=10\r\nStart=1, 2\r\nFinish=3, 4\r\n", &cr));
  EXPECT_FALSE(ReadCrashLog("[CRASH]\r\nGridID=99999999999\r\nInterval=10\r\nStart=1, 2\r\nFinish=3, 4\r\n", &cr));
  EXPECT_TRUE(ReadCrashLog("[crash]\nGridID = 1\nInterval=10\nStart=1, 2\nFinish=3,4\n", &cr));
  EXPECT_EQ(cr.finishY, 4.0f);
}

// A shape image by hand: `grids` grids of footprint 0 over the whole map and
// `shapes` copies of one rectangle.
std::string HandImage(u16 width, u16 height, u16 cell, u32 grids, u32 shapes, i16 l, i16 t, i16 r, i16 b) {
  std::string img(16 + size_t{grids} * 24 + size_t{shapes} * 12, '\0');
  u8* p = reinterpret_cast<u8*>(img.data());
  kis::PutU16LE(p, width);
  kis::PutU16LE(p + 2, height);
  kis::PutU16LE(p + 4, cell);
  kis::PutU16LE(p + 6, cell);
  kis::PutU32LE(p + 8, grids);
  for (u32 i = 0; i < grids; ++i) {
    u8* g = p + 12 + size_t{i} * 24;
    kis::PutU32LE(g, i + 1);
    kis::PutU32LE(g + 20, PackPair(width, height));
  }
  u8* s = p + 12 + size_t{grids} * 24;
  kis::PutU32LE(s, shapes);
  for (u32 i = 0; i < shapes; ++i) {
    kis::PutU32LE(s + 4 + size_t{i} * 12, PackPair(l, t));
    kis::PutU32LE(s + 8 + size_t{i} * 12, PackPair(r, b));
  }
  return img;
}

TEST(FailureDump, ImagesBeyondSaneMemoryAndTimeAreRefused) {
  auto reads = [](const std::string& img) { return ReadShapeDump(U(img), img.size()) != nullptr; };
  EXPECT_TRUE(reads(HandImage(640, 480, 64, 64, 10, 0, 0, 20, 20)));
  EXPECT_FALSE(reads(HandImage(640, 480, 64, 65, 10, 0, 0, 20, 20))) << "grids";
  // Three grids of a million cells each: refused before any is made.
  EXPECT_FALSE(reads(HandImage(32767, 32767, 32, 3, 0, 0, 0, 1, 1))) << "cells";
  EXPECT_FALSE(reads(HandImage(640, 480, 64, 1, 65537, 0, 0, 20, 20))) << "shapes";
  EXPECT_FALSE(reads(HandImage(640, 480, 64, 64, 8193, 0, 0, 20, 20))) << "shapes entered into grids";
  // Shapes over the whole of a big map are filed in all its 262,144 cells.
  EXPECT_TRUE(reads(HandImage(32767, 32767, 64, 1, 2, 0, 0, 32767, 32767)));
  EXPECT_FALSE(reads(HandImage(32767, 32767, 64, 1, 20, 0, 0, 32767, 32767))) << "cell slots";
  // Piled up in one cell, every shape looks at every other when they merge.
  EXPECT_TRUE(reads(HandImage(64, 64, 64, 1, 2000, 5, 5, 50, 50)));
  EXPECT_FALSE(reads(HandImage(64, 64, 64, 1, 9000, 5, 5, 50, 50))) << "merging work";
}

}  // namespace
