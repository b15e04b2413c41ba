// The engine's frame as the tools that show the game open it: one instance
// at a time (decided before anything opens a file, so a refused second
// start leaves the running one's log alone), the log beside the program, a
// window of w x h in 32-bit colour, input and the services; the last frame
// written as a PNG file and read back; the answer to the command line. Each
// step of the frame that fails is said on stderr with the tool's name, the
// frame is shut down and the answer is exit status 1.
// Header-only; include as "common/GameFrame.h".
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/DXLApp.h"
#include "engine/DXLLog.h"
#include "engine/DXLViewer.h"
#include "engine/DXLWindowViewer.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/gfx/PngFile.h"
#include "platform/os/WindowSystem.h"

namespace tools {

// No display to open a window on: the tools answer as the game does.
constexpr int kNoDisplayStatus = 4;

inline int FrameFailed(const char* tool, const char* step, i32 result) {
  std::fprintf(stderr, "%s: %s failed (0x%08X); see %s\n", tool, step, static_cast<unsigned>(result),
               DXLGetLogPath());
  DXLShutdown();
  return 1;
}

// 0 when the frame is up; else the exit status (the frame shut down).
// `alreadyRunning` ends the message of a refused second start.
inline int OpenGameFrame(const char* tool, const char* alreadyRunning, const wchar* className, const wchar* title,
                         i32 width, i32 height, bool vsync, DXLMODEFILTER filter) {
  if (DXLCheckSingleInstance(className) == kAppAlreadyRunning) {
    std::fprintf(stderr, "%s: already running%s; this start did nothing\n", tool, alreadyRunning);
    DXLShutdown();
    return 1;
  }
  DXLOpenLog(nullptr);  // "log.txt" beside the program
  DXLInitApp(kAppResumeWindowed | kAppResumeFullScreen | kAppKeepDirectory);
  i32 r = DXLCreateWindow(0, plat::GetModuleHandle(), className, title, DXLGameWindowProc, 107, filter);
  if (r != 0) return FrameFailed(tool, "creating the window", r);
  r = DXLPrepareDisplayMode(75, width, height, 0, 22, 0, 0, 0, false, vsync, false, nullptr);
  if (r == 0) r = DXLSetDisplayMode(nullptr, 0xFF000000u);
  if (r != 0) return FrameFailed(tool, "setting the display mode", r);
  // The frames stay readable (WriteFrameShot) where they are drawn in the
  // window's own memory.
  if (plat::gfx::SoftDevice* soft = DXLGetViewer()->GetDevice()->GetSoftDevice()) soft->SetFrameKept(true);
  if ((r = DXLInitInput(true)) != 0) return FrameFailed(tool, "setting up input", r);
  if ((r = DXLInitServices(0)) != 0) return FrameFailed(tool, "starting the services", r);
  return 0;
}

// The frame last shown, as a PNG file; false (said on stderr) when it
// cannot be written.
inline bool WriteFrameShot(const char* tool, const std::string& path, u32 frames) {
  plat::gfx::SoftDevice* soft = DXLGetViewer()->GetDevice()->GetSoftDevice();
  std::string error;
  if (!plat::WritePng(path, soft->Frame(), soft->Width(), soft->Height(), &error)) {
    std::fprintf(stderr, "%s: cannot write %s: %s\n", tool, path.c_str(), error.c_str());
    return false;
  }
  std::printf("%s: wrote %s (frame %u, %u x %u)\n", tool, path.c_str(), frames, soft->Width(), soft->Height());
  return true;
}

// A frame written before, read back to be checked; false (said on stderr)
// when it cannot be read.
inline bool ReadFrameShot(const char* tool, const std::string& path, std::vector<uint32_t>* pixels, uint32_t* width,
                          uint32_t* height) {
  std::string error;
  if (plat::ReadPng(path, pixels, width, height, &error)) return true;
  std::fprintf(stderr, "%s: cannot read %s: %s\n", tool, path.c_str(), error.c_str());
  return false;
}

// What a tool answers to its command line before it runs: the usage and
// help asked for (status 0), or what was wrong with the usage (status 2);
// -1 when the arguments were right and it goes on.
inline int AnswerArguments(const char* tool, const std::string& wrong, bool help, const char* usage,
                           const char* helpText) {
  if (help && wrong.empty()) {
    std::printf("%s%s", usage, helpText);
    return 0;
  }
  if (!wrong.empty()) {
    std::fprintf(stderr, "%s: %s\n%s(--help says more)\n", tool, wrong.c_str(), usage);
    return 2;
  }
  return -1;
}

// What a windowed tool says when its display goes away mid-run, as the SDL
// session's displayLost: an error line ending its log and one on stderr,
// after which the session ends the process (status 1, the run failed).
inline std::function<void(const std::string&)> SayDisplayLost(const char* tool) {
  return [tool](const std::string& why) {
    DXLReportErrorA(0, "%s", why.c_str());
    DXLCloseLog();
    std::fprintf(stderr, "%s: %s; the run ends (the log is %s)\n", tool, why.c_str(), DXLGetLogPath());
  };
}

}  // namespace tools
