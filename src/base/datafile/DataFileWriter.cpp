#include "base/datafile/DataFileWriter.h"

#include <cerrno>

#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "base/datafile/FileRoutines.h"

namespace kis {
namespace {

void AppendU32(std::vector<u8>* out, u32 v) {
  u8 b[4];
  PutU32LE(b, v);
  out->insert(out->end(), b, b + 4);
}

// Serialises one directory record and its subtree in reading order: id and
// sub-id (not for the root), the counts and their check, the children, then
// the entries.
void AppendDirectory(std::vector<u8>* out, const DATAFILEDIR& node, bool isRoot) {
  if (!isRoot) {
    AppendU32(out, node.id);
    AppendU32(out, node.subId);
  }
  u8 counts[8];
  PutU32LE(counts, node.childCount);
  PutU32LE(counts + 4, static_cast<u32>(node.entries.size()));
  out->insert(out->end(), counts, counts + 8);
  AppendU32(out, Crc32(counts, 8));
  for (const DATAFILEDIR* c = node.firstChild; c; c = c->next) AppendDirectory(out, *c, false);
  for (const DATAFILEENTRY& e : node.entries) {
    AppendU32(out, e.id);
    AppendU32(out, e.subId);
    AppendU32(out, e.offset);
    AppendU32(out, e.size);
  }
}

}  // namespace

bool BaseDataFileWriter::Header() {
  u8 h[16];
  PutU32LE(h, signature1_);
  PutU32LE(h + 4, signature2_);
  PutU32LE(h + 8, 16);
  PutU32LE(h + 12, root_.subId);
  if (!WriteBytes(h, sizeof h)) return false;
  if (!GetFileOffset(&position_)) return false;
  const u8 zero[4] = {};
  return WriteBytes(zero, sizeof zero);
}

bool BaseDataFileWriter::BeginSection(u32 id, u32 subId) {
  if (state_ != 0) return false;
  if (section_) return Fail();
  u64 pos = 0;
  if (!GetFileOffset(&pos)) return false;
  auto& entries = current_->entries;
  // Grow by 8 entries while small, then by half.
  if (entries.size() == entries.capacity()) {
    const size_t cap = entries.capacity();
    entries.reserve(cap < 32 ? cap + 8 : cap + cap / 2);
  }
  entries.push_back(DATAFILEENTRY{id, subId, static_cast<u32>(pos), 0});
  section_ = &entries.back();
  return true;
}

bool BaseDataFileWriter::Write(const void* buffer, u32 count) {
  if (state_ != 0) return false;
  if (!section_ || static_cast<u64>(section_->offset) + section_->size + count >= kDataFileMaxPosition)
    return Fail();
  if (!WriteBytes(buffer, count)) return false;
  section_->size += count;
  return true;
}

bool BaseDataFileWriter::WriteCrc(const void* buffer, u32 count, u32* runningCrc) {
  if (!Write(buffer, count)) return false;
  if (runningCrc) *runningCrc = UpdateCrc32(buffer, count, 0, *runningCrc);
  return true;
}

bool BaseDataFileWriter::EndSection() {
  if (state_ != 0) return false;
  if (!section_) return Fail();
  section_ = nullptr;
  return true;
}

bool BaseDataFileWriter::BeginDirectory(u32 id, u32 subId) {
  if (state_ != 0) return false;
  if (section_ || depth_ >= kDataFileMaxDepth) return Fail();
  current_ = current_->AddChild(id, subId);
  ++depth_;
  return true;
}

bool BaseDataFileWriter::EndDirectory() {
  if (state_ != 0) return false;
  if (section_ || current_ == &root_ || !current_->parent) return Fail();
  current_ = current_->parent;
  --depth_;
  return true;
}

// The directory goes at the end of the file; its offset is then patched into
// the header field remembered when the header was written.
bool BaseDataFileWriter::Finish() {
  if (state_ != 0) return false;
  if (section_ || current_ != &root_) return Fail();
  u64 dirOffset = 0;
  if (!GetFileOffset(&dirOffset)) return false;
  std::vector<u8> dir;
  AppendDirectory(&dir, root_, true);
  if (dirOffset + dir.size() >= kDataFileMaxPosition) return Fail();
  if (!WriteBytes(dir.data(), dir.size())) return false;
  if (!SeekFile(position_)) return false;
  u8 field[4];
  PutU32LE(field, static_cast<u32>(dirOffset));
  return WriteBytes(field, sizeof field);
}

// A good safe save puts its temporary file in the file's place; when that
// fails the save fails. A failed safe save removes its temporary file; a
// failed save in place deletes its partial output.
void DataFileWriterW::Commit() {
  if (replacement_.IsActive()) {
    if (state_ & kStateFailed)
      replacement_.Abandon();
    else if (!replacement_.Commit()) {
      NoteError(replacement_.Error());
      state_ |= kStateFailed;
    }
  } else if (state_ & kStateFailed) {
    RemoveFileW(name_.c_str());
  }
}

DataFileWriterW* CreateDataFileWriterW(const wchar* name, u32 signature1, u32 signature2, u32 version,
                                       bool safe, plat::FileFaults* faults, int* error) {
  auto* writer = new DataFileWriterW(signature1, signature2, version, faults);
  if (error) *error = 0;
  if (!writer->Open(name, safe)) {
    if (error) *error = writer->GetError() ? writer->GetError() : EIO;
    delete writer;
    return nullptr;
  }
  return writer;
}

}  // namespace kis
