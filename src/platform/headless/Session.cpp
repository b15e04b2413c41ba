#include "platform/headless/Session.h"

namespace plat::headless {

Session::Session(const DesktopSettings& desktop, uint32_t startMs) : clock_(startMs), windows_(desktop) {
  windows_.SetEventSource(&script_);
}

Session::~Session() { windows_.SetEventSource(nullptr); }

}  // namespace plat::headless
