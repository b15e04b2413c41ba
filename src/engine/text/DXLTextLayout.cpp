// Layout of DXLTextW / DXLTextA: lines, alignment and justification of the
// parsed items, colour gradients, link rectangles and the rendering of the
// text runs into the text's texture.
#include <algorithm>
#include <cmath>
#include <climits>

#include "base/Maths.h"
#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/PixelFormat.h"
#include "engine/text/DXLText.h"

namespace {

i32 RoundHalfUp(double v) { return kis::TruncToInt(std::floor(v + 0.5)); }

// Link rectangles and texture positions: the quads lie half a pixel up and
// left of the pixel grid.
i32 PixelEdge(float v) { return RoundHalfUp(static_cast<double>(v) + 0.5); }

void ShiftQuad(DXLQUAD* q, float dx, float dy) {
  if (!q) return;
  for (DXLVERTEX& v : q->v) {
    v.x += dx;
    v.y += dy;
  }
}

// Advance of one character of a run: the glyph's advance and the run's
// spacing, never below 0; nothing for a character without a glyph.
template <class Ch>
i32 GlyphStep(const DXLFontT<Ch>* font, Ch c, i32 hSpacing) {
  if (!font || !font->GetGlyph(c)) return 0;
  return std::max<i32>(0, font->GetAdvance(c) + hSpacing);
}

struct Rect {
  i32 left = 0, top = 0, right = 0, bottom = 0;
  bool HasHeight() const { return bottom != top; }
};

}  // namespace

// --- Item placement --------------------------------------------------------------------

template <class Ch>
void DXLTextT<Ch>::PlaceItem(Item& item, i32 x, i32 y) {
  if (item.kind == kTextItemRun) {
    i64 pen = x;
    for (u32 k = 0; k < item.charCount; ++k) {
      const i32 target = static_cast<i32>(std::clamp<i64>(pen, INT_MIN, INT_MAX));
      ShiftQuad(item.quads[k].get(), static_cast<float>(target - item.glyphX[k]), static_cast<float>(y - item.y));
      item.glyphX[k] = target;
      pen += GlyphStep(item.font, parsed_[item.firstChar + k], item.hSpacing);
    }
  } else if (item.kind == kTextItemImage) {
    ShiftQuad(&item.placement, static_cast<float>(x - item.x), static_cast<float>(y - item.y));
  }
  item.x = x;
  item.y = y;
}

template <class Ch>
void DXLTextT<Ch>::ShiftItem(Item& item, i32 dx, i32 dy) {
  if (dx == 0 && dy == 0) return;
  if (item.kind == kTextItemRun) {
    for (u32 k = 0; k < item.charCount; ++k) {
      ShiftQuad(item.quads[k].get(), static_cast<float>(dx), static_cast<float>(dy));
      item.glyphX[k] += dx;
    }
  } else if (item.kind == kTextItemImage) {
    ShiftQuad(&item.placement, static_cast<float>(dx), static_cast<float>(dy));
  }
  item.x += dx;
  item.y += dy;
}

template <class Ch>
void DXLTextT<Ch>::MoveGlyph(Item& item, u32 glyph, i32 dx) {
  ShiftQuad(item.quads[glyph].get(), static_cast<float>(dx), 0.0f);
  item.glyphX[glyph] += dx;
}

// --- Measures of a range (each stops at a line break, which ends it) -----------------------

template <class Ch>
i32 DXLTextT<Ch>::RangeWidth(u32 a, u32 b) const {
  i64 w = 0;
  i32 spacing = 0;
  bool haveRun = false;
  for (u32 i = a; i <= b && i < items_.size(); ++i) {
    const Item& it = items_[i];
    if (it.kind == kTextItemBreak) break;
    w += it.width;
    if (!haveRun && it.kind == kTextItemRun && it.font) {
      spacing = it.hSpacing;
      haveRun = true;
    }
  }
  return static_cast<i32>(std::clamp<i64>(w - spacing, INT_MIN, INT_MAX));
}

template <class Ch>
void DXLTextT<Ch>::LineMetrics(u32 a, u32 b, i32* greatest, i32* baseline) const {
  *greatest = 0;
  *baseline = 0;
  if (a >= items_.size()) return;
  if (items_[a].kind == kTextItemBreak) {
    *greatest = items_[a].height;
    *baseline = items_[a].baseline;
    return;
  }
  i32 top = INT_MIN;
  for (u32 i = a; i <= b && i < items_.size(); ++i) {
    const Item& it = items_[i];
    if (it.kind == kTextItemBreak) break;
    if (it.height >= *greatest) {
      *greatest = it.height;
      top = std::max(top, it.baseline);
    }
  }
  *baseline = top == INT_MIN ? 0 : top;
}

template <class Ch>
i32 DXLTextT<Ch>::LineHeight(u32 a, u32 b) const {
  if (a >= items_.size()) return 0;
  if (items_[a].kind == kTextItemBreak) return items_[a].height + items_[a].extraSpacing;
  i32 greatest = 0;
  i32 base = 0;
  LineMetrics(a, b, &greatest, &base);
  i32 h = 0;
  for (u32 i = a; i <= b && i < items_.size(); ++i) {
    const Item& it = items_[i];
    if (it.kind == kTextItemBreak) break;
    h = std::max(h, base - it.baseline + it.height + it.extraSpacing);
  }
  return h;
}

// Lines are aligned inside the maximum width when wrapping at one, else
// inside the natural width.
template <class Ch>
i32 DXLTextT<Ch>::AlignOffset(i32 width) const {
  const i64 limit = (wordWrap_ && maxWidth_ != 0) ? static_cast<i64>(maxWidth_) : naturalWidth_;
  switch (alignment_) {
    case kTextAlignCentre:
      return static_cast<i32>((limit - width) / 2);
    case kTextAlignRight:
      return static_cast<i32>(limit - width);
    default:
      return 0;
  }
}

template <class Ch>
void DXLTextT<Ch>::PlaceLine(u32 s, u32 e, i32 y) {
  i32 greatest = 0;
  i32 base = 0;
  LineMetrics(s, e, &greatest, &base);
  i32 x = AlignOffset(RangeWidth(s, e));
  for (u32 i = s; i <= e; ++i) {
    Item& it = items_[i];
    if (it.kind == kTextItemBreak) continue;
    PlaceItem(it, x, y + base - it.baseline);
    x += it.width;
  }
}

// --- Layout ------------------------------------------------------------------------------------

template <class Ch>
void DXLTextT<Ch>::Layout() {
  naturalWidth_ = laidOutWidth_ = totalHeight_ = 0;
  paragraphs_.clear();
  lines_.clear();
  flags_ &= static_cast<u8>(~kFlagLayout);
  const u32 n = static_cast<u32>(items_.size());
  if (n == 0) {
    BuildLinkRegions();
    return;
  }
  for (u32 a = 0; a < n;) {
    u32 b = a;
    while (b + 1 < n && items_[b].kind != kTextItemBreak) ++b;
    DXLTEXTPARAGRAPH p;
    p.width = RangeWidth(a, b);
    p.height = LineHeight(a, b);
    p.first = a;
    p.last = b;
    paragraphs_.push_back(p);
    naturalWidth_ = std::max(naturalWidth_, p.width);
    a = b + 1;
  }

  const u32 last = n - 1;
  const i64 maxW = maxWidth_;
  const bool wrap = wordWrap_ && maxWidth_ != 0;
  const bool justify = alignment_ == kTextAlignJustify && wrap;
  const i32 baseSpacing = font_ ? font_->GetVSpacing() : 0;
  i64 total = 0;
  i64 y = 0;
  if (justify) laidOutWidth_ = static_cast<i32>(std::min<i64>(maxW, INT_MAX));
  for (size_t pi = 0; pi < paragraphs_.size(); ++pi) {
    const DXLTEXTPARAGRAPH& p = paragraphs_[pi];
    const u32 a = p.first;
    const u32 b = p.last;
    if (!wrap || p.width <= maxW) {
      laidOutWidth_ = std::max(laidOutWidth_, p.width);
      u32 e = b;
      if (items_[b].kind == kTextItemSpace && b > a && items_[b - 1].kind != kTextItemSpace) e = b - 1;
      PlaceLine(a, e, static_cast<i32>(y));
      if (justify) Justify(a, e);
      y += lineSpacing_ + p.height;
      const i32 h = pi + 1 == paragraphs_.size() ? p.height - baseSpacing : p.height + lineSpacing_;
      total += h;
      lines_.push_back(DXLTEXTLINE{a, e + 1, h});
      continue;
    }
    // Greedy breaking: as many items as fit, at least one.
    for (u32 s = a; s <= b;) {
      u32 e = s + 1;
      i64 w = items_[s].width;
      while (e <= b && w + items_[e].width <= maxW) w += items_[e++].width;
      laidOutWidth_ = std::max<i32>(laidOutWidth_, static_cast<i32>(std::min<i64>(w, INT_MAX)));
      u32 le = e - 1;
      if (items_[le].kind == kTextItemSpace && le != s && items_[le - 1].kind != kTextItemSpace) --le;
      PlaceLine(s, le, static_cast<i32>(y));
      if (justify) Justify(s, le);
      const i32 lh = LineHeight(s, le);
      y += lineSpacing_ + lh;
      u32 next = le + 1;
      if (next <= b && items_[next].kind == kTextItemSpace) {
        ++next;
        if (next <= b && items_[next].kind == kTextItemBreak) ++next;
      }
      const i32 h = next > last ? lh - baseSpacing : lh + lineSpacing_;
      total += h;
      lines_.push_back(DXLTEXTLINE{s, le + 1, h});
      s = next;
    }
  }
  totalHeight_ = static_cast<i32>(std::clamp<i64>(total, 0, INT_MAX));
  BuildLinkRegions();
}

// Whether nothing but spaces follows item e up to the next line break or the
// end of the text: the line is then the last of its paragraph.
template <class Ch>
bool DXLTextT<Ch>::IsLastContent(u32 e) const {
  for (u32 i = e + 1; i < items_.size(); ++i) {
    if (items_[i].kind == kTextItemBreak) return true;
    if (items_[i].kind != kTextItemSpace) return false;
  }
  return true;
}

template <class Ch>
void DXLTextT<Ch>::Justify(u32 s, u32 e) {
  if (items_[e].kind == kTextItemBreak || IsLastContent(e)) return;
  const double m = static_cast<double>(maxWidth_);
  u32 solid = 0;
  bool image = false;
  for (u32 i = s; i <= e; ++i) {
    if (items_[i].kind == kTextItemRun || items_[i].kind == kTextItemImage) ++solid;
    if (items_[i].kind == kTextItemImage) image = true;
  }
  if (solid == 0) return;

  if (s == e) {
    // One run alone: its glyphs spread over the whole width.
    Item& it = items_[s];
    const bool breakFollows = e + 1 < items_.size() && items_[e + 1].kind == kTextItemBreak;
    if (it.kind != kTextItemRun || it.charCount < 2 || breakFollows) return;
    const double extra = m - (it.width - it.hSpacing);
    for (u32 k = 1; k < it.charCount; ++k) MoveGlyph(it, k, RoundHalfUp(k * extra / (it.charCount - 1)));
    return;
  }

  if (items_[e].kind == kTextItemSpace && e > s && items_[e - 1].kind != kTextItemSpace) --e;
  double w = RangeWidth(s, e);
  if (items_[e].kind != kTextItemSpace) w -= items_[e].hSpacing;
  if (w > m) return;
  const double free = m - w;

  if (solid == 1) {
    // One run among spaces: the spaces before it take their share of the
    // free room, its glyphs spread over the rest.
    double spaces = 0;
    for (u32 i = s; i <= e; ++i)
      if (items_[i].kind == kTextItemSpace) spaces += items_[i].width;
    if (spaces == 0 || spaces == w || image || w == 0) return;
    double shift = 0;
    for (u32 i = s; i <= e; ++i) {
      Item& it = items_[i];
      if (it.kind == kTextItemSpace) {
        shift += (it.width / spaces) * free * (spaces / w);
      } else if (it.kind == kTextItemRun) {
        const double spread = (1.0 - spaces / w) * free / std::max<u32>(it.charCount - 1, 1);
        for (u32 k = 0; k < it.charCount; ++k) MoveGlyph(it, k, RoundHalfUp(k * spread + shift));
        break;
      }
    }
    return;
  }

  // Several runs or images: the free room is shared among the gaps.
  auto isGap = [&](u32 i) {
    const Item& it = items_[i];
    const Item& before = items_[i - 1];
    return it.kind == kTextItemSpace || (it.kind != before.kind && before.kind != kTextItemSpace);
  };
  u32 gaps = 0;
  for (u32 i = s + 1; i <= e; ++i)
    if (isGap(i)) ++gaps;
  if (gaps == 0) return;
  u32 j = 1;
  i32 shift = 0;
  for (u32 i = s; i <= e; ++i) {
    if (i > s && isGap(i)) shift = RoundHalfUp(j++ * free / gaps);
    ShiftItem(items_[i], shift, 0);
  }
}

// --- Gradients -----------------------------------------------------------------------------

// Colours the items of a closed GRAD span from the first colour at its left
// edge to the second at its right, per glyph and per image.
template <class Ch>
void DXLTextT<Ch>::ApplyGradient(const State& g) {
  if (g.first < 0 || g.last < g.first) return;
  const u32 f = static_cast<u32>(g.first);
  const u32 l = std::min<u32>(static_cast<u32>(g.last), static_cast<u32>(items_.size()) - 1);
  i64 total = 0;
  for (u32 i = f; i <= l; ++i) total += items_[i].width;
  if (total <= 0) return;
  const double t = static_cast<double>(total);
  auto paint = [&](DXLQUAD* q, double t0, double t1) {
    const u32 left = kis::LerpColor(g.color, g.color2, static_cast<float>(t0));
    const u32 right = kis::LerpColor(g.color, g.color2, static_cast<float>(t1));
    q->v[0].color = q->v[3].color = left;
    q->v[1].color = q->v[2].color = right;
  };
  double p = 0;
  for (u32 i = f; i <= l; ++i) {
    Item& it = items_[i];
    if (it.kind == kTextItemRun) {
      for (u32 k = 0; k < it.charCount; ++k) {
        if (DXLQUAD* q = it.quads[k].get()) {
          const double left = q->v[0].x - static_cast<double>(it.glyphX[k]);
          const double width = q->v[1].x - q->v[0].x;
          paint(q, std::max(p + left, 0.0) / t, std::min(p + width, t) / t);
        }
        p += GlyphStep(it.font, parsed_[it.firstChar + k], it.hSpacing);
      }
    } else if (it.kind == kTextItemSpace) {
      p += it.width;
    } else if (it.kind == kTextItemImage) {
      paint(&it.placement, p / t, std::min(p + it.width, t) / t);
      p += it.width;
    }
  }
}

// --- Link regions ----------------------------------------------------------------------------

// One rectangle per line of a span and one per image: glyphs on the same
// line (sharing a top or a bottom) widen the rectangle, a glyph on another
// line starts a new one.
template <class Ch>
void DXLTextT<Ch>::BuildLinkRegions() {
  for (DXLTEXTLINK& link : links_) {
    link.rects.clear();
    Rect cur;
    auto record = [&] {
      if (cur.HasHeight()) link.rects.push_back(DXLRECT{cur.left, cur.top, cur.right, cur.bottom});
      cur = Rect{};
    };
    auto add = [&](const DXLQUAD& q) {
      const i32 top = PixelEdge(q.v[0].y);
      const i32 bottom = PixelEdge(q.v[3].y);
      if (cur.HasHeight() && top != cur.top && bottom != cur.bottom) record();
      if (!cur.HasHeight()) {
        cur.top = top;
        cur.bottom = bottom;
        cur.left = PixelEdge(q.v[0].x);
      }
      cur.right = PixelEdge(q.v[1].x);
    };
    for (u32 i = link.first; i <= link.last && i < items_.size(); ++i) {
      const Item& it = items_[i];
      if (it.kind == kTextItemRun) {
        for (const auto& q : it.quads)
          if (q) add(*q);
      } else if (it.kind == kTextItemImage) {
        DXLQUAD q = it.placement;
        if (it.source) {
          q = *it.source;
          ShiftQuad(&q, it.placement.v[0].x - q.v[0].x, it.placement.v[0].y - q.v[0].y);
        }
        add(q);
        record();
      }
    }
    record();
  }
}

// --- Rendering -------------------------------------------------------------------------------

// Copies every glyph of every run out of its font's texture into one ARGB
// image, tinted by the glyph's vertex colours; where glyphs overlap the more
// opaque pixel stays. Images are left to the owner.
template <class Ch>
void DXLTextT<Ch>::LoadTexture(DXLTexture* texture) {
  if (!texture) return;
  texture->Unload();
  DXLViewer* viewer = texture->GetViewer();
  if (!viewer || !viewer_) return;
  i64 w = std::min<i64>(GetWidth(alignment_ == kTextAlignLeft), kMaxTextureSide);
  i64 h = std::min<i64>(totalHeight_, kMaxTextureSide);
  if (w <= 0 || h <= 0) return;
  if (!viewer->SupportsNonPowerOfTwo()) {
    w = DXLNextPowerOfTwo(static_cast<u32>(w));
    h = DXLNextPowerOfTwo(static_cast<u32>(h));
  }
  DXLBitmap bitmap;
  bitmap.SetFormat(D3DFMT_A8R8G8B8);
  bitmap.SetSize(static_cast<i32>(w), static_cast<i32>(h));
  if (bitmap.IsEmpty()) return;
  u8* out = bitmap.GetPixels();

  for (const Item& it : items_) {
    if (it.kind != kTextItemRun || !it.font || !it.font->GetTexture()) continue;
    DXLTexture* glyphs = it.font->GetTexture();
    const u8* bits = glyphs->Lock(0x800);
    if (!bits) continue;
    const i64 pitch = glyphs->GetLockPitch();
    const u32 format = glyphs->GetFormat();
    const u32 bpp = DXLGetFormatBytes(format);
    const i32 tw = glyphs->GetWidth();
    const i32 th = glyphs->GetHeight();
    for (u32 k = 0; k < it.charCount && bpp > 0; ++k) {
      const DXLQUAD* q = it.quads[k].get();
      const DXLFONTGLYPH* g = q ? it.font->GetGlyph(parsed_[it.firstChar + k]) : nullptr;
      if (!g) continue;
      const i32 gw = g->cell.right - g->cell.left;
      const i32 gh = g->cell.bottom - g->cell.top;
      const i32 x0 = PixelEdge(q->v[0].x);
      const i32 y0 = PixelEdge(q->v[0].y);
      const u32 c0 = q->v[0].color;
      const u32 c1 = q->v[1].color;
      for (i32 row = 0; row < gh; ++row) {
        const i64 y = static_cast<i64>(y0) + row;
        const i32 sy = g->cell.top + row;
        if (y < 0 || y >= h || sy < 0 || sy >= th) continue;
        for (i32 col = 0; col < gw; ++col) {
          const i64 x = static_cast<i64>(x0) + col;
          const i32 sx = g->cell.left + col;
          if (x < 0 || x >= w || sx < 0 || sx >= tw) continue;
          u32 argb = 0;
          if (!DXLPixelToARGB(bits + sy * pitch + static_cast<i64>(sx) * bpp, format, &argb)) continue;
          u32 alpha = argb >> 24;
          if (alpha > 0 && c0 != 0xFFFFFFFFu) {
            const u32 tint = c0 == c1 ? c0
                                      : kis::LerpColor(c0, c1, static_cast<float>(col) /
                                                                   static_cast<float>(std::max(gw - 1, 1)));
            const u32 tintAlpha = tint >> 24;
            if (tintAlpha < 0xFF) alpha = alpha * tintAlpha / 255;
            u32 rgb = argb & 0xFFFFFFu;
            if (rgb < 0xFFFFFFu) {
              u32 mixed = 0;
              for (int shift = 0; shift < 24; shift += 8)
                mixed |= (((rgb >> shift) & 0xFF) * ((tint >> shift) & 0xFF) / 255) << shift;
              rgb = mixed;
            } else {
              rgb = tint & 0xFFFFFFu;
            }
            argb = (alpha << 24) | rgb;
          }
          u8* dst = out + (y * w + x) * 4;
          const u32 old = static_cast<u32>(dst[0]) | static_cast<u32>(dst[1]) << 8 |
                          static_cast<u32>(dst[2]) << 16 | static_cast<u32>(dst[3]) << 24;
          if ((old >> 24) > (argb >> 24)) continue;
          dst[0] = static_cast<u8>(argb);
          dst[1] = static_cast<u8>(argb >> 8);
          dst[2] = static_cast<u8>(argb >> 16);
          dst[3] = static_cast<u8>(argb >> 24);
        }
      }
    }
    glyphs->Unlock();
  }
  texture->LoadFromBitmap(&bitmap);
  texture->MakeQuad(&quad_, 0.0f, 0.0f, 0xFFFFFFFFu, false, false);
}

#define TM_TEXT_LAYOUT_MEMBERS(Ch)                                                            \
  template void DXLTextT<Ch>::PlaceItem(Item&, i32, i32);                                   \
  template void DXLTextT<Ch>::ShiftItem(Item&, i32, i32);                                   \
  template void DXLTextT<Ch>::MoveGlyph(Item&, u32, i32);                                   \
  template i32 DXLTextT<Ch>::RangeWidth(u32, u32) const;                                    \
  template void DXLTextT<Ch>::LineMetrics(u32, u32, i32*, i32*) const;                      \
  template i32 DXLTextT<Ch>::LineHeight(u32, u32) const;                                    \
  template i32 DXLTextT<Ch>::AlignOffset(i32) const;                                        \
  template void DXLTextT<Ch>::PlaceLine(u32, u32, i32);                                     \
  template void DXLTextT<Ch>::Layout();                                                     \
  template bool DXLTextT<Ch>::IsLastContent(u32) const;                                     \
  template void DXLTextT<Ch>::Justify(u32, u32);                                            \
  template void DXLTextT<Ch>::ApplyGradient(const State&);                                  \
  template void DXLTextT<Ch>::BuildLinkRegions();                                           \
  template void DXLTextT<Ch>::LoadTexture(DXLTexture*);

TM_TEXT_LAYOUT_MEMBERS(wchar)
TM_TEXT_LAYOUT_MEMBERS(char)
