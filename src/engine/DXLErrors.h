// Names and descriptions of the result codes that the engine writes into its
// log: the rendering device's and the utility library's codes, the input
// devices' codes and the general system codes. A code outside the table is
// named by its hexadecimal value and described as unknown. Both functions
// copy into a caller's 8-bit buffer, cut to its capacity and terminated, and
// return the buffer.
#pragma once

#include "base/Types.h"

char* DXLGetErrorName(i32 result, char* buffer, u32 capacity);
char* DXLGetErrorDescription(i32 result, char* buffer, u32 capacity);
