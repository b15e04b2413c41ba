// Particle spaces, emitters and particles with the game's seeded generator:
// the step splitting, emitter states and lives, bursts and the particle cap,
// missing records and pictures, ownership, mirroring, emission shapes, and
// particles moved in sub-steps and drawn between them on the recording
// device.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "ParticleRig.h"
#include "base/Maths.h"
#include "base/Strings.h"
#include "engine/DXLViewer.h"

using particletest::ParticleRig;

namespace {

constexpr float kDeg = 3.14159265f / 180.0f;

// Everything that moves, as text.
std::string Snapshot(const GPSSpace& space) {
  std::ostringstream out;
  out.precision(9);
  out << space.GetParticleCount() << ":";
  for (const GPSParticle* p : ParticleRig::Particles(space)) {
    const GPSPARTICLESTATE& s = p->GetState();
    out << " " << s.x << "," << s.y << "," << s.vx << "," << s.vy << "," << s.lifeLeft << "," << p->GetFraction();
  }
  return out.str();
}

TEST(Particles, UpdateSplitsTimeIntoStepsOfTheLargestStepAndScalesIt) {
  ParticleRig rig;
  GPSPARAMS p = ParticleRig::Params(1, 0, 0);
  p.flags = kParticleGravity;
  p.count[0] = 1;
  p.count[1] = 3;
  p.life[0] = 100;
  p.life[1] = 400;
  p.speed[0] = 0.5f;
  p.speed[1] = 2.0f;
  p.direction[1] = 360.0f;
  p.gravity[0] = 0.1f;
  p.gravity[1] = 0.3f;
  GPSSYSTEM s = ParticleRig::System(u"a", 1, 3);
  s.burstInterval[1] = 9;
  const GPSSYSTEM* system = ParticleRig::Add(s);
  ParticleRig::Add(p);

  auto run = [&](float scale, const std::vector<float>& updates) {
    kis::srand(9);
    GPSSpace space(0);
    space.SetTimeScale(scale);
    GPSEmiter emitter(&space, system, nullptr, 10, 20);
    emitter.Start();
    for (int round = 0; round < 8; ++round)
      for (float t : updates) space.Update(t);
    return Snapshot(space);
  };
  const std::string whole = run(1, {25});
  EXPECT_GT(whole.size(), 100u);
  EXPECT_EQ(run(1, {10, 10, 5}), whole);
  EXPECT_EQ(run(2, {12.5f}), whole);
  EXPECT_EQ(run(0.5f, {50}), whole);
  EXPECT_NE(run(1, {26}), whole);

  // No time, time that is not a number or infinite, or a time scale of 0
  // change nothing, and draw no random numbers.
  {
    kis::srand(9);
    GPSSpace space(0);
    GPSEmiter emitter(&space, system, nullptr, 10, 20);
    emitter.Start();
    space.Update(25);
    const std::string before = Snapshot(space);
    const u32 seed = kis::rand();
    kis::srand(9);
    GPSSpace again(0);
    GPSEmiter second(&again, system, nullptr, 10, 20);
    second.Start();
    again.Update(25);
    for (float t : {0.0f, -5.0f, NAN, INFINITY}) again.Update(t);
    again.SetTimeScale(0);
    again.Update(100);
    EXPECT_EQ(Snapshot(again), before);
    EXPECT_EQ(kis::rand(), seed);
  }

  // A particle given 25 ms has run two sub-steps and stands half-way into
  // the third.
  GPSSpace space(0);
  GPSPARTICLEPARAMS one{};
  one.life = -1;
  one.speed = 1;
  new GPSParticle(&space, one, rig.spark, 0, 0);
  space.Update(25);
  const GPSParticle* particle = ParticleRig::Particles(space).at(0);
  EXPECT_FLOAT_EQ(particle->GetState().x, 2);
  EXPECT_FLOAT_EQ(particle->GetPrevious().x, 1);
  EXPECT_FLOAT_EQ(particle->GetFraction(), 0.5f);
  EXPECT_EQ(GetParticleLibrary().spaces.GetCount(), 1u);
}

TEST(Particles, EmitterStatesDelayCycleLifeAndOwnership) {
  ParticleRig rig;
  ParticleRig::Add(ParticleRig::Params(1, -1, 0));
  GPSSYSTEM s = ParticleRig::System(u"cycle", 1, 10);
  s.startDelay = 15;
  s.cyclePeriod = 50;
  const GPSSYSTEM* cycle = ParticleRig::Add(s);

  GPSSpace space(0);
  auto* e = new GPSEmiter(&space, cycle, nullptr, 0, 0);
  EXPECT_EQ(e->GetState(), GPSEmiter::kStopped);
  space.Update(100);
  EXPECT_EQ(space.GetParticleCount(), 0u);
  e->Start();
  EXPECT_EQ(e->GetState(), GPSEmiter::kRunning);
  EXPECT_FLOAT_EQ(e->GetDelayLeft(), 15);
  space.Update(10);
  EXPECT_EQ(space.GetParticleCount(), 0u);
  EXPECT_FLOAT_EQ(e->GetDelayLeft(), 5);
  space.Update(10);  // the delay ends 5 ms in: the first burst, the next one 10 ms on
  EXPECT_EQ(space.GetParticleCount(), 1u);
  EXPECT_FLOAT_EQ(e->GetTimeToBurst(), 5);
  space.Update(10);
  EXPECT_EQ(space.GetParticleCount(), 2u);

  // A gentle stop finishes the cycle (started again in between, it keeps
  // its time); the cycle ends at 50 ms and so does the emission.
  e->Stop(false);
  EXPECT_EQ(e->GetState(), GPSEmiter::kFinishing);
  e->Start();
  EXPECT_EQ(e->GetState(), GPSEmiter::kRunning);
  EXPECT_FLOAT_EQ(e->GetCycleTime(), 30);
  EXPECT_FLOAT_EQ(e->GetTimeToBurst(), 5);
  e->Stop(false);
  space.Update(10);
  EXPECT_EQ(space.GetParticleCount(), 3u);
  space.Update(15);
  EXPECT_EQ(e->GetState(), GPSEmiter::kStopped);
  EXPECT_EQ(space.GetParticleCount(), 4u);
  space.Update(100);
  EXPECT_EQ(space.GetParticleCount(), 4u);
  // Started afresh, then stopped at once: no more bursts.
  e->Start();
  EXPECT_FLOAT_EQ(e->GetDelayLeft(), 15);
  EXPECT_FLOAT_EQ(e->GetCycleTime(), 0);
  e->Stop(true);
  EXPECT_EQ(e->GetState(), GPSEmiter::kStopped);
  space.Update(100);
  EXPECT_EQ(space.GetParticleCount(), 4u);
  space.ClearParticles();
  EXPECT_EQ(space.GetParticleCount(), 0u);

  // Lives: 0 is dead at once, -1 never ends, 35 ms runs out after four
  // bursts (at 0, 10, 20 and 30 ms).
  GPSSYSTEM life = ParticleRig::System(u"life", 1, 10);
  life.life = 0;
  GPSEmiter none(&space, &life, nullptr, 0, 0);
  EXPECT_TRUE(none.IsDead());
  none.Start();
  EXPECT_EQ(none.GetState(), GPSEmiter::kStopped);
  life.life = 35;
  auto* limited = new GPSEmiter(&space, &life, nullptr, 0, 0);
  auto* leftToTheSpace = new GPSEmiter(&space, &life, nullptr, 0, 0);
  limited->Start();
  leftToTheSpace->Start();
  space.Update(40);
  EXPECT_TRUE(limited->IsDead());
  EXPECT_EQ(space.GetParticleCount(), 8u);
  // A dead emitter stays with its owner: deleting it is safe, and the space
  // deletes the ones nobody took.
  EXPECT_EQ(space.GetEmitterCount(), 4u);
  delete limited;
  EXPECT_EQ(space.GetEmitterCount(), 3u);
  space.Update(100);
  EXPECT_EQ(space.GetParticleCount(), 8u);
  life.life = -1;
  GPSEmiter forever(&space, &life, nullptr, 0, 0);
  forever.Start();
  space.Update(5000);
  EXPECT_FALSE(forever.IsDead());
  EXPECT_EQ(space.GetParticleCount(), 257u);  // one past the 256 before it

  // Without a parameter record (none given, none of its id) the emitter is
  // dead; a record given stands in.
  GPSSYSTEM orphan = ParticleRig::System(u"orphan", 99, 10);
  GPSEmiter lost(&space, &orphan, nullptr, 0, 0);
  EXPECT_TRUE(lost.IsDead());
  const GPSPARAMS own = ParticleRig::Params(5, 10, 1);
  GPSEmiter found(&space, &orphan, &own, 0, 0);
  EXPECT_FALSE(found.IsDead());
  EXPECT_EQ(found.GetParams().id, 5u);
  GPSEmiter nothing(&space, nullptr, nullptr, 0, 0);
  EXPECT_TRUE(nothing.IsDead());
  space.Update(10);
}

TEST(Particles, BurstsEveryMillisecondFillTheSpaceToItsMaximumAndAMissingPictureStopsTheStep) {
  ParticleRig rig;
  ParticleRig::Add(ParticleRig::Params(1, -1, 0));
  const GPSSYSTEM* often = ParticleRig::Add(ParticleRig::System(u"often", 1, 0));
  GPSSpace space(0);
  GPSEmiter e(&space, often, nullptr, 0, 0);
  e.Start();
  space.Update(10);  // at 0, 1, ... 10 ms
  EXPECT_EQ(space.GetParticleCount(), 11u);
  space.Update(10);
  EXPECT_EQ(space.GetParticleCount(), 21u);
  for (int i = 0; i < 30; ++i) space.Update(10);
  // A new particle dies when more than the maximum were there before it.
  EXPECT_EQ(space.GetParticleCount(), static_cast<u32>(GPSSpace::kMaxParticles) + 1);
  EXPECT_EQ(GetParticleSpriteSet()->GetImageSpriteCount(), GPSSpace::kMaxParticles + 1);

  // A sprite the particle set does not have: each step's first particle is
  // dead at once and ends the step's emission; nothing is drawn.
  GPSSYSTEM s = ParticleRig::System(u"dark", 1, 0);
  kis::StrCopy(s.sprite, kSpriteNameSize, u"nowhere");
  GPSSpace dark(0);
  GPSEmiter blind(&dark, &s, nullptr, 0, 0);
  EXPECT_EQ(blind.GetSprite(), nullptr);
  blind.Start();
  dark.Update(10);
  EXPECT_EQ(dark.GetParticleCount(), 0u);
  EXPECT_FALSE(blind.IsDead());
  EXPECT_FLOAT_EQ(blind.GetTimeToBurst(), 1);
  rig.sprites.calls.Clear();
  dark.Draw();
  EXPECT_TRUE(rig.sprites.calls.Primitives().empty());
}

TEST(Particles, MirroredSpacesMirrorPositionDirectionSpinAndAngle) {
  ParticleRig rig;
  GPSPARAMS p = ParticleRig::Params(1, -1, 2);
  p.flags = kParticleSpin | kParticleRotation;
  p.direction[0] = p.direction[1] = 30;
  p.spin[0] = p.spin[1] = 10;
  p.angle[0] = p.angle[1] = 20;
  ParticleRig::Add(p);
  p.id = 2;
  p.reverseSpin = 1;
  p.direction[0] = p.direction[1] = 150;
  ParticleRig::Add(p);
  const GPSSYSTEM* plain = ParticleRig::Add(ParticleRig::System(u"plain", 1, 100));
  const GPSSYSTEM* reversed = ParticleRig::Add(ParticleRig::System(u"reversed", 2, 100));
  auto first = [&](u32 mirrored, const GPSSYSTEM* system) {
    auto space = std::make_unique<GPSSpace>(mirrored);
    (new GPSEmiter(space.get(), system, nullptr, 40, 5))->Start();
    space->Update(1);  // made, but no sub-step yet
    return space;
  };
  auto straight = first(0, plain), mirrored = first(1, plain);
  const GPSParticle* a = ParticleRig::Particles(*straight).at(0);
  const GPSParticle* b = ParticleRig::Particles(*mirrored).at(0);
  EXPECT_FLOAT_EQ(a->GetState().x, 40);
  EXPECT_FLOAT_EQ(b->GetState().x, -40);
  EXPECT_FLOAT_EQ(b->GetState().y, 5);
  EXPECT_FLOAT_EQ(a->GetState().vx, 2 * std::cos(30 * kDeg));
  EXPECT_FLOAT_EQ(b->GetState().vx, -2 * std::cos(30 * kDeg));
  EXPECT_NEAR(b->GetState().vy, a->GetState().vy, 1e-5);
  EXPECT_FLOAT_EQ(a->GetParams().spin, 10);
  EXPECT_FLOAT_EQ(b->GetParams().spin, -10);
  EXPECT_FLOAT_EQ(b->GetParams().direction, 150);
  EXPECT_FLOAT_EQ(b->GetState().rotation, 160);
  // The reverse flag turns the spin of particles heading between 90 and
  // 270 degrees; mirroring then turns it again.
  EXPECT_FLOAT_EQ(ParticleRig::Particles(*first(0, reversed)).at(0)->GetParams().spin, -10);
  EXPECT_FLOAT_EQ(ParticleRig::Particles(*first(1, reversed)).at(0)->GetParams().spin, 10);
}

TEST(Particles, ShapesPlaceAroundTheEmitterAndSizesThatAreNotFiniteCollapseToIt) {
  ParticleRig rig;
  GPSPARAMS p = ParticleRig::Params(1, -1, 0);
  p.count[0] = p.count[1] = 12;
  ParticleRig::Add(p);
  auto burst = [&](u32 shape, std::initializer_list<float> sizes, u32 mirrored = 0) {
    GPSSYSTEM s = ParticleRig::System(u"shape", 1, 1000);
    s.shape = shape;
    std::copy(sizes.begin(), sizes.end(), s.sizes);
    GPSSpace space(mirrored);
    GPSEmiter e(&space, &s, nullptr, 500, 300);
    e.Start();
    space.Update(1);
    std::vector<kis::FloatPoint> out;
    for (const GPSParticle* q : ParticleRig::Particles(space)) out.push_back({q->GetState().x, q->GetState().y});
    EXPECT_EQ(out.size(), 12u);
    return out;
  };
  for (auto q : burst(kEmitPoint, {5, 5, 5, 5})) {
    EXPECT_EQ(q.x, 500);
    EXPECT_EQ(q.y, 300);
  }
  // On the ellipse outline, one particle to each twelfth of the turn.
  const auto ring = burst(kEmitEllipseOutline, {20, 10, 0, 0});
  for (size_t i = 0; i < ring.size(); ++i) {
    const float dx = (ring[i].x - 500) / 20, dy = (ring[i].y - 300) / 10;
    EXPECT_NEAR(dx * dx + dy * dy, 1, 1e-4);
    const float angle = kis::NormalizeAngle(std::atan2(dy, dx) / kDeg + 7.5f);  // sectors from -7.5 degrees
    EXPECT_NEAR(angle, 30.0f * i + 7.5f, 7.5f + 1e-3) << i;
  }
  for (auto q : burst(kEmitEllipseOutline, {20, 10, 4, 0})) {
    const float r = kis::VectorLengthXY((q.x - 500) / 20, (q.y - 300) / 10);
    EXPECT_GE(r, 6 / 10.0f - 1e-4);  // each radius 4 shorter or longer
    EXPECT_LE(r, 14 / 10.0f + 1e-4);
  }
  for (auto q : burst(kEmitDisc, {15, 0, 0, 0})) EXPECT_LE(kis::Distance(q.x, q.y, 500, 300), 15 + 1e-3);
  for (auto q : burst(kEmitEllipseArea, {20, 10, 0, 0})) {
    const float dx = (q.x - 500) / 20, dy = (q.y - 300) / 10;
    EXPECT_LE(dx * dx + dy * dy, 1 + 1e-4);
  }
  for (auto q : burst(kEmitLine, {5, 5, 10, 20})) {
    EXPECT_NEAR(q.y - 305, 2 * (q.x - 505), 1e-3);
    EXPECT_GE(q.x, 505);
    EXPECT_LE(q.x, 515);
  }
  for (auto q : burst(kEmitRectangle, {5, 5, 10, 20})) {
    EXPECT_GE(q.x, 505);
    EXPECT_LE(q.x, 515);
    EXPECT_GE(q.y, 305);
    EXPECT_LE(q.y, 325);
  }
  for (auto q : burst(kEmitRectangle, {5, 5, 10, 20}, 1)) {
    EXPECT_LE(q.x, -505);
    EXPECT_GE(q.x, -515);
  }
  // A disc under 1 pixel across, and sizes not a number or infinite: at the
  // emitter, at once.
  for (u32 shape = kEmitEllipseOutline; shape <= kEmitRectangle; ++shape) {
    for (auto q : burst(shape, {NAN, INFINITY, -INFINITY, NAN})) {
      EXPECT_EQ(q.x, 500) << shape;
      EXPECT_EQ(q.y, 300) << shape;
    }
  }
  for (auto q : burst(kEmitDisc, {0.4f, 0, 0, 0})) EXPECT_EQ(q.x, 500);
}

TEST(Particles, SubStepsMoveScaleAndColourAndDrawingStandsBetweenTheLastTwo) {
  ParticleRig rig;
  GPSPARAMS p = ParticleRig::Params(1, 100, 2);
  p.flags = kParticleGravity | kParticleRotation | kParticleSpin | kParticleScale | kParticleFixedColor;
  p.gravity[0] = p.gravity[1] = 0.5f;
  p.angle[0] = p.angle[1] = 30;
  p.spin[0] = p.spin[1] = 10;
  p.startScale[0] = p.startScale[1] = 1;
  p.endScale[0] = p.endScale[1] = 3;
  p.color = 0x80FF8040u;
  ParticleRig::Add(p);
  const GPSSYSTEM* system = ParticleRig::Add(ParticleRig::System(u"puff", 1, 1000));
  GPSSpace space(0);
  space.SetAlpha(0.5f);
  GPSEmiter e(&space, system, nullptr, 100, 50);
  e.Start();
  space.Update(15);  // made at 0 and advanced 10 in the first step, 5 in the second
  const GPSParticle* q = ParticleRig::Particles(space).at(0);
  const GPSPARTICLESTATE& s = q->GetState();
  EXPECT_FLOAT_EQ(s.x, 102);
  EXPECT_FLOAT_EQ(s.y, 50.5f);
  EXPECT_FLOAT_EQ(s.vy, 0.5f);
  EXPECT_FLOAT_EQ(s.rotation, 40);
  EXPECT_FLOAT_EQ(s.lifeLeft, 90);
  EXPECT_FLOAT_EQ(s.lifeFraction, 0.9f);
  EXPECT_FLOAT_EQ(s.scale, 1.2f);
  EXPECT_FLOAT_EQ(q->GetFraction(), 0.5f);

  DXLViewer& viewer = *rig.sprites.rig.viewer;
  ASSERT_EQ(viewer.BeginFrame(), 0);
  DXLMATRIX start;
  viewer.LoadIdentity(&start);
  start.m[3][0] = 7;
  viewer.SetTransform(&start);
  rig.sprites.calls.Clear();
  space.Draw();
  EXPECT_FLOAT_EQ(viewer.CurrentTransform().m[3][0], 7);  // the transform it started from
  ASSERT_EQ(rig.sprites.calls.Primitives().size(), 1u);
  const auto& drawn = rig.sprites.calls.Primitives()[0];
  const float c = 1.1f * std::cos(35 * kDeg), sn = 1.1f * std::sin(35 * kDeg);
  EXPECT_NEAR(drawn.world.m[0][0], c, 1e-5);
  EXPECT_NEAR(drawn.world.m[0][1], sn, 1e-5);
  EXPECT_NEAR(drawn.world.m[1][0], -sn, 1e-5);
  EXPECT_NEAR(drawn.world.m[3][0], 7 + 101 - 4 * c + 4 * sn, 1e-4);  // moved back by the pivot (4, 4)
  EXPECT_NEAR(drawn.world.m[3][1], 50.25f - 4 * sn - 4 * c, 1e-4);
  for (const auto& v : drawn.vertices) EXPECT_EQ(v.color, 0x40FF8040u);  // alpha 0x80 x 0.5

  // The space's alpha is clamped; at 0 nothing is drawn.
  space.SetAlpha(1.5f);
  EXPECT_EQ(space.GetAlpha(), 1.0f);
  space.SetAlpha(NAN);
  EXPECT_EQ(space.GetAlpha(), 0.0f);
  rig.sprites.calls.Clear();
  space.Draw();
  EXPECT_TRUE(rig.sprites.calls.Primitives().empty());

  // It lives its 100 ms to the millisecond.
  space.Update(80);
  EXPECT_EQ(space.GetParticleCount(), 1u);
  space.Update(5);
  EXPECT_EQ(space.GetParticleCount(), 0u);
  EXPECT_EQ(GetParticleSpriteSet()->GetImageSpriteCount(), 0);

  // Turned to its motion, coloured by a curve over its life, slowed down.
  ParticleRig::Add(GPSCURVE{5, {{0, 0xFF000000u}, {100, 0xFFFFFFFFu}}, 100});
  p.id = 2;
  p.flags = kParticleRotation | kParticleFollowMotion | kParticleGravity | kParticleColorCurve | kParticleDamping;
  p.colorCurve = 5;
  p.damping[0] = p.damping[1] = 0.25f;
  ParticleRig::Add(p);
  GPSSpace other(0);
  GPSEmiter turning(&other, ParticleRig::Add(ParticleRig::System(u"turn", 2, 1000)), nullptr, 0, 0);
  turning.Start();
  other.Update(15);
  const GPSParticle* t = ParticleRig::Particles(other).at(0);
  EXPECT_FLOAT_EQ(t->GetState().vx, 0.5f);
  EXPECT_FLOAT_EQ(t->GetState().vy, 0.125f);
  EXPECT_NEAR(static_cast<int>(t->GetColor() & 0xFF), 13, 1);  // 5 ms into the curve's 100
  EXPECT_EQ(t->GetColor() >> 24, 0xFFu);
  rig.sprites.calls.Clear();
  viewer.LoadIdentity(nullptr);
  other.Draw();
  ASSERT_EQ(rig.sprites.calls.Primitives().size(), 1u);
  const float heading = std::atan2(0.25f, 1.0f);
  EXPECT_NEAR(rig.sprites.calls.Primitives()[0].world.m[0][1], std::sin(heading), 1e-5);
  // Damping brings small speeds to a stop.
  other.Update(60);
  EXPECT_EQ(ParticleRig::Particles(other).at(0)->GetState().vx, 0.0f);
  viewer.Present();
}

// Scale over the life by the curve kind, halfway (life 100, 50 ms lived), from
// 1 to 3: linear 2; the curve that rises fast sqrt(1 - 0.5^2) = 0.866 of the
// way; the one that starts flat 1 - 0.866 of it.
TEST(Particles, ScaleFollowsTheCurveKindOverTheLife) {
  const std::pair<u32, float> kinds[] = {{0, 2.0f}, {1, 1.0f + 2 * 0.8660254f}, {2, 1.0f + 2 * 0.1339746f}};
  for (const auto& [kind, expected] : kinds) {
    ParticleRig rig;
    GPSPARAMS p = ParticleRig::Params(1, 100, 0);
    p.flags = kParticleScale;
    p.startScale[0] = p.startScale[1] = 1;
    p.endScale[0] = p.endScale[1] = 3;
    p.scaleCurve = kind;
    ParticleRig::Add(p);
    const GPSSYSTEM* system = ParticleRig::Add(ParticleRig::System(u"grow", 1, 1000));
    GPSSpace space(0);
    GPSEmiter e(&space, system, nullptr, 0, 0);
    e.Start();
    space.Update(55);  // five whole steps of 10 ms lived
    const GPSParticle* q = ParticleRig::Particles(space).at(0);
    ASSERT_FLOAT_EQ(q->GetState().lifeFraction, 0.5f) << kind;
    EXPECT_NEAR(q->GetState().scale, expected, 2e-3) << kind;
  }
}

TEST(Particles, CurveColoursBlendStopsAndHoldTheEnds) {
  const GPSCURVE curve{1, {{50, 0xFF000000u}, {0, 0xFF0000FFu}, {50, 0xFFFFFFFFu}}, 100};
  EXPECT_EQ(CurveColorAt(curve, 0), 0xFF000000u);
  EXPECT_EQ(CurveColorAt(curve, 50), 0xFF000000u);
  EXPECT_EQ(CurveColorAt(curve, 75), kis::LerpColor(0xFF0000FFu, 0xFFFFFFFFu, 0.5f));
  EXPECT_EQ(CurveColorAt(curve, 100), 0xFFFFFFFFu);
  EXPECT_EQ(CurveColorAt(curve, 1e9f), 0xFFFFFFFFu);
  EXPECT_EQ(CurveColorAt(curve, NAN), 0xFF000000u);
  EXPECT_EQ(CurveColorAt(GPSCURVE{2, {}, 0}, 5), 0u);
}

}  // namespace
