#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXLDeviceObject.h"  // compiled here: the bases have no source of their own
#include "engine/DXLNotifyObject.h"
#include "engine/DXLTextureSource.h"
#include "engine/DXLUpdateableObject.h"

namespace {

// A listener that records what it is told and can run an action while told.
class NotifyRecorder : public DXLNotifyObject {
 public:
  NotifyRecorder(std::string name, std::vector<std::string>* out) : name_(std::move(name)), out_(out) {}
  void Notify(DXLNotifyObject* sender, u32 code) override {
    out_->push_back(name_ + ":" + std::to_string(code));
    if (onNotify) onNotify(sender);
  }
  std::function<void(DXLNotifyObject*)> onNotify;

 private:
  std::string name_;
  std::vector<std::string>* out_;
};

TEST(NotifyObject, TellsListenersLastFirstAndIgnoresRepeatsAndNull) {
  std::vector<std::string> seen;
  NotifyRecorder a("a", &seen), b("b", &seen), c("c", &seen);
  DXLNotifyObject sender;  // destroyed before its listeners
  sender.AddListener(&a);
  sender.AddListener(&b);
  sender.AddListener(&a);
  sender.AddListener(nullptr);
  sender.AddListener(&c);
  EXPECT_EQ(sender.GetListenerCount(), 3);
  sender.NotifyAll(7);
  EXPECT_EQ(seen, (std::vector<std::string>{"c:7", "b:7", "a:7"}));

  seen.clear();
  sender.RemoveListener(&b);
  sender.RemoveListener(&b);  // absent: nothing happens
  sender.NotifyAll(2);
  EXPECT_EQ(seen, (std::vector<std::string>{"c:2", "a:2"}));
}

TEST(NotifyObject, ListenersMayRemoveThemselvesOrToldOnesWhileTold) {
  std::vector<std::string> seen;
  NotifyRecorder a("a", &seen), b("b", &seen), c("c", &seen), d("d", &seen), e("e", &seen);
  DXLNotifyObject sender;
  for (NotifyRecorder* r : {&a, &b, &c, &d}) sender.AddListener(r);
  // c leaves, and takes d (already told) with it.
  c.onNotify = [&](DXLNotifyObject* s) {
    s->RemoveListener(&c);
    s->RemoveListener(&d);
  };
  b.onNotify = [&](DXLNotifyObject* s) { s->RemoveListener(&b); };
  sender.NotifyAll(3);
  EXPECT_EQ(seen, (std::vector<std::string>{"d:3", "c:3", "b:3", "a:3"}));
  EXPECT_EQ(sender.GetListenerCount(), 1);

  // Everyone leaves during one walk.
  seen.clear();
  sender.AddListener(&e);
  a.onNotify = [&](DXLNotifyObject* s) { s->RemoveListener(&a); };
  e.onNotify = [&](DXLNotifyObject* s) {
    s->RemoveListener(&e);
    s->RemoveListener(&a);
  };
  sender.NotifyAll(4);
  EXPECT_EQ(seen, (std::vector<std::string>{"e:4"}));
  EXPECT_EQ(sender.GetListenerCount(), 0);
}

TEST(NotifyObject, DestructorSendsGoingAway) {
  std::vector<std::string> seen;
  NotifyRecorder a("a", &seen);
  {
    DXLNotifyObject sender;
    sender.AddListener(&a);
    // The usual reaction to code 1: stop listening.
    a.onNotify = [&](DXLNotifyObject* s) { s->RemoveListener(&a); };
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"a:1"}));
}

// An updateable object that counts its updates and the sources it saw.
class Counting : public DXLUpdateableObject {
 public:
  void Update(DXLUpdateableObject* source) override {
    ++updates;
    sources.push_back(source);
    DXLUpdateableObject::Update(source);
  }
  int updates = 0;
  std::vector<DXLUpdateableObject*> sources;
};

TEST(UpdateableObject, ChangesClimbTheOwnerChain) {
  Counting top, middle, leaf;
  middle.SetOwner(&top);
  leaf.SetOwner(&middle);
  leaf.Changed(nullptr);
  EXPECT_EQ(leaf.updates, 1);
  EXPECT_EQ(middle.updates, 1);
  EXPECT_EQ(top.updates, 1);
  EXPECT_EQ(middle.sources.back(), &leaf);
  EXPECT_EQ(top.sources.back(), &middle);

  // An owner inside a bracket stops the climb.
  middle.BeginUpdate();
  leaf.Changed(nullptr);
  EXPECT_EQ(leaf.updates, 2);
  EXPECT_EQ(middle.updates, 1);
  EXPECT_EQ(top.updates, 1);
  middle.EndUpdate();
  EXPECT_EQ(middle.updates, 2);
  EXPECT_EQ(middle.sources.back(), nullptr);
  EXPECT_EQ(top.updates, 2);
}

TEST(UpdateableObject, NestedBracketsGiveOneUpdate) {
  Counting owner, object;
  object.SetOwner(&owner);
  object.BeginUpdate();
  object.BeginUpdate();
  object.Changed(nullptr);
  object.Changed(nullptr);
  EXPECT_TRUE(object.IsUpdating());
  object.EndUpdate();
  EXPECT_EQ(object.updates, 0);
  EXPECT_EQ(owner.updates, 0);
  object.EndUpdate();
  EXPECT_FALSE(object.IsUpdating());
  EXPECT_EQ(object.updates, 1);
  EXPECT_EQ(owner.updates, 1);

  // Closing a bracket that is not open does nothing.
  object.EndUpdate();
  EXPECT_EQ(object.updates, 1);
  EXPECT_EQ(owner.updates, 1);
  EXPECT_FALSE(object.IsUpdating());
}

}  // namespace
