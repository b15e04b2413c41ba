#include "SpriteArchiveModule.h"

#include <cstdio>

#include "ArtBook.h"
#include "ContactSheet.h"
#include "PictureCanvas.h"
#include "base/LittleEndian.h"
#include "pathfinding/MapShapes.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxTypes.h"
#include "resources/SpriteArchiveWriter.h"

namespace {

constexpr u32 kFrameGap = 2;  // transparent pixels between two frames of a picture

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

// Where a picture's frames lie in its image.
struct ImageLayout {
  u32 frames, columns, rows, gap, width, height;
};

ImageLayout LayoutOf(const PictureRequest& p, const ArtPiece* art) {
  FrameLayout l = p.layout;
  if (l.frames == 0 && art) l = art->layout;
  if (l.frames == 0) l = FrameLayout{1, 1};
  if (l.columns == 0 || l.columns > l.frames) l.columns = l.frames;
  ImageLayout out{l.frames, l.columns, (l.frames + l.columns - 1) / l.columns, l.frames > 1 ? kFrameGap : 0, 0, 0};
  out.width = out.columns * p.width + (out.columns - 1) * out.gap;
  out.height = out.rows * p.height + (out.rows - 1) * out.gap;
  return out;
}

// Every frame of the picture: its art, or a placeholder.
void DrawFrames(PictureCanvas& canvas, const PictureRequest& p, const ArtPiece* art, const ImageLayout& l,
                const LabelFont& font) {
  cairo_t* cr = canvas.Cairo();
  for (u32 i = 0; i < l.frames; ++i) {
    const u32 row = i / l.columns, column = i % l.columns;
    cairo_save(cr);
    cairo_translate(cr, column * (p.width + l.gap), row * (p.height + l.gap));
    cairo_rectangle(cr, 0, 0, p.width, p.height);
    cairo_clip(cr);
    if (art) {
      art->draw(cr, ArtFrame{static_cast<double>(p.width), static_cast<double>(p.height), i, l.frames, row, column,
                             l.rows, l.columns});
    } else {
      DrawPlaceholder(cr, p.width, p.height, p, font);
    }
    cairo_restore(cr);
  }
}

}  // namespace

bool SpriteArchiveModule::Build(DataSetBuild& build) {
  if (!AddManifestPictures(build)) return false;
  SpriteArchiveWriter writer;
  LabelFont font;
  if (!font.Face()) std::fprintf(stderr, "databuild: no sans-serif face found: placeholders go without labels\n");
  const ArtBook& book = ArtBook::Get();
  size_t drawn = 0;
  for (const PictureRequest* p : build.Pictures().All()) {
    const ArtPiece* art = book.Find(p->set, p->name);
    const ImageLayout layout = LayoutOf(*p, art);
    PictureCanvas canvas(layout.width, layout.height);
    DrawFrames(canvas, *p, art, layout, font);
    if (art)
      ++drawn;
    else
      build.CountPlaceholder("picture");
    const std::u16string name = plat::Utf8ToUtf16(p->name);
    SpriteImageEntry image = MakeSpriteImageEntry(name.c_str(), canvas.TargaFile());
    DXLMakeSimpleDrawState(&image.record.drawState, static_cast<u8>(plat::gfx::D3DTEXF_LINEAR), 3, kBlendAlpha,
                           4);  // drawn scaled: filtered
    writer.Images(p->set).push_back(std::move(image));
    if (ContactSheet* sheet = build.Sheet()) {
      sheet->AddPicture(SheetPicture{p->set, p->name, p->kind, p->width, p->height, layout.frames, layout.columns,
                                     layout.gap, art == nullptr, layout.width, layout.height, canvas.Pixels()});
    }
    if (p->kind == PictureKind::kImage) continue;
    SpriteEntry sprite = MakeSpriteEntry(name.c_str(), name.c_str());
    sprite.record.frameCount = static_cast<i32>(layout.frames);
    sprite.record.frameWidth = static_cast<i32>(p->width);
    sprite.record.frameHeight = static_cast<i32>(p->height);
    sprite.record.gapX = sprite.record.gapY = static_cast<i32>(layout.gap);
    if (art && art->animated) {
      DXLFRAMESEQ seq{};
      DXLFrameSeqInit(&seq, art->mode, 0, layout.frames, art->frameMs, 0, 0);
      sprite.animation = seq;
    }
    writer.Sprites(p->set).push_back(sprite);
    if (p->kind != PictureKind::kMapSprite) continue;
    MapSpriteEntry map = MakeMapSpriteEntry(name.c_str(), name.c_str());
    const double hotX = art ? art->hotX : 0.5, hotY = art ? art->hotY : 0.5;
    map.record.hotX = static_cast<i32>(hotX * p->width + 0.5);
    map.record.hotY = static_cast<i32>(hotY * p->height + 0.5);
    if (art && art->clickWidth > 0 && art->clickHeight > 0) {
      // The click shape: an ellipse (centre x, y, radius x, y) on the hot spot.
      map.arrayB.assign(kMapSpriteBRecordSize, 0);
      const i32 rx = art->clickWidth / 2, ry = art->clickHeight / 2;
      const i32 words[4] = {0, -ry, rx, ry};
      kis::PutU32LE(map.arrayB.data(), SHAPE_ELLIPSE);
      for (u32 w = 0; w < 4; ++w) kis::PutU32LE(map.arrayB.data() + 4 + 4 * w, static_cast<u32>(words[w]));
    }
    writer.MapSprites(p->set).push_back(map);
  }
  const std::u16string path = plat::Utf8ToUtf16(build.DataPath(FileName()));
  if (!writer.Write(path.c_str())) {
    std::fprintf(stderr, "databuild: cannot write %s\n", build.DataPath(FileName()).c_str());
    return false;
  }
  std::printf("Sprites.dat: %zu pictures in %u sets (%zu drawn)\n", build.Pictures().Count(), kSpriteSetCount, drawn);
  return true;
}
