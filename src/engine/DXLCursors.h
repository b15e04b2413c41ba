// DXLCursors - the cursor manager: a list of cursor records, each bound to a
// slot number, and the one record currently shown. A record is a system
// cursor (kind 1), a device cursor made from a texture (kind 2) or a texture
// the engine draws itself at the pointer just before each present (kind 3).
// There is one manager for the process, reached through the free functions
// below; the application frame fills slots 0 to 5 with system cursors and
// selects a slot each frame.
//
// Over the client area the manager sets the cursor on every WM_SETCURSOR
// (through DXLCursorWindowHook); elsewhere, with client-area-only on, it
// leaves the cursor to the window system. A texture cursor whose image is not
// ready is shown as soon as the image is. When an image goes away its records
// are dropped, and a current or default record that used it falls back to the
// default, or to no cursor, never to the freed image.
#pragma once

#include <memory>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDeviceObject.h"
#include "engine/DXLDrawTypes.h"
#include "platform/os/WindowTypes.h"

class DXLTexture;

// Kinds of cursor records.
constexpr u32 kCursorKindNone = 0;  // no cursor (CursorIds.h's kCursorNone is a cursor id)
constexpr u32 kCursorSystem = 1;
constexpr u32 kCursorDevice = 2;
constexpr u32 kCursorTexture = 3;

constexpr i32 kCursorHotspotCentre = 0x7FFFFFFF;  // half the image's width or height

struct DXLCURSORDATA {
  u32 kind;
  u32 slot;
  i32 hotspotX;
  i32 hotspotY;
  uintptr_t handle;  // a cursor handle (kind 1) or a DXLTexture* (kinds 2 and 3)
};

class DXLCursors : public DXLDeviceObject {
 public:
  DXLCursors();
  ~DXLCursors() override;

  void Notify(DXLNotifyObject* sender, u32 code) override;
  void OnDeviceEvent(DXLViewer* viewer, u32 code) override;

  void Add(const DXLCURSORDATA& record);
  void Find(DXLCURSORDATA* out, u32 slot) const;
  void Select(u32 slot);
  void SetDefault(const DXLCURSORDATA& record);
  void ApplyDefault();
  void SetWindow(plat::WindowHandle window);
  void Activate();
  void Deactivate();
  intptr_t WindowHook(plat::WindowHandle window, u32 message, uintptr_t wParam, intptr_t lParam);
  void DrawTextureCursor(DXLViewer* viewer);

  const DXLCURSORDATA& GetCurrent() const { return current_; }
  const DXLCURSORDATA& GetDefault() const { return default_; }
  bool IsActive() const { return active_ != 0; }
  bool IsShown() const { return shown_ != 0; }
  bool IsInClient() const { return inClient_ != 0; }
  bool IsDefaultApplied() const { return defaultApplied_ != 0; }
  void SetClientAreaOnly(bool on) { clientOnly_ = on ? 1 : 0; }
  i32 GetCount() const { return records_.GetCount(); }
  // The hotspot of the current record, with centre markers worked out.
  void GetHotspot(i32* x, i32* y) const;

 private:
  bool Apply(const DXLCURSORDATA& record);
  bool Prepare();
  bool Show();
  void Hide();
  void JoinViewer();
  void LeaveViewer();

  kis::list<DXLCURSORDATA*> records_;  // owned
  u8 active_ = 0;
  plat::WindowHandle window_ = 0;
  DXLCURSORDATA current_{};
  DXLCURSORDATA default_{};
  u8 clientOnly_ = 1;
  u8 shown_ = 0;
  u8 inClient_ = 0;
  u8 defaultApplied_ = 1;
  DXLQUAD quad_{};
};

// The process's cursor manager, made on first use.
DXLCursors& DXLGetCursors();
// Destroys the manager (tests; the next use makes a fresh one).
void DXLResetCursors();

void DXLMakeEmptyCursor(DXLCURSORDATA* out);
void DXLMakeSystemCursor(DXLCURSORDATA* out, u32 slot, plat::CursorHandle cursor);
void DXLFindCursor(DXLCURSORDATA* out, u32 slot);
void DXLAddCursor(const DXLCURSORDATA* record);
void DXLSelectCursor(u32 slot);
void DXLSetDefaultCursor(const DXLCURSORDATA* record);
void DXLApplyDefaultCursor();
void DXLSetCursorWindow(plat::WindowHandle window);
void DXLActivateCursors();
void DXLDeactivateCursors();
intptr_t DXLCursorWindowHook(plat::WindowHandle window, u32 message, uintptr_t wParam, intptr_t lParam);
// The viewer's pre-present hook for texture cursors.
void DXLDrawTextureCursor(DXLViewer* viewer);
