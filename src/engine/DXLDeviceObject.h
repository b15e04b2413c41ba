// DXLDeviceObject - a notify object that holds resources of the rendering
// device and is told by its viewer when the device comes and goes. Every
// derived class supplies OnDeviceEvent; attaching and detaching
// (kDeviceAttached and kDeviceDetached, with registration at the viewer) are
// the derived class's own operations, and its destructor must detach first.
#pragma once

#include "engine/DXLNotifyObject.h"

class DXLViewer;

// Device event codes.
constexpr u32 kDeviceAttached = 0;      // sent by the object itself, then it registers
constexpr u32 kDeviceDetached = 1;      // the object or the viewer's destructor; it unregisters
constexpr u32 kDeviceCreated = 2;       // the viewer made a device
constexpr u32 kDeviceReleasing = 3;     // the device is about to be released
constexpr u32 kDeviceResetting = 4;     // the device is about to be reset
constexpr u32 kDeviceResetDone = 5;     // the device was reset successfully

class DXLDeviceObject : public DXLNotifyObject {
 public:
  DXLDeviceObject() = default;
  ~DXLDeviceObject() override = default;

  virtual void OnDeviceEvent(DXLViewer* viewer, u32 code) = 0;

  DXLViewer* GetViewer() const { return viewer_; }

 protected:
  DXLViewer* viewer_ = nullptr;
};
