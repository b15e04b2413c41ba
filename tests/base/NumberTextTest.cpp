#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "base/NumberText.h"

namespace {

using std::u16string;

// A buffer with guard characters after the usable size, to catch writes past it.
struct Guarded {
  static constexpr u32 kGuard = 4;
  wchar data[64 + kGuard];
  u32 size;
  explicit Guarded(u32 usable, wchar fill = u'#') : size(usable) {
    for (auto& c : data) c = fill;
  }
  wchar* get() { return data; }
  u16string text() const { return u16string(data); }
  bool guardIntact() const {
    for (u32 i = size; i < size + kGuard; ++i)
      if (data[i] != u'#') return false;
    return true;
  }
};

TEST(NumberToText, SignedDecimalIncludingTheSmallestValue) {
  wchar buf[32];
  EXPECT_EQ(u16string(kis::IntToStrW(buf, 32, INT_MIN)), u"-2147483648");
  EXPECT_EQ(u16string(kis::IntToStrW(buf, 32, INT_MAX)), u"2147483647");
  EXPECT_EQ(u16string(kis::IntToStrW(buf, 32, 0)), u"0");
  EXPECT_EQ(u16string(kis::UIntToStrW(buf, 32, 4294967295u)), u"4294967295");
  char a[16];
  EXPECT_STREQ(kis::IntToStrA(a, 16, -42), "-42");
}

TEST(NumberToText, OutputIsCutToTheBufferAndTerminated) {
  Guarded g(4);
  kis::IntToStrW(g.get(), g.size, INT_MIN);
  EXPECT_EQ(g.text(), u"-21");
  EXPECT_TRUE(g.guardIntact());

  Guarded one(1);
  kis::IntToStrW(one.get(), 1, 123);
  EXPECT_EQ(one.text(), u"");
  EXPECT_TRUE(one.guardIntact());

  Guarded zero(0);
  EXPECT_EQ(kis::IntToStrW(zero.get(), 0, 123), zero.get());
  EXPECT_EQ(zero.data[0], u'#');
  EXPECT_EQ(kis::IntToStrW(nullptr, 10, 5), nullptr);
}

TEST(NumberToText, AppendWritesAfterTheExistingTextInTheRoomLeft) {
  wchar buf[8] = u"ab";
  kis::IntToStrExW(buf, 8, -1234, true);
  EXPECT_EQ(u16string(buf), u"ab-1234");
  kis::IntToStrExW(buf, 8, 9, true);  // already full
  EXPECT_EQ(u16string(buf), u"ab-1234");
  wchar small[6] = u"abc";
  kis::IntToStrExW(small, 6, 98765, true);
  EXPECT_EQ(u16string(small), u"abc98");
  kis::IntToStrExW(small, 6, 7, false);
  EXPECT_EQ(u16string(small), u"7");
}

TEST(NumberToText, Padding) {
  wchar buf[16];
  EXPECT_EQ(u16string(kis::UIntToStrPadW(buf, 10, 7, 3)), u"007");
  EXPECT_EQ(u16string(kis::UIntToStrPadW(buf, 16, 7, 12)), u"000000007");  // at most 9 digits of padding
  EXPECT_EQ(u16string(kis::UIntToStrPadW(buf, 16, 123456, 2)), u"123456");
  EXPECT_EQ(u16string(kis::IntToStrPadW(buf, 16, -5, 4)), u"-0005");
  EXPECT_EQ(u16string(kis::IntToStrPadW(buf, 16, 5, 12)), u"0000000005");
  char a[8];
  EXPECT_STREQ(kis::UIntToStrPadA(a, 8, 42, 5), "00042");
}

TEST(NumberToText, HexFlags) {
  wchar buf[32];
  EXPECT_EQ(u16string(kis::HexToStrW(buf, 32, 0x1F, 8, u"0x", 0)), u"0x0000001F");
  EXPECT_EQ(u16string(kis::HexToStrW(buf, 32, 0x1F, 8, u"0x", kis::kHexMinimal)), u"0x1F");
  EXPECT_EQ(u16string(kis::HexToStrW(buf, 32, 0, 8, nullptr, kis::kHexMinimal)), u"0");
  EXPECT_EQ(u16string(kis::HexToStrW(buf, 32, 0xABCDEF12, 8, nullptr, kis::kHexLowerCase)), u"abcdef12");
  // 16 digits of a 32-bit value: the high half is zeros; more than 16 is capped.
  EXPECT_EQ(u16string(kis::HexToStrW(buf, 32, 0xFFFFFFFF, 20, nullptr, 0)), u"00000000FFFFFFFF");
  // Fewer digits than the value needs keep the low digits.
  EXPECT_EQ(u16string(kis::HexToStrW(buf, 32, 0x12345, 2, nullptr, 0)), u"45");

  wchar appended[16] = u"id=";
  kis::HexToStrW(appended, 16, 0xBEEF, 4, u"$", kis::kHexAppend);
  EXPECT_EQ(u16string(appended), u"id=$BEEF");

  // No terminator: the digits overwrite the start and the rest stays.
  wchar over[16] = u"xxxxxxxx";
  kis::HexToStrW(over, 16, 0xA, 2, nullptr, kis::kHexNoTerminator);
  EXPECT_EQ(u16string(over), u"0Axxxxxx");

  // With fewer than two characters of room nothing more is written.
  Guarded g(5);
  kis::HexToStrW(g.get(), g.size, 0x12345678, 8, u"0x", 0);
  EXPECT_EQ(g.text(), u"0x12");
  EXPECT_TRUE(g.guardIntact());
}

TEST(NumberToText, RectangleText) {
  wchar buf[64];
  EXPECT_EQ(u16string(kis::RectToStrW(buf, 64, 10, 20, 110, 70, false)), u"10, 20, 100, 50");
  EXPECT_EQ(u16string(kis::RectToStrW(buf, 64, 10, 20, 110, 70, true)), u"10, 20, 110, 70");
  // The width of an extreme rectangle does not wrap.
  EXPECT_EQ(u16string(kis::RectToStrW(buf, 64, INT_MIN, 0, INT_MAX, 0, false)),
            u"-2147483648, 0, 4294967295, 0");
}

TEST(NumberToText, FillCharStaysInsideTheBuffer) {
  wchar buf[8] = u"ab";
  kis::FillCharW(buf, 8, u'-', 3, -1);
  EXPECT_EQ(u16string(buf), u"ab---");
  kis::FillCharW(buf, 8, u'=', 100, 1);
  EXPECT_EQ(u16string(buf), u"a======");
  wchar keep[8] = u"abc";
  kis::FillCharW(keep, 8, u'x', 3, 7);  // at size - 1: nothing
  EXPECT_EQ(u16string(keep), u"abc");

  Guarded g(6);
  g.data[0] = 0;
  kis::FillCharW(g.get(), g.size, u'z', 50, 0);
  EXPECT_EQ(g.text(), u"zzzzz");
  EXPECT_TRUE(g.guardIntact());
  char a[4] = "";
  EXPECT_STREQ(kis::FillCharA(a, 4, '.', 9, 0), "...");
}

TEST(NumberToText, InsertMovesTheTailAndCutsWhatNoLongerFits) {
  wchar buf[10] = u"abcdef";
  kis::StrInsertW(buf, 10, 2, u"XYZ", 3);
  EXPECT_EQ(u16string(buf), u"abXYZcdef");
  kis::StrInsertW(buf, 10, 0, u"12", 2);  // the tail is cut at 9 characters
  EXPECT_EQ(u16string(buf), u"12abXYZcd");

  wchar app[10] = u"ab";
  kis::StrInsertW(app, 10, 2, u"cd", 2);
  EXPECT_EQ(u16string(app), u"abcd");
  kis::StrInsertW(app, 10, 5, u"zz", 2);  // beyond the length
  EXPECT_EQ(u16string(app), u"abcd");
  // n beyond the inserted text's end is not read past its terminator.
  kis::StrInsertW(app, 10, 1, u"Q", 50);
  EXPECT_EQ(u16string(app), u"aQbcd");

  Guarded g(5);
  g.data[0] = u'a';
  g.data[1] = u'b';
  g.data[2] = 0;
  kis::StrInsertW(g.get(), g.size, 1, u"1234567", 7);
  EXPECT_EQ(g.text(), u"a123");
  EXPECT_TRUE(g.guardIntact());
}

TEST(TextToNumber, DecimalWithTerminators) {
  u32 used = 99;
  EXPECT_EQ(kis::StrToIntExW(u"42,7", kis::kNoLimit, -1, u",", &used), 42);
  EXPECT_EQ(used, 2u);
  EXPECT_EQ(kis::StrToIntExW(u"42,7", kis::kNoLimit, -1, u";", nullptr), -1);
  EXPECT_EQ(kis::StrToIntW(u"-17", kis::kNoLimit, 0), -17);
  EXPECT_EQ(kis::StrToIntW(u"12345", 3, 0), 123);  // the limit ends the number
  EXPECT_EQ(kis::StrToIntW(u"-", kis::kNoLimit, 5), 5);
  EXPECT_EQ(kis::StrToIntW(u"", kis::kNoLimit, 5), 5);
  EXPECT_EQ(kis::StrToIntW(nullptr, kis::kNoLimit, 5), 5);
  EXPECT_EQ(kis::StrToIntW(u"12", 0, 5), 5);
  EXPECT_EQ(kis::StrToIntW(u"+3", kis::kNoLimit, 5), 5);
  EXPECT_EQ(kis::StrToIntExW(u",", kis::kNoLimit, 5, u",", nullptr), 5);  // no digits
  EXPECT_EQ(kis::StrToIntA("905", kis::kNoLimit, 0), 905);
}

TEST(TextToNumber, DecimalRefusesValuesThatDoNotFit) {
  EXPECT_EQ(kis::StrToIntW(u"2147483647", kis::kNoLimit, 0), INT_MAX);
  EXPECT_EQ(kis::StrToIntW(u"-2147483648", kis::kNoLimit, 0), INT_MIN);
  EXPECT_EQ(kis::StrToIntW(u"2147483648", kis::kNoLimit, 7), 7);
  EXPECT_EQ(kis::StrToIntW(u"-2147483649", kis::kNoLimit, 7), 7);
  EXPECT_EQ(kis::StrToIntW(u"99999999999", kis::kNoLimit, 7), 7);
  EXPECT_EQ(kis::StrToIntW(u"000000000000000000001", kis::kNoLimit, 7), 1);

  EXPECT_EQ(kis::StrToUIntExW(u"4294967295", kis::kNoLimit, 7, true, nullptr, nullptr), 4294967295u);
  EXPECT_EQ(kis::StrToUIntExW(u"4294967296", kis::kNoLimit, 7, true, nullptr, nullptr), 7u);
  EXPECT_EQ(kis::StrToUIntExW(u"-1", kis::kNoLimit, 7, true, nullptr, nullptr), 7u);
  EXPECT_EQ(kis::StrToUIntExW(u"-1", kis::kNoLimit, 7, false, nullptr, nullptr), 0xFFFFFFFFu);
  u32 used = 0;
  EXPECT_EQ(kis::StrToUIntExA("12 ", kis::kNoLimit, 7, true, " ", &used), 12u);
  EXPECT_EQ(used, 2u);
}

TEST(TextToNumber, Hexadecimal) {
  EXPECT_EQ(kis::HexStrToIntW(u"1aF", kis::kNoLimit, 0, false, true), 0x1AFu);
  EXPECT_EQ(kis::HexStrToIntW(u"0x1F", kis::kNoLimit, 0, true, true), 0x1Fu);
  EXPECT_EQ(kis::HexStrToIntW(u"0X1F", kis::kNoLimit, 0, true, true), 0x1Fu);
  EXPECT_EQ(kis::HexStrToIntW(u"$ff", kis::kNoLimit, 0, true, true), 0xFFu);
  EXPECT_EQ(kis::HexStrToIntW(u"#10", kis::kNoLimit, 0, true, true), 0x10u);
  EXPECT_EQ(kis::HexStrToIntW(u"$ff", kis::kNoLimit, 9, false, true), 9u);  // prefix not allowed
  EXPECT_EQ(kis::HexStrToIntW(u"0x", kis::kNoLimit, 9, true, true), 9u);
  EXPECT_EQ(kis::HexStrToIntW(u"0x12", 2, 9, true, true), 9u);  // the limit leaves only the prefix
  EXPECT_EQ(kis::HexStrToIntW(u"12g", kis::kNoLimit, 9, false, true), 9u);
  EXPECT_EQ(kis::HexStrToIntW(u"12g", kis::kNoLimit, 9, false, false), 0x12u);
  EXPECT_EQ(kis::HexStrToIntW(u"g", kis::kNoLimit, 9, false, false), 0u);  // nothing read yet
  EXPECT_EQ(kis::HexStrToIntW(u"0xg", kis::kNoLimit, 9, true, false), 0u);
  EXPECT_EQ(kis::HexStrToIntW(u"g", kis::kNoLimit, 9, false, true), 9u);
  EXPECT_EQ(kis::HexStrToIntA("FFFFFFFF", kis::kNoLimit, 9, false, true), 0xFFFFFFFFu);
  // More digits than 32 bits hold are refused, not cut to the low digits.
  EXPECT_EQ(kis::HexStrToIntW(u"123456789", kis::kNoLimit, 9, false, true), 9u);
  EXPECT_EQ(kis::HexStrToIntW(u"123456789", kis::kNoLimit, 9, false, false), 9u);
  EXPECT_EQ(kis::HexStrToInt64W(u"0x123456789abcdef0", kis::kNoLimit, 9, true, true), 0x123456789ABCDEF0ull);
  EXPECT_EQ(kis::HexStrToInt64W(u"123456789abcdef01", kis::kNoLimit, 9, false, true), 9ull);
}

TEST(TextToNumber, FloatNeedsASignedExponent) {
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1.5e+2", kis::kNoLimit, -1, nullptr, nullptr), 150.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1.5E-2", kis::kNoLimit, -1, nullptr, nullptr), 0.015f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1.5e2", kis::kNoLimit, -1, nullptr, nullptr), -1.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1e+", kis::kNoLimit, -1, nullptr, nullptr), -1.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1e+101", kis::kNoLimit, -1, nullptr, nullptr), -1.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1e+100", kis::kNoLimit, -1, nullptr, nullptr), -1.0f);  // beyond a float
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1e+20", kis::kNoLimit, -1, nullptr, nullptr), 1e20f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"25e-11", kis::kNoLimit, -1, nullptr, nullptr), 25e-11f);
}

TEST(TextToNumber, FloatDigitsSignAndTerminators) {
  u32 used = 0;
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"0.1234567", kis::kNoLimit, -1, nullptr, &used), 0.123456f);
  EXPECT_EQ(used, 9u);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"-2.25", kis::kNoLimit, 0, nullptr, nullptr), -2.25f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"-.5", kis::kNoLimit, 0, nullptr, nullptr), -0.5f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"3.", kis::kNoLimit, 0, nullptr, nullptr), 3.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u".", kis::kNoLimit, -1, nullptr, nullptr), -1.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"-", kis::kNoLimit, -1, nullptr, nullptr), -1.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1.5,2", kis::kNoLimit, -1, u",", &used), 1.5f);
  EXPECT_EQ(used, 3u);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1.5,2", kis::kNoLimit, -1, nullptr, nullptr), -1.0f);
  EXPECT_FLOAT_EQ(kis::StrToFloatW(u"1.59", 3, -1, nullptr, nullptr), 1.5f);
  EXPECT_FLOAT_EQ(kis::StrToFloatA("4.75", kis::kNoLimit, -1, nullptr, nullptr), 4.75f);
  EXPECT_FLOAT_EQ(kis::StrToFloatA("12345678901234567890", kis::kNoLimit, -1, nullptr, nullptr), 1.2345679e19f);
}

}  // namespace
