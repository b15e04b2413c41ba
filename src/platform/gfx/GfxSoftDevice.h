// The software device: renders into a 32-bit back buffer and an 8-bit
// stencil buffer (present when the depth-stencil format has stencil bits),
// copies the back buffer to a front buffer on Present and hands that to the
// installed PresentSink. Where the sink lends the window's own memory and
// the swap effect is DISCARD (the back buffer undefined after Present), each
// scene is drawn straight into that memory instead and handed over as it
// is: no copy (the front buffer then holds the frame only when SetFrameKept
// asks for it). Besides the Device calls it offers test seams: read-back of
// both buffers and the stencil, a present counter, simulated device loss and
// fault injection.
//
// Rasterising can be switched off (SetRasterising): every call is then
// checked and answered as before and the textures, states and transforms
// change alike, but Clear, the draws and Present leave the buffers as they
// were. A run nobody watches (a headless replay) draws its frames so only
// where a frame is read.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/GfxDevice.h"
#include "platform/gfx/GfxFaults.h"
#include "platform/gfx/GfxRaster.h"
#include "platform/gfx/GfxScaledRect.h"

namespace plat::gfx {

class SoftDevice final : public Device {
 public:
  // `params` must have passed ValidatePresentParams.
  explicit SoftDevice(const PresentParams& params);
  ~SoftDevice() override;
  SoftDevice(const SoftDevice&) = delete;
  SoftDevice& operator=(const SoftDevice&) = delete;

  // D3D_OK when a device can be made (or reset) with these parameters.
  static HRESULT ValidatePresentParams(const PresentParams& params);

  HRESULT TestCooperativeLevel() override;
  HRESULT Reset(PresentParams* params) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present() override;
  HRESULT Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
  HRESULT SetRenderState(uint32_t state, uint32_t value) override;
  HRESULT GetRenderState(uint32_t state, uint32_t* value) override;
  HRESULT SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) override;
  HRESULT GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) override;
  HRESULT SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
  HRESULT GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) override;
  HRESULT SetTransform(uint32_t which, const Matrix* matrix) override;
  HRESULT GetTransform(uint32_t which, Matrix* matrix) override;
  HRESULT SetScissorRect(const Rect* rect) override;
  HRESULT GetScissorRect(Rect* rect) override;
  HRESULT SetFVF(uint32_t fvf) override;
  HRESULT GetFVF(uint32_t* fvf) override;
  HRESULT DrawPrimitiveUP(uint32_t type, uint32_t count, const void* vertices, uint32_t stride) override;
  HRESULT SetTexture(uint32_t stage, Texture* texture) override;
  HRESULT GetTexture(uint32_t stage, Texture** texture) override;
  HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                        uint32_t pool, std::unique_ptr<Texture>* out) override;
  HRESULT SetCursorProperties(uint32_t hotX, uint32_t hotY, Surface* image) override;
  void SetCursorPosition(int x, int y, uint32_t flags) override;
  bool ShowCursor(bool show) override;
  SoftDevice* GetSoftDevice() override { return this; }

  // Test seams.
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  bool HasStencil() const { return !stencil_.empty(); }
  uint32_t FramePixel(uint32_t x, uint32_t y) const;  // presented frame, 0xFFRRGGBB
  uint32_t BackPixel(uint32_t x, uint32_t y) const;   // back buffer (or lent memory), 0xFFRRGGBB
  uint8_t StencilAt(uint32_t x, uint32_t y) const;    // 0 without a stencil buffer
  const std::vector<uint32_t>& Frame() const { return front_; }
  // On: frames drawn in memory the sink lent are copied to the front buffer
  // too, for Frame() to read (off by default: nobody reads them).
  void SetFrameKept(bool on) { frameKept_ = on; }
  uint32_t PresentCount() const { return presentCount_; }
  const PresentParams& Params() const { return params_; }
  // Loses the device: Present fails with D3DERR_DEVICELOST, and the next
  // `frames` calls of TestCooperativeLevel report D3DERR_DEVICELOST before
  // it reports D3DERR_DEVICENOTRESET and Reset may succeed.
  void SimulateLoss(uint32_t frames);
  bool IsLost() const { return lost_; }
  FaultTable& Faults() { return faults_; }
  bool CursorVisible() const { return cursorShown_; }
  bool HasCursorImage() const { return !cursor_.empty(); }
  void SetRectanglePass(bool on) { rectPass_ = on; }  // compare with plain triangles
  // Off: the back, front and stencil buffers keep what they hold (on by default).
  void SetRasterising(bool on) { rasterising_ = on; }
  bool IsRasterising() const { return rasterising_; }
  // Off: scaled rectangles are filtered every time they are drawn instead of
  // drawn from the filtered texels kept from the frame before (on by
  // default; the pixels are the same).
  void SetRowCache(bool on);
  const ScaledRowCache& RowCache() const { return rowCache_; }

  // Called by a texture that goes away while the device exists.
  void ForgetTexture(Texture* texture);

 private:
  void ResetStates();
  void AllocateBuffers();
  HRESULT Draw(uint32_t type, uint32_t count, const uint8_t* data, uint32_t stride);
  void CompositeCursor(uint32_t* frame);
  void BorrowTarget();
  void ReturnTarget(bool keep);

  PresentParams params_;
  uint32_t width_ = 0, height_ = 0;
  std::vector<uint32_t> back_, front_;
  std::vector<uint8_t> stencil_;
  uint32_t* target_ = nullptr;  // what Clear and the draws write: back_, or memory the sink lent
  bool lent_ = false;
  bool backCurrent_ = true;  // back_ holds the last content drawn (not only the lent memory)
  bool frameKept_ = false;

  uint32_t renderStates_[kRenderStateCount];
  static constexpr uint32_t kSamplers = 16;
  uint32_t samplerStates_[kSamplers][kSamplerStateCount];
  uint32_t stageStates_[kStageCount][kStageStateCount];
  Matrix world_, view_, projection_;
  Matrix combined_;             // world x view x projection
  bool transformDirty_ = true;  // combined_ needs rebuilding
  std::vector<ScreenVertex> scratch_;
  Rect scissor_;
  uint32_t fvf_ = 0;
  Texture* textures_[kStageCount] = {};
  std::vector<Texture*> live_;

  bool inScene_ = false;
  bool lost_ = false;
  uint32_t lostFrames_ = 0;
  uint32_t presentCount_ = 0;
  bool rectPass_ = true;
  bool rasterising_ = true;
  bool rowCacheOn_ = true;
  ScaledRowCache rowCache_;
  FaultTable faults_;

  std::vector<uint32_t> cursor_;
  uint32_t cursorWidth_ = 0, cursorHeight_ = 0, hotX_ = 0, hotY_ = 0;
  int cursorX_ = 0, cursorY_ = 0;
  bool cursorShown_ = false;
};

}  // namespace plat::gfx
