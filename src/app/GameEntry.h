// GameEntry - the program `tallowmere` brought up in its fixed order on the
// engine frame, its message loop run, the frame shut down and "play.url"
// opened (PlayUrl.h). The program (src/main.cpp) parses the command line,
// picks the window backend (SDL, or headless) and calls RunGame.
//
// Folders: the program folder is the executable's (/proc/self/exe); the
// data folder is "Data" beside it or the one named by --data, made the
// current folder; the per-user folder is $XDG_DATA_HOME (else
// ~/.local/share) joined with "Morvalen/Tallowmere", or "Profiles" in the
// data folder when that path is not usable or reaches 248 characters. The
// single-instance lock is taken on the per-user folder itself, before the
// log and the recording are written (plat::SingleInstance): one running
// copy per per-user folder, however its path is written. The folder is
// reached, and made (mode 0700) where missing, from the folder it is in
// ($XDG_DATA_HOME...) one step at a time without following a link, and
// must be the player's, or the start stops (4) saying whose it is and what
// to do; it is held from then on, and the player's files below it are
// changed through it only (plat::HeldFolder). "log.txt" is made there
// afresh: a link or another user's file in its place is removed, never
// written through.
//
// The game (Game.h) is set up on the frame and run by its state machine
// from the logos to the quit state. A headless run without a replay has
// nobody to play: it ends when the main screen is entered.
//
// Exit status (kExit...): 0 a normal end; 1 archive data that does not read
// (or a second start refused: the running one's log and the files given
// to this start stay as they were); 2 a wrong option; 3 data missing (the
// data folder, an archive or "language.dat": said with the path and the
// run command, before any window); 4 no display, no single-instance lock
// to be had (said with the reason), or another start-up failure; 5 a
// replay's mark not met (said with the mark and its line), a replay's size
// the display cannot give, or a recording not written.
//
// --replay FILE plays a replay (app/ReplayRun.h) on frames of 20 ms, the
// run ending with it, at the size it names; --record FILE writes one, its
// file made once the data and the language have read. Headless, a replay
// rasterises only the frames its screenshot marks may read, every frame
// with --rasterise.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/Settings.h"
#include "base/IniFile.h"
#include "base/Types.h"
#include "platform/audio/AudioOutput.h"
#include "platform/os/PlatformServices.h"

class TutorialFactory;

constexpr int kExitNormal = 0;
constexpr int kExitDataError = 1;
constexpr int kExitWrongOption = 2;
constexpr int kExitDataMissing = 3;
constexpr int kExitStartFailed = 4;
constexpr int kExitReplayFailed = 5;

extern const char* const kEntryUsage;
extern const char* const kEntryHelp;

struct EntryOptions {
  bool help = false;
  bool headless = false;     // the headless backend: no display, the clock stepped a frame at a time
  std::string data;          // --data DIR; empty: "Data" beside the program
  std::u16string language;   // -lang PATH; empty: none given
  std::string replay;        // --replay FILE
  std::string record;        // --record FILE
  bool rasterise = false;    // --rasterise: a headless replay rasterises every frame
  TutorialFactory* tutorials = nullptr;  // installed as the game's tutorial factory
  // The sound output (the device in a window, an offline one headless);
  // null or giving null: silent.
  std::function<std::unique_ptr<plat::audio::Output>()> sound;
  // The window backend's message box and present sink: installed by
  // RunGame for the whole run and handed to the game's world
  // (WorldSetup::platform), which installs them while it is open.
  plat::PlatformServices platform;
};

// The command line read; empty when it is right, else what is wrong.
// "-lang" (any case, exactly those five letters) takes the next argument as
// the language path (at most 260 characters); a later one overrides an
// earlier one, and one with nothing after it leaves the path empty.
std::string ParseEntryOptions(int argc, char** argv, EntryOptions* options);

struct EntryFolders {
  std::string program;  // with a trailing "/"
  std::string data;     // absolute, with a trailing "/"
  std::string user;     // absolute, with a trailing "/"
};

// The per-user folder for a data folder (with its trailing "/"), from the
// environment; "Profiles" in the data folder when $XDG_DATA_HOME is not
// absolute and $HOME is unset, or the joined path reaches 248 characters,
// and then `why` (when given) says which; else it is emptied. `given`
// (when given): the start of its path taken as it stands, the folder below
// which the game makes its own ($XDG_DATA_HOME, ~/.local/share or the data
// folder).
std::string ChooseUserFolder(const std::string& data, std::string* why = nullptr, std::string* given = nullptr);

// The language file: the given path (against the program folder), else
// "config.ini"'s [Path] Language (against the data folder); one that
// reaches 260 characters or names no regular file (a device, a folder, a
// pipe are none) is dropped for "language.dat" of the data folder, and
// `dropped` (when given) says which and why.
std::string ChooseLanguagePath(const std::u16string& given, kis::IniFileW& ini, const EntryFolders& folders,
                               std::string* dropped = nullptr);

// "config.ini"'s [Video] over the screen words: Fullscreen, Window and
// Screen ("w,h"), VSync and RefreshRate (decimal, or hexadecimal after "$",
// "#" or "0x").
void ApplyConfigIni(kis::IniFileW& ini, SCREENPARAMS* screen);

// The whole program; its exit status. Opens "play.url" at the end unless
// `headless`. Its order: the folders (program, data, per-user) and the
// language file chosen; the single-instance lock; the log, the engine frame
// and the window; the settings and the screen, input and the engine's
// services; the game's set-up on the game world (every game-wide value is
// installed by the world's stages, see GameWorld.h), the cursors and the
// language; the settings saved and the first state; the message loop; the
// shutdown in reverse.
int RunGame(const EntryOptions& options);

// The fatal message (FatalDataError): said in the log and on standard error
// and shown in a message box (plat::ShowMessageBox; RunGame installs the
// window's, EntryOptions::platform) with the language's window title once there, then the process
// ends at once with status 1, nothing saved.
[[noreturn]] void FatalDataError(const char* text, const std::string& detail);
