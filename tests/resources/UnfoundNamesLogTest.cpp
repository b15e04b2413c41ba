// A name looked up in the data and not found is written to the engine log,
// "look-up missed: KIND NAME", once a name while the log is open: sprites and
// map sprites (with their set), animations, sounds, particle systems (by
// their name's id) and text keys that fall back to the language's "NF"
// text. What is found, an empty name and a text asked for without the
// fallback say nothing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FakeAudioBackend.h"
#include "base/Identifier.h"
#include "base/List.h"
#include "engine/DXLLog.h"
#include "gametext/DXLLanguage.h"
#include "gametext/DXLLngTable.h"
#include "resources/GameAnimation.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SoundSettings.h"
#include "resources/SpriteSet.h"
#include "testsupport/LogCapture.h"
#include "testsupport/SpriteRig.h"

namespace {

size_t CountOf(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(LookupMissLog, EveryKindOfMissIsLoggedOnceWithItsNameAndFoundNamesAreNot) {
  spritetest::SpriteRig rig;
  ResetResourceServices();
  soundtest::FakeAudio audio;
  ASSERT_TRUE(GetSoundSettings().Init(std::make_unique<soundtest::FakeBackend>(&audio)));
  kis::Identifier section;
  ASSERT_TRUE(section.Parse(u"levels", 6, false, nullptr, nullptr));
  DXLLngText* nf = DXLLanguage::MakeText(u"NF", u"?NF?");
  {
    DXLLngTable table(section, &nf);
    ASSERT_TRUE(table.Reserve(1));
    ASSERT_NE(table.AddText(u"name", 4, u"Day ", 4), nullptr);
    DXLCloseLog();  // the rig's own
    LogCapture log;
    for (int twice = 0; twice < 2; ++twice) {
      EXPECT_EQ(rig.Set(3).FindSprite(u"no_such_sprite"), nullptr);
      EXPECT_EQ(rig.Set(3).FindMapSprite(u"no_such_place"), nullptr);
      EXPECT_EQ(FindAnimation(kis::list<GameAnimation*>(), u"no_such_walk"), nullptr);
      EXPECT_EQ(GetSoundSettings().FindSound(u"no_such_sound"), 0u);
      EXPECT_EQ(FindParticleSystem(0x1234ABCDu), nullptr);
      EXPECT_EQ(std::u16string(table.FindText(u"no_such_key", true)), u"?NF?");
    }
    // Found, empty or asked for without the fallback: nothing to say.
    EXPECT_EQ(std::u16string(table.FindText(u"name", true)), u"Day ");
    EXPECT_EQ(table.FindText(u"probed_key", false), nullptr);
    EXPECT_EQ(rig.Set(3).FindSprite(u""), nullptr);
    EXPECT_EQ(rig.Set(3).ProbeSprite(u"frame_9"), nullptr);  // numbered frames tried up to the first missing
    EXPECT_EQ(FindParticleSystem(0), nullptr);

    const std::string text = log.Text();
    for (const char* line : {"look-up missed: sprite 3/no_such_sprite", "look-up missed: map sprite 3/no_such_place",
                             "look-up missed: animation no_such_walk", "look-up missed: sound no_such_sound",
                             "look-up missed: particle system 0x1234ABCD", "look-up missed: text levels/no_such_key"}) {
      EXPECT_TRUE(log.Has(line)) << line << "\n" << text;
      EXPECT_EQ(CountOf(text, line), 1u) << line;
    }
    EXPECT_EQ(CountOf(text, "look-up missed:"), 6u) << text;
  }
  // A log opened again hears of a miss again.
  {
    LogCapture again;
    EXPECT_EQ(FindParticleSystem(0x1234ABCDu), nullptr);
    EXPECT_TRUE(again.Has("look-up missed: particle system 0x1234ABCD"));
  }
  FreeLngText(nf);
  GetSoundSettings().Shutdown();
  ResetResourceServices();
}

}  // namespace
