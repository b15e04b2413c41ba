// The graphics runtime's version for the log: asked of the diagnostics
// component first, else worked out from the versions of system files.
//
// A version number is major << 16 | minor << 8 | letter index (1 for 'a' ...
// 26 for 'z', 0 without a letter); its text is "9.0c" or "9.0".
#pragma once

#include "base/Types.h"

// Packs a file version a.b.c.d as the module provider reports it.
constexpr u64 DXLFileVersion(u64 a, u64 b, u64 c, u64 d) { return a << 48 | b << 32 | c << 16 | d; }

// Clears the outputs, runs the diagnostics probe and, when it fails, the
// file-version probe; fills the number and, when a buffer is given, the text
// (cut to `textSize` characters with the terminator). 0, or 0x80004005 when
// both probes fail.
i32 DXLGetDirectXVersion(u32* version, wchar* text, u32 textSize);

// The two probes on their own: true with the major, minor and lower-case
// letter (0 for none) when the probe succeeds. The file probe always does.
bool DXLProbeDiagnostics(u32* major, u32* minor, wchar* letter);
bool DXLProbeFileVersions(u32* major, u32* minor, wchar* letter);
