// Buffered binary files for the data containers: the C runtime's stdio over
// the translated native path, with 64-bit positions and no text translation.
//
// For tests the writes can be made to fail: SetWriteFaultAfter(n) lets the next
// n bytes through and fails every write after them (the process-wide budget
// covers all files written through FileWrite), so a save can be broken midway.
// A full disk fails a write that goes to it at once, but the stream's buffer
// takes the small ones and its flush fails later, in the next seek, sync or
// close: WriteFault::AtFlush stands in for that (the bytes past the budget are
// taken as into the buffer; the stream's next seek or sync fails with no
// space left and drops them, as the C runtime drops what it could not write,
// and a close before either fails the same way).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace plat {

// mode is "rb" or "wb". Null when the file cannot be opened or is not a
// regular file: a named pipe or a device is refused without waiting on it.
std::FILE* FileOpen(std::u16string_view path, const char* mode);
// A stream over an open descriptor (mode "wb" or "rb"); the stream owns it
// from here. Null on failure, and the descriptor is closed.
std::FILE* FileFromDescriptor(int fd, const char* mode);
bool FileClose(std::FILE* f);                       // true when the close succeeded
size_t FileRead(std::FILE* f, void* buffer, size_t count);          // bytes read
size_t FileWrite(std::FILE* f, const void* buffer, size_t count);   // bytes written
bool FileSeek(std::FILE* f, uint64_t position);     // absolute
bool FileTell(std::FILE* f, uint64_t* position);
bool FileSize(std::FILE* f, uint64_t* size);        // on-disk size; keeps the position
// Pushes buffered bytes to the system and waits until they are on the disk.
bool FileSync(std::FILE* f);

// Test seam: a negative budget (the default) turns the fault off.
enum class WriteFault { AtWrite, AtFlush };
void SetWriteFaultAfter(int64_t bytes, WriteFault where = WriteFault::AtWrite);

}  // namespace plat
