#include "app/UserFiles.h"

#include <cerrno>
#include <cstring>

#include "platform/os/FileReplacement.h"
#include "platform/os/FileSystem.h"
#include "resources/ResourceServices.h"

namespace {

constexpr int kMaxAsideNames = 100;

}  // namespace

std::u16string UserFilePath(const std::u16string& folder, std::u16string_view name) {
  if (folder.empty()) return {};
  std::u16string path = folder;
  if (path.back() != u'/' && path.back() != u'\\') path += u'/';
  path += name;
  return path.size() <= kMaxUserPath ? path : std::u16string();
}

bool ReplaceFileBytes(const std::u16string& path, std::string_view bytes, int* error) {
  plat::FileReplacement file(GetResourceServices().fileFaults);
  const bool ok =
      !path.empty() && file.Begin(path, plat::FileReplacement::Temp::Backup) && file.Write(bytes) && file.Commit();
  if (error) *error = ok ? 0 : file.Error() ? file.Error() : EIO;
  return ok;
}

bool IsNoSpaceError(int error) { return error == ENOSPC || error == EDQUOT; }
bool IsNotAllowedError(int error) { return error == EACCES || error == EPERM || error == EROFS; }
bool IsFolderMovedError(int error) { return error == ESTALE; }

std::string SaveErrorText(int error, const std::u16string& path) {
  if (IsNoSpaceError(error)) return "no space left on the disk";
  if (IsNotAllowedError(error)) return "not allowed to write there";
  if (IsFolderMovedError(error)) return "the game's folder was moved or replaced while the game ran";
  if (error == ELOOP)  // links are not followed below the per-user folder
    return path.empty() || !plat::IsLink(path)           ? "a link is on the way to it"
           : plat::NonFileKind(path) == "a link to nothing" ? "a link to nothing is in its place"
                                                            : "a link is in its place";
  if (const std::string kind = path.empty() ? std::string() : plat::NonFileKind(path); !kind.empty())
    return kind + " is in its place";
  return std::strerror(error != 0 ? error : EIO);
}

std::u16string PutFileAside(const std::u16string& folder, const std::u16string& name) {
  const std::u16string from = UserFilePath(folder, name);
  for (int n = 1; n <= kMaxAsideNames && !from.empty(); ++n) {
    std::u16string aside = name + u".damaged";
    if (n > 1) {
      aside += u'-';
      for (char c : std::to_string(n)) aside += static_cast<char16_t>(c);
    }
    const std::u16string to = UserFilePath(folder, aside);
    if (to.empty()) break;
    if (plat::RenameFileNoReplace(from, to)) return aside;
    if (errno != EEXIST) break;
  }
  return {};
}
