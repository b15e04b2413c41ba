// Shared pieces of the mark-up text and GDI-rendered font tests: a headless
// viewer, a font whose glyphs tests lay out by hand over a picture of known
// pixels, and the registry emptied around every test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/DXLTexture.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/text/DXLFont.h"
#include "engine/text/DXLText.h"
#include "engine/text/DXLTextHandles.h"
#include "engine/text/EngineTextServices.h"
#include "testsupport/ViewerRig.h"

namespace markuptest {

// Glyph picture: cells of 4 x 8 pixels, 16 to a row. Glyph index i is white
// with alpha Alpha(i) in every pixel.
constexpr i32 kCellW = 4;
constexpr i32 kCellH = 8;
inline u32 Alpha(u32 index) { return index % 2 == 0 ? 0xFFu : 0x40u; }

template <class Ch>
class HandFontT : public DXLFontT<Ch> {
 public:
  ~HandFontT() override {
    if (this->texture_) this->texture_->RemoveListener(this);
  }
  void SetTexture(DXLTexture* texture) override {
    if (texture == this->texture_) return;
    if (this->texture_) this->texture_->RemoveListener(this);
    this->texture_ = texture;
    if (texture) texture->AddListener(this);
    this->Changed(this);
  }
  void Notify(DXLNotifyObject* sender, u32 code) override {
    if (code == kNotifyDestroyed && sender == static_cast<DXLNotifyObject*>(this->texture_))
      this->texture_ = nullptr;
  }
  void ReadDescription(kis::CustomIniFileT<Ch>*, bool, bool) override {}

  // Glyphs for `chars` (indices in list order), kCellW wide and kCellH high,
  // descent 2, the given space advance.
  void Make(const Ch* chars, u16 space = 3) {
    this->BeginUpdate();
    this->AddGlyphs(chars, 0, true);
    this->SetAllWidths(kCellW);
    this->SetHeight(kCellH);
    this->SetDescent(2);
    this->SetSpace(space);
    this->EndUpdate();
  }
};
using HandFont = HandFontT<wchar>;

// The standard test world: a viewer, the glyph picture, one hand font.
class MarkupWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngineTextServices();
    ASSERT_EQ(rig_.Open(64, 48), 0);
    picture_ = std::make_unique<DXLTexture>(rig_.viewer.get());
    DXLBitmap bitmap;
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(64, 32);
    u32* px = reinterpret_cast<u32*>(bitmap.GetPixels());
    for (i32 y = 0; y < 32; ++y)
      for (i32 x = 0; x < 64; ++x) {
        const u32 index = static_cast<u32>((y / kCellH) * 16 + x / kCellW);
        px[y * 64 + x] = Alpha(index) << 24 | 0xFFFFFFu;
      }
    picture_->LoadFromBitmap(&bitmap);
    ASSERT_TRUE(picture_->IsReady());
    font_ = std::make_unique<HandFont>();
    font_->Make(u"abcdefghijklmnopqrstuvwxyz<>[]/=.");
    font_->SetTexture(picture_.get());
  }
  void TearDown() override {
    text_.reset();
    font_.reset();
    picture_.reset();
    ResetEngineTextServices();
  }

  // A text in the hand font (no update yet unless `text` is given).
  DXLTextW& Text(const char16_t* text = nullptr) {
    text_ = std::make_unique<DXLTextW>();
    text_->SetFont(font_.get());
    if (text) text_->SetText(text);
    return *text_;
  }
  u32 FontHandle() { return GetEngineTextServices().handles.AddFont(font_.get()); }

  // The pixels of a ready texture, row after row.
  static std::vector<u32> Pixels(DXLTexture* texture) {
    std::vector<u32> out;
    if (!texture || !texture->IsReady()) return out;
    const u8* bits = texture->Lock(0x10);
    if (!bits) return out;
    const i32 w = texture->GetWidth();
    const i32 h = texture->GetHeight();
    const i32 pitch = texture->GetLockPitch();
    out.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (i32 y = 0; y < h; ++y)
      for (i32 x = 0; x < w; ++x) {
        const u8* p = bits + y * pitch + x * 4;
        out[static_cast<size_t>(y) * w + x] = static_cast<u32>(p[0]) | static_cast<u32>(p[1]) << 8 |
                                              static_cast<u32>(p[2]) << 16 | static_cast<u32>(p[3]) << 24;
      }
    texture->Unlock();
    return out;
  }

  viewertest::ViewerRig rig_;
  std::unique_ptr<DXLTexture> picture_;
  std::unique_ptr<HandFont> font_;
  std::unique_ptr<DXLTextW> text_;
};

// The characters of a run item.
inline std::u16string RunText(const DXLTextW& text, const DXLTEXTITEM& item) {
  return std::u16string(text.GetParsedText() + item.firstChar, item.charCount);
}

}  // namespace markuptest
