// The tags of the engine's mark-up text: reading a tag and its attributes
// (names in any case, colours in hexadecimal, sizes in pixels or percent) and
// placing images. The rest of DXLTextT is in DXLText.cpp.
#include "engine/text/DXLText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/Maths.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"
#include "engine/text/EngineTextServices.h"
#include "platform/encoding/Ascii.h"

namespace {

template <class Ch>
u32 U(Ch c) {
  return static_cast<std::make_unsigned_t<Ch>>(c);
}

i32 TagRoundHalfUp(double v) { return kis::TruncToInt(std::floor(v + 0.5)); }

// FONT, COLOR and IMAGE: six digits or fewer are an opaque colour.
u32 OpaqueUnlessAlpha(u64 v) {
  const u32 c = static_cast<u32>(v);
  return c < 0x1000000u ? (c | 0xFF000000u) : c;
}

// GRAD takes its colours as written, except that 0 is opaque black.
u32 GradientColor(u64 v) {
  const u32 c = static_cast<u32>(v);
  return c == 0 ? 0xFF000000u : c;
}

// Tag and attribute names.
enum Name : i32 {
  kNone = -1,
  kFont,
  kColor,
  kGrad,
  kImage,
  kLink,
  kAddr,
  kColor1,
  kColor2,
  kId,
  kData,
  kQuad,
  kWidth,
  kHeight,
  kLt,
  kAl,
  kOfsy,
};

constexpr const char* kNames[] = {"FONT", "COLOR", "GRAD", "IMAGE", "LINK", "ADDR", "COLOR1", "COLOR2",
                                  "ID", "DATA", "QUAD", "WIDTH", "HEIGHT", "LT", "AL", "OFSY"};

// A number attribute: its value clamped to the range, and whether it was a
// percentage.
struct Number {
  bool set = false;
  bool percent = false;
  i32 value = 0;
};

i32 Resolve(const Number& n, i32 whole, i32 fallback) {
  if (!n.set) return fallback;
  if (!n.percent) return n.value;
  return TagRoundHalfUp(static_cast<double>(n.value) * whole / 100.0);
}

}  // namespace

template <class Ch>
struct DXLTextT<Ch>::Attributes {
  u32 count = 0;  // attributes read
  bool hasAddr = false;
  u64 addr = 0;
  bool hasColor = false;
  u64 color = 0;
  bool hasColor1 = false;
  u64 color1 = 0;
  bool hasColor2 = false;
  u64 color2 = 0;
  u64 id = 0;
  u64 data = 0;
  u64 quad = 0;
  Number width, height, lt, al, ofsy;
};

namespace {

// Whether `name` stands at `text + at` (letters a-z taken as upper case),
// followed by the end, "=", ">" or a space.
template <class Ch>
bool NameAt(const Ch* text, u32 length, u32 at, const char* name) {
  u32 k = 0;
  for (; name[k] != 0; ++k) {
    if (at + k >= length) return false;
    u32 c = U(text[at + k]);
    if (c >= 'a' && c <= 'z') c -= 32;
    if (c != static_cast<u32>(name[k])) return false;
  }
  if (at + k >= length) return true;
  const u32 next = U(text[at + k]);
  return next == '=' || next == '>' || next == ' ';
}

template <class Ch, size_t N>
Name MatchName(const Ch* text, u32 length, u32 at, const Name (&names)[N]) {
  for (Name n : names)
    if (NameAt(text, length, at, kNames[n])) return n;
  return kNone;
}

constexpr Name kOpeningTags[] = {kFont, kColor, kGrad, kImage, kLink};
constexpr Name kClosingTags[] = {kFont, kColor, kGrad, kLink};
constexpr Name kFontAttributes[] = {kAddr, kColor};
constexpr Name kGradAttributes[] = {kColor1, kColor2};
constexpr Name kLinkAttributes[] = {kId, kData};
constexpr Name kImageAttributes[] = {kAddr, kColor, kQuad, kWidth, kHeight, kLt, kAl, kOfsy};

template <class Ch>
void SkipSpaces(const Ch* text, u32 length, u32* pos) {
  while (*pos < length && text[*pos] == Ch(' ')) ++*pos;
}

// Bare hexadecimal digits, at most `digits` of them; no digit gives 0.
template <class Ch>
u64 ReadHex(const Ch* text, u32 length, u32* pos, u32 digits) {
  u64 v = 0;
  for (u32 n = 0; n < digits && *pos < length; ++n, ++*pos) {
    const int d = plat::HexDigitValue(U(text[*pos]));
    if (d < 0) break;
    v = (v << 4) | static_cast<u32>(d);
  }
  return v;
}

// An optional "-" and decimal digits clamped to lo..hi, "%" directly after
// making a percentage; no digit leaves the number unset.
template <class Ch>
Number ReadNumber(const Ch* text, u32 length, u32* pos, i32 lo, i32 hi) {
  Number n;
  bool negative = false;
  if (*pos < length && text[*pos] == Ch('-')) {
    negative = true;
    ++*pos;
  }
  i64 v = 0;
  bool digit = false;
  while (*pos < length && U(text[*pos]) >= '0' && U(text[*pos]) <= '9') {
    v = std::min<i64>(v * 10 + (U(text[*pos]) - '0'), i64{1} << 40);
    digit = true;
    ++*pos;
  }
  if (!digit) return n;
  if (negative) v = -v;
  n.set = true;
  n.value = static_cast<i32>(std::clamp<i64>(v, lo, hi));
  if (*pos < length && text[*pos] == Ch('%')) {
    n.percent = true;
    ++*pos;
  }
  return n;
}

}  // namespace


// Reads the attributes of an opening tag from *pos up to and including ">"
// (or the end). False when it names a font, texture or quad that is not in
// the registry: the tag is then plain text.
template <class Ch>
bool DXLTextT<Ch>::ReadAttributes(u32 tag, u32* pos, Attributes* a) const {
  const Ch* t = parsed_;
  const u32 n = parsedLength_;
  const bool direct = tag == kFont || tag == kImage;  // "=" right after the name gives the address
  u32 q = *pos;
  SkipSpaces(t, n, &q);
  while (q < n && t[q] != Ch('>')) {
    if (direct && t[q] == Ch('=')) {
      ++q;
      SkipSpaces(t, n, &q);
      a->addr = ReadHex(t, n, &q, 8);
      a->hasAddr = true;
      ++a->count;
      continue;
    }
    Name name = kNone;
    if (tag == kGrad) {
      name = MatchName(t, n, q, kGradAttributes);
    } else if (tag == kLink) {
      name = MatchName(t, n, q, kLinkAttributes);
    } else if (tag == kImage) {
      name = MatchName(t, n, q, kImageAttributes);
    } else {
      name = MatchName(t, n, q, kFontAttributes);
    }
    if (name == kNone) {
      ++q;
      continue;
    }
    q += static_cast<u32>(std::strlen(kNames[name]));
    SkipSpaces(t, n, &q);
    if (q >= n || t[q] != Ch('=')) continue;
    ++q;
    SkipSpaces(t, n, &q);
    Number* number = nullptr;
    switch (name) {
      case kAddr:
        a->addr = ReadHex(t, n, &q, 8);
        a->hasAddr = true;
        break;
      case kColor:
        a->color = ReadHex(t, n, &q, 8);
        a->hasColor = true;
        break;
      case kColor1:
        a->color1 = ReadHex(t, n, &q, 8);
        a->hasColor1 = true;
        break;
      case kColor2:
        a->color2 = ReadHex(t, n, &q, 8);
        a->hasColor2 = true;
        break;
      case kId:
        a->id = ReadHex(t, n, &q, 8);
        break;
      case kData:
        a->data = ReadHex(t, n, &q, 16);
        break;
      case kQuad:
        a->quad = ReadHex(t, n, &q, 16);
        break;
      case kWidth:
        number = &a->width;
        *number = ReadNumber(t, n, &q, 0, kMaxTextureSide);
        break;
      case kHeight:
        number = &a->height;
        *number = ReadNumber(t, n, &q, 0, kMaxTextureSide);
        break;
      case kLt:
        number = &a->lt;
        *number = ReadNumber(t, n, &q, -kMaxTextureSide, kMaxTextureSide);
        break;
      case kAl:
        number = &a->al;
        *number = ReadNumber(t, n, &q, -kMaxTextureSide, kMaxTextureSide);
        break;
      case kOfsy:
        number = &a->ofsy;
        *number = ReadNumber(t, n, &q, -kMaxTextureSide, kMaxTextureSide);
        break;
      default:
        break;
    }
    if (!number || number->set) ++a->count;
  }
  if (q < n) ++q;  // the ">"
  *pos = q;
  if (a->count == 0) return true;
  DXLTextHandles& handles = GetEngineTextServices().handles;
  if (tag == kFont && a->addr != 0 && !handles.FindFont<Ch>(static_cast<u32>(a->addr))) return false;
  if (tag == kImage && a->addr != 0 && !handles.FindTexture(static_cast<u32>(a->addr))) return false;
  if (tag == kImage && a->quad != 0 && (a->quad > 0xFFFFFFFFu || !handles.FindQuad(static_cast<u32>(a->quad))))
    return false;
  return true;
}

// The tag at `at` ("<"); returns where the text goes on. A "<" that starts no
// known tag is an ordinary character.
template <class Ch>
u32 DXLTextT<Ch>::ReadTag(u32 at) {
  const Ch* t = parsed_;
  const u32 n = parsedLength_;
  u32 q = at + 1;
  if (q < n && t[q] == Ch('/')) {
    ++q;
    SkipSpaces(t, n, &q);
    const Name name = MatchName(t, n, q, kClosingTags);
    while (q < n && t[q] != Ch('>')) ++q;
    if (q < n) ++q;
    FinishRun();
    if (name != kNone) Pop(name == kGrad ? kTextStateGradient : name == kLink ? kTextStateLink : kTextStateFont);
    return q;
  }
  const Name name = MatchName(t, n, q, kOpeningTags);
  if (name == kNone) {
    AddChar(at);
    return at + 1;
  }
  q += static_cast<u32>(std::strlen(kNames[name]));

  if (name == kColor) {
    FinishRun();
    SkipSpaces(t, n, &q);
    if (q >= n || t[q] != Ch('=')) return q;
    ++q;
    SkipSpaces(t, n, &q);
    const u64 v = ReadHex(t, n, &q, 8);
    u32 r = q;
    SkipSpaces(t, n, &r);
    if (r < n && t[r] == Ch('>')) q = r + 1;
    if (v == 0) return q;
    const State* f = Current(kTextStateFont);
    State s;
    s.kind = kTextStateFont;
    s.font = f ? f->font : nullptr;
    s.color = OpaqueUnlessAlpha(v);
    Push(s);
    return q;
  }

  Attributes a;
  if (!ReadAttributes(static_cast<u32>(name), &q, &a)) {
    AddChar(at);
    return at + 1;
  }
  FinishRun();
  if (a.count == 0) return q;
  DXLTextHandles& handles = GetEngineTextServices().handles;
  State s;
  switch (name) {
    case kFont: {
      const State* f = Current(kTextStateFont);
      Font* font = a.addr != 0 ? handles.FindFont<Ch>(static_cast<u32>(a.addr)) : (f ? f->font : nullptr);
      if (a.addr != 0 && font != font_) Watch(font);
      s.kind = kTextStateFont;
      s.font = font;
      if (a.hasColor) {
        s.color = OpaqueUnlessAlpha(a.color);
      } else if (f) {
        s.color = f->color;
      } else {
        s.color = font ? font->GetColor() : 0xFFFFFFFFu;
      }
      Push(s);
      break;
    }
    case kGrad:
      s.kind = kTextStateGradient;
      s.color = a.hasColor1 ? GradientColor(a.color1) : 0xFFFFFFFFu;
      s.color2 = a.hasColor2 ? GradientColor(a.color2) : 0xFFFFFFFFu;
      s.first = static_cast<i64>(items_.size());
      Push(s);
      break;
    case kLink:
      s.kind = kTextStateLink;
      s.id = static_cast<u32>(a.id);
      s.data = static_cast<u32>(a.data);
      s.first = static_cast<i64>(items_.size());
      Push(s);
      break;
    case kImage:
      if (a.addr != 0)
        AddImage(handles.FindTexture(static_cast<u32>(a.addr)),
                 a.quad != 0 ? handles.FindQuad(static_cast<u32>(a.quad)) : nullptr, a);
      break;
    default:
      break;
  }
  return q;
}

// An image in a box: the box is WIDTH x HEIGHT (the image's own size by
// default) with its baseline LT from the top; the image stands AL right of
// the box's left edge and OFSY below its top.
template <class Ch>
void DXLTextT<Ch>::AddImage(DXLTexture* texture, const DXLQUAD* quad, const Attributes& a) {
  if (!texture) return;
  std::unique_ptr<DXLQUAD> source;
  i32 imageW = 0;
  i32 imageH = 0;
  if (quad) {
    source = std::make_unique<DXLQUAD>(*quad);
    imageW = kis::TruncToInt(quad->v[1].x - quad->v[0].x);
    imageH = kis::TruncToInt(quad->v[3].y - quad->v[0].y);
  } else {
    source.reset(texture->MakeQuad(nullptr, 0.0f, 0.0f, 0xFFFFFFFFu, false, false));
    imageW = texture->GetImageWidth();
    imageH = texture->GetImageHeight();
  }
  if (imageW <= 0 || imageH <= 0) return;
  const i32 boxW = std::clamp(Resolve(a.width, imageW, imageW), 0, kMaxTextureSide);
  if (boxW == 0) return;
  const i32 boxH = std::clamp(Resolve(a.height, imageH, imageH), 0, kMaxTextureSide);
  const i32 baseline = Resolve(a.lt, boxH, boxH);
  const i32 al = Resolve(a.al, boxW - imageW, 0);
  const i32 ofsy = Resolve(a.ofsy, imageH, 0);
  Item item;
  item.kind = kTextItemImage;
  item.width = boxW;
  item.height = boxH;
  item.baseline = baseline;
  item.image = texture;
  item.color = a.hasColor ? OpaqueUnlessAlpha(a.color) : 0;
  // At (AL, OFSY) on the same half-pixel grid as the glyph quads, so that the
  // image is drawn texel for pixel and its link rectangle is its own box.
  texture->MakeQuad(&item.placement, static_cast<float>(al), static_cast<float>(ofsy), item.color, false, false);
  item.source = std::move(source);
  Watch(texture);
  items_.push_back(std::move(item));
}

// The members defined here, for the two character types DXLText.cpp
// instantiates the class for.
template bool DXLTextT<wchar>::ReadAttributes(u32, u32*, Attributes*) const;
template bool DXLTextT<char>::ReadAttributes(u32, u32*, Attributes*) const;
template u32 DXLTextT<wchar>::ReadTag(u32);
template u32 DXLTextT<char>::ReadTag(u32);
template void DXLTextT<wchar>::AddImage(DXLTexture*, const DXLQUAD*, const Attributes&);
template void DXLTextT<char>::AddImage(DXLTexture*, const DXLQUAD*, const Attributes&);
