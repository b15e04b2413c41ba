#include "SpriteArchiveModule.h"

#include <cstdio>

#include "PictureCanvas.h"
#include "platform/encoding/Utf.h"
#include "resources/SpriteArchiveWriter.h"

namespace {

// The manifest's pictures join the catalogue.
bool AddManifestPictures(DataSetBuild& build) {
  bool ok = true;
  for (const ManifestEntry& e : build.GetManifest().Entries()) {
    if (!Manifest::IsPicture(e.kind)) continue;
    const PictureKind kind = e.kind == NameKind::kImage    ? PictureKind::kImage
                             : e.kind == NameKind::kSprite ? PictureKind::kSprite
                                                           : PictureKind::kMapSprite;
    std::string error;
    if (!build.Pictures().Require(e.set, e.name, kind, e.width, e.height, "names.txt:" + std::to_string(e.line),
                                  &error)) {
      std::fprintf(stderr, "databuild: %s\n", error.c_str());
      ok = false;
    }
  }
  return ok;
}

}  // namespace

bool SpriteArchiveModule::Build(DataSetBuild& build) {
  if (!AddManifestPictures(build)) return false;
  SpriteArchiveWriter writer;
  LabelFont font;
  if (!font.Face()) std::fprintf(stderr, "databuild: no sans-serif face found: placeholders go without labels\n");
  for (const PictureRequest* p : build.Pictures().All()) {
    PictureCanvas canvas(p->width, p->height);
    DrawPlaceholder(canvas, *p, font);
    build.CountPlaceholder("picture");
    const std::u16string name = plat::Utf8ToUtf16(p->name);
    writer.Images(p->set).push_back(MakeSpriteImageEntry(name.c_str(), canvas.TargaFile()));
    if (p->kind == PictureKind::kImage) continue;
    SpriteEntry sprite = MakeSpriteEntry(name.c_str(), name.c_str());
    sprite.record.frameCount = 1;  // the whole picture
    writer.Sprites(p->set).push_back(sprite);
    if (p->kind != PictureKind::kMapSprite) continue;
    MapSpriteEntry map = MakeMapSpriteEntry(name.c_str(), name.c_str());
    map.record.hotX = static_cast<i32>(p->width / 2);
    map.record.hotY = static_cast<i32>(p->height / 2);
    writer.MapSprites(p->set).push_back(map);
  }
  const std::u16string path = plat::Utf8ToUtf16(build.DataPath(FileName()));
  if (!writer.Write(path.c_str())) {
    std::fprintf(stderr, "databuild: cannot write %s\n", build.DataPath(FileName()).c_str());
    return false;
  }
  std::printf("Sprites.dat: %zu pictures in %u sets\n", build.Pictures().Count(), kSpriteSetCount);
  return true;
}
