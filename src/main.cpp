// The program entry: the command line read, the window backend chosen (SDL
// on the display, or the headless one with --headless), and the game run
// (app/GameEntry.h). The session is installed in the platform services for
// the run; with SDL, the game is handed SDL's message box (the fatal data
// message shown there besides the log and standard error) and the window's
// presenter, which the game's runner installs for the whole run.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "app/GameEntry.h"
#include "app/ReplayScript.h"
#include "platform/audio/AudioOfflineOutput.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSystem.h"
#include "platform/headless/Session.h"
#include "platform/os/PlatformServices.h"

#include <SDL.h>

#include "platform/sdl2/SdlAudioOutput.h"
#include "platform/sdl2/SdlSession.h"
#include "tutorials/TutorialMaker.h"

namespace {

void ShowSdlMessage(uintptr_t, std::u16string_view text, std::u16string_view caption, uint32_t) {
  const std::string t = plat::Utf16ToUtf8(text), c = plat::Utf16ToUtf8(caption);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, c.empty() ? "Tallowmere" : c.c_str(), t.c_str(), nullptr);
}

// A headless replay plays at the size it was made at: when that is none of
// the fake display's modes and a window of it would not fit the desktop
// with its frame, the desktop grows to hold one (the adapter's desktop
// mode with it, which a display always offers). A replay that does not
// read is said by the game.
plat::DesktopSettings HeadlessDesktop(const std::string& replay, plat::gfx::SystemSettings* adapter) {
  plat::DesktopSettings desktop;
  ReplayScript script;
  std::string why;
  if (replay.empty() || !script.Load(replay, &why) || script.ScreenWidth() == 0) return desktop;
  for (const plat::gfx::DisplayMode& mode : adapter->modes)
    if (mode.width == script.ScreenWidth() && mode.height == script.ScreenHeight()) return desktop;
  desktop.width = std::max(desktop.width, static_cast<int32_t>(script.ScreenWidth()) + 2 * desktop.frame);
  desktop.height =
      std::max(desktop.height, static_cast<int32_t>(script.ScreenHeight()) + 2 * desktop.frame + desktop.caption);
  adapter->desktop.width = static_cast<uint32_t>(desktop.width);
  adapter->desktop.height = static_cast<uint32_t>(desktop.height);
  adapter->modes.push_back(adapter->desktop);
  return desktop;
}

}  // namespace

int main(int argc, char** argv) {
  EntryOptions options;
  const std::string wrong = ParseEntryOptions(argc, argv, &options);
  if (!wrong.empty()) {
    std::fprintf(stderr, "tallowmere: %s\n%s", wrong.c_str(), kEntryUsage);
    return kExitWrongOption;
  }
  if (options.help) {
    std::printf("%s%s", kEntryUsage, kEntryHelp);
    return kExitNormal;
  }
  TutorialMaker tutorials;  // the game's tutorials, made as the game asks for them
  options.tutorials = &tutorials;
  if (options.headless) {
    plat::gfx::SystemSettings adapter = plat::gfx::DefaultSystemSettings();
    plat::headless::Session session{HeadlessDesktop(options.replay, &adapter)};
    plat::PlatformServicesScope installed{session.Services()};
    options.platform.adapter = &adapter;
    options.sound = [] { return std::make_unique<plat::audio::OfflineOutput>(false); };
    return RunGame(options);
  }
  std::string error;
  // A replay plays its frames as fast as they are made; a person's run is
  // paced to the display.
  auto session = plat::sdl2::SdlSession::Open(plat::sdl2::SessionOptions{options.replay.empty()}, &error);
  if (!session) {
    std::fprintf(stderr, "tallowmere: no display: %s, try --headless\n", error.c_str());
    return kExitStartFailed;
  }
  plat::PlatformServicesScope installed{session->Services()};
  // A replay is the only player: the pointer and keys at the display stay out of it.
  if (!options.replay.empty()) session->Backend().SetUserInput(false);
  options.sound = [] { return std::make_unique<plat::sdl2::SdlAudioOutput>(); };
  options.platform.messageBoxHook = &ShowSdlMessage;
  options.platform.presentSink = &session->Presenter();  // every frame presented goes to the window
  return RunGame(options);
}
