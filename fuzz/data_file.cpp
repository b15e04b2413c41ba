// The container reader on arbitrary bytes: open, walk every directory and read
// every section. Nothing may crash, hang or allocate beyond the input's size.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ScratchFile.h"
#include "base/datafile/DataFileReader.h"
#include "platform/encoding/Utf.h"

namespace {

constexpr u32 kSig1 = 0x46445453u;  // signature of the seed files
constexpr u32 kSig2 = 0x00000001u;

// The tree is freed when the file fails, so the directory is fetched anew
// after every operation. Children sharing (id, sub-id) with an earlier
// sibling cannot be entered by id, and are skipped.
void Walk(kis::DataFileReaderW* r) {
  const kis::DATAFILEDIR* dir = r->GetDirectory();
  if (!dir) return;
  std::vector<uint8_t> buf(4096);
  const size_t entries = dir->entries.size();
  for (size_t i = 0; i < entries; ++i) {
    dir = r->GetDirectory();
    if (!dir) return;
    const kis::DATAFILEENTRY* e = &dir->entries[i];
    u32 left = e->size;
    if (!r->OpenEntry(e)) return;
    while (left > 0) {
      const u32 n = left < buf.size() ? left : static_cast<u32>(buf.size());
      if (!r->Read(buf.data(), n)) return;
      left -= n;
    }
    r->Seek(0);
    if (!r->CloseSection()) return;
  }
  std::vector<std::pair<u32, u32>> seen;
  for (u32 k = 0;; ++k) {
    dir = r->GetDirectory();
    if (!dir) return;
    const kis::DATAFILEDIR* child = dir->firstChild;
    for (u32 j = 0; child && j < k; ++j) child = child->next;
    if (!child) return;
    const std::pair<u32, u32> key{child->id, child->subId};
    bool repeat = false;
    for (const auto& s : seen) repeat |= s == key;
    if (repeat) continue;
    seen.push_back(key);
    if (!r->EnterDirectory(key.first, key.second)) return;
    Walk(r);
    if (!r->LeaveDirectory()) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = fuzzscratch::Path("data_file", ".dat");
  static const std::u16string name = plat::Utf8ToUtf16(path);
  if (!fuzzscratch::Write(path, data, size)) return 0;
  kis::DataFileReaderW* r = kis::OpenDataFileReaderW(name.c_str(), kSig1, kSig2, 0xFFFFFFFFu);
  if (r) {
    Walk(r);
    kis::CloseDataFile(r);
  }
  std::remove(plat::Utf16ToUtf8(name).c_str());
  return 0;
}
