// The main screen's scene ("MNSC") from "tables/main_screen.txt" (its head
// says the form). The pictures the layers name are set 13's, drawn by the
// builder at their own size (MainScreenArt.cpp).
#include <string>

#include "ArtBook.h"
#include "ContentSources.h"
#include "DataSetBuild.h"
#include "SourceTree.h"
#include "base/Identifier.h"
#include "content/MainScreenSection.h"

namespace {

bool MainScreenKind(const std::string& text, u32* kind) {
  const char* names[] = {"plain", "girl", "light", "particles"};
  for (u32 k = 0; k < 4; ++k)
    if (text == names[k]) {
      *kind = k;
      return true;
    }
  return false;
}

bool ReadMainScreenLayer(DataSetBuild& build, ContentSourceTables& tables, SourceTree& tree,
                         MAINSCREENLAYERINFO* layer) {
  u32 lights = 0, emitters = 0;
  for (u32 i = 0; i < tree.LineCount(); ++i) {
    const std::string key = tree.LineName(i);
    if (key == "kind") {
      wchar text[16] = {};
      if (tree.Read(i, u"Z[16]", &text) && !MainScreenKind(NarrowName(text), &layer->kind))
        tree.Fail("kind: plain, girl, light or particles");
    } else if (key == "depth") {
      tree.Read(i, u"f", &layer->depth);
    } else if (key == "zoom") {
      tree.Read(i, u"f", &layer->zoom);
    } else if (key == "sprite") {
      if (layer->count >= kMainScreenMaxEntries) {
        tree.Fail("more than 16 sprites");
        continue;
      }
      MAINSCREENENTRY& e = layer->entries[layer->count];
      if (!tree.Read(i, u"Z[32],i4,i4,i4,i4,x4", &e.name, &e.x1, &e.y1, &e.x2, &e.y2, &e.colour)) continue;
      const std::string name = NarrowName(e.name);
      const ArtPiece* art = ArtBook::Get().Find(kMainScreenSpriteSet, name);
      if (!art) {
        tree.Fail("\"" + name + "\" is no picture of the main screen");
        continue;
      }
      RequirePicture(build, tree, kMainScreenSpriteSet, name, PictureKind::kSprite, art->width, art->height);
      ++layer->count;
    } else if (key == "light") {
      if (lights >= kMainScreenMaxEntries) {
        tree.Fail("more than 16 lights");
        continue;
      }
      MAINSCREENLIGHTINFO& l = layer->lights[lights++];
      tree.Read(i, u"f,f,f,u4,u4,u4,u4,u4,u4,u4", &l.angle, &l.startX, &l.endX, &l.minDuration, &l.maxDuration,
                &l.fadeIn, &l.fadeOut, &l.minPause, &l.maxPause, &l.blend);
    } else if (key == "emitter") {
      if (emitters >= kMainScreenMaxEntries) {
        tree.Fail("more than 16 emitters");
        continue;
      }
      MAINSCREENPARTICLE& p = layer->particles[emitters++];
      wchar name[32] = {};
      if (!tree.Read(i, u"Z[32],i4,i4,f", &name, &p.x, &p.y, &p.angle)) continue;
      p.systemId = kis::NameIdA(NarrowName(name).c_str());
      bool known = false;
      for (const GPSSYSTEM& s : tables.particleSystems) known = known || s.nameId == p.systemId;
      if (!known) {
        std::string message = "\"";  // appended step by step: g++ misreads the literal + temporary form
        message += NarrowName(name);
        message += "\" is no particle system";
        tree.Fail(message);
      }
    } else {
      tree.Fail("unknown line \"" + key + "\"");
    }
  }
  if (layer->kind == kMainScreenLight && lights != layer->count) tree.Fail("a light line for every sprite");
  if ((lights && layer->kind != kMainScreenLight) || (emitters && layer->kind != kMainScreenParticles))
    tree.Fail("lights only in a light layer, emitters only in a particle layer");
  return tree.Ok();
}

}  // namespace

bool ReadMainScreen(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/main_screen.txt")) return false;
  for (kis::TdrNode* block : tree.Blocks(u"layer")) {
    tree.Enter(block);
    MAINSCREENLAYERINFO layer{};
    ReadMainScreenLayer(build, tables, tree, &layer);
    tables.mainScreen.push_back(layer);
    tree.Enter(nullptr);
  }
  if (tables.mainScreen.empty()) tree.Fail("no layer");
  return tree.Ok();
}
