#include "platform/gfx/PngFile.h"

#include <png.h>

#include <cstring>

namespace plat {

namespace {

// Largest side read back; the check only ever reads its own screenshots.
constexpr uint32_t kMaxSide = 16384;

}  // namespace

bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height,
              std::string* error) {
  if (width == 0 || height == 0 || pixels.size() != static_cast<size_t>(width) * height) {
    if (error) *error = "no image to write";
    return false;
  }
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  image.width = width;
  image.height = height;
  image.format = PNG_FORMAT_BGRA;  // the bytes of little-endian 0xAARRGGBB words
  if (png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), static_cast<png_int_32>(width * 4), nullptr) ==
      0) {
    if (error) *error = image.message;
    return false;
  }
  return true;
}

bool ReadPng(const std::string& path, std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height,
             std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof(image));
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    if (error) *error = image.message;
    return false;
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
    png_image_free(&image);
    if (error) *error = "image size out of range";
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  pixels->assign(static_cast<size_t>(image.width) * image.height, 0);
  if (png_image_finish_read(&image, nullptr, pixels->data(), static_cast<png_int_32>(image.width * 4), nullptr) == 0) {
    if (error) *error = image.message;
    return false;
  }
  *width = image.width;
  *height = image.height;
  return true;
}

}  // namespace plat
