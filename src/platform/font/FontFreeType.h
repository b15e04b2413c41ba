// One FreeType library with at most one open face: the font stand-in's handle
// on a font file. Each font owns its own, so fonts share no FreeType state.
//
// A face opened from memory keeps its own copy of the bytes for as long as it
// is open. Only scalable faces open: fixed-size bitmap fonts cannot be sized
// the way the game asks.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class FontFreeType {
 public:
  // The largest font file taken from memory.
  static constexpr size_t kMaxMemoryFont = 64 * 1024 * 1024;

  FontFreeType();
  ~FontFreeType();
  FontFreeType(const FontFreeType&) = delete;
  FontFreeType& operator=(const FontFreeType&) = delete;

  bool OpenFile(const std::string& path, long index);
  bool OpenMemory(const uint8_t* data, size_t size, long index);
  void Close();

  FT_Library Library() const { return library_; }
  FT_Face Face() const { return face_; }

  // Number of faces in the open file (a collection holds several).
  long FaceCount() const { return face_ != nullptr ? face_->num_faces : 0; }
  // Weight class of the open face, 100 to 900: the OS/2 value, else 700 or 400
  // by the face's bold flag.
  int Weight() const;
  bool Italic() const;
  std::string Family() const;

 private:
  bool Finish();

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  std::vector<uint8_t> bytes_;
};

}  // namespace plat
