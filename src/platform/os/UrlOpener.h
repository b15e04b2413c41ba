// Opening a web address in the user's browser: `xdg-open` started with the
// address as its one argument, without a shell, not waited for. Only
// http:// and https:// addresses without blanks or control characters are
// handed over; anything else opens nothing. Tests install a hook
// (PlatformServices::urlOpenHook) to see what would have been opened instead
// of starting a program.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// True for an http:// or https:// address (scheme in any case) with
// something after the scheme and no blank, control or non-ASCII character.
bool IsWebAddress(std::string_view url);

// Starts the opener for a web address; false (nothing started) for any
// other text or when the opener cannot be started.
bool OpenWebAddress(std::string_view url);

using UrlOpenHook = bool (*)(const std::string& url);

}  // namespace plat
