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

// Names copied into member buffers four units at a time (as a unit copy
// onto a cleared buffer would), and queries made from them: other case,
// one unit changed, one shorter or longer, anything after their end. The
// four-unit hash and compare agree with the unit-by-unit ones.
TEST(NameIndex, BufferFormsAgreeWithTheUnitByUnitWalk) {
  std::mt19937 rng(53);
  using Index = NameIndex<Named>;
  for (int round = 0; round < 4000; ++round) {
    std::vector<wchar> text(rng() % 40 + 1, 0);
    for (size_t i = 0; i + 1 < text.size(); ++i) text[i] = RandomUnit(rng);
    const wchar* from = round % 7 ? text.data() : nullptr;
    Named member, narrow;
    std::memset(member.name, 0xAB, sizeof member.name);
    Index::CopyToBuffer(member.name, from);
    kis::StrCopy(narrow.name, kUnits, from);
    ASSERT_EQ(std::memcmp(member.name, narrow.name, sizeof member.name), 0) << round;

    wchar query[kUnits];
    for (wchar& u : query) u = RandomUnit(rng);
    const size_t length = std::char_traits<wchar>::length(member.name);
    for (size_t i = 0; i < length; ++i) {
      const wchar u = member.name[i];
      const bool letter = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
      query[i] = letter && rng() % 2 ? static_cast<wchar>(u ^ 0x20) : u;
    }
    const int kind = static_cast<int>(rng() % 4);
    if (kind == 1 && length > 0) query[rng() % length] ^= 0x21;
    const size_t end = kind == 2 && length > 0 ? length - 1 : kind == 3 && length + 1 < kUnits ? length + 1 : length;
    query[end] = 0;
    ASSERT_EQ(Index::HashBuffer(query), Index::HashName(query)) << round;
    ASSERT_EQ(Index::HashBuffer(member.name), Index::HashName(member.name)) << round;
    const bool same = Index::SameName(member.name, query);
    ASSERT_EQ(Index::SameBuffer(member.name, query), same) << round;
    if (same) {
      ASSERT_EQ(Index::HashName(member.name), Index::HashName(query)) << round;
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
