#include "base/FileStream.h"

#include <cstdint>
#include <string_view>

namespace kis {

namespace {

u32 AccessOf(u32 mode) {
  u32 access = 0;
  if (mode & kStreamRead) access |= plat::kFileRead;
  if (mode & kStreamWrite) access |= plat::kFileWrite;
  return access;
}

template <class C>
plat::FileHandle OpenByMode(const C* name, u32 mode) {
  if (!name || !name[0]) return plat::kInvalidFile;
  const std::basic_string_view<C> path(name);
  if (mode == kStreamCreate) return plat::CreateFile(path);
  return plat::OpenFile(path, AccessOf(mode));
}

}  // namespace

HandleStream::~HandleStream() {
  if (IsOpen()) plat::CloseFile(handle_);
  handle_ = plat::kInvalidFile;
}

bool HandleStream::SetSize(u64 size) {
  if (!IsOpen() || size > static_cast<u64>(INT64_MAX)) return false;
  u64 at = 0;
  if (!plat::SeekFile(handle_, static_cast<i64>(size), 0, &at)) return false;
  return plat::TruncateFile(handle_);
}

u64 HandleStream::Seek(i64 offset, u32 origin) {
  u64 at = 0;
  if (!plat::SeekFile(handle_, offset, origin, &at)) return 0;
  return at;
}

u64 HandleStream::Read(void* buffer, u64 size) { return plat::ReadFile(handle_, buffer, size); }

u64 HandleStream::Write(const void* buffer, u64 size) { return plat::WriteFile(handle_, buffer, size); }

FileStreamW::FileStreamW(const wchar* name, u32 mode) : HandleStream(OpenByMode(name, mode)) {}

FileStreamA::FileStreamA(const char* name, u32 mode) : HandleStream(OpenByMode(name, mode)) {}

}  // namespace kis
