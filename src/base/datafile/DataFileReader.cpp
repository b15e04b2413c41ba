#include "base/datafile/DataFileReader.h"

#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "platform/os/StdioFile.h"

namespace kis {
namespace {

constexpr u64 kHeaderSize = 20;
constexpr u64 kDirRecordSize = 12;   // child count, entry count, check
constexpr u64 kDirIdSize = 8;        // id and sub-id of a non-root record
constexpr u64 kEntrySize = 16;

}  // namespace

bool BaseDataFileReader::Header() {
  u8 h[kHeaderSize];
  if (!ReadBytes(h, kHeaderSize)) return false;
  if (GetU32LE(h) != signature1_ || GetU32LE(h + 4) != signature2_) return false;
  if (GetU32LE(h + 8) != 16) return false;
  const u32 version = GetU32LE(h + 12);
  if (version != root_.subId && root_.subId != 0xFFFFFFFFu) return Fail();
  root_.subId = version;
  const u32 dirOffset = GetU32LE(h + 16);
  if (dirOffset == 0) return false;
  u64 fileSize = 0;
  if (!plat::FileSize(file_, &fileSize)) return Fail();
  fileSize_ = fileSize;
  // The directory must start after the header and fit in what the file holds.
  if (dirOffset < kHeaderSize || dirOffset > fileSize || fileSize - dirOffset < kDirRecordSize)
    return false;
  if (!SeekFile(dirOffset)) return false;
  u64 remaining = fileSize - dirOffset;
  if (!ReadDirectory(&root_, 0, &remaining)) return false;
  current_ = &root_;
  return true;
}

// Reads one directory record and its subtree. Each count is checked against
// the bytes still left in the file (a child needs at least 20, an entry 16)
// before anything is allocated, and the nesting is limited.
bool BaseDataFileReader::ReadDirectory(DATAFILEDIR* node, u32 depth, u64* remaining) {
  if (depth > kDataFileMaxDepth) return Fail();
  if (node != &root_) {
    u8 ids[kDirIdSize];
    if (*remaining < kDirIdSize || !ReadBytes(ids, kDirIdSize)) return Fail();
    *remaining -= kDirIdSize;
    node->id = GetU32LE(ids);
    node->subId = GetU32LE(ids + 4);
  }
  u8 rec[kDirRecordSize];
  if (*remaining < kDirRecordSize || !ReadBytes(rec, kDirRecordSize)) return Fail();
  *remaining -= kDirRecordSize;
  const u32 childCount = GetU32LE(rec);
  const u32 entryCount = GetU32LE(rec + 4);
  if (Crc32(rec, 8) != GetU32LE(rec + 8)) return Fail();
  const u64 needed = static_cast<u64>(childCount) * (kDirIdSize + kDirRecordSize) +
                     static_cast<u64>(entryCount) * kEntrySize;
  if (needed > *remaining) return Fail();

  for (u32 i = 0; i < childCount; ++i) {
    DATAFILEDIR* child = node->AddChild(0, 0);
    if (!ReadDirectory(child, depth + 1, remaining)) return false;
  }

  const u64 bytes = static_cast<u64>(entryCount) * kEntrySize;
  if (bytes > *remaining) return Fail();
  std::vector<u8> raw(static_cast<size_t>(bytes));
  if (!ReadBytes(raw.data(), bytes)) return false;
  *remaining -= bytes;
  node->entries.resize(entryCount);
  for (u32 i = 0; i < entryCount; ++i) {
    const u8* e = raw.data() + static_cast<size_t>(i) * kEntrySize;
    node->entries[i] = DATAFILEENTRY{GetU32LE(e), GetU32LE(e + 4), GetU32LE(e + 8), GetU32LE(e + 12)};
    // A section that reaches past the end of the file is damage; its size
    // would otherwise let a reader size allocations by it.
    if (u64{node->entries[i].offset} + node->entries[i].size > fileSize_) return Fail();
  }
  return true;
}

DATAFILEENTRY* BaseDataFileReader::FindEntry(u32 id, u32 subId) {
  if (section_ && section_->id == id && (subId == 0xFFFFFFFFu || section_->subId == subId)) return section_;
  for (DATAFILEENTRY& e : current_->entries)
    if (e.id == id && (subId == 0xFFFFFFFFu || e.subId == subId)) return &e;
  return nullptr;
}

bool BaseDataFileReader::OpenSection(u32 id, u32 subId) {
  if (state_ != 0) return false;
  DATAFILEENTRY* e = FindEntry(id, subId);
  if (!e) return Fail();
  return OpenEntry(e);
}

bool BaseDataFileReader::HasSection(u32 id, u32 subId) {
  if (state_ != 0) return false;
  return FindEntry(id, subId) != nullptr;
}

bool BaseDataFileReader::OpenEntry(const DATAFILEENTRY* entry) {
  if (state_ != 0) return false;
  // Only entries of the current directory can be opened.
  auto& entries = current_->entries;
  if (!entry || entries.empty() || entry < entries.data() || entry >= entries.data() + entries.size())
    return Fail();
  DATAFILEENTRY* e = &entries[static_cast<size_t>(entry - entries.data())];
  if (e == section_) return true;
  section_ = e;
  position_ = 0;
  return SeekFile(e->offset);
}

bool BaseDataFileReader::CloseSection() {
  if (state_ != 0) return false;
  if (!section_) return Fail();
  section_ = nullptr;
  position_ = 0;
  return true;
}

u32 BaseDataFileReader::GetSectionSize() const { return state_ == 0 && section_ ? section_->size : 0; }

bool BaseDataFileReader::Read(void* buffer, u32 count) {
  if (state_ != 0) return false;
  if (!section_ || count >= 0x80000000u || position_ + count > section_->size) return Fail();
  if (!ReadBytes(buffer, count)) return false;
  position_ += count;
  return true;
}

bool BaseDataFileReader::ReadChecked(void* buffer, u32 count, u32 crc) {
  if (!Read(buffer, count)) return false;
  if (Crc32(buffer, count) != crc) return Fail();
  return true;
}

bool BaseDataFileReader::ReadCrc(void* buffer, u32 count, u32* runningCrc) {
  if (!Read(buffer, count)) return false;
  if (runningCrc) *runningCrc = UpdateCrc32(buffer, count, 0, *runningCrc);
  return true;
}

bool BaseDataFileReader::Seek(u32 position) {
  if (state_ != 0) return false;
  if (!section_ || position > section_->size) return Fail();
  if (position == position_) return true;
  if (!SeekFile(static_cast<u64>(section_->offset) + position)) return false;
  position_ = position;
  return true;
}

bool BaseDataFileReader::OwnsEntry(const DATAFILEDIR* node, const DATAFILEENTRY* entry) const {
  const auto& entries = node->entries;
  if (!entries.empty() && entry >= entries.data() && entry < entries.data() + entries.size()) return true;
  for (const DATAFILEDIR* c = node->firstChild; c; c = c->next)
    if (OwnsEntry(c, entry)) return true;
  return false;
}

// A side read: the file position moves to the entry and comes back to where
// the open section reads next. A short read leaves the file in order (the
// entry only claimed bytes the file lacks); a seek that fails does not.
bool BaseDataFileReader::ReadEntryBytes(const DATAFILEENTRY* entry, u32 position, void* buffer, u32 count) {
  if (state_ != 0 || !entry || (count > 0 && !buffer) || !OwnsEntry(&root_, entry)) return false;
  if (position > entry->size || count > entry->size - position) return false;
  const u64 at = static_cast<u64>(entry->offset) + position;
  if (at + count >= kDataFileMaxPosition) return false;
  if (count == 0) return true;
  if (!SeekFile(at)) return false;
  const bool read = plat::FileRead(file_, buffer, count) == count;
  if (section_ && !SeekFile(static_cast<u64>(section_->offset) + position_)) return false;
  return read;
}

bool BaseDataFileReader::EnterDirectory(u32 id, u32 subId) {
  if (state_ != 0) return false;
  if (section_) return Fail();
  DATAFILEDIR* child = current_->firstChild;
  while (child && !(child->id == id && (subId == 0xFFFFFFFFu || child->subId == subId))) child = child->next;
  if (!child) return Fail();
  if (child != current_) {
    child->returnLink = current_;
    current_ = child;
  }
  return true;
}

bool BaseDataFileReader::LeaveDirectory() {
  if (state_ != 0) return false;
  if (section_ || !current_->returnLink) return Fail();
  DATAFILEDIR* back = current_->returnLink;
  current_->returnLink = nullptr;
  current_ = back;
  return true;
}

u32 BaseDataFileReader::GetFilePos() const {
  if (state_ != 0 || !section_) return 0xFFFFFFFFu;
  const u64 pos = static_cast<u64>(section_->offset) + position_;
  return pos >= 0xFFFFFFFEu ? 0xFFFFFFFFu : static_cast<u32>(pos);
}

DataFileReaderW* OpenDataFileReaderW(const wchar* name, u32 signature1, u32 signature2, u32 version) {
  auto* reader = new DataFileReaderW(signature1, signature2, version);
  if (!reader->Open(name)) {
    delete reader;
    return nullptr;
  }
  return reader;
}

}  // namespace kis
