#include "platform/audio/AudioWav.h"

#include <vector>

#include "platform/os/File.h"

namespace plat::audio {

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

void PutTag(std::vector<uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

}  // namespace

bool WriteWav(std::string_view utf8Path, const int16_t* samples, size_t frames, uint32_t channels, uint32_t rate) {
  const uint64_t dataBytes = static_cast<uint64_t>(frames) * channels * 2;
  if (channels == 0 || dataBytes > 0xFFFFFFFFull - 36) return false;
  std::vector<uint8_t> bytes;
  bytes.reserve(44 + dataBytes);
  PutTag(bytes, "RIFF");
  Put32(bytes, static_cast<uint32_t>(36 + dataBytes));
  PutTag(bytes, "WAVE");
  PutTag(bytes, "fmt ");
  Put32(bytes, 16);
  Put16(bytes, 1);  // integer PCM
  Put16(bytes, channels);
  Put32(bytes, rate);
  Put32(bytes, rate * channels * 2);
  Put16(bytes, channels * 2);
  Put16(bytes, 16);
  PutTag(bytes, "data");
  Put32(bytes, static_cast<uint32_t>(dataBytes));
  for (size_t i = 0; i < frames * channels; ++i) Put16(bytes, static_cast<uint16_t>(samples[i]));
  const FileHandle file = CreateFile(utf8Path);
  if (file == kInvalidFile) return false;
  const bool ok = WriteFile(file, bytes.data(), bytes.size()) == bytes.size();
  CloseFile(file);
  return ok;
}

}  // namespace plat::audio
