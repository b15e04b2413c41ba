// The platform services: a null field reads as the system's default, a
// session installs nothing by being made, and scopes put back only the
// fields they set, whatever order they end in.
#include <gtest/gtest.h>

#include <optional>

#include "platform/gfx/GfxPresentSink.h"
#include "platform/headless/Session.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Clock.h"
#include "platform/os/Modules.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/WallClock.h"
#include "platform/os/WindowSystem.h"

namespace {

class ServicesTestSink : public plat::gfx::PresentSink {
 public:
  void ShowFrame(plat::WindowHandle, const uint32_t*, uint32_t, uint32_t) override {}
};

}  // namespace

TEST(PlatformServices, ScopesPutBackOnlyTheirFieldsAndNullReadsAsTheDefault) {
  const plat::PlatformServices before = plat::GetPlatformServices();
  plat::ResetPlatformServices();
  plat::PlatformServices& s = plat::GetPlatformServices();
  plat::Clock* systemClock = plat::GetClock();
  plat::Clipboard* defaultClipboard = &plat::GetClipboard();
  plat::WindowSystem* defaultWindows = &plat::GetWindowSystem();
  plat::ModuleProvider* defaultModules = &plat::GetModuleProvider();

  {
    plat::headless::Session session;  // made, not installed
    EXPECT_EQ(s.clock, nullptr);
    EXPECT_EQ(s.windowSystem, nullptr);
    EXPECT_EQ(&plat::GetClipboard(), defaultClipboard);
    plat::PlatformServicesScope installed{session.Services()};
    EXPECT_EQ(plat::GetClock(), &session.Clock());
    EXPECT_EQ(&plat::GetClipboard(), &session.Clip());
    EXPECT_EQ(&plat::GetWindowSystem(), &session.Windows());
    EXPECT_EQ(&plat::GetModuleProvider(), defaultModules);  // not the session's to give
  }
  EXPECT_EQ(plat::GetClock(), systemClock);
  EXPECT_EQ(&plat::GetClipboard(), defaultClipboard);
  EXPECT_EQ(&plat::GetWindowSystem(), defaultWindows);

  // Scopes over the same field and over others, ended out of order.
  plat::FakeClock first(100), second(200);
  plat::MemoryClipboard clipboard;
  ServicesTestSink sink;
  std::optional<plat::PlatformServicesScope> a, b, c;
  a.emplace(plat::PlatformServices{.clock = &first});
  b.emplace(plat::PlatformServices{.clock = &second, .clipboard = &clipboard});
  c.emplace(plat::PlatformServices{.presentSink = &sink});
  EXPECT_EQ(plat::GetTimeMs(), 200u);
  EXPECT_EQ(&plat::GetClipboard(), &clipboard);
  b.reset();
  EXPECT_EQ(plat::GetTimeMs(), 100u);
  EXPECT_EQ(&plat::GetClipboard(), defaultClipboard);
  EXPECT_EQ(plat::gfx::GetPresentSink(), &sink);
  a.reset();  // before c, which set another field: c's stays
  EXPECT_EQ(plat::GetClock(), systemClock);
  EXPECT_EQ(plat::gfx::GetPresentSink(), &sink);
  {
    plat::PlatformServicesScope nothing;  // null fields touch nothing
    EXPECT_EQ(plat::gfx::GetPresentSink(), &sink);
  }
  EXPECT_EQ(plat::gfx::GetPresentSink(), &sink);
  c.reset();
  EXPECT_EQ(plat::gfx::GetPresentSink(), nullptr);

  s.clock = &first;
  s.presentSink = &sink;
  plat::ResetPlatformServices();
  EXPECT_EQ(plat::GetClock(), systemClock);
  EXPECT_EQ(plat::gfx::GetPresentSink(), nullptr);
  s = before;
}
