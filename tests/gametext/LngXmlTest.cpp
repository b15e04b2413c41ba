#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LanguageTestSupport.h"
#include "gametext/DXLLngFileXML.h"
#include "gametext/LngXmlDocument.h"
#include "testsupport/TempFolder.h"

namespace {

using lngtest::U8;

std::string Row(const std::string& a, const std::string& b) {
  return "<Row><Cell><Data>" + a + "</Data></Cell><Cell><Data>" + b + "</Data></Cell></Row>\n";
}

std::unique_ptr<LngXmlDocument> Parse(const std::string& bytes) {
  auto doc = std::make_unique<LngXmlDocument>();
  if (!doc->LoadBytes(reinterpret_cast<const u8*>(bytes.data()), bytes.size())) return nullptr;
  return doc;
}

std::string Value(LngXmlDocument& doc, const char16_t* key) {
  u32 n = 0;
  const wchar* v = doc.GetValue(key, &n);
  return v ? U8(std::u16string(v, n)) : "(none)";
}

std::string Utf16(const std::u16string& s, bool bigEndian, bool oddByte = false) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : s) {
    const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  if (oddByte) out += 'x';
  return out;
}

TEST(LngXml, RefusedFiles) {
  EXPECT_FALSE(Parse(""));
  EXPECT_FALSE(Parse("\xEF\xBB\xBF"));                                  // a mark alone
  EXPECT_FALSE(Parse("\xFF\xFE"));
  EXPECT_FALSE(Parse("\xFE\xFF"));
  EXPECT_FALSE(Parse(std::string("\xFF\xFE\0\0<Row>", 9)));              // UTF-32
  EXPECT_FALSE(Parse(std::string("\0\0\xFE\xFF", 4) + "<Row>"));
  EXPECT_FALSE(Parse(Utf16(u"<Row></Row>", false, true)));               // odd UTF-16
  EXPECT_FALSE(Parse(Utf16(u"<Row></Row>", true, true)));
  // Refused and unreadable files give a closed reader.
  TempFolder temp;
  const std::string dir = temp.Path();
  lngtest::WriteBytes(dir + "/bad.xml", std::string("\xFF\xFE\0\0", 4));
  const std::u16string bad = lngtest::U16(dir + "/bad.xml");
  DXLLngFileXML reader(bad.c_str());
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.GetCount(), 0u);
  EXPECT_FALSE(reader.EnterSection(u"buttons"));
  const std::u16string missing = lngtest::U16(dir + "/missing.xml");
  EXPECT_FALSE(DXLLngFileXML(missing.c_str()).IsOpen());
  // A file with rows but nothing usable is read and stays closed.
  lngtest::WriteBytes(dir + "/empty.xml", "<Workbook><Row><Cell><Data></Data></Cell></Row></Workbook>");
  const std::u16string empty = lngtest::U16(dir + "/empty.xml");
  EXPECT_FALSE(DXLLngFileXML(empty.c_str()).IsOpen());
  // A file above 32 MB is not a language: refused before anything is read.
  lngtest::WriteBytes(dir + "/big.xml", "<Workbook>" + Row("[buildings]", "") + Row("barn", "Barn") + "</Workbook>");
  const std::u16string big = lngtest::U16(dir + "/big.xml");
  EXPECT_TRUE(LngXmlDocument().Load(big.c_str()));
  std::filesystem::resize_file(dir + "/big.xml", LngXmlDocument::kMaxFileBytes + 1u);
  EXPECT_FALSE(LngXmlDocument().Load(big.c_str()));
}

TEST(LngXml, EveryEncodingReadsTheSame) {
  const std::u16string text = u"<Table>" u"<Row><Cell><Data>Name</Data></Cell><Cell><Data>\u0424\u0435\u0440\u043C\u0430</Data></Cell></Row>"
                              u"<Row><Cell><Data>[ buttons ]</Data></Cell></Row>"
                              u"<Row><Cell><Data>ok</Data></Cell><Cell><Data>\u0414\u0430</Data></Cell></Row></Table>";
  const std::string utf8 = lngtest::U8(text);
  for (const std::string& bytes : {"\xEF\xBB\xBF" + utf8, utf8, Utf16(text, false), Utf16(text, true)}) {
    auto doc = Parse(bytes);
    ASSERT_TRUE(doc);
    EXPECT_EQ(Value(*doc, u"Name"), "\xD0\xA4\xD0\xB5\xD1\x80\xD0\xBC\xD0\xB0");
    ASSERT_TRUE(doc->EnterSection(u"BUTTONS"));
    EXPECT_EQ(Value(*doc, u"ok"), "\xD0\x94\xD0\xB0");
  }
}

TEST(LngXml, RowsCellsAndDecoding) {
  auto doc = Parse(
      "<?xml version=\"1.0\"?>\n<Workbook><Worksheet><Table>\n" + Row("Ident", "english") +
      "<Row><Cell><Data>three</Data></Cell><Cell><Data>two</Data></Cell><Cell><Data>lost</Data></Cell></Row>\n"
      "<Row ss:Height=\"12\"><Cell ss:Index=\"3\"><Data ss:Type=\"String\">indexed</Data></Cell>"
      "<Cell><Data>second</Data></Cell></Row>\n" +
      Row("angles", "&lt;b&gt; &amp; &quot;q&quot; &apos;a&apos; &#65;&#x42; &AMP;") +
      "<Row><Cell><Data>lines</Data></Cell><Cell><Data>a\r\nb\rc\nd</Data></Cell></Row>\n"
      "<Row><Cell><Data>empty</Data></Cell><Cell/></Row>\n"
      "<Row><Cell><Data>nocell</Data></Cell></Row>\n"
      "<Row><Cell><Data> spaced</Data></Cell><Cell><Data>  kept  </Data></Cell></Row>\n"
      "<Row><Cell><Data>-bad</Data></Cell><Cell><Data>ignored</Data></Cell></Row>\n"
      "<Row/>\n"
      "<Row><Cell/><Cell><Data>no key</Data></Cell></Row>\n"
      "<RowX><Cell><Data>rowx</Data></Cell><Cell><Data>y</Data></Cell></RowX>\n"
      "</Table></Worksheet></Workbook>");
  ASSERT_TRUE(doc);
  EXPECT_EQ(Value(*doc, u"Ident"), "english");
  EXPECT_EQ(Value(*doc, u"three"), "two");
  EXPECT_EQ(Value(*doc, u"indexed"), "second");
  EXPECT_EQ(Value(*doc, u"angles"), "<b> & \"q\" 'a' AB &AMP;");
  EXPECT_EQ(Value(*doc, u"lines"), "a b c d");
  EXPECT_EQ(Value(*doc, u"empty"), "");
  EXPECT_EQ(Value(*doc, u"nocell"), "");
  EXPECT_EQ(Value(*doc, u"spaced"), "  kept  ");
  EXPECT_EQ(Value(*doc, u"bad"), "(none)");
  EXPECT_EQ(Value(*doc, u"rowx"), "(none)");
  EXPECT_EQ(doc->GetCount(), 8u);
}

TEST(LngXml, RichTextCellsDoNotEndTheFile) {
  auto doc = Parse(Row("first", "one") +
                   "<Row><Cell><Data>bold</Data></Cell><Cell><Data><B>Big</B> <I>news</I></Data></Cell></Row>\n"
                   "<Row><Cell><Data>rich</Data></Cell><Cell><ss:Data ss:Type=\"String\" "
                   "xmlns=\"http://www.w3.org/TR/REC-html40\"><Font>Red</Font> barn</ss:Data></Cell></Row>\n" +
                   Row("after", "still here") + "<br>" + Row("last", "end"));
  ASSERT_TRUE(doc);
  EXPECT_EQ(Value(*doc, u"bold"), "Big news");
  EXPECT_EQ(Value(*doc, u"rich"), "Red barn");
  EXPECT_EQ(Value(*doc, u"after"), "still here");
  EXPECT_EQ(Value(*doc, u"last"), "end");
}

TEST(LngXml, UnfinishedTagEndsTheParseKeepingWhatCameBefore) {
  auto doc = Parse(Row("kept", "yes") + "<Row><Cell><Data>lost</Data></Cell><Cell><Data>no</Data></Cell></Row" +
                   Row("after", "no"));
  ASSERT_TRUE(doc);
  EXPECT_EQ(Value(*doc, u"kept"), "yes");
  auto cut = Parse(Row("kept", "yes") + "<Row><Cell");
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->GetCount(), 1u);
}

TEST(LngXml, SectionsRepeatAndIndexesAreChecked) {
  auto doc = Parse(Row("[buildings]", "") + Row("barn", "Barn") + Row("[ levels ]", "") + Row("name", "Day") +
                   Row("[]", "") + Row("[buildings]", "") + Row("mill", "Mill") + Row("[ 1st ]", "") +
                   Row("x", "y"));
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->GetCount(), 0u);  // the root
  ASSERT_TRUE(doc->EnterSection(u"levels"));
  EXPECT_EQ(Value(*doc, u"name"), "Day");
  // An empty section name is ignored: its rows fill the section before it.
  ASSERT_TRUE(doc->EnterSection(u"buildings"));
  EXPECT_EQ(Value(*doc, u"barn"), "Barn");
  ASSERT_TRUE(doc->NextSection());
  EXPECT_EQ(Value(*doc, u"mill"), "Mill");
  EXPECT_FALSE(doc->NextSection());
  u32 n = 99;
  EXPECT_EQ(doc->GetKey(1, &n), nullptr);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(doc->GetStatus(), 0x400u);
  EXPECT_EQ(U8(doc->GetKey(0, &n)), "mill");
  EXPECT_EQ(doc->GetStatus(), 0u);
  EXPECT_EQ(doc->GetValueAt(7, &n), nullptr);
  EXPECT_EQ(doc->GetStatus(), 0x400u);
  EXPECT_TRUE(doc->EnterSection(u"1st"));
  EXPECT_FALSE(doc->EnterSection(u"nothing"));
  doc->ToRoot();
  EXPECT_FALSE(doc->NextSection());
}

TEST(LngXml, BoundedReadsFollowTheValueRules) {
  auto doc = Parse(Row("path", "\"images/logo.tga\"") + Row("long", "abcdefgh"));
  ASSERT_TRUE(doc);
  wchar buf[8];
  EXPECT_EQ(doc->ReadValue(u"path", nullptr, 0), 15u);
  EXPECT_EQ(doc->ReadValue(u"long", buf, 8), 7u);
  EXPECT_EQ(doc->GetStatus(), kLngStatusCut);
  EXPECT_EQ(doc->ReadValue(u"long", buf, 0), 8u);
  EXPECT_EQ(doc->ReadValue(u"missing", buf, 8), 0u);
  EXPECT_EQ(doc->GetStatus(), 0x400u);
  char a[32];
  EXPECT_EQ(doc->ReadValueA("path", a, 32), 15u);
  EXPECT_STREQ(a, "images/logo.tga");
}

TEST(LngXml, EightBitFilesCarryUtf8Cells) {
  auto doc = Parse(Row("name", "Caf\xC3\xA9"));
  ASSERT_TRUE(doc);
  EXPECT_EQ(Value(*doc, u"name"), "Caf\xC3\xA9");
}

}  // namespace
