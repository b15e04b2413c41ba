// The system information the viewer writes into the log at start-up.
#pragma once

#include "base/Types.h"

// Writes "System:" with the system's name and, while the log is open,
// "DirectX version:" (the version, "Not installed" or "Unknown"); then loads
// the utility library and returns that result.
i32 DXLLogSystemInfo();
