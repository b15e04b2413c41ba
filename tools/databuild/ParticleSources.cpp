// system { name, sprite, shape, sizes, timing = DELAY, CYCLE, LIFE,
// interval = MIN, MAX, aim = OFFSET, SPREAD, and the particles: count,
// life, direction, speed (pixels a 10 ms step), gravity, damping, spin,
// reverse_spin, angle, follow, scale = START_MIN, START_MAX, END_MIN,
// END_MAX [, CURVE], color = 0xAARRGGBB, stop = MS, 0xAARRGGBB (a colour
// curve, repeated) }. A line that is left out leaves its feature off; each
// system has one parameter record and at most one curve, both under the
// system's name id.
#include <iterator>

#include "ArtBook.h"
#include "ContentSources.h"
#include "DataSetBuild.h"
#include "MotionSources.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "platform/encoding/Utf.h"
#include "resources/SpriteSet.h"

namespace {

constexpr const char* kShapes[] = {"point", "ellipse_outline", "disc", "line", "ellipse_area", "rectangle"};
constexpr u32 kDefaultParticleSide = 32;

// A "MIN, MAX" line into a range; true when the line was read.
template <class T>
bool Range(SourceTree& tree, u32 line, const char16_t* format, T (&range)[2]) {
  return tree.Read(line, format, &range[0], &range[1]);
}

}  // namespace

bool ReadParticleSystems(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/particles.txt")) return false;
  for (kis::TdrNode* block : tree.Blocks(u"system")) {
    tree.Enter(block);
    wchar name[32] = {}, sprite[32] = {}, shape[24] = {};
    GPSPARAMS p = MakeEmitterParams(0);
    GPSSYSTEM s = MakeParticleSystem(u"", 0, u"");
    GPSCURVE curve{0, {}, 0.0f};
    p.count[0] = p.count[1] = 1;
    p.color = 0xFFFFFFFFu;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      if (key == "name") {
        tree.Read(i, u"Z[32]", &name);
      } else if (key == "sprite") {
        tree.Read(i, u"Z[32]", &sprite);
      } else if (key == "shape") {
        tree.Read(i, u"Z[24]", &shape);
      } else if (key == "sizes") {
        tree.Read(i, u"f,{f,f,f}", &s.sizes[0], &s.sizes[1], &s.sizes[2], &s.sizes[3]);
      } else if (key == "timing") {
        tree.Read(i, u"i4,i4,i4", &s.startDelay, &s.cyclePeriod, &s.life);
      } else if (key == "interval") {
        Range(tree, i, u"i4,i4", s.burstInterval);
      } else if (key == "aim") {
        tree.Read(i, u"f,f", &s.directionOffset, &s.directionSpread);
      } else if (key == "count") {
        Range(tree, i, u"i4,i4", p.count);
      } else if (key == "life") {
        Range(tree, i, u"i4,i4", p.life);
      } else if (key == "direction") {
        Range(tree, i, u"f,f", p.direction);
      } else if (key == "speed") {
        Range(tree, i, u"f,f", p.speed);
      } else if (key == "gravity") {
        if (Range(tree, i, u"f,f", p.gravity)) p.flags |= kParticleGravity;
      } else if (key == "damping") {
        if (Range(tree, i, u"f,f", p.damping)) p.flags |= kParticleDamping;
      } else if (key == "spin") {
        if (Range(tree, i, u"f,f", p.spin)) p.flags |= kParticleSpin;
      } else if (key == "reverse_spin") {
        tree.Read(i, u"u4", &p.reverseSpin);
      } else if (key == "angle") {
        if (Range(tree, i, u"f,f", p.angle)) p.flags |= kParticleRotation;
      } else if (key == "follow") {
        u32 on = 0;
        if (tree.Read(i, u"u4", &on) && on) p.flags |= kParticleRotation | kParticleFollowMotion;
      } else if (key == "scale") {
        if (tree.Read(i, u"f,f,f,f,{u4}", &p.startScale[0], &p.startScale[1], &p.endScale[0], &p.endScale[1],
                      &p.scaleCurve))
          p.flags |= kParticleScale;
      } else if (key == "color") {
        if (tree.Read(i, u"x4", &p.color)) p.flags |= kParticleFixedColor;
      } else if (key == "stop") {
        GPSCURVEPOINT point{};
        if (!tree.Read(i, u"f,x4", &point.duration, &point.color)) continue;
        if (curve.points.size() == kMaxCurvePoints) {
          tree.Fail("more than 16 colour stops");
          continue;
        }
        curve.points.push_back(point);
        curve.total += point.duration;
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    const std::string systemName = NarrowName(name), spriteName = NarrowName(sprite), shapeName = NarrowName(shape);
    const u32 id = kis::NameIdA(systemName.c_str());
    if (id == 0 || kis::NameIdA(spriteName.c_str()) == 0) {
      tree.Fail("a particle system needs a name and a sprite of letters, digits and \"_\"");
      continue;
    }
    s.shape = 0;
    while (s.shape < std::size(kShapes) && shapeName != kShapes[s.shape]) ++s.shape;
    if (!shapeName.empty() && s.shape == std::size(kShapes)) tree.Fail("shape: \"" + shapeName + "\" is no shape");
    if (shapeName.empty()) s.shape = kEmitPoint;
    for (const GPSSYSTEM& other : tables.particleSystems)
      if (other.nameId == id) tree.Fail("\"" + systemName + "\" is given twice");
    s.nameId = id;
    s.paramsId = p.id = id;
    SetName(s.sprite, spriteName);
    if (!curve.points.empty()) {
      curve.id = id;
      p.colorCurve = id;
      p.flags |= kParticleColorCurve;
      tables.curves.push_back(curve);
    }
    const ArtPiece* art = ArtBook::Get().Find(kParticleSpriteSet, spriteName);
    build.Pictures().RequireAnySize(kParticleSpriteSet, spriteName, PictureKind::kSprite,
                                    art && art->width ? art->width : kDefaultParticleSide,
                                    art && art->height ? art->height : kDefaultParticleSide, "tables/particles.txt");
    tables.particleParams.push_back(p);
    tables.particleSystems.push_back(s);
  }
  return tree.Ok();
}
