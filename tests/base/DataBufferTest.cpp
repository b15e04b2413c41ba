#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "base/Crc32.h"
#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/TempFolder.h"

namespace {

using kis::DataBuffer;
using kis::DataCursor;
using kis::LevelSaveInfo;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

class TestStore : public kis::SavedStateStore {
 public:
  ~TestStore() override {
    for (DataBuffer* b : slots_) delete b;
  }
  DataBuffer** Slot(u32 mode, u32 index) override {
    return kis::IsSavedStateSlot(mode, index) ? &slots_[mode * kis::kSavedLevels + index] : nullptr;
  }
  DataBuffer* slots_[kis::kSavedPlayModes * kis::kSavedLevels] = {};
};

LevelSaveInfo Level(u32 mode, u32 index) {
  LevelSaveInfo info{mode, index, 123456, {}};
  for (u8 i = 0; i < 16; ++i) info.block[i] = static_cast<u8>(0xA0 + i);
  return info;
}

// Writes a small but complete saved state into the store's slot (1, 7).
void SaveSample(TestStore* store) {
  DataCursor c;
  ASSERT_TRUE(c.Begin(Level(1, 7)));
  const char text[] = "wheat and beta";
  ASSERT_TRUE(c.Write(text, sizeof text));
  ASSERT_TRUE(c.WriteMark());
  u8* rec = static_cast<u8*>(c.ReserveRecord(12));
  ASSERT_NE(rec, nullptr);
  kis::PutU32LE(rec, 12);
  kis::PutU32LE(rec + 4, 0xCAFE);
  kis::PutU32LE(rec + 8, 0xF00D);
  ASSERT_TRUE(c.Finish(store));
}

TEST(DataCursorWrite, AreasGrowInTheirSteps) {
  DataCursor c;
  EXPECT_TRUE(c.HasError());
  EXPECT_EQ(c.Reserve(1, false), nullptr);
  ASSERT_TRUE(c.Begin(Level(0, 0)));
  DataBuffer* b = c.GetBuffer();
  EXPECT_EQ(b->DataCapacity(), 32768u);
  EXPECT_EQ(b->headerSize, 48u);
  EXPECT_EQ(b->levelTime, 123456u);
  EXPECT_EQ(b->levelBlock[15], 0xAF);
  std::vector<u8> big(40000, 1);
  ASSERT_TRUE(c.Write(big.data(), 40000));
  EXPECT_EQ(b->DataCapacity(), 65536u);  // 40000 + 16384, rounded to 16 KB

  EXPECT_EQ(b->RecordCapacity(), 0u);
  ASSERT_NE(c.ReserveRecord(100), nullptr);
  EXPECT_EQ(b->RecordCapacity(), 1024u);
  ASSERT_NE(c.ReserveRecord(4900), nullptr);
  EXPECT_EQ(b->RecordCapacity(), 16384u);
  EXPECT_EQ(c.GetRecordPosition(), 5000u);

  // Zero-filled reservations.
  u8* z = static_cast<u8*>(c.Reserve(16, true));
  ASSERT_NE(z, nullptr);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(z[i], 0);
}

TEST(DataCursorWrite, LimitIsStickyButTheSlackNeverCausesAFailure) {
  DataCursor c;
  ASSERT_TRUE(c.Begin(Level(0, 0)));
  EXPECT_EQ(c.Reserve(kis::kDataBufferLimit + 1, false), nullptr);
  EXPECT_TRUE(c.HasError());
  EXPECT_EQ(c.Reserve(1, false), nullptr);
  EXPECT_FALSE(c.Write("x", 1));
  EXPECT_EQ(c.GetRecordPosition(), 0u);
  EXPECT_EQ(c.GetBuffer(), nullptr);

  // 24 MB, then a request that fits the 32 MB limit exactly although the
  // growth slack would reach past it.
  ASSERT_TRUE(c.Begin(Level(0, 0)));
  ASSERT_NE(c.Reserve(0x1800000, false), nullptr);
  ASSERT_NE(c.Reserve(kis::kDataBufferLimit - 0x1800000, false), nullptr);
  EXPECT_EQ(c.GetBuffer()->DataCapacity(), kis::kDataBufferLimit);
  EXPECT_EQ(c.Reserve(1, false), nullptr);  // now it is full
  EXPECT_TRUE(c.HasError());
}

TEST(DataCursorWrite, FinishFilesTheBufferAndHandsBackThePreviousOne) {
  TestStore store;
  SaveSample(&store);
  DataBuffer* first = store.slots_[kis::kSavedLevels + 7];
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->dataSize, 15u + 4);
  EXPECT_EQ(first->recordSize, 12u);
  EXPECT_EQ(first->dataCrc, kis::Crc32(first->Data(), first->dataSize));
  EXPECT_EQ(first->recordCrc, kis::Crc32(first->Records(), 12));

  DataCursor c;
  ASSERT_TRUE(c.Begin(Level(1, 7)));
  ASSERT_TRUE(c.Write("new", 3));
  ASSERT_TRUE(c.Finish(&store));
  EXPECT_EQ(c.GetBuffer(), first);  // the cursor holds (and will free) the old one
  EXPECT_EQ(store.slots_[kis::kSavedLevels + 7]->dataSize, 3u);

  // A failed cursor, or a slot outside the table, leaves the store alone.
  DataBuffer* kept = store.slots_[kis::kSavedLevels + 7];
  ASSERT_TRUE(c.Begin(Level(1, 7)));
  c.Reserve(kis::kDataBufferLimit + 1, false);
  EXPECT_FALSE(c.Finish(&store));
  EXPECT_EQ(store.slots_[kis::kSavedLevels + 7], kept);
  for (LevelSaveInfo bad : {Level(2, 0), Level(0, 41), Level(0xFFFFFFFFu, 0xFFFFFFFFu)}) {
    ASSERT_TRUE(c.Begin(bad));
    EXPECT_FALSE(c.Finish(&store));
  }
}

TEST(DataCursorRead, ReadsMarksAndRecordsBack) {
  TestStore store;
  SaveSample(&store);
  DataCursor c;
  EXPECT_FALSE(c.BeginRead(&store, 0, 7));  // nothing stored there
  EXPECT_TRUE(c.HasError());
  EXPECT_FALSE(c.BeginRead(&store, 2, 7));
  EXPECT_FALSE(c.BeginRead(&store, 1, 41));
  ASSERT_TRUE(c.BeginRead(&store, 1, 7));
  char text[15];
  ASSERT_TRUE(c.Read(text, sizeof text));
  EXPECT_STREQ(text, "wheat and beta");
  EXPECT_TRUE(c.CheckMark());
  const u8* rec = static_cast<const u8*>(c.ReadBlock());
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(kis::GetU32LE(rec + 4), 0xCAFEu);
  EXPECT_EQ(c.GetRecordPosition(), 12u);
  EXPECT_EQ(c.ReadBlock(), nullptr);  // no more records
  EXPECT_TRUE(c.HasError());

  // A mark read one byte off does not match; reading past the end fails for good.
  ASSERT_TRUE(c.BeginRead(&store, 1, 7));
  ASSERT_NE(c.ReadPtr(14), nullptr);
  EXPECT_FALSE(c.CheckMark());
  ASSERT_TRUE(c.BeginRead(&store, 1, 7));
  EXPECT_EQ(c.ReadPtr(20), nullptr);
  EXPECT_EQ(c.ReadPtr(1), nullptr);
  ASSERT_TRUE(c.BeginRead(&store, 1, 7));
  EXPECT_EQ(c.ReadPtr(kis::kDataBufferLimit + 1), nullptr);
  EXPECT_EQ(c.ReadPtr(1), nullptr);  // would fit, but the cursor has failed
}

// A buffer holding the given data and record bytes, as if read from a save.
DataBuffer* MakeBuffer(const std::vector<u8>& data, const std::vector<u8>& records) {
  TestStore store;
  DataCursor c;
  c.Begin(Level(0, 1));
  c.Write(data.data(), static_cast<u32>(data.size()));
  if (!records.empty()) std::memcpy(c.ReserveRecord(static_cast<u32>(records.size())), records.data(), records.size());
  c.Finish(&store);
  DataBuffer* b = store.slots_[1];
  store.slots_[1] = nullptr;
  return b;
}

std::vector<u8> Words(std::initializer_list<u32> words) {
  std::vector<u8> out(words.size() * 4);
  size_t i = 0;
  for (u32 w : words) kis::PutU32LE(&out[4 * i++], w);
  return out;
}

TEST(DataCursorRead, BadRecordLengthsFailInsteadOfLooping) {
  for (u32 len : {0u, 1u, 3u, 13u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    std::unique_ptr<DataBuffer> b(MakeBuffer({}, Words({8, 0, len, 0})));
    DataCursor c;
    ASSERT_TRUE(c.BeginRead(b.get()));
    EXPECT_NE(c.ReadBlock(), nullptr);
    EXPECT_EQ(c.ReadBlock(), nullptr) << len;
    EXPECT_TRUE(c.HasError());
  }
  auto records = Words({8, 0});
  records.push_back(4);  // two bytes left: not even a length word
  records.push_back(0);
  std::unique_ptr<DataBuffer> b(MakeBuffer({}, records));
  DataCursor c;
  ASSERT_TRUE(c.BeginRead(b.get()));
  EXPECT_NE(c.ReadBlock(), nullptr);
  EXPECT_EQ(c.ReadBlock(), nullptr);
  EXPECT_TRUE(c.HasError());
}

TEST(DataCursorRead, SizedBlocksNeedAValidLength) {
  std::unique_ptr<DataBuffer> good(MakeBuffer(Words({8, 77, 5}), {}));
  DataCursor c;
  ASSERT_TRUE(c.BeginRead(good.get()));
  const u8* p = static_cast<const u8*>(c.ReadSized());
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(kis::GetU32LE(p + 4), 77u);
  EXPECT_EQ(c.GetDataPosition(), 8u);
  for (u32 len : {0u, 3u, 13u, 0xFFFFFFFFu}) {
    std::unique_ptr<DataBuffer> b(MakeBuffer(Words({len, 1, 2}), {}));
    ASSERT_TRUE(c.BeginRead(b.get()));
    EXPECT_EQ(c.ReadSized(), nullptr) << len;
    EXPECT_TRUE(c.HasError()) << len;
  }
}

// Writes the sample state into section (5, 1) of a data file.
void WriteSampleFile(const TempFolder& dir) {
  TestStore store;
  SaveSample(&store);
  auto* w = kis::CreateDataFileWriterW(dir.Wide("p.dat").c_str(), 1, 2, 1, false);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->BeginSection(5, 1));
  ASSERT_TRUE(store.slots_[kis::kSavedLevels + 7]->WriteToFile(w));
  ASSERT_TRUE(w->EndSection());
  ASSERT_TRUE(kis::CloseDataFile(w));
}

bool ReadSampleFile(const TempFolder& dir, DataBuffer* into) {
  auto* r = kis::OpenDataFileReaderW(dir.Wide("p.dat").c_str(), 1, 2, 1);
  if (!r) return false;
  const bool ok = r->OpenSection(5, 1) && into->ReadFromFile(r);
  delete r;
  return ok;
}

TEST(DataBufferFile, RoundTripThroughASection) {
  TempFolder dir;
  WriteSampleFile(dir);
  TestStore store;
  SaveSample(&store);
  const DataBuffer& want = *store.slots_[kis::kSavedLevels + 7];
  DataBuffer got;
  ASSERT_TRUE(ReadSampleFile(dir, &got));
  u8 a[48], b[48];
  want.EncodeHeader(a);
  got.EncodeHeader(b);
  EXPECT_EQ(0, std::memcmp(a, b, 48));
  EXPECT_EQ(0, std::memcmp(want.Data(), got.Data(), want.dataSize));
  EXPECT_EQ(0, std::memcmp(want.Records(), got.Records(), want.recordSize));
  EXPECT_EQ(ReadFileBytes(dir.File("p.dat")).size(), 20u + 48 + 4 + 19 + 12 + 12 + 16);
}

TEST(DataBufferFile, EverySingleFlippedByteIsRefused) {
  TempFolder dir;
  WriteSampleFile(dir);
  const auto good = ReadFileBytes(dir.File("p.dat"));
  const size_t sectionEnd = 20 + 48 + 4 + 19 + 12;
  for (size_t i = 20; i < sectionEnd; ++i) {
    for (u8 flip : {0x01, 0x80}) {
      auto bad = good;
      bad[i] ^= flip;
      WriteFileBytes(dir.File("p.dat"), bad);
      DataBuffer got;
      EXPECT_FALSE(ReadSampleFile(dir, &got)) << i;
      EXPECT_EQ(got.dataSize, 0u);
    }
  }
}

TEST(DataBufferFile, ForgedHeadersWithValidChecksAreRefused) {
  TempFolder dir;
  WriteSampleFile(dir);
  const auto good = ReadFileBytes(dir.File("p.dat"));
  // Rewrites one header word and the header check so only the content is wrong.
  auto forge = [&](size_t word, u32 value) {
    auto bad = good;
    kis::PutU32LE(&bad[20 + word * 4], value);
    kis::PutU32LE(&bad[20 + 48], kis::Crc32(&bad[20], 48));
    WriteFileBytes(dir.File("p.dat"), bad);
    DataBuffer got;
    return ReadSampleFile(dir, &got);
  };
  EXPECT_FALSE(forge(0, 47));            // header size
  EXPECT_FALSE(forge(3, 2));             // play mode outside the table
  EXPECT_FALSE(forge(4, 41));            // level index outside the table
  EXPECT_FALSE(forge(1, 0x7FFFFFFFu));   // data size beyond the section
  EXPECT_FALSE(forge(2, 0xFFFFFFFFu));   // record size beyond the section
  EXPECT_TRUE(forge(5, 99));             // the level time is free
}

}  // namespace
