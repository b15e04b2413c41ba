#include "app/GameEntry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "app/AppServices.h"
#include "app/Game.h"
#include "app/GameCursors.h"
#include "app/GameScreen.h"
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
#include "platform/os/SingleInstance.h"
#include "platform/os/WindowSystem.h"
#include "resources/CursorIds.h"
#include "resources/GameEffect.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"

const char* const kEntryUsage =
    "usage: tallowmere [--data DIR] [-lang FILE] [--headless] [--replay FILE] [--record FILE] [--rasterise]\n"
    "                  [--help]\n";
const char* const kEntryHelp =
    "Starts Tallowmere on its data set: the logos, the loading, the main screen, in a window or full screen.\n"
    "  --data DIR   the data set (by default \"Data\" beside the program)\n"
    "  -lang FILE   the language file (by default \"language.dat\" of the data set, or config.ini's [Path])\n"
    "  --headless   run without a display, the clock stepped 40 ms a frame; without --replay the run ends\n"
    "               once the main screen is reached (or after 100,000 frames)\n"
    "  --replay FILE  play a replay (input and marks) on frames of 20 ms, at the size it was recorded at;\n"
    "               the run ends with it, however long it is\n"
    "  --record FILE  write the run's input as a replay, with its size and where it ended\n"
    "  --rasterise  a headless replay draws every frame's pixels (by default only the frames its\n"
    "               screenshot marks may write; every draw call runs either way)\n"
    "  --help       print this help\n"
    "Exit status: 0 a normal end; 1 the data set's archives do not read, or another copy is running;\n"
    "2 a wrong option; 3 data missing (the data folder, an archive or \"language.dat\"); 4 no display, no\n"
    "single-instance lock to be had, or another start-up failure; 5 a replay's mark not met, a replay's size\n"
    "the display cannot give, or a recording not written.\n"
    "\"config.ini\" beside the program: [Video] Fullscreen, Window, Screen, VSync, RefreshRate; [Game] Cheats\n"
    "(1: the developer keys), Places (1: where windows, buttons and arrows are drawn, in the log); [Path]\n"
    "Language. The profiles, \"config.dat\" and the log \"log.txt\" are in the per-user folder\n"
    "($XDG_DATA_HOME/Morvalen/Tallowmere, else ~/.local/share/Morvalen/Tallowmere).\n"
    "The repository's docs/manual.md has the replay format, the developer keys and the rest.\n";

namespace {

constexpr const wchar* kClassName = u"TallowmereGame";  // also names the single-instance lock
constexpr u32 kWindowIconId = 107;  // the window class's icon: "icon.bmp" of the data folder
constexpr size_t kMaxPath = 260;
constexpr size_t kUserFolderLimit = 248;  // from here the profile store would refuse its files
constexpr u32 kHeadlessFrameMs = 40;
// A headless run without a replay ends here if its main screen is never
// reached; a replay, however long, plays to its end.
constexpr u32 kHeadlessMaxFrames = 100000;
constexpr const char* kRunCommand = "bash tools/run.sh";

std::string Narrow(const std::u16string& s) { return plat::Utf16ToUtf8(s); }
std::u16string Wide(const std::string& s) { return plat::Utf8ToUtf16(s); }

bool IsFile(const std::string& path) {
  const u32 a = plat::GetFileAttributes(Wide(path));
  return a != plat::kInvalidAttributes && (a & plat::kAttrDirectory) == 0;
}

// A plain file (a link to one counts): never a device, a pipe or a folder.
bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The log is made afresh in the held per-user folder, never through a
// link nor into another user's file: such a one in its place is removed
// (the file a link points at is left alone).
void ClearLogPlace(const plat::HeldFolder& folder) {
  struct stat st {};
  if (::fstatat(folder.Descriptor(), "log.txt", &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      (S_ISLNK(st.st_mode) || (S_ISREG(st.st_mode) && st.st_uid != ::geteuid())))
    ::unlinkat(folder.Descriptor(), "log.txt", 0);
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
    } else if (a == "--rasterise") {
      o->rasterise = true;
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

std::string ChooseUserFolder(const std::string& data, std::string* why, std::string* given) {
  std::string base, from;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
    from = "$XDG_DATA_HOME";
  } else if (home && home[0] == '/') {
    base = std::string(home) + "/.local/share";
    from = "$HOME/.local/share";
  }
  std::string user = base.empty() ? std::string() : WithSlash(base) + "Morvalen/Tallowmere/";
  std::string reason;
  if (user.empty())
    reason = "neither $XDG_DATA_HOME nor $HOME is an absolute path";
  else if (user.size() >= kUserFolderLimit)
    reason = from + "/Morvalen/Tallowmere/ would be " + std::to_string(user.size()) +
             " characters long, and the profiles' folder may have " + std::to_string(kUserFolderLimit - 1) + " at most";
  if (!reason.empty()) user = data + "Profiles/";
  if (why) *why = reason;
  if (given) *given = reason.empty() ? base : data;
  return user;
}

std::string ChooseLanguagePath(const std::u16string& given, kis::IniFileW& ini, const EntryFolders& folders,
                               std::string* dropped) {
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
  if (!path.empty() && (path.size() >= kMaxPath || !IsRegularFile(path))) {
    if (dropped)
      *dropped = path + (path.size() >= kMaxPath ? " is too long a path"
                         : IsFile(path)           ? " is not a language file (not a regular file)"
                                                  : " is missing");
    path.clear();
  }
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
  const GameLanguage* language = GetRunningGame() ? GetRunningGame()->Language() : nullptr;
  // A language that did not read whole has no title of its own to give.
  const wchar* title =
      language && language->IsWhole() && language->GetWindowTitle() ? language->GetWindowTitle() : u"Tallowmere";
  plat::ShowMessageBox(static_cast<uintptr_t>(DXLGetAppData().window), Wide(message), title,
                       plat::kMessageBoxIconError);
  DXLCloseLog();
  std::_Exit(kExitDataError);
}

int RunGame(const EntryOptions& options) {
  // A replay is read (and a recording's path taken) against the folder the
  // program started in; the recording's file is made only once the game
  // has started up whole.
  ReplayRun replay;
  std::string replayError;
  if (!replay.Open(options.replay, options.record, &replayError)) {
    std::fprintf(stderr, "tallowmere: %s\n", replayError.c_str());
    return kExitWrongOption;
  }
  // The window backend's message box and present sink, for the whole run:
  // the window and the screen are made, and may fail, before the game's
  // world opens (which installs the same while it is open).
  plat::PlatformServicesScope program{options.platform};

  // Folders: the class name, the program folder and its "config.ini" (kept
  // until the language is chosen), the data and per-user folders. The
  // command line was read before (ParseEntryOptions).
  EntryFolders folders;
  const std::string exe = Narrow(plat::GetProgramPath());
  folders.program = exe.substr(0, exe.rfind('/') + 1);
  std::optional<kis::IniFileW> ini;
  ini.emplace(Wide(folders.program + "config.ini").c_str());
  std::string data = options.data.empty() ? folders.program + "Data" : options.data;
  if (!data.empty() && data[0] != '/') data = Narrow(plat::GetCurrentDirectory()) + "/" + data;
  if (data.size() >= kMaxPath) return DataMissing(data + " is too long a path for the data folder");
  if (plat::GetFileAttributes(Wide(data)) == plat::kInvalidAttributes || !plat::SetCurrentDirectory(Wide(data)))
    return DataMissing(data + " is missing: the game's data folder");
  folders.data = WithSlash(Narrow(plat::GetCurrentDirectory()));
  for (const char* file : {"Data.dat", "Sprites.dat", "Sounds.dat"})
    if (!IsFile(folders.data + file)) return DataMissing(folders.data + file + " is missing");
  std::string userWhy, given;
  folders.user = ChooseUserFolder(folders.data, &userWhy, &given);
  if (folders.user.size() >= kMaxPath) return DataMissing(folders.user + " is too long a path for the profiles");

  // The language file is chosen here already: missing texts are said on the
  // terminal before a window opens.
  std::string dropped;
  const std::string languagePath = ChooseLanguagePath(options.language, *ini, folders, &dropped);
  if (!dropped.empty())
    std::fprintf(stderr, "tallowmere: %s; the texts of %s are used\n", dropped.c_str(), languagePath.c_str());
  if (!IsFile(languagePath)) return DataMissing(languagePath + " is missing: the game's texts");
  if (!IsRegularFile(languagePath)) return DataMissing(languagePath + " is not a regular file: the game's texts");

  // The single-instance check before the log and the recording: a refused
  // start leaves the running one's log and the files it was given alone.
  // The lock is the per-user folder's own (taken on the folder itself), so
  // every copy on that folder meets it whatever the path it came by and
  // whatever became of the files in it (copies on other folders run side
  // by side); without it the game does not run, unless the lock call
  // itself fails there (then it runs, and says so). The folder is reached
  // (and made) below the given one, without a link, and is the player's
  // alone, or the start stops with what is in the way.
  DXLSetInstanceFolder(folders.user.c_str(), given.c_str());
  const i32 single = DXLCheckSingleInstance(kClassName);
  if (single == kAppAlreadyRunning) {
    std::fprintf(stderr, "tallowmere: already running; this start did nothing\n");
    return kExitDataError;
  }
  if (single != 0) {
    const plat::SingleInstance* lock = DXLGetAppData().mutex;
    std::fprintf(stderr, "tallowmere: cannot use the per-user folder: %s\n", lock ? lock->Why().c_str() : "");
    DXLShutdown();
    return kExitStartFailed;
  }

  // The log, the frame, the window. A replay's clock runs from
  // before the log's first stamp.
  if (replay.Active()) replay.Start();
  ClearLogPlace(DXLGetAppData().mutex->Folder());
  if (!DXLOpenLog(Wide(folders.user).c_str())) {
    const int error = errno;
    const std::string kind = plat::NonFileKind(Wide(folders.user + "log.txt"));
    std::fprintf(stderr, "tallowmere: %slog.txt cannot be written (%s); the game runs without its log\n",
                 folders.user.c_str(), kind.empty() ? std::strerror(error) : (kind + ", not a file").c_str());
  }
  DXLLogValueA(0, "Program folder", folders.program.c_str());
  DXLLogValueA(0, "Data folder", folders.data.c_str());
  DXLLogValueA(0, "Per-user folder", (userWhy.empty() ? folders.user : folders.user + " (" + userWhy + ")").c_str());
  if (const plat::SingleInstance* lock = DXLGetAppData().mutex) {
    if (!lock->FolderNote().empty()) DXLLogValueA(0, "Per-user folder", lock->FolderNote().c_str());
    if (lock->Unguarded()) {
      // The lock call fails on the folder's file system: the game runs
      // without the guard (the player hears of it on the main screen).
      DXLLogValueFormat(0, "Single instance", "none: %s; nothing keeps a second copy off these files",
                        lock->Why().c_str());
      std::fprintf(stderr,
                   "tallowmere: no single-instance lock (%s): the game runs without it; play one copy at a time\n",
                   lock->Why().c_str());
    } else {
      DXLLogValueA(0, "Single instance", lock->LockPath().c_str());
    }
    if (!lock->Listening())
      DXLLogValueFormat(0, "Single instance", "no forward channel: %s", lock->ChannelWhy().c_str());
  }
  if (replay.Active()) replay.Describe();
  i32 r = DXLInitApp(kAppResumeWindowed | kAppResumeFullScreen | kAppKeepDirectory);
  if (r < 0) return StartFailed("setting up the frame", r);
  StoreGamePauseCallbacks();  // paused, the game is silent
  plat::GetWindowSystem().SetIconFile(kWindowIconId, Wide(folders.data + "icon.bmp"));
  r = DXLCreateWindow(0, plat::GetModuleHandle(), kClassName, u"", DXLGameWindowProc, kWindowIconId, &GameModeFilter);
  if (r == kAppAlreadyRunning) {
    DXLShutdown();
    return kExitDataError;
  }
  if (r < 0) return StartFailed("creating the window", r);

  // The settings, "config.ini"'s screen, the screen, input.
  Game game;
  SCREENPARAMS screen;  // the defaults: full screen at the desktop's size
  if (!LoadSettings(Wide(folders.user), &screen)) return StartFailed("reading the settings", -1);
  // The game's set-up below starts its services afresh: the sound settings
  // just read are applied again once it is done.
  const SAVEDSOUND savedSound = GetSoundSettings().GetAll();
  ApplyConfigIni(*ini, &screen);
  // A replay plays at the size it was made at, or not at all.
  game.Screen().HoldClientSize(SCREENSIZE{replay.ScreenWidth(), replay.ScreenHeight()});
  if (!game.Screen().Init(screen)) {
    DXLReportErrorA(-1, "Ошибка создания окна");
    return StartFailed("setting up the screen", -1);
  }
  const GAMEAREA& area = game.Screen().Area();
  if (const std::string refused = replay.ScreenRefused(area.clientWidth, area.clientHeight); !refused.empty()) {
    std::fprintf(stderr, "tallowmere: %s\n", refused.c_str());
    DXLLogValueA(0, "Replay failed", refused.c_str());
    DXLShutdown();
    return kExitReplayFailed;
  }
  if ((r = DXLInitInput(true)) < 0) return StartFailed("setting up input", r);
  if ((r = DXLInitServices(kCursorGrayArrow)) < 0) return StartFailed("starting the services", r);

  // The activation and state callbacks, the game's set-up (which
  // opens the archives with the world's stages that read them), the
  // cursor files (a slot whose file does not load stays empty), the
  // language.
  StoreGameStateCallbacks();
  GameSetup setup;
  setup.data = folders.data.substr(0, folders.data.size() - 1);
  setup.user = Wide(folders.user);
  setup.tutorials = options.tutorials;
  setup.sound = options.sound ? options.sound() : nullptr;
  setup.cheats = ini->ReadBool(u"Game", u"Cheats", false);
  setup.places = ini->ReadBool(u"Game", u"Places", false);
  setup.seedKeys = true;  // once a run: from the clock, or the replay's seed
  setup.keySeed = replay.KeySeed();
  setup.endAtMainScreen = options.headless && options.replay.empty();
  setup.platform = options.platform;
  // The game, the recording and the replay go into the application
  // services for the frame's callbacks, and come out before they go.
  AppServices& app = GetAppServices();
  app.game = &game;
  app.recording = replay.Live() ? &replay : nullptr;
  app.replay = replay.Active() ? &replay : nullptr;
  app.gameClosedWindow = false;
  std::string fault;
  bool missing = false;
  if (!game.InitGame(std::move(setup), &fault, &missing)) {
    app = AppServices{};
    DXLShutdown();
    if (missing) return DataMissing(fault);
    std::fprintf(stderr, "tallowmere: %s\n", fault.c_str());
    return kExitDataError;
  }
  GetSoundSettings().ApplySaved(savedSound);
  const u32 cursors = LoadGameCursorFiles(Wide(folders.data).c_str(), DXLGetAppTextures());
  DXLLogValueFormat(0, "Cursors", "%u of %u loaded", cursors, kGameCursorCount);
  game.SetGameLanguage(std::make_unique<GameLanguage>(Wide(languagePath).c_str()));
  if (!game.Language()->IsWhole()) FatalDataError("Data error!", languagePath + " does not read whole");
  // The recording begins once the language has read, at the size the game
  // runs at; its file is made when the data has read too (StartedUp).
  replay.BeginRecording(static_cast<u32>(area.clientWidth), static_cast<u32>(area.clientHeight));

  // "config.ini" let go, the settings saved at once, the first
  // state.
  ini.reset();
  SaveSettings(Wide(folders.user), game.Screen().GetParams());  // a failure is in the log
  DXLSetAppState(kGameStateLogos, true);

  // The loop, the shutdown (the game's with it), "play.url".
  bool quit = false;
  if (replay.Replaying()) {
    // Every frame a fixed step, the replay's steps due before it. The
    // messages those steps posted to the window are taken first: a step of
    // the replay is one frame of the game however many messages it made.
    replay.RasteriseEveryFrame(!options.headless || options.rasterise);
    DXLStartLoop();
    plat::WindowSystem& windows = plat::GetWindowSystem();
    while (!quit && replay.BeforeFrame()) {
      while (!quit && windows.QueuedMessages() > 0) quit = !DXLRunPass();
      if (quit || !DXLRunPass()) {
        quit = true;  // the game's own quit (or the window closed)
        break;
      }
      replay.AfterFrame();
    }
  } else if (options.headless) {
    DXLStartLoop();
    for (u32 frames = 0; frames < kHeadlessMaxFrames && DXLRunPass(); ++frames) plat::SleepMs(kHeadlessFrameMs);
  } else {
    DXLRun();
  }
  // The game's own quit, not the window closed from outside (nor the end a
  // headless run without a replay makes at the main screen).
  const bool gameQuit = app.gameClosedWindow && !(options.headless && options.replay.empty());
  app.recording = nullptr;
  app.replay = nullptr;
  const std::string replayFailed = replay.Active() ? replay.Finish(gameQuit) : std::string();
  if (!replayFailed.empty()) std::fprintf(stderr, "tallowmere: %s\n", replayFailed.c_str());
  const bool reached = game.MainScreenReached();
  DXLShutdown();
  game.ShutdownGame();  // when the frame's quit state did not reach it
  app = AppServices{};
  if (!options.headless) OpenPlayUrl(folders.program);
  if (!replayFailed.empty()) return kExitReplayFailed;
  // A replay's end is its own: it need not reach the main screen.
  return reached || !options.headless || !options.replay.empty() ? kExitNormal : kExitStartFailed;
}
