#include <gtest/gtest.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "KgeTestSupport.h"
#include "LanguageTestSupport.h"
#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "gametext/DXLLngRecords.h"
#include "gametext/GameLanguage.h"
#include "gametext/KGEWinFont.h"
#include "gametext/TextServices.h"
#include "platform/os/StdioFile.h"
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
  void TearDown() override {
    GetTextServices().languageViewer = nullptr;
    GetTextServices().allocationHook = nullptr;
  }

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

// A cache writer over a stream the test controls, a disk that fails on cue:
// its writes fail from byte `budget` on, and its position query number
// `failedTell` fails (the header asks first, then every section as it
// begins), so that section cannot begin. It notes where each write began.
class FaultyWriter : public kis::BaseDataFileWriter {
 public:
  FaultyWriter(u64 budget, u32 failedTell)
      : kis::BaseDataFileWriter(kLngCacheSignature1, kLngCacheSignature2, kLngCacheVersion),
        budget_(budget),
        failedTell_(failedTell) {
    file_ = fopencookie(this, "wb", {.read = nullptr, .write = &Put, .seek = &Seek, .close = &Done});
    if (!file_) return;
    std::setvbuf(file_, nullptr, _IONBF, 0);
    writing_ = true;
    state_ = 0;
    if (!Header()) Fail();
  }
  ~FaultyWriter() override { Close(); }

  std::vector<u64> writes;  // where each write began
  u32 tells = 0;            // position queries so far

 protected:
  void Commit() override {}

 private:
  static ssize_t Put(void* self, const char*, size_t n) {
    FaultyWriter* w = static_cast<FaultyWriter*>(self);
    w->writes.push_back(w->at_);
    if (w->at_ + n > w->budget_) {
      errno = ENOSPC;
      return 0;  // nothing written (the C library reads -1 as a count)
    }
    w->at_ += n;
    return static_cast<ssize_t>(n);
  }
  static int Seek(void* self, off64_t* offset, int whence) {
    FaultyWriter* w = static_cast<FaultyWriter*>(self);
    if (whence == SEEK_CUR && *offset == 0) {
      if (w->tells++ == w->failedTell_) return -1;
      *offset = static_cast<off64_t>(w->at_);
      return 0;
    }
    if (whence != SEEK_SET || *offset < 0) return -1;
    w->at_ = static_cast<u64>(*offset);
    return 0;
  }
  static int Done(void*) { return 0; }

  u64 budget_;
  u32 failedTell_;
  u64 at_ = 0;
};

TEST_F(LanguageCache, EveryFailedStepOfTheWriteGivesItsOwnCode) {
  // A small language holding every part of the cache.
  lngtest::WriteBitmapFont(dir_, "f", 5, 9);
  lngtest::WriteBytes(dir_ + "/a.tga", lngtest::WhiteTarga(4, 2));
  std::string fonts;
  for (const char* key : {"buttons_font", "caption_font", "main_font", "main_big_font"})
    fonts += std::string("\t\t") + key + " = \"f.txt\"\n";
  lngtest::WriteBytes(dir_ + "/small.txt",
                      "Language {\n\tIdent = t\n\tNF = nf\n\tProfileChars = AB\n\tWindowTitle = Title\n"
                      "\timages {\n\t\tloading_logo = \"a.tga\"\n\t}\n\tfonts {\n" + fonts + "\t}\n"
                      "\tbuttons {\n\t\tok = OK\n\t}\n\tcomix {\n\t\tintro = Once\n\t}\n"
                      "\tcredits {\n\t\tlines = \"a\"\n\t\timage = \"a.tga\"\n\t}\n}\n");
  const std::u16string p = U16(dir_ + "/small.txt");
  GameLanguage lang(p.c_str());
  lang.Acquire();
  std::vector<u64> writes;
  u32 tells = 0;
  {
    FaultyWriter whole(UINT64_MAX, UINT32_MAX);
    ASSERT_EQ(lang.WriteCache(&whole), 0u);
    writes = whole.writes;
    tells = whole.tells;
  }
  // A section that cannot begin: "params", the 30 tables ("comix" last),
  // "game_params", "images", "comix_p", "credits", "fonts".
  std::vector<u32> begun;
  for (u32 t = 1; t < tells; ++t) {
    FaultyWriter w(UINT64_MAX, t);
    begun.push_back(lang.WriteCache(&w));
  }
  std::vector<u32> sections{10};
  sections.insert(sections.end(), 30, 13);
  sections.insert(sections.end(), {100, 104, 105, 108, 112});
  EXPECT_EQ(begun, sections);
  // A write that fails, each one after the header's in turn (a run of one
  // code written once): the header's strings, its default text, a table's
  // name and count, its texts, then the game's part.
  std::vector<u32> steps;
  for (u64 at : writes) {
    if (at < 20) continue;
    FaultyWriter w(at, UINT32_MAX);
    const u32 code = lang.WriteCache(&w);
    if (steps.empty() || steps.back() != code) steps.push_back(code);
  }
  EXPECT_EQ(steps, (std::vector<u32>{11, 12, 14, 15, 14, 101, 102, 103, 104, 106, 107, 109, 110, 111, 113}));

  // Through SaveCache: a file that cannot be made gives 1; bytes that never
  // reach the disk fail the close, 2; either way the old cache stays.
  const std::u16string unmade = U16(dir_ + "/no/such/folder/language.dat");
  EXPECT_EQ(lang.SaveCache(unmade.c_str()), 1u);
  const std::string cache = dir_ + "/small.dat";
  const std::u16string c = U16(cache);
  lngtest::WriteBytes(cache, "old cache");
  plat::SetWriteFaultAfter(0, plat::WriteFault::AtFlush);
  const u32 unflushed = lang.SaveCache(c.c_str());
  plat::SetWriteFaultAfter(-1);
  EXPECT_EQ(unflushed, 2u);
  EXPECT_EQ(lngtest::ReadBytes(cache), "old cache");
  EXPECT_EQ(lang.SaveCache(c.c_str()), 0u);
  EXPECT_EQ(lang.GetUseCount(), 1u);
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

// Memory that runs out once a list of the language would hold more than
// four items.
bool RefuseMoreThanFourSlots(size_t bytes) { return bytes > 4 * sizeof(void*); }

TEST_F(LanguageCache, ListsThatCannotGrowKeepWhatFitsAndFreeTheRest) {
  // Six tables, comic captions and credit lines, from a source file and
  // from a cache: four of each are kept, the others freed (the leak check
  // sees them go), and loading goes on to the end.
  const char* const names[] = {"loading", "buildings", "plants", "products", "awards", "buttons"};
  std::string tree = "Language {\n\tNF = nf\n";
  for (const char* name : names) tree += std::string("\t") + name + " {\n\t\tk = v\n\t}\n";
  tree += "\tcomix {\n";
  for (int i = 0; i < 6; ++i) tree += "\t\tc" + std::to_string(i) + " = Caption\n";
  tree += "\t}\n\tcredits {\n\t\tlines = \"1\", \"2\", \"3\", \"4\", \"5\", \"6\"\n\t}\n}\n";
  lngtest::WriteBytes(dir_ + "/six.txt", tree);
  const std::string cache = dir_ + "/six.dat";
  {
    CacheWriter w(cache);
    w.Header();
    for (u32 i = 0; i < 6; ++i) w.Table(i, U16(names[i]), {{u"k", u"v"}});
    w->BeginSection(kis::NameId(u"game_params"), 1);
    for (u32 word : {0u, 0u, 0u, 0u}) w.U32(word);
    w.Text(u"WindowTitle", {u"Title"});
    w->EndSection();
    w->BeginSection(kis::NameId(u"comix_p"), 1);
    w.U32(6);
    for (int i = 0; i < 6; ++i) {
      for (u32 word : {0u, 0u, 0u, 0x3F800000u}) w.U32(word);
      w.Text(U16("c" + std::to_string(i)), {u"Caption"});
    }
    w->EndSection();
    w->BeginSection(kis::NameId(u"credits"), 1);
    std::string credits = Count(6);
    for (int i = 0; i < 6; ++i) credits += CreditText(16, 1, U16(std::to_string(i + 1)), true);
    w->Write(credits.data(), static_cast<u32>(credits.size()));
    w->EndSection();
  }
  GetTextServices().allocationHook = &RefuseMoreThanFourSlots;
  for (const std::string& file : {dir_ + "/six.txt", cache}) {
    SCOPED_TRACE(file);
    const std::u16string p = U16(file);
    GameLanguage lang(p.c_str());
    lang.Acquire();
    EXPECT_EQ(lang.GetTableCount(), 4u);
    EXPECT_EQ(lang.FindTable(u"awards"), nullptr);
    EXPECT_EQ(lang.GetComixCount(), 4u);
    EXPECT_EQ(lang.FindComix(u"c4"), &lang.GetMissingComix());
    ASSERT_EQ(lang.GetCreditCount(), 4u);
    EXPECT_EQ(lngtest::U8(lang.GetCredit(3)->text), "4");
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
