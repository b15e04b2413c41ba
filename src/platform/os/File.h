// Handle-based file access over POSIX file descriptors, in the shape the
// game's file streams use: open an existing file with read and/or write
// access, create (or truncate) a file, read, write, seek with 64-bit offsets,
// cut at the current position, flush, close.
//
// Paths go through NativePath, so "\\" separators and loosely spelled
// components work. 8-bit paths are UTF-8. Reads and writes loop until the
// whole count is transferred (or the end of the file is met), whatever its
// size. Only regular files are opened. Windows share modes have no
// counterpart here: other openers are never locked out. Below the per-user
// folder a file opened for writing or created is reached through that
// folder's descriptor, following no link, and one made there is 0600
// (HeldFolder.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

using FileHandle = int;
constexpr FileHandle kInvalidFile = -1;

// Access bits for OpenFile. With neither bit the file is opened for reading.
constexpr uint32_t kFileRead = 1;
constexpr uint32_t kFileWrite = 2;

// Result of ReadFile/WriteFile when the transfer failed.
constexpr uint64_t kFileError = ~uint64_t{0};

// Opens an existing regular file; kInvalidFile when it is missing, not
// accessible or not a regular file (a folder, a device, a named pipe: refused
// without waiting on it). The caller closes a handle it gets (CloseFile), as for
// CreateFile.
FileHandle OpenFile(std::u16string_view path, uint32_t access);
FileHandle OpenFile(std::string_view utf8Path, uint32_t access);

// Creates the file for reading and writing, or truncates an existing
// regular one (anything else is refused untouched).
FileHandle CreateFile(std::u16string_view path);
FileHandle CreateFile(std::string_view utf8Path);

// Bytes transferred (short only at the end of the file for reads), or
// kFileError.
uint64_t ReadFile(FileHandle file, void* buffer, uint64_t size);
uint64_t WriteFile(FileHandle file, const void* buffer, uint64_t size);

// origin: 0 from the beginning, 1 from the current position, 2 from the end.
// False when the move fails (bad origin, or a position below 0).
bool SeekFile(FileHandle file, int64_t offset, uint32_t origin, uint64_t* newPosition);

// Makes the current position the end of the file (cutting or extending it).
bool TruncateFile(FileHandle file);

// Pushes written data to the disk.
bool FlushFile(FileHandle file);

void CloseFile(FileHandle file);

// Opens a regular file and nothing else, without waiting on what the path
// names: a named pipe, a device, a socket or a folder is refused before a
// byte is read (notRegular then says so). flags are open(2)'s access and
// creation bits; O_TRUNC cuts the file only once it is known to be regular.
// The descriptor (close-on-exec, blocking) is the caller's to close; -1 on
// failure, with errno from the system for a missing or inaccessible file.
int OpenRegularFile(const std::string& nativePath, int flags, bool* notRegular = nullptr);
// The same for a path relative to an open folder (openat(2)).
int OpenRegularFileAt(int folder, const std::string& path, int flags, bool* notRegular = nullptr);

}  // namespace plat
