#include "ContactSheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <set>

#include "ArtKit.h"
#include "PictureCanvas.h"

namespace {

constexpr double kPageWidth = 2400;
constexpr double kMargin = 16;
constexpr double kSpacing = 18;
constexpr double kCellGap = 4;
constexpr double kNameSize = 13;
constexpr double kNoteSize = 10;
constexpr double kHeadingSize = 20;
constexpr double kAngleColumn = 44;

const char* SetTitle(u32 set) {
  switch (set) {
    case 1:
      return "interface";
    case 2:
      return "icons";
    case 3:
      return "map sprites";
    case 4:
      return "ground";
    case 5:
      return "the levels' map sprites";
    case 6:
      return "animations";
    case 8:
      return "effects and particles";
    case kLooseFilesSheetSet:
      return "loose files of the data folder";
    default:
      return "";
  }
}

// A measured piece of the sheet, drawn with its top left at the origin.
struct Block {
  double width = 0;
  double height = 0;
  bool wholeLine = false;  // a heading: alone on its line
  std::function<void(cairo_t*)> draw;
};

class Text {
 public:
  explicit Text(const LabelFont& font) : font_(font) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cr_ = cairo_create(surface_);
  }
  ~Text() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;

  void Use(cairo_t* cr, double size) const {
    if (!font_.Face()) return;
    cairo_set_font_face(cr, font_.Face());
    cairo_set_font_size(cr, size);
  }
  double Width(const std::string& s, double size) const {
    if (!font_.Face()) return 0;
    Use(cr_, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr_, s.c_str(), &e);
    return e.x_advance;
  }
  // Writes s with its baseline at y.
  void Draw(cairo_t* cr, const std::string& s, double x, double y, double size, art::Rgb c) const {
    if (!font_.Face()) return;
    Use(cr, size);
    art::Source(cr, c);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
  }

 private:
  const LabelFont& font_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

}  // namespace

cairo_surface_t* SurfaceOf(const SheetPicture& p) {
  cairo_surface_t* s =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(p.imageWidth), static_cast<int>(p.imageHeight));
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (u32 y = 0; y < p.imageHeight; ++y) {
    u32* row = reinterpret_cast<u32*>(data + static_cast<size_t>(y) * stride);
    for (u32 x = 0; x < p.imageWidth; ++x) {
      const u32 v = p.pixels[static_cast<size_t>(y) * p.imageWidth + x], a = v >> 24;
      auto pre = [&](u32 shift) { return ((((v >> shift) & 0xFF) * a + 127) / 255) << shift; };
      row[x] = (a << 24) | pre(16) | pre(8) | pre(0);
    }
  }
  cairo_surface_mark_dirty(s);
  return s;
}

namespace {

// A frame's cell: the backdrop of its set, the frame, a thin outline.
void DrawCell(cairo_t* cr, cairo_surface_t* image, const SheetPicture& p, u32 frame, double x, double y) {
  const double w = p.frameWidth, h = p.frameHeight;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, w, h);
  cairo_clip(cr);
  if (p.set == 4) {
    for (double cy = 0; cy < h; cy += 16)
      for (double cx = 0; cx < w; cx += 16) {
        const bool light = (static_cast<int>(cx / 16) + static_cast<int>(cy / 16)) % 2 == 0;
        cairo_rectangle(cr, x + cx, y + cy, 16, 16);
        art::Source(cr, light ? art::Hex(0xB4B4B4) : art::Hex(0x9A9A9A));
        cairo_fill(cr);
      }
  } else {
    cairo_rectangle(cr, x, y, w, h);
    art::Source(cr, p.set == 2 || p.set == 1 ? art::pal::kPanel : art::Hex(0x86C657));
    cairo_fill(cr);
  }
  const u32 col = frame % p.columns, row = frame / p.columns;
  cairo_set_source_surface(cr, image, x - col * (w + p.gap), y - row * (h + p.gap));
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  cairo_set_line_width(cr, 1);
  art::Source(cr, art::Hex(0x000000), 0.18);
  cairo_stroke(cr);
}

std::string SizeNote(const SheetPicture& p) {
  std::string note = std::to_string(p.frameWidth) + "x" + std::to_string(p.frameHeight);
  if (p.frames > 1) note += ", " + std::to_string(p.frames) + " frames";
  if (p.kind == PictureKind::kMapSprite) note += ", map sprite";
  if (p.kind == PictureKind::kImage) note += ", image";
  if (p.placeholder) note += ", PLACEHOLDER";
  return note;
}

}  // namespace

bool ContactSheet::Write(const std::string& path, const LabelFont& font, std::string* error) const {
  const Text text(font);
  std::map<std::string, const SheetPicture*> animationSprites;
  std::vector<std::vector<const SheetPicture*>> bySet(kLooseFilesSheetSet + 1);
  for (const SheetPicture& p : pictures_) {
    if (p.set == animationSet_) animationSprites[p.name] = &p;
    if (p.set < bySet.size()) bySet[p.set].push_back(&p);
  }
  std::vector<cairo_surface_t*> surfaces;
  std::map<const SheetPicture*, cairo_surface_t*> surfaceOf;
  auto image = [&](const SheetPicture* p) {
    auto it = surfaceOf.find(p);
    if (it != surfaceOf.end()) return it->second;
    cairo_surface_t* s = SurfaceOf(*p);
    surfaces.push_back(s);
    surfaceOf[p] = s;
    return s;
  };

  std::vector<Block> blocks;
  auto heading = [&](const std::string& title) {
    blocks.push_back(Block{kPageWidth - 2 * kMargin, kHeadingSize + 14, true, [&text, title](cairo_t* cr) {
                             text.Draw(cr, title, 0, kHeadingSize + 2, kHeadingSize, art::Hex(0x202020));
                             cairo_rectangle(cr, 0, kHeadingSize + 8, kPageWidth - 2 * kMargin, 2);
                             art::Source(cr, art::Hex(0x404040));
                             cairo_fill(cr);
                           }});
  };
  const double labels = kNameSize + kNoteSize + 8;
  std::set<std::string> animated;
  for (const SheetAnimation& a : animations_) animated.insert(a.sprite);

  for (u32 set = 0; set < bySet.size(); ++set) {
    if (bySet[set].empty()) continue;
    const std::string setName = set == kLooseFilesSheetSet ? std::string("Files")
                                                            : "Set " + std::to_string(set);
    heading(setName + (SetTitle(set)[0] ? std::string(": ") + SetTitle(set) : "") + " (" +
            std::to_string(bySet[set].size()) + " pictures)");
    if (set == animationSet_) {
      for (const SheetAnimation& a : animations_) {
        auto it = animationSprites.find(a.sprite);
        if (it == animationSprites.end()) continue;
        const SheetPicture* p = it->second;
        i32 longest = 0;
        for (const SheetAnimation::Run& r : a.directions) longest = std::max(longest, r.count);
        Block b;
        b.width = std::max(kAngleColumn + longest * (p->frameWidth + kCellGap),
                           text.Width(a.name + "  " + a.summary, kNameSize) + 8);
        b.height = labels + a.directions.size() * (p->frameHeight + kCellGap);
        b.draw = [&, p, &a = a](cairo_t* cr) {
          text.Draw(cr, a.name, 0, kNameSize, kNameSize, art::Hex(0x101010));
          text.Draw(cr, a.summary, 0, kNameSize + kNoteSize + 4, kNoteSize, art::Hex(0x505050));
          double y = labels;
          for (const SheetAnimation::Run& r : a.directions) {
            char angle[16];
            std::snprintf(angle, sizeof angle, "%.0f\xC2\xB0", static_cast<double>(r.angle));
            text.Draw(cr, angle, 2, y + p->frameHeight / 2.0 + 4, kNameSize, art::Hex(0x303030));
            for (i32 f = 0; f < r.count; ++f)
              if (r.first + f >= 0 && static_cast<u32>(r.first + f) < p->frames)
                DrawCell(cr, image(p), *p, static_cast<u32>(r.first + f), kAngleColumn + f * (p->frameWidth + kCellGap),
                         y);
            y += p->frameHeight + kCellGap;
          }
        };
        blocks.push_back(std::move(b));
      }
    }
    for (const SheetPicture* p : bySet[set]) {
      if (set == animationSet_ && animated.count(p->name)) continue;
      const u32 rows = (p->frames + p->columns - 1) / p->columns;
      Block b;
      const std::string note = SizeNote(*p);
      b.width = std::max({p->columns * (p->frameWidth + kCellGap), text.Width(p->name, kNameSize) + 4,
                          text.Width(note, kNoteSize) + 4});
      b.height = labels + rows * (p->frameHeight + kCellGap);
      b.draw = [&, p, note](cairo_t* cr) {
        text.Draw(cr, p->name, 0, kNameSize, kNameSize, p->placeholder ? art::Hex(0xC02020) : art::Hex(0x101010));
        text.Draw(cr, note, 0, kNameSize + kNoteSize + 4, kNoteSize, art::Hex(0x505050));
        for (u32 f = 0; f < p->frames; ++f)
          DrawCell(cr, image(p), *p, f, (f % p->columns) * (p->frameWidth + kCellGap),
                   labels + (f / p->columns) * (p->frameHeight + kCellGap));
      };
      blocks.push_back(std::move(b));
    }
  }

  // Flow the blocks into lines.
  struct Placed {
    double x, y;
    const Block* block;
  };
  std::vector<Placed> placed;
  double x = kMargin, y = kMargin, line = 0;
  for (const Block& b : blocks) {
    if (b.wholeLine || x + b.width > kPageWidth - kMargin) {
      if (x > kMargin) y += line + kSpacing;
      x = kMargin;
      line = 0;
    }
    placed.push_back(Placed{x, y, &b});
    x += b.width + kSpacing;
    line = std::max(line, b.height);
    if (b.wholeLine) {
      y += b.height + 6;
      x = kMargin;
      line = 0;
    }
  }
  const double height = y + line + kMargin;

  cairo_surface_t* page =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kPageWidth), static_cast<int>(std::ceil(height)));
  cairo_t* cr = cairo_create(page);
  art::Source(cr, art::Hex(0xF2F0EA));
  cairo_paint(cr);
  for (const Placed& p : placed) {
    cairo_save(cr);
    cairo_translate(cr, p.x, p.y);
    p.block->draw(cr);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(page, path.c_str());
  cairo_surface_destroy(page);
  for (cairo_surface_t* s : surfaces) cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) {
    *error = path + ": " + cairo_status_to_string(status);
    return false;
  }
  return !map_ || WriteMapSheets(path, pictures_, *map_, cells_, font, error);
}

void ContactSheet::SetMap(const MapSectionData& map, const i32 (&cells)[kLevelCount]) {
  map_ = std::make_unique<MapSectionData>(map);
  for (u32 i = 0; i < kLevelCount; ++i) cells_[i] = cells[i];
}
