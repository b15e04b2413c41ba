// Mark-up text from arbitrary bytes: the first byte picks the settings (word
// wrap, alignment, texture use, mark-up off, negative spacing), the second the
// maximum width, the rest is the text, one character per byte, in both the
// wide and the 8-bit text. Handles 1 to 3 name a registered font, texture and
// quad; user tags starting with "c" or "n" are replaced. Nothing may crash or
// hang, and the layout must agree with the items.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzViewer.h"
#include "engine/DXLTexture.h"
#include "engine/DXLWindowViewer.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/text/DXLText.h"
#include "engine/text/DXLTextHandles.h"
#include "engine/text/EngineTextServices.h"
#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"

namespace {

template <class Ch>
class Font : public DXLFontT<Ch> {
 public:
  void SetTexture(DXLTexture* texture) override {
    this->texture_ = texture;
    this->Changed(this);
  }
  void ReadDescription(kis::CustomIniFileT<Ch>*, bool, bool) override {}
  void Make(DXLTexture* texture) {
    Ch chars[96];
    for (int i = 0; i < 94; ++i) chars[i] = static_cast<Ch>(0x21 + i);
    chars[94] = 0;
    this->BeginUpdate();
    this->AddGlyphs(chars, 0, true);
    this->SetAllWidths(4);
    this->SetHeight(8);
    this->SetDescent(2);
    this->SetSpace(3);
    this->SetTexture(texture);
    this->EndUpdate();
  }
};

template <class Ch>
u8 UserTag(DXLTextT<Ch>*, const Ch* tag, u32 count, Ch* out, u32 room) {
  if (count == 0 || room < 40) return 0;
  const char* rep = nullptr;
  if (tag[0] == Ch('c')) rep = "<COLOR=ff0000>x";
  if (tag[0] == Ch('n')) rep = "[n]<GRAD COLOR1=1>ab</GRAD>";
  if (!rep) return 0;
  u32 i = 0;
  for (; rep[i]; ++i) out[i] = static_cast<Ch>(rep[i]);
  out[i] = 0;
  return 1;
}

struct World {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  std::unique_ptr<DXLTexture> picture;
  Font<char16_t> wide;
  Font<char> narrow;
  World() {
    fuzzviewer::Open(viewer);
    picture = std::make_unique<DXLTexture>(&viewer);
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(64, 32);
    std::memset(bitmap.GetPixels(), 0x9C, 64 * 32 * 4);
    picture->LoadFromBitmap(&bitmap);
    wide.Make(picture.get());
    narrow.Make(picture.get());
    ResetEngineTextServices();
    GetEngineTextServices().handles.AddFont(&wide);          // 1
    GetEngineTextServices().handles.AddTexture(picture.get());  // 2
    GetEngineTextServices().handles.AddQuad(picture->QuadAtI(3, 4));  // 3
    GetEngineTextServices().handles.AddFont(&narrow);        // 4
  }
};

World& TheWorld() {
  static World world;
  return world;
}

template <class Ch>
void Check(const DXLTextT<Ch>& t) {
  const u32 items = t.GetItemCount();
  for (u32 i = 0; i < t.GetLineCount(); ++i)
    if (t.GetLine(i).first > t.GetLine(i).end || t.GetLine(i).end > items) __builtin_trap();
  for (u32 i = 0; i < t.GetLinkCount(); ++i)
    if (t.GetLink(i).first > t.GetLink(i).last || t.GetLink(i).last >= items) __builtin_trap();
  if (t.GetHeight() < 0 || t.GetNaturalWidth() < 0) __builtin_trap();
  if (t.NeedsParse() || t.NeedsLayout()) __builtin_trap();
}

template <class Ch>
void Run(Font<Ch>& font, const uint8_t* data, size_t size, uint8_t flags, uint8_t width) {
  std::basic_string<Ch> text;
  for (size_t i = 0; i < size; ++i) text.push_back(static_cast<Ch>(data[i] == 0 ? ' ' : data[i]));
  font.SetHSpacing(flags & 0x40 ? -2 : 0);
  DXLTextT<Ch> t;
  t.GetUserTags().Add(&UserTag<Ch>);
  t.BeginUpdate();
  t.SetFont(&font);
  t.SetWordWrap(flags & 1);
  t.SetMaxWidth(width);
  t.SetAlignment((flags >> 1) & 3);
  t.SetUseTexture(flags & 8);
  t.SetMarkupDisabled(flags & 0x10);
  t.SetLineSpacing(flags & 0x20 ? -3 : 2);
  if (flags & 0x80) t.SetTextCapacity(static_cast<u16>(size / 2));
  t.SetText(text.c_str());
  t.EndUpdate();
  Check(t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  World& world = TheWorld();
  Run(world.wide, data + 2, size - 2, data[0], data[1]);
  Run(world.narrow, data + 2, size - 2, data[0], data[1]);
  return 0;
}
