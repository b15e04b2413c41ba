// Texel layouts of the software device: sizes, pitches, decoding of every
// texture format the device takes into 32-bit ARGB (the form the sampler
// reads) and encoding of ARGB into the plain formats. DXT1 to DXT5 are
// decoded here too: it is the device's own texture sampling.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat::gfx {

bool IsDxtFormat(uint32_t format);
// True for the formats a texture can have: 21 to 26, 28, 50 to 52, DXT1-5.
bool IsTextureFormat(uint32_t format);
// Bytes of one texel of a plain format; 0 for DXT and unknown formats.
uint32_t TexelBytes(uint32_t format);
// Bytes per row as locked (for DXT, per row of 4 x 4 blocks) and the number
// of such rows; 0 for unknown formats.
uint32_t SurfacePitch(uint32_t format, uint32_t width);
uint32_t SurfaceRows(uint32_t format, uint32_t height);

// Decodes a whole surface into ARGB texels (`out` holds width x height words,
// rows packed). Formats without alpha read as opaque, X bits included.
void DecodeSurface(uint32_t format, const uint8_t* bits, uint32_t pitch, uint32_t width,
                   uint32_t height, uint32_t* out);

// Encodes ARGB texels into a plain format; false for DXT and unknown formats.
bool EncodeSurface(uint32_t format, const uint32_t* argb, uint32_t width, uint32_t height,
                   uint8_t* bits, uint32_t pitch);

// One texel through ARGB, for tests and small conversions.
uint32_t DecodeTexel(uint32_t format, const uint8_t* texel);
void EncodeTexel(uint32_t format, uint32_t argb, uint8_t* texel);

}  // namespace plat::gfx
