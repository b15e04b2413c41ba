#include "engine/DXLApp.h"

#include <cstring>
#include <memory>
#include <string>

#include "base/Path.h"
#include "base/Strings.h"
#include "engine/DXLCursors.h"
#include "engine/DXLFrameTimer.h"
#include "engine/DXLInput.h"
#include "engine/DXLLog.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/DXLWindowViewer.h"
#include "engine/image/PixelFormat.h"
#include "platform/encoding/Utf.h"
#include "platform/input/KeyCodes.h"
#include "platform/os/Clock.h"
#include "platform/os/FileSystem.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/SingleInstance.h"
#include "platform/os/WindowSystem.h"

namespace gfx = plat::gfx;

namespace {

constexpr u32 kPausedSleepMs = 50;
constexpr u32 kLoadingStateBit = 0x80000000u;
constexpr u32 kClearBlack = 0xFF000000u;
// The frame reads its devices buffered, so a click or a key tap shorter than
// a frame still reaches the game, in order. A frame of a fast mouse brings a
// few dozen events; the buffers hold several frames' worth, and a poll that
// finds events lost takes up the devices' state instead.
constexpr u32 kKeyboardEvents = 64;
constexpr u32 kMouseEvents = 256;

struct Frame {
  DXLAPPDATA data{};
  DXLCALLBACKS callbacks{};
  DXLPAUSECALLBACK pauseCallback = nullptr;
  DXLSTATECALLBACK stateCallback = nullptr;
  DXLCHARSINK charSink = nullptr;
  i32 lastResult = 0;
  u16 resumeKey = 0;  // the key whose press ended waiting; its repeats stay with the frame
  std::string instanceFolder;
  std::string instanceGiven;
  kis::list<DXLTextures*> textureLists;

  Frame() { Reset(); }
  void Reset() {
    std::memset(static_cast<void*>(&data), 0, sizeof(data));
    data.options = kAppResumeFullScreen;
    data.currentCursorSlot = kCursorDefaultSlot;
    data.textureLists = &textureLists;
    callbacks = DXLCALLBACKS{};
    pauseCallback = nullptr;
    stateCallback = nullptr;
    lastResult = 0;
    resumeKey = 0;
  }
};

Frame& F() {
  static Frame frame;  // the process's one application frame, window and main loop
  return frame;
}

DXLAPPDATA& App() { return F().data; }

i32 Store(i32 result) {
  F().lastResult = result;
  return result;
}

// The result of a step whose precondition is missing.
i32 MissingStep() { return Store(F().lastResult < 0 ? F().lastResult : kAppSetupFailed); }

u32 Modifiers() { return App().keyboard ? App().keyboard->GetModifiers() : 0; }

// --- Input forwarders: the pause level decides what reaches the game. -------------

bool InsideClient(DXLPOINT p) {
  plat::Rect r{0, 0, 0, 0};
  plat::GetWindowSystem().GetClientRect(App().window, &r);
  return r.Contains(plat::Point{p.x, p.y});
}

void ForwardMouseDown(DXLPOINT p, u32 button) {
  if (App().pauseLevel == 0) {
    if (F().callbacks.mouseDown) F().callbacks.mouseDown(p, button, Modifiers());
  } else if (App().pauseLevel == 1 && InsideClient(p)) {
    DXLRequestPause(kPauseUserInput);
  }
}

void ForwardMouseUp(DXLPOINT p, u32 button) {
  if (F().callbacks.mouseUp) F().callbacks.mouseUp(p, button, Modifiers());
}

void ForwardMove(DXLPOINT p, u32 held) {
  if (App().pauseLevel == 0 && F().callbacks.mouseMove) F().callbacks.mouseMove(p, held, Modifiers());
}

void ForwardDoubleClick(DXLPOINT p) {
  if (App().pauseLevel == 0 && F().callbacks.doubleClick) F().callbacks.doubleClick(p, Modifiers());
}

void ForwardWheel(DXLPOINT p, i32 delta, u32 held) {
  if (App().pauseLevel == 0 && F().callbacks.mouseWheel) F().callbacks.mouseWheel(p, delta, held, Modifiers());
}

// A key that ends waiting only resumes: neither its down nor the presses
// repeated from it while it stays held reach the game.
void ForwardKey(void (*callback)(u16, u32), u16 key, u32 modifiers) {
  if (App().pauseLevel == 0) {
    if (callback) callback(key, modifiers);
  } else if (App().pauseLevel == 1) {
    F().resumeKey = key;
    DXLRequestPause(kPauseUserInput);
  }
}

void ForwardKeyDown(u16 key, u32 modifiers) {
  F().resumeKey = 0;
  ForwardKey(F().callbacks.keyDown, key, modifiers);
}

void ForwardKeyPress(u16 key, u32 modifiers) {
  if (key == F().resumeKey && App().pauseLevel == 0) return;
  ForwardKey(F().callbacks.keyPress, key, modifiers);
}

void ForwardKeyUp(u16 key, u32 modifiers) {
  if (key == F().resumeKey) F().resumeKey = 0;
  if (F().callbacks.keyUp) F().callbacks.keyUp(key, modifiers);
}

// --- Pause side effects --------------------------------------------------------------

void PauseCounter() {
  if (App().viewer && App().viewer->HasDevice()) App().viewer->PauseFrameCounter();
}

void ResumeCounter() {
  if (App().viewer && App().viewer->HasDevice()) App().viewer->ResumeFrameCounter();
}

void RaiseLevel(u32 from, u32 to) {
  DXLAPPDATA& a = App();
  if (to == 2) {
    PauseCounter();
    if (a.input) a.input->Disable(kInputMouse | kInputKeyboard);
    if (a.frameTimer) a.frameTimer->Stop();
  }
  if (from == 0) {
    if (a.frameTimer) a.frameTimer->Pause();
    DXLSelectCursor(a.defaultCursorSlot);
    a.currentCursorSlot = a.defaultCursorSlot;
    PauseCounter();
    if (a.mouse) a.mouse->SetTrackCursor(true);
    if (to == 1 && a.input) a.input->Enable(kInputMouse | kInputKeyboard);
  }
}

void LowerLevel(u32 from, u32 to) {
  DXLAPPDATA& a = App();
  if (from == 2) {
    if (a.frameTimer) a.frameTimer->Start();
    ResumeCounter();
    if (a.input) {
      a.input->ResetState(kInputMouse | kInputKeyboard);
      a.input->Enable(kInputMouse | kInputKeyboard);
    }
  }
  if (to == 0) {
    if (a.frameTimer) a.frameTimer->Resume();
    ResumeCounter();
    if (a.mouse) a.mouse->SetTrackCursor(a.trackCursor != 0);
    if (a.input) a.input->Enable(kInputMouse | kInputKeyboard);
  }
}

void FillScreenInfo() {
  DXLAPPDATA& a = App();
  const gfx::PresentParams& p = a.settings.present;
  a.screenWidth = p.backBufferWidth;
  a.screenHeight = p.backBufferHeight;
  i32 ax = 0, ay = 0;
  DXLGetAspectRatio(static_cast<i32>(p.backBufferWidth), static_cast<i32>(p.backBufferHeight), &ax, &ay);
  a.aspectX = static_cast<u32>(ax);
  a.aspectY = static_cast<u32>(ay);
  a.fullScreen = p.windowed ? 0 : 1;
  a.backBufferFormat = p.backBufferFormat;
  a.bytesPerPixel = DXLGetFormatBytes(p.backBufferFormat);
  a.refreshRate = p.fullScreenRefreshRate;
  a.gameWidth = a.screenWidth;
  a.gameHeight = a.screenHeight;
}

// A folder locked for itself (the game's per-user folder) becomes the
// process's per-user folder, below which the disk is changed through its
// descriptor (plat::HeldFolder); it is taken out again before the lock goes
// (DXLShutdown).
void HoldInstanceFolder() {
  const plat::SingleInstance* lock = App().mutex;
  if (lock && !F().instanceFolder.empty()) plat::GetPlatformServices().userFolder = &lock->Folder();
}

}  // namespace

// --- State --------------------------------------------------------------------------------

const DXLAPPDATA& DXLGetAppData() { return App(); }
i32 DXLGetLastResult() { return F().lastResult; }
DXLWindowViewer* DXLGetViewer() { return App().viewer; }
DXLInput* DXLGetInput() { return App().input; }
kis::list<DXLTextures*>* DXLGetTextureLists() { return &F().textureLists; }

DXLTextures* DXLGetAppTextures() {
  if (!(App().flags & kAppTexturesCreated) || F().textureLists.GetCount() == 0) return nullptr;
  return F().textureLists.Get(0);
}

u32 DXLGetTimeMs() { return App().frameTimer ? App().frameTimer->GetGameTime() : 0; }
u32 DXLGetFps() { return App().viewer ? App().viewer->GetFramesPerSecond() : 0; }

void DXLSetPauseCallback(DXLPAUSECALLBACK callback) { F().pauseCallback = callback; }
void DXLSetStateCallback(DXLSTATECALLBACK callback) { F().stateCallback = callback; }
void DXLSetCharSink(DXLCHARSINK sink) { F().charSink = sink; }
void DXLSetInstanceFolder(const char* folder, const char* given) {
  F().instanceFolder = folder ? folder : "";
  F().instanceGiven = given ? given : "";
}

// --- Start-up ---------------------------------------------------------------------------------

bool DXLOpenLog(const wchar* folder) {
  std::u16string path;
  if (folder && folder[0]) {
    path = folder;
    if (path.back() != u'\\' && path.back() != u'/') path.push_back(u'\\');
  }
  path += u"log.txt";
  return DXLOpenLogW(path.c_str());
}

i32 DXLInitApp(u32 options) {
  DXLAPPDATA& a = App();
  a.options = options;
  a.active = 0;
  a.pauseLevel = 1;
  if (!(options & kAppKeepDirectory)) {
    const std::u16string program = plat::GetProgramPath();
    const size_t slash = program.find_last_of(u'/');
    if (slash != std::u16string::npos) plat::SetCurrentDirectory(program.substr(0, slash + 1));
  }
  return Store(0);
}

i32 DXLCheckSingleInstance(const wchar* name) {
  DXLAPPDATA& a = App();
  const std::string& folder = F().instanceFolder;
  if (!a.mutex)
    a.mutex = new plat::SingleInstance(folder, folder.empty() ? plat::LockOn::NamedFile : plat::LockOn::Folder,
                                       F().instanceGiven);
  const std::u16string_view view(name ? name : u"");
  // Decided earlier in this start.
  if ((a.mutex->Held() || a.mutex->Unguarded()) && a.mutex->Name() == view) return Store(0);
  switch (a.mutex->Acquire(view)) {
    case plat::InstanceStatus::First:
      plat::GetWindowSystem().WatchInstance(a.mutex);
      HoldInstanceFolder();
      return Store(0);
    case plat::InstanceStatus::Unguarded:
      // The lock call itself fails there: the start goes on without the
      // guard, and the caller tells the player (the log is not open yet).
      HoldInstanceFolder();
      return Store(0);
    case plat::InstanceStatus::Unavailable:
      // Without the lock nothing would keep a second copy off the same
      // files: the start fails (the lock's Why says why).
      DXLLogValueFormat(-1, "Single instance:", "lock unavailable: %s", a.mutex->Why().c_str());
      return Store(kAppSetupFailed);
    case plat::InstanceStatus::AlreadyRunning:
      break;
  }
  plat::WindowSystem& ws = plat::GetWindowSystem();
  const plat::WindowHandle other = ws.FindWindow(view);
  if (other != 0) {
    if (ws.IsIconic(other)) {
      ws.ShowWindow(other, plat::SW_RESTORE);
    } else {
      ws.SetForegroundWindow(other);
    }
  } else {
    a.mutex->SignalFirstInstance();  // the first instance is another process
  }
  return Store(kAppAlreadyRunning);
}

i32 DXLCreateWindow(u32 adapter, plat::InstanceHandle instance, const wchar* className, const wchar* title,
                    plat::WndProc userWindowProc, u32 iconId, DXLMODEFILTER filter) {
  DXLAPPDATA& a = App();
  a.flags = 0;
  const i32 single = DXLCheckSingleInstance(className);
  if (single != 0) return single;
  kis::StrCopyW(a.className, 100, className ? className : u"");
  kis::StrCopyW(a.title, 100, title ? title : u"");
  a.userWindowProc = userWindowProc;
  a.instance = instance;
  if (!a.viewer) a.viewer = new DXLWindowViewer();
  DXLWindowViewer* v = a.viewer;
  if (v->CreateMainWindow(instance, a.className, iconId, DXLWindowProc) != 0) return Store(kAppSetupFailed);
  v->SetTitle(a.title);
  v->SetModeFilter(filter);
  a.settings.adapter = adapter;
  a.settings.deviceType = gfx::D3DDEVTYPE_HAL;
  if (v->InitAdapter(a.settings.adapter, a.settings.deviceType) != 0) {
    a.settings.adapter = 0;
    if (v->InitAdapter(0, a.settings.deviceType) != 0) return Store(kAppSetupFailed);
  }
  DXLMATCHRULES rules{};
  rules.adapter = 1;
  rules.deviceType = 1;
  v->ChooseFormats(&a.settings, nullptr, &rules);
  a.flags |= kAppWindowCreated;
  return Store(0);
}

i32 DXLPrepareDisplayMode(u32 depthStencilFormat, u32 width, u32 height, u32 refreshRate, u32 backBufferFormat,
                          u32 /*unused1*/, u32 /*unused2*/, u32 /*unused3*/, bool fullScreen, bool vsync,
                          bool hardwareVertexProcessing, DXLDEVICESETTINGS* settings) {
  DXLAPPDATA& a = App();
  if (!(a.flags & kAppWindowCreated) || !a.viewer) return MissingStep();
  DXLDEVICESETTINGS wanted;
  std::memset(static_cast<void*>(&wanted), 0, sizeof(wanted));
  wanted.adapter = a.settings.adapter;
  wanted.deviceType = a.settings.deviceType;
  wanted.hardwareVertexProcessing = hardwareVertexProcessing ? 1 : 0;
  wanted.present.backBufferWidth = width;
  wanted.present.backBufferHeight = height;
  wanted.present.backBufferFormat = backBufferFormat;
  wanted.present.windowed = fullScreen ? 0 : 1;
  wanted.present.autoDepthStencilFormat = depthStencilFormat;
  wanted.present.fullScreenRefreshRate = refreshRate;
  wanted.present.presentationInterval = vsync ? gfx::D3DPRESENT_INTERVAL_ONE : gfx::D3DPRESENT_INTERVAL_IMMEDIATE;
  const DXLMATCHRULES rules{1, 1, 1, 0, 1, 1, 2, 1, 1, 0, 0, 1, 0};
  a.viewer->ChooseFormats(settings ? settings : &a.settings, &wanted, &rules);
  return Store(0);
}

i32 DXLSetDisplayMode(const DXLDEVICESETTINGS* settings, u32 clearColor) {
  DXLAPPDATA& a = App();
  if (!(a.flags & kAppWindowCreated) || !a.viewer) return MissingStep();
  if (settings && settings != &a.settings) a.settings = *settings;
  if (a.viewer->ChangeDisplayMode(&a.settings) != 0) return Store(kAppSetupFailed);
  a.flags |= kAppDeviceCreated;
  a.window = a.viewer->GetWindow();
  FillScreenInfo();
  if (clearColor != 0) a.viewer->ClearScreen(clearColor);
  a.viewer->EnableFrameCounter(true);
  return Store(0);
}

i32 DXLInitInput(bool trackCursor) {
  DXLAPPDATA& a = App();
  if (!(a.flags & kAppDeviceCreated)) return MissingStep();
  a.trackCursor = trackCursor ? 1 : 0;
  if (!a.input) a.input = new DXLInput(a.window);
  a.flags |= kAppInputCreated;
  if (a.input->InitDirectInput() != 0 || a.input->CreateDevices(kInputMouse | kInputKeyboard) != 0)
    return Store(kAppInputFailed);
  a.mouse = a.input->GetMouse();
  a.keyboard = a.input->GetKeyboard();
  a.mouse->SetTrackCursor(trackCursor);
  a.mouse->SetButtonDownCallback(ForwardMouseDown);
  a.mouse->SetButtonUpCallback(ForwardMouseUp);
  a.mouse->SetMoveCallback(ForwardMove);
  a.mouse->SetDoubleClickCallback(ForwardDoubleClick);
  a.mouse->SetWheelCallback(ForwardWheel);
  a.keyboard->SetKeyDownCallback(ForwardKeyDown);
  a.keyboard->SetKeyUpCallback(ForwardKeyUp);
  a.keyboard->SetKeyPressCallback(ForwardKeyPress);
  a.mouse->SetImmediate(false);
  a.mouse->SetBufferSize(kMouseEvents);
  a.keyboard->SetImmediate(false);
  a.keyboard->SetBufferSize(kKeyboardEvents);
  if (a.input->InitDevices(kInputMouse | kInputKeyboard) != 0) return Store(kAppInputFailed);
  return Store(0);
}

i32 DXLInitServices(u32 defaultCursorSlot) {
  DXLAPPDATA& a = App();
  if (F().lastResult < 0) return F().lastResult;
  F().textureLists.Add(new DXLTextures(a.viewer));
  a.flags |= kAppTexturesCreated;
  a.appState = 0;
  a.defaultCursorSlot = defaultCursorSlot;
  if (!a.frameTimer) a.frameTimer = new DXLFrameTimer();
  a.flags |= kAppRunning;
  DXLSetCursorWindow(a.window);
  plat::WindowSystem& ws = plat::GetWindowSystem();
  const u32 systemCursors[] = {plat::IDC_ARROW, plat::IDC_HAND, plat::IDC_IBEAM, plat::IDC_APPSTARTING,
                               plat::IDC_HELP};
  DXLCURSORDATA record;
  for (u32 slot = 0; slot < 5; ++slot) {
    DXLMakeSystemCursor(&record, slot, ws.LoadCursor(0, systemCursors[slot]));
    DXLAddCursor(&record);
  }
  DXLMakeSystemCursor(&record, 5, 0);  // no cursor at all
  DXLAddCursor(&record);
  DXLFindCursor(&record, 0);
  DXLSetDefaultCursor(&record);
  DXLActivateCursors();
  return Store(0);
}

// --- Callbacks and state ------------------------------------------------------------------

void DXLSetCallbacks(u32 mask, const DXLCALLBACKS* record) {
  if (!record) return;
  DXLCALLBACKS& c = F().callbacks;
  if (mask & 0x1) c.cursorQuery = record->cursorQuery;
  if (mask & 0x2) c.deactivated = record->deactivated;
  if (mask & 0x4) c.activated = record->activated;
  if (mask & 0x10) c.update = record->update;
  if (mask & 0x20) c.render = record->render;
  if (mask & 0x100) c.mouseDown = record->mouseDown;
  if (mask & 0x200) c.mouseUp = record->mouseUp;
  if (mask & 0x400) c.mouseMove = record->mouseMove;
  if (mask & 0x800) c.doubleClick = record->doubleClick;
  if (mask & 0x1000) c.mouseWheel = record->mouseWheel;
  if (mask & 0x10000) c.keyDown = record->keyDown;
  if (mask & 0x20000) c.keyUp = record->keyUp;
  if (mask & 0x40000) c.keyPress = record->keyPress;
}

void DXLGetCallbacks(u32 mask, DXLCALLBACKS* record) {
  if (!record) return;
  const DXLCALLBACKS& c = F().callbacks;
  if (mask & 0x1) record->cursorQuery = c.cursorQuery;
  if (mask & 0x2) record->deactivated = c.deactivated;
  if (mask & 0x4) record->activated = c.activated;
  if (mask & 0x10) record->update = c.update;
  if (mask & 0x20) record->render = c.render;
  if (mask & 0x100) record->mouseDown = c.mouseDown;
  if (mask & 0x200) record->mouseUp = c.mouseUp;
  if (mask & 0x400) record->mouseMove = c.mouseMove;
  if (mask & 0x800) record->doubleClick = c.doubleClick;
  if (mask & 0x1000) record->mouseWheel = c.mouseWheel;
  if (mask & 0x10000) record->keyDown = c.keyDown;
  if (mask & 0x20000) record->keyUp = c.keyUp;
  if (mask & 0x40000) record->keyPress = c.keyPress;
}

i32 DXLSetAppState(u32 state, bool resetInput) {
  DXLAPPDATA& a = App();
  if (state == a.appState) return 0;
  F().lastResult = 0;
  if (resetInput && a.input) a.input->ResetState(kInputMouse | kInputKeyboard);
  const u32 old = a.appState;
  if (F().stateCallback) F().stateCallback(old, state);
  a.appState = state;
  return 0;
}

u32 DXLGetAppState() { return App().appState; }

void DXLRequestPause(u32 request) {
  DXLAPPDATA& a = App();
  const u32 level = a.pauseLevel;
  u32 next = level;
  switch (request) {
    case kPauseWait:
      next = level > 1 ? level : 1;
      break;
    case kPauseSuspend:
      next = 2;
      break;
    case kPauseUserInput:
      next = level == 1 ? 0 : level;
      break;
    case kPauseReactivateWait:
      next = level < 1 ? level : 1;
      break;
    case kPauseReactivateResume:
      next = 0;
      break;
    default:
      return;
  }
  if (next == level) return;
  const bool running = (a.flags & kAppRunning) != 0;
  if (running) {
    if (next > level) {
      RaiseLevel(level, next);
    } else {
      LowerLevel(level, next);
    }
  }
  a.pauseLevel = next;
  if (running && F().pauseCallback) F().pauseCallback(request);
}

void DXLDeactivate(bool suspend) {
  DXLAPPDATA& a = App();
  if (!a.active) return;
  a.active = 0;
  DXLRequestPause(suspend ? kPauseSuspend : kPauseWait);
  if (F().callbacks.deactivated) F().callbacks.deactivated();
}

void DXLActivate() {
  DXLAPPDATA& a = App();
  if (a.active) return;
  a.active = 1;
  const u32 modeBit = a.fullScreen ? kAppResumeFullScreen : kAppResumeWindowed;
  DXLRequestPause((a.options & modeBit) ? kPauseReactivateResume : kPauseReactivateWait);
  if (F().callbacks.activated) F().callbacks.activated();
}

void DXLUpdateCursor() {
  DXLAPPDATA& a = App();
  if (a.pauseLevel != 0) return;
  u32 slot = kCursorDefaultSlot;
  if (F().callbacks.cursorQuery) F().callbacks.cursorQuery(&slot);
  if (slot == a.currentCursorSlot) return;
  a.currentCursorSlot = slot;
  if (slot == kCursorDefaultSlot) {
    DXLApplyDefaultCursor();
  } else {
    DXLSelectCursor(slot);
  }
}

// --- Per frame ----------------------------------------------------------------------------

i32 DXLBeginFrame() {
  if (!App().viewer) return MissingStep();
  return Store(App().viewer->BeginFrame() == 0 ? 0 : kAppBeginFrameFailed);
}

i32 DXLPresent() {
  if (!App().viewer) return MissingStep();
  return Store(App().viewer->Present() == 0 ? 0 : kAppPresentFailed);
}

i32 DXLClear(u32 color) {
  if (!App().viewer) return MissingStep();
  return Store(App().viewer->Clear(color) == 0 ? 0 : kAppClearFailed);
}

i32 DXLClearEx(u32 flags, u32 color, u32 stencil) {
  if (!App().viewer) return MissingStep();
  return Store(App().viewer->ClearEx(flags, color, stencil) == 0 ? 0 : kAppClearFailed);
}

// --- The loop -----------------------------------------------------------------------------

void DXLStartLoop() {
  DXLAPPDATA& a = App();
  if (a.frameTimer) a.frameTimer->Start();
  // Enter the level again with its side effects.
  const u32 level = a.pauseLevel;
  a.pauseLevel = 0;
  if (level == 2) DXLRequestPause(kPauseSuspend);
  if (level == 1) DXLRequestPause(kPauseWait);
}

bool DXLRunPass() {
  DXLAPPDATA& a = App();
  plat::WindowSystem& ws = plat::GetWindowSystem();
  plat::Msg msg;
  if (ws.PeekMessage(&msg, plat::PM_REMOVE)) {
    if (msg.message == plat::WM_QUIT) return false;
    ws.TranslateMessage(msg);
    ws.DispatchMessage(msg);
    return true;
  }
  if (a.input) a.input->Poll(kInputMouse | kInputKeyboard);
  if (a.frameTimer) a.frameTimer->Tick();
  if (a.pauseLevel > 0 && !(a.appState & kLoadingStateBit)) plat::SleepMs(kPausedSleepMs);
  if (a.pauseLevel >= 2) return true;
  const u32 state = a.appState;
  if (F().callbacks.update) F().callbacks.update();
  if (a.appState != state) return true;
  DXLUpdateCursor();
  if (DXLBeginFrame() != 0) return true;
  if (F().callbacks.render) {
    F().callbacks.render();
  } else if (DXLClear(kClearBlack) != 0) {
    return true;
  }
  DXLPresent();
  return true;
}

i32 DXLRun() {
  DXLStartLoop();
  while (DXLRunPass()) {
  }
  return 0;
}

void DXLShutdown() {
  DXLAPPDATA& a = App();
  if (a.flags != 0) {
    DXLDeactivateCursors();
    DXLSetAppState(kAppStateShutdown, true);
    a.flags &= ~kAppRunning;
    delete a.frameTimer;
    a.frameTimer = nullptr;
    if (a.flags & kAppInputCreated) {
      delete a.input;
      a.input = nullptr;
      a.mouse = nullptr;
      a.keyboard = nullptr;
    }
    if ((a.flags & kAppTexturesCreated) && F().textureLists.GetCount() > 0) {
      DXLTextures* own = F().textureLists.Get(0);
      F().textureLists.Delete(0);
      delete own;
    }
    delete a.viewer;
    a.viewer = nullptr;
  }
  DXLCloseLog();
  a.flags = 0;
  if (a.mutex) {
    plat::GetWindowSystem().WatchInstance(nullptr);
    plat::PlatformServices& platform = plat::GetPlatformServices();
    if (platform.userFolder == &a.mutex->Folder()) platform.userFolder = nullptr;
    delete a.mutex;
    a.mutex = nullptr;
  }
  // What a failed start-up left behind.
  delete a.input;
  delete a.viewer;
  delete a.frameTimer;
  F().Reset();
}

// --- Window procedures -------------------------------------------------------------------

intptr_t DXLWindowProc(plat::WindowHandle window, u32 message, uintptr_t wParam, intptr_t lParam) {
  DXLAPPDATA& a = App();
  plat::WindowSystem& ws = plat::GetWindowSystem();
  switch (message) {
    case plat::WM_SYSKEYDOWN:
      if (wParam == plat::VK_MENU) wParam = 0;  // Alt alone must not open the system menu
      break;
    case plat::WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == plat::SC_MINIMIZE) DXLDeactivate(true);
      if ((wParam & 0xFFF0) == plat::SC_RESTORE) DXLActivate();
      break;
    case plat::WM_GETMINMAXINFO: {
      plat::Rect frame{0, 0, 0, 0};
      ws.AdjustWindowRect(&frame, ws.GetWindowLong(window, plat::GWL_STYLE), false);
      auto* info = reinterpret_cast<plat::MinMaxInfo*>(lParam);
      const gfx::PresentParams& p = a.settings.present;
      if (info && p.backBufferWidth != 0) info->minTrackSize.x = static_cast<i32>(p.backBufferWidth) + frame.Width();
      if (info && p.backBufferHeight != 0)
        info->minTrackSize.y = static_cast<i32>(p.backBufferHeight) + frame.Height();
      break;
    }
    case plat::WM_CLOSE:
      ws.PostQuitMessage(0);
      break;
    case plat::WM_ACTIVATEAPP: {
      const bool minimised = (ws.GetWindowLong(window, plat::GWL_STYLE) & plat::WS_MINIMIZE) != 0;
      if (wParam == 0) {
        DXLDeactivate(minimised || a.fullScreen != 0);
      } else if (!minimised) {
        DXLActivate();
      }
      break;
    }
    default:
      break;
  }
  const intptr_t hooked = DXLCursorWindowHook(window, message, wParam, lParam);
  if (hooked != 0) return hooked;
  if (a.userWindowProc) return a.userWindowProc(window, message, wParam, lParam);
  return ws.DefWindowProc(window, message, wParam, lParam);
}

intptr_t DXLGameWindowProc(plat::WindowHandle window, u32 message, uintptr_t wParam, intptr_t lParam) {
  plat::WindowSystem& ws = plat::GetWindowSystem();
  if (message == plat::WM_CLOSE) {
    ws.PostQuitMessage(0);
    return 0;
  }
  if (message == plat::WM_CHAR) {
    if (F().charSink) F().charSink(static_cast<u16>(wParam));
    return 0;
  }
  return ws.DefWindowProc(window, message, wParam, lParam);
}

// --- Helpers -------------------------------------------------------------------------------

DXLTexture* DXLLoadTextureFile(DXLTextures* list, const wchar* fileName, u32 blendMode, const wchar* name,
                               bool nameFromFile, u32 edgeFlags) {
  if (!list) return nullptr;
  DXLTexture* texture = list->NewTexture();
  texture->SetFileName(fileName, true);
  texture->SetImageFilter(1);
  if (edgeFlags != 0) texture->SetEdgeFlags(edgeFlags);
  texture->Load();
  DXLDRAWSTATE state;
  DXLMakeSimpleDrawState(&state, 1, 3, blendMode, 4);
  texture->SetDrawState(state);
  if (nameFromFile && fileName) {
    wchar base[DXLTexture::kNameSize];
    kis::ExtractFileNameW(base, DXLTexture::kNameSize, fileName, false);
    texture->SetName(base);
  } else if (name) {
    texture->SetName(name);
  }
  return texture;
}

const wchar* DXLNextToken(const wchar** cursor, u32* length) {
  if (!cursor || !*cursor) return nullptr;
  const wchar* p = *cursor;
  while (*p == u' ' || *p == u'\t') ++p;
  *cursor = p;
  if (*p == 0) return nullptr;
  const wchar* start;
  const wchar* end;
  if (*p == u'"') {
    start = p + 1;
    end = start;
    while (*end && *end != u'"') ++end;
    if (*end != u'"') return nullptr;
    *cursor = end + 1;
  } else {
    start = p;
    end = p;
    while (*end && *end != u' ' && *end != u'\t') ++end;
    *cursor = end;
  }
  if (length) *length = static_cast<u32>(end - start);
  return start;
}
