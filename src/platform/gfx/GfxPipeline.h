// The per-pixel half of the software rasteriser. A draw call snapshots the
// device states into a PixelState; the rasteriser then hands over horizontal
// spans of covered pixels, each with its vertex colour and texel coordinates
// at the first pixel and their steps, and ShadeSpan runs the fixed pipeline
// over them in this order: texture fetch (point or bilinear, with addressing),
// stage-0 colour and alpha operations, alpha test, stencil test and
// operations, blending and the colour write mask.
#pragma once

#include <cstdint>

namespace plat::gfx {

class FootprintTable;
class ScaledRowCache;

struct PixelState {
  uint32_t* target = nullptr;  // 32-bit colour buffer; the top byte is unused
  int targetPitch = 0;         // in pixels
  uint8_t* stencil = nullptr;  // null when the device has no stencil buffer
  int stencilPitch = 0;

  const uint32_t* texels = nullptr;  // ARGB, rows packed; null without a texture
  int texWidth = 0, texHeight = 0;
  uint32_t addressU = 1, addressV = 1, borderColour = 0;
  bool linear = false;  // filter of the current primitive
  FootprintTable* footprints = nullptr;  // the texture's, for the wide path; may be null
  bool opaque = false;                   // every texel's alpha is 255
  // The texture's visible columns per row (Texture::AlphaSpans) when it is
  // not opaque; may be null.
  const uint32_t* alphaSpans = nullptr;
  // The texture's content (Texture::ContentId; 0: none to key on) and the
  // device's cache of filtered rows of scaled rectangles (null when off).
  uint64_t contentId = 0;
  ScaledRowCache* rowCache = nullptr;

  uint32_t colourOp = 4, alphaOp = 2;

  bool alphaTest = false;
  uint32_t alphaFunc = 8, alphaRef = 0;

  bool stencilTest = false;
  uint32_t stencilFunc = 8, stencilRef = 0, stencilMask = 0xFF, stencilWriteMask = 0xFF;
  uint32_t stencilPass = 1, stencilFail = 1;

  bool blend = false;
  uint32_t srcBlend = 2, destBlend = 1;
  uint32_t writeMask = 0xF;
};

// Values at the first pixel centre of a span and their steps per pixel.
struct SpanSource {
  bool flat = true;     // one colour for the whole span
  uint32_t colour = 0;  // the flat colour (ARGB)
  float a = 0, r = 0, g = 0, b = 0;      // Gouraud colour, 0..255 per channel
  float da = 0, dr = 0, dg = 0, db = 0;
  int64_t u = 0, v = 0, du = 0, dv = 0;  // texel coordinates, 16.16 fixed point
};

// With one colour, a texture stage that gives every texel as it is (black
// added to its colour, its colour modulated by white, its alpha by an
// opaque colour) is set to select the texel for both: the narrow and wide
// routines then take it, with the same pixels.
void SimplifyStage(PixelState* state, uint32_t colour);

// Shades n pixels of row y from x on; the caller has clipped the span.
void ShadeSpan(const PixelState& state, int x, int y, int n, const SpanSource& source);

// A routine with ShadeSpan's contract. ChooseSpanShader picks, once per
// primitive, a narrower one for the common combinations of states (textured,
// no tests, every colour channel written; `flat` when the primitive has one
// vertex colour), which gives the same pixels as ShadeSpan. So do the two for
// the stencil with one colour: textured pieces marking it without writing
// colour (under the alpha test), and one untextured colour drawn under the
// stencil test.
using SpanShader = void (*)(const PixelState& state, int x, int y, int n, const SpanSource& source);
SpanShader ChooseSpanShader(const PixelState& state, bool flat);

// Whether the states mark the stencil from a textured primitive without
// writing colour (the routine ChooseSpanShader picks for them with one
// colour), and that routine's work on texels already filtered: texels[i]
// the sample at pixel x + i of row y, the primitive's colour `colour`.
bool MarksStencil(const PixelState& state, bool flat);
void MarkStencilFromTexels(const PixelState& state, int x, int y, int n, const uint32_t* texels, uint32_t colour);

// The narrow routines' ways of putting textured pixels with one colour and
// no tests on the target: the texels copied, blended by their alpha, tinted
// (modulated by the colour), or tinted and blended. ChooseSpanOp names the
// one the states ask for; false where ChooseSpanShader keeps ShadeSpan.
// The texels (or the tinted texels) added to the target by their alpha
// (source alpha, one: glows and light rays) are kAdd and kTintAdd, which
// only the footprint loops of turned quads take (ChooseAddSpanOp).
enum class SpanOp { kCopy, kBlend, kTint, kTintBlend, kAdd, kTintAdd };
bool ChooseSpanOp(const PixelState& state, bool flat, SpanOp* op);
// kAdd or kTintAdd where the states ask for one (textured, one colour, no
// tests, every colour channel written); ShadeSpan gives the same pixels.
bool ChooseAddSpanOp(const PixelState& state, bool flat, SpanOp* op);
// The narrow routine of an operation (with ChooseSpanShader's contract for
// the states that ask for it).
SpanShader SpanShaderFor(SpanOp op);

// Texel index i along an axis of `size` texels after the addressing `mode`;
// -1 selects the border colour.
int AddressTexel(int64_t i, int size, uint32_t mode);

// A routine that puts n texels, read in order from one row of the texture,
// on n target pixels with one colour and no tests: copied, blended by their
// alpha, tinted, or tinted and blended. ChooseTexelRowOp gives it for the
// states where ChooseSpanShader gives a narrower routine than ShadeSpan (null
// for any other), and it writes what that routine would for an unscaled span
// whose texels all lie inside the texture.
using TexelRowOp = void (*)(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n);
TexelRowOp ChooseTexelRowOp(const PixelState& state, bool flat);

// Building blocks, exposed so tests can check the vector paths against the
// plain ones.
uint32_t CombineStage(uint32_t colourOp, uint32_t alphaOp, uint32_t texel, uint32_t diffuse);
// Bilinear texel from four neighbours with 7-bit weights x, y (0..127).
uint32_t BilinearPlain(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t x, uint32_t y);
uint32_t BlendPixel(uint32_t srcBlend, uint32_t destBlend, uint32_t src, uint32_t dest);
void BlendAddSpan(const uint32_t* src, uint32_t* dest, int n);             // source alpha, one
void BlendAddSpanPlain(const uint32_t* src, uint32_t* dest, int n);        // reference
void BlendSrcAlphaSpan(const uint32_t* src, uint32_t* dest, int n);        // vector path
void BlendSrcAlphaSpanPlain(const uint32_t* src, uint32_t* dest, int n);   // reference
void ModulateSpan(const uint32_t* texels, uint32_t colour, uint32_t* out, int n);
void ModulateSpanPlain(const uint32_t* texels, uint32_t colour, uint32_t* out, int n);
void ModulateBlendSpan(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n);  // both at once
void ModulateAddSpan(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n);    // modulate, then add
void ModulateBlendSpanPlain(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n);

}  // namespace plat::gfx
