// The rendering device as the engine sees it: the subset of a Direct3D 9
// device that the game calls, with the same method names, state numbers and
// result codes. Plain C++ with no reference counting: whoever creates a
// device or a texture owns it through a unique_ptr. SoftDevice renders into
// memory; RecordingDevice wraps another device and logs the calls.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gfx/GfxTexture.h"
#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

class SoftDevice;

class Device {
 public:
  virtual ~Device() = default;

  // Device loss: D3D_OK while usable, D3DERR_DEVICELOST while lost and not yet
  // resettable, D3DERR_DEVICENOTRESET once Reset can bring it back.
  virtual HRESULT TestCooperativeLevel() = 0;
  // Rebuilds the back buffer from the parameters and returns every render,
  // sampler and stage state, transform and texture binding to its default.
  // Managed textures keep their pixels.
  virtual HRESULT Reset(PresentParams* params) = 0;

  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  // Shows the back buffer (no rectangles, no window override).
  virtual HRESULT Present() = 0;
  // Clears the whole target (or the scissor rectangle while the scissor test
  // is on): colour with D3DCLEAR_TARGET, stencil with D3DCLEAR_STENCIL.
  virtual HRESULT Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) = 0;

  virtual HRESULT SetRenderState(uint32_t state, uint32_t value) = 0;
  virtual HRESULT GetRenderState(uint32_t state, uint32_t* value) = 0;
  virtual HRESULT SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) = 0;
  virtual HRESULT GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) = 0;
  virtual HRESULT SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) = 0;
  virtual HRESULT GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) = 0;
  virtual HRESULT SetTransform(uint32_t which, const Matrix* matrix) = 0;
  virtual HRESULT GetTransform(uint32_t which, Matrix* matrix) = 0;
  virtual HRESULT SetScissorRect(const Rect* rect) = 0;
  virtual HRESULT GetScissorRect(Rect* rect) = 0;

  virtual HRESULT SetFVF(uint32_t fvf) = 0;
  virtual HRESULT GetFVF(uint32_t* fvf) = 0;
  // Draws from caller memory: D3DPT_TRIANGLEFAN (count = triangles, reading
  // count + 2 vertices) or D3DPT_LINESTRIP (count = lines, count + 1
  // vertices), in the current vertex format at the given stride.
  virtual HRESULT DrawPrimitiveUP(uint32_t type, uint32_t count, const void* vertices, uint32_t stride) = 0;

  virtual HRESULT SetTexture(uint32_t stage, Texture* texture) = 0;
  virtual HRESULT GetTexture(uint32_t stage, Texture** texture) = 0;
  // One level, D3DPOOL_MANAGED only. The caller owns the texture in `out`.
  virtual HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                uint32_t format, uint32_t pool, std::unique_ptr<Texture>* out) = 0;

  // The device cursor: an A8R8G8B8 surface (null hides it), drawn over the
  // presented frame at the pointer position while shown.
  virtual HRESULT SetCursorProperties(uint32_t hotX, uint32_t hotY, Surface* image) = 0;
  virtual void SetCursorPosition(int x, int y, uint32_t flags) = 0;
  virtual bool ShowCursor(bool show) = 0;  // returns the previous visibility

  // Test seam: the software device underneath (through any wrappers).
  virtual SoftDevice* GetSoftDevice() = 0;
};

}  // namespace plat::gfx
