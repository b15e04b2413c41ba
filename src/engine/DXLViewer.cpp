#include "engine/DXLViewer.h"

#include "base/Maths.h"
#include "engine/DXLD3DX.h"
#include "engine/DXLDeviceObject.h"
#include "engine/DXLImageDecoder.h"
#include "engine/DXLLog.h"
#include "engine/DXLSystemInfo.h"
#include "engine/image/PixelFormat.h"
#include "platform/os/Clock.h"

namespace gfx = plat::gfx;

DXLViewer::DXLViewer() {
  transform_ = gfx::IdentityMatrix();
  offset_ = gfx::IdentityMatrix();
  spare_ = gfx::IdentityMatrix();
  InitDirect3D();
}

DXLViewer::~DXLViewer() {
  Shutdown();
  adapters_.DeleteAll();
  adapter_ = nullptr;
  d3d_.reset();
  DXLFreeD3DX();
  DXLRemoveImageDecoder();
  NotifyDeviceObjects(kDeviceDetached);
  scissors_.DeleteAll();
  savedStencils_.DeleteAll();
  deviceObjects_.Clear();
}

i32 DXLViewer::InitDirect3D() {
  DXLLogBeginBlock("Initialize DirectX", "Initialize successful.", false);
  const i32 info = DXLLogSystemInfo();
  if (info < 0) {
    DXLLogEndBlock(false);
    lastResult_ = info;
    return info;
  }
  // Image files handed to the utility library are read by the engine's own
  // bitmap readers.
  DXLInstallImageDecoder();
  d3d_ = gfx::Direct3DCreate9(gfx::D3D_SDK_VERSION);
  if (!d3d_) {
    DXLReportErrorA(-1, "Direct3D create failed!");
    DXLLogEndBlock(false);
    lastResult_ = kViewerNoDirect3D;
    return lastResult_;
  }
  DXLLogEndBlock(true);
  lastResult_ = 0;
  return 0;
}

gfx::WindowHandle DXLViewer::GetWindow() { return settings_ ? settings_->present.deviceWindow : 0; }

bool DXLViewer::IsVSync() const {
  return settings_ && settings_->present.presentationInterval != gfx::D3DPRESENT_INTERVAL_IMMEDIATE;
}

bool DXLViewer::IsTextureFormatSupported(u32 format) {
  if (!device_ || !d3d_ || !settings_) return false;
  return gfx::Succeeded(d3d_->CheckDeviceFormat(settings_->adapter, settings_->deviceType,
                                                settings_->present.backBufferFormat, 0, gfx::D3DRTYPE_TEXTURE,
                                                format));
}

// --- Display mode and device -------------------------------------------------

i32 DXLViewer::ChangeDisplayMode(const DXLDEVICESETTINGS* settings) {
  if (!settings) {
    lastResult_ = device_ ? 0 : kViewerNoSettings;
    return lastResult_;
  }
  // The caller's record may be our own current settings: copy it first.
  const DXLDEVICESETTINGS wanted = *settings;
  i32 result = InitAdapter(wanted.adapter, wanted.deviceType);
  if (result == 0) {
    previousSettings_ = std::move(settings_);
    settings_ = std::make_unique<DXLDEVICESETTINGS>(wanted);

    DXLLogBeginBlock("Change Display Mode", "Change successful.", true);
    StopFrameCounter();
    fpsPlaceholder_ = DXLLogRemovePlaceholder(fpsPlaceholder_);
    const gfx::PresentParams& p = settings_->present;
    char format[17];
    DXLGetFormatName(format, sizeof(format), p.backBufferFormat);
    DXLLogValueFormat(-1, "Display:", "%d x %d %s", static_cast<int>(p.backBufferWidth),
                      static_cast<int>(p.backBufferHeight), format);
    DXLLogChoiceA(-1, "Fullscreen:", !p.windowed, "Yes", "No");
    if (p.fullScreenRefreshRate == 0) {
      DXLLogValueA(-1, "Refresh:", "Default");
    } else {
      DXLLogValueFormat(-1, "Refresh:", "%d Hz", static_cast<int>(p.fullScreenRefreshRate));
    }
    DXLLogChoiceA(-1, "VSync:", IsVSync(), "Yes", "No");
    DXLLogChoiceA(-1, "Vertex Processing:", settings_->hardwareVertexProcessing != 0, "Hardware", "Software");
    DXLLogValueA(-1, "FPS:", "");
    DXLLogTabTo(-1);
    fpsPlaceholder_ = DXLLogAddPlaceholder(8, "???");

    result = CreateDevice();
    if (result == 0) {
      DXLLogEndBlock(true);
      previousSettings_.reset();
      StartFrameCounter();
      lastResult_ = 0;
      return 0;
    }
    DXLLogEndBlock(false);
  }
  const i32 failure = result != 0 ? result : lastResult_;
  ReleaseAll(true);
  lastResult_ = failure;
  return failure;
}

i32 DXLViewer::CreateDevice() {
  const gfx::WindowHandle window = settings_ ? settings_->present.deviceWindow : 0;
  if (!settings_ || window == 0 || window == ~gfx::WindowHandle{0}) {
    DXLReportErrorA(-1, "Invalid Window Handle.");
    lastResult_ = kViewerInvalidWindow;
    return lastResult_;
  }
  const bool newDevice = !previousSettings_ || previousSettings_->deviceType != settings_->deviceType ||
                         previousSettings_->hardwareVertexProcessing != settings_->hardwareVertexProcessing;
  if (device_ && !newDevice) {
    const i32 reset = ResetDevice();
    if (reset != 0) return reset;
  } else {
    DestroyDevice();
    if (!d3d_) {
      lastResult_ = kViewerNoDirect3D;
      return lastResult_;
    }
    const u32 behaviour = settings_->hardwareVertexProcessing ? gfx::D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                              : gfx::D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    gfx::PresentParams params = settings_->present;
    const gfx::HRESULT hr = d3d_->CreateDevice(settings_->adapter, settings_->deviceType, window, behaviour,
                                               &params, &device_);
    if (gfx::Failed(hr)) {
      device_.reset();
      DXLLogDXError(-1, "CreateDevice: ", hr);
      lastResult_ = hr;
      return hr;
    }
    NotifyDeviceObjects(kDeviceCreated);
  }
  if (settings_->present.windowed) {
    clientRect_ = DXLRECT{0, 0, static_cast<i32>(settings_->present.backBufferWidth),
                          static_cast<i32>(settings_->present.backBufferHeight)};
  }
  RestoreStates();
  lastResult_ = 0;
  return 0;
}

i32 DXLViewer::ResetDevice() {
  if (!device_ || !settings_) {
    lastResult_ = kViewerNoDevice;
    return lastResult_;
  }
  NotifyDeviceObjects(kDeviceResetting);
  gfx::PresentParams params = settings_->present;
  const gfx::HRESULT hr = device_->Reset(&params);
  if (gfx::Failed(hr)) {
    DXLLogDXError(-1, "Reset: ", hr);
    lastResult_ = hr;
    return hr;
  }
  NotifyDeviceObjects(kDeviceResetDone);
  lastResult_ = 0;
  return 0;
}

void DXLViewer::DestroyDevice() {
  StopFrameCounter();
  if (!device_) return;
  NotifyDeviceObjects(kDeviceReleasing);
  device_.reset();
  deviceLost_ = 0;
  currentTexture_ = nullptr;
  ClearScissorState();
  savedStencils_.DeleteAll();
}

void DXLViewer::ReleaseAll(bool freeSettings) {
  DestroyDevice();
  adapter_ = nullptr;
  if (freeSettings) {
    settings_.reset();
    previousSettings_.reset();
  }
}

void DXLViewer::Shutdown() {
  if (d3d_) ReleaseAll(true);
}

// --- Frames --------------------------------------------------------------

i32 DXLViewer::BeginFrame() {
  if (!device_) {
    lastResult_ = kViewerNoDevice;
    return lastResult_;
  }
  if (deviceLost_) {
    const gfx::HRESULT test = device_->TestCooperativeLevel();
    if (test == gfx::D3DERR_DEVICELOST) {
      lastResult_ = test;
      return test;
    }
    if (gfx::Failed(test)) {
      if (ResetDevice() != 0) {
        lastResult_ = test;
        return test;
      }
      RestoreStates();
    }
    deviceLost_ = 0;
  }
  const gfx::HRESULT hr = device_->BeginScene();
  if (gfx::Failed(hr)) {
    lastResult_ = hr;
    return hr;
  }
  device_->SetTexture(0, nullptr);
  currentTexture_ = nullptr;
  // The mode is forced so that the blend states are applied below whatever
  // the stored mode says.
  blendMode_ = 0;
  SetStencilMode(kStencilFlagsAllOff, 0, 0);
  ApplyBlendStates();
  LoadIdentity(nullptr);
  ApplyTransform(nullptr);
  lastResult_ = 0;
  return 0;
}

i32 DXLViewer::Present() {
  if (!device_) {
    lastResult_ = kViewerNoDevice;
    return lastResult_;
  }
  if (deviceLost_) {
    lastResult_ = kViewerDeviceLost;
    return lastResult_;
  }
  if (prePresent_) prePresent_(this);
  device_->SetTexture(0, nullptr);
  currentTexture_ = nullptr;
  gfx::HRESULT hr = device_->EndScene();
  if (gfx::Succeeded(hr)) hr = device_->Present();
  if (gfx::Succeeded(hr) && counterRunning_) LimitFrameRate();
  if (hr == gfx::D3DERR_DEVICELOST || hr == gfx::D3DERR_DRIVERINTERNALERROR) deviceLost_ = 1;
  lastResult_ = hr;
  return hr;
}

i32 DXLViewer::ClearScreen(u32 color) {
  i32 hr = BeginFrame();
  if (hr != 0) return hr;
  Clear(color);
  return Present();
}

i32 DXLViewer::Clear(u32 color) { return ClearEx(gfx::D3DCLEAR_TARGET, color, 0); }

i32 DXLViewer::ClearEx(u32 flags, u32 color, u32 stencil) {
  if (!device_) {
    lastResult_ = kViewerNoDevice;
    return lastResult_;
  }
  if (deviceLost_) {
    lastResult_ = kViewerDeviceLost;
    return lastResult_;
  }
  lastResult_ = device_->Clear(flags, color, 0.0f, stencil);
  return lastResult_;
}

// --- Device objects ----------------------------------------------------------

void DXLViewer::AddDeviceObject(DXLDeviceObject* object) {
  if (object) deviceObjects_.Add(object);
}

void DXLViewer::RemoveDeviceObject(DXLDeviceObject* object) {
  if (!object) return;
  const i32 at = deviceObjects_.IndexOf(object);
  if (at >= 0) deviceObjects_.Delete(at);
}

void DXLViewer::NotifyDeviceObjects(u32 code) {
  i32 i = 0;
  while (i < deviceObjects_.GetCount()) {
    DXLDeviceObject* object = deviceObjects_.Get(i);
    object->OnDeviceEvent(this, code);
    // An object that took itself out is not stepped over.
    if (i < deviceObjects_.GetCount() && deviceObjects_.Get(i) == object) ++i;
  }
}

// --- Frame counter ---------------------------------------------------------------

void DXLViewer::EnableFrameCounter(bool on) {
  counterEnabled_ = on ? 1 : 0;
  lastSecondFrames_ = 0;
  if (device_) StartFrameCounter();
}

void DXLViewer::StartFrameCounter() {
  if (!counterEnabled_) return;
  framesCounted_ = 0;
  totalFrames_ = 0;
  totalSeconds_ = 0;
  lastSecondFrames_ = 0;
  secondStart_ = pauseDepth_ > 0 ? 0 : plat::GetTimeMs();
  counterRunning_ = 1;
}

void DXLViewer::StopFrameCounter() {
  if (!counterRunning_) return;
  if (totalSeconds_ != 0) {
    const double average = static_cast<double>(totalFrames_) / static_cast<double>(totalSeconds_);
    fpsPlaceholder_ = DXLLogFillPlaceholder(fpsPlaceholder_, true, "%.2f", average);
  }
  framesCounted_ = 0;
  totalFrames_ = 0;
  totalSeconds_ = 0;
  secondStart_ = 0;
  counterRunning_ = 0;
}

void DXLViewer::PauseFrameCounter() {
  if (pauseDepth_ == 0 && counterRunning_) secondStart_ = plat::GetTimeMs() - secondStart_;
  ++pauseDepth_;
}

void DXLViewer::ResumeFrameCounter() {
  if (pauseDepth_ == 0) return;
  --pauseDepth_;
  if (pauseDepth_ == 0 && counterRunning_) secondStart_ = plat::GetTimeMs() - secondStart_;
}

void DXLViewer::LimitFrameRate() {
  if (pauseDepth_ != 0) return;
  u32 elapsed = plat::GetTimeMs() - secondStart_;
  if (settings_ && settings_->present.presentationInterval != gfx::D3DPRESENT_INTERVAL_ONE) {
    // At most one frame every 5 ms without vertical sync.
    const i32 target = kis::RoundToInt(static_cast<float>(framesCounted_) * 5.0f);
    if (target > 0 && elapsed < static_cast<u32>(target)) {
      plat::SleepMs(static_cast<u32>(target) - elapsed);
      elapsed = plat::GetTimeMs() - secondStart_;
    }
  }
  if (elapsed >= 1000) {
    totalFrames_ += framesCounted_;
    totalSeconds_ += elapsed / 1000;
    lastSecondFrames_ = framesCounted_;
    framesCounted_ = 1;
    secondStart_ += elapsed - elapsed % 1000;
  } else {
    ++framesCounted_;
  }
}
