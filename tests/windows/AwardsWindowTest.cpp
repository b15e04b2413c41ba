// The awards window: bar fractions (equal thresholds full), opening saves
// the shown set, big awards first (1200 ms apart), then the small ones
// (a value passing two thresholds flashes twice in turn, the bar running
// (to - from) x 2000 ms), the total 800 ms after the last; a click completes
// without closing, Escape completes and closes; opening closes the award
// notices. Drawn: a small award's tier plate cut from the interface image,
// lit while hovered once a tier is won, its bar within its own 50 pixels;
// the total award as high as its picture at its width. The hints are
// titled by the awards' name texts.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "FakeAwardsProfile.h"
#include "PanelRig.h"
#include "base/datafile/DataFileReader.h"
#include "content/AwardTable.h"
#include "content/ContentServices.h"
#include "content/ContentWriter.h"
#include "resources/ResourceServices.h"
#include "testsupport/TempFolder.h"
#include "windows/AwardsWindow.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "platform/encoding/Utf.h"
#include "resources/Sprite.h"
#include "ui/CaptionHintWindow.h"
#include "ui/ControlState.h"
#include "ui/HIText.h"
#include "ui/WindowManager.h"
#include "windows/WindowServices.h"
#include "testsupport/WindowDoor.h"

namespace windowstest {
namespace {

class AwardsTest : public ::testing::Test {
 protected:
  AwardsTest() {
    rig.AddPicture(kAwardSpriteSet, u"ba_total", 376, 300);
    interface = rig.AddPicture(1, u"interface", 1024, 1024)->GetTexture();
    interface->SetTextureOp(plat::gfx::D3DTOP_MODULATE);
    interface->SetBlendMode(kBlendAlpha);
    GetResourceServices().interfaceImage = interface;
    TIEREDAWARD tiered[kTieredAwardCount] = {};
    RECORDAWARD records[kRecordAwardCount] = {};
    for (TIEREDAWARD& a : tiered) a.tiers[0] = 10, a.tiers[1] = 20, a.tiers[2] = 30;
    for (RECORDAWARD& a : records) a.threshold = 100;
    std::u16string(u"wheat").copy(tiered[2].name, 5);
    std::u16string(u"first").copy(records[1].name, 5);
    const std::u16string path = folder.Wide("Data.dat");
    EXPECT_TRUE(WriteDataArchive(path.c_str(), {{kAwardSectionId, kAwardSectionSubId, AwardSection(tiered, records)}}));
    kis::DataFileReaderW* data =
        kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
    SectionCursor c;
    table.ReadSection(data, &c);
    table.LoadIcons();
    kis::CloseDataFile(data);
    EXPECT_EQ(c.error, 0u);
    GetContentServices().awards = &table;
    GetWindowServices().awardsProfile = &profile;
    GetResourceServices().clock = 10000;
  }
  ~AwardsTest() override {
    SetGameLanguage(nullptr);
    GetResourceServices().interfaceImage = nullptr;
    GetContentServices().awards = nullptr;
    GetWindowServices().awardsProfile = nullptr;
  }
  // Opened away from the screen's corner, its drop-in over.
  AwardsWindow& Open() {
    window = OpenAwards(false);
    testsupport::PlaceWindow(*window);
    testsupport::Settle(*window);
    return *window;
  }
  void At(u32 ms) {
    GetResourceServices().clock = window->GetOpenedAt() + ms;
    window->Step();
  }

  // The pixel (dx, dy) of a small award drawn alone at (10, 10).
  u32 SmallPixel(SmallAwardButton* b, i32 dx, i32 dy) {
    rig.Shot(static_cast<float>(10 - b->GetRect().left), static_cast<float>(10 - b->GetRect().top), [&] { b->Draw(); });
    return rig.Pixel(static_cast<u32>(10 + dx), static_cast<u32>(10 + dy));
  }

  TempFolder folder;
  PanelRig rig;
  std::unique_ptr<GameLanguage> language;
  DXLTexture* interface = nullptr;
  AwardTable table;
  FakeAwardsProfile profile;
  AwardsWindow* window = nullptr;
};

TEST(AwardFraction, ThresholdsAndTheirEdges) {
  TIEREDAWARD a{};
  a.startValue = 4;
  a.tiers[0] = 10, a.tiers[1] = 20, a.tiers[2] = 20;
  EXPECT_FLOAT_EQ(SmallAwardFraction(a, 7, 0), 0.5f);
  EXPECT_FLOAT_EQ(SmallAwardFraction(a, 0, 0), 0.0f);  // below the start
  EXPECT_FLOAT_EQ(SmallAwardFraction(a, 12, 1), 0.2f);
  EXPECT_FLOAT_EQ(SmallAwardFraction(a, 20, 2), 1.0f);  // silver and gold equal: no division
  EXPECT_FLOAT_EQ(SmallAwardFraction(a, 99, 3), 1.0f);
  a.startValue = a.tiers[0] = 10;
  EXPECT_FLOAT_EQ(SmallAwardFraction(a, 10, 0), 1.0f);
}

TEST_F(AwardsTest, OpeningSavesTheShownSetAndAnimatesBigThenSmallThenTotal) {
  profile.shown.tiered[0] = 5;
  profile.current.tiered[0] = 25;  // passes 10 and 20
  profile.current.records[1] = 150;
  profile.current.records[3] = 150;
  profile.shown.records[5] = profile.current.records[5] = 100;  // won before: shown at once
  profile.current.finalGiven = 1;
  Open();
  EXPECT_EQ(profile.saves, 1);
  EXPECT_EQ(profile.shown.tiered[0], 25);
  EXPECT_EQ(profile.shown.finalGiven, 1);
  EXPECT_EQ(window->GetBig(1)->GetStart(), window->GetOpenedAt() + 1000);
  EXPECT_EQ(window->GetBig(3)->GetStart(), window->GetOpenedAt() + 2200);
  EXPECT_FALSE(window->GetBig(5)->IsAnimating());
  EXPECT_TRUE(window->GetBig(5)->WasWon() && !window->GetBig(1)->WasWon());
  EXPECT_EQ(window->GetBig(5)->GetColor(), 0xFFFFFFFFu);
  EXPECT_NE(window->GetBig(0)->GetColor(), 0xFFFFFFFFu);  // not won
  EXPECT_TRUE(window->GetBig(8)->IsWaiting());
  At(1000 + 125);
  EXPECT_EQ(window->GetBig(1)->GetColor() >> 24, 128u);
  At(1000 + 250 + 250);
  EXPECT_EQ(window->GetBig(1)->GetFlash() >> 24, 255u);
  // Small award 0 from 3400: tier 1 at once, the bar 0..1 over 2000 ms,
  // tier 2 at 5400, the bar 0..0.5 from 5600 to 6600.
  const auto& steps = window->GetSmall(0)->Steps();
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].flashAt, window->GetOpenedAt() + 3400);
  EXPECT_EQ(steps[1].flashAt, window->GetOpenedAt() + 5400);
  EXPECT_EQ(steps[1].barStart, window->GetOpenedAt() + 5600);
  EXPECT_EQ(steps[1].barEnd, window->GetOpenedAt() + 6600);
  At(3400 + 10);
  EXPECT_EQ(window->GetSmall(0)->GetShownTier(), 1);
  EXPECT_EQ(window->GetSmall(0)->GetFlashCount(), 1u);
  At(4400);
  EXPECT_NEAR(window->GetSmall(0)->GetBar(), 0.5f, 1e-3f);
  At(5400 + 150);
  EXPECT_EQ(window->GetSmall(0)->GetShownTier(), 2);
  EXPECT_EQ(window->GetSmall(0)->GetFlashCount(), 2u);
  EXPECT_EQ(window->GetSmall(0)->GetFlashColor(), 0xFF686868u);  // half way up
  At(6100);
  EXPECT_NEAR(window->GetSmall(0)->GetBar(), 0.25f, 1e-3f);
  EXPECT_TRUE(window->GetBig(8)->IsWaiting());
  At(6600);  // nothing else animates: the total starts 800 ms later
  EXPECT_FALSE(window->GetBig(8)->IsWaiting());
  EXPECT_EQ(window->GetBig(8)->GetStart(), window->GetOpenedAt() + 7400);
  EXPECT_NEAR(window->GetSmall(0)->GetBar(), 0.5f, 1e-3f);
  At(7400 + 1000);
  EXPECT_FALSE(window->GetBig(8)->IsAnimating());
  EXPECT_EQ(window->GetBig(8)->GetColor(), 0xFFFFFFFFu);
}

TEST_F(AwardsTest, AClickCompletesWithoutClosingEscapeCompletesAndCloses) {
  profile.current.tiered[2] = 35;
  profile.current.records[0] = 100;
  Open();
  EXPECT_EQ(window->GetSmall(2)->GetShownTier(), 0);
  const kis::IntPoint corner = testsupport::OnScreen(*window, 5, 5);
  testsupport::ClickAt(*rig.manager, corner, kMouseRight);  // only the left button hurries
  EXPECT_EQ(window->GetSmall(2)->GetShownTier(), 0);
  testsupport::ClickAt(*rig.manager, corner);
  EXPECT_EQ(window->GetSmall(2)->GetShownTier(), 3);
  EXPECT_FLOAT_EQ(window->GetSmall(2)->GetBar(), 1.0f);
  EXPECT_EQ(window->GetBig(0)->GetColor(), 0xFFFFFFFFu);
  EXPECT_FALSE(window->IsClosing());
  EXPECT_EQ(FindWindowOf<AwardsWindow>(), window);
  // Opening again closes the first; nothing new to show now.
  AwardsWindow* first = window;
  Open();
  EXPECT_TRUE(first->IsClosing());
  EXPECT_TRUE(window->GetSmall(2)->Steps().empty());
  EXPECT_EQ(window->GetSmall(2)->GetShownTier(), 3);
  // A double click hurries too, and presses the award under the pointer.
  profile.current.tiered[3] = 15;
  first = window;
  Open();
  delete first;
  EXPECT_EQ(window->GetSmall(3)->GetShownTier(), 0);
  const kis::IntPoint award = testsupport::MiddleOf(*window->GetSmall(3));
  rig.manager->OnDoubleClick(award.x, award.y, kMouseLeft);
  EXPECT_EQ(window->GetSmall(3)->GetShownTier(), 1);
  EXPECT_EQ(window->GetSmall(3)->State().GetEnableBits(), kStatePressed);
  rig.manager->OnMouseUp(award.x, award.y, kMouseLeft, 0);
  EXPECT_TRUE(testsupport::HoversAt(*rig.manager, *window->GetSmall(3)));
  EXPECT_TRUE(window->OnKeyDown(27, 0));
  EXPECT_TRUE(window->IsClosing());
}

TEST_F(AwardsTest, TierPlatesFromTheInterfaceHoverLightsAWonTierBarsStayInTheirPlace) {
  profile.current.tiered[2] = 35;  // gold
  profile.current.tiered[3] = 15;  // bronze, half way to silver
  Open();
  window->CompleteAll();
  SmallAwardButton* gold = window->GetSmall(2);
  SmallAwardButton* none = window->GetSmall(4);
  const auto texel = [](i32 x, i32 y) { return 0xFF000000u | static_cast<u32>(x & 0xFF) << 16 | static_cast<u32>(y & 0xFF) << 8 | 1u; };
  // The plate of the tier: frame 3 of the four 34 rows apart at (921, 868).
  EXPECT_EQ(SmallPixel(gold, 1 + 6, 5), texel(921 + 6, 868 + 3 * 34 + 5));
  EXPECT_EQ(SmallPixel(none, 1 + 6, 5), texel(921 + 6, 868 + 5));
  // Hovered: a won tier's plate lit by 48 of 255 (added through the
  // texture), a tier not won stays.
  for (SmallAwardButton* b : {gold, none}) b->State().SetState(kStateHover, true, 0);
  const u32 lit = SmallPixel(gold, 1 + 6, 5), plain = texel(921 + 6, 868 + 3 * 34 + 5);
  for (u32 shift : {8u, 16u}) {
    const u32 c = (plain >> shift) & 0xFF;
    EXPECT_NEAR((lit >> shift) & 0xFF, std::min(255u, c + c * 48 / 255), 2) << shift;
  }
  EXPECT_EQ(SmallPixel(none, 1 + 6, 5), texel(921 + 6, 868 + 5));
  // The bar (full at gold) within the award's 50 pixels: the gap to the
  // next award (57 on) stays clear.
  EXPECT_NE(SmallPixel(gold, 25, 40), 0xFF000000u);
  for (i32 x : {-4, 50, 54}) EXPECT_EQ(SmallPixel(gold, x, 40), 0xFF000000u) << x;
  // The total award: 188 wide, as high as its picture at that width.
  const DXLRECT& total = window->GetBig(8)->GetRect();
  EXPECT_EQ(total.right - total.left, 188);
  EXPECT_EQ(total.bottom - total.top, 150);
}

// Every hint's title is the award's name text of table "awards", not its key.
TEST_F(AwardsTest, HintsAreTitledByTheAwardsNameTexts) {
  std::ofstream(folder.File("lang.txt"))
      << "Language {\n\tawards {\n\t\twheat = \"Sheaf Binder\"\n\t\tfirst = \"First Coin\"\n"
         "\t\tfinal = \"Crown of the Farm\"\n\t}\n}\n";
  language = std::make_unique<GameLanguage>(folder.Wide("lang.txt").c_str());
  SetGameLanguage(language.get());
  Open();
  const auto title = [](GameHint* b) {
    auto* hint = dynamic_cast<CaptionHintWindow*>(b->GetHintWindow());
    return hint && hint->GetCaption() && hint->GetCaption()->GetSource()
               ? plat::Utf16ToUtf8(hint->GetCaption()->GetSource())
               : std::string("(none)");
  };
  EXPECT_EQ(title(window->GetSmall(2)), "Sheaf Binder");
  EXPECT_EQ(title(window->GetBig(1)), "First Coin");
  EXPECT_EQ(title(window->GetBig(8)), "Crown of the Farm");
}

}  // namespace
}  // namespace windowstest
