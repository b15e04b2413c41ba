// Whole-image PNG files of 32-bit pixels (0xAARRGGBB words) through libpng's
// simple interface, for screenshots and tools. Failures are returned with
// libpng's reason (when `error` is given).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, uint32_t width, uint32_t height,
              std::string* error);
bool ReadPng(const std::string& path, std::vector<uint32_t>* pixels, uint32_t* width, uint32_t* height,
             std::string* error);

}  // namespace plat
