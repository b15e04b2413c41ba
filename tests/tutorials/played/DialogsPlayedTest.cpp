// Every message dialog the game's code opens, opened in the running game on
// the sample data set at 800 x 600, each from the window or the moment that
// opens it for a player: the profile store's error (which it opens only on a
// failed save, asked here of the store), the profiles window's delete
// question (naming its row's farmer), the close-tutorial question of level
// 1's "Got it", the level menu's quit question, the level window's restart question for a day kept
// unfinished, the lose dialog. Each shows its caption and its message, the
// two level questions are written for a person to look at
// (dialog_close_tutorial_c.png, dialog_quit_c.png), and at the end the log
// holds no look-up missed. The dialogs the sources open are listed below
// (the sources are read): a dialog opened there without an entry, or an
// entry no source opens, fails the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "../../app/scene/RunningGame.h"
#include "app/LevelSelectMap.h"
#include "app/MainScreen.h"
#include "app/MapNodes.h"
#include "app/Profile.h"
#include "app/ProfileStore.h"
#include "engine/DXLMouse.h"
#include "gametext/KGEBaseTextSprite.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/GameLevel.h"
#include "resources/ResourceServices.h"
#include "tutorials/TutorialMaker.h"
#include "ui/BaseDialogWindow.h"
#include "ui/NarrowButton.h"
#include "ui/WindowManager.h"
#include "windows/LevelMenuHandler.h"
#include "windows/LevelPanel.h"
#include "windows/LevelPanelHost.h"
#include "windows/LevelWindow.h"
#include "windows/MenuWindow.h"
#include "windows/PanelSkins.h"
#include "windows/ProfilesWindow.h"

namespace {

// A dialog by the source file that opens it and what names it there: the
// caption key it opens with, or the dialog's class.
using DialogSite = std::pair<std::string, std::string>;

const std::set<DialogSite> kDialogs = {
    {"app/GameProfiles.cpp", "ProfileErrorDialog"},      // the store's error
    {"windows/ProfilesWindow.cpp", "delete_profile_c"},  // a row's cross
    {"windows/LevelPanel.cpp", "close_tutorial_c"},      // "Got it"
    {"windows/LevelMenuHandler.cpp", "quit_c"},          // the menu's "Quit"
    {"windows/LevelWindow.cpp", "restart_c"},            // "Restart" of a day kept
    {"level/rules/LevelTasks.cpp", "game_over"},         // the day lost
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The dialogs the sources open: an object's OpenedDialog opened with a
// caption key, a DialogWindow made with its caption, a dialog class of the
// game's made.
std::set<DialogSite> DialogsInSources(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
    const std::string ext = e.path().extension().string();
    if (e.is_regular_file() && (ext == ".cpp" || ext == ".h"))
      files[std::filesystem::relative(e.path(), root).generic_string()] = ReadFile(e.path());
  }
  std::set<std::string> openers, classes;
  static const std::regex opener(R"(\bOpenedDialog\s+(\w+)\s*;)"),
      derived(R"(\bclass\s+(\w+)\s*(final\s*)?:\s*public\s+(Base)?DialogWindow\b)");
  for (const auto& [path, text] : files) {
    for (auto it = std::sregex_iterator(text.begin(), text.end(), opener); it != std::sregex_iterator(); ++it)
      openers.insert((*it)[1]);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), derived); it != std::sregex_iterator(); ++it)
      classes.insert((*it)[1]);
  }
  std::set<DialogSite> sites;
  static const std::regex caption(R"re(^\s*(?:\w+\()?u"(\w+)")re");
  for (const auto& [path, text] : files) {
    if (path == "ui/BaseDialogWindow.cpp" || !path.ends_with(".cpp")) continue;  // the dialogs' own code
    for (const std::string& o : openers) {
      const std::regex open("\\b" + o + "\\s*\\.\\s*Open\\s*\\(([^,]*),");
      for (auto it = std::sregex_iterator(text.begin(), text.end(), open); it != std::sregex_iterator(); ++it) {
        std::smatch m;
        const std::string first = (*it)[1];
        sites.emplace(path, std::regex_search(first, m, caption) ? std::string(m[1]) : first);
      }
    }
    static const std::regex made(R"(\bnew\s+(\w+)\s*\(([^,]*),)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), made); it != std::sregex_iterator(); ++it) {
      const std::string kind = (*it)[1], first = (*it)[2];
      std::smatch m;
      if (kind == "DialogWindow" || kind == "BaseDialogWindow")
        sites.emplace(path, std::regex_search(first, m, caption) ? std::string(m[1]) : first);
      else if (classes.count(kind))
        sites.emplace(path, kind);
    }
  }
  return sites;
}

class DialogsPlayed : public ::testing::Test {
 protected:
  DialogsPlayed() : run(800, 600, false, false, nullptr, &maker) {}

  void Frames(int n) {
    for (int i = 0; i < n; ++i) run.Frame();
  }
  void Key(u16 key) {
    run.game.KeyDown(key, 0);
    run.game.KeyUp(key, 0);
    Frames(20);
  }
  // The message dialog on the window stack, shown with a caption and a
  // message that are not the language's stand-in for a missing text.
  BaseDialogWindow* OpenDialog() {
    const kis::list<GameWindow*>& stack = GetWindowManager()->GetStack();
    for (i32 i = stack.GetCount(); i-- > 0;)
      if (auto* dialog = dynamic_cast<BaseDialogWindow*>(stack.Get(i))) return dialog;
    return nullptr;
  }
  // The dialog `site` opened: it stands with its texts; Escape answers it.
  void Answered(const DialogSite& site, bool shot = false) {
    Frames(30);
    BaseDialogWindow* dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr) << site.second << " did not open";
    ASSERT_NE(dialog->GetMessageText(), nullptr) << site.second;
    EXPECT_GT(dialog->GetMessageText()->GetWidth(), 0) << site.second;
    if (shot) {
      EXPECT_TRUE(run.Shot("dialog_" + site.second + ".png"));
    }
    opened.insert(site);
    Key(plat::DIK_ESCAPE);
    EXPECT_NE(OpenDialog(), dialog) << site.second << " stays after Escape";
  }

  TutorialMaker maker;  // before the game, which is handed it
  RunningGame run;
  std::set<DialogSite> opened;
};

TEST_F(DialogsPlayed, EveryDialogTheSourcesOpenOpensInTheGameWithItsTexts) {
  const std::set<DialogSite> sources = DialogsInSources(std::filesystem::path(TM_TESTS_DIR) / ".." / "src");
  for (const DialogSite& s : sources)
    EXPECT_TRUE(kDialogs.count(s)) << s.first << " opens the dialog " << s.second << ", which this test does not open";
  for (const DialogSite& s : kDialogs)
    EXPECT_TRUE(sources.count(s)) << "no source opens " << s.first << " " << s.second;

  ASSERT_TRUE(run.ok);
  ASSERT_TRUE(run.RunTo(kGameStateMainScreen));
  run.NameFirstProfile(u"Ann");
  Profile* profile = run.game.Profiles()->GetCurrent();
  ASSERT_NE(profile, nullptr);
  profile->SetTutorials(true);
  Frames(30);

  // The store's error dialog, for each of its texts.
  for (i32 code : {kProfileNameEmpty, kProfileNameUsed, 31}) {
    run.game.Profiles()->ShowError(code);
    Answered({"app/GameProfiles.cpp", "ProfileErrorDialog"});
  }
  // The profiles window from the main screen's greeting, Bob's row's cross
  // (Ann is current): the question's "[profile N]" names Bob.
  Profile* bob = nullptr;
  ASSERT_EQ(run.game.Profiles()->CreateProfile(u"Bob", &bob), 0);
  MainScreenMenu* menu = run.game.GetMainScreen()->GetMenu();
  menu->OnCommand(menu->GetGreeting());
  Frames(30);
  auto* profiles = static_cast<ProfilesWindow*>(GetWindowManager()->FindWindow(ProfilesWindow::kId));
  ASSERT_NE(profiles, nullptr);
  profiles->OnCommand(profiles->GetRow(profiles->GetRow(0)->GetProfile() == bob ? 0 : 1)->GetCross());
  Frames(30);
  ASSERT_NE(OpenDialog(), nullptr);
  const KGETEXTPARAMS& asked = OpenDialog()->GetMessageText()->GetParams();
  wchar name[64] = {};
  u32 length = 0;
  GetResourceServices().itemDescription(u"profile N", 9, name, 63, &length, asked.context1, asked.context2);
  EXPECT_EQ(std::u16string(name, length), u"Bob");
  EXPECT_NE(std::u16string(SectionText(u"profiles_window", u"delete_profile")).find(u"[profile N]"), std::u16string::npos);
  Answered({"windows/ProfilesWindow.cpp", "delete_profile_c"});
  Key(plat::DIK_ESCAPE);
  ASSERT_EQ(GetWindowManager()->FindWindow(ProfilesWindow::kId), nullptr);

  // Level 1 with its tutorial: "Got it" asks whether to skip the hints.
  run.game.ChooseRegime();
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  Frames(60);
  run.game.Map()->StartLevel(0, true);
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  LevelPanelHost* host = run.game.World().Panel();
  ASSERT_TRUE(host && host->GetPanel());
  LevelPanel* panel = host->GetPanel();
  Key(plat::DIK_RETURN);  // the day starts
  for (int i = 0; i < 300 && !panel->GetTutorialButton(); ++i) Frames(1);
  ASSERT_NE(panel->GetTutorialButton(), nullptr);
  Frames(30);
  panel->OnCommand(panel->GetTutorialButton());
  Answered({"windows/LevelPanel.cpp", "close_tutorial_c"}, true);

  // The menu's "Quit" asks before the game ends.
  host->OpenMenu(false);
  Frames(30);
  MenuWindow* levelMenu = GetOpenMenuWindow();
  ASSERT_NE(levelMenu, nullptr);
  levelMenu->OnCommand(levelMenu->FindControl(kMenuQuit, 0));
  Answered({"windows/LevelMenuHandler.cpp", "quit_c"}, true);
  // Left for the map (the day kept): its window offers "Restart", which asks.
  ASSERT_NE(GetOpenMenuWindow(), nullptr);
  GetOpenMenuWindow()->OnCommand(GetOpenMenuWindow()->FindControl(kMenuToMap, 0));
  ASSERT_TRUE(run.RunTo(kGameStateLevelMap));
  Frames(60);
  LevelSelectMap* map = run.game.Map();
  const DXLPOINT node = map->ToScreen(map->GetNode(0)->GetX(), map->GetNode(0)->GetY());
  map->OnMouseMove(node.x, node.y, 0, 0);
  map->OnMouseDown(node.x, node.y, kMouseLeft, 0);
  Frames(30);
  LevelWindow* window = FindWindowOf<LevelWindow>();
  ASSERT_NE(window, nullptr);
  ASSERT_NE(window->FindControl(kLevelWindowRestart, 0), nullptr) << "the day was not kept";
  window->OnCommand(window->FindControl(kLevelWindowRestart, 0));
  Answered({"windows/LevelWindow.cpp", "restart_c"});
  // Back to the day, which is lost.
  window = FindWindowOf<LevelWindow>();
  ASSERT_NE(window, nullptr) << "the restart question's no closed the level window";
  ASSERT_NE(window->FindControl(kLevelWindowContinue, 0), nullptr);
  window->OnCommand(window->FindControl(kLevelWindowContinue, 0));
  ASSERT_TRUE(run.RunTo(kGameStateLevel));
  Frames(30);
  GameLevel* level = run.game.World().Level();
  ASSERT_NE(level, nullptr);
  level->Rules().Tasks().Lose(0);
  Answered({"level/rules/LevelTasks.cpp", "game_over"});

  EXPECT_EQ(opened, kDialogs);
  std::ifstream log(run.Folder().File("log.txt"));
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_EQ(text.str().find("look-up missed:"), std::string::npos) << text.str();
}

}  // namespace
