#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/text/TdrDocument.h"
#include "base/text/TdrRowReader.h"
#include "platform/encoding/CodePage.h"
#include "platform/encoding/Utf.h"

namespace {

using kis::TdrDocument;

// Test cases run in parallel processes: every file name carries the test's name.
std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "tdr_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

std::u16string WriteFile(const std::string& name, const std::string& bytes) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return plat::Utf8ToUtf16(path);
}

std::string Utf16Bytes(const std::u16string& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

// Loads 8-bit or UTF-8 text written as-is; null when the load fails.
std::unique_ptr<TdrDocument> LoadBytes(const std::string& bytes, const std::string& name = "doc.txt") {
  const std::u16string path = WriteFile(name, bytes);
  TdrDocument* doc = nullptr;
  if (!kis::LoadTdrDocument(path.c_str(), &doc)) return nullptr;
  return std::unique_ptr<TdrDocument>(doc);
}

// The tree below the current node as text: name{attr=value;...child{...}}.
std::u16string Dump(TdrDocument& doc, kis::TdrNode* node) {
  std::u16string out = node->name ? node->name : u"";
  out += u"{";
  for (u32 i = 0; i < node->attributes.Count(); ++i) {
    const kis::TDRATTRIBUTE& a = node->attributes[i];
    out += std::u16string(a.name, a.nameLength) + u"=" + std::u16string(a.name + a.valueOffset, a.valueLength) + u";";
  }
  for (u32 i = 0; i < node->children.Count(); ++i) out += Dump(doc, node->children[i]);
  return out + (node->closed ? u"}" : u"?");
}

const std::u16string kDocument =
    u"<charset=\"windows-1251\">\r\n"
    u"// the farm's texts\r\n"
    u"title = \"\u0424\u0435\u0440\u043C\u0430\"\r\n"
    u"size = 800, 600   \r\n"
    u"menu {\r\n"
    u"\tcaption = \u0413\u043B\u0430\u0432\u043D\u043E\u0435\r\n"
    u"\titem = 1\r\n"
    u"\titem = 2\r\n"
    u"\tsub {\r\n"
    u"\t\tdeep = x\r\n"
    u"\t}\r\n"
    u"}\r\n"
    u"empty { }\r\n"
    u"last = end";

TEST(TdrDocument, OneDocumentReadsTheSameFromEveryEncoding) {
  std::string ansi;
  ASSERT_TRUE(plat::WideToMultiByte(1251, kDocument, ansi));
  const std::string files[] = {"\xEF\xBB\xBF" + plat::Utf16ToUtf8(kDocument), Utf16Bytes(kDocument, false),
                               Utf16Bytes(kDocument, true), ansi};
  std::u16string first;
  for (const std::string& bytes : files) {
    auto doc = LoadBytes(bytes);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->GetCodePage(), 1251u);
    const std::u16string dump = Dump(*doc, doc->GetRoot());
    if (first.empty()) first = dump;
    EXPECT_EQ(dump, first);
    char16_t title[16];
    EXPECT_EQ(doc->ReadStringW(u"title", title, 16, u""), 5u);
    EXPECT_EQ(std::u16string(title), u"\u0424\u0435\u0440\u043C\u0430");
    char titleA[16];
    EXPECT_EQ(doc->ReadStringA("title", titleA, 16, ""), 5u);
    EXPECT_STREQ(titleA, "\xD4\xE5\xF0\xEC\xE0");
  }
  EXPECT_EQ(first,
            u"{title=\"\u0424\u0435\u0440\u043C\u0430\";size=800, 600;last=end;"
            u"menu{caption=\u0413\u043B\u0430\u0432\u043D\u043E\u0435;item=1;item=2;sub{deep=x;}}empty{}}");
}

TEST(TdrDocument, EightBitTextWithoutADeclarationUsesTheAnsiCodePage) {
  auto doc = LoadBytes("a = \"\xC6\"\n");
  ASSERT_TRUE(doc);
  char16_t v[4];
  doc->ReadStringW(u"a", v, 4, u"");
  EXPECT_EQ(std::u16string(v), u"\u00C6");
  EXPECT_EQ(doc->GetCodePage(), 0u);
  auto koi = LoadBytes("< charset = KOI8-R >\na = \xE1\n");
  ASSERT_TRUE(koi);
  koi->ReadStringW(u"a", v, 4, u"");
  EXPECT_EQ(std::u16string(v), u"\u0410");
}

TEST(TdrDocument, MultiBytePagesCannotLoad) {
  EXPECT_FALSE(LoadBytes("<charset=shift-jis>\na = \x93\xFA\n"));
  EXPECT_FALSE(LoadBytes("<charset=hz-gb2312>\na = 1\n"));
}

TEST(TdrDocument, MarksAndEmptyFiles) {
  auto bomOnly = LoadBytes("\xEF\xBB\xBF");
  ASSERT_TRUE(bomOnly);
  EXPECT_EQ(bomOnly->GetAttributeCount(), 0u);
  EXPECT_TRUE(LoadBytes("\xFF\xFE"));
  EXPECT_FALSE(LoadBytes("// only\r\n// comments\r\n"));
  EXPECT_FALSE(LoadBytes(std::string("\xFF\xFE\0\0a\0\0\0", 8)));  // UTF-32
  EXPECT_FALSE(LoadBytes(std::string("\0\0\xFE\xFF\0\0\0a", 8)));
  EXPECT_FALSE(LoadBytes(std::string("\xFF\xFE" "a\0=\0" "1", 7)));  // odd UTF-16 length
  TdrDocument doc;
  EXPECT_TRUE(doc.SetFileName(plat::Utf8ToUtf16(TempPath("missing.txt")).c_str()));
  EXPECT_FALSE(doc.Load());
}

TEST(TdrDocument, SizeLimitsDependOnTheEncoding) {
  std::string big = "a = 1\n";
  big.resize(4194305, ' ');
  EXPECT_FALSE(LoadBytes(big, "big.txt"));
  auto utf8 = LoadBytes("\xEF\xBB\xBF" + big.substr(0, big.size() - 3), "big8.txt");
  ASSERT_TRUE(utf8);
  EXPECT_EQ(utf8->ReadInt(u"a", 0), 1);
  big.resize(4194304);
  EXPECT_TRUE(LoadBytes(big, "big.txt"));
  std::string huge(8388609, ' ');
  huge.replace(0, 9, "\xEF\xBB\xBF" "a = 1\n");
  EXPECT_FALSE(LoadBytes(huge, "huge.txt"));
}

TEST(TdrDocument, BracesMustBalance) {
  EXPECT_FALSE(LoadBytes("a = 1\n}\n"));
  EXPECT_FALSE(LoadBytes("a {\nb = 1\n"));
  EXPECT_TRUE(LoadBytes("a {\nb = 1\n}"));  // last line without a newline
  EXPECT_FALSE(LoadBytes("v {} x\n"));  // not only braces after "{": an open block
  EXPECT_TRUE(LoadBytes("v {} x\n}\n"));
  auto doc = LoadBytes("x { }\ny = 2\nz {} // none\nw = 3\n");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->GetAttributeCount(), 2u);  // y and w stay at the root
  EXPECT_EQ(doc->GetRoot()->children.Count(), 2u);
  EXPECT_TRUE(doc->GetRoot()->children[1]->closed);
}

TEST(TdrDocument, DeepNestingFailsCleanlyAndModerateNestingLoads) {
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "a {\n";
  for (int i = 0; i < 100000; ++i) deep += "}\n";
  EXPECT_FALSE(LoadBytes(deep, "deep.txt"));
  std::string ok;
  for (u32 i = 0; i < kis::kMaxTdrDepth; ++i) ok += "a {\n";
  ok += "leaf = 1\n";
  for (u32 i = 0; i < kis::kMaxTdrDepth; ++i) ok += "}\n";
  auto doc = LoadBytes(ok, "deep_ok.txt");
  ASSERT_TRUE(doc);
  std::u16string path = u"a";
  for (u32 i = 1; i < kis::kMaxTdrDepth; ++i) path += u"\\a";
  ASSERT_TRUE(doc->FindChild(path.c_str(), false));
  EXPECT_EQ(doc->ReadInt(u"leaf", 0), 1);
}

TEST(TdrDocument, NamesMatchIgnoringCaseAndRepeatsAreWalkedInOrder) {
  auto doc = LoadBytes("a = 1\nA = 2\nb = 3\n");
  ASSERT_TRUE(doc);
  char16_t v[8];
  EXPECT_EQ(doc->ReadStringExW(u"a", false, v, 8, u"-"), 1u);
  EXPECT_EQ(std::u16string(v), u"1");
  EXPECT_EQ(doc->ReadStringExW(u"a", false, v, 8, u"-"), 1u);
  EXPECT_EQ(std::u16string(v), u"2");
  EXPECT_EQ(doc->ReadStringExW(u"a", false, v, 8, u"-"), 1u);
  EXPECT_EQ(std::u16string(v), u"-");
  EXPECT_EQ(doc->GetStatus(), kis::kTdrNotFound);
  EXPECT_EQ(doc->ReadStringExW(u"a", true, v, 8, u"-"), 1u);
  EXPECT_EQ(std::u16string(v), u"1");
  EXPECT_EQ(doc->ReadInt(u"a", 0), 1);
  EXPECT_EQ(doc->ReadInt(u"A", 0), 1);
  EXPECT_EQ(doc->ReadInt(u"a b", 7), 7);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrBadName);
  EXPECT_EQ(doc->ReadInt(u"", 7), 7);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrBadName);
  EXPECT_FALSE(doc->HasAttribute(u"c"));
  EXPECT_EQ(doc->GetStatus(), kis::kTdrNotFound);
  EXPECT_TRUE(doc->HasAttribute(u"B"));
  EXPECT_EQ(doc->GetStatus(), 0u);
}

TEST(TdrDocument, ValuesAreRawUntilReadTyped) {
  auto doc = LoadBytes(
      "key = 12 // note\nq = \"quoted\"   // c\nt = trailing  \t\ne =\nbad = 12x\nh = 0x1F\nc = 'z'\n"
      "u = \"unterminated\n");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->ReadInt(u"key", 0), 12);
  char16_t v[32];
  EXPECT_EQ(doc->ReadStringW(u"key", v, 32, u""), 10u);
  EXPECT_EQ(std::u16string(v), u"12 // note");
  doc->ReadStringW(u"q", v, 32, u"");
  EXPECT_EQ(std::u16string(v), u"quoted");
  u32 length = 0;
  EXPECT_EQ(std::u16string(doc->GetValue(u"t", &length)), u"trailing");
  EXPECT_EQ(length, 8u);
  EXPECT_EQ(std::u16string(doc->GetValue(u"e", &length)), u"");
  EXPECT_EQ(doc->ReadInt(u"bad", -1), -1);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrMalformed);
  EXPECT_EQ(doc->ReadHex(u"h", 0), 0x1Fu);
  EXPECT_EQ(doc->ReadChar(u"c", 0), u'z');
  EXPECT_EQ(doc->ReadStringW(u"u", v, 32, u"dflt"), 4u);
  EXPECT_EQ(std::u16string(v), u"dflt");
  EXPECT_EQ(doc->GetStatus(), kis::kTdrMalformed);
}

TEST(TdrDocument, StringReadsReportCutsCountsAndBadBuffers) {
  auto doc = LoadBytes("name = \"abcdef\"\n");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->ReadStringW(u"name", nullptr, 0, u""), 6u);
  EXPECT_EQ(doc->ReadStringW(u"missing", nullptr, 0, u"xyz"), 3u);
  char16_t v[4];
  EXPECT_EQ(doc->ReadStringW(u"name", v, 4, u""), 3u);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrCut);
  EXPECT_EQ(doc->ReadStringW(u"missing", v, 4, u"defaults"), 3u);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrNotFound | kis::kTdrCut);
  EXPECT_EQ(doc->ReadStringW(u"name", nullptr, 4, u""), 0u);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrBadArgument);
}

TEST(TdrDocument, NavigationByPathAndSiblings) {
  auto doc = LoadBytes("a {\n b {\n  v = 1\n }\n b {\n  v = 2\n }\n}\nc {\n}\n");
  ASSERT_TRUE(doc);
  ASSERT_TRUE(doc->FindChild(u"c", false));
  ASSERT_TRUE(doc->FindChild(u" a \\\\ b ", false));
  EXPECT_EQ(doc->ReadInt(u"v", 0), 1);
  EXPECT_TRUE(doc->NextSibling());
  EXPECT_EQ(doc->ReadInt(u"v", 0), 2);
  EXPECT_FALSE(doc->NextSibling());
  kis::TdrNode* here = doc->GetCurrentNode();
  EXPECT_FALSE(doc->FindChild(u"x", true));
  EXPECT_EQ(doc->GetStatus(), kis::kTdrChildNotFound);
  EXPECT_FALSE(doc->FindChild(u"a\\b c", false));
  EXPECT_EQ(doc->GetStatus(), kis::kTdrBadPath);
  EXPECT_FALSE(doc->FindChild(u" \\ ", false));
  EXPECT_EQ(doc->GetStatus(), kis::kTdrBadPath);
  EXPECT_EQ(doc->GetCurrentNode(), here);
  EXPECT_TRUE(doc->GoParent());
  EXPECT_TRUE(doc->GoRoot());
  EXPECT_FALSE(doc->GoRoot());
  EXPECT_FALSE(doc->GoParent());
  EXPECT_FALSE(doc->NextSibling());
  EXPECT_EQ(doc->GetAttributeName(doc->GetAttributeCount(), nullptr), nullptr);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrNotFound);
  // Attributes by index: names and values with their lengths; none beyond.
  auto pairs = LoadBytes("key = value\nk2 = 7\n");
  ASSERT_TRUE(pairs);
  ASSERT_EQ(pairs->GetAttributeCount(), 2u);
  u32 length = 99;
  const char16_t* name = pairs->GetAttributeName(1, &length);
  EXPECT_EQ(std::u16string(name, length), u"k2");
  const char16_t* value = pairs->GetAttributeValue(0, &length);
  EXPECT_EQ(std::u16string(value, length), u"value");
  EXPECT_EQ(pairs->GetStatus(), 0u);
  EXPECT_EQ(pairs->GetAttributeValue(2, &length), nullptr);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(pairs->GetStatus(), kis::kTdrNotFound);
}

TEST(TdrDocument, FormatReadsFillVariablesAndRecords) {
  auto doc = LoadBytes(
      "size = 800, 600\nrect = 1, 2, 3, 4\nlogo = \"img\\\\logo.tga\", 10, 20\npairs = (1,2),(3,4),(5,6)\n"
      "bad = 1, x\n");
  ASSERT_TRUE(doc);
  i32 w = 0, h = 0;
  EXPECT_EQ(doc->ReadValues(u"size", u"i4,i4", 1, &w, &h), 1u);
  EXPECT_EQ(h, 600);
  i32 r[4] = {};
  EXPECT_EQ(doc->ReadValues(u"rect", u"l,l,l,l", 1, &r[0], &r[1], &r[2], &r[3]), 1u);
  EXPECT_EQ(r[3], 4);
  char16_t path[260];
  i32 x = 0, y = 0;
  EXPECT_EQ(doc->ReadValues(u"logo", u"Z[260],l,l", 1, &path, &x, &y), 1u);
  EXPECT_EQ(std::u16string(path), u"img\\logo.tga");
  EXPECT_EQ(y, 20);
  EXPECT_EQ(doc->CountValues(u"pairs", u"i4,i4"), 3u);
  struct Pair {
    i32 a, b;
  } pairs[2] = {};
  EXPECT_EQ(doc->ReadArray(u"pairs", u"i4,i4", pairs), 2u);
  EXPECT_EQ(pairs[1].b, 4);
  EXPECT_EQ(doc->ReadValues(u"bad", u"i4,i4", 1, &w, &h), 0u);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrMalformed);
  i16 narrow = 0;
  EXPECT_EQ(doc->ReadValues(u"size", u"i4", 1, &narrow), 0u);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrBadArgument);
  EXPECT_EQ(doc->ReadValuesAt(99, u"i4", 1, &w), 0u);
  EXPECT_EQ(doc->GetStatus(), kis::kTdrNotFound);
}

TEST(TdrDocument, FileNamesAreBounded) {
  TdrDocument doc;
  EXPECT_FALSE(doc.SetFileName(u""));
  EXPECT_FALSE(doc.SetFileName(std::u16string(260, u'a').c_str()));
  EXPECT_TRUE(doc.SetFileName(std::u16string(259, u'a').c_str()));
  char16_t name[8];
  EXPECT_EQ(doc.GetFileName(name, 8), 7u);
  EXPECT_EQ(doc.GetStatus(), kis::kTdrCut);
  EXPECT_EQ(doc.GetFileName(nullptr, 8), 0u);
  EXPECT_EQ(doc.GetStatus(), kis::kTdrBadArgument);
}

TEST(TdrRowReader, LogoListRowsWithAnOptionalFlag) {
  auto doc = LoadBytes(
      "logos {\n"
      "  logo = \"logos\\\\studio.tga\", FFFFFF, 3000\n"
      "  logo = \"logos\\\\engine.tga\", 000000, 2500, yes\n"
      "  logo = \"logos\\\\broken.tga\", 000000\n"
      "  logo = (\"a.tga\", 0, 1), (\"b.tga\", 0, 1)\n"
      "}\n");
  ASSERT_TRUE(doc);
  ASSERT_TRUE(doc->FindChild(u"logos", false));
  ASSERT_EQ(kis::TdrRowCount(*doc), 4u);
  const char16_t* fmt = u"Z[260],x4,u4,{b4}";
  char16_t file[260];
  u32 colour = 0, ms = 0, noSkip = 0;
  EXPECT_EQ(kis::ReadTdrRow(*doc, 0, fmt, true, &file, &colour, &ms, &noSkip), 1);
  EXPECT_EQ(std::u16string(file), u"logos\\studio.tga");
  EXPECT_EQ(colour, 0xFFFFFFu);
  EXPECT_EQ(ms, 3000u);
  EXPECT_EQ(noSkip, 0u);
  EXPECT_EQ(kis::ReadTdrRow(*doc, 1, fmt, true, &file, &colour, &ms, &noSkip), 1);
  EXPECT_EQ(noSkip, 1u);
  EXPECT_EQ(kis::ReadTdrRow(*doc, 2, fmt, true, &file, &colour, &ms, &noSkip), 0);
  EXPECT_EQ(kis::ReadTdrRow(*doc, 3, fmt, false, &file, &colour, &ms, &noSkip), 1);
  EXPECT_EQ(kis::ReadTdrRow(*doc, 3, fmt, true, &file, &colour, &ms, &noSkip), 0);
  EXPECT_EQ(kis::ReadTdrRow(*doc, 4, fmt, false, &file, &colour, &ms, &noSkip), 0);
  char16_t small[64];
  EXPECT_EQ(kis::ReadTdrRow(*doc, 0, fmt, false, &small, &colour, &ms, &noSkip), 0);
}

}  // namespace
