// The program entry's choices before any window: the command line ("-lang"
// in any case, a later one winning, one at the end leaving no path; other
// options refused), the per-user folder from the environment with its
// fallback from 248 characters, the language file's choice and
// "config.ini"'s screen words; window positions into the game area, less
// its margins and divided by its scale with halves rounded up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppServices.h"
#include "app/GameEntry.h"
#include "app/GameWorld.h"
#include "platform/encoding/Utf.h"
#include "resources/ResourceServices.h"
#include "testsupport/TempFolder.h"

namespace {

std::string Parse(std::vector<std::string> args, EntryOptions* o) {
  std::vector<char*> argv;
  args.insert(args.begin(), "tallowmere");
  for (std::string& a : args) argv.push_back(a.data());
  return ParseEntryOptions(static_cast<int>(argv.size()), argv.data(), o);
}

// Sets an environment variable for a scope; null unsets it.
class Env {
 public:
  Env(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~Env() { had_ ? ::setenv(name_, old_.c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

TEST(GameEntry, TheCommandLineTakesTheLastLanguageAndRefusesOtherOptions) {
  EntryOptions o;
  EXPECT_EQ(Parse({"-LANG", "a b.lng", "--data", "/d", "-lang", "c.lng", "--headless"}, &o), "");
  EXPECT_EQ(o.language, u"c.lng");
  EXPECT_EQ(o.data, "/d");
  EXPECT_TRUE(o.headless);
  EntryOptions last;
  EXPECT_EQ(Parse({"-lang", "x.lng", "-Lang"}, &last), "");
  EXPECT_EQ(last.language, u"") << "-lang with nothing after it";
  EntryOptions longPath;
  EXPECT_EQ(Parse({"-lang", std::string(300, 'p')}, &longPath), "");
  EXPECT_EQ(longPath.language.size(), 260u);
  for (const char* wrong : {"-langs", "--bogus", "--data"}) {
    EntryOptions w;
    EXPECT_NE(Parse({wrong}, &w), "") << wrong;
  }
}

TEST(GameEntry, TheUserFolderComesFromTheEnvironmentElseProfilesInTheData) {
  {
    Env xdg("XDG_DATA_HOME", "/srv/share");
    EXPECT_EQ(ChooseUserFolder("/d/"), "/srv/share/Morvalen/Tallowmere/");
  }
  {
    Env xdg("XDG_DATA_HOME", "relative/share");  // not absolute: ignored
    Env home("HOME", "/home/ann");
    EXPECT_EQ(ChooseUserFolder("/d/"), "/home/ann/.local/share/Morvalen/Tallowmere/");
  }
  // The data folder's "Profiles" comes with the reason the log gives.
  std::string why = "stale";
  {
    Env xdg("XDG_DATA_HOME", nullptr);
    Env home("HOME", nullptr);
    EXPECT_EQ(ChooseUserFolder("/d/", &why), "/d/Profiles/");
    EXPECT_EQ(why, "neither $XDG_DATA_HOME nor $HOME is an absolute path");
  }
  // 248 characters is where the profile store would refuse its files.
  const std::string base = "/" + std::string(225, 'x');  // + "/Morvalen/Tallowmere/": 247
  {
    Env xdg("XDG_DATA_HOME", base.c_str());
    EXPECT_EQ(ChooseUserFolder("/d/", &why).size(), 247u);
    EXPECT_EQ(why, "");
  }
  {
    Env xdg("XDG_DATA_HOME", (base + "y").c_str());
    EXPECT_EQ(ChooseUserFolder("/d/", &why), "/d/Profiles/");
    EXPECT_EQ(why,
              "$XDG_DATA_HOME/Morvalen/Tallowmere/ would be 248 characters long, and the profiles' folder may have "
              "247 at most");
  }
}

TEST(GameEntry, TheLanguageAndTheScreenWordsComeFromTheCommandLineAndConfigIni) {
  TempFolder folder;
  EntryFolders f{folder.Path() + "/bin/", folder.Path() + "/data/", folder.Path() + "/user/"};
  std::filesystem::create_directories(f.program);
  std::filesystem::create_directories(f.data);
  folder.Put("bin/mine.lng", "x");
  folder.Put("data/language.dat", "x");
  folder.Put("data/other.lng", "x");
  folder.Put("bin/config.ini", "[Path]\nLanguage=other.lng\n[Video]\nFullscreen=1\nWindow=1024\nScreen=1280, 720\n"
                               "VSync=0\nRefreshRate=$3C\n");
  kis::IniFileW ini(plat::Utf8ToUtf16(f.program + "config.ini").c_str());
  EXPECT_EQ(ChooseLanguagePath(u"mine.lng", ini, f), f.program + "mine.lng");
  EXPECT_EQ(ChooseLanguagePath(u"missing.lng", ini, f), f.data + "language.dat");
  EXPECT_EQ(ChooseLanguagePath(u"", ini, f), f.data + "other.lng");
  EXPECT_EQ(ChooseLanguagePath(plat::Utf8ToUtf16("/" + std::string(259, 'l')), ini, f), f.data + "language.dat");

  SCREENPARAMS screen;
  screen.windowWidth = 800;
  screen.windowHeight = 600;
  screen.fullscreen = 0;
  ApplyConfigIni(ini, &screen);
  EXPECT_EQ(screen.fullscreen, 1u);
  EXPECT_EQ(screen.windowWidth, 800u) << "one number leaves the loaded words";
  EXPECT_EQ(screen.screenWidth, 1280u);
  EXPECT_EQ(screen.screenHeight, 720u);
  EXPECT_EQ(screen.vsync, 0u);
  EXPECT_EQ(screen.refresh, 60u);
  for (const char* hex : {"#3C", "0x3C", "0X3C"}) {
    folder.Put("bin/config.ini", std::string("[Video]\nRefreshRate=") + hex + "\n");
    kis::IniFileW other(plat::Utf8ToUtf16(f.program + "config.ini").c_str());
    SCREENPARAMS s;
    ApplyConfigIni(other, &s);
    EXPECT_EQ(s.refresh, 60u) << hex;
  }
  kis::IniFileW none(plat::Utf8ToUtf16(f.program + "no-config.ini").c_str());
  SCREENPARAMS kept;
  ApplyConfigIni(none, &kept);
  EXPECT_EQ(kept, SCREENPARAMS{}) << "no file: the loaded words stay";
}

TEST(AppServices, WindowPositionsLoseTheMarginsAndTheScaleHalvesUp) {
  ResourceServices& s = GetResourceServices();
  s.screen.rect = DXLRECT{100, 20, 900, 620};
  EXPECT_EQ(WindowToGame(103, 19).x, 3);
  EXPECT_EQ(WindowToGame(103, 19).y, -1);
  s.screen.scaling = true;  // the scale counts only while scaling is on
  s.screen.scale = 2.0f;
  struct Case {
    i32 in, out;
  };
  // 7 / 2 = 3.5 -> 4; -3 / 2 = -1.5 -> -1; 5 / 2 = 2.5 -> 3; 9 / 2 = 4.5 -> 5.
  for (const Case c : {Case{7, 4}, Case{-3, -1}, Case{5, 3}, Case{9, 5}, Case{0, 0}}) {
    EXPECT_EQ(WindowToGame(100 + c.in, 20).x, c.out) << c.in;
    EXPECT_EQ(WindowToGame(100, 20 + c.in).y, c.out) << c.in;
  }
  s.screen.scale = 1.5f;
  EXPECT_EQ(WindowToGame(100 + 4, 20 + 2).x, 3);  // 2.67
  EXPECT_EQ(WindowToGame(100 + 4, 20 + 2).y, 1);  // 1.33
  ResetAllServices();
}

}  // namespace
