#include "platform/gfx/GfxRecordingDevice.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/gfx/GfxVertexLayout.h"

namespace plat::gfx {

namespace {

// More vertices than this in one call are not kept (the device refuses far
// fewer anyway).
constexpr uint32_t kMaxLoggedVertices = 1u << 16;

float FloatAt(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, 4);
  return f;
}

uint32_t U32At(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

int CallLog::TextureId(const Texture* texture) const {
  if (!texture) return 0;
  const auto it = textureIds_.find(texture);
  return it == textureIds_.end() ? 0 : it->second;
}

int CallLog::IdentifyTexture(const Texture* texture, bool created) {
  if (!texture) return 0;
  int& id = textureIds_[texture];
  if (id == 0 || created) id = ++lastTextureId_;
  return id;
}

RecordingDevice::RecordingDevice(std::unique_ptr<Device> inner, CallLog* log)
    : inner_(std::move(inner)), log_(log), world_(IdentityMatrix()) {}

std::vector<std::string> CallLog::Matching(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& l : lines_) {
    if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
  }
  return out;
}

void RecordingDevice::Log(const char* format, ...) {
  char buf[160];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  log_->Add(buf);
}

HRESULT RecordingDevice::TestCooperativeLevel() {
  Log("TestCooperativeLevel");
  return inner_->TestCooperativeLevel();
}

HRESULT RecordingDevice::Reset(PresentParams* params) {
  Log("Reset");
  fvf_ = 0;
  texture_ = 0;
  world_ = IdentityMatrix();
  return inner_->Reset(params);
}

HRESULT RecordingDevice::BeginScene() {
  Log("BeginScene");
  return inner_->BeginScene();
}

HRESULT RecordingDevice::EndScene() {
  Log("EndScene");
  return inner_->EndScene();
}

HRESULT RecordingDevice::Present() {
  Log("Present");
  return inner_->Present();
}

HRESULT RecordingDevice::Clear(uint32_t flags, uint32_t colour, float z, uint32_t stencil) {
  Log("Clear %u 0x%08X %g %u", flags, colour, static_cast<double>(z), stencil);
  return inner_->Clear(flags, colour, z, stencil);
}

HRESULT RecordingDevice::SetRenderState(uint32_t state, uint32_t value) {
  Log("SetRenderState %u %u", state, value);
  return inner_->SetRenderState(state, value);
}

HRESULT RecordingDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
  Log("SetSamplerState %u %u %u", sampler, type, value);
  return inner_->SetSamplerState(sampler, type, value);
}

HRESULT RecordingDevice::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
  Log("SetTextureStageState %u %u %u", stage, type, value);
  return inner_->SetTextureStageState(stage, type, value);
}

HRESULT RecordingDevice::SetTransform(uint32_t which, const Matrix* matrix) {
  if (matrix) {
    const float(&m)[4][4] = matrix->m;
    Log("SetTransform %u [%g %g %g %g | %g %g %g %g | %g %g %g %g | %g %g %g %g]", which, double(m[0][0]),
        double(m[0][1]), double(m[0][2]), double(m[0][3]), double(m[1][0]), double(m[1][1]), double(m[1][2]),
        double(m[1][3]), double(m[2][0]), double(m[2][1]), double(m[2][2]), double(m[2][3]), double(m[3][0]),
        double(m[3][1]), double(m[3][2]), double(m[3][3]));
  } else {
    Log("SetTransform %u null", which);
  }
  const HRESULT hr = inner_->SetTransform(which, matrix);
  if (which == D3DTS_WORLD && matrix && Succeeded(hr)) world_ = *matrix;
  return hr;
}

HRESULT RecordingDevice::SetScissorRect(const Rect* rect) {
  if (rect) {
    Log("SetScissorRect %d %d %d %d", rect->left, rect->top, rect->right, rect->bottom);
  } else {
    Log("SetScissorRect null");
  }
  return inner_->SetScissorRect(rect);
}

HRESULT RecordingDevice::SetFVF(uint32_t fvf) {
  Log("SetFVF 0x%X", fvf);
  fvf_ = fvf;
  return inner_->SetFVF(fvf);
}

HRESULT RecordingDevice::DrawPrimitiveUP(uint32_t type, uint32_t count, const void* vertices, uint32_t stride) {
  Log("DrawPrimitiveUP %u %u %u", type, count, stride);
  const HRESULT hr = inner_->DrawPrimitiveUP(type, count, vertices, stride);
  if (hr == D3D_OK) LogPrimitive(type, count, vertices, stride);
  return hr;
}

// Keeps the vertices the inner device has just drawn, read in the current
// vertex format.
void RecordingDevice::LogPrimitive(uint32_t type, uint32_t count, const void* vertices, uint32_t stride) {
  const VertexLayout layout = LayoutOf(fvf_);
  const uint32_t n = type == D3DPT_TRIANGLEFAN ? count + 2 : type == D3DPT_LINESTRIP ? count + 1 : 0;
  if (!vertices || layout.size == 0 || stride < layout.size || count == 0 || n > kMaxLoggedVertices) return;
  LoggedPrimitive p{type, fvf_, texture_, world_, log_->Lines().size() - 1, {}};
  p.vertices.reserve(n);
  const uint8_t* at = static_cast<const uint8_t*>(vertices);
  for (uint32_t i = 0; i < n; ++i, at += stride) {
    LoggedVertex v{FloatAt(at), FloatAt(at + 4), FloatAt(at + 8), 0xFFFFFFFFu, 0.0f, 0.0f};
    if (layout.diffuse >= 0) v.color = U32At(at + layout.diffuse);
    if (layout.tex >= 0) {
      v.u = FloatAt(at + layout.tex);
      v.v = FloatAt(at + layout.tex + 4);
    }
    p.vertices.push_back(v);
  }
  log_->AddPrimitive(std::move(p));
}

HRESULT RecordingDevice::SetTexture(uint32_t stage, Texture* texture) {
  const int id = log_->IdentifyTexture(texture, false);
  if (texture) {
    Log("SetTexture %u #%d", stage, id);
  } else {
    Log("SetTexture %u null", stage);
  }
  const HRESULT hr = inner_->SetTexture(stage, texture);
  if (stage == 0 && Succeeded(hr)) texture_ = id;
  return hr;
}

HRESULT RecordingDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                       uint32_t format, uint32_t pool, std::unique_ptr<Texture>* out) {
  const HRESULT hr = inner_->CreateTexture(width, height, levels, usage, format, pool, out);
  if (Succeeded(hr) && out && *out) {
    Log("CreateTexture %u %u %u %u %u %u #%d", width, height, levels, usage, format, pool,
        log_->IdentifyTexture(out->get(), true));
  } else {
    Log("CreateTexture %u %u %u %u %u %u", width, height, levels, usage, format, pool);
  }
  return hr;
}

HRESULT RecordingDevice::SetCursorProperties(uint32_t hotX, uint32_t hotY, Surface* image) {
  Log("SetCursorProperties %u %u %s", hotX, hotY, image ? "surface" : "null");
  return inner_->SetCursorProperties(hotX, hotY, image);
}

void RecordingDevice::SetCursorPosition(int x, int y, uint32_t flags) {
  Log("SetCursorPosition %d %d %u", x, y, flags);
  inner_->SetCursorPosition(x, y, flags);
}

bool RecordingDevice::ShowCursor(bool show) {
  Log("ShowCursor %d", show ? 1 : 0);
  return inner_->ShowCursor(show);
}

}  // namespace plat::gfx
