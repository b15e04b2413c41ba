// File-system services of the platform layer: path translation, attributes,
// delete, rename, current and program folder. Below the per-user folder
// the calls that change the disk follow no link and refuse once that
// folder was swapped for another (HeldFolder.h; errno ELOOP, ESTALE).
//
// Paths from the game use "\\" or "/" as separators and are spelled loosely
// ("Data\\Logos\\logos.txt"): NativePath turns them into UTF-8 Linux paths and,
// when a component does not exist as spelled, takes the entry of that folder
// whose name matches it ignoring the case of A-Z. A leading separator is the
// root; anything else is relative to the current folder.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

std::string NativePath(std::u16string_view path);
std::string NativePath(std::string_view utf8Path);

// Attribute bits in the shape the game tests them.
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrDevice = 0x40;
constexpr uint32_t kAttrNormal = 0x80;

// kInvalidAttributes when the entry does not exist; kAttrDevice alone for
// anything that is neither a folder nor a regular file (a device, a named
// pipe, a socket).
uint32_t GetFileAttributes(std::u16string_view path);

bool DeleteFile(std::u16string_view path);
// Atomically replaces `to` when it exists.
bool RenameFile(std::u16string_view from, std::u16string_view to);
// Renames only when nothing is called `to` yet: an existing `to` is never
// replaced (false, errno EEXIST).
bool RenameFileNoReplace(std::u16string_view from, std::u16string_view to);
// True when it exists afterwards. Below the per-user folder it is made
// 0700, and one of this user that others may enter is closed to them.
bool CreateDirectory(std::u16string_view path);
// Removes an empty folder; false when it is not there, not empty or not a folder.
bool RemoveDirectory(std::u16string_view path);
// The names of every entry of a folder but "." and ".." (plain files,
// folders, links whether they lead anywhere or not, named pipes, devices),
// as spelled on the disk, in no particular order; empty when it cannot be
// read. Nothing listed is opened.
std::vector<std::u16string> ListEntries(std::u16string_view folder);
// Whether the path's last name is a symbolic link (leading anywhere or not).
bool IsLink(std::u16string_view path);
// What stands at the path when it is not a plain file (links followed),
// in words: "a folder", "a named pipe", "a device", "a socket", "a link to
// nothing"; empty for a plain file and where nothing is. Nothing is opened.
std::string NonFileKind(std::u16string_view path);

// The current folder and the running program's full path, as UTF-16 with "/"
// separators. The folder has no trailing separator.
std::u16string GetCurrentDirectory();
std::u16string GetProgramPath();
// Makes the folder the current one; false when it cannot be.
bool SetCurrentDirectory(std::u16string_view path);

}  // namespace plat
