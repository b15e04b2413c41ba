// Texel layouts of the software device: sizes, pitches, decoding of every
// texture format the device takes into 32-bit ARGB (the form the sampler
// reads) and encoding of ARGB into the plain formats. DXT1 to DXT5 are
// decoded here too: it is the device's own texture sampling.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat::gfx {

// The one table of format sizes, for the device and the engine's images: per
// format code its printed name, the bytes of one texel a surface, texture or
// bitmap stores (0 where none is stored: DXT, whose 4 x 4 blocks are sized
// apart, and the formats that are only named or converted), and the bytes one
// pixel takes when a colour is written in that format (0 when there is no
// such conversion).
struct FormatInfo {
  uint32_t code;
  const char* name;
  uint32_t texelBytes;
  uint32_t writeBytes;
};
// The table's entry of a format code; null for a code it does not hold.
const FormatInfo* FindFormatInfo(uint32_t format);

bool IsDxtFormat(uint32_t format);
// True for the formats a texture can have: 21 to 26, 28, 50 to 52, DXT1-5.
bool IsTextureFormat(uint32_t format);
// Bytes of one texel of a plain format (the table's texelBytes); 0 for DXT
// and unknown formats.
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
