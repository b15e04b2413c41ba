#include "app/UserFiles.h"

#include "platform/os/FileReplacement.h"

std::u16string UserFilePath(const std::u16string& folder, std::u16string_view name) {
  if (folder.empty()) return {};
  std::u16string path = folder;
  if (path.back() != u'/' && path.back() != u'\\') path += u'/';
  path += name;
  return path.size() <= kMaxUserPath ? path : std::u16string();
}

bool ReplaceFileBytes(const std::u16string& path, std::string_view bytes) {
  plat::FileReplacement file;
  return !path.empty() && file.Begin(path, plat::FileReplacement::Temp::Backup) && file.Write(bytes) && file.Commit();
}
