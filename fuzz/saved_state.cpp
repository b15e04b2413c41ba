// The saved-state reader on arbitrary section contents: the bytes are stored
// as one section of a data file, read back into a DataBuffer, and a state that
// is accepted is walked with a cursor and must store back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ScratchFile.h"
#include "base/DataBuffer.h"
#include "base/DataCursor.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/encoding/Utf.h"

namespace {

std::u16string Scratch(const char* tag) {
  return plat::Utf8ToUtf16(fuzzscratch::Path("saved_state", tag));
}

bool StoreSection(const std::u16string& name, const uint8_t* data, size_t size) {
  kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), 1, 2, 1, false);
  if (!w) return false;
  w->BeginSection(5, 1);
  w->Write(data, static_cast<u32>(size));
  w->EndSection();
  return kis::CloseDataFile(w);
}

bool LoadSection(const std::u16string& name, kis::DataBuffer* buffer) {
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(name.c_str(), 1, 2, 1);
  if (!r) return false;
  const bool ok = r->OpenSection(5, 1) && buffer->ReadFromFile(r);
  kis::CloseDataFile(r);
  return ok;
}

std::vector<uint8_t> ReadFile(const std::u16string& name) {
  std::vector<uint8_t> out;
  std::FILE* f = std::fopen(plat::Utf16ToUtf8(name).c_str(), "rb");
  if (!f) return out;
  uint8_t buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::u16string in = Scratch("_in.dat");
  static const std::u16string out = Scratch("_out.dat");
  if (size > (1u << 20) || !StoreSection(in, data, size)) return 0;
  kis::DataBuffer buffer;
  if (LoadSection(in, &buffer)) {
    kis::DataCursor c;
    if (!c.BeginRead(&buffer)) __builtin_trap();
    while (c.ReadBlock()) {
    }
    c.BeginRead(&buffer);
    while (c.ReadSized()) {
    }
    c.BeginRead(&buffer);
    while (c.ReadPtr(3)) c.CheckMark();
    // An accepted state stores back to the same bytes.
    kis::DataFileWriterW* w = kis::CreateDataFileWriterW(out.c_str(), 1, 2, 1, false);
    if (!w || !w->BeginSection(5, 1) || !buffer.WriteToFile(w) || !w->EndSection() || !kis::CloseDataFile(w))
      __builtin_trap();
    const std::vector<uint8_t> again = ReadFile(out);
    const size_t used = 52 + buffer.dataSize + buffer.recordSize;
    if (again.size() < 20 + used || std::memcmp(again.data() + 20, data, used) != 0) __builtin_trap();
  }
  std::remove(plat::Utf16ToUtf8(in).c_str());
  std::remove(plat::Utf16ToUtf8(out).c_str());
  return 0;
}
