// The utility-library calls the engine makes: the orthographic projection,
// texture creation with power-of-two rounding, textures from image files on
// disk or in memory, and image information. Image files are decoded by a
// decoder the engine installs at start-up (PlatformServices::imageDecoder); the platform
// layer itself reads no image format. Calls the game never makes answer
// D3DERR_NOTAVAILABLE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gfx/GfxDevice.h"
#include "platform/gfx/GfxTexelBlock.h"
#include "platform/gfx/GfxTypes.h"
#include "platform/os/PlatformServices.h"

namespace plat::gfx {

constexpr uint32_t D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr uint32_t D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;
constexpr uint32_t D3DX_FILTER_NONE = 1;
constexpr uint32_t D3DX_FILTER_POINT = 2;
constexpr uint32_t D3DX_FILTER_LINEAR = 3;
constexpr uint32_t D3DX_FILTER_TRIANGLE = 4;
constexpr uint32_t D3DX_FILTER_BOX = 5;

// An image file decoded to 32-bit ARGB. `fileFormat` is the format the file
// stores (D3DFMT_R8G8B8 for 24-bit pixels, D3DFMT_A8R8G8B8, a DXT code, ...);
// it becomes the texture's format when the caller asks for the file's format.
// The pixels lie in a block of `rows` rows of `pitch` texels, the image in
// its top-left corner and zero around it: by default the image's own size;
// a caller that will place the image unscaled in a larger texture asks for
// the texture's sides (`askedWidth` and `askedHeight`, as D3DX sizes), so
// that the decoder writes each pixel once, where the texture keeps it.
struct DecodedImage {
  uint32_t width = 0, height = 0;
  uint32_t fileFormat = 0;
  uint32_t pitch = 0, rows = 0;
  TexelBlock argb;
  uint32_t askedWidth = 0xFFFFFFFEu, askedHeight = 0xFFFFFFFEu;  // D3DX_DEFAULT_NONPOW2: the image's size

  // Gives the image its size and the block its zero pixels, at least the
  // image's size; false (and no block) when the memory cannot be had or a
  // side is 0 or above 4096. Decoders call it once they know the size.
  bool Allocate(uint32_t imageWidth, uint32_t imageHeight);
  uint32_t* Row(uint32_t y) { return argb.data() + static_cast<size_t>(y) * pitch; }
};

// The installed decoder (ImageDecoder in PlatformServices.h); null when none is.
ImageDecoder GetImageDecoder();

Matrix* D3DXMatrixOrthoOffCenterLH(Matrix* out, float left, float right, float bottom, float top, float zNear,
                                   float zFar);
// Never called by the game: always null.
Matrix* D3DXMatrixAffineTransformation2D(Matrix* out, float scaling, const float* centre, float rotation,
                                         const float* translation);

// Every texture made here is owned by the caller through `out`.
//
// Sizes of 0 or D3DX_DEFAULT become 256; other sizes round up to a power of
// two. One level; `mipLevels` 0, 1 or D3DX_DEFAULT.
HRESULT D3DXCreateTexture(Device* device, uint32_t width, uint32_t height, uint32_t mipLevels, uint32_t usage,
                          uint32_t format, uint32_t pool, std::unique_ptr<Texture>* out);

// Width and height: D3DX_DEFAULT (or 0) takes the image's size rounded up to
// a power of two, D3DX_DEFAULT_NONPOW2 the image's size, anything else that
// size. Format: D3DFMT_FROM_FILE (or 0) keeps the file's format where a
// texture can have it (24-bit pixels become X8R8G8B8, DXT and other formats
// A8R8G8B8). Filter (low 16 bits): D3DX_FILTER_NONE places the image
// unscaled in the top-left corner and leaves the rest zero; POINT scales by
// nearest texel; LINEAR, TRIANGLE, BOX and D3DX_DEFAULT scale bilinearly.
// A non-zero colour key turns pixels of exactly that ARGB value into 0.
HRESULT D3DXCreateTextureFromFileInMemoryEx(Device* device, const void* data, uint32_t size, uint32_t width,
                                            uint32_t height, uint32_t mipLevels, uint32_t usage, uint32_t format,
                                            uint32_t pool, uint32_t filter, uint32_t mipFilter,
                                            uint32_t colourKey, ImageInfo* info, void* palette,
                                            std::unique_ptr<Texture>* out);
HRESULT D3DXCreateTextureFromFileExW(Device* device, const char16_t* path, uint32_t width, uint32_t height,
                                     uint32_t mipLevels, uint32_t usage, uint32_t format, uint32_t pool,
                                     uint32_t filter, uint32_t mipFilter, uint32_t colourKey, ImageInfo* info,
                                     void* palette, std::unique_ptr<Texture>* out);
// Never called by the game: D3DERR_NOTAVAILABLE.
HRESULT D3DXCreateTextureFromFileExA(Device* device, const char* path, uint32_t width, uint32_t height,
                                     uint32_t mipLevels, uint32_t usage, uint32_t format, uint32_t pool,
                                     uint32_t filter, uint32_t mipFilter, uint32_t colourKey, ImageInfo* info,
                                     void* palette, std::unique_ptr<Texture>* out);
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, uint32_t size, ImageInfo* info);

// The game draws no text through the utility library's fonts.
struct FontDescription;
HRESULT D3DXCreateFontIndirectW(Device* device, const FontDescription* description, void** font);
HRESULT D3DXCreateFontIndirectA(Device* device, const FontDescription* description, void** font);

}  // namespace plat::gfx
