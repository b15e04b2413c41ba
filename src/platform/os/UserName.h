// The name of the user running the program, as the system knows it: the
// account's name from the password database, else the USER variable of
// the environment; empty when neither gives one. The game proposes it as
// the first profile's name.
#pragma once

#include <string>

namespace plat {

std::u16string GetUserName();

}  // namespace plat
