#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/DXLViewer.h"
#include "platform/gfx/GfxD3dx.h"
#include "resources/ColorEffects.h"
#include "resources/MotionEffects.h"
#include "resources/ResourceServices.h"
#include "resources/SEffects.h"
#include "FakeAudioBackend.h"
#include "resources/WaitEffects.h"
#include "testsupport/SpriteRig.h"

namespace gfx = plat::gfx;
using spritetest::SpriteRig;

namespace {

std::vector<std::string> g_journal;

class Effects : public ::testing::Test {
 protected:
  Effects() {
    g_journal.clear();
    Clock(1000);
    EXPECT_TRUE(GetSoundSettings().Init(std::make_unique<soundtest::FakeBackend>(&audio_)));
  }
  ~Effects() override {
    DeleteSpriteEffects(&list_);
    GetSoundSettings().Shutdown();
  }
  // "sample state" of every channel started, in the order they were made.
  std::vector<std::string> Channels() {
    std::vector<std::string> out;
    for (const auto& [h, c] : audio_.channels)
      if (c.plays > 0)
        out.push_back(std::to_string(c.sample - 0x10000) +
                      (c.state == plat::audio::ChannelState::Playing ? " playing" : " paused"));
    return out;
  }
  static void Clock(u32 t) { GetResourceServices().clock = t; }
  DXLViewer& V() { return *rig_.rig.viewer; }
  // One owner step from the identity transform.
  bool Step() {
    const DXLMATRIX id = gfx::IdentityMatrix();
    V().SetTransform(&id);
    return UpdateSpriteEffects(&list_);
  }
  void Add(SpriteEffect* e) { AttachSpriteEffect(&list_, e); }
  const DXLMATRIX& M() { return V().CurrentTransform(); }

  SpriteRig rig_;
  soundtest::FakeAudio audio_;
  SpriteEffectList* list_ = nullptr;
};

TEST_F(Effects, StartTenInDelaysHoldStartValuesThenFormulasRun) {
  const u32 stops[] = {0xFF000000u, 0, 0xFF0000C8u, 400};
  Add(new SEffect_Pos(10, 20, 110, 220, 1000, false, 500));
  Add(new SEffect_Scale(0.5f, 2.0f, 1000, false, 500));
  Add(new SEffect_Rotation(30, 90, 1000, 5000, false, 500));
  Add(new SEffect_Gradient(false, 500, 2, stops));
  EXPECT_EQ(list_->Get(3)->GetDuration(), 400u);
  for (u32 t : {1000u, 1489u}) {  // started 10 ms in: the delay runs to 1490
    Clock(t);
    ASSERT_TRUE(Step());
    EXPECT_EQ(list_->flags, kEffectPosition | kEffectScale | kEffectRotation | kEffectColor);
    EXPECT_FLOAT_EQ(list_->posX, 10);
    EXPECT_FLOAT_EQ(list_->scaleX, 0.5f);
    EXPECT_FLOAT_EQ(list_->angle, 30);
    EXPECT_EQ(list_->color, 0xFF000000u);
  }
  Clock(1590);  // 100 ms after the delay
  ASSERT_TRUE(Step());
  EXPECT_EQ(list_->Get(0)->GetDelay(), 0u);
  EXPECT_EQ(list_->Get(0)->GetStartTime(), 1490u);
  EXPECT_FLOAT_EQ(list_->posX, 20);
  EXPECT_FLOAT_EQ(list_->posY, 40);
  EXPECT_FLOAT_EQ(list_->scaleY, 0.65f);
  EXPECT_FLOAT_EQ(list_->angle, 39);
  EXPECT_EQ(list_->color, 0xFF000032u);  // a quarter of the gradient
  // Applied as translate, rotate, scale.
  const float c = std::cos(39 * 3.1415927f / 180), s = std::sin(39 * 3.1415927f / 180);
  EXPECT_FLOAT_EQ(M().m[3][0], 20);
  EXPECT_FLOAT_EQ(M().m[3][1], 40);
  EXPECT_NEAR(M().m[0][0], c * 0.65f, 1e-5);
  EXPECT_NEAR(M().m[0][1], s * 0.65f, 1e-5);
  EXPECT_NEAR(M().m[1][0], -s * 0.65f, 1e-5);

  // A new effect's first step shows 10 ms of progress.
  DeleteSpriteEffects(&list_);
  Add(new SEffect_Pos(0, 0, 100, 50, 1000, true, 0));
  ASSERT_TRUE(Step());
  EXPECT_FLOAT_EQ(list_->posX, 1);
  EXPECT_FLOAT_EQ(list_->posY, 0.5f);
  EXPECT_EQ(list_->color, 0xFFFFFFFFu);  // no colour written
}

TEST_F(Effects, RemovalDeletesEffectThenListAndKeepsFinalValuesOtherwise) {
  Add(new SEffect_Scale(0, 1, 300, true, 0));
  ASSERT_TRUE(Step());  // starts at 990
  Clock(1289);          // 299 ms in
  ASSERT_TRUE(Step());
  EXPECT_NEAR(list_->scaleX, 299.0f / 300, 1e-6);
  EXPECT_NEAR(M().m[0][0], 299.0f / 300, 1e-6);
  Clock(1290);
  EXPECT_FALSE(Step());  // reached: deleted without its final value, and the list with it
  EXPECT_EQ(list_, nullptr);
  EXPECT_FLOAT_EQ(M().m[0][0], 1);
  EXPECT_FALSE(UpdateSpriteEffects(&list_));

  // Kept at the end value; a later alpha changes only the alpha of an
  // earlier colour, and a later colour overwrites an earlier alpha.
  Clock(1000);
  Add(new SEffect_Color(0x80112233u, 0x80112233u, 100, false, 0));
  Add(new SEffect_Alpha(0, 1, 200, false, 0));
  for (u32 t : {1100u, 5000u}) {
    Clock(t);
    ASSERT_TRUE(Step());
  }
  EXPECT_EQ(list_->color, 0xFF112233u);
  EXPECT_EQ(GetEffectColor(list_, 0x00ABCDEFu), 0xFFABCDEFu);
  SpriteEffectList other;
  other.Add(new SEffect_Alpha(0, 1, 200, false, 0));
  other.Add(new SEffect_Color(0x80112233u, 0x80112233u, 100, false, 0));
  Clock(5100);
  other.Step();
  EXPECT_EQ(other.color, 0x80112233u);
  EXPECT_EQ(GetEffectColor(&other, 0x00ABCDEFu), 0x80ABCDEFu);
  // An alpha beyond 0..1 stays opaque or clear; it never wraps into another
  // byte (1.5 would be 0x17E).
  for (const auto& [a, expected] : {std::pair{1.5f, 0xFF112233u}, std::pair{-0.5f, 0x00112233u}}) {
    SpriteEffectList beyond;
    beyond.Add(new SEffect_Color(0x80112233u, 0x80112233u, 100, false, 0));
    beyond.Add(new SEffect_Alpha(a, a, 200, false, 0));
    beyond.Step();
    EXPECT_EQ(beyond.color, expected) << a;
  }
  DXLQUAD q{};
  for (DXLVERTEX& v : q.v) v.color = 0xFF445566u;
  q.v[1].color = 0x12000000u;
  other.ApplyAlpha(&q);
  for (const DXLVERTEX& v : q.v) EXPECT_EQ(v.color, 0x80445566u);
  SpriteEffectList plain;
  plain.Add(new SEffect_Wait(1000));
  plain.Step();
  EXPECT_EQ(plain.flags, 0u);
  EXPECT_EQ(GetEffectColor(&plain, 0x00ABCDEFu), 0xFFABCDEFu);
  EXPECT_EQ(GetEffectColor(nullptr, 0x00ABCDEFu), 0xFFABCDEFu);
}

TEST_F(Effects, ShapedFormulasAtChosenProgress) {
  float x, y;
  SEffect_Build::ScaleAt(0.2f, &x, &y);
  EXPECT_NEAR(x, (1 - std::cos(0.2f / 0.7f * 3.1415927f / 2)) * 1.2f, 1e-6);
  EXPECT_NEAR(y, 0.75f, 1e-6);
  for (float p : {0.4f, 0.7f, 0.9f}) {  // continuous at each seam
    float x0, y0, x1, y1;
    SEffect_Build::ScaleAt(p - 1e-4f, &x0, &y0);
    SEffect_Build::ScaleAt(p, &x1, &y1);
    EXPECT_NEAR(x0, x1, 1e-3) << p;
    EXPECT_NEAR(y0, y1, 1e-3) << p;
  }
  SEffect_Build::ScaleAt(1.0f, &x, &y);
  EXPECT_FLOAT_EQ(x, 1);
  EXPECT_FLOAT_EQ(y, 1);

  // Each kind on its own list at p = 0.75 (750 ms of 1000), then past its end.
  struct Case {
    const char* name;
    SpriteEffect* effect;
    float at75;
    float past;  // at 2000 ms
    float SpriteEffectList::*field;
  } cases[] = {
      {"bump", new SEffect_PosBump(0, 0, 100, 0, 1000, false, 0), 130, 100, &SpriteEffectList::posX},
      {"there and back", new SEffect_PPScale(1, 2, 1000, false, 0), 1.5f, 1, &SpriteEffectList::scaleX},
      {"sine", new SEffect_SinScale(1, 2, 500, 200, false, 0), 2, 1, &SpriteEffectList::scaleY},  // 450, 1350 deg
      {"rotation", new SEffect_Rotation(350, 90, 1000, 500, false, 0), 57.5f, 170, &SpriteEffectList::angle},
  };
  for (Case& k : cases) {
    SpriteEffectList list;
    list.Add(k.effect);
    Clock(1000);
    list.Step();
    Clock(1740);
    list.Step();
    EXPECT_NEAR(list.*k.field, k.at75, 1e-3) << k.name;
    Clock(2990);
    list.Step();
    EXPECT_NEAR(list.*k.field, k.past, 1e-3) << k.name;
    EXPECT_EQ(list.GetCount(), 1);
  }

  // The centre shift: translate (-d), rotate, translate (d).
  Add(new SEffect_DisCenter(1000, 10, 4, 0));
  Add(new SEffect_Rotation(90, 0, 1000, 1000, true, 0));
  ASSERT_TRUE(Step());
  EXPECT_EQ(list_->flags, kEffectPosition | kEffectCentre | kEffectRotation);
  EXPECT_FLOAT_EQ(list_->centreX, 10);
  EXPECT_NEAR(M().m[3][0], -10 - 4, 1e-4);
  EXPECT_NEAR(M().m[3][1], -4 + 10, 1e-4);
}

TEST_F(Effects, ClonesOwnersOwnTimeAndRestarts) {
  SpriteEffectList a, b;
  auto* pos = new SEffect_Pos(0, 0, 100, 0, 1000, true, 200);
  a.Add(pos);
  a.Add(new SEffect_Wait(300));
  a.Step();
  pos->SetOwner(&b);  // moves to the end of b
  EXPECT_EQ(a.GetCount(), 1);
  ASSERT_EQ(b.GetCount(), 1);
  EXPECT_EQ(pos->GetOwner(), &b);
  std::unique_ptr<SpriteEffect> clone(pos->Clone());
  EXPECT_EQ(clone->GetStartTime(), kEffectNotStarted);
  EXPECT_EQ(clone->GetDelay(), 200u);
  EXPECT_EQ(clone->GetDuration(), 1000u);
  EXPECT_TRUE(clone->RemovesWhenDone());
  EXPECT_EQ(clone->GetOwner(), nullptr);

  // A list on its own time ignores the game clock.
  b.ownTime = 5000;
  pos->Restart(0);
  EXPECT_EQ(pos->GetStartTime(), 5000u);
  b.ownTime = 5250;
  b.Step();
  EXPECT_FLOAT_EQ(b.posX, 25);
  pos->SetElapsed(5000);  // at most the duration
  EXPECT_EQ(pos->GetStartTime(), 4250u);
  pos->SetElapsed(600);
  b.Step();
  EXPECT_FLOAT_EQ(b.posX, 60);
  b.enabled = 0;
  b.ownTime = 5260;
  b.Step();
  EXPECT_EQ(b.flags, 0u);
  EXPECT_FLOAT_EQ(b.posX, 60);
  b.persistentFlags = kEffectScale;
  b.enabled = 1;
  b.Step();
  EXPECT_EQ(b.flags, kEffectPosition | kEffectScale);
}

// --- Calls out of the list --------------------------------------------------------------

SpriteEffectList** g_slot = nullptr;

void Note(uintptr_t a, uintptr_t b, uintptr_t c) {
  g_journal.push_back("call " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c));
}
void DeleteList(uintptr_t, uintptr_t, uintptr_t) {
  g_journal.push_back("delete list");
  DeleteSpriteEffects(g_slot);
}
struct Owner {
  SpriteEffectList* effects = nullptr;
  ~Owner() { DeleteSpriteEffects(&effects); }
};
void DeleteOwner(uintptr_t owner, uintptr_t, uintptr_t) { delete reinterpret_cast<Owner*>(owner); }

// An effect that, when stepped, deletes another effect of its list, or the
// list itself, or steps its own list again.
class Meddler : public SpriteEffect {
 public:
  enum What { kDeleteOther, kDeleteList, kStepAgain };
  Meddler(What what, SpriteEffect* target) : SpriteEffect(0, 0, 1000, false), what_(what), target_(target) {}
  SpriteEffect* Clone() const override { return new Meddler(what_, target_); }
  bool Step() override {
    if (!SpriteEffect::Step()) return false;
    if (what_ == kDeleteOther) {
      delete target_;
      target_ = nullptr;
    } else if (what_ == kDeleteList) {
      DeleteSpriteEffects(g_slot);
    } else {
      g_journal.push_back(UpdateSpriteEffects(g_slot) ? "nested true" : "nested false");
    }
    return true;
  }

 private:
  What what_;
  SpriteEffect* target_;
};

TEST_F(Effects, SoundsAndCallsRunAfterTheStepAndMayFreeTheListOrItsOwner) {
  g_slot = &list_;
  const u32 one = GetSoundSettings().LoadSample(u"Sounds.dat", u"one", 0, 10, false);
  const u32 two = GetSoundSettings().LoadSample(u"Sounds.dat", u"two", 10, 10, false);
  Add(new SEffect_Sound(one, kSoundGroupLevel, 0));
  Add(new SEffect_Proc(&Note, 1, 2, 3, 100));
  Add(new SEffect_Sound(two, 0, 100));
  EXPECT_TRUE(Step());  // the sound plays and goes; the others wait
  EXPECT_EQ(Channels(), std::vector<std::string>{"1 playing"});
  ASSERT_EQ(list_->GetCount(), 2);
  Clock(1090);
  EXPECT_FALSE(Step());
  EXPECT_EQ(g_journal, std::vector<std::string>{"call 1 2 3"});
  GetSoundSettings().PauseSounds(kSoundGroupLevel);  // the first went with the level's group
  EXPECT_EQ(Channels(), (std::vector<std::string>{"1 paused", "2 playing"}));
  EXPECT_EQ(list_, nullptr);

  // A call that deletes the list it came from, with effects after it.
  g_journal.clear();
  Add(new SEffect_Pos(0, 0, 10, 10, 1000, false, 0));
  Add(new SEffect_Proc(&DeleteList, 0, 0, 0, 0));
  Add(new SEffect_Proc(&Note, 4, 5, 6, 0));
  Add(new SEffect_Scale(1, 2, 1000, false, 0));
  EXPECT_TRUE(Step());  // two effects remained when the step ended
  EXPECT_EQ(g_journal, (std::vector<std::string>{"delete list", "call 4 5 6"}));
  EXPECT_EQ(list_, nullptr);

  // A call that deletes the owner of the list; and calls wait for the
  // outermost scope, in order.
  g_journal.clear();
  auto* owner = new Owner;
  AttachSpriteEffect(&owner->effects, new SEffect_Proc(&DeleteOwner, reinterpret_cast<uintptr_t>(owner), 0, 0, 0));
  AttachSpriteEffect(&owner->effects, new SEffect_Wait(1000));
  SpriteEffectList second;
  second.Add(new SEffect_Proc(&Note, 9, 9, 9, 0));
  {
    DeferredEffectCalls scope;
    EXPECT_TRUE(UpdateSpriteEffects(&owner->effects));
    second.Step();
    EXPECT_TRUE(g_journal.empty());
  }
  EXPECT_EQ(g_journal, std::vector<std::string>{"call 9 9 9"});  // the owner is gone
  EXPECT_EQ(second.GetCount(), 0);
}

TEST_F(Effects, EffectsLeavingMidStepKeepTheOrderAndAListDeletedMidStepIsLeftAlone) {
  g_slot = &list_;
  auto* first = new SEffect_Pos(0, 0, 100, 0, 1000, false, 0);
  auto* last = new SEffect_Scale(1, 3, 1000, false, 0);
  Add(first);
  Add(new Meddler(Meddler::kDeleteOther, first));  // deletes the one before it
  Add(new Meddler(Meddler::kDeleteOther, nullptr));
  Add(last);
  ASSERT_TRUE(Step());
  ASSERT_EQ(list_->GetCount(), 3);
  EXPECT_FLOAT_EQ(list_->scaleX, 1.02f);  // `last` still stepped, once
  EXPECT_FLOAT_EQ(list_->posX, 1);        // written before it was deleted
  // One that deletes a later effect: the next one is not skipped.
  auto* victim = new SEffect_Color(0, 0xFFFFFFFFu, 1000, false, 0);
  DeleteSpriteEffects(&list_);
  Add(new Meddler(Meddler::kDeleteOther, victim));
  Add(victim);
  Add(new SEffect_Alpha(0.5f, 0.5f, 1000, false, 0));
  ASSERT_TRUE(Step());
  EXPECT_EQ(list_->GetCount(), 2);
  EXPECT_EQ(list_->color, 0x80FFFFFFu);

  // A nested step of the list under way does nothing.
  g_journal.clear();
  DeleteSpriteEffects(&list_);
  Add(new Meddler(Meddler::kStepAgain, nullptr));
  ASSERT_TRUE(Step());
  EXPECT_EQ(g_journal, std::vector<std::string>{"nested true"});

  // The list deleting itself mid-step: the step stops at once.
  DeleteSpriteEffects(&list_);
  Add(new Meddler(Meddler::kDeleteList, nullptr));
  Add(new SEffect_Pos(0, 0, 1, 1, 1000, false, 0));
  EXPECT_FALSE(Step());
  EXPECT_EQ(list_, nullptr);
}

}  // namespace
