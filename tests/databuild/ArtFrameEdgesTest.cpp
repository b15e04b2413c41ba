// Pictures that must stay inside their frames: the frame's outermost pixels
// are left clear, so nothing the builder draws (a building's lean-to, vane
// or chimney, the farm girl's raised tool) is cut at the frame's edge.
#include <gtest/gtest.h>

#include <cairo.h>

#include <string>

#include "ArtBook.h"
#include "content/ContentArchive.h"
#include "resources/SpriteSet.h"

namespace {

// The opaque pixels on the edges of one frame of the piece, drawn alone.
int FrameEdgePixels(const ArtPiece& piece, ArtFrame frame, bool bottom) {
  const int w = static_cast<int>(frame.width), h = static_cast<int>(frame.height);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(surface);
  piece.draw(cr, frame);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const auto opaque = [&](int x, int y) { return (*reinterpret_cast<const u32*>(data + y * stride + x * 4) >> 24) > 8; };
  int touched = 0;
  for (int x = 0; x < w; ++x) touched += opaque(x, 0) + (bottom ? opaque(x, h - 1) : 0);
  for (int y = 0; y < h; ++y) touched += opaque(0, y) + opaque(w - 1, y);
  cairo_surface_destroy(surface);
  return touched;
}

}  // namespace

TEST(BuildingArt, EveryLevelOfEveryBuildingStaysInsideItsFrame) {
  const ArtBook& book = ArtBook::Get();
  for (const char* name : {"warehouse", "prod_flour", "prod_pie", "prod_bread", "prod_cheese", "prod_cloth"}) {
    for (int level = 1; level <= 4; ++level) {
      const std::string picture = std::string(name) + "_" + std::to_string(level);
      const ArtPiece* piece = book.Find(kMapSpriteSet, picture);
      ASSERT_NE(piece, nullptr) << picture;
      ArtFrame frame;
      frame.width = frame.height = 128;
      EXPECT_EQ(FrameEdgePixels(*piece, frame, true), 0) << picture << ": pixels on the frame's edge";
    }
  }
}

// Her frames are 128 x 144, her feet near the bottom (the ground under them
// may reach it); every direction and phase of every animation.
TEST(GirlArt, EveryFrameOfEveryAnimationStaysInsideItsFrame) {
  const ArtBook& book = ArtBook::Get();
  for (const char* name : {"girl_idle", "girl_walk", "girl_build", "girl_dig", "girl_rubit", "girl_repair", "girl_water",
                           "girl_feed", "girl_work", "girl_milkcows", "girl_cutsheep"}) {
    const ArtPiece* piece = book.Find(kAnimationSpriteSet, name);
    ASSERT_NE(piece, nullptr) << name;
    for (u32 row = 0; row < 8; ++row)
      for (u32 column = 0; column < 8; ++column) {
        ArtFrame frame;
        frame.width = 128;
        frame.height = 144;
        frame.rows = frame.columns = frame.count = 8;
        frame.row = row;
        frame.column = frame.index = column;
        EXPECT_EQ(FrameEdgePixels(*piece, frame, false), 0)
            << name << " direction " << row << " frame " << column << ": pixels on the frame's edge";
      }
  }
}
