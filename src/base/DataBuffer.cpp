#include "base/DataBuffer.h"

#include <cstdlib>
#include <cstring>

#include "base/Crc32.h"
#include "base/LittleEndian.h"
#include "base/SavedStateStore.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"

namespace kis {
namespace {

u64 RoundUp(u64 v, u64 step) { return (v + step - 1) / step * step; }

// Reallocates one area to `wanted` rounded up; nothing when it already fits.
bool GrowArea(u8** area, u32* capacity, u64 wanted, u64 rounded) {
  if (wanted <= *capacity) return true;
  if (rounded > kDataBufferLimit) return false;
  void* p = std::realloc(*area, static_cast<size_t>(rounded));
  if (!p) return false;
  *area = static_cast<u8*>(p);
  *capacity = static_cast<u32>(rounded);
  return true;
}

}  // namespace

DataBuffer::~DataBuffer() {
  std::free(data_);
  std::free(records_);
}

bool DataBuffer::GrowData(u64 wanted) { return GrowArea(&data_, &dataCapacity_, wanted, RoundUp(wanted, 16384)); }

bool DataBuffer::GrowRecords(u64 wanted) {
  const u64 rounded = wanted <= 4096 ? RoundUp(wanted, 1024) : RoundUp(wanted, 16384);
  return GrowArea(&records_, &recordCapacity_, wanted, rounded);
}

void DataBuffer::EncodeHeader(u8* out) const {
  PutU32LE(out, headerSize);
  PutU32LE(out + 4, dataSize);
  PutU32LE(out + 8, recordSize);
  PutU32LE(out + 12, playMode);
  PutU32LE(out + 16, levelIndex);
  PutU32LE(out + 20, levelTime);
  std::memcpy(out + 24, levelBlock, 16);
  PutU32LE(out + 40, dataCrc);
  PutU32LE(out + 44, recordCrc);
}

bool DataBuffer::WriteToFile(BaseDataFileWriter* writer) const {
  if (!writer || dataSize > dataCapacity_ || recordSize > recordCapacity_) return false;
  u8 header[kDataBufferHeaderSize];
  EncodeHeader(header);
  u32 crc = 0;
  if (!writer->WriteCrc(header, sizeof header, &crc)) return false;
  u8 crcField[4];
  PutU32LE(crcField, crc);
  return writer->Write(crcField, sizeof crcField) && writer->Write(data_, dataSize) &&
         writer->Write(records_, recordSize);
}

bool DataBuffer::ReadFromFile(BaseDataFileReader* reader) {
  if (!reader) return false;
  dataSize = 0;
  recordSize = 0;
  u8 header[kDataBufferHeaderSize];
  u32 crc = 0;
  if (!reader->ReadCrc(header, sizeof header, &crc)) return false;
  u8 crcField[4];
  if (!reader->Read(crcField, sizeof crcField)) return false;
  if (GetU32LE(header) != kDataBufferHeaderSize || GetU32LE(crcField) != crc) return false;
  const u32 newDataSize = GetU32LE(header + 4);
  const u32 newRecordSize = GetU32LE(header + 8);
  const u32 newMode = GetU32LE(header + 12);
  const u32 newIndex = GetU32LE(header + 16);
  // The slot and the sizes come from the file: check them before they index
  // the profile or size an allocation.
  if (!IsSavedStateSlot(newMode, newIndex)) return false;
  const u64 left = static_cast<u64>(reader->GetSectionSize()) - reader->GetPosition();
  if (static_cast<u64>(newDataSize) + newRecordSize > left) return false;
  if (!GrowData(newDataSize) || !GrowRecords(newRecordSize)) return false;
  if (!reader->ReadChecked(data_, newDataSize, GetU32LE(header + 40))) return false;
  if (!reader->ReadChecked(records_, newRecordSize, GetU32LE(header + 44))) return false;

  headerSize = kDataBufferHeaderSize;
  dataSize = newDataSize;
  recordSize = newRecordSize;
  playMode = newMode;
  levelIndex = newIndex;
  levelTime = GetU32LE(header + 20);
  std::memcpy(levelBlock, header + 24, 16);
  dataCrc = GetU32LE(header + 40);
  recordCrc = GetU32LE(header + 44);
  return true;
}

}  // namespace kis
