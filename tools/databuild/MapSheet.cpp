// The map sheets of the contact sheet: the level-selection map composed the
// way the map screen draws it, from the pictures the builder drew and the
// "MAPM" data, with every level in one state: the valley, the waters' first
// frames, the nodes in their drawing order (the glow under an open node,
// each item whose mask takes the state at its place, the sign with the
// level's number) and, for finished levels, the medal and number. The
// finished sheet deals the medals round (bronze, silver, gold) so all three
// show. Particle items show as a faint ring where their emitters stand.
#include <cairo.h>

#include <cmath>
#include <map>
#include <string>

#include "ArtKit.h"
#include "ContactSheet.h"
#include "PictureCanvas.h"

namespace {

struct Drawn {
  const SheetPicture* picture;
  cairo_surface_t* surface;
};

class Pictures {
 public:
  explicit Pictures(const std::vector<SheetPicture>& all) {
    for (const SheetPicture& p : all)
      if (p.set == kSelectionMapSpriteSet || (p.set == 1 && p.name == "map_medals"))
        drawn_[p.name] = Drawn{&p, SurfaceOf(p)};
  }
  ~Pictures() {
    for (auto& [name, d] : drawn_) cairo_surface_destroy(d.surface);
  }
  Pictures(const Pictures&) = delete;
  Pictures& operator=(const Pictures&) = delete;

  // Frame `frame` of the picture with its top left at (x, y).
  void Draw(cairo_t* cr, const std::string& name, double x, double y, double alpha = 1.0, u32 frame = 0) const {
    const auto it = drawn_.find(name);
    if (it == drawn_.end()) return;
    const SheetPicture& p = *it->second.picture;
    const u32 col = frame % p.columns, row = frame / p.columns;
    cairo_save(cr);
    cairo_rectangle(cr, x, y, p.frameWidth, p.frameHeight);
    cairo_clip(cr);
    cairo_set_source_surface(cr, it->second.surface, x - col * (p.frameWidth + p.gap),
                             y - row * (p.frameHeight + p.gap));
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
  }
  double Width(const std::string& name) const {
    const auto it = drawn_.find(name);
    return it == drawn_.end() ? 0 : it->second.picture->frameWidth;
  }
  double Height(const std::string& name) const {
    const auto it = drawn_.find(name);
    return it == drawn_.end() ? 0 : it->second.picture->frameHeight;
  }

 private:
  std::map<std::string, Drawn> drawn_;
};

std::string Narrow(const wchar* text) {
  std::string s;
  for (; *text; ++text) s += static_cast<char>(*text < 128 ? std::tolower(static_cast<int>(*text)) : '?');
  return s;
}

void Number(cairo_t* cr, const LabelFont& font, double cx, double cy, u32 n, double size, art::Rgb colour) {
  if (!font.Face()) return;
  const std::string text = std::to_string(n);
  cairo_set_font_face(cr, font.Face());
  cairo_set_font_size(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
  art::Source(cr, colour);
  cairo_show_text(cr, text.c_str());
}

void DrawMap(cairo_t* cr, const Pictures& pics, const MapSectionData& map, const i32 (&cells)[kLevelCount],
             i32 state, const LabelFont& font) {
  pics.Draw(cr, "map_center", 0, 0);
  for (size_t k = 0; k < map.waters.size(); ++k)
    pics.Draw(cr, "map_water" + std::to_string(k + 1) + "_1", map.waters[k].x, map.waters[k].y);
  const u32 mask = state <= 0 ? kMapMaskHidden : state == 1 ? kMapMaskClosed : state == 2 ? kMapMaskOpen : kMapMaskFinished;
  // The map's drawing order: per row the odd (higher) columns, then the even.
  i32 order[kMapGridCells];
  for (i32& o : order) o = -1;
  for (u32 i = 0; i < kLevelCount; ++i) {
    const i32 c = cells[i];
    if (c < 0 || c >= static_cast<i32>(kMapGridCells)) continue;
    const i32 k = c % 7;
    order[(c - k) + k / 2 + (k % 2 == 0 ? 3 : 0)] = static_cast<i32>(i);
  }
  for (i32 level : order) {
    if (level < 0) continue;
    i32 nx = 0, ny = 0;
    MapCellPosition(cells[level], &nx, &ny);
    if (state == 2) pics.Draw(cr, "hex", nx - pics.Width("hex") / 2, ny - pics.Height("hex") / 2, 160.0 / 255);
    const MAPNODE& node = map.nodes[static_cast<size_t>(level)];
    for (u32 i = 0; i < node.itemCount && i < kMapNodeItemSlots; ++i) {
      const MAPNODEITEM& item = node.items[i];
      if (!(item.stateMask & mask)) continue;
      const std::string name = Narrow(item.sprite);
      if (item.kind == kMapItemSprite) {
        pics.Draw(cr, name, nx + item.x, ny + item.y);
      } else if (item.kind == kMapItemSpot) {
        pics.Draw(cr, name, nx + item.x - pics.Width(name) / 2, ny + item.y - pics.Height(name) / 2);
      } else if (item.kind == kMapItemSign) {
        const double sx = nx + item.x - 24, sy = ny + item.y - 57;
        pics.Draw(cr, "sign", sx, sy);
        Number(cr, font, sx + 22, sy + 29, static_cast<u32>(level) + 1, 15, art::Hex(0x417F93));
      } else if (item.kind == kMapItemParticles) {
        for (u32 e = 0; e < item.emitterCount && e < kMapNodeEmitterMax; ++e) {
          art::Ellipse(cr, nx + item.emitters[e].x, ny + item.emitters[e].y, 5, 5);
          art::Source(cr, art::pal::kWhite, 0.5);
          cairo_set_line_width(cr, 1.5);
          cairo_stroke(cr);
        }
      }
    }
  }
  if (state < 3) return;
  for (i32 level : order) {
    if (level < 0) continue;
    i32 nx = 0, ny = 0;
    MapCellPosition(cells[level], &nx, &ny);
    const double mx = nx - 49, my = ny - 2;
    pics.Draw(cr, "map_medals", mx - pics.Width("map_medals") / 2, my - 17, 1.0, static_cast<u32>(level) % 3);
    Number(cr, font, mx, my + 23, static_cast<u32>(level) + 1, 14, art::pal::kWhite);
  }
}

}  // namespace

bool WriteMapSheets(const std::string& path, const std::vector<SheetPicture>& pictures, const MapSectionData& map,
                    const i32 (&cells)[kLevelCount], const LabelFont& font, std::string* error) {
  const Pictures pics(pictures);
  const std::string stem = path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0
                               ? path.substr(0, path.size() - 4)
                               : path;
  const std::pair<const char*, i32> states[] = {{"hidden", 0}, {"closed", 1}, {"open", 2}, {"finished", 4}};
  for (const auto& [name, state] : states) {
    cairo_surface_t* page = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1024, 768);
    cairo_t* cr = cairo_create(page);
    DrawMap(cr, pics, map, cells, state, font);
    cairo_destroy(cr);
    const std::string file = stem + "_map_" + name + ".png";
    const cairo_status_t status = cairo_surface_write_to_png(page, file.c_str());
    cairo_surface_destroy(page);
    if (status != CAIRO_STATUS_SUCCESS) {
      *error = file + ": " + cairo_status_to_string(status);
      return false;
    }
  }
  return true;
}
