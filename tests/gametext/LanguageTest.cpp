#include <gtest/gtest.h>

#include <string>

#include "LanguageTestSupport.h"
#include "gametext/DXLLngFile.h"
#include "gametext/DXLLngFileXML.h"
#include "gametext/GameLanguage.h"
#include "gametext/TextServices.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ViewerRig.h"

namespace {

using lngtest::U16;
using lngtest::U8;

class Language : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig_.Open(64, 48), 0);
    GetTextServices().languageViewer = rig_.viewer.get();
    dir_ = temp_.Path();
  }
  void TearDown() override { GetTextServices().languageViewer = nullptr; }

  // A text tree language of the given body inside "Language { }".
  std::u16string Tree(const std::string& body, const std::string& name = "lang.txt") {
    lngtest::WriteBytes(dir_ + "/" + name, "Language {\n" + body + "}\n");
    return U16(dir_ + "/" + name);
  }

  viewertest::ViewerRig rig_;
  TempFolder temp_;
  std::string dir_;
};

TEST_F(Language, OpenReadsTheHeaderOnly) {
  const std::u16string p = Tree("Ident = farm_en\nName = Farm English\nNF = \"--\"\nbuttons {\n\tok = OK\n}\n");
  GameLanguage lang(p.c_str());
  EXPECT_EQ(U8(lang.GetIdent().name), "farm_en");
  EXPECT_EQ(U8(lang.GetName()), "Farm English");
  EXPECT_EQ(U8(lang.GetDefaultText()->First()), "--");
  EXPECT_EQ(lang.GetTableCount(), 0u);
  EXPECT_EQ(U8(lang.GetTextByName(u"buttons", u"ok", true)), "--");
  lang.Acquire();
  lang.Acquire();
  EXPECT_EQ(lang.GetUseCount(), 2u);
  EXPECT_EQ(U8(lang.GetTextByName(u"buttons", u"ok", true)), "OK");
  EXPECT_EQ(U8(lang.GetText(u"buttons", u"ok", 0, false)), "OK");
  EXPECT_EQ(lang.GetText(u"buttons", u"ok", 1, false), nullptr);  // beyond the variants
  EXPECT_EQ(U8(lang.GetText(u"buttons", u"ok", 1, true)), "--");
  EXPECT_EQ(lang.GetText(u"nowhere", u"ok", 0, false), nullptr);
  EXPECT_EQ(lang.GetTableCount(), 29u);  // every table exists, most empty
  // In this order, which numbers the table sections of a cache.
  const char* const order[29] = {
      "loading",          "buildings",       "plants",        "products",          "awards",
      "buttons",          "bonuses",         "dialogs",       "messages",          "main_screen",
      "menu_window",      "options_window",  "map_interface", "level_interface",   "profiles_window",
      "level_window",     "level_result_window", "warehouse_window", "awards_window", "profile_errors",
      "levels",           "tutorial",        "info_panel",    "bonuses_window",    "regimes",
      "comix_window",     "tasks",           "credits_window", "video_options_window"};
  for (u32 i = 0; i < 29 && i < lang.GetTableCount(); ++i)
    EXPECT_EQ(U8(lang.GetTable(i)->GetName().name), order[i]) << i;
  lang.Release();
  EXPECT_EQ(lang.GetTableCount(), 29u);
  lang.Release();
  EXPECT_EQ(lang.GetTableCount(), 0u);
  lang.Release();  // nothing at 0
  EXPECT_EQ(lang.GetUseCount(), 0u);
  EXPECT_EQ(U8(lang.GetDefaultText()->First()), "--");  // the header stays
}

TEST_F(Language, UnreadableFilesAnswerWithTheDefaultText) {
  std::u16string longPath = U16(dir_ + "/");
  while (longPath.size() < 270) longPath += u"x";
  longPath += u".txt";
  for (const std::u16string& p : {U16(dir_ + "/missing.txt"), U16(dir_ + "/missing.dat"), longPath,
                                  Tree("NF =\n"), Tree("Ident = a b c\nNF = \"\"\n", "b.txt")}) {
    GameLanguage lang(p.c_str());
    EXPECT_EQ(U8(lang.GetWindowTitle()), "?NF?");
    lang.Acquire();
    EXPECT_EQ(lang.GetUseCount(), 1u);
    EXPECT_EQ(U8(lang.GetTextByName(u"loading", u"caption", true)), "?NF?");
    EXPECT_EQ(U8(lang.FindComix(u"intro")->text->First()), "?NF?");
    lang.Release();
  }
  // A text tree without the "Language" node is no language.
  lngtest::WriteBytes(dir_ + "/other.txt", "Other {\n\tNF = x\n}\n");
  const std::u16string other = U16(dir_ + "/other.txt");
  EXPECT_FALSE(DXLLngFileTDR(other.c_str()).IsOpen());
  // A source file named like a cache is read as one, and fails.
  lngtest::WriteBytes(dir_ + "/source.dat", "Language {\n\tNF = x\n}\n");
  const std::u16string dat = U16(dir_ + "/source.dat");
  GameLanguage lang(dat.c_str());
  EXPECT_EQ(U8(lang.GetWindowTitle()), "?NF?");
}

TEST_F(Language, TitleAndProfileCharacters) {
  const std::u16string a = Tree("NF = none\nWindowTitle = \"My Farm\", \"unused\"\nProfileChars = \"AB c\"\n");
  GameLanguage withTitle(a.c_str());
  withTitle.Acquire();
  EXPECT_EQ(U8(withTitle.GetWindowTitle()), "My Farm");
  EXPECT_EQ(U8(withTitle.GetProfileChars()), "AB c");
  EXPECT_EQ(withTitle.GetProfileCharsLength(), 4u);
  // Released to 0 the title goes with the data (it is read again on the
  // next use): the default text answers meanwhile.
  withTitle.Release();
  EXPECT_EQ(U8(withTitle.GetWindowTitle()), "none");
  withTitle.Acquire();
  EXPECT_EQ(U8(withTitle.GetWindowTitle()), "My Farm");
  const std::u16string b = Tree("NF = none\n", "b.txt");
  GameLanguage without(b.c_str());
  without.Acquire();
  EXPECT_EQ(U8(without.GetWindowTitle()), "none");
  EXPECT_EQ(without.GetProfileChars(), nullptr);
}

TEST_F(Language, ImagesAndTheLogoPlace) {
  lngtest::WriteBytes(dir_ + "/pics/a.tga", lngtest::WhiteTarga(4, 2));
  const std::u16string p = Tree("images {\n\tloading_logo = \"pics/a.tga\"\n\tlogo = \"pics/a.tga\", 12, -5\n}\n");
  GameLanguage lang(p.c_str());
  lang.Acquire();
  ASSERT_NE(lang.GetImage(u"loading_logo"), nullptr);
  EXPECT_TRUE(lang.GetImage(u"loading_logo")->IsReady());
  EXPECT_EQ(lang.GetImage(u"loading_logo")->GetImageWidth(), 4);
  EXPECT_EQ(lang.GetLogo().image, lang.GetImage(u"logo"));
  EXPECT_EQ(lang.GetLogo().x, 12);
  EXPECT_EQ(lang.GetLogo().y, -5);
  EXPECT_EQ(lang.GetImage(u"logo")->GetDrawState().blendMode, 1u);
  // The logo's image is one of the language's resources: released with
  // them, the logo place does not keep pointing at it.
  lang.Release();
  EXPECT_EQ(lang.GetImage(u"logo"), nullptr);
  EXPECT_EQ(lang.GetLogo().image, nullptr);

  // A path without coordinates fails the scan: no logo, place 0, 0.
  const std::u16string q = Tree("images {\n\tlogo = \"pics/a.tga\"\n}\n", "q.txt");
  GameLanguage noPlace(q.c_str());
  noPlace.Acquire();
  EXPECT_EQ(noPlace.GetLogo().image, nullptr);
  EXPECT_EQ(noPlace.GetLogo().x, 0);
  EXPECT_EQ(noPlace.GetImage(u"logo"), nullptr);
}

// A language whose comic list's room tests read.
class RoomLanguage : public GameLanguage {
 public:
  using GameLanguage::GameLanguage;
  u32 ComixRoom() const { return comix_.capacity; }
};

TEST_F(Language, ComixCaptionsAndPlaces) {
  const std::u16string p = Tree(
      "NF = nf\n"
      "comix {\n\tfirst_pos = 10, 20\n\tfirst = \"One\", \"Two\"\n\tstray_pos = 1, 1\n\t_pos = bare\n"
      "\tbadplace = x\n\tbadplace_pos = nonsense\n}\n"
      "comix {\n\tsecond = Later\n\tsecond_POS = 7, 8\n\tthird = c\n\tfourth = d\n\tfifth = e\n\tsixth = f\n}\n");
  RoomLanguage lang(p.c_str());
  lang.Acquire();
  ASSERT_EQ(lang.GetComixCount(), 8u);
  // Each section reserves room for its pairs: 6, then 3 held and 6 more.
  EXPECT_EQ(lang.ComixRoom(), 9u);
  const COMIXTEXT* first = lang.FindComix(u"first");
  EXPECT_EQ(first->x, 10);
  EXPECT_EQ(first->y, 20);
  EXPECT_EQ(first->scale, 1.0f);
  EXPECT_EQ(first->text->count, 2u);
  EXPECT_EQ(U8(lang.FindComix(u"_pos")->text->First()), "bare");  // four characters: a caption
  EXPECT_EQ(lang.FindComix(u"badplace")->x, 0);
  EXPECT_EQ(lang.FindComix(u"second")->x, 7);
  const COMIXTEXT* missing = lang.FindComix(u"stray");
  EXPECT_EQ(missing, &lang.GetMissingComix());
  EXPECT_EQ(U8(missing->text->First()), "nf");
  EXPECT_EQ(missing->x, 0);
  EXPECT_EQ(missing->scale, 1.0f);
  EXPECT_NE(lang.FindTable(u"comix"), nullptr);
}

TEST_F(Language, CreditsKeepTheirOrder) {
  lngtest::WriteBytes(dir_ + "/farm.tga", lngtest::WhiteTarga(2, 2));
  const std::u16string p =
      Tree("credits {\n\tlines = \"a\", \"bb\", \"ccc\"\n\tother = skipped\n\timage = \"farm.tga\"\n"
           "\timage = \"missing.tga\"\n\tlines = last\n}\n");
  GameLanguage lang(p.c_str());
  lang.Acquire();
  // The missing picture still makes a resource; its texture stays empty.
  ASSERT_EQ(lang.GetCreditCount(), 6u);
  EXPECT_EQ(U8(lang.GetCredit(0)->text), "a");
  EXPECT_EQ(lang.GetCredit(0)->size, 16u);
  EXPECT_EQ(U8(lang.GetCredit(2)->text), "ccc");
  EXPECT_EQ(lang.GetCredit(2)->size, 20u);
  EXPECT_EQ(lang.GetCredit(3)->kind, kCreditImage);
  EXPECT_EQ(lang.GetCredit(3)->image, lang.GetImage(u"farm"));
  EXPECT_TRUE(lang.GetCredit(3)->image->IsReady());
  EXPECT_FALSE(lang.GetCredit(4)->image->IsReady());
  EXPECT_EQ(U8(lang.GetCredit(5)->text), "last");
}

TEST_F(Language, FontsGivenAsSectionsOrMissingAreNull) {
  lngtest::WriteBitmapFont(dir_, "f", 5, 9);
  const std::u16string p = Tree(
      "fonts {\n\tbuttons_font {\n\t\tx = 1\n\t}\n\tbuttons_font {\n\t}\n\tcaption_font = \"f.txt\"\n"
      "\tmain_font = \"nothing.txt\"\n\tmain_big_font = \"f.txt\"\n}\n");
  GameLanguage lang(p.c_str());
  lang.Acquire();
  EXPECT_EQ(lang.GetFont(0), nullptr);
  ASSERT_NE(lang.GetFont(1), nullptr);
  EXPECT_EQ(lang.GetFont(1)->GetCellHeight(), 9);
  EXPECT_EQ(lang.GetFont(1)->GetUseCount(), 1u);
  EXPECT_EQ(lang.GetFont(2), nullptr);
  EXPECT_NE(lang.GetFont(3), nullptr);
  lang.Release();
  EXPECT_EQ(lang.GetFont(1), nullptr);
}

TEST_F(Language, SpreadsheetFontSectionDoesNotLoseTheFontsAfterIt) {
  lngtest::WriteBitmapFont(dir_, "f", 5, 9);
  auto row = [](const std::string& a, const std::string& b) {
    return "<Row><Cell><Data>" + a + "</Data></Cell><Cell><Data>" + b + "</Data></Cell></Row>";
  };
  lngtest::WriteBytes(dir_ + "/lang.XML", row("[fonts]", "") + row("main_font", "f.txt") +
                                              row("main_big_font", "f.txt") + row("[caption_font]", "") +
                                              row("x", "1"));
  const std::u16string p = U16(dir_ + "/lang.XML");
  GameLanguage lang(p.c_str());
  lang.Acquire();
  EXPECT_EQ(lang.GetFont(1), nullptr);
  EXPECT_NE(lang.GetFont(2), nullptr);
  EXPECT_NE(lang.GetFont(3), nullptr);
}

TEST_F(Language, RepeatedSectionsMergeIntoOneTable) {
  const std::u16string p = Tree("buildings {\n\tbarn = Barn\n\tmill = Mill\n}\nbuildings {\n\tmill = Windmill\n"
                                "\twell = Well\n}\n");
  GameLanguage lang(p.c_str());
  lang.Acquire();
  const DXLLngTable* t = lang.FindTable(u"buildings");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->GetCount(), 3u);
  EXPECT_EQ(U8(lang.GetTextByName(u"buildings", u"mill", false)), "Windmill");
  EXPECT_EQ(U8(lang.GetTextByName(u"BUILDINGS", u"Well", false)), "Well");
  // Tables added under one name stay apart; a look-up finds the first.
  const DXLLngTable* again = lang.AddTable(u"Buildings");
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, t);
  EXPECT_EQ(lang.FindTable(u"buildings"), t);
}

TEST_F(Language, ReaderKindFollowsTheExtension) {
  GameLanguage lang(u"none.txt");
  for (const char16_t* xml : {u"a.xml", u"a.XmL"}) {
    std::unique_ptr<DXLLngFile> r(lang.CreateReader(xml));
    EXPECT_NE(dynamic_cast<DXLLngFileXML*>(r.get()), nullptr);
  }
  for (const char16_t* tree : {u"a.txt", u"a.xmlx", u"a.xm", u"xml"}) {
    std::unique_ptr<DXLLngFile> r(lang.CreateReader(tree));
    EXPECT_NE(dynamic_cast<DXLLngFileTDR*>(r.get()), nullptr);
  }
}

}  // namespace
