// The file routines the data containers stand on, for callers that need the
// same answers: whether a file exists (its attributes can be read), removing
// a file, and moving one over another (the target is replaced atomically).
// Names are wide paths, null-terminated; null or empty names give false.
#pragma once

#include "base/Types.h"

namespace kis {

bool FileExistsW(const wchar* name);
bool RemoveFileW(const wchar* name);
bool RenameFileW(const wchar* from, const wchar* to);

}  // namespace kis
