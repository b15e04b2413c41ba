// Opens the engine log in a fresh temporary folder for one test and reads
// back what was written. The log is closed when the capture ends.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "engine/DXLLog.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "testsupport/TempFolder.h"

class LogCapture {
 public:
  LogCapture() {
    clock_.SetLocalTime({2024, 3, 2, 5, 9, 7, 3, 0});
    DXLOpenLogA(Path().c_str());
  }
  ~LogCapture() { DXLCloseLog(); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  std::string Path() const { return folder_.Path() + "/log.txt"; }
  // Everything after the first line.
  std::string Text() const {
    std::ifstream in(Path(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const std::string all = s.str();
    const size_t first = all.find("\r\n");
    return first == std::string::npos ? all : all.substr(first + 2);
  }
  bool Has(const std::string& line) const { return Text().find("\r\n" + line) != std::string::npos; }

 private:
  plat::FakeClock clock_{1000};
  plat::PlatformServicesScope scope_{{.clock = &clock_}};
  TempFolder folder_;
};
