// The profile files as bytes: a profile's header, progress and shown-awards
// sections and "profiles.dat" against bytes written by hand from their
// layouts, and files read and written back to the same bytes with saved
// levels of both regimes; files of the layout without the shown awards
// still read; names without a terminator and impossible selections mended.
#include <gtest/gtest.h>

#include <cstring>

#include "ProfileRig.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/encoding/Utf.h"
#include "testsupport/ByteBuilder.h"

namespace profiletest {
namespace {

using testsupport::ByteBuilder;
using testsupport::ByteLayout;
using testsupport::ReadFileBytes;
using testsupport::SameBytes;

std::vector<u8> WithCrc(const ByteBuilder& block) {
  return ByteBuilder(block).u32_(kis::Crc32(block.v.data(), block.v.size())).v;
}

// A name field of 17 units and the two padding bytes after it.
std::vector<u8> Name(const std::u16string& name) {
  ByteBuilder b;
  for (size_t i = 0; i < 18; ++i) b.u16_(i < name.size() ? name[i] : 0);
  return b.v;
}

std::vector<u8> Section(const std::u16string& path, u32 id, u32 subId) {
  return SectionBytes(path, kProfileFileSignature1, kProfileFileSignature2, kProfileFileVersion, id, subId);
}

TEST(ProfileFiles, TheFilesHoldTheHandWrittenRecords) {
  TempFolder dir;
  g_now = 0x1122334455ull;
  Store s(dir);
  Profile* bob = s.Create(u"Bob");
  const std::u16string path = dir.Wide("profiles/profile0.dat");
  ASSERT_EQ(bob->GetPath(), path);
  // Size, the rig's first key words, reserved, last used, name, opened 0 times.
  ByteBuilder header;
  header.u32_(72).u32_(1).u32_(2).u32_(3).u32_(4).u32_(0).u32_(0x22334455).u32_(0x11).raw(Name(u"Bob")).u32_(0);
  ASSERT_EQ(header.v.size(), 72u);
  EXPECT_EQ(Section(path, kProfileHeaderSectionId, kProfileHeaderSectionSubId), WithCrc(header));
  const std::vector<u8> progress = Section(path, kProgressSectionId, kProfileDataSectionSubId);
  ASSERT_EQ(progress.size(), 16u + 924u);
  EXPECT_EQ(std::vector<u8>(progress.begin(), progress.begin() + 16),
            std::vector<u8>(header.v.begin() + 4, header.v.begin() + 20));
  EXPECT_EQ(kis::GetU32LE(&progress[16]), 924u);
  EXPECT_EQ(kis::GetU32LE(&progress[16 + 88]), 1u);        // tutorials on
  EXPECT_EQ(kis::GetU32LE(&progress[16 + 548 + 44]), 2u);  // hard level 1 open

  // Chosen, it is opened once; its best time goes to the index.
  ASSERT_EQ(s.store.SelectProfile(bob), 0);
  EXPECT_EQ(kis::GetU32LE(&Section(path, kProfileHeaderSectionId, kProfileHeaderSectionSubId)[68]), 1u);
  GameLevels levels;
  bob->RecordLevelResult(2, 30000, nullptr);
  ByteBuilder index;
  index.u32_(2316).u32_(1).u32_(2).u32_(3).u32_(4).zeros(2 * 56);  // Bob current; levels 1, 2: none
  index.u32_(30000).u32_(1).u32_(2).u32_(3).u32_(4).raw(Name(u"Bob")).zeros(38 * 56);
  EXPECT_EQ(SectionBytes(dir.Wide("profiles/profiles.dat"), kIndexSignature1, kIndexSignature2, kIndexVersion,
                         kIndexSectionId, kIndexSectionSubId),
            WithCrc(index));
}

// Files read and written again are the same bytes: saved levels of both
// regimes, a name of 16 characters, progress in both regimes.
TEST(ProfileFiles, FilesReadAndWrittenBackAreTheSameBytes) {
  TempFolder dir;
  Store s(dir);
  Profile* p = s.Create(u"Abcdefghijklmnop");
  ASSERT_EQ(s.store.SelectProfile(p), 0);
  GameLevels levels;
  p->RecordLevelResult(0, 19000, nullptr);
  p->SetRegime(1);
  p->RecordLevelResult(11, 50000, nullptr);
  p->AddPlayTime(12345);
  *p->Slot(0, 3) = SavedState(0, 3, 0x33, 1000);
  *p->Slot(1, 40) = SavedState(1, 40, 0x44, 20000);
  ASSERT_EQ(s.store.SaveProfile(), 0);

  PROFILEHEADER header;
  PROFILEPROGRESS progress;
  ASSERT_TRUE(ReadProfileFile(p->GetPath(), &header, &progress));
  EXPECT_EQ(std::u16string(header.name), u"Abcdefghijklmnop");
  EXPECT_EQ(progress.regimes[1].levels[11].bestTime, 50000u);
  EXPECT_EQ(progress.regimes[1].marker >> 24, 2u);  // bonus 1 was the last unlocked
  SavedLevels saved = {};
  ASSERT_TRUE(ReadSavedLevels(p->GetPath(), saved));
  ASSERT_TRUE(saved[0][3] && saved[1][40]);
  EXPECT_EQ(saved[1][40]->dataSize, 20000u);
  EXPECT_EQ(saved[1][40]->Data()[19999], 0x44);
  EXPECT_EQ(saved[0][3]->levelTime, 4324u);
  AWARDCOUNTERS shown{};
  ASSERT_TRUE(ReadProfileFile(p->GetPath(), &header, &progress, &shown));
  ASSERT_TRUE(WriteProfileFile(dir.Wide("copy.dat"), header, progress, saved, &shown));
  EXPECT_EQ(ReadFileBytes(dir.File("copy.dat")), ReadFileBytes(plat::Utf16ToUtf8(p->GetPath())));
  FreeSavedLevels(saved);

  PROFILEINDEX index;
  ASSERT_TRUE(ReadIndexFile(dir.Wide("profiles/profiles.dat"), &index));
  EXPECT_EQ(std::u16string(index.best[11].name), u"Abcdefghijklmnop");
  ASSERT_TRUE(WriteIndexFile(dir.Wide("index.dat"), index));
  EXPECT_EQ(ReadFileBytes(dir.File("index.dat")), ReadFileBytes(dir.File("profiles/profiles.dat")));
}

// The award values the awards window showed last keep a section of their
// own: the key, then the award counters' layout (9 tiered, 8 records, the
// final flag). They outlive the game; a file saved before the section was
// written (or with it damaged) shows its current values.
TEST(ProfileFiles, TheShownAwardsKeepASectionOfTheirOwnAndOlderFilesShowTheirCurrentSet) {
  TempFolder dir;
  {
    Store s(dir);
    Profile* ann = s.Create(u"Ann");
    ASSERT_EQ(s.store.SelectProfile(ann), 0);
    AWARDCOUNTERS& current = *ann->GetAwardCounters();
    AWARDCOUNTERS& shown = *ann->GetShownAwards();
    EXPECT_EQ(std::memcmp(&current, &shown, sizeof current), 0) << "a new profile has seen what it has";
    current.tiered[0] = 9;
    current.records[7] = 500;
    current.finalGiven = 1;
    shown.tiered[0] = 5;
    shown.tiered[8] = 0x01020304;
    shown.records[2] = 3;
    shown.records[7] = 250;
    ASSERT_EQ(s.store.SaveProfile(), 0);
    const ByteLayout hand = ByteLayout(88)
                                .u32_(0, 1).u32_(4, 2).u32_(8, 3).u32_(12, 4)  // the rig's first key
                                .u32_(16 + 0, 5).u32_(16 + 32, 0x01020304)
                                .u32_(16 + 36 + 8, 3).u32_(16 + 36 + 28, 250);
    EXPECT_TRUE(SameBytes(Section(ann->GetPath(), kShownAwardsSectionId, kProfileDataSectionSubId), hand.v));
    SHOWNAWARDS back;
    ReadRecord(kShownAwardsLayout, hand.v.data(), &back);
    EXPECT_EQ(std::memcmp(&back.awards, &shown, sizeof shown), 0);
  }
  // The next start: the shown values as they were, also once current.
  {
    Store s(dir);
    Profile* ann = s.store.FindByName(u"Ann");
    ASSERT_NE(ann, nullptr);
    EXPECT_EQ(s.store.GetCurrent(), ann);
    EXPECT_EQ(ann->GetShownAwards()->tiered[0], 5);
    EXPECT_EQ(ann->GetShownAwards()->records[7], 250);
    EXPECT_EQ(ann->GetAwardCounters()->tiered[0], 9);
  }
  // The same file as it was saved before the section: header and progress
  // only, byte for byte. It reads; what it has counts as seen.
  const std::u16string path = dir.Wide("profiles/profile0.dat");
  const std::vector<u8> head = Section(path, kProfileHeaderSectionId, kProfileHeaderSectionSubId);
  const std::vector<u8> progress = Section(path, kProgressSectionId, kProfileDataSectionSubId);
  const auto rewrite = [&](const std::vector<u8>* shown) {
    kis::DataFileWriterW* w = kis::CreateDataFileWriterW(path.c_str(), kProfileFileSignature1, kProfileFileSignature2,
                                                         kProfileFileVersion, true);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->BeginSection(kProfileHeaderSectionId, kProfileHeaderSectionSubId) &&
                w->Write(head.data(), static_cast<u32>(head.size())) && w->EndSection());
    EXPECT_TRUE(w->BeginSection(kProgressSectionId, kProfileDataSectionSubId) &&
                w->Write(progress.data(), static_cast<u32>(progress.size())) && w->EndSection());
    if (shown) {
      EXPECT_TRUE(w->BeginSection(kShownAwardsSectionId, kProfileDataSectionSubId) &&
                  w->Write(shown->data(), static_cast<u32>(shown->size())) && w->EndSection());
    }
    EXPECT_TRUE(kis::CloseDataFile(w));
  };
  const std::vector<u8> otherKey(88, 7);
  const std::vector<u8> shortOne(40, 7);
  for (const std::vector<u8>* shown : {static_cast<const std::vector<u8>*>(nullptr), &otherKey, &shortOne}) {
    rewrite(shown);
    PROFILEHEADER header;
    PROFILEPROGRESS read;
    AWARDCOUNTERS seen{};
    ASSERT_TRUE(ReadProfileFile(path, &header, &read, &seen)) << (shown ? shown->size() : 0);
    EXPECT_EQ(seen.tiered[0], 9);
    EXPECT_EQ(seen.records[7], 500);
    EXPECT_EQ(seen.finalGiven, 1u);
  }
  Store s(dir);
  Profile* ann = s.store.FindByName(u"Ann");
  ASSERT_NE(ann, nullptr);
  EXPECT_EQ(ann->GetShownAwards()->tiered[0], 9);
}

TEST(ProfileFiles, UnterminatedNamesAndImpossibleSelectionsAreMended) {
  TempFolder dir;
  PROFILEHEADER header;
  std::fill(std::begin(header.name), std::end(header.name), u'Z');
  header.key[0] = 7;
  PROFILEPROGRESS progress = EmptyProfileProgress();
  progress.selection[1] = BONUSSELECTION{4, {0, 1, 2}};
  SavedLevels none = {};
  ASSERT_TRUE(WriteProfileFile(dir.Wide("profile5.dat"), header, progress, none));
  PROFILEHEADER back;
  PROFILEPROGRESS read;
  ASSERT_TRUE(ReadProfileFile(dir.Wide("profile5.dat"), &back, &read));
  EXPECT_EQ(std::u16string(back.name), std::u16string(16, u'Z'));
  EXPECT_EQ(read.selection[1].count, 0u);  // four chosen: an empty set
  EXPECT_EQ(read.selection[1].slots[2], -1);

  PROFILEINDEX index;
  std::fill(std::begin(index.best[40].name), std::end(index.best[40].name), u'Y');
  ASSERT_TRUE(WriteIndexFile(dir.Wide("profiles.dat"), index));
  ASSERT_TRUE(ReadIndexFile(dir.Wide("profiles.dat"), &index));
  EXPECT_EQ(std::u16string(index.best[40].name), std::u16string(16, u'Y'));
}

}  // namespace
}  // namespace profiletest
