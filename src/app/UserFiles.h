// UserFiles - what the per-user files share: their paths in a folder, and
// writing a file whole through plat::FileReplacement (the old file stays
// byte for byte unless the new one is complete on the disk).
#pragma once

#include <string>
#include <string_view>

#include "base/Types.h"

constexpr size_t kMaxUserPath = 259;  // characters of a per-user file's path (the container's limit)

// folder + "/" + name (no second separator when the folder ends in one);
// empty for an empty folder or a path longer than kMaxUserPath.
std::u16string UserFilePath(const std::u16string& folder, std::u16string_view name);
// Replaces the file with exactly these bytes; false (the old file kept)
// when any step fails.
bool ReplaceFileBytes(const std::u16string& path, std::string_view bytes);
