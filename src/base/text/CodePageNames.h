// The code-page names a text may declare ("windows-1251", "koi8-r", ...) and
// their Windows code-page numbers. Names are matched ignoring the case of A-Z.
#pragma once

#include "base/Types.h"

namespace kis {

// Code page of the name, or 0 when the table does not hold it. `nameId` is the
// name id of the lower-cased name ("-" counts as a name character); 0 lets the
// function compute it.
u32 FindCodePageW(const wchar* name, u32 length, u32 nameId = 0);
u32 FindCodePageA(const char* name, u32 length, u32 nameId = 0);

}  // namespace kis
