// The application frame: one process-wide state block and the free functions
// the game's entry point calls, in order, to bring up the log, the window and
// device, input and the cursors, and then to run the message loop. The loop
// drives the game through callbacks only: a record of thirteen words
// (DXLCALLBACKS) selected by bit masks, plus a pause callback and a state
// callback.
//
// Pause levels: 0 running, 1 waiting for the user (a click in the client
// area or a key resumes; that input is not passed on), 2 suspended (no
// update, render or input; only releases reach the game). Losing activation
// raises the level, minimising raises it to 2, restoring and activation lower
// it; the side effects (frame timer, frame counter, input devices, cursor)
// and the pause callback take effect only once the services run.
//
// The mouse and keyboard are read buffered: every press and its release reach
// the game in order, however short, with one key press (the first of its
// auto-repeat) between a key's down and up.
//
// The single-instance check may run before anything else (the entry point
// decides it before it opens the log, so a refused second start touches no
// file of the first); DXLCreateWindow then finds the lock held and goes on.
//
// Every frame operation stores its result as the last result and returns it;
// an operation whose earlier step failed returns that failure, or 0x8000C004
// when none is recorded. Everything runs on the thread that made the window.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLMouse.h"
#include "engine/DXLViewer.h"
#include "platform/os/WindowTypes.h"

class DXLFrameTimer;
class DXLInput;
class DXLKeyboard;
class DXLTexture;
class DXLTextures;
class DXLWindowViewer;
namespace plat {
class SingleInstance;
}

// Frame result codes.
constexpr i32 kAppSetupFailed = static_cast<i32>(0x8000C004u);
constexpr i32 kAppInputFailed = static_cast<i32>(0x8000C005u);
constexpr i32 kAppBeginFrameFailed = static_cast<i32>(0x8000C006u);
constexpr i32 kAppPresentFailed = static_cast<i32>(0x8000C007u);
constexpr i32 kAppClearFailed = static_cast<i32>(0x8000C008u);
constexpr i32 kAppAlreadyRunning = static_cast<i32>(0x8000C009u);

// State flags.
constexpr u32 kAppWindowCreated = 0x1;
constexpr u32 kAppDeviceCreated = 0x2;
constexpr u32 kAppInputCreated = 0x4;
constexpr u32 kAppTexturesCreated = 0x10;
constexpr u32 kAppRunning = 0x80000000u;

// Options of DXLInitApp.
constexpr u32 kAppResumeWindowed = 0x1;    // on reactivation in a window resume at once
constexpr u32 kAppResumeFullScreen = 0x2;  // the same in full screen
constexpr u32 kAppKeepDirectory = 0x4;     // leave the current directory alone

// Pause requests.
constexpr u32 kPauseWait = 1;
constexpr u32 kPauseUserInput = 2;
constexpr u32 kPauseSuspend = 3;
constexpr u32 kPauseReactivateWait = 4;
constexpr u32 kPauseReactivateResume = 6;

constexpr u32 kCursorDefaultSlot = 0x80000000u;  // the cursor query's "no particular cursor"
constexpr u32 kAppStateShutdown = 0xFFFFFFFFu;

struct DXLCALLBACKS {
  void (*cursorQuery)(u32* slot);                                          // 0x1
  void (*deactivated)();                                                   // 0x2
  void (*activated)();                                                     // 0x4
  void (*update)();                                                        // 0x10
  void (*render)();                                                        // 0x20
  void (*mouseDown)(DXLPOINT point, u32 button, u32 modifiers);            // 0x100
  void (*mouseUp)(DXLPOINT point, u32 button, u32 modifiers);              // 0x200
  void (*mouseMove)(DXLPOINT point, u32 buttonsHeld, u32 modifiers);       // 0x400
  void (*doubleClick)(DXLPOINT point, u32 modifiers);                      // 0x800
  void (*mouseWheel)(DXLPOINT point, i32 delta, u32 buttonsHeld, u32 modifiers);  // 0x1000
  void (*keyDown)(u16 key, u32 modifiers);                                 // 0x10000
  void (*keyUp)(u16 key, u32 modifiers);                                   // 0x20000
  void (*keyPress)(u16 key, u32 modifiers);                                // 0x40000
};

constexpr u32 kCallbackCursorQuery = 0x1;
constexpr u32 kCallbackDeactivated = 0x2;
constexpr u32 kCallbackActivated = 0x4;
constexpr u32 kCallbackUpdate = 0x10;
constexpr u32 kCallbackRender = 0x20;
constexpr u32 kCallbackMouse = 0x1F00;
constexpr u32 kCallbackKeyboard = 0x70000;
constexpr u32 kCallbackAll = 0x71F37;

using DXLPAUSECALLBACK = void (*)(u32 request);
using DXLSTATECALLBACK = void (*)(u32 oldState, u32 newState);
// Takes the characters typed into the game's window (see DXLGameWindowProc).
using DXLCHARSINK = void (*)(u16 character);

struct DXLAPPDATA {
  u32 flags;
  u32 options;
  plat::SingleInstance* mutex;
  plat::InstanceHandle instance;
  wchar className[100];
  wchar title[100];
  plat::WindowHandle window;
  plat::WndProc userWindowProc;
  DXLDEVICESETTINGS settings;
  DXLWindowViewer* viewer;
  DXLInput* input;
  DXLMouse* mouse;
  DXLKeyboard* keyboard;
  u8 trackCursor;
  u32 active;
  u32 pauseLevel;
  u32 appState;
  u32 defaultCursorSlot;
  DXLFrameTimer* frameTimer;
  u32 currentCursorSlot;
  kis::list<DXLTextures*>* textureLists;  // entry 0: the application's own list
  u32 screenWidth, screenHeight;
  u32 refreshRate;
  u32 backBufferFormat;
  u32 aspectX, aspectY;
  u32 bytesPerPixel;
  u32 fullScreen;
  u32 gameWidth, gameHeight;
};

// The frame's state block (read it; change it only through the functions).
const DXLAPPDATA& DXLGetAppData();
i32 DXLGetLastResult();

// --- Start-up, in this order ----------------------------------------------------------
bool DXLOpenLog(const wchar* folder);  // "log.txt" in the folder (the program folder when null)
i32 DXLInitApp(u32 options);
i32 DXLCreateWindow(u32 adapter, plat::InstanceHandle instance, const wchar* className, const wchar* title,
                    plat::WndProc userWindowProc, u32 iconId, DXLMODEFILTER filter);
i32 DXLPrepareDisplayMode(u32 depthStencilFormat, u32 width, u32 height, u32 refreshRate, u32 backBufferFormat,
                          u32 unused1, u32 unused2, u32 unused3, bool fullScreen, bool vsync,
                          bool hardwareVertexProcessing, DXLDEVICESETTINGS* settings);
i32 DXLSetDisplayMode(const DXLDEVICESETTINGS* settings, u32 clearColor);
i32 DXLInitInput(bool trackCursor);
i32 DXLInitServices(u32 defaultCursorSlot);
void DXLSetPauseCallback(DXLPAUSECALLBACK callback);
void DXLSetStateCallback(DXLSTATECALLBACK callback);
i32 DXLRun();
void DXLShutdown();

// The loop in two steps (DXLRun is DXLStartLoop, then DXLRunPass until it
// returns false): starting settles the pause level; a pass takes one message
// or runs one idle pass, and gives false once WM_QUIT was taken.
void DXLStartLoop();
bool DXLRunPass();

// --- Callbacks and state ----------------------------------------------------------------
void DXLSetCallbacks(u32 mask, const DXLCALLBACKS* record);
void DXLGetCallbacks(u32 mask, DXLCALLBACKS* record);
i32 DXLSetAppState(u32 state, bool resetInput);
u32 DXLGetAppState();
void DXLRequestPause(u32 request);
void DXLDeactivate(bool suspend);
void DXLActivate();
void DXLUpdateCursor();

// --- Per frame ---------------------------------------------------------------------------
i32 DXLBeginFrame();
i32 DXLPresent();
i32 DXLClear(u32 color);
i32 DXLClearEx(u32 flags, u32 color, u32 stencil);

// --- Services ------------------------------------------------------------------------------
DXLWindowViewer* DXLGetViewer();
DXLInput* DXLGetInput();
DXLTextures* DXLGetAppTextures();  // the application's own texture list, or null
kis::list<DXLTextures*>* DXLGetTextureLists();
u32 DXLGetTimeMs();  // game time of the frame timer
u32 DXLGetFps();     // frames presented in the last whole second
// A texture loaded from a picture file (image filter 1: no scaling, the
// picture at the texture's top left); `edgeFlags` (kTextureEdgeRight,
// kTextureEdgeBottom) repeat the picture's last column and row into the
// texture's padding, so that a scaled picture does not fade at those edges.
DXLTexture* DXLLoadTextureFile(DXLTextures* list, const wchar* fileName, u32 blendMode, const wchar* name,
                               bool nameFromFile, u32 edgeFlags = 0);
// Splits a command line: skips blanks and tabs, gives the next token (a quoted
// one without its quotes) and its length, and moves the cursor past it. Null
// at the end, or when a closing quote is missing.
const wchar* DXLNextToken(const wchar** cursor, u32* length);
// 0 when this process holds (or now takes) the lock of the name, or runs
// without one because the lock call itself fails there (the lock's
// Unguarded() and Why() say so: the caller tells the player);
// kAppAlreadyRunning when another instance holds it, whose window is brought
// forward; kAppSetupFailed when the lock cannot be had (no private folder,
// no lock file, a folder that does not open: the log and
// DXLGetAppData().mutex->Why() say why). A folder set with
// DXLSetInstanceFolder, once locked (or held unguarded), is the process's
// per-user folder (plat::PlatformServices::userFolder) until DXLShutdown.
i32 DXLCheckSingleInstance(const wchar* name);

// The frame's window procedure, given to the viewer for the window class.
intptr_t DXLWindowProc(plat::WindowHandle window, u32 message, uintptr_t wParam, intptr_t lParam);
// A window procedure for the game: WM_CLOSE posts the quit message and gives
// 0; WM_CHAR hands the character to the character sink (when one is set) and
// gives 0; everything else goes to the default procedure.
intptr_t DXLGameWindowProc(plat::WindowHandle window, u32 message, uintptr_t wParam, intptr_t lParam);
void DXLSetCharSink(DXLCHARSINK sink);

// The folder of the single-instance lock, locked itself (the game: its
// per-user folder, so copies on other folders run side by side; empty: a
// lock file in the default, a private folder of the user, see
// plat::SingleInstance). `given`: the start of its path taken as given
// (the game's XDG_DATA_HOME): below it the folder must be this user's,
// reached without a link (plat::SingleInstance).
void DXLSetInstanceFolder(const char* folder, const char* given = nullptr);
