#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/os/StdioFile.h"
#include "testsupport/ByteBuilder.h"
#include "testsupport/TempFolder.h"

namespace {

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;
namespace fs = std::filesystem;

constexpr u32 kSig1 = 0x11223344u;
constexpr u32 kSig2 = 0x55667788u;
constexpr u32 kAny = 0xFFFFFFFFu;

// Turns the write fault off again whatever happens in a test.
struct WriteFaultGuard {
  ~WriteFaultGuard() { plat::SetWriteFaultAfter(-1); }
};

std::vector<u8> FilePattern(size_t n, u8 seed) {
  std::vector<u8> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<u8>(seed + i * 7);
  return v;
}

// `error`, when given, receives the writer's system error of a failure.
bool WriteSections(const std::u16string& name, bool safe, const std::vector<std::vector<u8>>& bodies,
                   int* error = nullptr) {
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), kSig1, kSig2, 3, safe, nullptr, error);
  if (!w) return false;
  for (size_t i = 0; i < bodies.size(); ++i) {
    w->BeginSection(static_cast<u32>(100 + i), 0);
    w->Write(bodies[i].data(), static_cast<u32>(bodies[i].size()));
    w->EndSection();
  }
  const bool ok = w->Close();
  if (error) *error = w->GetError();
  return kis::CloseDataFile(w) && ok;
}

TEST(DataFileLayout, EmptyFileIsHeaderAndRootRecord) {
  TempFolder dir;
  auto* w = kis::CreateDataFileWriterW(dir.Wide("empty.dat").c_str(), kSig1, kSig2, 7, false);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(kis::CloseDataFile(w));
  const auto bytes = ReadFileBytes(dir.File("empty.dat"));
  ASSERT_EQ(bytes.size(), 32u);
  EXPECT_EQ(kis::GetU32LE(&bytes[0]), kSig1);
  EXPECT_EQ(kis::GetU32LE(&bytes[4]), kSig2);
  EXPECT_EQ(kis::GetU32LE(&bytes[8]), 16u);
  EXPECT_EQ(kis::GetU32LE(&bytes[12]), 7u);
  EXPECT_EQ(kis::GetU32LE(&bytes[16]), 20u);
  EXPECT_EQ(kis::GetU32LE(&bytes[20]), 0u);
  EXPECT_EQ(kis::GetU32LE(&bytes[24]), 0u);
  EXPECT_EQ(kis::GetU32LE(&bytes[28]), 0x6522DF69u);

  // Any version is accepted with -1 and then reported; a wrong one is refused.
  auto* r = kis::OpenDataFileReaderW(dir.Wide("empty.dat").c_str(), kSig1, kSig2, kAny);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetVersion(), 7u);
  EXPECT_EQ(r->GetDirectory()->entries.size(), 0u);
  EXPECT_TRUE(kis::CloseDataFile(r));
  EXPECT_EQ(kis::OpenDataFileReaderW(dir.Wide("empty.dat").c_str(), kSig1, kSig2, 6), nullptr);
  EXPECT_EQ(kis::OpenDataFileReaderW(dir.Wide("empty.dat").c_str(), kSig1, 0, 7), nullptr);
  EXPECT_EQ(kis::OpenDataFileReaderW(dir.Wide("missing.dat").c_str(), kSig1, kSig2, 7), nullptr);
}

TEST(DataFileLayout, DamagedHeadersAreRefused) {
  TempFolder dir;
  ASSERT_TRUE(WriteSections(dir.Wide("f.dat"), false, {FilePattern(10, 1)}));
  const auto good = ReadFileBytes(dir.File("f.dat"));
  struct Damage {
    size_t offset;
    u32 value;
  };
  for (Damage d : {Damage{8, 17}, Damage{16, 0}, Damage{16, 12}, Damage{16, 0x7FFFFFF0u},
                   Damage{16, static_cast<u32>(good.size() - 4)}}) {
    auto bad = good;
    kis::PutU32LE(&bad[d.offset], d.value);
    WriteFileBytes(dir.File("bad.dat"), bad);
    EXPECT_EQ(kis::OpenDataFileReaderW(dir.Wide("bad.dat").c_str(), kSig1, kSig2, kAny), nullptr)
        << d.offset << " " << d.value;
  }
  for (size_t len : {0, 19, 20, 31}) {
    WriteFileBytes(dir.File("short.dat"), std::vector<u8>(good.begin(), good.begin() + static_cast<long>(len)));
    EXPECT_EQ(kis::OpenDataFileReaderW(dir.Wide("short.dat").c_str(), kSig1, kSig2, kAny), nullptr) << len;
  }
}

TEST(DataFileSections, RoundTripFindsSectionsByIdAndSubId) {
  TempFolder dir;
  const auto a1 = FilePattern(100, 1), b = FilePattern(33, 2), a2 = FilePattern(5000, 3);
  auto* w = kis::CreateDataFileWriterW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 1, false);
  ASSERT_NE(w, nullptr);
  u32 crc = 0;
  EXPECT_TRUE(w->BeginSection(0xA, 1) && w->WriteCrc(a1.data(), 60, &crc) &&
              w->WriteCrc(a1.data() + 60, 40, &crc) && w->EndSection());
  EXPECT_EQ(crc, kis::Crc32(a1.data(), a1.size()));
  EXPECT_TRUE(w->BeginSection(0xB, 0) && w->Write(b.data(), 33) && w->EndSection());
  EXPECT_TRUE(w->BeginSection(0xA, 2) && w->Write(a2.data(), 5000) && w->EndSection());
  ASSERT_TRUE(kis::CloseDataFile(w));

  auto* r = kis::OpenDataFileReaderW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->HasSection(0xA, 2));
  EXPECT_FALSE(r->HasSection(0xC, kAny));
  std::vector<u8> got(5000);
  ASSERT_TRUE(r->OpenSection(0xA, 2));
  EXPECT_EQ(r->GetSectionSize(), 5000u);
  ASSERT_TRUE(r->Read(got.data(), 10));
  EXPECT_EQ(r->GetPosition(), 10u);
  EXPECT_EQ(r->GetFilePos(), 20u + 100 + 33 + 10);
  // (A, any) keeps the open section, which already has that id.
  ASSERT_TRUE(r->OpenSection(0xA, kAny));
  EXPECT_EQ(r->GetPosition(), 10u);
  ASSERT_TRUE(r->Read(got.data() + 10, 4990));
  EXPECT_EQ(got, a2);
  // Otherwise (A, any) is the first A in directory order, from position 0.
  ASSERT_TRUE(r->OpenSection(0xB, 0));
  ASSERT_TRUE(r->OpenSection(0xA, kAny));
  EXPECT_EQ(r->GetPosition(), 0u);
  got.resize(100);
  EXPECT_TRUE(r->ReadChecked(got.data(), 100, kis::Crc32(a1.data(), 100)));
  EXPECT_EQ(got, a1);
  ASSERT_TRUE(r->OpenSection(0xB, kAny));
  u32 running = 0;
  got.resize(33);
  EXPECT_TRUE(r->ReadCrc(got.data(), 33, &running));
  EXPECT_EQ(running, kis::Crc32(b.data(), 33));
  EXPECT_TRUE(r->CloseSection());
  EXPECT_EQ(r->GetFilePos(), 0xFFFFFFFFu);
  // A CRC mismatch fails the file.
  ASSERT_TRUE(r->OpenSection(0xB, 0));
  EXPECT_FALSE(r->ReadChecked(got.data(), 33, 12345));
  EXPECT_FALSE(r->IsOk());
  EXPECT_FALSE(kis::CloseDataFile(r));
}

TEST(DataFileSections, ReadsAndSeeksStopAtTheSectionEndAndFailuresStick) {
  TempFolder dir;
  ASSERT_TRUE(WriteSections(dir.Wide("s.dat"), false, {FilePattern(64, 1), FilePattern(8, 2)}));
  auto* r = kis::OpenDataFileReaderW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 3);
  ASSERT_NE(r, nullptr);
  u8 buf[65];
  ASSERT_TRUE(r->OpenSection(100, 0));
  EXPECT_TRUE(r->Seek(64));
  EXPECT_TRUE(r->Seek(4));
  EXPECT_TRUE(r->Read(buf, 60));  // ends exactly at the section end
  EXPECT_EQ(buf[0], FilePattern(64, 1)[4]);
  EXPECT_TRUE(r->Seek(0));
  EXPECT_FALSE(r->Read(buf, 65));  // one byte more
  EXPECT_FALSE(r->IsOk());
  EXPECT_EQ(r->GetPosition(), 0xFFFFFFFFu);
  EXPECT_FALSE(r->OpenSection(101, 0));
  EXPECT_FALSE(r->Read(buf, 1));
  EXPECT_FALSE(kis::CloseDataFile(r));

  r = kis::OpenDataFileReaderW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 3);
  ASSERT_NE(r, nullptr);
  ASSERT_TRUE(r->OpenSection(101, 0));
  EXPECT_FALSE(r->Seek(9));
  EXPECT_FALSE(r->IsOk());
  delete r;

  // Section operations without an open section, a missing section, and an
  // entry from elsewhere each fail the file.
  r = kis::OpenDataFileReaderW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 3);
  EXPECT_FALSE(r->CloseSection());
  delete r;
  r = kis::OpenDataFileReaderW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 3);
  EXPECT_FALSE(r->OpenSection(999, kAny));
  delete r;
  r = kis::OpenDataFileReaderW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 3);
  const kis::DATAFILEENTRY stray{100, 0, 20, 64};
  EXPECT_FALSE(r->OpenEntry(&stray));
  delete r;
  r = kis::OpenDataFileReaderW(dir.Wide("s.dat").c_str(), kSig1, kSig2, 3);
  EXPECT_TRUE(r->OpenEntry(&r->GetDirectory()->entries[1]));
  EXPECT_TRUE(r->Read(buf, 8));
  EXPECT_FALSE(r->LeaveDirectory());  // at the root, and a section is open
  delete r;
}

TEST(DataFileDirectories, NestedDirectoriesRoundTrip) {
  TempFolder dir;
  auto* w = kis::CreateDataFileWriterW(dir.Wide("d.dat").c_str(), kSig1, kSig2, 1, false);
  ASSERT_NE(w, nullptr);
  const u8 one = 1, two = 2, three = 3;
  EXPECT_TRUE(w->BeginSection(1, 0) && w->Write(&one, 1) && w->EndSection());
  EXPECT_TRUE(w->BeginDirectory(50, 5));
  EXPECT_TRUE(w->BeginSection(1, 0) && w->Write(&two, 1) && w->EndSection());
  EXPECT_TRUE(w->BeginDirectory(60, 6));
  EXPECT_TRUE(w->BeginSection(1, 0) && w->Write(&three, 1) && w->EndSection());
  EXPECT_TRUE(w->EndDirectory());
  EXPECT_TRUE(w->EndDirectory());
  EXPECT_TRUE(w->BeginDirectory(70, 0) && w->EndDirectory());
  ASSERT_TRUE(kis::CloseDataFile(w));

  auto* r = kis::OpenDataFileReaderW(dir.Wide("d.dat").c_str(), kSig1, kSig2, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetDirectory()->childCount, 2u);
  u8 b = 0;
  EXPECT_TRUE(r->EnterDirectory(50, kAny));
  EXPECT_TRUE(r->OpenSection(1, 0) && r->Read(&b, 1));
  EXPECT_EQ(b, 2);
  EXPECT_TRUE(r->CloseSection());
  EXPECT_TRUE(r->EnterDirectory(60, 6));
  EXPECT_TRUE(r->OpenSection(1, 0) && r->Read(&b, 1));
  EXPECT_EQ(b, 3);
  EXPECT_TRUE(r->CloseSection());
  EXPECT_TRUE(r->LeaveDirectory());
  EXPECT_TRUE(r->LeaveDirectory());
  EXPECT_TRUE(r->OpenSection(1, 0) && r->Read(&b, 1));
  EXPECT_EQ(b, 1);
  EXPECT_TRUE(r->CloseSection());
  EXPECT_TRUE(r->EnterDirectory(70, 0));
  EXPECT_EQ(r->GetDirectory()->entries.size(), 0u);
  EXPECT_TRUE(r->LeaveDirectory());
  EXPECT_FALSE(r->LeaveDirectory());  // at the root
  EXPECT_FALSE(r->IsOk());
  delete r;

  // A writer closed inside a sub-directory fails and leaves nothing behind.
  w = kis::CreateDataFileWriterW(dir.Wide("open.dat").c_str(), kSig1, kSig2, 1, false);
  ASSERT_TRUE(w->BeginDirectory(1, 1));
  EXPECT_FALSE(kis::CloseDataFile(w));
  EXPECT_FALSE(fs::exists(dir.File("open.dat")));
}

// Builds a file by hand: header, then the given directory words.
std::vector<u8> HandMadeFile(const std::vector<u32>& dirWords) {
  std::vector<u8> f(20 + dirWords.size() * 4);
  kis::PutU32LE(&f[0], kSig1);
  kis::PutU32LE(&f[4], kSig2);
  kis::PutU32LE(&f[8], 16);
  kis::PutU32LE(&f[12], 1);
  kis::PutU32LE(&f[16], 20);
  for (size_t i = 0; i < dirWords.size(); ++i) kis::PutU32LE(&f[20 + i * 4], dirWords[i]);
  return f;
}

u32 CountsCheck(u32 children, u32 entries) {
  u8 b[8];
  kis::PutU32LE(b, children);
  kis::PutU32LE(b + 4, entries);
  return kis::Crc32(b, 8);
}

TEST(DataFileDirectories, ForgedCountsAndDepthAreRefused) {
  TempFolder dir;
  auto opens = [&](const std::vector<u8>& bytes) {
    WriteFileBytes(dir.File("x.dat"), bytes);
    auto* r = kis::OpenDataFileReaderW(dir.Wide("x.dat").c_str(), kSig1, kSig2, 1);
    const bool ok = r != nullptr;
    delete r;
    return ok;
  };
  EXPECT_TRUE(opens(HandMadeFile({0, 0, CountsCheck(0, 0)})));
  // A count changed without its check.
  EXPECT_FALSE(opens(HandMadeFile({0, 1, CountsCheck(0, 0)})));
  EXPECT_FALSE(opens(HandMadeFile({1, 0, CountsCheck(0, 0)})));
  // Huge counts with a matching check: refused from the bytes really there,
  // before anything is allocated.
  EXPECT_FALSE(opens(HandMadeFile({0, 0xFFFFFFFFu, CountsCheck(0, 0xFFFFFFFFu)})));
  EXPECT_FALSE(opens(HandMadeFile({0xFFFFFFFFu, 0, CountsCheck(0xFFFFFFFFu, 0)})));
  EXPECT_FALSE(opens(HandMadeFile({0, 2, CountsCheck(0, 2), 1, 0, 20, 0})));  // one entry short

  // Sections must lie inside the file (here 20 + 12 + 16 = 48 bytes long);
  // a size that reaches past its end would size a reader's allocation.
  auto oneEntry = [](u32 offset, u32 size) { return HandMadeFile({0, 1, CountsCheck(0, 1), 7, 0, offset, size}); };
  EXPECT_TRUE(opens(oneEntry(20, 28)));
  EXPECT_TRUE(opens(oneEntry(48, 0)));
  EXPECT_FALSE(opens(oneEntry(48, 1)));
  EXPECT_FALSE(opens(oneEntry(20, 0xFFFFFFF0u)));
  EXPECT_FALSE(opens(oneEntry(0xFFFFFFFFu, 1)));
  // 52 bytes: four bytes of section data that claim four gigabytes.
  std::vector<u8> claim = HandMadeFile({0xAAAAAAAAu, 0, 1, CountsCheck(0, 1), 7, 0, 20, 0xFFFFFFF0u});
  kis::PutU32LE(&claim[16], 24);
  ASSERT_EQ(claim.size(), 52u);
  EXPECT_FALSE(opens(claim));
  kis::PutU32LE(&claim[48], 4);
  EXPECT_TRUE(opens(claim));

  // A chain of nested directories: fine up to the depth limit, refused past it.
  auto chain = [](u32 depth) {
    std::vector<u32> words;
    for (u32 d = 0; d <= depth; ++d) {
      if (d > 0) {
        words.push_back(d);
        words.push_back(0);
      }
      const u32 children = d < depth ? 1 : 0;
      words.push_back(children);
      words.push_back(0);
      words.push_back(CountsCheck(children, 0));
    }
    return HandMadeFile(words);
  };
  EXPECT_TRUE(opens(chain(kis::kDataFileMaxDepth)));
  EXPECT_FALSE(opens(chain(kis::kDataFileMaxDepth + 1)));
  EXPECT_FALSE(opens(chain(100000)));
}

TEST(DataFileNames, LengthLimitIs259Characters) {
  TempFolder dir;
  const std::string root = dir.Path() + "/";
  ASSERT_LT(root.size(), 200u);  // keeps the file name within one component
  const std::string name259 = root + std::string(259 - root.size(), 'n');
  const std::string name260 = root + std::string(260 - root.size(), 'm');
  const std::u16string w259 = plat::Utf8ToUtf16(name259), w260 = plat::Utf8ToUtf16(name260);
  auto* w = kis::CreateDataFileWriterW(w259.c_str(), kSig1, kSig2, 1, false);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(kis::CloseDataFile(w));
  EXPECT_EQ(kis::CreateDataFileWriterW(w260.c_str(), kSig1, kSig2, 1, false), nullptr);
  EXPECT_EQ(kis::CreateDataFileWriterW(u"", kSig1, kSig2, 1, false), nullptr);
  EXPECT_EQ(kis::CreateDataFileWriterW(nullptr, kSig1, kSig2, 1, false), nullptr);
  EXPECT_FALSE(kis::CloseDataFile(nullptr));

  // A safe save over a name of 259 characters still goes through a temporary
  // file: the old file is untouched until the commit.
  const auto before = ReadFileBytes(name259);
  auto* again = kis::CreateDataFileWriterW(w259.c_str(), kSig1, kSig2, 2, true);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(ReadFileBytes(name259), before);
  EXPECT_TRUE(kis::CloseDataFile(again));
  EXPECT_EQ(dir.Entries(), 1);
}

TEST(DataFileSafeSave, ReplacesTheOldFileOnlyWhenComplete) {
  TempFolder dir;
  const std::u16string name = dir.Wide("save.dat");
  ASSERT_TRUE(WriteSections(name, false, {FilePattern(10, 1)}));
  const auto before = ReadFileBytes(dir.File("save.dat"));

  auto* w = kis::CreateDataFileWriterW(name.c_str(), kSig1, kSig2, 3, true);
  ASSERT_NE(w, nullptr);
  const auto body = FilePattern(3000, 9);
  EXPECT_TRUE(w->BeginSection(7, 7) && w->Write(body.data(), 3000) && w->EndSection());
  // While the save runs the old file is untouched and the new one grows aside.
  EXPECT_EQ(ReadFileBytes(dir.File("save.dat")), before);
  EXPECT_TRUE(fs::exists(dir.File("save.dat.bak")));
  EXPECT_TRUE(kis::CloseDataFile(w));
  EXPECT_FALSE(fs::exists(dir.File("save.dat.bak")));
  auto* r = kis::OpenDataFileReaderW(name.c_str(), kSig1, kSig2, 3);
  ASSERT_NE(r, nullptr);
  std::vector<u8> got(3000);
  EXPECT_TRUE(r->OpenSection(7, 7) && r->Read(got.data(), 3000));
  EXPECT_EQ(got, body);
  delete r;
}

TEST(DataFileSafeSave, FailureMidwayLeavesTheOldFileAndNoBackup) {
  TempFolder dir;
  WriteFaultGuard guard;
  const std::u16string name = dir.Wide("save.dat");
  ASSERT_TRUE(WriteSections(name, false, {FilePattern(500, 1), FilePattern(77, 2)}));
  const auto before = ReadFileBytes(dir.File("save.dat"));
  const std::vector<std::vector<u8>> bigger = {FilePattern(4000, 3), FilePattern(4000, 4), FilePattern(10, 5)};
  // The complete new file is 20 + 8010 + 12 + 3 * 16 bytes: fail the writes
  // after every stage of it (header, sections, directory, offset patch),
  // the write itself or, as a full disk under the stream's buffer does, its
  // flush in the seek to the offset field or the sync: the disk's reason is
  // what the save says.
  for (plat::WriteFault where : {plat::WriteFault::AtWrite, plat::WriteFault::AtFlush}) {
    for (i64 budget : {0, 5, 19, 20, 100, 4020, 4021, 8029, 8030, 8035, 8089, 8090, 8093}) {
      plat::SetWriteFaultAfter(budget, where);
      int error = 0;
      EXPECT_FALSE(WriteSections(name, true, bigger, &error)) << budget;
      plat::SetWriteFaultAfter(-1);
      EXPECT_EQ(error, ENOSPC) << budget;
      EXPECT_EQ(ReadFileBytes(dir.File("save.dat")), before) << budget;
      EXPECT_FALSE(fs::exists(dir.File("save.dat.bak"))) << budget;
    }
  }
  // With enough budget the same save goes through.
  plat::SetWriteFaultAfter(20 + 8010 + 12 + 48 + 4);
  EXPECT_TRUE(WriteSections(name, true, bigger));
  plat::SetWriteFaultAfter(-1);
  EXPECT_EQ(ReadFileBytes(dir.File("save.dat")).size(), 20u + 8010 + 12 + 48);
}

TEST(DataFileSafeSave, FailedCommitIsReportedAndCleanedUp) {
  TempFolder dir;
  // The target is a folder: the final rename cannot replace it.
  fs::create_directories(dir.File("taken"));
  EXPECT_FALSE(WriteSections(dir.Wide("taken"), true, {FilePattern(10, 1)}));
  EXPECT_TRUE(fs::is_directory(dir.File("taken")));
  EXPECT_FALSE(fs::exists(dir.File("taken.bak")));
}

TEST(DataFileWriter, OpenSectionAtCloseFailsAndDeletesTheOutput) {
  TempFolder dir;
  auto* w = kis::CreateDataFileWriterW(dir.Wide("plain.dat").c_str(), kSig1, kSig2, 1, false);
  ASSERT_TRUE(w->BeginSection(1, 0));
  EXPECT_FALSE(w->BeginSection(2, 0));  // one at a time
  EXPECT_FALSE(kis::CloseDataFile(w));
  EXPECT_FALSE(fs::exists(dir.File("plain.dat")));

  ASSERT_TRUE(WriteSections(dir.Wide("safe.dat"), false, {FilePattern(10, 1)}));
  const auto before = ReadFileBytes(dir.File("safe.dat"));
  w = kis::CreateDataFileWriterW(dir.Wide("safe.dat").c_str(), kSig1, kSig2, 1, true);
  ASSERT_TRUE(w->BeginSection(1, 0));
  EXPECT_FALSE(kis::CloseDataFile(w));
  EXPECT_EQ(ReadFileBytes(dir.File("safe.dat")), before);
  EXPECT_FALSE(fs::exists(dir.File("safe.dat.bak")));

  w = kis::CreateDataFileWriterW(dir.Wide("x.dat").c_str(), kSig1, kSig2, 1, false);
  EXPECT_FALSE(w->EndSection());
  EXPECT_FALSE(w->Write("a", 1));
  EXPECT_FALSE(kis::CloseDataFile(w));
}

}  // namespace

namespace {

// A file made by an independent script (signature "STDF", 1; version 1): root
// section (1, 0) "root"; directory (50, 5) with (1, 0) "child" and (2, 0)
// "abc"; an empty directory (60, 0).
TEST(DataFileDirectories, ReadsAFileMadeElsewhere) {
  const std::u16string name = plat::Utf8ToUtf16(std::string(TM_TEST_DATA_DIR) + "/datafile/nested.dat");
  auto* r = kis::OpenDataFileReaderW(name.c_str(), 0x46445453u, 1, 1);
  ASSERT_NE(r, nullptr);
  char text[6] = {};
  EXPECT_TRUE(r->OpenSection(1, 0) && r->Read(text, 4) && r->CloseSection());
  EXPECT_STREQ(text, "root");
  EXPECT_TRUE(r->EnterDirectory(50, 5));
  EXPECT_TRUE(r->OpenSection(2, kAny) && r->Read(text, 3) && r->CloseSection());
  EXPECT_STREQ(text, "abct");
  EXPECT_TRUE(r->OpenSection(1, 0) && r->Read(text, 5));
  EXPECT_STREQ(text, "child");
  EXPECT_EQ(r->GetFilePos(), 20u + 4 + 5);
  EXPECT_TRUE(r->CloseSection() && r->LeaveDirectory() && r->EnterDirectory(60, kAny));
  EXPECT_TRUE(kis::CloseDataFile(r));
}

}  // namespace
