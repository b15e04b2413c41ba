#include "app/ProfileFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/Crc32.h"
#include "base/DataBuffer.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/os/File.h"
#include "platform/os/FileSystem.h"
#include "platform/os/StdioFile.h"
#include "resources/ResourceServices.h"

namespace {

constexpr RecordField kHeaderFields[] = {
    TM_FIELD(PROFILEHEADER, size, 0, kU32, 1),
    TM_FIELD(PROFILEHEADER, key, 4, kBytes, kProfileKeySize),
    TM_FIELD(PROFILEHEADER, reserved, 20, kU32, 1),
    TM_FIELD(PROFILEHEADER, lastUsed, 24, kU64, 1),
    TM_FIELD(PROFILEHEADER, name, 32, kU16, kProfileNameUnits),
    TM_FIELD(PROFILEHEADER, openCount, 68, kU32, 1),
};

constexpr RecordField kBestTimeFields[] = {
    TM_FIELD(BESTTIME, time, 0, kU32, 1),
    TM_FIELD(BESTTIME, key, 4, kBytes, kProfileKeySize),
    TM_FIELD(BESTTIME, name, 20, kU16, kProfileNameUnits),
};
constexpr RecordLayout kBestTimeLayout = MakeLayout(kBestTimeSize, kBestTimeFields);

constexpr RecordField kShownAwardsFields[] = {
    TM_FIELD(SHOWNAWARDS, key, 0, kBytes, kProfileKeySize),
    TM_RECORDS(SHOWNAWARDS, awards, 16, kAwardCountersLayout, 1),
};

constexpr RecordField kIndexFields[] = {
    TM_FIELD(PROFILEINDEX, size, 0, kU32, 1),
    TM_FIELD(PROFILEINDEX, currentKey, 4, kBytes, kProfileKeySize),
    TM_RECORDS(PROFILEINDEX, best, 20, kBestTimeLayout, kLevelCount),
};

// A block of a section written through the running checksum, then the
// checksum; read back, the section must hold exactly that.
bool WriteChecked(kis::BaseDataFileWriter* w, u32 id, u32 subId, const u8* block, u32 size) {
  u32 crc = 0;
  u8 crcField[4];
  if (!w->BeginSection(id, subId) || !w->WriteCrc(block, size, &crc)) return false;
  kis::PutU32LE(crcField, crc);
  return w->Write(crcField, 4) && w->EndSection();
}

bool ReadChecked(kis::BaseDataFileReader* r, u32 id, u32 subId, u8* block, u32 size) {
  if (!r->HasSection(id, subId) || !r->OpenSection(id, subId) || r->GetSectionSize() != size + 4) return false;
  u32 crc = 0;
  u8 crcField[4];
  return r->ReadCrc(block, size, &crc) && r->Read(crcField, 4) && kis::GetU32LE(crcField) == crc && r->CloseSection();
}

// Whether the file can be opened at all; when not, the fault says why (a
// file that opens and then does not read is damaged, not this). What is
// not a plain file is never opened: a named pipe would wait for a writer.
bool Opens(const std::u16string& path, FileFault* fault) {
  const std::string kind = plat::NonFileKind(path);
  bool notRegular = !kind.empty();
  const int fd = notRegular ? -1 : plat::OpenRegularFile(plat::NativePath(path), O_RDONLY, &notRegular);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (fault) {
    fault->missing = !notRegular && errno == ENOENT;
    fault->why = !kind.empty() ? kind + ", not a file" : notRegular ? "not a plain file" : std::strerror(errno);
  }
  return false;
}

bool Damaged(FileFault* fault, const char* why) {
  if (fault) {
    fault->damaged = true;
    fault->why = why;
  }
  return false;
}

// The writer's verdict, with the system's error of a failure.
bool Closed(kis::DataFileWriterW* w, int* error) {
  const bool ok = w->Close();
  if (error) *error = ok ? 0 : w->GetError() ? w->GetError() : EIO;
  kis::CloseDataFile(w);
  return ok;
}

kis::DataFileReaderW* OpenProfileFile(const std::u16string& path) {
  return kis::OpenDataFileReaderW(path.c_str(), kProfileFileSignature1, kProfileFileSignature2, kProfileFileVersion);
}

// Reads the saved state of one section; null when it is not whole and its own.
kis::DataBuffer* ReadSavedLevel(kis::BaseDataFileReader* r, u32 regime, u32 level) {
  const u32 id = SavedLevelSectionId(regime, level);
  if (!r->HasSection(id, kProfileDataSectionSubId) || !r->OpenSection(id, kProfileDataSectionSubId)) return nullptr;
  auto* buffer = new kis::DataBuffer;
  const bool whole = buffer->ReadFromFile(r) && r->GetPosition() == r->GetSectionSize() && r->CloseSection();
  if (whole && buffer->playMode == regime && buffer->levelIndex == level) return buffer;
  delete buffer;
  return nullptr;
}

}  // namespace

constexpr RecordLayout kProfileHeaderLayout = MakeLayout(kProfileHeaderSize, kHeaderFields);
constexpr RecordLayout kProfileIndexLayout = MakeLayout(kIndexBlockSize, kIndexFields);
constexpr RecordLayout kShownAwardsLayout = MakeLayout(kShownAwardsSize, kShownAwardsFields);
static_assert(LayoutFits(kProfileHeaderLayout) && LayoutFits(kBestTimeLayout) && LayoutFits(kProfileIndexLayout));
static_assert(kShownAwardsSize == kProfileKeySize + 72);  // the key and the award counters' 72 bytes

bool ReadProfileFile(const std::u16string& path, PROFILEHEADER* header, PROFILEPROGRESS* progress,
                     AWARDCOUNTERS* shown, FileFault* fault) {
  if (fault) *fault = FileFault{};
  if (!Opens(path, fault)) return false;
  kis::DataFileReaderW* r = OpenProfileFile(path);
  if (!r) return Damaged(fault, "not a whole profile file (its head or its list of sections)");
  u8 head[kProfileHeaderSize];
  u8 body[kProfileKeySize + kProfileProgressSize];
  const bool headOk = ReadChecked(r, kProfileHeaderSectionId, kProfileHeaderSectionSubId, head, sizeof head) &&
                      kis::GetU32LE(head) == kProfileHeaderSize;
  bool ok = headOk && r->HasSection(kProgressSectionId, kProfileDataSectionSubId) &&
            r->OpenSection(kProgressSectionId, kProfileDataSectionSubId) && r->GetSectionSize() == sizeof body &&
            r->Read(body, sizeof body);
  ok = ok && std::memcmp(body, head + 4, kProfileKeySize) == 0 &&
       kis::GetU32LE(body + kProfileKeySize) == kProfileProgressSize;
  // The shown values are read last: a damaged section fails the reader,
  // and only itself.
  u8 seen[kShownAwardsSize];
  const bool hasShown = ok && r->HasSection(kShownAwardsSectionId, kProfileDataSectionSubId) &&
                        r->OpenSection(kShownAwardsSectionId, kProfileDataSectionSubId) &&
                        r->GetSectionSize() == sizeof seen && r->Read(seen, sizeof seen) &&
                        std::memcmp(seen, head + 4, kProfileKeySize) == 0;
  kis::CloseDataFile(r);
  if (!ok) return Damaged(fault, headOk ? "its progress does not check out" : "its header does not check out");
  ReadRecord(kProfileHeaderLayout, head, header);
  header->name[kProfileNameUnits - 1] = 0;
  ReadRecord(kProfileProgressLayout, body + kProfileKeySize, progress);
  SanitizeProfileProgress(progress);
  if (shown) {
    SHOWNAWARDS record;
    record.awards = progress->awards;
    if (hasShown) ReadRecord(kShownAwardsLayout, seen, &record);
    *shown = record.awards;
  }
  return true;
}

// A damaged section fails the whole reader (its errors are sticky), so the
// file is opened again for the sections after it.
bool ReadSavedLevels(const std::u16string& path, SavedLevels& slots) {
  kis::DataFileReaderW* r = OpenProfileFile(path);
  if (!r) return false;
  for (u32 regime = 0; regime < kProfileRegimes; ++regime) {
    for (u32 level = 0; level < kLevelCount; ++level) {
      if (!r) r = OpenProfileFile(path);
      if (!r || slots[regime][level]) continue;
      slots[regime][level] = ReadSavedLevel(r, regime, level);
      if (!r->IsOk()) {
        kis::CloseDataFile(r);
        r = nullptr;
      }
    }
  }
  kis::CloseDataFile(r);
  return true;
}

// Through the container when its directory is whole; else where the game's
// writer always puts the header: the first section, right after the
// container's 20-byte head (a file cut short keeps its start).
bool ReadProfileKey(const std::u16string& path, u8* key) {
  kis::DataFileReaderW* r = OpenProfileFile(path);
  u8 head[kProfileHeaderSize];
  bool ok = r && r->HasSection(kProfileHeaderSectionId, kProfileHeaderSectionSubId) &&
            r->OpenSection(kProfileHeaderSectionId, kProfileHeaderSectionSubId) && r->Read(head, sizeof head);
  kis::CloseDataFile(r);
  if (!ok) {
    constexpr u32 kFirstSection = 20;
    u8 start[kFirstSection + 4 + kProfileKeySize];
    std::FILE* f = plat::FileOpen(path, "rb");
    ok = f && plat::FileRead(f, start, sizeof start) == sizeof start &&
         kis::GetU32LE(start) == kProfileFileSignature1 && kis::GetU32LE(start + 4) == kProfileFileSignature2 &&
         kis::GetU32LE(start + kFirstSection) == kProfileHeaderSize;
    if (f) plat::FileClose(f);
    if (ok) std::memcpy(head, start + kFirstSection, 4 + kProfileKeySize);
  }
  if (ok) std::memcpy(key, head + 4, kProfileKeySize);
  return ok;
}

bool WriteProfileFile(const std::u16string& path, const PROFILEHEADER& header, const PROFILEPROGRESS& progress,
                      const SavedLevels& slots, const AWARDCOUNTERS* shown, int* error) {
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(path.c_str(), kProfileFileSignature1, kProfileFileSignature2,
                                                       kProfileFileVersion, true, GetResourceServices().fileFaults, error);
  if (!w) return false;
  u8 head[kProfileHeaderSize];
  WriteRecord(kProfileHeaderLayout, &header, head);
  u8 body[kProfileKeySize + kProfileProgressSize];
  std::memcpy(body, header.key, kProfileKeySize);
  WriteRecord(kProfileProgressLayout, &progress, body + kProfileKeySize);
  SHOWNAWARDS record;
  std::memcpy(record.key, header.key, kProfileKeySize);
  record.awards = shown ? *shown : progress.awards;
  u8 seen[kShownAwardsSize];
  WriteRecord(kShownAwardsLayout, &record, seen);
  bool ok = WriteChecked(w, kProfileHeaderSectionId, kProfileHeaderSectionSubId, head, sizeof head) &&
            w->BeginSection(kProgressSectionId, kProfileDataSectionSubId) && w->Write(body, sizeof body) &&
            w->EndSection() && w->BeginSection(kShownAwardsSectionId, kProfileDataSectionSubId) &&
            w->Write(seen, sizeof seen) && w->EndSection();
  for (u32 regime = 0; ok && regime < kProfileRegimes; ++regime)
    for (u32 level = 0; ok && level < kLevelCount; ++level)
      if (const kis::DataBuffer* saved = slots[regime][level])
        ok = w->BeginSection(SavedLevelSectionId(regime, level), kProfileDataSectionSubId) && saved->WriteToFile(w) &&
             w->EndSection();
  if (!ok) w->Fail();
  return Closed(w, error) && ok;
}

bool ReadIndexFile(const std::u16string& path, PROFILEINDEX* index, FileFault* fault) {
  if (fault) *fault = FileFault{};
  if (!Opens(path, fault)) return false;
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(path.c_str(), kIndexSignature1, kIndexSignature2, kIndexVersion);
  if (!r) return Damaged(fault, "not a whole index file");
  std::vector<u8> block(kIndexBlockSize);
  const bool ok = ReadChecked(r, kIndexSectionId, kIndexSectionSubId, block.data(), kIndexBlockSize) &&
                  kis::GetU32LE(block.data()) == kIndexBlockSize;
  kis::CloseDataFile(r);
  if (!ok) return Damaged(fault, "its block does not check out");
  ReadRecord(kProfileIndexLayout, block.data(), index);
  for (BESTTIME& b : index->best) b.name[kProfileNameUnits - 1] = 0;
  return true;
}

bool WriteIndexFile(const std::u16string& path, const PROFILEINDEX& index, int* error) {
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(path.c_str(), kIndexSignature1, kIndexSignature2, kIndexVersion,
                                                       true, GetResourceServices().fileFaults, error);
  if (!w) return false;
  std::vector<u8> block(kIndexBlockSize);
  WriteRecord(kProfileIndexLayout, &index, block.data());
  if (!WriteChecked(w, kIndexSectionId, kIndexSectionSubId, block.data(), kIndexBlockSize)) w->Fail();
  return Closed(w, error);
}

void FreeSavedLevels(SavedLevels& slots) {
  for (auto& regime : slots)
    for (kis::DataBuffer*& saved : regime) {
      delete saved;
      saved = nullptr;
    }
}
