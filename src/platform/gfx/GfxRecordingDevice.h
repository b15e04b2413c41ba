// A device wrapper for tests: forwards every call to the device it owns and
// writes one line per call into a CallLog ("SetRenderState 27 1"), so tests
// can check which states the engine sets and in what order. Queries (Get...)
// are forwarded without a line.
//
// Textures are told apart by an identity: numbered from 1 in the order the
// log first meets them (creation through a recording device, or a first
// binding), stable for the life of the log ("SetTexture 0 #2"). Every
// primitive drawn successfully is also kept whole: its vertices as the device
// read them, the world transform and the texture in force, so draw tests can
// compare geometry with values worked out by hand.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/GfxDevice.h"

namespace plat::gfx {

// One vertex of a drawn primitive. A format without a colour gives
// 0xFFFFFFFF, one without texture coordinates gives 0, 0.
struct LoggedVertex {
  float x, y, z;
  uint32_t color;
  float u, v;
};

struct LoggedPrimitive {
  uint32_t type;    // D3DPT_TRIANGLEFAN or D3DPT_LINESTRIP
  uint32_t fvf;
  int texture;      // identity of the stage-0 texture, 0 for none
  Matrix world;     // the world transform in force
  size_t line;      // index of its "DrawPrimitiveUP" line
  std::vector<LoggedVertex> vertices;
};

class CallLog {
 public:
  void Add(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& Lines() const { return lines_; }
  // Forgets the lines and primitives; texture identities stay.
  void Clear() {
    lines_.clear();
    primitives_.clear();
  }
  // Lines that start with `prefix`, in order.
  std::vector<std::string> Matching(const std::string& prefix) const;

  void AddPrimitive(LoggedPrimitive primitive) { primitives_.push_back(std::move(primitive)); }
  const std::vector<LoggedPrimitive>& Primitives() const { return primitives_; }

  // The identity of a texture, 0 for null or one the log has not met.
  int TextureId(const Texture* texture) const;
  // The identity, numbering a texture the log meets for the first time; a
  // new texture at the address of a gone one takes a new number.
  int IdentifyTexture(const Texture* texture, bool created);

 private:
  std::vector<std::string> lines_;
  std::vector<LoggedPrimitive> primitives_;
  std::map<const Texture*, int> textureIds_;
  int lastTextureId_ = 0;
};

class RecordingDevice final : public Device {
 public:
  RecordingDevice(std::unique_ptr<Device> inner, CallLog* log);
  RecordingDevice(const RecordingDevice&) = delete;
  RecordingDevice& operator=(const RecordingDevice&) = delete;

  HRESULT TestCooperativeLevel() override;
  HRESULT Reset(PresentParams* params) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Present() override;
  HRESULT Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) override;
  HRESULT SetRenderState(uint32_t state, uint32_t value) override;
  HRESULT GetRenderState(uint32_t state, uint32_t* value) override { return inner_->GetRenderState(state, value); }
  HRESULT SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) override;
  HRESULT GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) override {
    return inner_->GetSamplerState(sampler, type, value);
  }
  HRESULT SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
  HRESULT GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) override {
    return inner_->GetTextureStageState(stage, type, value);
  }
  HRESULT SetTransform(uint32_t which, const Matrix* matrix) override;
  HRESULT GetTransform(uint32_t which, Matrix* matrix) override { return inner_->GetTransform(which, matrix); }
  HRESULT SetScissorRect(const Rect* rect) override;
  HRESULT GetScissorRect(Rect* rect) override { return inner_->GetScissorRect(rect); }
  HRESULT SetFVF(uint32_t fvf) override;
  HRESULT GetFVF(uint32_t* fvf) override { return inner_->GetFVF(fvf); }
  HRESULT DrawPrimitiveUP(uint32_t type, uint32_t count, const void* vertices, uint32_t stride) override;
  HRESULT SetTexture(uint32_t stage, Texture* texture) override;
  HRESULT GetTexture(uint32_t stage, Texture** texture) override { return inner_->GetTexture(stage, texture); }
  HRESULT CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, uint32_t format,
                        uint32_t pool, std::unique_ptr<Texture>* out) override;
  HRESULT SetCursorProperties(uint32_t hotX, uint32_t hotY, Surface* image) override;
  void SetCursorPosition(int x, int y, uint32_t flags) override;
  bool ShowCursor(bool show) override;
  SoftDevice* GetSoftDevice() override { return inner_->GetSoftDevice(); }

 private:
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

  void LogPrimitive(uint32_t type, uint32_t count, const void* vertices, uint32_t stride);

  std::unique_ptr<Device> inner_;
  CallLog* log_;
  // What the inner device holds, as far as logged primitives need it.
  uint32_t fvf_ = 0;
  int texture_ = 0;
  Matrix world_;
};

}  // namespace plat::gfx
