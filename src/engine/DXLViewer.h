// DXLViewer - owner of the graphics system, the adapter descriptions, the
// current device settings and the device, kept usable across a device loss.
// Device objects register with it and are told, in the order of registration,
// when the device is created (kDeviceCreated), about to be released
// (kDeviceReleasing), about to be reset (kDeviceResetting) and reset
// (kDeviceResetDone), and when the viewer goes away (kDeviceDetached).
//
// It also holds the 2-D drawing layer: a current transform, immediate drawing
// of quads, lines and fans from caller memory, five blend modes, the packed
// stencil and alpha-test settings, clip rectangles and the render states that
// are re-established after every device creation and reset.
//
// Per frame: BeginFrame, drawing, Present. Results are 0, a device result or
// one of the viewer codes below, and are kept as the last result.
#pragma once

#include <memory>
#include <vector>

#include "base/List.h"
#include "base/Maths.h"
#include "base/Types.h"
#include "engine/DXLDeviceCaps.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLRect.h"
#include "platform/gfx/GfxDevice.h"
#include "platform/gfx/GfxSystem.h"

class DXLDeviceObject;
class DXLTexture;
class DXLViewer;

// The smallest back buffer of a window: a smaller one is raised to it.
constexpr u32 kMinWindowWidth = 320, kMinWindowHeight = 240;

// Viewer result codes.
constexpr i32 kViewerNoDirect3D = static_cast<i32>(0xA3E91001u);
constexpr i32 kViewerNoDevice = static_cast<i32>(0xA3E91003u);
constexpr i32 kViewerDisplayModeFailed = static_cast<i32>(0xA3E91004u);
constexpr i32 kViewerInvalidDisplayMode = static_cast<i32>(0xA3E91005u);
constexpr i32 kViewerInvalidWindow = static_cast<i32>(0xA3E91006u);
constexpr i32 kViewerNoSystem = static_cast<i32>(0xA3E91007u);
constexpr i32 kViewerIdentifierFailed = static_cast<i32>(0xA3E91008u);
constexpr i32 kViewerCapsFailed = static_cast<i32>(0xA3E91009u);
constexpr i32 kViewerNoSettings = static_cast<i32>(0xA3E9100Au);
constexpr i32 kViewerDeviceLost = static_cast<i32>(0xA3E9100Bu);
constexpr i32 kViewerRegisterClassFailed = static_cast<i32>(0xA3E91101u);
constexpr i32 kViewerCreateWindowFailed = static_cast<i32>(0xA3E91103u);
constexpr i32 kViewerWindowSizeFailed = static_cast<i32>(0xA3E91104u);

struct DXLDISPLAYMODE {
  u32 width;
  u32 height;
  u32 refreshRate;
  u32 format;
  u32 aspectX, aspectY;  // width and height divided by their greatest common divisor
  u32 bits;              // bit depth of the format
};

// Owns its modes.
class DXLDisplayModeList : public kis::list<DXLDISPLAYMODE*> {
 public:
  ~DXLDisplayModeList() override { Clear(); }
  void ReleaseItems(i32 first) override {
    for (i32 i = count_ - 1; i >= first; --i) delete items_[i];
  }
};

struct DXLDEVICESETTINGS {
  u32 adapter;
  u32 deviceType;
  u32 hardwareVertexProcessing;
  u32 adapterFormat;
  plat::gfx::PresentParams present;  // handed unchanged to device creation and reset
};

// One word per field of a settings request: 0 takes the default, 1 takes the
// request's value checked against the adapter, anything else the request's
// value unchecked.
struct DXLMATCHRULES {
  u32 adapter;
  u32 deviceType;
  u32 vertexProcessing;
  u32 adapterFormat;
  u32 backBufferSize;
  u32 backBufferFormat;
  u32 windowed;
  u32 presentationInterval;
  u32 refreshRate;
  u32 multiSample;
  u32 swapEffect;
  u32 depthStencilFormat;
  u32 presentFlags;
};

// Rules of FindDisplayMode.
struct DXLMODEMATCH {
  u32 resolution;  // 1 exact, 2 no larger, 0 and 3 any
  u32 aspect;      // 0 any; else the same aspect: 1 at the size, 2 no larger, 3 any size
  u32 refresh;     // 1 equal, 2 no higher, 0 and 3 any
  u32 format;      // 0 same format, 1 same bit depth, 2 no deeper, 3 any
};

// One adapter and device type: identifier, capabilities, desktop mode and
// mode lists. Kept until the viewer goes; a failed record keeps its status.
struct DXLADAPTERINFO {
  u32 adapter;
  u32 deviceType;
  plat::gfx::AdapterIdentifier identifier;
  plat::gfx::DisplayMode desktop;
  u32 desktopAspectX, desktopAspectY;
  u32 desktopBits;
  DXLDEVICECAPS caps;
  DXLDisplayModeList rawModes;                 // every enumerated mode, owned
  kis::list<DXLDISPLAYMODE*> sortedModes;      // admitted modes in ascending order
  i32 status;                                  // 0 or a viewer code
  i32 lastResult;                              // the failing call's result
};

// Admits a candidate mode into the sorted list (which holds the modes admitted
// so far); null admits every mode.
using DXLMODEFILTER = bool (*)(DXLViewer* viewer, kis::list<DXLDISPLAYMODE*>* sorted,
                               const DXLDISPLAYMODE* candidate);

using DXLPrePresentHook = void (*)(DXLViewer* viewer);

class DXLViewer {
 public:
  DXLViewer();
  DXLViewer(const DXLViewer&) = delete;
  DXLViewer& operator=(const DXLViewer&) = delete;

  virtual i32 CreateDevice();
  virtual ~DXLViewer();
  virtual plat::gfx::WindowHandle GetWindow();
  // Completes a settings request from defaults and per-field rules (null
  // request or rules: all rules 0). Never fails: a check that fails falls
  // back to a safe value.
  virtual void ChooseFormats(DXLDEVICESETTINGS* out, const DXLDEVICESETTINGS* request, const DXLMATCHRULES* rules);

  // --- Set-up -------------------------------------------------------------
  // Opens the "Initialize DirectX" log block, writes the system information,
  // loads the utility library and makes the graphics system.
  i32 InitDirect3D();
  // Makes the adapter current and logs the "Initialize Adapter" block.
  i32 InitAdapter(u32 adapter, u32 deviceType);
  void SetModeFilter(DXLMODEFILTER filter);
  // The record of an adapter and device type, made on first request; returns
  // its status.
  i32 GetAdapterInfo(u32 adapter, u32 deviceType, DXLADAPTERINFO** out);
  void BuildModeList(DXLADAPTERINFO* record);
  u32 FindRefreshRate(const DXLADAPTERINFO* record, u32 width, u32 height, u32 format, u32 wanted);
  bool FindDisplayMode(u32 adapter, u32 deviceType, DXLDISPLAYMODE* out, const DXLDISPLAYMODE* request,
                       const DXLMODEMATCH* match);
  bool FindAdapterDisplayMode(DXLDISPLAYMODE* out, const DXLDISPLAYMODE* request, const DXLMODEMATCH* match);
  i32 ChangeDisplayMode(const DXLDEVICESETTINGS* settings);
  void Shutdown();
  void ReleaseAll(bool freeSettings);

  // --- Frames -------------------------------------------------------------
  i32 BeginFrame();
  i32 Present();
  i32 ClearScreen(u32 color);  // BeginFrame, Clear and Present
  i32 Clear(u32 color);
  i32 ClearEx(u32 flags, u32 color, u32 stencil);
  i32 ResetDevice();
  void DestroyDevice();

  // --- Queries ------------------------------------------------------------
  bool HasDevice() const { return device_ != nullptr; }
  plat::gfx::Device* GetDevice() const { return device_.get(); }
  plat::gfx::System* GetSystem() const { return d3d_.get(); }
  plat::gfx::System* GetDirect3D() { return d3d_.get(); }
  bool IsVSync() const;
  bool IsDeviceLost() const { return deviceLost_ != 0; }
  bool IsTextureFormatSupported(u32 format);
  bool SupportsNonPowerOfTwo() const { return adapter_ && adapter_->caps.sizeNonPow2; }
  i32 GetLastResult() const { return lastResult_; }
  const DXLDEVICESETTINGS* GetSettings() const { return settings_.get(); }
  const DXLDEVICESETTINGS* GetPreviousSettings() const { return previousSettings_.get(); }
  DXLADAPTERINFO* GetCurrentAdapter() { return adapter_; }
  const DXLADAPTERINFO* GetAdapter() const { return adapter_; }
  const DXLRECT& GetClientRect() const { return clientRect_; }
  kis::list<DXLDISPLAYMODE*>* GetModeList();  // null without an adapter
  const DXLDEVICECAPS* GetDeviceCaps();       // null without an adapter

  // --- Device objects -------------------------------------------------------
  void AddDeviceObject(DXLDeviceObject* object);
  void RemoveDeviceObject(DXLDeviceObject* object);
  i32 GetDeviceObjectCount() const { return deviceObjects_.GetCount(); }

  // --- Frame counter --------------------------------------------------------
  void EnableFrameCounter(bool on);
  void StartFrameCounter();
  void StopFrameCounter();
  void PauseFrameCounter();
  void ResumeFrameCounter();
  bool IsFrameCounterRunning() const { return counterRunning_ != 0; }
  u32 GetFrameCounterPauses() const { return pauseDepth_; }  // pauses not yet resumed
  u32 GetFramesPerSecond() const { return lastSecondFrames_; }  // frames of the last whole second

  // --- Transform (the current 2-D transform) ---------------------------------
  void SetTransform(const DXLMATRIX* matrix);
  void LoadIdentity(DXLMATRIX* out);
  void GetTransform(DXLMATRIX* out) const;
  void ReadWorldTransform(DXLMATRIX* out);
  void ApplyTransform(const DXLMATRIX* matrix);
  void ResetWorldTransform();
  void SetWorldOffset(float x, float y);
  void Translate(float x, float y);
  void TranslateBy(const kis::FloatPoint& point) { Translate(point.x, point.y); }
  void Scale(float s);
  void ScaleXY(float sx, float sy);
  void ScaleByPoint(const kis::FloatPoint& point) { ScaleXY(point.x, point.y); }
  void SetScale(float s);
  void Rotate(float radians);
  void RotateDeg(float degrees);
  void RoundTranslation();
  const DXLMATRIX& CurrentTransform() const { return transform_; }
  // Saves the current transform; PopTransform brings the last saved one back
  // and sets it as the world transform. A pop without a push does nothing.
  void PushTransform();
  void PopTransform();

  // --- Clip rectangles (screen pixels) ---------------------------------------
  // Narrows the clip to its intersection with the rectangle (the whole target
  // when none is set) and switches the scissor test on; PopClip returns to the
  // clip before the push, and with nothing pushed the test goes off.
  void PushClip(const DXLRECT& rect);
  void PopClip();
  u32 GetClipDepth() const { return scissorDepth_; }

  // --- Drawing -------------------------------------------------------------
  i32 DrawQuad(const DXLQUAD* quad);
  i32 DrawQuads(u32 count, const DXLQUAD* quads);
  i32 DrawColorQuad(const DXLCOLORVERTEX* vertices);  // 4 vertices
  i32 DrawColorFrame(const DXLCOLORVERTEX* vertices);  // 5 vertices, closed outline
  i32 DrawFrame(u32 fvf, const void* vertices, u32 stride);  // 5 vertices
  i32 DrawLineStrip(u32 fvf, u32 points, const void* vertices, u32 stride);
  // A fan of `count` vertices: count - 2 triangles, nothing below 3.
  i32 DrawTriangleFan(u32 fvf, u32 count, const void* vertices, u32 stride);

  // --- States --------------------------------------------------------------
  bool SetTexture(DXLTexture* texture);
  DXLTexture* GetCurrentTexture() const { return currentTexture_; }
  void SetBlendMode(u32 mode);
  u32 GetBlendMode() const { return blendMode_; }
  void ApplyDrawState(const DXLDRAWSTATE& state);
  void SetStencilState(const DXLSTENCILDATA* data);
  void SetStencilMode(u32 flags, u32 stencilRef, u32 alphaRef);
  // Which colour channels draws write (render state 168: bits 1 red, 2 green,
  // 4 blue, 8 alpha); 0 leaves the colours alone, for stencil-only passes.
  // A new or reset device writes all four.
  void SetColorWriteMask(u32 mask);
  const DXLSTENCILDATA& GetStencilState() const { return stencil_; }
  void RestoreStates();
  void SetPrePresentHook(DXLPrePresentHook hook) { prePresent_ = hook; }

 protected:
  void NotifyDeviceObjects(u32 code);
  void LimitFrameRate();
  void ApplyBlendStates();
  void ApplyStencil();
  void ClearScissorState();

  std::unique_ptr<plat::gfx::System> d3d_;
  kis::list<DXLADAPTERINFO*> adapters_;
  DXLADAPTERINFO* adapter_ = nullptr;
  std::unique_ptr<plat::gfx::Device> device_;
  std::unique_ptr<DXLDEVICESETTINGS> settings_;
  std::unique_ptr<DXLDEVICESETTINGS> previousSettings_;
  DXLRECT clientRect_{0, 0, 0, 0};
  DXLMODEFILTER modeFilter_ = nullptr;
  i32 lastResult_ = 0;
  u8 deviceLost_ = 0;
  kis::list<DXLDeviceObject*> deviceObjects_;

  // Frame counter.
  u8 counterEnabled_ = 0;
  u8 counterRunning_ = 0;
  u32 pauseDepth_ = 0;
  u32 secondStart_ = 0;
  u32 lastSecondFrames_ = 0;
  u32 framesCounted_ = 0;
  u32 totalFrames_ = 0;
  u32 totalSeconds_ = 0;
  i32 fpsPlaceholder_ = -1;

  // Drawing state.
  DXLRECT scissorRect_{0, 0, 0, 0};
  u32 scissorEnabled_ = 0;
  kis::list<DXLSCISSORDATA*> scissors_;
  u32 scissorDepth_ = 0;
  DXLSTENCILDATA stencil_{};
  kis::list<DXLSTENCILDATA*> savedStencils_;
  DXLPrePresentHook prePresent_ = nullptr;
  u32 blendMode_ = 0;
  DXLTexture* currentTexture_ = nullptr;
  DXLMATRIX transform_;
  DXLMATRIX offset_;
  DXLMATRIX spare_;
  std::vector<DXLMATRIX> transformStack_;
};

// Fills a mode record with its aspect pair and bit depth.
DXLDISPLAYMODE DXLMakeDisplayMode(u32 width, u32 height, u32 refreshRate, u32 format);
