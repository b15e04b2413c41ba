// Image files and archives written by tests: an uncompressed 32-bit Targa
// file from ARGB pixels, and a data file whose sections hold texture entries.
#pragma once

#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "base/Types.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/image/SaveBitmapTGA.h"
#include "platform/encoding/Utf.h"

namespace imagefiles {

// Rows top to bottom, 0xAARRGGBB.
inline std::vector<u8> Targa32(u32 width, u32 height, const std::vector<u32>& argb) {
  return DXLEncodeTGA32(width, height, argb.data());
}

// The 76-byte texture entry header.
inline std::vector<u8> TextureHeader(u32 kind, const std::u16string& name, u32 size = 76,
                                     u32 magic = 0x544E6D55u) {
  std::vector<u8> h(76, 0);
  kis::PutU32LE(&h[0], size);
  kis::PutU32LE(&h[4], magic);
  kis::PutU32LE(&h[8], kind);
  for (size_t i = 0; i < name.size() && i < 32; ++i) kis::PutU16LE(&h[12 + 2 * i], name[i]);
  return h;
}

constexpr u32 kSig1 = 0x54534554;  // "TEST"
constexpr u32 kSig2 = 16;

// Writes one section (id, 0) per entry.
inline bool WriteArchive(const std::string& path, const std::vector<std::vector<u8>>& sections) {
  const std::u16string name = plat::Utf8ToUtf16(path);
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), kSig1, kSig2, 1, false);
  if (!w) return false;
  for (size_t i = 0; i < sections.size(); ++i) {
    w->BeginSection(static_cast<u32>(i + 1), 0);
    if (!sections[i].empty()) w->Write(sections[i].data(), static_cast<u32>(sections[i].size()));
    w->EndSection();
  }
  return kis::CloseDataFile(w);
}

}  // namespace imagefiles
