#include <gtest/gtest.h>

#include "platform/headless/Session.h"
#include "platform/os/Clipboard.h"

using namespace plat;

namespace {

constexpr WindowHandle kOwner = 0x100010;
constexpr WindowHandle kOther = 0x100020;

TEST(Clipboard, TextRoundTripsOnlyWhileOpen) {
  MemoryClipboard clip;
  EXPECT_FALSE(clip.SetText(u"closed"));
  EXPECT_FALSE(clip.GetText().has_value());
  EXPECT_FALSE(clip.Empty());

  ASSERT_TRUE(clip.Open(kOwner));
  EXPECT_FALSE(clip.GetText().has_value());  // nothing put on it yet
  const std::u16string text = u"Hof \u00e9 \U0001F955";  // a surrogate pair at the end
  ASSERT_TRUE(clip.SetText(text));
  EXPECT_TRUE(clip.Close());

  ASSERT_TRUE(clip.Open(kOther));
  EXPECT_EQ(clip.GetText(), text);
  EXPECT_TRUE(clip.Close());
}

TEST(Clipboard, OneHolderAtATime) {
  MemoryClipboard clip;
  ASSERT_TRUE(clip.Open(kOwner));
  EXPECT_FALSE(clip.Open(kOther));
  EXPECT_TRUE(clip.Open(kOwner));  // the holder may open it again
  EXPECT_EQ(clip.Holder(), kOwner);
  EXPECT_TRUE(clip.Close());
  EXPECT_FALSE(clip.Close());  // already closed
  EXPECT_FALSE(clip.IsOpen());
  EXPECT_TRUE(clip.Open(kOther));
  EXPECT_TRUE(clip.Close());
}

TEST(Clipboard, TextEndsAtItsTerminatorAndEmptyDropsIt) {
  MemoryClipboard clip;
  ASSERT_TRUE(clip.Open(kOwner));
  ASSERT_TRUE(clip.SetText(std::u16string(u"abc\0def", 7)));
  EXPECT_EQ(clip.GetText(), u"abc");
  ASSERT_TRUE(clip.SetText(u""));
  EXPECT_FALSE(clip.GetText().has_value());  // an empty text counts as none
  ASSERT_TRUE(clip.SetText(u"x"));
  ASSERT_TRUE(clip.Empty());
  EXPECT_FALSE(clip.GetText().has_value());
  clip.Close();
}

TEST(Clipboard, FailedOpenLeavesTextAndStateAlone) {
  MemoryClipboard clip;
  ASSERT_TRUE(clip.Open(kOwner));
  ASSERT_TRUE(clip.SetText(u"kept"));
  ASSERT_TRUE(clip.Close());

  clip.FailNextOpen();
  EXPECT_FALSE(clip.Open(kOwner));
  EXPECT_FALSE(clip.IsOpen());
  EXPECT_FALSE(clip.SetText(u"lost"));
  EXPECT_TRUE(clip.Open(kOwner));  // only the one open fails
  EXPECT_EQ(clip.GetText(), u"kept");
  clip.Close();
}

TEST(Clipboard, AnInstalledSessionsClipboardServesUntilTakenOut) {
  Clipboard* before = &GetClipboard();
  {
    headless::Session session;
    plat::PlatformServicesScope installed{session.Services()};
    EXPECT_EQ(&GetClipboard(), &session.Clip());
    ASSERT_TRUE(GetClipboard().Open(kOwner));
    GetClipboard().SetText(u"session");
    GetClipboard().Close();
  }
  EXPECT_EQ(&GetClipboard(), before);
  headless::Session fresh;
  plat::PlatformServicesScope freshInstalled{fresh.Services()};
  ASSERT_TRUE(GetClipboard().Open(kOwner));
  EXPECT_FALSE(GetClipboard().GetText().has_value());  // nothing leaks from one session to the next
  GetClipboard().Close();
}

TEST(CaretBlink, DefaultHalfPeriodAndDesktopSetting) {
  headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  EXPECT_EQ(session.Windows().GetCaretBlinkTime(), 530u);
  DesktopSettings still;
  still.caretBlinkTime = 0;  // a desktop that does not blink
  WindowSystem windows(still);
  EXPECT_EQ(windows.GetCaretBlinkTime(), 0u);
}

}  // namespace
