// DataBuffer - the saved state of a level in progress, kept in the current
// profile (one per play mode and level) and stored in the profile's save file
// as one block of a data-file section.
//
// The buffer is a 48-byte header (also the stored header) and two growable
// areas: the data area, written and read sequentially by a DataCursor, and the
// record area of length-prefixed records. Neither area grows beyond 32 MB.
// Stored block: the header, a CRC-32 of the header, the data bytes in use, the
// record bytes in use; every field little-endian, each of the three CRC-checked.
#pragma once

#include "base/Types.h"

namespace kis {

class BaseDataFileReader;
class BaseDataFileWriter;

constexpr u32 kDataBufferHeaderSize = 48;
constexpr u32 kDataBufferLimit = 0x2000000;  // 32 MB: largest area and largest single request

class DataBuffer {
 public:
  DataBuffer() = default;
  DataBuffer(const DataBuffer&) = delete;
  DataBuffer& operator=(const DataBuffer&) = delete;
  ~DataBuffer();

  // Into the open section of a writer: header, header CRC, data, records.
  // False as soon as a write fails.
  bool WriteToFile(BaseDataFileWriter* writer) const;
  // From the open section of a reader, everything checked: header size 48, the
  // header CRC, a play mode and level index inside the level table, sizes that
  // fit the section and the limit, and both area CRCs. On failure the buffer
  // is left empty (both sizes 0).
  bool ReadFromFile(BaseDataFileReader* reader);

  // Grow an area to hold at least `wanted` bytes (data: multiples of 16 KB;
  // records: of 1 KB up to 4 KB, then of 16 KB). False beyond the limit or
  // when memory runs out; the area is then unchanged.
  bool GrowData(u64 wanted);
  bool GrowRecords(u64 wanted);

  // Header fields.
  u32 headerSize = 0;
  u32 dataSize = 0;
  u32 recordSize = 0;
  u32 playMode = 0;
  u32 levelIndex = 0;
  u32 levelTime = 0;
  u8 levelBlock[16] = {};
  u32 dataCrc = 0;
  u32 recordCrc = 0;

  u8* Data() const { return data_; }
  u32 DataCapacity() const { return dataCapacity_; }
  u8* Records() const { return records_; }
  u32 RecordCapacity() const { return recordCapacity_; }

  // The 48 header bytes as stored.
  void EncodeHeader(u8* out) const;

 private:
  u8* data_ = nullptr;
  u32 dataCapacity_ = 0;
  u8* records_ = nullptr;
  u32 recordCapacity_ = 0;
};

}  // namespace kis
