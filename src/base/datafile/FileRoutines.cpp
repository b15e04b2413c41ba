#include "base/datafile/FileRoutines.h"

#include <string_view>

#include "platform/os/FileSystem.h"

namespace kis {
namespace {

bool Valid(const wchar* name) { return name && name[0]; }

}  // namespace

bool FileExistsW(const wchar* name) {
  return Valid(name) && plat::GetFileAttributes(std::u16string_view(name)) != plat::kInvalidAttributes;
}

bool RemoveFileW(const wchar* name) { return Valid(name) && plat::DeleteFile(std::u16string_view(name)); }

bool RenameFileW(const wchar* from, const wchar* to) {
  return Valid(from) && Valid(to) && plat::RenameFile(std::u16string_view(from), std::u16string_view(to));
}

}  // namespace kis
