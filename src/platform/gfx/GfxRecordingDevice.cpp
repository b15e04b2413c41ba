#include "platform/gfx/GfxRecordingDevice.h"

#include <cstdarg>
#include <cstdio>

namespace plat::gfx {

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
  return inner_->SetTransform(which, matrix);
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
  return inner_->SetFVF(fvf);
}

HRESULT RecordingDevice::DrawPrimitiveUP(uint32_t type, uint32_t count, const void* vertices, uint32_t stride) {
  Log("DrawPrimitiveUP %u %u %u", type, count, stride);
  return inner_->DrawPrimitiveUP(type, count, vertices, stride);
}

HRESULT RecordingDevice::SetTexture(uint32_t stage, Texture* texture) {
  Log("SetTexture %u %s", stage, texture ? "texture" : "null");
  return inner_->SetTexture(stage, texture);
}

HRESULT RecordingDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                       uint32_t format, uint32_t pool, std::unique_ptr<Texture>* out) {
  Log("CreateTexture %u %u %u %u %u %u", width, height, levels, usage, format, pool);
  return inner_->CreateTexture(width, height, levels, usage, format, pool, out);
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
