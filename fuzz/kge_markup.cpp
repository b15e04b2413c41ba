// The text mark-up on arbitrary UTF-16 text: every "<" is parsed as a tag,
// then the whole text is laid out with mark-up (wrapping, justification,
// alignment, line spacing and the bracket names) over a small font whose
// handle is 1. Nothing may crash, hang or read outside the text.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gametext/KGEFont.h"
#include "gametext/KGEHandleRegistry.h"
#include "gametext/KGELayout.h"
#include "gametext/KGEMarkup.h"
#include "gametext/TextServices.h"

namespace {

// Printable ASCII with advances 1 to 12 and a few kerning pairs.
class FuzzFont : public KGEFont {
 public:
  FuzzFont() : KGEFont(1, 2, nullptr) {
    std::vector<wchar> chars;
    for (wchar c = 33; c < 127; ++c) chars.push_back(c);
    chars.push_back(0);
    InitCharset(0, static_cast<u32>(chars.size() - 1));
    SetGlyphChars(chars.data());
    AllocImages(glyphCount_, 10);
    for (u32 i = 0; i < glyphCount_; ++i) {
      glyphs_[i].advance = static_cast<i32>(1 + i % 12);
      glyphs_[i].image = i;
      glyphs_[i].xOffset = static_cast<i32>(i % 3) - 1;
    }
    SetMetrics(12, 9, 3, u'?');
    BuildIndex();
    const KGEKERNENTRY pairs[] = {{u'A', u'V', -3}, {u'T', u'o', -2}, {u'V', u'A', -40}};
    SetKerningPairs(pairs, 3, false);
    SetStyle(1, 2, 0xFF808080u);
  }
  i32 SaveToDataFile(kis::BaseDataFileWriter*) override { return 0; }
  i32 RestoreAfterDeviceLoss() override { return 0; }
};

bool Callback(const wchar*, u32 length, wchar* out, u32 room, u32* written, uintptr_t, uintptr_t) {
  if (length % 2) return false;
  const u32 n = length < room ? length : room;
  for (u32 i = 0; i < n; ++i) out[i] = u'<';
  *written = n;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 40000) return 0;
  static FuzzFont font;
  static const u32 handle = GetTextServices().handles.RegisterFont(&font);
  (void)handle;
  std::vector<wchar> text((size - 2) / 2);
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<wchar>(data[2 + 2 * i] | (data[3 + 2 * i] << 8));
  const u32 n = static_cast<u32>(text.size());

  KGETAG tag;
  for (u32 i = 0; i < n; ++i) {
    if (text[i] == u'<') KGEParseTag(text.data() + i, n - i, &tag);
  }
  KGEParseTag(reinterpret_cast<const u8*>(data), static_cast<u32>(size), &tag);

  KGETEXTPARAMS p = KGEDefaultTextParams();
  p.flags = kKGEMarkup | (static_cast<u32>(data[0]) << 8 & 0x7F00) | (data[1] & 0x37);
  p.wrapWidth = data[1];
  p.alpha = 0x80000000u;
  p.right = 200;
  p.bottom = 100;
  p.lineSpacing = static_cast<i8>(data[0]);
  KGELayout& layout = GetTextServices().layout;
  const wchar* expanded = nullptr;
  u32 length = 0;
  layout.ExpandNames(text.data(), n, 1 + data[0] * 8u, &Callback, 0, 0, &expanded, &length);
  layout.Layout<wchar>(&font, &p, expanded, length);
  layout.Layout<u8>(&font, &p, data, static_cast<u32>(size));
  return 0;
}
