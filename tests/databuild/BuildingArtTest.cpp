// The buildings' map pictures at every level stay inside their 128 x 128
// frame: the frame's outermost pixels are left clear, so nothing the
// builder draws (a lean-to, a vane, a chimney) is cut at the frame's edge.
#include <gtest/gtest.h>

#include <cairo.h>

#include <string>

#include "ArtBook.h"
#include "content/ContentArchive.h"

TEST(BuildingArt, EveryLevelOfEveryBuildingStaysInsideItsFrame) {
  const ArtBook& book = ArtBook::Get();
  for (const char* name : {"warehouse", "prod_flour", "prod_pie", "prod_bread", "prod_cheese", "prod_cloth"}) {
    for (int level = 1; level <= 4; ++level) {
      const std::string picture = std::string(name) + "_" + std::to_string(level);
      const ArtPiece* piece = book.Find(kMapSpriteSet, picture);
      ASSERT_NE(piece, nullptr) << picture;
      cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 128, 128);
      cairo_t* cr = cairo_create(surface);
      ArtFrame frame;
      frame.width = frame.height = 128;
      piece->draw(cr, frame);
      cairo_destroy(cr);
      cairo_surface_flush(surface);
      const unsigned char* data = cairo_image_surface_get_data(surface);
      const int stride = cairo_image_surface_get_stride(surface);
      int touched = 0;
      for (int i = 0; i < 128; ++i)
        for (const auto& [x, y] : {std::pair{i, 0}, std::pair{i, 127}, std::pair{0, i}, std::pair{127, i}}) {
          const u32 pixel = *reinterpret_cast<const u32*>(data + y * stride + x * 4);
          touched += (pixel >> 24) > 8 ? 1 : 0;
        }
      cairo_surface_destroy(surface);
      EXPECT_EQ(touched, 0) << picture << ": pixels on the frame's edge";
    }
  }
}
