#include "base/datafile/BaseDataFile.h"

#include <cerrno>

#include "platform/os/FileReplacement.h"
#include "platform/os/FileSystem.h"
#include "platform/os/StdioFile.h"

namespace kis {

DATAFILEDIR* DATAFILEDIR::AddChild(u32 childId, u32 childSubId) {
  auto* child = new DATAFILEDIR;
  child->id = childId;
  child->subId = childSubId;
  child->parent = this;
  if (lastChild)
    lastChild->next = child;
  else
    firstChild = child;
  lastChild = child;
  ++childCount;
  return child;
}

// Children are freed level by level through their own destructors; the depth
// is bounded by kDataFileMaxDepth, so the recursion stays shallow.
void DATAFILEDIR::FreeChildren() {
  DATAFILEDIR* c = firstChild;
  while (c) {
    DATAFILEDIR* following = c->next;
    delete c;
    c = following;
  }
  firstChild = lastChild = nullptr;
  childCount = 0;
}

BaseDataFile::BaseDataFile(u32 signature1, u32 signature2, u32 version)
    : signature1_(signature1), signature2_(signature2) {
  root_.subId = version;
}

// The concrete classes close (and commit) in their own destructors; here only
// what is left is released, without virtual calls.
BaseDataFile::~BaseDataFile() {
  if (file_) plat::FileClose(file_);
  file_ = nullptr;
}

u32 BaseDataFile::GetPosition() const {
  if (state_ != 0) return 0xFFFFFFFFu;
  return static_cast<u32>(position_);
}

bool BaseDataFile::Close() {
  if (state_ & kStateClosed) return (state_ & kStateFailed) == 0;
  if (state_ == 0) {
    Finish();
    if (state_ & kStateClosed) return false;  // Finish failed the file, which closed it
    // A writer's bytes must be on the disk before the commit may replace
    // anything with them.
    if (writing_ && !plat::FileSync(file_)) {
      NoteError(errno);
      state_ |= kStateFailed;
    }
  }
  if (file_) {
    if (!plat::FileClose(file_) && writing_) {
      NoteError(errno);
      state_ |= kStateFailed;
    }
    file_ = nullptr;
  }
  root_.FreeChildren();
  root_.entries.clear();
  root_.entries.shrink_to_fit();
  root_.returnLink = nullptr;
  current_ = &root_;
  section_ = nullptr;
  position_ = 0;
  Commit();
  state_ |= kStateClosed;
  return (state_ & kStateFailed) == 0;
}

bool BaseDataFile::Fail() {
  if (state_ != 0) return false;
  state_ = kStateFailed;
  Close();
  return false;
}

bool BaseDataFile::Open(const wchar* name, bool write, std::u16string* nameOut,
                        plat::FileReplacement* replacement) {
  if (!name || !name[0] || !nameOut) return false;
  size_t len = 0;
  while (len < 260 && name[len]) ++len;
  if (len >= 260) return false;
  nameOut->assign(name, len);
  writing_ = write;
  if (!write) {
    file_ = plat::FileOpen(*nameOut, "rb");
  } else if (replacement) {
    if (replacement->Begin(*nameOut, plat::FileReplacement::Temp::Backup))
      file_ = plat::FileFromDescriptor(replacement->TakeDescriptor(), "wb");
    if (!file_) NoteError(replacement->Error() ? replacement->Error() : errno);
    if (!file_) replacement->Abandon();
  } else {
    const u32 attributes = plat::GetFileAttributes(*nameOut);
    if (attributes == plat::kInvalidAttributes || (attributes & plat::kAttrReadOnly) == 0)
      file_ = plat::FileOpen(*nameOut, "wb");
  }
  if (!file_) return false;
  state_ = 0;
  current_ = &root_;
  if (!Header()) Fail();
  return IsOk();
}

bool BaseDataFile::ReadBytes(void* buffer, u64 count) {
  if (state_ != 0) return false;
  if (count == 0) return true;
  if (!buffer || count > SIZE_MAX || plat::FileRead(file_, buffer, static_cast<size_t>(count)) != count)
    return Fail();
  return true;
}

bool BaseDataFile::WriteBytes(const void* buffer, u64 count) {
  if (state_ != 0) return false;
  if (count == 0) return true;
  if (!buffer || count > SIZE_MAX || plat::FileWrite(file_, buffer, static_cast<size_t>(count)) != count) {
    NoteError(errno);
    return Fail();
  }
  return true;
}

// A writer's seek flushes its buffer first: on a full disk this is where the
// save meets it, so the system's reason is kept.
bool BaseDataFile::SeekFile(u64 position) {
  if (state_ != 0) return false;
  if (position >= kDataFileMaxPosition) return Fail();
  if (!plat::FileSeek(file_, position)) {
    NoteError(errno);
    return Fail();
  }
  return true;
}

bool BaseDataFile::GetFileOffset(u64* position) {
  if (state_ != 0) return false;
  u64 p = 0;
  if (!plat::FileTell(file_, &p)) {
    NoteError(errno);
    return Fail();
  }
  if (p >= kDataFileMaxPosition) return Fail();
  *position = p;
  return true;
}

bool CloseDataFile(BaseDataFile* file) {
  if (!file) return false;
  const bool ok = file->Close();
  delete file;
  return ok;
}

}  // namespace kis
