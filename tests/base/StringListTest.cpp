#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/StringList.h"

namespace {


std::vector<std::u16string> Items(const kis::WideStrings& l) {
  std::vector<std::u16string> out;
  for (i32 i = 0; i < l.GetCount(); ++i) out.emplace_back(l.GetString(i));
  return out;
}

using Lines = std::vector<std::u16string>;

TEST(StringList, AddsCopiesAndFindsIgnoringCase) {
  kis::AnsiStrings l;
  EXPECT_EQ(l.AddString("key"), 0);
  EXPECT_EQ(l.AddString(nullptr), 1);
  EXPECT_EQ(l.AddN("abcdef", 3), 2);
  EXPECT_EQ(l.AddN("abc", -2), 3);
  EXPECT_EQ(l.AddBlank(-5), 4);
  EXPECT_STREQ(l.GetString(1), "");
  EXPECT_STREQ(l.GetString(2), "abc");
  EXPECT_EQ(l.GetLength(3), 0u);
  EXPECT_EQ(l.GetLength(4), 0u);
  EXPECT_EQ(l.IndexOfText("KEY"), 0);
  EXPECT_EQ(l.IndexOfText(""), 1);
  EXPECT_EQ(l.IndexOfText("KEY", false), -1);
  EXPECT_EQ(l.IndexOfText("none"), -1);
  EXPECT_EQ(l.GetString(5), nullptr);
  EXPECT_EQ(l.GetString(-1), nullptr);

  const i32 at = l.AddBlankData(9, 3);
  EXPECT_EQ(l.GetLength(at), 3u);
  EXPECT_EQ(l.GetData(at), 9u);
  EXPECT_EQ(l.GetString(at)[3], 0);
}

TEST(StringList, SettersResetTheDataWord) {
  kis::WideStrings l;
  l.AddStringData(7, u"a");
  l.SetString(0, u"bcd");
  EXPECT_EQ(l.GetData(0), 0u);
  EXPECT_EQ(l.GetLength(0), 3u);
  // Setting an item to its own text must not read freed memory.
  l.SetString(0, l.GetString(0) + 1);
  EXPECT_EQ(std::u16string(l.GetString(0)), u"cd");
  EXPECT_EQ(std::u16string(l.AppendToString(0, l.GetString(0))), u"cdcd");
  EXPECT_EQ(l.AppendToString(3, u"x"), nullptr);
  EXPECT_TRUE(l.ResizeItem(0, 6));
  EXPECT_EQ(l.GetLength(0), 6u);
  EXPECT_EQ(l.GetString(0)[6], 0);
  EXPECT_FALSE(l.ResizeItem(1, 2));

  // A pointer stored in the data word survives whole.
  int target = 0;
  l.AddStringData(reinterpret_cast<uintptr_t>(&target), u"p");
  EXPECT_EQ(reinterpret_cast<int*>(l.GetData(1)), &target);
}

TEST(StringList, InsertStringChecksTheIndex) {
  kis::WideStrings l;
  l.AddString(u"a");
  EXPECT_EQ(l.InsertString(2, u"x"), -1);
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_EQ(l.InsertString(1, u"c"), 1);
  EXPECT_EQ(l.InsertString(1, u"b"), 1);
  EXPECT_EQ(Items(l), (Lines{u"a", u"b", u"c"}));
}

TEST(StringList, CopiesOutWithinTheBuffer) {
  kis::WideStrings l;
  l.AddString(u"abcdef");
  wchar buf[4] = {u'#', u'#', u'#', u'#'};
  l.GetStringCopy(0, buf, 4);
  EXPECT_EQ(std::u16string(buf), u"abc");
  buf[0] = u'#';
  l.GetStringCopy(9, buf, 4);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(l.GetStringCopy(0, nullptr, 4), nullptr);
}

TEST(StringList, NullSlotsReadAsEmpty) {
  kis::WideStrings l;
  l.AddString(u"x");
  l.SetCount(4);
  EXPECT_EQ(std::u16string(l.GetString(2)), u"");
  EXPECT_EQ(l.GetLength(2), 0u);
  EXPECT_EQ(l.GetData(3), 0u);
  EXPECT_EQ(l.IndexOfText(u""), 1);
  EXPECT_EQ(l.GetTextLength(), 4u);  // x and three separators
  wchar* text = l.GetText(nullptr, 0);
  EXPECT_EQ(std::u16string(text), u"x\n\n\n");
  kis::StrFree(text);
  wchar buf[8];
  l.GetStringCopy(3, buf, 8);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(std::u16string(l.AppendToString(2, u"yz")), u"yz");
  l.SetString(3, u"w");
  EXPECT_EQ(Items(l), (Lines{u"x", u"", u"yz", u"w"}));

  kis::WideStrings copy;
  copy.SetCount(2);
  copy.AddStrings(&l);
  copy.AddList(&l);
  EXPECT_EQ(copy.GetCount(), 10);
}

TEST(StringList, AddListCopiesRecords) {
  auto* a = new kis::WideStrings;
  auto* b = new kis::WideStrings;
  a->AddStringData(5, u"one");
  b->AddString(u"two");
  b->AddList(a);
  b->AddList(b);  // appending itself doubles it
  EXPECT_EQ(Items(*b), (Lines{u"two", u"one", u"two", u"one"}));
  EXPECT_EQ(b->GetData(1), 5u);
  EXPECT_NE(b->Get(1), a->Get(0));
  delete a;  // b keeps its own copies
  EXPECT_EQ(std::u16string(b->GetString(1)), u"one");
  delete b;
}

TEST(StringList, AddStringsCopiesWithoutData) {
  kis::AnsiStrings a, b;
  a.AddStringData(3, "p");
  a.AddStringData(4, "q");
  b.AddString("o");
  b.AddStrings(&a);
  EXPECT_EQ(b.GetCount(), 3);
  EXPECT_GE(b.GetCapacity(), 3);
  EXPECT_STREQ(b.GetString(2), "q");
  EXPECT_EQ(b.GetData(2), 0u);
}

TEST(StringList, SetDeleteAndShrinkFreeRecords) {
  kis::WideStrings l;
  l.AddString(u"a");
  l.AddString(u"b");
  l.AddString(u"c");
  auto* item = new kis::StringItemW;
  item->text = kis::StrDupW(u"n", true);
  item->length = 1;
  l.Set(0, item);      // the old record is freed (leak checker)
  l.Set(0, item);      // same record again: kept
  l.Set(5, nullptr);   // bad index: nothing
  l.Delete(1);
  l.Delete(9);
  EXPECT_EQ(Items(l), (Lines{u"n", u"c"}));
  l.SetCount(1);
  EXPECT_EQ(Items(l), (Lines{u"n"}));
  l.DeleteAll();  // frees each record once
  EXPECT_EQ(l.GetCount(), 0);
  EXPECT_EQ(l.GetCapacity(), 0);
}

TEST(StringList, DetectSeparatorTakesTheFirstLineBreak) {
  kis::WideStrings l;
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\n");
  l.DetectSeparator(u"no breaks");
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\n");
  l.DetectSeparator(u"a\tb\r\nc");
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\r\n");
  l.DetectSeparator(u"a\rb\nc");
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\r");
  l.DetectSeparator(u"a\n\nb\nc");
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\n");
  l.SetText(u"a\n\nb\nc", 7);
  EXPECT_EQ(Items(l), (Lines{u"a", u"", u"b", u"c"}));
  l.DetectSeparator(u"x\n\ry");
  EXPECT_EQ(std::u16string(l.GetSeparator()), u"\n");
}

TEST(StringList, SetTextSplitsAtTheSeparator) {
  kis::WideStrings l;
  const wchar crlf[] = u"a\r\nb\r\n";
  l.DetectSeparator(crlf);
  l.SetText(crlf, 6);
  EXPECT_EQ(Items(l), (Lines{u"a", u"b"}));
  l.SetText(u"\r\nx", 3);  // a leading separator gives an empty first item
  EXPECT_EQ(Items(l), (Lines{u"", u"x"}));
  l.SetText(u"abc\r\ndef", 4);  // the length bounds the text: no partial separator
  EXPECT_EQ(Items(l), (Lines{u"abc\r"}));
  l.SetText(u"abc", 0);
  EXPECT_EQ(l.GetCount(), 0);
  l.SetText(nullptr, 5);
  EXPECT_EQ(l.GetCount(), 0);
  // Splitting the list's own text.
  l.AddString(u"p\r\nq");
  l.SetText(l.GetString(0), l.GetLength(0));
  EXPECT_EQ(Items(l), (Lines{u"p", u"q"}));
}

TEST(StringList, GetTextJoinsWithinTheBuffer) {
  kis::WideStrings l;
  l.DetectSeparator(u"\r\n");
  l.AddString(u"ab");
  l.AddString(u"cd");
  EXPECT_EQ(l.GetTextLength(), 6u);
  wchar buf[6] = {u'#', u'#', u'#', u'#', u'#', u'#'};
  l.GetText(buf, 5);
  EXPECT_EQ(std::u16string(buf), u"ab\r\n");
  EXPECT_EQ(buf[5], u'#');
  wchar untouched[1] = {u'#'};
  EXPECT_EQ(l.GetText(untouched, 0), untouched);
  EXPECT_EQ(untouched[0], u'#');
  kis::WideStrings empty;
  EXPECT_EQ(empty.GetTextLength(), 0u);
  wchar* t = empty.GetText(nullptr, 0);
  EXPECT_EQ(t[0], 0);
  kis::StrFree(t);
}

}  // namespace
