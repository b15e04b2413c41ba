#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KgeTestSupport.h"
#include "LanguageTestSupport.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/DXLLngRecords.h"
#include "gametext/GameLanguage.h"
#include "gametext/KGEWinFont.h"
#include "gametext/TextServices.h"
#include "testsupport/TempFolder.h"
#include "testsupport/ViewerRig.h"

namespace {

using lngtest::Dump;
using lngtest::U16;

class LanguageCache : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig_.Open(64, 48), 0);
    GetTextServices().languageViewer = rig_.viewer.get();
    dir_ = temp_.Path();
  }
  void TearDown() override { GetTextServices().languageViewer = nullptr; }

  std::string Loaded(const std::string& path) {
    const std::u16string p = U16(path);
    GameLanguage lang(p.c_str());
    lang.Acquire();
    return Dump(lang);
  }

  viewertest::ViewerRig rig_;
  TempFolder temp_;
  std::string dir_;
};

TEST_F(LanguageCache, SampleLoadsTheSameAsTextTreeSpreadsheetAndCache) {
  const std::string tree = lngtest::SampleCopy(dir_);
  const std::string xml = dir_ + "/english.xml";
  lngtest::WriteBytes(xml, lngtest::TreeToSpreadsheet(tree));
  const std::string cache = dir_ + "/language.dat";
  {
    const std::u16string p = U16(tree);
    GameLanguage lang(p.c_str());
    const std::u16string c = U16(cache);
    ASSERT_EQ(lang.SaveCache(c.c_str()), 0u);
    EXPECT_EQ(lang.GetUseCount(), 0u);
  }
  const std::string fromTree = Loaded(tree);
  EXPECT_EQ(Loaded(xml), fromTree);
  EXPECT_EQ(Loaded(cache), fromTree);

  // The dump holds what the sample says.
  EXPECT_NE(fromTree.find("ident english\n"), std::string::npos);
  EXPECT_NE(fromTree.find("title Tallowmere Farm\n"), std::string::npos);
  EXPECT_NE(fromTree.find("default nf[???]\n"), std::string::npos);
  EXPECT_NE(fromTree.find("logo logo 512x256 ready at 4,0\n"), std::string::npos);
  EXPECT_NE(fromTree.find("loading_logo loading_logo 128x64 ready\n"), std::string::npos);
  EXPECT_NE(fromTree.find("comix intro[Grandma left you her farm.|Time to get your boots dirty!] at 150,262 scale 1\n"),
            std::string::npos);
  EXPECT_NE(fromTree.find("comix letter[A letter waits on the kitchen table.] at 150,262"), std::string::npos);
  EXPECT_NE(fromTree.find("credit 1 size 44 'Tallowmere Farm'\ncredit 1 size 16 ''\n"
                          "credit 1 size 64 'Made by the Morvalen team'\n"
                          "credit 2 size 16 credits_farm 96x48 ready\ncredit 1 size 58 'Thank you for playing!'\n"),
            std::string::npos);
  EXPECT_NE(fromTree.find("font 0 cells 4096 cell height 10"), std::string::npos);
  EXPECT_NE(fromTree.find("font 3 cells 4096 cell height 14"), std::string::npos);
  EXPECT_EQ(fromTree.find("(no font)"), std::string::npos);
  EXPECT_NE(fromTree.find("table video_options_window (2)\n"), std::string::npos);
}

TEST_F(LanguageCache, LanguageReadsItsTextsFromTheCache) {
  const std::string tree = lngtest::SampleCopy(dir_);
  const std::u16string cache = U16(dir_ + "/language.dat");
  {
    const std::u16string p = U16(tree);
    GameLanguage lang(p.c_str());
    ASSERT_EQ(lang.SaveCache(cache.c_str()), 0u);
  }
  GameLanguage lang(cache.c_str());
  // Opening reads the header only.
  EXPECT_EQ(lang.GetTableCount(), 0u);
  EXPECT_EQ(lngtest::U8(lang.GetName()), "English");
  lang.Acquire();
  EXPECT_EQ(lngtest::U8(lang.GetTextByName(u"level_interface", u"feed_hint", false)),
            "Feed the animals so they keep producing.");
  EXPECT_EQ(lngtest::U8(lang.GetTextByName(u"level_interface", u"nothing", true)), "???");
  EXPECT_NE(lang.GetCacheFile(), nullptr);
  lang.Release();
  EXPECT_EQ(lang.GetCacheFile(), nullptr);
  EXPECT_EQ(lang.GetTableCount(), 0u);
  lang.Acquire();  // loads again
  EXPECT_EQ(lang.GetTableCount(), 30u);  // the 29 tables and "comix"
}

// A language whose fonts tests set by hand.
class HandLanguage : public GameLanguage {
 public:
  using GameLanguage::GameLanguage;
  void SetFont(u32 i, KGEFont* font) {
    delete fonts_[i];
    fonts_[i] = font;
  }
};

TEST_F(LanguageCache, SystemFontCannotBeCachedAndLeavesNoFile) {
  kgetest::UseTestFonts();
  const std::string tree = lngtest::SampleCopy(dir_);
  const std::u16string p = U16(tree);
  HandLanguage lang(p.c_str());
  lang.Acquire();  // keeps the data loaded across SaveCache
  KGEWinFont* win = nullptr;
  ASSERT_EQ(KGECreateWinFont(rig_.viewer.get(), 0, 12, 0, 0, 0, 0, 0, 0xFFFFFF, u"Arial", 0, u"AB", 2, 0, nullptr,
                             nullptr, 0, 0, 0xFFFFFFFFu, &win),
            KGE_S_OK);
  lang.SetFont(2, win);
  const std::string cache = dir_ + "/language.dat";
  const std::u16string c = U16(cache);
  EXPECT_EQ(lang.SaveCache(c.c_str()), kGameCacheFont);
  EXPECT_FALSE(std::filesystem::exists(cache));
  EXPECT_FALSE(std::filesystem::exists(cache + ".bak"));

  // A cache that was there before stays as it was.
  lngtest::WriteBytes(cache, "old cache");
  EXPECT_EQ(lang.SaveCache(c.c_str()), kGameCacheFont);
  EXPECT_EQ(lngtest::ReadBytes(cache), "old cache");

  // A missing font fails the same way.
  lang.SetFont(2, nullptr);
  EXPECT_EQ(lang.SaveCache(c.c_str()), kGameCacheFont);
  EXPECT_EQ(lngtest::ReadBytes(cache), "old cache");
  EXPECT_EQ(lang.GetUseCount(), 1u);
}

TEST_F(LanguageCache, UnwritableCacheGivesOne) {
  const std::string tree = lngtest::SampleCopy(dir_);
  const std::u16string p = U16(tree);
  GameLanguage lang(p.c_str());
  const std::u16string c = U16(dir_ + "/no/such/folder/language.dat");
  EXPECT_EQ(lang.SaveCache(c.c_str()), kLngCacheCreateFailed);
  EXPECT_EQ(lang.GetUseCount(), 0u);
}

// --- Caches written by hand --------------------------------------------------------

class CacheWriter {
 public:
  explicit CacheWriter(const std::string& path) : path_(U16(path)) {
    w_ = kis::CreateDataFileWriterW(path_.c_str(), kLngCacheSignature1, kLngCacheSignature2, kLngCacheVersion,
                                    false);
  }
  ~CacheWriter() { Close(); }
  void Close() {
    if (w_) kis::CloseDataFile(w_);
    w_ = nullptr;
  }
  kis::DataFileWriterW* operator->() { return w_; }
  kis::DataFileWriterW* get() { return w_; }
  void U32(u32 v) { LngWriteU32(w_, v); }
  void Str(const std::u16string& s) { LngWriteString(w_, s.data(), static_cast<u32>(s.size())); }
  void Text(const std::u16string& key, const std::vector<std::u16string>& variants) {
    Str(key);
    U32(static_cast<u32>(variants.size()));
    u32 total = 0;
    for (const auto& v : variants) total += static_cast<u32>(v.size());
    U32(total);
    for (const auto& v : variants) Str(v);
  }
  void Header(const std::u16string& nf = u"missing") {
    w_->BeginSection(kis::NameId(u"params"), 1);
    Str(u"test");
    Str(u"Test");
    Text(u"NF", {nf});
    w_->EndSection();
  }
  void Table(u32 index, const std::u16string& name, const std::vector<std::pair<std::u16string, std::u16string>>& texts) {
    w_->BeginSection(kLngTableSection | index, 1);
    Str(name);
    U32(static_cast<u32>(texts.size()));
    for (const auto& t : texts) Text(t.first, {t.second});
    w_->EndSection();
  }

 private:
  std::u16string path_;
  kis::DataFileWriterW* w_ = nullptr;
};

TEST_F(LanguageCache, TablesStopAtTheFirstMissingIndex) {
  const std::string path = dir_ + "/gaps.dat";
  {
    CacheWriter w(path);
    w.Header();
    w.Table(0, u"loading", {{u"caption", u"Wait"}});
    w.Table(1, u"buttons", {{u"ok", u"OK"}});
    w.Table(3, u"levels", {{u"name", u"Day"}});
  }
  const std::u16string p = U16(path);
  GameLanguage lang(p.c_str());
  lang.Acquire();
  EXPECT_EQ(lang.GetTableCount(), 2u);
  EXPECT_EQ(lngtest::U8(lang.GetTextByName(u"buttons", u"ok", false)), "OK");
  EXPECT_EQ(lang.FindTable(u"levels"), nullptr);
  // No game section: the game's part stays empty, with the default text for
  // missing captions and title.
  EXPECT_EQ(lngtest::U8(lang.GetWindowTitle()), "missing");
  EXPECT_EQ(lngtest::U8(lang.FindComix(u"intro")->text->First()), "missing");
}

TEST_F(LanguageCache, DamagedCountsAndSizesAreRefused) {
  const std::string path = dir_ + "/damaged.dat";
  {
    CacheWriter w(path);
    w.Header();
    // Table 0 promises four billion texts and has one.
    w->BeginSection(kLngTableSection | 0, 1);
    w.Str(u"loading");
    w.U32(0xFFFFFFFFu);
    w.Text(u"caption", {u"Wait"});
    w->EndSection();
    // Table 1: a text whose variant count and total are huge.
    w->BeginSection(kLngTableSection | 1, 1);
    w.Str(u"buttons");
    w.U32(2);
    w.Text(u"ok", {u"OK"});
    w.Str(u"no");
    w.U32(0x40000000u);
    w.U32(0x7FFFFFFFu);
    w->EndSection();
    // Table 2: a key of 40 characters.
    w.Table(2, u"levels", {{u"abcdefghijabcdefghijabcdefghijabcdefghij", u"x"}});
    w->BeginSection(kis::NameId(u"game_params"), 1);
    w.U32(0x7FFFFFFFu);  // profile characters that are not there
    w->EndSection();
  }
  const std::u16string p = U16(path);
  GameLanguage lang(p.c_str());
  lang.Acquire();
  ASSERT_EQ(lang.GetTableCount(), 3u);
  EXPECT_EQ(lang.GetTable(0)->GetCount(), 1u);
  EXPECT_EQ(lang.GetTable(1)->GetCount(), 1u);
  EXPECT_EQ(lang.GetTable(2)->GetCount(), 0u);
  EXPECT_EQ(lang.GetProfileChars(), nullptr);
}

TEST_F(LanguageCache, ASectionClaimingMoreThanTheFileIsRefusedAtOpening) {
  // 58 bytes: one table promising four billion texts, whose directory entry
  // claims four gigabytes; reserving by that size would take gigabytes.
  const std::string path = dir_ + "/claims.dat";
  {
    CacheWriter w(path);
    w->BeginSection(kLngTableSection | 0, 1);
    w.Str(u"t");
    w.U32(0xFFFFFFFFu);
    w->EndSection();
  }
  std::string bytes = lngtest::ReadBytes(path);
  ASSERT_EQ(bytes.size(), 58u);
  kis::PutU32LE(&bytes[20 + 10 + 12 + 12], 0xFFFFFFF0u);
  lngtest::WriteBytes(path, bytes);
  const std::u16string p = U16(path);
  GameLanguage lang(p.c_str());
  lang.Acquire();
  EXPECT_EQ(lang.GetTableCount(), 0u);
}

// Writes a cache with a "game_params" section and a "credits" section made
// of the given raw bytes, then loads it.
std::string CreditsCache(const std::string& path, const std::string& credits) {
  CacheWriter w(path);
  w.Header();
  w->BeginSection(kis::NameId(u"game_params"), 1);
  w.U32(0);
  w.U32(0xDEADBEEFu);  // a pointer word: ignored
  w.U32(5);
  w.U32(6);
  w.Text(u"WindowTitle", {u"Title"});
  w->EndSection();
  w->BeginSection(kis::NameId(u"credits"), 1);
  w->Write(credits.data(), static_cast<u32>(credits.size()));
  w->EndSection();
  return path;
}

std::string CreditText(u32 size, u32 length, const std::u16string& chars, bool terminate) {
  std::string r(8, '\0');
  kis::PutU32LE(&r[0], size);
  kis::PutU32LE(&r[4], kCreditText);
  std::string l(4, '\0');
  kis::PutU32LE(&l[0], length);
  r += l;
  for (char16_t c : chars) {
    r += static_cast<char>(c & 0xFF);
    r += static_cast<char>(c >> 8);
  }
  if (terminate) r += std::string(2, '\0');
  while (r.size() < size) r += 'x';
  return r;
}

std::string Count(u32 n) {
  std::string c(4, '\0');
  kis::PutU32LE(&c[0], n);
  return c;
}

TEST_F(LanguageCache, CreditRecordsAreCheckedBeforeTheyAreTrusted) {
  const std::u16string abc = u"abc";
  struct Case {
    const char* what;
    std::string credits;
    u32 kept;
  } cases[] = {
      {"sound", Count(2) + CreditText(20, 3, abc, true) + CreditText(16, 0, u"", true), 2},
      {"no terminator", Count(1) + CreditText(20, 3, u"abcd", false), 0},
      {"size not matching the length", Count(1) + CreditText(40, 3, abc, true), 0},
      {"length past the record", Count(1) + CreditText(20, 300, abc, true), 0},
      {"size past the section", Count(1) + CreditText(20, 3, abc, true).substr(0, 16), 0},
      {"size below 16", Count(2) + CreditText(20, 3, abc, true).replace(0, 1, "\x08"), 0},
      {"count beyond the records", Count(0x7FFFFFFFu) + CreditText(20, 3, abc, true), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::u16string p = U16(CreditsCache(dir_ + "/credits.dat", c.credits));
    GameLanguage lang(p.c_str());
    lang.Acquire();
    EXPECT_EQ(lang.GetCreditCount(), c.kept);
    EXPECT_EQ(lngtest::U8(lang.GetWindowTitle()), "Title");
    EXPECT_EQ(lang.GetLogo().image, nullptr);
    EXPECT_EQ(lang.GetLogo().x, 5);
    if (c.kept) {
      EXPECT_EQ(lngtest::U8(lang.GetCredit(0)->text), "abc");
    }
  }
}

TEST_F(LanguageCache, AFailedRecordEndsOnlyItsOwnSection) {
  const std::string path = dir_ + "/partway.dat";
  {
    CacheWriter w(path);
    w.Header();
    // Table 0 fails at its second text (a key of 40 characters).
    w->BeginSection(kLngTableSection | 0, 1);
    w.Str(u"loading");
    w.U32(3);
    w.Text(u"caption", {u"Wait"});
    w.Text(u"abcdefghijabcdefghijabcdefghijabcdefghij", {u"x"});
    w.Text(u"later", {u"never"});
    w->EndSection();
    w.Table(1, u"buttons", {{u"ok", u"OK"}});
    w->BeginSection(kis::NameId(u"game_params"), 1);
    w.U32(0);
    w.U32(0);
    w.U32(5);
    w.U32(6);
    w.Text(u"WindowTitle", {u"Title"});
    w->EndSection();
    // The logo, then a record whose header is not 12 bytes.
    const std::string tga = lngtest::WhiteTarga(4, 2);
    w->BeginSection(kis::NameId(u"images"), 1);
    w.Str(u"logo");
    w.U32(12);
    w.U32(1);
    w.U32(static_cast<u32>(tga.size()));
    w->Write(tga.data(), static_cast<u32>(tga.size()));
    w.Str(u"broken");
    w.U32(13);
    w->EndSection();
    w->BeginSection(kis::NameId(u"comix_p"), 1);
    w.U32(1);
    for (u32 word : {0u, 7u, 8u, 0x3F800000u}) w.U32(word);
    w.Text(u"intro", {u"Once"});
    w->EndSection();
  }
  const std::u16string p = U16(path);
  GameLanguage lang(p.c_str());
  lang.Acquire();
  ASSERT_EQ(lang.GetTableCount(), 2u);
  EXPECT_EQ(lang.GetTable(0)->GetCount(), 1u);
  EXPECT_EQ(lngtest::U8(lang.GetTextByName(u"buttons", u"ok", false)), "OK");
  EXPECT_EQ(lngtest::U8(lang.GetWindowTitle()), "Title");
  ASSERT_NE(lang.GetImage(u"logo"), nullptr);
  EXPECT_EQ(lang.GetLogo().image, lang.GetImage(u"logo"));
  EXPECT_EQ(lang.GetImage(u"broken"), nullptr);
  EXPECT_EQ(lngtest::U8(lang.FindComix(u"intro")->text->First()), "Once");
  EXPECT_EQ(lang.FindComix(u"intro")->x, 7);
}

TEST_F(LanguageCache, PointerWordsAreWrittenAsZero) {
  const std::string tree = lngtest::SampleCopy(dir_);
  const std::string cache = dir_ + "/language.dat";
  {
    const std::u16string p = U16(tree);
    GameLanguage lang(p.c_str());
    const std::u16string c = U16(cache);
    ASSERT_EQ(lang.SaveCache(c.c_str()), 0u);
  }
  const std::u16string c = U16(cache);
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(c.c_str(), kLngCacheSignature1, kLngCacheSignature2, 1);
  ASSERT_NE(r, nullptr);
  u8 b[16];
  // The logo record after the (empty-free) profile characters.
  ASSERT_TRUE(r->OpenSection(kis::NameId(u"game_params"), 1));
  u32 n = 0;
  ASSERT_TRUE(LngReadU32(r, &n));
  ASSERT_TRUE(r->Seek(4 + 2 * n));
  ASSERT_TRUE(r->Read(b, 12));
  EXPECT_EQ(kis::GetU32LE(b), 0u);
  EXPECT_EQ(kis::GetU32LE(b + 4), 4u);  // the title's horizontal adjustment
  ASSERT_TRUE(r->CloseSection());
  // The first comic record.
  ASSERT_TRUE(r->OpenSection(kis::NameId(u"comix_p"), 1));
  ASSERT_TRUE(LngReadU32(r, &n));
  EXPECT_GE(n, 3u);  // comic 0's three captions come first
  ASSERT_TRUE(r->Read(b, 16));
  EXPECT_EQ(kis::GetU32LE(b), 0u);
  ASSERT_TRUE(r->CloseSection());
  kis::CloseDataFile(r);
}

}  // namespace
