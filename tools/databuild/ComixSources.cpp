// The comics of "COMX" from "tables/comics.txt" (its head says the form).
#include <string>

#include "ContentSources.h"
#include "DataSetBuild.h"
#include "SourceTree.h"
#include "content/ComixSection.h"

namespace {

constexpr u32 kComixPictureSide = 300;
constexpr u32 kComixOverlaySide = 64;  // a stamp or mark laid over a picture

// `side`: the picture's width and height, 0 for a text.
bool ReadEntry(DataSetBuild& build, SourceTree& tree, u32 line, u32 side, std::vector<COMIXENTRY>* out) {
  COMIXENTRY e;
  if (!tree.Read(line, u"Z[32],l,l", &e.name, &e.x, &e.y)) return false;
  const std::string name = NarrowName(e.name);
  if (name.empty()) {
    tree.Fail(tree.LineName(line) + ": a name first");
    return false;
  }
  // A text's key is the language's (the comic window skips a missing one).
  if (side) RequirePicture(build, tree, kComixSpriteSet, name, PictureKind::kSprite, side, side);
  out->push_back(e);
  return true;
}

}  // namespace

bool ReadComics(DataSetBuild& build, ContentSourceTables& tables) {
  SourceTree tree;
  if (!OpenSource(build, tree, "tables/comics.txt")) return false;
  for (kis::TdrNode* pageBlock : tree.Blocks(u"page")) {
    tree.Enter(pageBlock);
    ComixPage page;
    for (u32 i = 0; i < tree.LineCount(); ++i) {
      if (tree.LineName(i) == "offset")
        tree.Read(i, u"l,l", &page.x, &page.y);
      else
        tree.Fail("unknown line \"" + tree.LineName(i) + "\"");
    }
    for (kis::TdrNode* partBlock : tree.Blocks(u"part")) {
      tree.Enter(partBlock);
      COMIXPART part;
      for (u32 i = 0; i < tree.LineCount(); ++i) {
        const std::string key = tree.LineName(i);
        if (key == "at") {
          tree.Read(i, u"l,l", &part.x, &part.y);
        } else if (key == "centre") {
          tree.Read(i, u"l,l", &part.centerX, &part.centerY);
        } else if (key == "picture") {
          ReadEntry(build, tree, i, kComixPictureSide, &part.pictures);
        } else if (key == "overlay") {
          ReadEntry(build, tree, i, kComixOverlaySide, &part.overlays);
        } else if (key == "text") {
          ReadEntry(build, tree, i, 0, &part.texts);
        } else {
          tree.Fail("unknown line \"" + key + "\"");
        }
      }
      page.parts.push_back(part);
      tree.Enter(pageBlock);
    }
    tables.comics.push_back(page);
    tree.Enter(nullptr);
  }
  if (tables.comics.empty()) tree.Fail("no comic: the game starts comic 0");
  return tree.Ok();
}
