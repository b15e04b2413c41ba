// UserFiles - what the per-user files share: their paths in a folder,
// writing a file whole through plat::FileReplacement (the old file stays
// byte for byte unless the new one is complete on the disk), the failure of
// a save in words, and putting a damaged file aside.
//
// Saves go through the resource services' file faults (ResourceServices::fileFaults)
// when a test installed them.
#pragma once

#include <string>
#include <string_view>

#include "base/Types.h"

constexpr size_t kMaxUserPath = 259;  // characters of a per-user file's path (the container's limit)

// folder + "/" + name (no second separator when the folder ends in one);
// empty for an empty folder or a path longer than kMaxUserPath.
std::u16string UserFilePath(const std::u16string& folder, std::u16string_view name);
// Replaces the file with exactly these bytes; false (the old file kept)
// when any step fails, with the system's error in `error` when given.
bool ReplaceFileBytes(const std::u16string& path, std::string_view bytes, int* error = nullptr);
// A failed save's system error in words: "no space left on the disk",
// "not allowed to write there", the game's folder moved or replaced while
// it ran, a link in the file's place or on the way to it (links are not
// followed below the per-user folder), what stands in the file's place
// when that is no plain file ("a named pipe is in its place"; `path` the
// file's), else the system's own text.
std::string SaveErrorText(int error, const std::u16string& path = {});
// Whether the reason is one of the two the player is told apart: no space
// (ENOSPC, EDQUOT), not allowed (EACCES, EPERM, EROFS).
bool IsNoSpaceError(int error);
bool IsNotAllowedError(int error);
// The per-user folder's path names another folder than the one the game
// holds (plat::HeldFolder): nothing is saved there.
bool IsFolderMovedError(int error);
// Renames a damaged file to "<name>.damaged" (then ".damaged-2", ...) in its
// folder, never replacing anything; the new name, or empty when it could
// not be moved (it then stays where it is).
std::u16string PutFileAside(const std::u16string& folder, const std::u16string& name);
