#include "platform/font/FontFreeType.h"

#include FT_TRUETYPE_TABLES_H

namespace plat {

FontFreeType::FontFreeType() {
  if (FT_Init_FreeType(&library_) != 0) {
    library_ = nullptr;
  }
}

FontFreeType::~FontFreeType() {
  Close();
  if (library_ != nullptr) {
    FT_Done_FreeType(library_);
  }
}

bool FontFreeType::OpenFile(const std::string& path, long index) {
  Close();
  if (library_ == nullptr || index < 0 || FT_New_Face(library_, path.c_str(), index, &face_) != 0) {
    face_ = nullptr;
    return false;
  }
  return Finish();
}

bool FontFreeType::OpenMemory(const uint8_t* data, size_t size, long index) {
  Close();
  if (library_ == nullptr || data == nullptr || size == 0 || size > kMaxMemoryFont || index < 0) {
    return false;
  }
  bytes_.assign(data, data + size);
  if (FT_New_Memory_Face(library_, bytes_.data(), static_cast<FT_Long>(bytes_.size()), index, &face_) != 0) {
    face_ = nullptr;
    bytes_.clear();
    return false;
  }
  return Finish();
}

bool FontFreeType::Finish() {
  if (!FT_IS_SCALABLE(face_)) {
    Close();
    return false;
  }
  return true;
}

void FontFreeType::Close() {
  if (face_ != nullptr) {
    FT_Done_Face(face_);
    face_ = nullptr;
  }
  bytes_.clear();
}

int FontFreeType::Weight() const {
  if (face_ == nullptr) {
    return 400;
  }
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 100 && os2->usWeightClass <= 1000) {
    return os2->usWeightClass;
  }
  return (face_->style_flags & FT_STYLE_FLAG_BOLD) != 0 ? 700 : 400;
}

bool FontFreeType::Italic() const {
  return face_ != nullptr && (face_->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
}

std::string FontFreeType::Family() const {
  return face_ != nullptr && face_->family_name != nullptr ? std::string(face_->family_name) : std::string();
}

}  // namespace plat
