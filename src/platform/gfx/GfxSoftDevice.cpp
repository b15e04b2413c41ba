#include "platform/gfx/GfxSoftDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gfx/GfxFormats.h"
#include "platform/gfx/GfxPresentSink.h"
#include "platform/gfx/GfxRaster.h"
#include "platform/gfx/GfxVertexLayout.h"
#include "platform/os/PlatformServices.h"

namespace plat::gfx {

namespace {

constexpr uint32_t kMaxBackBuffer = 8192;
constexpr uint32_t kMaxTextureSize = 4096;
constexpr uint32_t D3DRS_FILLMODE = 8;
constexpr uint32_t D3DRS_SHADEMODE = 9;
constexpr uint32_t D3DRS_LASTPIXEL = 16;
constexpr uint32_t D3DRS_BLENDOP = 171;
constexpr uint32_t D3DTSS_TEXCOORDINDEX = 11;
constexpr uint32_t D3DSAMP_ADDRESSW = 3;
constexpr uint32_t D3DSAMP_MAXANISOTROPY = 10;

bool HasStencilBits(uint32_t format) { return format == D3DFMT_D24S8; }

inline float ReadFloat(const uint8_t* p) {
  float f;
  std::memcpy(&f, p, 4);
  return f;
}
inline uint32_t ReadU32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

PresentSink* GetPresentSink() { return GetPlatformServices().presentSink; }

HRESULT SoftDevice::ValidatePresentParams(const PresentParams& p) {
  if (p.backBufferWidth == 0 || p.backBufferHeight == 0 || p.backBufferWidth > kMaxBackBuffer ||
      p.backBufferHeight > kMaxBackBuffer) {
    return D3DERR_INVALIDCALL;
  }
  const uint32_t f = p.backBufferFormat;
  if (f != D3DFMT_X8R8G8B8 && f != D3DFMT_A8R8G8B8 && !(f == D3DFMT_UNKNOWN && p.windowed)) {
    return D3DERR_INVALIDCALL;
  }
  if (p.multiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
  if (p.enableAutoDepthStencil) {
    const uint32_t d = p.autoDepthStencilFormat;
    if (d != D3DFMT_D24S8 && d != D3DFMT_D24X8 && d != D3DFMT_D16) return D3DERR_INVALIDCALL;
  }
  if (p.windowed && p.fullScreenRefreshRate != 0) return D3DERR_INVALIDCALL;
  return D3D_OK;
}

SoftDevice::SoftDevice(const PresentParams& params) : params_(params) {
  ResetStates();
  AllocateBuffers();
}

SoftDevice::~SoftDevice() {
  for (Texture* t : live_) t->DetachDevice();
}

void SoftDevice::AllocateBuffers() {
  width_ = params_.backBufferWidth;
  height_ = params_.backBufferHeight;
  const size_t n = static_cast<size_t>(width_) * height_;
  back_.assign(n, 0xFF000000u);
  front_.assign(n, 0xFF000000u);
  target_ = back_.data();
  lent_ = false;
  backCurrent_ = true;
  stencil_.clear();
  if (params_.enableAutoDepthStencil && HasStencilBits(params_.autoDepthStencilFormat)) stencil_.assign(n, 0);
  scissor_ = Rect{0, 0, static_cast<int32_t>(width_), static_cast<int32_t>(height_)};
  // Four screens of filtered texels: a level's ground once and what stands on it, with room to spare.
  rowCache_.Clear();
  rowCache_.SetLimit(4 * n);
}

void SoftDevice::SetRowCache(bool on) {
  rowCacheOn_ = on;
  if (!on) rowCache_.Clear();
}

void SoftDevice::ResetStates() {
  std::fill(std::begin(renderStates_), std::end(renderStates_), 0u);
  uint32_t* rs = renderStates_;
  rs[D3DRS_ZENABLE] = params_.enableAutoDepthStencil ? 1 : 0;
  rs[D3DRS_FILLMODE] = 3;
  rs[D3DRS_SHADEMODE] = 2;
  rs[D3DRS_ZWRITEENABLE] = 1;
  rs[D3DRS_LASTPIXEL] = 1;
  rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRS_CULLMODE] = D3DCULL_CCW;
  rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_STENCILFAIL] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILZFAIL] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILPASS] = D3DSTENCILOP_KEEP;
  rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
  rs[D3DRS_STENCILMASK] = 0xFFFFFFFFu;
  rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFFu;
  rs[D3DRS_CLIPPING] = 1;
  rs[D3DRS_LIGHTING] = 1;
  rs[D3DRS_COLORWRITEENABLE] = 0xF;
  rs[D3DRS_BLENDOP] = 1;
  for (auto& s : samplerStates_) {
    std::fill(std::begin(s), std::end(s), 0u);
    s[D3DSAMP_ADDRESSU] = s[D3DSAMP_ADDRESSV] = s[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
    s[D3DSAMP_MAGFILTER] = s[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
    s[D3DSAMP_MAXANISOTROPY] = 1;
  }
  for (uint32_t i = 0; i < kStageCount; ++i) {
    uint32_t* s = stageStates_[i];
    std::fill(s, s + kStageStateCount, 0u);
    s[D3DTSS_COLOROP] = i == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    s[D3DTSS_ALPHAOP] = i == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    s[D3DTSS_COLORARG1] = s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    s[D3DTSS_COLORARG2] = s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    s[D3DTSS_TEXCOORDINDEX] = i;
  }
  world_ = view_ = projection_ = IdentityMatrix();
  transformDirty_ = true;
  std::fill(std::begin(textures_), std::end(textures_), nullptr);
  fvf_ = 0;
  scissor_ = Rect{0, 0, static_cast<int32_t>(width_), static_cast<int32_t>(height_)};
}

HRESULT SoftDevice::TestCooperativeLevel() {
  const HRESULT injected = faults_.Take(Op::TestCooperativeLevel);
  if (Failed(injected)) return injected;
  if (!lost_) return D3D_OK;
  if (lostFrames_ > 0) {
    --lostFrames_;
    return D3DERR_DEVICELOST;
  }
  return D3DERR_DEVICENOTRESET;
}

void SoftDevice::SimulateLoss(uint32_t frames) {
  ReturnTarget(true);
  lost_ = true;
  lostFrames_ = frames;
  inScene_ = false;
}

HRESULT SoftDevice::Reset(PresentParams* params) {
  if (!params) return D3DERR_INVALIDCALL;
  if (lost_ && lostFrames_ > 0) return D3DERR_DEVICELOST;
  const HRESULT valid = ValidatePresentParams(*params);
  if (Failed(valid)) return valid;
  const HRESULT injected = faults_.Take(Op::Reset);
  if (Failed(injected)) {
    // A reset that fails leaves the device lost until a reset succeeds.
    ReturnTarget(true);
    lost_ = true;
    lostFrames_ = 0;
    return injected;
  }
  params_ = *params;
  AllocateBuffers();
  ResetStates();
  lost_ = false;
  inScene_ = false;
  cursor_.clear();
  cursorShown_ = false;
  return D3D_OK;
}

HRESULT SoftDevice::BeginScene() {
  const HRESULT injected = faults_.Take(Op::BeginScene);
  if (Failed(injected)) return injected;
  if (inScene_) return D3DERR_INVALIDCALL;
  inScene_ = true;
  BorrowTarget();
  return D3D_OK;
}

// Where the swap effect leaves the back buffer undefined after Present
// (DISCARD) and the window lends its own memory for a frame of this size,
// the scene is drawn straight into the window: nothing is copied on the way
// to the screen. The memory is the device's from here to the next Present.
// The back buffer's content carries over into it where it was current
// (the first frame drawn so, or a Clear outside a scene since).
void SoftDevice::BorrowTarget() {
  PresentSink* sink = GetPresentSink();
  if (lent_ || !rasterising_ || lost_ || sink == nullptr || params_.swapEffect != D3DSWAPEFFECT_DISCARD) return;
  uint32_t* memory = sink->LendTarget(params_.deviceWindow, width_, height_);
  if (memory == nullptr) return;
  if (backCurrent_) std::memcpy(memory, back_.data(), back_.size() * sizeof(uint32_t));
  target_ = memory;
  lent_ = true;
  backCurrent_ = false;
}

// The window's memory goes back (a frame not shown keeps what was drawn in
// the back buffer, as without it).
void SoftDevice::ReturnTarget(bool keep) {
  if (!lent_) return;
  if (keep) {
    std::memcpy(back_.data(), target_, back_.size() * sizeof(uint32_t));
    backCurrent_ = true;
  }
  target_ = back_.data();
  lent_ = false;
}

HRESULT SoftDevice::EndScene() {
  const HRESULT injected = faults_.Take(Op::EndScene);
  if (Failed(injected)) return injected;
  if (!inScene_) return lost_ ? D3D_OK : D3DERR_INVALIDCALL;
  inScene_ = false;
  return D3D_OK;
}

HRESULT SoftDevice::Present() {
  // A frame ends with every call, shown or not: what it did not draw goes from the row cache.
  rowCache_.EndFrame();
  const HRESULT injected = faults_.Take(Op::Present);
  if (Failed(injected)) {
    ReturnTarget(true);
    return injected;
  }
  if (lost_) return D3DERR_DEVICELOST;
  if (inScene_) return D3DERR_INVALIDCALL;
  ++presentCount_;
  if (!rasterising_) {
    ReturnTarget(true);
    return D3D_OK;
  }
  if (lent_) {
    // The frame is in the window's memory already; the window ignores the
    // alpha byte. A copy only for a frame that will be read back.
    CompositeCursor(target_);
    if (frameKept_)
      for (size_t i = 0; i < front_.size(); ++i) front_[i] = target_[i] | 0xFF000000u;
    uint32_t* shown = target_;
    ReturnTarget(false);
    if (PresentSink* sink = GetPresentSink()) sink->ShowFrame(params_.deviceWindow, shown, width_, height_);
    return D3D_OK;
  }
  for (size_t i = 0; i < back_.size(); ++i) front_[i] = back_[i] | 0xFF000000u;
  backCurrent_ = true;
  CompositeCursor(front_.data());
  if (PresentSink* sink = GetPresentSink()) sink->ShowFrame(params_.deviceWindow, front_.data(), width_, height_);
  return D3D_OK;
}

// The cursor blended over the frame (opaque under it, as everywhere else).
void SoftDevice::CompositeCursor(uint32_t* frame) {
  if (!cursorShown_ || cursor_.empty()) return;
  const int x0 = cursorX_ - static_cast<int>(hotX_), y0 = cursorY_ - static_cast<int>(hotY_);
  for (uint32_t cy = 0; cy < cursorHeight_; ++cy) {
    const int y = y0 + static_cast<int>(cy);
    if (y < 0 || y >= static_cast<int>(height_)) continue;
    for (uint32_t cx = 0; cx < cursorWidth_; ++cx) {
      const int x = x0 + static_cast<int>(cx);
      if (x < 0 || x >= static_cast<int>(width_)) continue;
      uint32_t& d = frame[static_cast<size_t>(y) * width_ + x];
      d |= 0xFF000000u;
      BlendSrcAlphaSpanPlain(&cursor_[static_cast<size_t>(cy) * cursorWidth_ + cx], &d, 1);
      d |= 0xFF000000u;
    }
  }
}

HRESULT SoftDevice::Clear(uint32_t flags, uint32_t colour, float /*z*/, uint32_t stencil) {
  const HRESULT injected = faults_.Take(Op::Clear);
  if (Failed(injected)) return injected;
  if ((flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_STENCIL) && stencil_.empty()) return D3DERR_INVALIDCALL;
  if ((flags & D3DCLEAR_ZBUFFER) && !params_.enableAutoDepthStencil) return D3DERR_INVALIDCALL;
  if (lost_ || !rasterising_) return D3D_OK;
  Rect r{0, 0, static_cast<int32_t>(width_), static_cast<int32_t>(height_)};
  if (renderStates_[D3DRS_SCISSORTESTENABLE]) {
    r.left = std::max(r.left, scissor_.left);
    r.top = std::max(r.top, scissor_.top);
    r.right = std::min(r.right, scissor_.right);
    r.bottom = std::min(r.bottom, scissor_.bottom);
  }
  if ((flags & D3DCLEAR_TARGET) && !lent_) backCurrent_ = true;
#if defined(__x86_64__)
  // A clear of whole rows is one run of words: the processor's string store
  // writes whole cache lines without reading them first, which matters when
  // the target is the window's memory that the display server has just read.
  if ((flags & D3DCLEAR_TARGET) && r.left == 0 && r.right == static_cast<int32_t>(width_) && r.top < r.bottom) {
    uint32_t* p = target_ + static_cast<size_t>(r.top) * width_;
    size_t n = static_cast<size_t>(r.bottom - r.top) * width_;
    asm volatile("rep stosl" : "+D"(p), "+c"(n) : "a"(colour) : "memory");
    flags &= ~static_cast<uint32_t>(D3DCLEAR_TARGET);
  }
#endif
  for (int32_t y = r.top; y < r.bottom; ++y) {
    const size_t row = static_cast<size_t>(y) * width_;
    if (r.left >= r.right) break;
    if (flags & D3DCLEAR_TARGET) std::fill(target_ + row + r.left, target_ + row + r.right, colour);
    if (flags & D3DCLEAR_STENCIL) {
      std::fill(stencil_.begin() + row + r.left, stencil_.begin() + row + r.right, static_cast<uint8_t>(stencil));
    }
  }
  return D3D_OK;
}

HRESULT SoftDevice::SetRenderState(uint32_t state, uint32_t value) {
  if (state >= kRenderStateCount) return D3DERR_INVALIDCALL;
  renderStates_[state] = value;
  return D3D_OK;
}

HRESULT SoftDevice::GetRenderState(uint32_t state, uint32_t* value) {
  if (state >= kRenderStateCount || !value) return D3DERR_INVALIDCALL;
  *value = renderStates_[state];
  return D3D_OK;
}

HRESULT SoftDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
  if (sampler >= kSamplers || type >= kSamplerStateCount) return D3DERR_INVALIDCALL;
  samplerStates_[sampler][type] = value;
  return D3D_OK;
}

HRESULT SoftDevice::GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) {
  if (sampler >= kSamplers || type >= kSamplerStateCount || !value) return D3DERR_INVALIDCALL;
  *value = samplerStates_[sampler][type];
  return D3D_OK;
}

HRESULT SoftDevice::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
  if (stage >= kStageCount || type >= kStageStateCount) return D3DERR_INVALIDCALL;
  stageStates_[stage][type] = value;
  return D3D_OK;
}

HRESULT SoftDevice::GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) {
  if (stage >= kStageCount || type >= kStageStateCount || !value) return D3DERR_INVALIDCALL;
  *value = stageStates_[stage][type];
  return D3D_OK;
}

HRESULT SoftDevice::SetTransform(uint32_t which, const Matrix* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  transformDirty_ = true;
  switch (which) {
    case D3DTS_WORLD: world_ = *matrix; return D3D_OK;
    case D3DTS_VIEW: view_ = *matrix; return D3D_OK;
    case D3DTS_PROJECTION: projection_ = *matrix; return D3D_OK;
    default: return D3DERR_INVALIDCALL;
  }
}

HRESULT SoftDevice::GetTransform(uint32_t which, Matrix* matrix) {
  if (!matrix) return D3DERR_INVALIDCALL;
  switch (which) {
    case D3DTS_WORLD: *matrix = world_; return D3D_OK;
    case D3DTS_VIEW: *matrix = view_; return D3D_OK;
    case D3DTS_PROJECTION: *matrix = projection_; return D3D_OK;
    default: return D3DERR_INVALIDCALL;
  }
}

HRESULT SoftDevice::SetScissorRect(const Rect* rect) {
  if (!rect) return D3DERR_INVALIDCALL;
  if (rect->left > rect->right || rect->top > rect->bottom) return D3DERR_INVALIDCALL;
  scissor_ = *rect;
  return D3D_OK;
}

HRESULT SoftDevice::GetScissorRect(Rect* rect) {
  if (!rect) return D3DERR_INVALIDCALL;
  *rect = scissor_;
  return D3D_OK;
}

HRESULT SoftDevice::SetFVF(uint32_t fvf) {
  fvf_ = fvf;
  return D3D_OK;
}

HRESULT SoftDevice::GetFVF(uint32_t* fvf) {
  if (!fvf) return D3DERR_INVALIDCALL;
  *fvf = fvf_;
  return D3D_OK;
}

HRESULT SoftDevice::DrawPrimitiveUP(uint32_t type, uint32_t count, const void* vertices, uint32_t stride) {
  const HRESULT injected = faults_.Take(Op::DrawPrimitiveUP);
  if (Failed(injected)) return injected;
  if (type != D3DPT_TRIANGLEFAN && type != D3DPT_LINESTRIP) return D3DERR_NOTAVAILABLE;
  if (!vertices) return D3DERR_INVALIDCALL;
  const VertexLayout layout = LayoutOf(fvf_);
  if (layout.size == 0) return D3DERR_NOTAVAILABLE;
  if (stride < layout.size) return D3DERR_INVALIDCALL;
  if (!inScene_ && !lost_) return D3DERR_INVALIDCALL;
  if (count == 0 || lost_ || !rasterising_) return D3D_OK;
  return Draw(type, count, static_cast<const uint8_t*>(vertices), stride);
}

HRESULT SoftDevice::Draw(uint32_t type, uint32_t count, const uint8_t* data, uint32_t stride) {
  const VertexLayout layout = LayoutOf(fvf_);
  const uint32_t n = type == D3DPT_TRIANGLEFAN ? count + 2 : count + 1;
  scratch_.resize(n);
  ScreenVertex* verts = scratch_.data();
  if (transformDirty_) {
    combined_ = Multiply(Multiply(world_, view_), projection_);
    transformDirty_ = false;
  }
  const Matrix& m = combined_;
  const double halfW = width_ * 0.5, halfH = height_ * 0.5;
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t* p = data + static_cast<size_t>(i) * stride;
    const double x = ReadFloat(p), y = ReadFloat(p + 4), z = ReadFloat(p + 8);
    double out[4];
    for (int c = 0; c < 4; ++c) out[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
    ScreenVertex& v = verts[i];
    v = ScreenVertex{};
    v.valid = out[3] > 1e-12 && std::isfinite(out[0]) && std::isfinite(out[1]) && std::isfinite(out[3]);
    if (v.valid) {
      // An affine projection leaves w at one: no division needed for the same result.
      const double sx = out[3] == 1.0 ? out[0] : out[0] / out[3], sy = out[3] == 1.0 ? out[1] : out[1] / out[3];
      v.x = static_cast<float>((sx + 1.0) * halfW);
      v.y = static_cast<float>((1.0 - sy) * halfH);
    }
    v.colour = layout.diffuse >= 0 ? ReadU32(p + layout.diffuse) : 0xFFFFFFFFu;
    if (layout.tex >= 0) {
      v.u = ReadFloat(p + layout.tex);
      v.v = ReadFloat(p + layout.tex + 4);
    }
  }

  RasterState st;
  PixelState& px = st.pixel;
  px.target = target_;
  px.targetPitch = static_cast<int>(width_);
  px.stencil = stencil_.empty() ? nullptr : stencil_.data();
  px.stencilPitch = static_cast<int>(width_);
  Texture* tex = textures_[0];
  if (tex && layout.tex >= 0) {
    px.texels = tex->Texels();
    px.texWidth = static_cast<int>(tex->Width());
    px.texHeight = static_cast<int>(tex->Height());
    px.footprints = tex->Footprints();
    px.opaque = tex->Opaque();
    if (!px.opaque) px.alphaSpans = tex->AlphaSpans();
    px.contentId = tex->ContentId();
    if (rowCacheOn_) px.rowCache = &rowCache_;
  }
  const uint32_t* s = samplerStates_[0];
  px.addressU = s[D3DSAMP_ADDRESSU];
  px.addressV = s[D3DSAMP_ADDRESSV];
  px.borderColour = s[D3DSAMP_BORDERCOLOR];
  st.minLinear = s[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
  st.magLinear = s[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR;
  px.colourOp = stageStates_[0][D3DTSS_COLOROP];
  px.alphaOp = stageStates_[0][D3DTSS_ALPHAOP];
  const uint32_t* rs = renderStates_;
  px.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
  px.alphaFunc = rs[D3DRS_ALPHAFUNC];
  px.alphaRef = rs[D3DRS_ALPHAREF];
  px.stencilTest = rs[D3DRS_STENCILENABLE] != 0;
  px.stencilFunc = rs[D3DRS_STENCILFUNC];
  px.stencilRef = rs[D3DRS_STENCILREF];
  px.stencilMask = rs[D3DRS_STENCILMASK];
  px.stencilWriteMask = rs[D3DRS_STENCILWRITEMASK];
  px.stencilPass = rs[D3DRS_STENCILPASS];
  px.stencilFail = rs[D3DRS_STENCILFAIL];
  px.blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
  px.srcBlend = rs[D3DRS_SRCBLEND];
  px.destBlend = rs[D3DRS_DESTBLEND];
  px.writeMask = rs[D3DRS_COLORWRITEENABLE];
  st.cullMode = rs[D3DRS_CULLMODE];
  st.rectPath = rectPass_;
  st.clip = Rect{0, 0, static_cast<int32_t>(width_), static_cast<int32_t>(height_)};
  if (rs[D3DRS_SCISSORTESTENABLE]) {
    st.clip.left = std::max(st.clip.left, scissor_.left);
    st.clip.top = std::max(st.clip.top, scissor_.top);
    st.clip.right = std::min(st.clip.right, scissor_.right);
    st.clip.bottom = std::min(st.clip.bottom, scissor_.bottom);
  }
  if (type == D3DPT_TRIANGLEFAN) {
    DrawTriangleFan(st, verts, count);
  } else {
    DrawLineStrip(st, verts, count);
  }
  return D3D_OK;
}

HRESULT SoftDevice::SetTexture(uint32_t stage, Texture* texture) {
  if (stage >= kStageCount) return D3DERR_INVALIDCALL;
  if (texture && texture->Device() != this) return D3DERR_INVALIDCALL;
  textures_[stage] = texture;
  return D3D_OK;
}

HRESULT SoftDevice::GetTexture(uint32_t stage, Texture** texture) {
  if (stage >= kStageCount || !texture) return D3DERR_INVALIDCALL;
  *texture = textures_[stage];
  return D3D_OK;
}

HRESULT SoftDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                  uint32_t format, uint32_t pool, std::unique_ptr<Texture>* out) {
  if (!out) return D3DERR_INVALIDCALL;
  out->reset();
  const HRESULT injected = faults_.Take(Op::CreateTexture);
  if (Failed(injected)) return injected;
  if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize) return D3DERR_INVALIDCALL;
  if (levels > 1 || usage != 0 || pool != D3DPOOL_MANAGED) return D3DERR_INVALIDCALL;
  if (!IsTextureFormat(format)) return D3DERR_INVALIDCALL;
  auto texture = std::make_unique<Texture>(this, width, height, format, pool);
  live_.push_back(texture.get());
  *out = std::move(texture);
  return D3D_OK;
}

void SoftDevice::ForgetTexture(Texture* texture) {
  live_.erase(std::remove(live_.begin(), live_.end(), texture), live_.end());
  for (Texture*& t : textures_) {
    if (t == texture) t = nullptr;
  }
}

HRESULT SoftDevice::SetCursorProperties(uint32_t hotX, uint32_t hotY, Surface* image) {
  const HRESULT injected = faults_.Take(Op::SetCursorProperties);
  if (Failed(injected)) return injected;
  if (!image) {
    cursor_.clear();
    cursorWidth_ = cursorHeight_ = 0;
    return D3D_OK;
  }
  const Texture* t = image->GetTexture();
  if (t->Format() != D3DFMT_A8R8G8B8 || hotX >= t->Width() || hotY >= t->Height() || t->IsLocked()) {
    return D3DERR_INVALIDCALL;
  }
  cursorWidth_ = t->Width();
  cursorHeight_ = t->Height();
  cursor_.assign(t->Texels(), t->Texels() + static_cast<size_t>(cursorWidth_) * cursorHeight_);
  hotX_ = hotX;
  hotY_ = hotY;
  return D3D_OK;
}

void SoftDevice::SetCursorPosition(int x, int y, uint32_t /*flags*/) {
  cursorX_ = x;
  cursorY_ = y;
}

bool SoftDevice::ShowCursor(bool show) {
  const bool was = cursorShown_;
  cursorShown_ = show;
  return was;
}

uint32_t SoftDevice::FramePixel(uint32_t x, uint32_t y) const {
  return x < width_ && y < height_ ? front_[static_cast<size_t>(y) * width_ + x] : 0;
}

uint32_t SoftDevice::BackPixel(uint32_t x, uint32_t y) const {
  return x < width_ && y < height_ ? target_[static_cast<size_t>(y) * width_ + x] | 0xFF000000u : 0;
}

uint8_t SoftDevice::StencilAt(uint32_t x, uint32_t y) const {
  return x < width_ && y < height_ && !stencil_.empty() ? stencil_[static_cast<size_t>(y) * width_ + x] : 0;
}

}  // namespace plat::gfx
