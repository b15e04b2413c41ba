// The interface pictures as the builder wrote them, cut by its skin table:
// every frame of every piece drawn inside its own rectangle, nothing drawn
// outside the pieces but the edge line of a stretched piece repeated beyond
// it (linear filtering reads it), the stretched and repeated spans alike
// from end to end, the pieces' ends inside the borders the slicing keeps,
// and the state frames of a control told apart. Each picture is also written, over a
// checkerboard, as "skin_<name>.png" for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "SkinPictures.h"
#include "engine/DXLTexture.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/PngFile.h"
#include "resources/SpriteSet.h"
#include "testsupport/SpriteRig.h"

namespace {

struct Picture {
  i32 w = 0, h = 0;
  std::vector<u32> px;
  u32 At(i32 x, i32 y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// The largest difference of one channel (alpha included).
int Distance(u32 a, u32 b) {
  int most = 0;
  for (int s = 0; s < 32; s += 8) most = std::max(most, std::abs(static_cast<int>(a >> s & 0xFF) - static_cast<int>(b >> s & 0xFF)));
  return most;
}

Picture Built(SpriteSet& set, const std::string& name) {
  Picture p;
  DXLTexture* t = set.FindTexture(plat::Utf8ToUtf16(name).c_str());
  if (!t) return p;
  t->Load();
  const u8* bits = t->Lock(0);
  if (!bits) return p;
  p.w = t->GetImageWidth();
  p.h = t->GetImageHeight();
  for (i32 y = 0; y < p.h; ++y)
    for (i32 x = 0; x < p.w; ++x)
      p.px.push_back(*reinterpret_cast<const u32*>(bits + static_cast<size_t>(y) * t->GetLockPitch() + x * 4u));
  t->Unlock();
  return p;
}

void WriteOverCheckerboard(const Picture& p, const std::string& path) {
  std::vector<u32> out(p.px.size());
  for (i32 y = 0; y < p.h; ++y)
    for (i32 x = 0; x < p.w; ++x) {
      const u32 c = p.At(x, y), a = c >> 24;
      const u32 back = ((x / 8 + y / 8) % 2) ? 0x70u : 0x90u;
      u32 o = 0xFF000000u;
      for (int s = 0; s < 24; s += 8) o |= ((c >> s & 0xFF) * a + back * (255 - a)) / 255 << s;
      out[static_cast<size_t>(y) * p.w + x] = o;
    }
  EXPECT_TRUE(plat::WritePng(path, out, static_cast<u32>(p.w), static_cast<u32>(p.h), nullptr)) << path;
}

// Every column of the span (or row, with `rows`) like its first, within 2.
int UnlikeLines(const Picture& p, i32 fx, i32 fy, const SkinPiece& piece, const SkinSpan& s, bool rows) {
  int unlike = 0;
  for (i32 a = s.from + 1; a < s.to; ++a)
    for (i32 b = 0; b < (rows ? piece.frameWidth : piece.frameHeight); ++b) {
      const u32 first = rows ? p.At(fx + b, fy + s.from) : p.At(fx + s.from, fy + b);
      const u32 here = rows ? p.At(fx + b, fy + a) : p.At(fx + a, fy + b);
      unlike += Distance(first, here) > 2 ? 1 : 0;
    }
  return unlike;
}

// Some line of [from, to) unlike the span's first line: the piece's end
// (a rounded corner, a rim, a groove) lies there, not more of its middle.
bool EndsWithin(const Picture& p, i32 fx, i32 fy, const SkinPiece& piece, const SkinSpan& s, i32 from, i32 to,
                bool rows) {
  for (i32 a = from; a < to; ++a)
    for (i32 b = 0; b < (rows ? piece.frameWidth : piece.frameHeight); ++b) {
      const u32 middle = rows ? p.At(fx + b, fy + s.from) : p.At(fx + s.from, fy + b);
      const u32 end = rows ? p.At(fx + b, fy + a) : p.At(fx + a, fy + b);
      if (Distance(middle, end) > 32) return true;
    }
  return false;
}

// The sprite sets of the built sample data.
bool LoadBuiltSprites(spritetest::SpriteRig& rig) {
  const std::u16string path = plat::Utf8ToUtf16(std::string(TM_SAMPLE_DATA_DIR) + "/Sprites.dat");
  rig.reader = kis::OpenDataFileReaderW(path.c_str(), kSpriteArchiveSignature1, kSpriteArchiveSignature2,
                                        kSpriteArchiveVersion);
  return rig.reader && rig.LoadAll();
}

// The frame at (fx, fy) reads whole: its stretched and repeated spans alike,
// its ends within the borders the slicing keeps.
void ExpectWholeFrame(const Picture& p, i32 fx, i32 fy, const SkinPiece& piece) {
  for (const bool rows : {false, true}) {
    const i32 size = rows ? piece.frameHeight : piece.frameWidth;
    const i32 first = rows ? piece.top : piece.left, last = rows ? piece.bottom : piece.right;
    for (const SkinSpan& s : rows ? piece.FlatRows() : piece.FlatColumns()) {
      SCOPED_TRACE((rows ? "rows " : "columns ") + std::to_string(s.from) + ".." + std::to_string(s.to));
      EXPECT_EQ(UnlikeLines(p, fx, fy, piece, s, rows), 0);
      EXPECT_TRUE(first == 0 || EndsWithin(p, fx, fy, piece, s, 0, first, rows)) << "no end before";
      EXPECT_TRUE(last == 0 || EndsWithin(p, fx, fy, piece, s, size - last, size, rows)) << "no end after";
    }
  }
}

// The rows of a column that two cuts name as shared.
bool Shared(const SkinPiece& a, const SkinPiece& b, i32 y) {
  for (const skins::SkinShare& s : skins::kSharedRows)
    if (((s.first == &a && s.second == &b) || (s.first == &b && s.second == &a)) && y >= s.from && y < s.to)
      return true;
  return false;
}

TEST(SkinTable, EveryPieceIsDrawnInItsRectangleWithItsEndsWhereTheSlicingKeepsThem) {
  spritetest::SpriteRig rig;
  ASSERT_TRUE(LoadBuiltSprites(rig));

  u32 frames = 0;
  size_t checked = 0;
  for (const SkinImage& image : SkinImages()) {
    SCOPED_TRACE(image.name);
    const Picture p = Built(rig.Set(kSkinSpriteSet), image.name);
    ASSERT_EQ(p.w, static_cast<i32>(image.width));
    ASSERT_EQ(p.h, static_cast<i32>(image.height));
    WriteOverCheckerboard(p, "skin_" + image.name + ".png");
    std::vector<const SkinPiece*> owner(p.px.size(), nullptr);
    for (const SkinPiece* each : SkinPieces()) {
      const SkinPiece& piece = *each;
      if (piece.image != image.name) continue;
      SCOPED_TRACE(piece.key);
      ++checked;
      ASSERT_TRUE(piece.x >= 0 && piece.y >= 0 && piece.Right() <= p.w && piece.Bottom() <= p.h);
      const i32 area = piece.frameWidth * piece.frameHeight;
      for (u32 i = 0; i < piece.frames; ++i, ++frames) {
        SCOPED_TRACE("frame " + std::to_string(i));
        const i32 fx = piece.x + static_cast<i32>(i) * piece.stepX, fy = piece.y + static_cast<i32>(i) * piece.stepY;
        i32 drawn = 0;
        for (i32 y = fy; y < fy + piece.frameHeight; ++y)
          for (i32 x = fx; x < fx + piece.frameWidth; ++x) {
            const SkinPiece*& o = owner[static_cast<size_t>(y) * p.w + x];
            ASSERT_TRUE(o == nullptr || Shared(*o, piece, y)) << "overlaps " << o->key << " at " << x << ", " << y;
            o = &piece;
            drawn += (p.At(x, y) >> 24) >= 128 ? 1 : 0;
          }
        EXPECT_GE(drawn * 100, area * 15) << "hardly drawn";
        ExpectWholeFrame(p, fx, fy, piece);
        // A state frame differs from every frame before it.
        for (u32 j = 0; piece.states && j < i; ++j) {
          const i32 gx = piece.x + static_cast<i32>(j) * piece.stepX, gy = piece.y + static_cast<i32>(j) * piece.stepY;
          int most = 0;
          for (i32 y = 0; y < piece.frameHeight; ++y)
            for (i32 x = 0; x < piece.frameWidth; ++x) most = std::max(most, Distance(p.At(fx + x, fy + y), p.At(gx + x, gy + y)));
          EXPECT_GT(most, 16) << "looks like frame " << j;
        }
      }
    }
    // Beyond a stretched edge its line again, or the stretched middle fades
    // into the gap (the point panels' paper showed a see-through smear).
    std::vector<bool> bled(p.px.size(), false);
    for (const SkinBleed& b : SkinBleeds(image.name)) {
      for (i32 k = 0; k < b.length; ++k) {
        const i32 x = b.x + (b.row ? k : 0), y = b.y + (b.row ? 0 : k);
        const i32 fromX = b.fromX + (b.row ? k : 0), fromY = b.fromY + (b.row ? 0 : k);
        bled[static_cast<size_t>(y) * p.w + x] = true;
        EXPECT_LE(Distance(p.At(x, y), p.At(fromX, fromY)), 2) << "no edge repeated at " << x << ", " << y;
      }
    }
    const SkinPiece& paper = skins::kChildFill;
    if (paper.image == image.name) {
      EXPECT_TRUE(bled[static_cast<size_t>(paper.y) * p.w + paper.x - 1])
          << "the point panels' paper fades at its left";
    }
    // A column is one drawing: the rows no piece cuts yet are its own.
    std::vector<bool> column(p.px.size(), false);
    for (const skins::SkinColumn* c : skins::kColumns)
      if (c->image == image.name)
        for (i32 y = c->y; y < c->y + c->height; ++y)
          for (i32 x = c->x; x < c->x + c->width; ++x) column[static_cast<size_t>(y) * p.w + x] = true;
    i32 strays = 0;
    for (size_t k = 0; k < p.px.size(); ++k)
      strays += !owner[k] && !bled[k] && !column[k] && (p.px[k] >> 24) != 0 ? 1 : 0;
    EXPECT_EQ(strays, 0) << "pixels drawn outside every piece";
  }
  EXPECT_GT(frames, 100u);
  EXPECT_EQ(checked, SkinPieces().size()) << "a piece lies on a picture the builder does not make";
}

// The frames the windows cut from the window column, those of windows not in
// the table yet too: each reads whole, its repeated rows alike and its ends
// within its borders.
TEST(SkinTable, EveryCutOfTheWindowColumnReadsAsAWholeFrame) {
  spritetest::SpriteRig rig;
  ASSERT_TRUE(LoadBuiltSprites(rig));
  const Picture p = Built(rig.Set(kSkinSpriteSet), skins::kWindowColumn.image);
  ASSERT_GT(p.w, 0);
  // A named share is exactly the rows both its pieces cut in the column.
  for (const skins::SkinShare& s : skins::kSharedRows) {
    EXPECT_EQ(std::max(s.first->y, s.second->y), s.from) << s.first->key;
    EXPECT_EQ(std::min(s.first->Bottom(), s.second->Bottom()), s.to) << s.first->key;
    EXPECT_TRUE(s.first->x == skins::kWindowColumn.x && s.second->x == skins::kWindowColumn.x);
  }
  namespace make = skins::make;
  const SkinPiece cuts[] = {
      make::Sliced("a", "", 971, 588, 52, 97, 22, 26, 18, 17), make::Sliced("b", "", 971, 588, 52, 95, 22, 26, 18, 15),
      make::Sliced("c", "", 971, 590, 52, 98, 22, 26, 16, 20), make::Sliced("d", "", 971, 590, 52, 93, 22, 26, 16, 15),
      make::Sliced("e", "", 971, 590, 52, 94, 22, 26, 16, 16), make::Sliced("f", "", 971, 684, 52, 79, 22, 26, 20, 14),
      make::Sliced("g", "", 971, 689, 52, 76, 22, 26, 15, 16), make::Sliced("h", "", 971, 586, 52, 98, 22, 26, 20, 16),
      make::Sliced("i", "", 971, 765, 52, 114, 23, 25)};
  for (const SkinPiece& cut : cuts) {
    SCOPED_TRACE(std::to_string(cut.y) + " x " + std::to_string(cut.frameHeight));
    ExpectWholeFrame(p, cut.x, cut.y, cut);
  }
}

TEST(SkinTable, KeysAreUniqueAndEveryPieceKeepsAMiddle) {
  std::set<std::string> keys;
  for (const SkinPiece* p : SkinPieces()) {
    SCOPED_TRACE(p->key);
    EXPECT_TRUE(keys.insert(p->key).second) << "twice";
    EXPECT_GE(p->frameWidth - p->left - p->right, 0);
    EXPECT_GE(p->frameHeight - p->top - p->bottom, 0);
    for (const SkinSpan& c : p->FlatColumns()) EXPECT_TRUE(c.from >= 0 && c.from < c.to && c.to <= p->frameWidth);
    for (const SkinSpan& r : p->FlatRows()) EXPECT_TRUE(r.from >= 0 && r.from < r.to && r.to <= p->frameHeight);
  }
}

}  // namespace
