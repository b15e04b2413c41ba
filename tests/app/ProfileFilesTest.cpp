// The profile files as bytes: a profile's header and progress sections and
// "profiles.dat" against bytes written by hand from their layouts, and
// files read and written back to the same bytes with saved levels of both
// regimes; names without a terminator and impossible selections mended.
#include <gtest/gtest.h>

#include "ProfileRig.h"
#include "testsupport/ByteBuilder.h"

namespace profiletest {
namespace {

using testsupport::ByteBuilder;
using testsupport::ReadFileBytes;

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
  ASSERT_TRUE(WriteProfileFile(dir.Wide("copy.dat"), header, progress, saved));
  EXPECT_EQ(ReadFileBytes(dir.File("copy.dat")), ReadFileBytes(plat::Utf16ToUtf8(p->GetPath())));
  FreeSavedLevels(saved);

  PROFILEINDEX index;
  ASSERT_TRUE(ReadIndexFile(dir.Wide("profiles/profiles.dat"), &index));
  EXPECT_EQ(std::u16string(index.best[11].name), u"Abcdefghijklmnop");
  ASSERT_TRUE(WriteIndexFile(dir.Wide("index.dat"), index));
  EXPECT_EQ(ReadFileBytes(dir.File("index.dat")), ReadFileBytes(dir.File("profiles/profiles.dat")));
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
