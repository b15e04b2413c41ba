#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolkitRig.h"
#include "base/Maths.h"
#include "gametext/KGEBaseTextSprite.h"
#include "resources/ImageSprite.h"
#include "ui/CheckBox.h"
#include "ui/ImageButton.h"
#include "ui/InvisibleButton.h"
#include "ui/NarrowButton.h"

using uitest::Dialog;
using uitest::R;
using uitest::ToolkitRig;

namespace {

using Lines = std::vector<std::string>;

// Standard button frames for the pixel test: the normal frame opaque red, the
// hover frame opaque blue with a band of half-transparent blue.
u32 FadeSkin(i32 x, i32 y) {
  if (x >= 433 && x < 561 && y >= 471 && y < 534) return 0xFFC00000u;
  if (x >= 433 && x < 561 && y >= 536 && y < 599) return x >= 473 && x < 493 ? 0x800000C0u : 0xFF0000C0u;
  return uitest::InterfaceTexel(x, y);
}

class ToggleWindow : public Dialog {
 public:
  ToggleWindow() : Dialog(1, 400, 3) { MoveTo(100, 100); }
  u32 OnCommand(GameButton* control) override {
    commands.push_back(std::to_string(control->GetId()));
    control->SetFlag(!control->State().GetFlag(), false, control->GetFadeInTime());
    return kCommandNothing;
  }
  Lines commands;
};

class ImageButtons : public ::testing::Test {
 protected:
  WindowManager& M() { return rig_.M(); }
  // The primitives drawn with the interface image at the button's place.
  std::vector<plat::gfx::LoggedPrimitive> Face(float x, float y) {
    std::vector<plat::gfx::LoggedPrimitive> out;
    for (const auto& p : rig_.ui.calls.Primitives())
      if (p.texture == rig_.ui.TextureId(rig_.ui.interfaceImage.get()) && p.world.m[3][0] == x &&
          p.world.m[3][1] == y)
        out.push_back(p);
    return out;
  }
  void Frame() {
    rig_.ui.calls.Clear();
    rig_.ui.Frame(0xFF000000u);
  }

  ToolkitRig rig_;
};

// The standard button of 166: caps of 32 around a middle stretched from 64
// to 102 pixels, frames 65 pixels apart. Settled it draws its state's frame;
// fading it draws the old frame, then the new one under the alpha test at
// the fade alpha, and switches the test off again.
TEST_F(ImageButtons, FacesAreCutFromTheSkinAndCrossFadeThroughTheAlphaTest) {
  auto* d = new ToggleWindow;
  ImageButton* b = SpritesWindow::CreateButton(d, &d->Controls(), 5, 20, 80, nullptr, 166, u"Yes");
  ASSERT_EQ(b->GetQuadCount(), 12);
  ASSERT_EQ(b->GetPartsPerFrame(), 3);
  EXPECT_EQ(b->GetHeight(), 63);
  EXPECT_EQ(b->GetCrossfadePercent(), 100);
  const DXLQUAD* f2 = b->GetQuads() + 6;
  const float x[3][2] = {{0, 32}, {32, 134}, {134, 166}};
  const float u[3][2] = {{433, 465}, {465, 529}, {529, 561}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_FLOAT_EQ(f2[i].v[0].x + 0.5f, x[i][0]) << i;
    EXPECT_FLOAT_EQ(f2[i].v[1].x + 0.5f, x[i][1]) << i;
    EXPECT_FLOAT_EQ(f2[i].v[0].u * 1024, u[i][0]) << i;
    EXPECT_FLOAT_EQ(f2[i].v[1].u * 1024, u[i][1]) << i;
    EXPECT_FLOAT_EQ(f2[i].v[0].v * 1024, 406 + 130) << i;
    EXPECT_FLOAT_EQ(f2[i].v[2].y + 0.5f, 63) << i;
  }
  Frame();
  auto face = Face(120, 180);
  ASSERT_EQ(face.size(), 3u);
  EXPECT_FLOAT_EQ(face[0].vertices[0].v * 1024, 406 + 65);  // frame 1: normal
  EXPECT_EQ(face[0].vertices[0].color, 0xFFFFFFFFu);

  M().OnMouseMove(200, 200, 0, 0);  // hover over 70 ms
  rig_.ui.AdvanceClock(35);
  Frame();
  EXPECT_EQ(b->GetFadeAlpha(), 128u);
  face = Face(120, 180);
  ASSERT_EQ(face.size(), 6u);
  EXPECT_FLOAT_EQ(face[0].vertices[0].v * 1024, 406 + 65);
  EXPECT_EQ(face[0].vertices[0].color, 0xFFFFFFFFu);
  EXPECT_FLOAT_EQ(face[3].vertices[0].v * 1024, 406 + 130);
  EXPECT_EQ(face[3].vertices[0].color, 0x80FFFFFFu);
  const auto& lines = rig_.ui.calls.Lines();
  const auto at = [&](const std::string& line, size_t from) {
    for (size_t i = from; i < lines.size(); ++i)
      if (lines[i] == line) return i;
    return lines.size();
  };
  const size_t on = at("SetRenderState 15 1", 0);
  EXPECT_LT(face[2].line, on);
  EXPECT_LT(at("SetRenderState 25 7", on), face[3].line);  // greater or equal
  EXPECT_LT(at("SetRenderState 24 128", on), face[3].line);
  const size_t off = at("SetRenderState 15 0", on);
  EXPECT_GT(off, face[5].line);
  EXPECT_LT(off, lines.size());
  // The caption in white, blended as usual, then its state colour (half of
  // 0x60) added over it; its own blending is back to usual after.
  const auto captionDraws = [&] {
    std::vector<plat::gfx::LoggedPrimitive> out;
    for (const auto& p : rig_.ui.calls.Primitives())
      if (p.texture == rig_.ui.TextureId(b->GetCaption()->GetTexture())) out.push_back(p);
    return out;
  };
  const auto destBlendAt = [&](size_t line) {
    for (size_t i = line; i-- > 0;)
      if (lines[i].rfind("SetRenderState 20 ", 0) == 0) return lines[i].substr(18);
    return std::string();
  };
  auto caption = captionDraws();
  ASSERT_EQ(caption.size(), 2u);
  EXPECT_EQ(caption[0].vertices[0].color, 0xFFFFFFFFu);
  EXPECT_EQ(destBlendAt(caption[0].line), "6");  // inverse source alpha
  EXPECT_EQ(caption[1].vertices[0].color, 0x30FFFFFFu);
  EXPECT_EQ(destBlendAt(caption[1].line), "2");  // one: added
  EXPECT_EQ(b->GetLastCaptionColour(), 0x30FFFFFFu);
  EXPECT_EQ(b->GetCaption()->GetDrawState().blendMode, kBlendAlpha);

  rig_.ui.AdvanceClock(40);
  Frame();
  face = Face(120, 180);
  ASSERT_EQ(face.size(), 3u);
  EXPECT_FLOAT_EQ(face[0].vertices[0].v * 1024, 406 + 130);
  EXPECT_EQ(at("SetRenderState 15 1", 0), rig_.ui.calls.Lines().size());

  // At half strength the new frame passes the alpha test at half the fade
  // alpha. A caption in mode 1 takes its frames' colours, blended by the fade.
  b->SetCrossfadePercent(50);
  b->SetCaption(u"OK", 1, nullptr, nullptr, 1, {0xFF000000u, 0xFF0000FFu, 0xFFFF0000u});
  M().OnMouseMove(400, 400, 0, 0);
  rig_.ui.AdvanceClock(35);
  Frame();
  const u32 alpha = b->GetFadeAlpha();
  ASSERT_GT(alpha, 16u);
  ASSERT_LT(alpha, 240u);
  EXPECT_LT(at("SetRenderState 24 " + std::to_string(alpha / 2), 0), lines.size());
  EXPECT_EQ(at("SetRenderState 24 " + std::to_string(alpha), 0), lines.size());
  caption = captionDraws();
  ASSERT_EQ(caption.size(), 1u);
  EXPECT_EQ(caption[0].vertices[0].color, kis::LerpColor(0xFFFF0000u, 0xFF0000FFu, b->State().GetProgress()));
  EXPECT_NE(caption[0].vertices[0].color, 0xFF0000FFu);
}

// What a person sees of the cross-fade: halfway, the opaque body of the new
// frame lies half over the old one, while its half-transparent parts wait
// and the old frame shows there; once settled they show.
TEST_F(ImageButtons, HalfwayThroughAFadeOnlyTheOpaquePartsOfTheNewFrameShow) {
  uitest::UiRig::Fill(rig_.ui.interfaceImage.get(), &FadeSkin);
  auto* d = new ToggleWindow;
  SpritesWindow::CreateButton(d, &d->Controls(), 5, 20, 80, nullptr, 166, nullptr);
  const u32 bx = 120, by = 180 + 10;
  M().OnMouseMove(200, 200, 0, 0);
  rig_.ui.AdvanceClock(35);
  Frame();
  const u32 body = rig_.ui.Pixel(bx + 10, by), band = rig_.ui.Pixel(bx + 60, by);
  EXPECT_NEAR(static_cast<int>(body >> 16 & 0xFF), 0x60, 2);
  EXPECT_NEAR(static_cast<int>(body & 0xFF), 0x60, 2);
  EXPECT_EQ(band, 0xFFC00000u);
  rig_.ui.AdvanceClock(40);
  Frame();
  EXPECT_EQ(rig_.ui.Pixel(bx + 10, by), 0xFF0000C0u);
  const u32 settled = rig_.ui.Pixel(bx + 60, by);  // half blue over the window's body
  EXPECT_LT(settled >> 16 & 0xFF, 0x40u);
  EXPECT_GE(settled & 0xFF, 0x60u);
}

// A width below both caps shares it between them and drops the middle; a
// state whose frame is past the last draws no face until a state-frame table
// maps it; frame tables ignore places outside 0..7.
TEST_F(ImageButtons, CapsShareANarrowWidthAndStatesPastTheFramesDrawNothing) {
  auto* d = new ToggleWindow;
  ImageButton* narrow = SpritesWindow::CreateButton(d, &d->Controls(), 5, 20, 80, nullptr, 40, nullptr);
  ASSERT_EQ(narrow->GetPartsPerFrame(), 2);
  const DXLQUAD* q = narrow->GetQuads();
  EXPECT_FLOAT_EQ(q[0].v[1].x + 0.5f, 20);
  EXPECT_FLOAT_EQ(q[1].v[0].x + 0.5f, 20);
  EXPECT_FLOAT_EQ(q[1].v[1].x + 0.5f, 40);
  EXPECT_FLOAT_EQ(q[1].v[0].u * 1024, 541);  // the frame's last 20 columns
  delete narrow;

  const SKINRECT three = SKINRECT::InitSliced(0, 700, 98, 20, 4, 4, 0, 0, 0, 0, kInterfaceImage);
  auto* b = new ImageButton(d, &d->Controls(), 6, three, -1, false, 3, 1, 20, 80, nullptr);
  EXPECT_EQ(b->GetFrameCount(), 3);
  EXPECT_EQ(b->GetWidth(), 32);  // (98 + 1) / 3 - 1
  b->SetState(kStatePressed, true, 0);
  Frame();
  EXPECT_TRUE(Face(120, 180).empty());
  b->SetStateFrames(3, {2});
  EXPECT_EQ(b->FrameOfState(3), 2);
  EXPECT_EQ(b->FrameOfState(1), 0);  // the table starts zero-filled
  Frame();
  auto face = Face(120, 180);
  ASSERT_EQ(face.size(), 3u);
  EXPECT_FLOAT_EQ(face[0].vertices[0].u * 1024, 66);  // the third frame, 33 apart
  b->SetStateFrames(8, {1});
  EXPECT_EQ(b->FrameOfState(3), 2);
  b->SetStateFrames(0, {});
  EXPECT_EQ(b->FrameOfState(3), 3);
  b->AllocFrames(3, 3);
  EXPECT_EQ(b->GetQuads()[3].v[0].u * 1024, 33);  // the same size keeps the quads

  // A skin without a width gives no frames, and the button keeps its image.
  const SKINRECT flat = SKINRECT::InitSliced(0, 700, 0, 20, 4, 4, 0, 0, 0, 0, kInterfaceImage);
  auto* bare = new ImageButton(d, &d->Controls(), 7, flat, 50, false, 3, 1, 20, 80, nullptr);
  EXPECT_EQ(bare->GetFrameCount(), 0);
  EXPECT_EQ(bare->GetTexture(), rig_.ui.interfaceImage.get());
  delete b;
  Frame();
  EXPECT_TRUE(Face(120, 180).empty());
}

// The caption shares the width with the paddings and the icon; one that does
// not fit is narrowed to the room left, unless under 4 pixels would be left:
// then it keeps its width and the paddings are dropped for good.
TEST_F(ImageButtons, TheLayoutNarrowsCaptionsAndPlacesTheIcon) {
  auto* d = new ToggleWindow;
  const SKINRECT skin = SKINRECT::InitSliced(433, 406, 128, 258, 32, 32, 0, 0, 0, 0, kInterfaceImage);
  auto* b = new ImageButton(d, &d->Controls(), 6, skin, 100, true, 4, 2, 20, 80, nullptr);
  b->SetCaptionPlain(u"ABCDEFGHIJ", 1, 0);
  const i32 text = b->GetCaption()->GetWidth();
  EXPECT_EQ(text, 60);  // font 1: cells of 6
  EXPECT_TRUE(b->IsNoShrink());
  EXPECT_FLOAT_EQ(b->GetCaptionX(), (100 - 60) / 2);
  EXPECT_FLOAT_EQ(b->GetCaptionY(), (63 - 9) / 2);
  b->SetTextLayout(4, 0, 1, false, 20, 30);
  EXPECT_TRUE(b->IsShrunk());
  EXPECT_FLOAT_EQ(b->GetCaptionScale(), 50.0f / 60.0f);
  EXPECT_FLOAT_EQ(b->GetCaptionX(), 25);
  EXPECT_FLOAT_EQ(b->GetCaptionY(), (63 - 9) / 2 + 1);
  Sprite* icon = rig_.AddPicture(u"seed", 16, 16, [](i32, i32) { return 0xFF00FF00u; });
  b->SetIcon(icon);
  ASSERT_NE(b->GetIcon(), nullptr);
  EXPECT_FLOAT_EQ(b->GetCaptionScale(), 30.0f / 60.0f);  // 50 less the icon and its gap
  EXPECT_FLOAT_EQ(b->GetIconX(), 25 + 8);
  EXPECT_FLOAT_EQ(b->GetCaptionX(), 45);
  const ImageSprite* same = b->GetIcon();
  b->SetIcon(icon);
  EXPECT_EQ(b->GetIcon(), same);
  b->SetTextLayout(4, 0, 0, false, 50, 48);  // 2 pixels left: the paddings go
  EXPECT_TRUE(b->IsNoShrink());
  EXPECT_FALSE(b->IsShrunk());
  b->SetCaptionText(u"abcdefghij");  // only the letter case differs: nothing
  EXPECT_EQ(plat::Utf16ToUtf8(b->GetCaption()->GetText()), "ABCDEFGHIJ");
  b->SetCaptionText(u"ABCDEFGHIJKLMNOP");
  EXPECT_EQ(b->GetCaption()->GetWidth(), 96);
  EXPECT_FALSE(b->IsShrunk());  // no shrinking from now on
  // Colour mode 1: white frames, the colours given from frame 0.
  b->SetCaption(u"OK", 1, nullptr, nullptr, 1, {0xFF112233u});
  EXPECT_EQ(b->GetStateColour(0), 0xFF112233u);
  EXPECT_EQ(b->GetStateColour(7), 0xFFFFFFFFu);
  b->SetCaption(nullptr, 1, nullptr, nullptr, 2);
  EXPECT_EQ(b->GetCaption(), nullptr);
  EXPECT_EQ(b->GetStateColour(6), 0x40FFFFFFu);
  b->SetIconFrames(6, {5, 5, 5});
  b->SetIconFrames(-1, {9});
  b->SetState(kStateHover, true, 0);
  b->State().EnableFlag(true);
  b->SetFlag(true, true, 0);
  Frame();
  EXPECT_EQ(b->GetIcon()->FrameState().frame, 5);
}

// The box's caption, its gap and padding are part of the hit area; a fixed
// width replaces it. The owner checks the box, which then shows its checked
// frames.
TEST_F(ImageButtons, ACheckBoxIsClickableOverItsCaption) {
  auto* d = new ToggleWindow;
  CheckBox* c = SpritesWindow::CreateCheckBox(d, &d->Controls(), 3, 20, 40, u"Sound");
  EXPECT_EQ(c->GetBoxWidth(), 32);
  EXPECT_EQ(c->GetBoxHeight(), 32);
  EXPECT_EQ(c->GetGroup(), -1);
  const i32 text = c->GetCaption()->GetWidth();
  EXPECT_EQ(text, 40);  // font 3: cells of 8
  EXPECT_EQ(R(c->GetRect()), (std::vector<i32>{20, 40, 20 + 32 + 4 + 4 + text, 72}));
  EXPECT_FLOAT_EQ(c->GetCaptionX(), 36);
  M().OnMouseDown(100 + 20 + 79, 150, kMouseLeft, 0);  // the caption's last column
  M().OnMouseUp(100 + 20 + 79, 150, kMouseLeft, 0);
  EXPECT_EQ(d->commands, (Lines{"3"}));
  EXPECT_EQ(c->State().GetState(), kStateHover | kStateFlag);
  M().OnMouseDown(100 + 20 + 80, 150, kMouseLeft, 0);  // past it
  M().OnMouseUp(100 + 20 + 80, 150, kMouseLeft, 0);
  EXPECT_EQ(d->commands.size(), 1u);
  rig_.ui.AdvanceClock(250);  // the hover left with the pointer
  Frame();
  auto face = Face(120, 140);
  ASSERT_EQ(face.size(), 1u);
  EXPECT_FLOAT_EQ(face[0].vertices[0].u * 1024, 563 + 5 * 33);  // checked, normal
  // Disabled, checked or not, the caption is drawn once in the disabled grey
  // (the table repeats it for the checked states), not white with grey added.
  for (const u32 state : {kStateHidden, kStateHidden | kStateFlag}) {
    c->SetState(state, true, 0);
    Frame();
    std::vector<u32> caption;
    for (const auto& p : rig_.ui.calls.Primitives())
      if (p.texture == rig_.ui.TextureId(c->GetCaption()->GetTexture())) caption.push_back(p.vertices[0].color);
    EXPECT_EQ(caption, std::vector<u32>{0xFF808080u}) << state;
  }
  auto* fixed = new CheckBox(d, &d->Controls(), 4, 20, 100, 50);
  fixed->SetCaptionPlain(u"A much longer caption", 3, 2);
  EXPECT_EQ(fixed->GetWidth(), 50);
}

// An invisible button draws nothing and leaves cursor and sound to others;
// a narrow button ignores the mouse while it drops in and goes when its
// lift-out ends.
TEST_F(ImageButtons, InvisibleAndNarrowButtons) {
  auto* d = new ToggleWindow;
  auto* area = new InvisibleButton(d, &d->Controls(), 4, 10, 100, 30, 20);
  EXPECT_EQ(area->GetSoundId(), 0u);
  Frame();
  const size_t windowOnly = rig_.ui.calls.Primitives().size();
  M().OnMouseMove(115, 205, 0, 0);
  u32 cursor = 0;
  M().GetCursor(&cursor);
  EXPECT_EQ(cursor, kCursorNone);
  M().OnMouseDown(115, 205, kMouseLeft, 0);
  M().OnMouseUp(115, 205, kMouseLeft, 0);
  EXPECT_EQ(d->commands, (Lines{"4"}));
  area->SetPosition(200, 0);
  EXPECT_EQ(R(area->GetRect()), (std::vector<i32>{200, 0, 230, 20}));

  auto* narrow = new NarrowButton(d, 6, 100, u"Go", true);
  EXPECT_EQ(narrow->GetHeight(), 42);
  EXPECT_EQ(narrow->GetTexture(), rig_.level->GetTexture());
  EXPECT_EQ(narrow->GetPartsPerFrame(), 3);
  narrow->SetPosition(150, 10);
  narrow->Show(-60.0f, 100, 0);
  EXPECT_TRUE(narrow->IsLocked());
  M().OnMouseDown(300, 120, kMouseLeft, 0);
  M().OnMouseUp(300, 120, kMouseLeft, 0);
  EXPECT_EQ(d->commands.size(), 1u);
  Frame();
  EXPECT_GT(rig_.ui.calls.Primitives().size(), windowOnly);
  rig_.ui.AdvanceClock(200);
  Frame();
  EXPECT_FALSE(narrow->IsLocked());
  M().OnMouseDown(300, 120, kMouseLeft, 0);
  M().OnMouseUp(300, 120, kMouseLeft, 0);
  EXPECT_EQ(d->commands, (Lines{"4", "6"}));
  narrow->Hide();
  narrow->Show(-60.0f, 100, 0);  // ignored while hiding
  EXPECT_TRUE(narrow->IsHiding());
  rig_.ui.AdvanceClock(50);
  Frame();
  EXPECT_FALSE(narrow->IsDone());
  rig_.ui.AdvanceClock(200);
  Frame();
  EXPECT_TRUE(narrow->IsDone());
  Frame();
  EXPECT_EQ(rig_.ui.calls.Primitives().size(), windowOnly);
  delete narrow;
}

}  // namespace
