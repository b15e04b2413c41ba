#include "app/GameEntry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/GameCursors.h"
#include "app/PlayUrl.h"
#include "app/ReplayRun.h"
#include "app/Settings.h"
#include "app/StartupLoader.h"
#include "base/IniFile.h"
#include "engine/DXLApp.h"
#include "engine/DXLKeyboard.h"
#include "engine/DXLLog.h"
#include "engine/DXLMouse.h"
#include "engine/DXLWindowViewer.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/Clock.h"
#include "platform/os/FileSystem.h"
#include "platform/os/MessageBox.h"
#include "platform/os/WindowSystem.h"
#include "resources/CursorIds.h"
#include "resources/GameEffect.h"
#include "resources/GameServices.h"
#include "resources/SoundSettings.h"

const char* const kEntryUsage =
    "usage: tallowmere [--data DIR] [-lang FILE] [--headless] [--replay FILE] [--record FILE] [--help]\n";
const char* const kEntryHelp =
    "Starts Tallowmere: the start-up loading of the game's data set behind its progress bar.\n"
    "  --data DIR   the data set (by default \"Data\" beside the program)\n"
    "  -lang FILE   the language file (by default \"language.dat\" of the data set, or config.ini's [Path])\n"
    "  --headless   run without a display, the clock stepped 40 ms a frame\n"
    "  --replay FILE  play a replay (input and marks) on frames of 20 ms; the run ends with it\n"
    "  --record FILE  write the run's input as a replay\n"
    "  --help       print this help\n"
    "Exit status: 0 a normal end; 1 the data set's archives do not read, or another copy is running;\n"
    "2 a wrong option; 3 data missing (the data folder, an archive or \"language.dat\"); 4 no display, or\n"
    "another start-up failure; 5 a replay's mark not met, or a recording not written. The log is\n"
    "\"log.txt\" in the per-user folder (~/.local/share/Morvalen/Tallowmere).\n";

namespace {

constexpr const wchar* kClassName = u"TallowmereGame";  // also names the single-instance lock
constexpr u32 kWindowIconId = 107;  // the window class's icon: "icon.bmp" of the data folder
constexpr size_t kMaxPath = 260;
constexpr size_t kUserFolderLimit = 248;  // from here the profile store would refuse its files
constexpr u32 kHeadlessFrameMs = 40;
constexpr u32 kHeadlessMaxFrames = 100000;
constexpr const char* kRunCommand = "bash tools/run.sh";

std::string Narrow(const std::u16string& s) { return plat::Utf16ToUtf8(s); }
std::u16string Wide(const std::string& s) { return plat::Utf8ToUtf16(s); }

bool IsFile(const std::string& path) {
  const u32 a = plat::GetFileAttributes(Wide(path));
  return a != plat::kInvalidAttributes && (a & plat::kAttrDirectory) == 0;
}

// Every missing level of `path` made with mode 0700; true when it is a
// folder afterwards.
bool MakeFolders(const std::string& path) {
  for (size_t at = 1; at <= path.size(); ++at) {
    if (at < path.size() && path[at] != '/') continue;
    const std::string part = path.substr(0, at);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string s) {
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

// Data missing: said on the terminal (and in the log when open), no window.
int DataMissing(const std::string& what) {
  std::fprintf(stderr, "tallowmere: %s\nThe game needs its data set: build it and start the game with: %s\n",
               what.c_str(), kRunCommand);
  DXLReportErrorA(0, "%s", what.c_str());
  return kExitDataMissing;
}

int StartFailed(const char* step, i32 result) {
  std::fprintf(stderr, "tallowmere: %s failed (0x%08X); see %s\n", step, static_cast<unsigned>(result),
               DXLGetLogPath());
  DXLReportErrorA(result, "%s failed", step);
  DXLShutdown();
  return kExitStartFailed;
}

// The game's set-up in place of the state machine still to come: the
// services, the tables and the loader, run once a frame in the start-up
// loading state; the fade's request for the main screen ends the run.
struct StandIn {
  EntryFolders folders;
  TutorialFactory* tutorials = nullptr;
  bool headless = false;
  StartupData data;
  std::unique_ptr<StartupLoader> loader;
  std::unique_ptr<GameLanguage> language;
  bool mainScreenAsked = false;
};
StandIn* gGame = nullptr;
ReplayRun* gRecording = nullptr;  // a person's input recorded (no replay)

void CloseGameWindow() { plat::GetWindowSystem().PostMessage(DXLGetAppData().window, plat::WM_CLOSE, 0, 0); }

void OnUpdate() {
  if (!gGame || DXLGetAppState() != kGameStateStartLoading || GetGameEffect()) return;
  if (gGame->loader->Load() == StartupLoader::kFailed) {
    const StartupLoader::Failure& f = gGame->loader->GetFailure();
    FatalDataError(f.text.c_str(), f.what);
  }
}

void OnRender() {
  if (gRecording) {
    static u32 last = DXLGetTimeMs();
    const u32 now = DXLGetTimeMs();
    gRecording->LiveFrame(now - last);
    last = now;
  }
  DXLBeginFrame();
  DXLClear(0xFF000000u);
  DXLPresent();
}

void OnStateChange(u32, u32 state) {
  GetGameServices().appState = state;
  if (!gGame) return;
  if (state == kGameStateMainScreen && !gGame->mainScreenAsked) {
    // The main screen is still to come: the start-up has done its part.
    gGame->mainScreenAsked = true;
    DXLLogValueFormat(0, "Start-up", "loaded in %u ms; the main screen is asked for", gGame->loader->LoadingTime());
    CloseGameWindow();
  }
}

// Paused, the game is silent; resumed, it plays again.
void OnPause(u32) { GetSoundSettings().Mute(); }
void OnResume() { GetSoundSettings().Unmute(); }

// A person's input as replay steps, for a recording.
void RecordStep(ReplayStep::Kind kind, i32 a, i32 b, i32 c) {
  ReplayStep s;
  s.kind = kind;
  s.a = a;
  s.b = b;
  s.c = c;
  if (gRecording) gRecording->Record(s);
}
i32 ButtonIndex(u32 button) { return button == kMouseRight ? 1 : button == kMouseMiddle ? 2 : 0; }
void RecordDown(DXLPOINT p, u32 button, u32) { RecordStep(ReplayStep::kPress, p.x, p.y, ButtonIndex(button)); }
void RecordUp(DXLPOINT p, u32 button, u32) { RecordStep(ReplayStep::kRelease, p.x, p.y, ButtonIndex(button)); }
void RecordMove(DXLPOINT p, u32, u32) { RecordStep(ReplayStep::kMove, p.x, p.y, 0); }
void RecordWheel(DXLPOINT p, i32 delta, u32, u32) {
  if (delta != 0) RecordStep(ReplayStep::kWheel, p.x, p.y, std::clamp(delta, -32768, 32767));
}
void RecordKey(u16 key, u32 modifiers) {
  // The modifiers go with the keys they hold, not as keys of their own.
  for (u8 m : {plat::DIK_LSHIFT, plat::DIK_RSHIFT, plat::DIK_LCONTROL, plat::DIK_RCONTROL, plat::DIK_LMENU,
               plat::DIK_RMENU})
    if (key == m) return;
  if (key == 0 || key > 255) return;
  const i32 held = ((modifiers & kModShift) ? ReplayStep::kShift : 0) |
                   ((modifiers & kModControl) ? ReplayStep::kCtrl : 0) | ((modifiers & kModAlt) ? ReplayStep::kAlt : 0);
  RecordStep(ReplayStep::kKey, key, held, 0);
}
void RecordCharacter(u16 character) {
  ReplayStep s;
  s.kind = ReplayStep::kText;
  s.text = plat::Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(character)));
  if (gRecording && !s.text.empty()) gRecording->Record(s);
}

void InstallCallbacks() {
  DXLCALLBACKS c{};
  c.update = &OnUpdate;
  c.render = &OnRender;
  u32 which = kCallbackUpdate | kCallbackRender;
  if (gRecording) {
    c.mouseDown = &RecordDown;
    c.mouseUp = &RecordUp;
    c.mouseMove = &RecordMove;
    c.mouseWheel = &RecordWheel;
    c.keyDown = &RecordKey;
    which |= kCallbackMouse | kCallbackKeyboard;
    DXLSetCharSink(&RecordCharacter);
  }
  DXLSetCallbacks(which, &c);
  DXLSetStateCallback(&OnStateChange);
}

// The game's tables, services and loader (what InitGame and the start-up
// loading state will make).
bool InitGameStandIn(StandIn* g) {
  GameServices& s = GetGameServices();
  s.frameClock = nullptr;
  s.tutorialFactory = g->tutorials;
  SetGameViewer(DXLGetViewer());
  const DXLAPPDATA& app = DXLGetAppData();
  s.screen.width = static_cast<i32>(app.gameWidth ? app.gameWidth : 800);
  s.screen.height = static_cast<i32>(app.gameHeight ? app.gameHeight : 600);
  s.screen.rect = DXLRECT{0, 0, s.screen.width, s.screen.height};
  g->data.Install();
  return true;
}

void ShutdownGameStandIn(StandIn* g) {
  g->loader.reset();
  g->data.Free();
  if (g->language) {
    SetGameLanguage(nullptr);
    g->language.reset();
  }
  ResetGameServices();
}

}  // namespace

std::string ParseEntryOptions(int argc, char** argv, EntryOptions* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.size() == 5 && plat::AsciiEqualNoCase(std::string_view(a), std::string_view("-lang"))) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') {
        o->language.clear();
        break;  // nothing after it: the scan ends
      }
      std::u16string path = Wide(argv[++i]);
      if (path.size() > kMaxPath) path.resize(kMaxPath);
      o->language = path;
    } else if (a == "--help" || a == "-h") {
      o->help = true;
    } else if (a == "--headless") {
      o->headless = true;
    } else if (a == "--replay" || a == "--record") {
      if (i + 1 >= argc) return a + " needs a file";
      (a == "--replay" ? o->replay : o->record) = argv[++i];
    } else if (a == "--data") {
      if (i + 1 >= argc) return "--data needs a folder";
      o->data = argv[++i];
    } else {
      return "unknown option \"" + a + "\"";
    }
  }
  return {};
}

std::string ChooseUserFolder(const std::string& data) {
  std::string base;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && xdg[0] == '/')
    base = xdg;
  else if (home && home[0] == '/')
    base = std::string(home) + "/.local/share";
  std::string user = base.empty() ? std::string() : WithSlash(base) + "Morvalen/Tallowmere/";
  if (user.empty() || user.size() >= kUserFolderLimit) user = data + "Profiles/";
  return user;
}

std::string ChooseLanguagePath(const std::u16string& given, kis::IniFileW& ini, const EntryFolders& folders) {
  std::string path;
  if (!given.empty()) {
    path = Narrow(given);
    if (path[0] != '/') path = folders.program + path;
  } else {
    wchar configured[kMaxPath + 1] = {};
    ini.ReadString(u"Path", u"Language", u"", configured, static_cast<i32>(kMaxPath + 1));
    if (configured[0]) {
      path = Narrow(configured);
      if (path[0] != '/') path = folders.data + path;
    }
  }
  if (!path.empty() && (path.size() >= kMaxPath || !IsFile(path))) path.clear();
  return path.empty() ? folders.data + "language.dat" : path;
}

// A value that is missing or does not scan leaves the word as it was.
void ApplyConfigIni(kis::IniFileW& ini, SCREENPARAMS* screen) {
  screen->fullscreen = ini.ReadBool(u"Video", u"Fullscreen", screen->fullscreen != 0) ? 1 : 0;
  u32 w = 0, h = 0;
  if (ini.ReadValues(u"Video", u"Window", u"ui4,ui4", 0, 2, &w, &h) == 2) {
    screen->windowWidth = w;
    screen->windowHeight = h;
  }
  if (ini.ReadValues(u"Video", u"Screen", u"ui4,ui4", 0, 2, &w, &h) == 2) {
    screen->screenWidth = w;
    screen->screenHeight = h;
  }
  screen->vsync = ini.ReadBool(u"Video", u"VSync", screen->vsync != 0) ? 1 : 0;
  screen->refresh = static_cast<u32>(ini.ReadInt(u"Video", u"RefreshRate", static_cast<i32>(screen->refresh)));
}

[[noreturn]] void FatalDataError(const char* text, const std::string& detail) {
  char message[1001];
  std::snprintf(message, sizeof message, "%s", text);
  DXLReportErrorA(0, "%s (%s)", message, detail.c_str());
  std::fprintf(stderr, "tallowmere: %s (%s)\n", message, detail.c_str());
  const GameLanguage* language = gGame ? gGame->language.get() : nullptr;
  const wchar* title = language && language->GetWindowTitle() ? language->GetWindowTitle() : u"";
  plat::ShowMessageBox(static_cast<uintptr_t>(DXLGetAppData().window), Wide(message), title,
                       plat::kMessageBoxIconError);
  DXLCloseLog();
  std::_Exit(kExitDataError);
}

int RunGame(const EntryOptions& options) {
  // A replay is read (and a recording made) against the folder the program
  // started in.
  ReplayRun replay;
  std::string replayError;
  if (!replay.Open(options.replay, options.record, &replayError)) {
    std::fprintf(stderr, "tallowmere: %s\n", replayError.c_str());
    return kExitWrongOption;
  }

  // 1 to 4: the class name, the folders, "config.ini", the language option.
  EntryFolders folders;
  const std::string exe = Narrow(plat::GetProgramPath());
  folders.program = exe.substr(0, exe.rfind('/') + 1);
  std::string data = options.data.empty() ? folders.program + "Data" : options.data;
  if (!data.empty() && data[0] != '/') data = Narrow(plat::GetCurrentDirectory()) + "/" + data;
  if (data.size() >= kMaxPath) return DataMissing(data + " is too long a path for the data folder");
  if (plat::GetFileAttributes(Wide(data)) == plat::kInvalidAttributes || !plat::SetCurrentDirectory(Wide(data)))
    return DataMissing(data + " is missing: the game's data folder");
  folders.data = WithSlash(Narrow(plat::GetCurrentDirectory()));
  for (const char* file : {"Data.dat", "Sprites.dat", "Sounds.dat"})
    if (!IsFile(folders.data + file)) return DataMissing(folders.data + file + " is missing");
  folders.user = ChooseUserFolder(folders.data);
  if (folders.user.size() >= kMaxPath) return DataMissing(folders.user + " is too long a path for the profiles");

  kis::IniFileW ini(Wide(folders.program + "config.ini").c_str());
  const std::string languagePath = ChooseLanguagePath(options.language, ini, folders);
  if (!IsFile(languagePath)) return DataMissing(languagePath + " is missing: the game's texts");

  // The single-instance check before the log: a refused start leaves the
  // running one's log alone.
  if (DXLCheckSingleInstance(kClassName) == kAppAlreadyRunning) {
    std::fprintf(stderr, "tallowmere: already running; this start did nothing\n");
    return kExitDataError;
  }
  if (!MakeFolders(folders.user.substr(0, folders.user.size() - 1))) {
    std::fprintf(stderr, "tallowmere: cannot make the per-user folder %s\n", folders.user.c_str());
    return kExitStartFailed;
  }

  // 5 to 8: the log, the frame, the pause callbacks, the window. A replay's
  // clock runs from before the log's first stamp.
  if (replay.Active()) replay.Start();
  DXLOpenLog(Wide(folders.user).c_str());
  DXLLogValueA(0, "Program folder", folders.program.c_str());
  DXLLogValueA(0, "Data folder", folders.data.c_str());
  DXLLogValueA(0, "Per-user folder", folders.user.c_str());
  if (replay.Active()) replay.Describe();
  i32 r = DXLInitApp(kAppResumeWindowed | kAppResumeFullScreen | kAppKeepDirectory);
  if (r < 0) return StartFailed("setting up the frame", r);
  DXLSetPauseCallback(&OnPause);
  DXLCALLBACKS resume{};
  resume.activated = &OnResume;
  DXLSetCallbacks(kCallbackActivated, &resume);
  plat::GetWindowSystem().SetIconFile(kWindowIconId, Wide(folders.data + "icon.bmp"));
  r = DXLCreateWindow(0, plat::GetModuleHandle(), kClassName, u"", DXLGameWindowProc, kWindowIconId, nullptr);
  if (r == kAppAlreadyRunning) {
    DXLShutdown();
    return kExitDataError;
  }
  if (r < 0) return StartFailed("creating the window", r);

  // 9 to 12: the settings, "config.ini"'s screen, the screen, input.
  SCREENPARAMS screen;
  screen.fullscreen = 0;
  screen.windowWidth = 800;
  screen.windowHeight = 600;
  if (!LoadSettings(Wide(folders.user), &screen)) return StartFailed("reading the settings", -1);
  ApplyConfigIni(ini, &screen);
  // The game's screen: a window of the game area until the screen modes come.
  r = DXLPrepareDisplayMode(75, 800, 600, 0, 22, 0, 0, 0, false, screen.vsync != 0 && !options.headless, false,
                            nullptr);
  if (r == 0) r = DXLSetDisplayMode(nullptr, 0xFF000000u);
  if (r != 0) {
    DXLReportErrorA(-1, "Ошибка создания окна");
    return StartFailed("setting up the screen", r);
  }
  if ((r = DXLInitInput(true)) < 0) return StartFailed("setting up input", r);
  if ((r = DXLInitServices(kCursorArrow)) < 0) return StartFailed("starting the services", r);

  // 13 to 16: the state callbacks, the game's set-up, the cursors and
  // archives, the language.
  StandIn game;
  game.folders = folders;
  game.headless = options.headless;
  game.tutorials = options.tutorials;
  gGame = &game;
  gRecording = replay.Live() ? &replay : nullptr;
  InstallCallbacks();
  InitGameStandIn(&game);
  // The cursor files; a slot whose file does not load stays empty.
  const u32 cursors = LoadGameCursorFiles(Wide(folders.data).c_str(), DXLGetAppTextures());
  DXLLogValueFormat(0, "Cursors", "%u of %u loaded", cursors, kGameCursorCount);
  std::string fault;
  bool missing = false;
  if (!game.data.archives.Open(folders.data.substr(0, folders.data.size() - 1), &fault, &missing)) {
    ShutdownGameStandIn(&game);
    gGame = nullptr;
    gRecording = nullptr;
    DXLShutdown();
    if (missing) return DataMissing(fault);
    std::fprintf(stderr, "tallowmere: %s\n", fault.c_str());
    return kExitDataError;
  }
  game.language = std::make_unique<GameLanguage>(Wide(languagePath).c_str());
  SetGameLanguage(game.language.get());
  if (!game.language->IsWhole()) FatalDataError("Data error!", languagePath + " does not read whole");
  if (const wchar* title = game.language->GetWindowTitle())
    plat::GetWindowSystem().SetWindowText(DXLGetAppData().window, title);
  game.loader = std::make_unique<StartupLoader>(game.data.Targets());

  // 17 to 19: the settings saved at once, the first state.
  if (!SaveSettings(Wide(folders.user), screen)) DXLLogValueA(0, "Settings", "config.dat could not be written");
  DXLSetAppState(kGameStateStartLoading, true);

  // 20 to 22: the loop, the shutdown, "play.url".
  if (replay.Replaying()) {
    // Every frame a fixed step, the replay's steps due before it.
    DXLStartLoop();
    for (u32 frames = 0; frames < kHeadlessMaxFrames && replay.BeforeFrame() && DXLRunPass(); ++frames)
      replay.AfterFrame();
  } else if (options.headless) {
    DXLStartLoop();
    for (u32 frames = 0; frames < kHeadlessMaxFrames && DXLRunPass(); ++frames) plat::SleepMs(kHeadlessFrameMs);
  } else {
    DXLRun();
  }
  gRecording = nullptr;
  const std::string replayFailed = replay.Active() ? replay.Finish() : std::string();
  if (!replayFailed.empty()) std::fprintf(stderr, "tallowmere: %s\n", replayFailed.c_str());
  const bool reached = game.mainScreenAsked;
  ShutdownGameStandIn(&game);
  gGame = nullptr;
  DXLShutdown();
  if (!options.headless) OpenPlayUrl(folders.program);
  if (!replayFailed.empty()) return kExitReplayFailed;
  // A replay's end is its own: it need not reach the main screen.
  return reached || !options.headless || !options.replay.empty() ? kExitNormal : kExitStartFailed;
}
