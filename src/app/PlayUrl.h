// "play.url" beside the program: an address the game opens in the browser
// as it ends. The file is 1 to 32,000 bytes of text: UTF-8 after its
// byte-order mark, UTF-16 little-endian after FF FE, else the ANSI code
// page; UTF-32 and big-endian UTF-16 are not read. The text is trimmed of
// blanks and line ends, and only an http:// or https:// address without
// blanks or control characters is opened (plat::OpenWebAddress), never
// anything handed to a shell.
#pragma once

#include <cstddef>
#include <string>

#include "base/Types.h"

constexpr size_t kPlayUrlMaxBytes = 32000;

// The address the bytes hold, as UTF-8; empty when there is none to open.
std::string DecodePlayUrl(const u8* bytes, size_t size);

// "play.url" of the program folder read, decoded and opened. What happened
// goes into the engine log: no file, nothing to open, or the address opened
// (or failed to start). True when an address was handed to the opener.
bool OpenPlayUrl(const std::string& programFolder);
