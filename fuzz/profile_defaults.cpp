// The "PROF" section on arbitrary contents: the input is its body in a data
// archive followed by a whole constants section; the reader refuses it
// cleanly (the archive still in order) or gives defaults that are in range
// and write back to a body that reads the same.
#include <string>

#include "ScratchFile.h"
#include "base/datafile/DataFileReader.h"
#include "content/ContentArchive.h"
#include "content/ContentWriter.h"
#include "content/ProfileProgress.h"
#include "platform/encoding/Utf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::u16string path = plat::Utf8ToUtf16(fuzzscratch::Path("prof", ".dat"));
  if (size > 4096) return 0;
  const std::vector<u8> body(data, data + size);
  if (!WriteDataArchive(path.c_str(), {{kProfileSectionId, kProfileSectionSubId, body},
                                       {kConstantsSectionId, kConstantsSectionSubId, {}}}))
    return 0;
  kis::DataFileReaderW* r =
      kis::OpenDataFileReaderW(path.c_str(), kDataArchiveSignature1, kDataArchiveSignature2, kDataArchiveVersion);
  if (!r) __builtin_trap();
  PROFILEPROGRESS read = EmptyProfileProgress();
  SectionCursor cursor;
  ReadProfileDefaults(r, &cursor, &read);
  if (!r->HasSection(kConstantsSectionId, kConstantsSectionSubId)) __builtin_trap();
  kis::CloseDataFile(r);
  if (cursor.error) return 0;
  if (read.regime > 1 || read.size != kProfileProgressSize) __builtin_trap();
  for (const BONUSSELECTION& s : read.selection)
    if (s.count > 3) __builtin_trap();
  PROFILEPROGRESS again;
  const std::vector<u8> written = ProfileDefaultsSection(read);
  ReadRecord(kProfileProgressLayout, written.data(), &again);
  if (ProfileDefaultsSection(again) != written) __builtin_trap();
  return 0;
}
