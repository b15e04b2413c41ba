// File path helpers over bounded buffers.
//
// Both "\\" and "/" separate components. A path is rooted when it starts with
// a drive ("C:"), a network share ("\\\\server\\share") or a "/" (a Linux
// absolute path); a rooted path is never glued under a base folder. The folder
// part of a path ends at its last separator or ":". Sizes are in characters
// including the terminator; writers cut their output to the buffer and always
// terminate it (a null buffer or size 0 is left alone). Templates over the
// character type; the W and A names below are the ones the game calls.
#pragma once

#include "base/Types.h"

namespace kis {

// The path up to and including its last separator or ":"; empty when none.
template <class C> C* ExtractFilePath(C* buf, u32 size, const C* path);
// The part after the last separator or ":", with one extension removed unless
// keepExtension is set.
template <class C> C* ExtractFileName(C* buf, u32 size, const C* path, bool keepExtension);
// Address of the extension's dot (withDot) or of the character after it; null
// when the file name has no extension.
template <class C> const C* FindFileExt(const C* path, bool withDot);
// Cuts the last extension of the file name, or every extension when all is set.
template <class C> C* RemoveExt(C* path, bool all);
// Appends "\\" unless the path already ends with a separator or the buffer is
// full; an empty path becomes "\\".
template <class C> C* AddBackslash(C* path, u32 size);
// Removes one final separator.
template <class C> C* RemoveTrailingBackslash(C* path);
// A path with no ":" that is neither rooted by "/" nor a network path is put
// under the folder of `base` (when base is non-empty) and gets `suffix`
// appended; any other path is copied unchanged. buf may be path.
template <class C> C* MakeAbsolutePath(C* buf, u32 size, const C* path, const C* base, const C* suffix);
// Resolves path against base (without its file name when dropFileName is set):
// "." components vanish, ".." removes the previous one but never climbs above
// the root, runs of separators count as one. False when the result does not
// fit or a network root lacks its server or share name. buf may be base or path.
template <class C> bool CombinePath(C* buf, u32 size, const C* base, const C* path, bool dropFileName);
// The running program's folder, with its final separator.
template <class C> C* GetAppDir(C* buf, u32 size);
// Index of the last character at or before `limit` that belongs to `set`; -1
// when none does. A limit past the text means its last character.
template <class C> i32 StrFindLastOf(const C* text, const C* set, i32 limit);

// True when the entry exists and is neither a folder nor a device.
bool IsExistingFileW(const wchar* path);

inline wchar* ExtractFilePathW(wchar* b, u32 s, const wchar* p) { return ExtractFilePath(b, s, p); }
inline char* ExtractFilePathA(char* b, u32 s, const char* p) { return ExtractFilePath(b, s, p); }
inline wchar* ExtractFileNameW(wchar* b, u32 s, const wchar* p, bool keepExt) { return ExtractFileName(b, s, p, keepExt); }
inline const wchar* FindFileExtW(const wchar* p, bool withDot) { return FindFileExt(p, withDot); }
inline wchar* RemoveExtW(wchar* p, bool all) { return RemoveExt(p, all); }
inline wchar* AddBackslashW(wchar* p, u32 s) { return AddBackslash(p, s); }
inline wchar* RemoveTrailingBackslashW(wchar* p) { return RemoveTrailingBackslash(p); }
inline char* RemoveTrailingBackslashA(char* p) { return RemoveTrailingBackslash(p); }
inline wchar* MakeAbsolutePathW(wchar* b, u32 s, const wchar* p, const wchar* base, const wchar* suffix) {
  return MakeAbsolutePath(b, s, p, base, suffix);
}
inline char* MakeAbsolutePathA(char* b, u32 s, const char* p, const char* base, const char* suffix) {
  return MakeAbsolutePath(b, s, p, base, suffix);
}
inline bool CombinePathW(wchar* b, u32 s, const wchar* base, const wchar* p, bool dropFileName) {
  return CombinePath(b, s, base, p, dropFileName);
}
inline wchar* GetAppDirW(wchar* b, u32 s) { return GetAppDir(b, s); }
inline char* GetAppDirA(char* b, u32 s) { return GetAppDir(b, s); }
inline i32 StrFindLastOfW(const wchar* t, const wchar* set, i32 limit) { return StrFindLastOf(t, set, limit); }
inline i32 StrFindLastOfA(const char* t, const char* set, i32 limit) { return StrFindLastOf(t, set, limit); }

}  // namespace kis
