// A profile's progress block: bytes written by hand from its stored layout
// read into the record and written back equal (an offset shared wrongly by
// reader and writer fails), the checks that make a damaged block safe to
// index with, and the "PROF" section a new profile starts from.
#include <gtest/gtest.h>

#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "content/ProfileProgress.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/TempFolder.h"

namespace {

using testsupport::ByteBuilder;

// Every field a value of its own: regime r, level l holds state (l + r) % 7
// and best time 1000 * l + r.
std::vector<u8> HandBlock() {
  ByteBuilder b;
  b.u32_(924).raw({0xA1, 0xA2, 0xA3, 0xA4}).u32_(1).u32_(1);  // size, carried, regime, eighth level
  for (u32 i = 0; i < 18; ++i) b.u32_(100 + i);               // 16: 9 tiered, 8 record awards, final
  b.u32_(1);                                                  // 88 tutorials on
  b.u32_(2).u32_(4).u32_(0xFFFFFFFF).u32_(1);                 // 92 regime 0's selection
  b.u32_(1).u32_(0xFFFFFFFF).u32_(5).u32_(0xFFFFFFFF);        // 108 regime 1's
  b.u32_(0xFFFFFFF9);                                         // 124 villains in a row: -7
  for (u32 i = 0; i < 32; ++i) b.u8_(0xC0 + i);               // 128 carried
  b.u32_(0x15).raw({0xD1, 0xD2, 0xD3, 0xD4});                 // 160 shown flags, 164 carried
  b.u32_(0x89ABCDEF).u32_(0x01234567);                        // 168 easter eggs
  for (u32 r = 0; r < 2; ++r) {                               // 176, 548
    b.u32_(0x03ABCDEF + r);                                   // last bonus 2, low bits carried
    for (u32 k = 0; k < 6; ++k) b.u32_(k % 2);
    b.u32_(2).u32_(1).u32_(3).u32_(0);
    for (u32 l = 0; l < 41; ++l) b.u32_((l + r) % 7).u32_(1000 * l + r);
  }
  b.u32_(3600000);  // 920 play time
  return b.v;
}

TEST(ProfileProgress, HandWrittenBytesReadIntoEveryFieldAndWriteBackEqual) {
  const std::vector<u8> bytes = HandBlock();
  ASSERT_EQ(bytes.size(), kProfileProgressSize);
  PROFILEPROGRESS p{};
  ReadRecord(kProfileProgressLayout, bytes.data(), &p);
  EXPECT_EQ(p.reserved[3], 0xA4);
  EXPECT_EQ(p.regime, 1u);
  EXPECT_EQ(p.awards.tiered[8], 108);
  EXPECT_EQ(p.awards.records[7], 116);
  EXPECT_EQ(p.awards.finalGiven, 117);
  EXPECT_EQ(p.tutorialsOn, 1u);
  EXPECT_EQ(p.selection[0].count, 2u);
  EXPECT_EQ(p.selection[1].slots[1], 5);
  EXPECT_EQ(p.villainsInRow, -7);
  EXPECT_EQ(p.carried[31], 0xDF);
  EXPECT_EQ(p.shownFlags, 0x15u);
  EXPECT_EQ(p.carried2[0], 0xD1);
  EXPECT_EQ(p.easterEggs, 0x0123456789ABCDEFull);
  EXPECT_EQ(p.regimes[1].marker, 0x03ABCDF0u);
  EXPECT_EQ(p.regimes[1].bonuses[5], 1u);
  EXPECT_EQ(p.regimes[0].newBonuses[1], 3);
  EXPECT_EQ(p.regimes[1].levels[40].state, 6u);
  EXPECT_EQ(p.regimes[1].levels[40].bestTime, 40001u);
  EXPECT_EQ(p.playTime, 3600000u);
  std::vector<u8> again(kProfileProgressSize, 0xEE);
  WriteRecord(kProfileProgressLayout, &p, again.data());
  EXPECT_EQ(again, bytes);
}

// A hand-edited or damaged block is made safe to index with; what is in
// range stays as it was.
TEST(ProfileProgress, SanitizingBringsEveryIndexIntoRange) {
  PROFILEPROGRESS p = EmptyProfileProgress();
  p.regime = 5;
  p.regimes[0].levels[3].state = 9;
  p.regimes[1].levels[40].state = 0xFFFFFFFF;
  p.regimes[0].newCount = 7;
  p.regimes[0].newBonuses[0] = 2;
  p.regimes[0].newBonuses[1] = 9;
  p.regimes[0].newBonuses[2] = 5;
  p.regimes[0].marker = 0x07000123;  // bonus index 6: none
  p.regimes[1].marker = 0x06000123;  // bonus 5
  p.selection[0] = BONUSSELECTION{4, {1, 2, 3}};
  p.selection[1] = BONUSSELECTION{3, {5, 5, 7}};
  SanitizeProfileProgress(&p);
  EXPECT_EQ(p.regime, 0u);
  EXPECT_EQ(p.regimes[0].levels[3].state, 6u);
  EXPECT_EQ(p.regimes[1].levels[40].state, 6u);
  EXPECT_EQ(p.regimes[0].newCount, 2u);
  EXPECT_EQ(p.regimes[0].newBonuses[1], 5);
  EXPECT_EQ(p.regimes[0].marker, 0x00000123u);
  EXPECT_EQ(p.regimes[1].marker, 0x06000123u);
  EXPECT_EQ(p.selection[0].count, 0u);  // a count above 3: an empty set
  EXPECT_EQ(p.selection[0].slots[0], -1);
  EXPECT_EQ(p.selection[1].count, 3u);
  EXPECT_EQ(p.selection[1].slots[0], 5);
  EXPECT_EQ(p.selection[1].slots[1], -1);  // repeated
  EXPECT_EQ(p.selection[1].slots[2], -1);  // no such bonus
}

// "PROF" in a data archive, read as the start-up does: exactly 924 bytes
// that say their size, else the error flag, the defaults kept and the
// archive still in order.
TEST(ProfileProgress, TheDefaultsSectionIsExactly924BytesThatSayTheirSize) {
  TempFolder dir;
  PROFILEPROGRESS read = EmptyProfileProgress();
  auto load = [&](const std::vector<u8>& body, u32 subId) {
    const std::u16string path = dir.Wide("Data.dat");
    EXPECT_TRUE(WriteDataArchive(
        path.c_str(), {{kProfileSectionId, subId, body}, {kConstantsSectionId, kConstantsSectionSubId, {}}}));
    kis::DataFileReaderW* r =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    SectionCursor cursor;
    EXPECT_EQ(ReadProfileDefaults(r, &cursor, &read), 1);
    EXPECT_TRUE(r->HasSection(kConstantsSectionId, kConstantsSectionSubId));
    kis::CloseDataFile(r);
    return cursor.error;
  };
  PROFILEPROGRESS fresh = EmptyProfileProgress();
  fresh.tutorialsOn = 1;
  fresh.regimes[1].levels[0].state = kLevelOpen;
  const std::vector<u8> body = ProfileDefaultsSection(fresh);
  ASSERT_EQ(body.size(), 924u);
  EXPECT_EQ(kis::GetU32LE(&body[0]), 924u);
  EXPECT_EQ(kis::GetU32LE(&body[92 + 4]), 0xFFFFFFFFu);  // an empty slot
  EXPECT_EQ(load(body, kProfileSectionSubId), 0u);
  EXPECT_EQ(read.tutorialsOn, 1u);
  EXPECT_EQ(read.regimes[1].levels[0].state, kLevelOpen);
  std::vector<u8> odd = HandBlock();
  odd[8] = 9;  // regime 9: read, then sanitized
  EXPECT_EQ(load(odd, kProfileSectionSubId), 0u);
  EXPECT_EQ(read.regime, 0u);

  read = EmptyProfileProgress();
  std::vector<u8> wrongSize = body, shorter(body.begin(), body.end() - 1), longer = body;
  wrongSize[0] = 0x9B;
  longer.push_back(0);
  for (const std::vector<u8>* bad : {&wrongSize, &shorter, &longer}) EXPECT_EQ(load(*bad, kProfileSectionSubId), 1u);
  EXPECT_EQ(load(body, 1), 1u);  // another sub-id: missing
  EXPECT_EQ(read.tutorialsOn, 0u);
}

}  // namespace
