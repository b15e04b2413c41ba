// The character descriptions of "Data.dat" from tables/characters.txt (the
// format is in the file's header). Every animation a skin names must be one
// of the animations read before.
#include <algorithm>
#include <cmath>
#include <string>

#include "ContentSources.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "base/Strings.h"
#include "platform/encoding/Utf.h"

namespace {

bool KnownAnimation(const ContentSourceTables& tables, const std::string& name) {
  const std::u16string wide = plat::Utf8ToUtf16(name);
  return std::any_of(tables.animations.begin(), tables.animations.end(), [&](const ANIMRECORD& a) {
    return kis::StrICompare(a.name, wide.c_str()) == 0;
  });
}

}  // namespace

bool ReadCharacters(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/characters.txt")) return false;
  for (kis::TdrNode* block : tree.Blocks(u"character")) {
    tree.Enter(block);
    CHARACTERRECORD c;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      const std::string key = tree.LineName(i);
      i32 v[4] = {};
      if (key == "name") {
        tree.Read(i, u"Z[32]", &c.name);
      } else if (key == "id") {
        tree.Read(i, u"u4", &c.id);
      } else if (key == "grid") {
        tree.Read(i, u"x4", &c.gridId);
      } else if (key == "hit") {
        tree.Read(i, u"i4,i4,i4,i4", &c.hit[0], &c.hit[1], &c.hit[2], &c.hit[3]);
      } else if (key == "foot") {
        if (!tree.Read(i, u"i4,i4,i4,i4", &v[0], &v[1], &v[2], &v[3])) continue;
        for (u32 k = 0; k < 4; ++k) {
          if (v[k] < 0 || v[k] > 256) tree.Fail("foot: each side 0 to 256");
          c.foot[k] = static_cast<i16>(std::clamp(v[k], 0, 256));
        }
      } else if (key == "speed") {
        if (tree.Read(i, u"f", &c.speed) && !(c.speed > 0.0f && c.speed < 100.0f)) tree.Fail("speed: above 0, below 100");
      } else if (key == "animation") {
        u32 skin = 0;
        wchar name[32] = {};
        if (!tree.Read(i, u"u4,Z[32]", &skin, &name)) continue;
        const std::string text = NarrowName(name);
        if (skin > c.skins.size() || skin >= kMaxCharacterSkins) {
          tree.Fail("animation: skins are numbered from 0 in order");
        } else if (!KnownAnimation(tables, text)) {
          tree.Fail("animation: \"" + text + "\" is no animation");
        } else {
          if (skin == c.skins.size()) c.skins.emplace_back();
          if (c.skins[skin].size() == kMaxSkinAnimations) tree.Fail("animation: too many in one skin");
          c.skins[skin].push_back(plat::Utf8ToUtf16(text));
        }
      } else if (key == "idle") {
        tree.Read(i, u"i4", &c.idleIndex);
      } else if (key == "walk") {
        tree.Read(i, u"i4", &c.walkIndex);
      } else {
        tree.Fail("unknown line \"" + key + "\"");
      }
    }
    if (kis::NameIdA(NarrowName(c.name).c_str()) == 0) tree.Fail("a character needs a name");
    for (const auto& skin : c.skins)
      if (c.idleIndex < 0 || c.walkIndex < 0 || static_cast<size_t>(std::max(c.idleIndex, c.walkIndex)) >= skin.size())
        tree.Fail("idle and walk: entries every skin has");
    tables.characters.push_back(c);
  }
  return tree.Ok();
}
