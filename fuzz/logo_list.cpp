// The logo list ("Logos.txt") must survive any text: rows that do not read
// or name a picture that does not load are dropped, durations stay within
// 100..10000 ms, and drawing through the sequence on a moving clock always
// ends.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzViewer.h"
#include "ScratchFile.h"
#include "app/GameWorld.h"
#include "app/LogoSequence.h"
#include "platform/encoding/Utf.h"
#include "platform/headless/Session.h"
#include "resources/ResourceServices.h"

namespace {

struct Files {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  std::string folder;
  Files() {
    fuzzviewer::Open(viewer);
    folder = fuzzscratch::Path("logos", "");
    ::mkdir(folder.c_str(), 0700);
    // A 2 x 1 uncompressed 32-bit Targa picture the rows may name.
    const std::vector<uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 32, 8,
                                      1, 2, 3, 255, 4, 5, 6, 255};
    fuzzscratch::Write(folder + "/a.tga", tga.data(), tga.size());
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Files& files = TheFiles();
  const std::string list = files.folder + "/Logos.txt";
  if (!fuzzscratch::Write(list, data, size)) return 0;
  const std::u16string path = plat::Utf8ToUtf16(list);

  SetGameViewer(&files.viewer);
  ResourceServices& g = GetResourceServices();
  g.screen.width = 32;
  g.screen.height = 32;
  {
    LogoSequence logos(path.c_str());
    for (u32 i = 0; i < logos.GetCount(); ++i) {
      const GAMELOGO& logo = logos.GetLogo(i);
      if (!logo.texture || logo.duration < kLogoMinDuration || logo.duration > kLogoMaxDuration) __builtin_trap();
    }
    if (logos.IsFinished() != (logos.GetCount() == 0)) __builtin_trap();
    const u32 limit = logos.GetCount() * 20 + 2;
    u32 frames = 0;
    for (; logos.Draw(); ++frames) {
      if (frames > limit || logos.GetAlpha() > 255) __builtin_trap();
      g.clock += 600;
      if (frames % 3 == 2) SkipLogo(&logos);
    }
  }
  ResetAllServices();
  return 0;
}
