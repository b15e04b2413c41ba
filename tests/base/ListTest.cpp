#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/List.h"

namespace {

using IntList = kis::list<int*>;

int gItems[200];

std::string Letters(const IntList& l) {
  std::string s;
  for (i32 i = 0; i < l.GetCount(); ++i) s += static_cast<char>('A' + (l.Get(i) - gItems));
  return s;
}

IntList* Abcde() {
  auto* l = new IntList;
  for (int i = 0; i < 5; ++i) l->Add(&gItems[i]);
  return l;
}

TEST(List, GrowsByTheStepRule) {
  IntList l;
  std::vector<i32> seen;
  for (int i = 0; i < 148; ++i) {
    l.Add(&gItems[i]);
    if (seen.empty() || seen.back() != l.GetCapacity()) seen.push_back(l.GetCapacity());
  }
  EXPECT_EQ(seen, (std::vector<i32>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183}));
}

TEST(List, BadIndexesNeverFault) {
  IntList l;
  EXPECT_EQ(l.Get(-1), nullptr);
  EXPECT_EQ(l.First(), nullptr);
  EXPECT_EQ(l.Last(), nullptr);
  EXPECT_EQ(l.Insert(-1, &gItems[0]), -1);
  EXPECT_EQ(l.Insert(1, &gItems[0]), -1);
  EXPECT_EQ(l.Insert(0, &gItems[0]), 0);
  l.Delete(5);
  l.Set(3, nullptr);
  l.Move(0, 9);
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_EQ(l.Get(0), &gItems[0]);
}

TEST(List, MoveKeepsTheOrderOfTheOthers) {
  std::unique_ptr<IntList> l(Abcde());
  l->Move(4, 1);
  EXPECT_EQ(Letters(*l), "AEBCD");
  l.reset(Abcde());
  l->Move(1, 4);
  EXPECT_EQ(Letters(*l), "ACDEB");
  l.reset(Abcde());
  l->Move(0, 1);
  EXPECT_EQ(Letters(*l), "BACDE");
}

TEST(List, AddListSizesExactlyAndAppendsItself) {
  IntList a, b;
  a.Add(&gItems[0]);
  a.Add(&gItems[1]);
  for (int i = 2; i < 5; ++i) b.Add(&gItems[i]);
  EXPECT_EQ(a.GetCapacity(), 4);
  a.AddList(&b);
  EXPECT_EQ(a.GetCapacity(), 5);
  EXPECT_EQ(Letters(a), "ABCDE");
  a.AddList(&a);
  EXPECT_EQ(Letters(a), "ABCDEABCDE");
  a.AddList(nullptr);
  EXPECT_EQ(a.GetCount(), 10);
}

struct Releasing : IntList {
  std::vector<i32> calls;
  void ReleaseItems(i32 first) override { calls.push_back(first); }
};

TEST(List, SetCountZeroFillsAndReleasesOnShrink) {
  Releasing l;
  l.SetCount(10);
  EXPECT_EQ(l.GetCapacity(), 10);
  for (i32 i = 0; i < 10; ++i) EXPECT_EQ(l.Get(i), nullptr);
  l.SetCount(2);
  EXPECT_EQ(l.calls, (std::vector<i32>{2}));
  l.SetCapacity(1);  // below the count: refused
  EXPECT_EQ(l.GetCapacity(), 10);
  l.Clear();
  EXPECT_EQ(l.GetCapacity(), 0);
  EXPECT_EQ(l.Data(), nullptr);
}

TEST(List, UniqueOperationsFindPresentItems) {
  std::unique_ptr<IntList> l(Abcde());
  EXPECT_EQ(l->InsertUnique(0, &gItems[4]), 4);
  EXPECT_EQ(l->AddUnique(&gItems[2]), 2);
  EXPECT_EQ(l->GetCount(), 5);
  EXPECT_FALSE(l->Remove(&gItems[7]));
  EXPECT_TRUE(l->Remove(&gItems[0]));
  EXPECT_EQ(Letters(*l), "BCDE");
}

struct Counted {
  static inline int alive = 0;
  static inline std::vector<int> gone;  // ids in the order destroyed
  explicit Counted(int n = 0) : id(n) { ++alive; }
  virtual ~Counted() {
    --alive;
    gone.push_back(id);
  }
  int id;
};

// Both destroy every item, the last added first.
TEST(List, DeleteAllDestroysEveryItemLastFirst) {
  for (const bool free : {false, true}) {
    kis::list<Counted*> l;
    Counted::gone.clear();
    for (int i = 0; i < 7; ++i) l.Add(new Counted(i));
    l.Insert(3, nullptr);
    EXPECT_EQ(Counted::alive, 7);
    if (free) {
      l.FreeAll();
    } else {
      l.DeleteAll();
    }
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_EQ(Counted::gone, (std::vector<int>{6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(l.GetCapacity(), 0);
  }
}

TEST(GrowBuffer, GrowsLikeTheListAndReservesExactly) {
  kis::GrowBuffer g;
  for (int i = 0; i < 13; ++i) EXPECT_TRUE(g.Add(&gItems[i]));
  EXPECT_EQ(g.capacity, 28u);
  EXPECT_EQ(g.Get(12), &gItems[12]);
  EXPECT_EQ(g.Get(13), nullptr);
  EXPECT_TRUE(g.Reserve(15));  // fits already
  EXPECT_EQ(g.capacity, 28u);
  EXPECT_TRUE(g.Reserve(20));  // room for 20 beyond the 13 held
  EXPECT_EQ(g.capacity, 33u);
  EXPECT_FALSE(g.Reserve(0xFFFFFFFFu));  // past 32 bits: refused, unchanged
  EXPECT_EQ(g.capacity, 33u);
  EXPECT_EQ(g.Get(12), &gItems[12]);
}

}  // namespace
