#include "PictureCatalog.h"

#include <algorithm>

#include "Manifest.h"

bool PictureCatalog::Require(u32 set, const std::string& name, PictureKind kind, u32 width, u32 height,
                             const std::string& origin, std::string* error, FrameLayout layout) {
  if (layout.frames != 0 && (layout.columns == 0 || layout.columns > layout.frames)) layout.columns = layout.frames;
  const std::string key = FoldName(name);
  auto [it, added] = pictures_.try_emplace({set, key});
  PictureRequest& p = it->second;
  if (added) {
    p = PictureRequest{set, key, kind, width, height, layout, origin};
    return true;
  }
  if (layout.frames != 0 && p.layout.frames != 0 &&
      (layout.frames != p.layout.frames || layout.columns != p.layout.columns)) {
    *error = origin + ": picture \"" + key + "\" of set " + std::to_string(set) + " has " +
             std::to_string(layout.frames) + " frames in rows of " + std::to_string(layout.columns) + ", but " +
             p.origin + " lays it out as " + std::to_string(p.layout.frames) + " in rows of " +
             std::to_string(p.layout.columns);
    return false;
  }
  if (p.layout.frames == 0) p.layout = layout;
  if (p.width != width || p.height != height) {
    *error = origin + ": picture \"" + key + "\" of set " + std::to_string(set) + " is " + std::to_string(width) + "x" +
             std::to_string(height) + ", but " + p.origin + " has it at " + std::to_string(p.width) + "x" +
             std::to_string(p.height);
    return false;
  }
  p.kind = std::max(p.kind, kind);
  return true;
}

void PictureCatalog::RequireAnySize(u32 set, const std::string& name, PictureKind kind, u32 width, u32 height,
                                    const std::string& origin) {
  if (const PictureRequest* p = Find(set, name)) {
    width = p->width;
    height = p->height;
  }
  std::string ignored;
  Require(set, name, kind, width, height, origin, &ignored);
}

std::vector<const PictureRequest*> PictureCatalog::All() const {
  std::vector<const PictureRequest*> out;
  out.reserve(pictures_.size());
  for (const auto& [key, p] : pictures_) out.push_back(&p);
  return out;
}

const PictureRequest* PictureCatalog::Find(u32 set, const std::string& name) const {
  auto it = pictures_.find({set, FoldName(name)});
  return it == pictures_.end() ? nullptr : &it->second;
}
