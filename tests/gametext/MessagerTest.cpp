#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LanguageTestSupport.h"
#include "engine/DXLTexture.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/GameMessager.h"
#include "gametext/TextArgs.h"
#include "gametext/TextServices.h"
#include "platform/os/Clock.h"
#include "platform/os/PlatformServices.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ViewerRig.h"

namespace {

using lngtest::U8;

class Messager : public ::testing::Test {
 protected:
  void TearDown() override { GetTextServices().messagesOff = false; }
  plat::FakeClock clock_{1000};
  plat::PlatformServicesScope clockScope_{{.clock = &clock_}};
};

TEST_F(Messager, SameIdWaitsTenSeconds) {
  GameMessager m;
  EXPECT_TRUE(m.CanSend(7));
  clock_.Advance(9999);
  EXPECT_FALSE(m.CanSend(7));
  clock_.Advance(1);
  EXPECT_TRUE(m.CanSend(7));   // 10,000 ms after it last passed
  clock_.Advance(5000);
  EXPECT_FALSE(m.CanSend(7));  // the refusal did not move its time
  clock_.Advance(5000);
  EXPECT_TRUE(m.CanSend(7));
  EXPECT_TRUE(m.CanSend(8));   // other ids have their own time
}

TEST_F(Messager, NinthIdIsRefused) {
  GameMessager m;
  for (u32 id = 1; id <= 8; ++id) EXPECT_TRUE(m.CanSend(id));
  EXPECT_EQ(m.GetCount(), 8);
  EXPECT_FALSE(m.CanSend(9));
  clock_.Advance(60000);
  EXPECT_FALSE(m.CanSend(9));
  EXPECT_TRUE(m.CanSend(3));
}

TEST_F(Messager, ClockWrapKeepsTheInterval) {
  clock_.Set(0xFFFFFFFFu - 4000);
  GameMessager m;
  EXPECT_TRUE(m.CanSend(1));
  clock_.Advance(9999);  // past the wrap
  EXPECT_FALSE(m.CanSend(1));
  clock_.Advance(1);
  EXPECT_TRUE(m.CanSend(1));
}

TEST_F(Messager, SwitchedOffRefusesEverything) {
  GameMessager m;
  GetTextServices().messagesOff = true;
  EXPECT_FALSE(m.CanSend(1));
  EXPECT_EQ(m.GetCount(), 0);
  GetTextServices().messagesOff = false;
  EXPECT_TRUE(m.CanSend(1));
}

TEST(TextArgs, WordsNumbersAndCharacters) {
  // A word is read by its leading digits: one that starts with none reads
  // as 0; the default stands only for a missing word.
  TextArgs::Set(u"  12 -7 ff 3.5e1 x 4000000000 12ab 7_3 word", kis::kToTerminator);
  EXPECT_EQ(TextArgs::NextInt(0), 12);
  EXPECT_EQ(TextArgs::NextInt(0), -7);
  EXPECT_EQ(TextArgs::NextUInt(99), 0u);
  EXPECT_EQ(U8(std::u16string(TextArgs::GetLastWord().name)), "ff");
  EXPECT_FLOAT_EQ(TextArgs::NextFloat(0), 35.0f);
  EXPECT_EQ(TextArgs::NextInt(5), 0);
  EXPECT_EQ(TextArgs::NextUInt(0), 4000000000u);
  EXPECT_EQ(TextArgs::NextUInt(0), 12u);
  EXPECT_EQ(TextArgs::NextInt(0), 7);
  EXPECT_EQ(TextArgs::NextInt(-1), 0);
  EXPECT_EQ(TextArgs::NextInt(-2), -2);  // nothing left
  EXPECT_EQ(TextArgs::GetLength(), 0u);
  // A word beyond 32 bits gives the default, not a wrapped or cut value.
  TextArgs::Set(u"-2147483648 2147483648 +5 -x 4294967296 99999999999999999999z", kis::kToTerminator);
  EXPECT_EQ(TextArgs::NextInt(1), INT32_MIN);
  EXPECT_EQ(TextArgs::NextInt(1), 1);
  EXPECT_EQ(TextArgs::NextInt(1), 5);
  EXPECT_EQ(TextArgs::NextInt(1), 0);
  EXPECT_EQ(TextArgs::NextUInt(1), 1u);
  EXPECT_EQ(TextArgs::NextUInt(1), 1u);

  TextArgs::Set(u"L U 7 x Uz", kis::kToTerminator);
  i32 v = 3;
  EXPECT_TRUE(TextArgs::NextChar(v));
  EXPECT_EQ(v, 3);
  EXPECT_TRUE(TextArgs::NextChar(v));
  EXPECT_EQ(v, 4);
  EXPECT_TRUE(TextArgs::NextChar(v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(TextArgs::NextChar(v));
  EXPECT_EQ(v, 7);
  EXPECT_EQ(TextArgs::GetLastChar(), u'x');
  EXPECT_FALSE(TextArgs::NextChar(v));  // "Uz" is two characters: nothing taken
  EXPECT_EQ(U8(std::u16string(TextArgs::GetText(), TextArgs::GetLength())), "Uz");
  i32 zero = 0;
  TextArgs::Set(u"U", 1);
  EXPECT_TRUE(TextArgs::NextChar(zero));
  EXPECT_EQ(zero, 0);  // only counts from 1 up
  EXPECT_FALSE(TextArgs::NextChar(zero));

  TextArgs::Set(u"123456", 3);  // only the given length is read
  EXPECT_EQ(TextArgs::NextInt(0), 123);
}

TEST(FormatText, WideFormatter) {
  wchar buffer[kFormatTextSize];
  FormatTextW(buffer, u"%s has %d coins, %u eggs, %05d, %-4x|%X %c %.2f %% %8s", u"Ann", -12, 7u, -42, 0xab,
              0xCDu, u'Z', 2.5, u"right");
  EXPECT_EQ(U8(buffer), "Ann has -12 coins, 7 eggs, -0042, ab  |CD Z 2.50 %    right");
  FormatTextW(buffer, u"%s", static_cast<const wchar*>(nullptr));
  EXPECT_EQ(U8(buffer), "(null)");
  std::u16string big(3000, u'a');
  EXPECT_EQ(FormatTextW(buffer, u"%s!", big.c_str()), kFormatTextSize - 1);
  EXPECT_EQ(buffer[kFormatTextSize - 1], 0);
}

class RecordingHost : public GameLanguageHost {
 public:
  void SetWindowTitle(const wchar* title) override { log.push_back("title " + U8(title)); }
  void ShowLoading(DXLTexture* logo, const wchar* caption) override {
    log.push_back(std::string("loading ") + (logo ? "logo " : "no logo ") + U8(caption));
  }
  void SetProfileChars(const wchar* chars) override { log.push_back("chars " + U8(chars)); }
  std::vector<std::string> log;
};

// A language that counts how often it loads its data.
class CountingLanguage : public GameLanguage {
 public:
  using GameLanguage::GameLanguage;
  void LoadSections(DXLLngFile* reader) override {
    ++loads;
    GameLanguage::LoadSections(reader);
  }
  u32 loads = 0;
};

TEST(LanguageSetter, TakesTheNewLanguageBeforeGivingBackTheOld) {
  TempFolder temp;
  const std::string dir = temp.Path();
  lngtest::WriteBytes(dir + "/a.txt", "Language {\n\tWindowTitle = Farm A\n\tProfileChars = AB\n"
                                      "\tloading {\n\t\tcaption = Wait\n\t}\n}\n");
  lngtest::WriteBytes(dir + "/b.txt", "Language {\n\tNF = nothing\n}\n");
  const std::u16string pa = lngtest::U16(dir + "/a.txt"), pb = lngtest::U16(dir + "/b.txt");
  CountingLanguage a(pa.c_str()), b(pb.c_str());
  RecordingHost host;
  GetTextServices().languageHost = &host;
  SetGameLanguage(&a);
  EXPECT_EQ(GetGameLanguage(), &a);
  EXPECT_EQ(a.GetUseCount(), 1u);
  EXPECT_EQ(a.loads, 1u);
  EXPECT_EQ(host.log, (std::vector<std::string>{"title Farm A", "loading no logo Wait", "chars AB"}));
  // Installing the same language again neither unloads nor reloads it.
  SetGameLanguage(&a);
  EXPECT_EQ(a.GetUseCount(), 1u);
  EXPECT_EQ(a.loads, 1u);
  EXPECT_EQ(a.GetTableCount(), 29u);
  host.log.clear();
  SetGameLanguage(&b);
  EXPECT_EQ(a.GetUseCount(), 0u);
  EXPECT_EQ(a.GetTableCount(), 0u);
  EXPECT_EQ(b.GetUseCount(), 1u);
  EXPECT_EQ(b.loads, 1u);
  EXPECT_EQ(host.log, (std::vector<std::string>{"title nothing", "loading no logo nothing",
                                                "chars " + U8(GameLanguage::kDefaultProfileChars)}));
  SetGameLanguage(nullptr);
  GetTextServices().languageHost = nullptr;
  EXPECT_EQ(b.GetUseCount(), 0u);
}

void NoOutOfMemoryReport() {}
bool FailNoAllocation(size_t) { return false; }

// The reset puts back every hook and switch; the layout, the handle registry
// and the current language's use live on, as a process-wide registry would.
TEST(TextServicesReset, PutsBackTheHooksAndKeepsTheRegistryAndTheLanguage) {
  TempFolder temp;
  lngtest::WriteBytes(temp.Path() + "/a.txt", "Language {\n\tNF = nothing\n}\n");
  const std::u16string path = lngtest::U16(temp.Path() + "/a.txt");
  GameLanguage language(path.c_str());
  viewertest::ViewerRig rig;
  ASSERT_EQ(rig.Open(16, 16), 0);
  DXLTexture picture(rig.viewer.get());
  RecordingHost host;
  TextServices& s = GetTextServices();
  s.languageHost = &host;
  s.languageViewer = rig.viewer.get();
  s.outOfMemory = &NoOutOfMemoryReport;
  s.allocationHook = &FailNoAllocation;
  s.messagesOff = true;
  SetGameLanguage(&language);
  const u32 handle = s.handles.RegisterTexture(&picture);
  const KGELayout* layout = &s.layout;

  ResetTextServices();
  EXPECT_EQ(s.languageHost, nullptr);
  EXPECT_EQ(s.languageViewer, nullptr);
  EXPECT_EQ(s.outOfMemory, nullptr);
  EXPECT_EQ(s.allocationHook, nullptr);
  EXPECT_TRUE(GameMessager().CanSend(1));  // messages on again
  EXPECT_EQ(GetGameLanguage(), &language);
  EXPECT_EQ(language.GetUseCount(), 1u);
  EXPECT_EQ(s.handles.FindTexture(handle), &picture);
  EXPECT_EQ(&GetTextServices().layout, layout);

  SetGameLanguage(nullptr);
  EXPECT_EQ(language.GetUseCount(), 0u);
  s.handles.ForgetTexture(&picture);
  EXPECT_EQ(picture.GetListenerCount(), 0);
}

}  // namespace
