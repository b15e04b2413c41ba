#include "resources/NameIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "base/Strings.h"

namespace {

constexpr size_t kUnits = 32;

// A member whose name is a buffer of 32 units, zero after its end.
struct Named {
  wchar name[kUnits] = {};
  const wchar* GetName() const { return name; }
};

// Units near the edges of A to Z and a to z, digits, and units with the top
// bit set (whose low bits fall inside A to Z), so that the four-unit fold and
// terminator search meet every case the unit-by-unit walk does.
wchar RandomUnit(std::mt19937& rng) {
  static constexpr wchar kEdges[] = {u'@', u'A', u'M', u'Z', u'[', u'`', u'a', u'z', u'{', u'0', u'_',
                                     0x8041, 0x805A, 0xC15A, 0xFFFF, 0x7FFF, 0x0141, 0x00C0};
  return kEdges[rng() % std::size(kEdges)];
}

// A name of `length` units in a buffer, the units after its end `tail`.
void Fill(wchar (&buffer)[kUnits], std::mt19937& rng, size_t length, bool garbageTail) {
  for (size_t i = 0; i < kUnits; ++i) buffer[i] = garbageTail ? RandomUnit(rng) : 0;
  for (size_t i = 0; i < length; ++i) buffer[i] = RandomUnit(rng);
  buffer[std::min(length, kUnits - 1)] = 0;
}

TEST(NameIndex, BufferHashAndCompareAgreeWithTheUnitWalkWhateverFollowsTheName) {
  std::mt19937 rng(53);
  for (int round = 0; round < 4000; ++round) {
    wchar a[kUnits], b[kUnits];
    const size_t length = rng() % kUnits;
    Fill(a, rng, length, round % 2 == 0);
    // b: the same text in another case, a text one unit longer or shorter,
    // one unit changed, or another name altogether.
    Fill(b, rng, length, round % 3 == 0);
    const int kind = static_cast<int>(rng() % 4);
    for (size_t i = 0; i < length && kind < 3; ++i) {
      const wchar u = a[i];
      b[i] = (u >= u'A' && u <= u'Z') && rng() % 2 ? static_cast<wchar>(u + 32)
             : (u >= u'a' && u <= u'z') && rng() % 2 ? static_cast<wchar>(u - 32)
                                                     : u;
    }
    if (kind == 1 && length + 1 < kUnits) b[length] = u'x', b[length + 1] = 0;
    if (kind == 1 && length + 1 >= kUnits && length > 0) b[length - 1] = 0;
    if (kind == 2 && length > 0) b[rng() % length] ^= 0x21;
    ASSERT_EQ(NameIndex<Named>::HashBuffer(a), NameIndex<Named>::HashName(a)) << round;
    ASSERT_EQ(NameIndex<Named>::HashBuffer(b), NameIndex<Named>::HashName(b)) << round;
    Named member;
    std::memcpy(member.name, a, sizeof a);
    for (size_t i = std::char_traits<wchar>::length(a); i < kUnits; ++i) member.name[i] = 0;
    const bool same = NameIndex<Named>::SameName(member.name, b);
    ASSERT_EQ(NameIndex<Named>::SameBuffer<kUnits>(member.name, b), same) << round;
    // Copied into a cleared buffer unit by unit or four at a time: the same
    // buffer, names of 31 units and more cut to 31.
    std::vector<wchar> source(rng() % 40 + 1, 0);
    for (size_t i = 0; i + 1 < source.size(); ++i) source[i] = RandomUnit(rng);
    wchar wide[kUnits], narrow[kUnits] = {};
    std::memset(wide, 0xAB, sizeof wide);
    NameIndex<Named>::CopyToBuffer(wide, source.data());
    kis::StrCopy(narrow, kUnits, source.data());
    ASSERT_EQ(std::memcmp(wide, narrow, sizeof wide), 0) << round;
    NameIndex<Named>::CopyToBuffer(wide, nullptr);
    ASSERT_EQ(std::memcmp(wide, Named{}.name, sizeof wide), 0) << round;
    if (same) {
      ASSERT_EQ(NameIndex<Named>::HashName(a), NameIndex<Named>::HashName(b)) << round;
    }
  }
}

// Members of few names added and removed in a seeded order, the index
// growing and rebuilt on the way: both look-ups always give the first live
// member added under the name, as a walk of the members in order would.
TEST(NameIndex, LookUpsGiveTheFirstLiveMemberAddedUnderANameThroughRemovalsAndRebuilds) {
  std::mt19937 rng(7);
  const char16_t* names[] = {u"Rock", u"ROCK", u"tree", u"Tree_2", u"w", u"Water_Edge_Long_Name_0123456789"};
  std::vector<std::unique_ptr<Named>> members;
  std::vector<Named*> order;  // live members, first added first
  NameIndex<Named> index;
  for (int step = 0; step < 3000; ++step) {
    if (order.empty() || rng() % 3 != 0) {
      auto m = std::make_unique<Named>();
      const char16_t* n = names[rng() % std::size(names)];
      std::char_traits<wchar>::copy(m->name, n, std::char_traits<wchar>::length(n));
      if (rng() % 50 == 0) index.Reserve(rng() % 64);
      index.Add(m.get(), NameIndex<Named>::HashBuffer(m->name));
      order.push_back(m.get());
      members.push_back(std::move(m));
    } else {
      const size_t at = rng() % order.size();
      index.Remove(order[at]);
      order.erase(order.begin() + static_cast<std::ptrdiff_t>(at));
    }
    for (const char16_t* n : names) {
      Named query;
      std::char_traits<wchar>::copy(query.name, n, std::char_traits<wchar>::length(n));
      const auto first = std::find_if(order.begin(), order.end(),
                                      [&](Named* m) { return NameIndex<Named>::SameName(m->name, n); });
      Named* expected = first == order.end() ? nullptr : *first;
      ASSERT_EQ(index.Find(n), expected) << step;
      ASSERT_EQ(index.FindBuffer(query.name), expected) << step;
    }
  }
  wchar empty[kUnits] = {};
  EXPECT_EQ(index.FindBuffer(empty), nullptr);
  EXPECT_EQ(index.Find(nullptr), nullptr);
}

}  // namespace
