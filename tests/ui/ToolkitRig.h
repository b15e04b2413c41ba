// The window toolkit's world with texts: UiRig, a language of its own (the
// "buttons" and "dialogs" sections and four bitmap fonts of white cells:
// game font n has cells 5 + n pixels wide and 8 + n high), the interface
// pictures of sprite set 1 the hints and narrow buttons cut ("balloon",
// "hint_line", "level"), all tinted by their vertex colours as the built
// data's images are, and a fake of the game windows' item-description
// mark-up that records what it was asked.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UiRig.h"
#include "engine/DXLTextures.h"
#include "engine/image/SaveBitmapTGA.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "testsupport/TempFolder.h"
#include "ui/UiServices.h"

namespace uitest {

// A rectangle as a comparable list: left, top, right, bottom.
inline std::vector<i32> R(const DXLRECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Replaces a name in brackets by "<name>!" and notes the name with the two
// context words.
struct ItemDescriptionFake {
  static inline std::vector<std::string> asked;
  static bool Expand(const wchar* name, u32 length, wchar* out, u32 room, u32* written, uintptr_t c1, uintptr_t c2) {
    asked.push_back(plat::Utf16ToUtf8(std::u16string(name, length)) + " " + std::to_string(c1) + " " +
                    std::to_string(c2));
    if (length + 1 > room) return false;
    for (u32 i = 0; i < length; ++i) out[i] = name[i];
    out[length] = u'!';
    *written = length + 1;
    return true;
  }
};

// A language whose fonts a test may replace (the language deletes them).
class UiLanguage : public GameLanguage {
 public:
  explicit UiLanguage(const wchar* path) : GameLanguage(path) {}
  void PutFont(u32 slot, KGEFont* font) {
    delete fonts_[slot];
    fonts_[slot] = font;
  }
};

class ToolkitRig {
 public:
  explicit ToolkitRig(u32 width = 800, u32 height = 600) : ui(width, height) {
    // The game's images tint their pictures by the vertex colours (the data
    // builder's images modulate), so fades and alphas show.
    ui.interfaceImage->SetTextureOp(plat::gfx::D3DTOP_MODULATE);
    WriteLanguage();
    language = std::make_unique<UiLanguage>(folder.Wide("test.txt").c_str());
    SetGameLanguage(language.get());
    balloon = AddPicture(u"balloon", 31, 32, [](i32 x, i32 y) {
      const bool edge = x < 2 || y < 2 || x > 26 || y > 26;
      return x > 28 || y > 28 ? 0x40000000u : edge ? 0xFF404040u : 0xFFFFF4D0u;
    });
    hintLine = AddPicture(u"hint_line", 64, 4, [](i32, i32 y) { return y == 1 || y == 2 ? 0xFF806040u : 0x00000000u; });
    level = AddPicture(u"level", 512, 512, [](i32 x, i32 y) {
      return 0xFF000000u | static_cast<u32>(x & 0xFF) << 16 | static_cast<u32>(y & 0xFF) << 8 | 0x11u;
    });
    ItemDescriptionFake::asked.clear();
    GetResourceServices().itemDescription = &ItemDescriptionFake::Expand;
  }
  ~ToolkitRig() {
    delete ui.manager;  // the windows go before the language and the pictures
    ui.manager = nullptr;
    GetUiServices().windowManager = nullptr;
    SetGameLanguage(nullptr);
  }
  ToolkitRig(const ToolkitRig&) = delete;
  ToolkitRig& operator=(const ToolkitRig&) = delete;

  WindowManager& M() { return *ui.manager; }

  // A loaded sprite of set 1 over a picture of its own.
  Sprite* AddPicture(const wchar* name, i32 w, i32 h, u32 (*texel)(i32, i32)) {
    DXLTexture* t = ui.sets[1]->GetTextures()->NewTexture();
    t->Create(w, h, plat::gfx::D3DFMT_A8R8G8B8, true);
    t->SetBlendMode(kBlendAlpha);
    t->SetTextureOp(plat::gfx::D3DTOP_MODULATE);
    UiRig::Fill(t, texel);
    auto* s = new Sprite(ui.sets[1].get(), name, t, SPRITEGRID{1, 0, 0, 0, 0, {0, 0, 0, 0}}, false, false, 0);
    s->Init();
    return s;
  }

  // A frame with the manager updated first, the clock `ms` later.
  void Step(u32 ms) {
    ui.AdvanceClock(ms);
    M().Update();
    ui.Frame();
  }

  TempFolder folder;
  UiRig ui;
  std::unique_ptr<UiLanguage> language;
  Sprite* balloon = nullptr;
  Sprite* hintLine = nullptr;
  Sprite* level = nullptr;

 private:
  void WriteFont(const std::string& name, int width, int height) {
    const std::vector<u32> white(128 * 128, 0xFFFFFFFFu);
    const std::vector<u8> tga = DXLEncodeTGA32(128, 128, white.data());
    folder.Put(name + ".tga", std::string(tga.begin(), tga.end()));
    folder.Put(name + ".txt", "glyphs {\n\timage = \"" + name + ".tga\"\n\theight = " + std::to_string(height) +
                                  "\n\twidth = " + std::to_string(width) +
                                  "\n\tchars = \"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,!?\"\n"
                                  "\tspace = 3\n}\n");
  }
  void WriteLanguage() {
    for (int n = 1; n <= 4; ++n) WriteFont("f" + std::to_string(n), 5 + n, 8 + n);
    folder.Put("test.txt",
               "Language {\n\tIdent = test\n"
               "\tfonts {\n\t\tbuttons_font = \"f1.txt\"\n\t\tcaption_font = \"f2.txt\"\n"
               "\t\tmain_font = \"f3.txt\"\n\t\tmain_big_font = \"f4.txt\"\n\t}\n"
               "\tbuttons {\n\t\tok = OK\n\t\tcancel = Cancel\n\t\tyes = Yes\n\t\tno = No\n\t}\n"
               "\tdialogs {\n\t\tquit = Leave the farm for today?\n\t\tquit_caption = Farm\n\t}\n}\n");
  }
};

}  // namespace uitest
