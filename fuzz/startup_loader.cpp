// The start-up loader on a mutated "Data.dat" (the input is the whole
// archive), beside a "Sprites.dat" of 17 empty sets and no sound archive:
// read through the loader's table up to the character descriptions,
// giving the frame back after every other record. Whatever the bytes, the
// loader must finish or hand back a failure with its step and text, within
// a bounded number of calls, and everything read must go again cleanly.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzViewer.h"
#include "ScratchFile.h"
#include "app/DataSet.h"
#include "app/GameWorld.h"
#include "app/StartupLoader.h"
#include "content/ContentArchive.h"
#include "engine/DXLWindowViewer.h"
#include "platform/encoding/Utf.h"
#include "platform/headless/Session.h"
#include "resources/GameEffect.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteArchiveWriter.h"
#include "resources/SpriteSet.h"

namespace {

u32 g_steps = 0;
bool YieldSometimes(float) { return (++g_steps & 1) != 0; }

struct Files {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  std::string folder;
  Files() {
    fuzzviewer::Open(viewer);
    folder = fuzzscratch::Path("loader", "");
    ::mkdir(folder.c_str(), 0700);
    SpriteArchiveWriter empty;
    empty.Write(plat::Utf8ToUtf16(folder + "/Sprites.dat").c_str());
  }
};

Files& TheFiles() {
  static Files files;
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Files& files = TheFiles();
  if (!fuzzscratch::Write(files.folder + "/Data.dat", data, size)) return 0;

  SetGameViewer(&files.viewer);
  GetResourceServices().loadingProgress = &YieldSometimes;
  StartupData state;
  state.archives.data = OpenDataSetFile(files.folder, "Data.dat", kDataArchiveSignature1, kDataArchiveSignature2,
                                       kDataArchiveVersion);
  state.archives.sprites = OpenDataSetFile(files.folder, "Sprites.dat", kSpriteArchiveSignature1,
                                          kSpriteArchiveSignature2, kSpriteArchiveVersion);
  if (state.archives.data && state.archives.sprites) {
    state.Install();
    StartupLoader loader(state.Targets());
    loader.SetLastStep(StartupLoader::kDescriptionsStep);
    StartupLoader::Result result = StartupLoader::kGoingOn;
    for (u32 calls = 0; result == StartupLoader::kGoingOn; ++calls) {
      if (calls > (1u << 22)) __builtin_trap();  // every call takes a record: it must end
      result = loader.Load();
    }
    if (result == StartupLoader::kFailed) {
      const StartupLoader::Failure& failure = loader.GetFailure();
      if (failure.step == 0 || failure.text.empty() || failure.what.empty()) __builtin_trap();
    }
    if (GetResourceServices().progress) __builtin_trap();  // the tracker is never left published
  }
  state.Free();
  ClearGameEffects();
  ResetAllServices();
  return 0;
}
