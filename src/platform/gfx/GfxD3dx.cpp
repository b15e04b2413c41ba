#include "platform/gfx/GfxD3dx.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/gfx/GfxFormats.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "platform/os/FileSystem.h"

namespace plat::gfx {

namespace {

constexpr uint32_t kMaxImageSide = 4096;
constexpr long kMaxFileBytes = 256L << 20;

uint32_t NextPowerOfTwo(uint32_t n) {
  uint32_t p = 1;
  while (p < n && p < 0x80000000u) p <<= 1;
  return p;
}

uint32_t ChooseSide(uint32_t asked, uint32_t image) {
  if (asked == 0 || asked == D3DX_DEFAULT) return NextPowerOfTwo(image);
  if (asked == D3DX_DEFAULT_NONPOW2) return image;
  return asked;
}

uint32_t ChooseFormat(uint32_t asked, uint32_t fileFormat) {
  if (asked == D3DFMT_FROM_FILE || asked == D3DFMT_UNKNOWN) {
    if (fileFormat == D3DFMT_R8G8B8) return D3DFMT_X8R8G8B8;
    return TexelBytes(fileFormat) ? fileFormat : D3DFMT_A8R8G8B8;
  }
  return TexelBytes(asked) ? asked : D3DFMT_A8R8G8B8;
}

// Whether the filter places the image unscaled (when the sizes differ).
bool PlacesUnscaled(uint32_t filter) {
  if (filter == D3DX_DEFAULT) return false;
  filter &= 0xFFFF;
  return filter == D3DX_FILTER_NONE || filter < D3DX_FILTER_NONE || filter > D3DX_FILTER_BOX;
}

// Resamples the image into a w x h ARGB block by the filter's rule.
TexelBlock Resample(const DecodedImage& img, uint32_t w, uint32_t h, uint32_t filter) {
  TexelBlock out(static_cast<size_t>(w) * h);
  if (out.empty()) return out;
  const uint32_t iw = img.width, ih = img.height, pitch = img.pitch;
  const uint32_t* in = img.argb.data();
  if ((iw == w && ih == h) || PlacesUnscaled(filter)) {
    for (uint32_t y = 0; y < std::min(h, ih); ++y)
      std::copy_n(in + static_cast<size_t>(y) * pitch, std::min(w, iw), out.data() + static_cast<size_t>(y) * w);
    return out;
  }
  if (filter == D3DX_DEFAULT) filter = D3DX_FILTER_TRIANGLE;
  filter &= 0xFFFF;
  const double sx = static_cast<double>(iw) / w, sy = static_cast<double>(ih) / h;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      uint32_t& d = out[static_cast<size_t>(y) * w + x];
      if (filter == D3DX_FILTER_POINT) {
        const uint32_t px = std::min(iw - 1, static_cast<uint32_t>((x + 0.5) * sx));
        const uint32_t py = std::min(ih - 1, static_cast<uint32_t>((y + 0.5) * sy));
        d = in[static_cast<size_t>(py) * pitch + px];
        continue;
      }
      const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, iw - 1.0);
      const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, ih - 1.0);
      const uint32_t x0 = static_cast<uint32_t>(fx), y0 = static_cast<uint32_t>(fy);
      const uint32_t x1 = std::min(iw - 1, x0 + 1), y1 = std::min(ih - 1, y0 + 1);
      const double tx = fx - x0, ty = fy - y0;
      const uint32_t c00 = in[static_cast<size_t>(y0) * pitch + x0], c10 = in[static_cast<size_t>(y0) * pitch + x1];
      const uint32_t c01 = in[static_cast<size_t>(y1) * pitch + x0], c11 = in[static_cast<size_t>(y1) * pitch + x1];
      uint32_t v = 0;
      for (int s = 0; s < 32; s += 8) {
        const double top = ((c00 >> s) & 0xFF) * (1 - tx) + ((c10 >> s) & 0xFF) * tx;
        const double bottom = ((c01 >> s) & 0xFF) * (1 - tx) + ((c11 >> s) & 0xFF) * tx;
        v |= static_cast<uint32_t>(std::floor(top * (1 - ty) + bottom * ty + 0.5)) << s;
      }
      d = v;
    }
  }
  return out;
}

HRESULT Decode(const void* data, uint32_t size, DecodedImage* img) {
  if (!data || size == 0) return D3DERR_INVALIDCALL;
  const ImageDecoder decoder = GetImageDecoder();
  if (!decoder) return D3DXERR_INVALIDDATA;
  if (!decoder(static_cast<const uint8_t*>(data), size, img)) return D3DXERR_INVALIDDATA;
  if (img->width == 0 || img->height == 0 || img->width > kMaxImageSide || img->height > kMaxImageSide ||
      img->pitch < img->width || img->rows < img->height ||
      img->argb.size() != static_cast<size_t>(img->pitch) * img->rows) {
    return D3DXERR_INVALIDDATA;
  }
  return D3D_OK;
}

bool ReadFile(const char16_t* path, std::vector<uint8_t>* out) {
  if (!path || !*path) return false;
  const std::string native = plat::NativePath(std::u16string_view(path));
  std::FILE* f = std::fopen(native.c_str(), "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(f) : -1;
  ok = ok && size > 0 && size <= kMaxFileBytes && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    out->resize(static_cast<size_t>(size));
    ok = std::fread(out->data(), 1, out->size(), f) == out->size();
  }
  std::fclose(f);
  return ok;
}

}  // namespace

bool DecodedImage::Allocate(uint32_t imageWidth, uint32_t imageHeight) {
  argb = TexelBlock();
  pitch = rows = 0;
  if (imageWidth == 0 || imageHeight == 0 || imageWidth > kMaxImageSide || imageHeight > kMaxImageSide) return false;
  // A side asked beyond any texture's is left to the texture's making to refuse.
  uint32_t w = std::max(ChooseSide(askedWidth, imageWidth), imageWidth);
  uint32_t h = std::max(ChooseSide(askedHeight, imageHeight), imageHeight);
  if (w > kMaxImageSide) w = imageWidth;
  if (h > kMaxImageSide) h = imageHeight;
  // Most decoded pictures live only until their texture has packed them.
  argb = TexelBlock::Brief(static_cast<size_t>(w) * h);
  if (argb.empty()) return false;
  width = imageWidth;
  height = imageHeight;
  pitch = w;
  rows = h;
  return true;
}

ImageDecoder GetImageDecoder() { return GetPlatformServices().imageDecoder; }

Matrix* D3DXMatrixOrthoOffCenterLH(Matrix* out, float l, float r, float b, float t, float zn, float zf) {
  if (!out) return nullptr;
  *out = IdentityMatrix();
  out->m[0][0] = 2.0f / (r - l);
  out->m[1][1] = 2.0f / (t - b);
  out->m[2][2] = 1.0f / (zf - zn);
  out->m[3][0] = (l + r) / (l - r);
  out->m[3][1] = (t + b) / (b - t);
  out->m[3][2] = zn / (zn - zf);
  return out;
}

Matrix* D3DXMatrixAffineTransformation2D(Matrix*, float, const float*, float, const float*) { return nullptr; }

HRESULT D3DXCreateTexture(Device* device, uint32_t width, uint32_t height, uint32_t mipLevels, uint32_t usage,
                          uint32_t format, uint32_t pool, std::unique_ptr<Texture>* out) {
  if (!device || !out) return D3DERR_INVALIDCALL;
  if (mipLevels != 0 && mipLevels != 1 && mipLevels != D3DX_DEFAULT) return D3DERR_INVALIDCALL;
  width = width == 0 || width == D3DX_DEFAULT ? 256 : NextPowerOfTwo(width);
  height = height == 0 || height == D3DX_DEFAULT ? 256 : NextPowerOfTwo(height);
  return device->CreateTexture(width, height, 1, usage, format, pool, out);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(Device* device, const void* data, uint32_t size, uint32_t width,
                                            uint32_t height, uint32_t mipLevels, uint32_t usage, uint32_t format,
                                            uint32_t pool, uint32_t filter, uint32_t /*mipFilter*/,
                                            uint32_t colourKey, ImageInfo* info, void* /*palette*/,
                                            std::unique_ptr<Texture>* out) {
  if (!device || !out) return D3DERR_INVALIDCALL;
  out->reset();
  if (mipLevels != 0 && mipLevels != 1 && mipLevels != D3DX_DEFAULT) return D3DERR_INVALIDCALL;
  if (SoftDevice* soft = device->GetSoftDevice()) {
    const HRESULT injected = soft->Faults().Take(Op::LoadImage);
    if (Failed(injected)) return injected;
  }
  // An image placed unscaled is decoded straight into a block of the
  // texture's size, which the texture then takes as it stands.
  DecodedImage img;
  if (PlacesUnscaled(filter)) {
    img.askedWidth = width;
    img.askedHeight = height;
  }
  const HRESULT decoded = Decode(data, size, &img);
  if (Failed(decoded)) return decoded;
  const uint32_t w = ChooseSide(width, img.width), h = ChooseSide(height, img.height);
  const uint32_t texFormat = ChooseFormat(format, img.fileFormat);
  std::unique_ptr<Texture> texture;
  const HRESULT created = device->CreateTexture(w, h, 1, usage, texFormat, pool, &texture);
  if (Failed(created)) return created;
  // Straight from the decoder the block is zero around the image.
  const bool straight = img.pitch == w && img.rows == h;
  TexelBlock pixels = straight ? std::move(img.argb) : Resample(img, w, h, filter);
  if (pixels.empty()) return E_OUTOFMEMORY;
  if (colourKey != 0) std::replace(pixels.begin(), pixels.end(), colourKey, 0u);
  if (SoftDevice* soft = device->GetSoftDevice()) {
    const HRESULT injected = soft->Faults().Take(Op::LockRect);  // the fill stands for a lock
    if (Failed(injected)) return injected;
  }
  const HRESULT filled = straight ? texture->TakeTexels(std::move(pixels), img.width, img.height)
                                  : texture->TakeTexels(std::move(pixels));
  if (Failed(filled)) return filled;
  if (info) *info = ImageInfo{img.width, img.height, 1, 1, img.fileFormat};
  *out = std::move(texture);
  return D3D_OK;
}

HRESULT D3DXCreateTextureFromFileExW(Device* device, const char16_t* path, uint32_t width, uint32_t height,
                                     uint32_t mipLevels, uint32_t usage, uint32_t format, uint32_t pool,
                                     uint32_t filter, uint32_t mipFilter, uint32_t colourKey, ImageInfo* info,
                                     void* palette, std::unique_ptr<Texture>* out) {
  if (!device || !out) return D3DERR_INVALIDCALL;
  out->reset();
  std::vector<uint8_t> bytes;
  if (!ReadFile(path, &bytes)) return D3DERR_NOTFOUND;
  return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<uint32_t>(bytes.size()), width,
                                             height, mipLevels, usage, format, pool, filter, mipFilter, colourKey,
                                             info, palette, out);
}

HRESULT D3DXCreateTextureFromFileExA(Device*, const char*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                     uint32_t, uint32_t, uint32_t, uint32_t, ImageInfo*, void*,
                                     std::unique_ptr<Texture>* out) {
  if (out) out->reset();
  return D3DERR_NOTAVAILABLE;
}

HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, uint32_t size, ImageInfo* info) {
  if (!info) return D3DERR_INVALIDCALL;
  DecodedImage img;
  const HRESULT decoded = Decode(data, size, &img);
  if (Failed(decoded)) return decoded;
  *info = ImageInfo{img.width, img.height, 1, 1, img.fileFormat};
  return D3D_OK;
}

HRESULT D3DXCreateFontIndirectW(Device*, const FontDescription*, void** font) {
  if (font) *font = nullptr;
  return D3DERR_NOTAVAILABLE;
}

HRESULT D3DXCreateFontIndirectA(Device*, const FontDescription*, void** font) {
  if (font) *font = nullptr;
  return D3DERR_NOTAVAILABLE;
}

}  // namespace plat::gfx
