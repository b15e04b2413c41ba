#include "base/DataCursor.h"

#include <cstring>
#include <new>

#include "base/Crc32.h"
#include "base/LittleEndian.h"

namespace kis {

DataCursor::~DataCursor() { DropBuffer(); }

void DataCursor::DropBuffer() {
  if (ownsBuffer_) delete buffer_;
  buffer_ = nullptr;
  ownsBuffer_ = false;
}

bool DataCursor::Begin(const LevelSaveInfo& level) {
  error_ = true;
  dataPos_ = 0;
  recordPos_ = 0;
  if (buffer_ && !ownsBuffer_) DropBuffer();
  if (!buffer_) {
    buffer_ = new (std::nothrow) DataBuffer;
    if (!buffer_) return false;
    ownsBuffer_ = true;
  }
  if (!buffer_->GrowData(32768)) return false;
  DataBuffer& b = *buffer_;
  b.headerSize = kDataBufferHeaderSize;
  b.dataSize = 0;
  b.recordSize = 0;
  b.playMode = level.playMode;
  b.levelIndex = level.levelIndex;
  b.levelTime = level.levelTime;
  std::memcpy(b.levelBlock, level.block, sizeof b.levelBlock);
  b.dataCrc = 0;
  b.recordCrc = 0;
  error_ = false;
  return true;
}

// Grows the area to position + n + half its capacity (kept within the 32 MB
// limit, so a request that fits is never refused for the slack alone).
void* DataCursor::ReserveIn(bool records, u32 n) {
  if (error_ || !buffer_) return nullptr;
  u32& pos = records ? recordPos_ : dataPos_;
  const u32 capacity = records ? buffer_->RecordCapacity() : buffer_->DataCapacity();
  const u64 end = static_cast<u64>(pos) + n;
  if (n > kDataBufferLimit || end > kDataBufferLimit) {
    error_ = true;
    return nullptr;
  }
  if (end > capacity) {
    u64 target = end + capacity / 2;
    if (target > kDataBufferLimit) target = kDataBufferLimit;
    const bool grown = records ? buffer_->GrowRecords(target) : buffer_->GrowData(target);
    if (!grown) {
      error_ = true;
      return nullptr;
    }
  }
  u8* area = records ? buffer_->Records() : buffer_->Data();
  if (!area) return nullptr;  // n is 0 and the area was never needed
  u8* p = area + pos;
  pos = static_cast<u32>(end);
  return p;
}

void* DataCursor::Reserve(u32 n, bool zero) {
  void* p = ReserveIn(false, n);
  if (p && zero) std::memset(p, 0, n);
  return p;
}

bool DataCursor::Write(const void* bytes, u32 n) {
  if (error_) return false;
  if (n == 0) return true;
  if (!bytes) {
    error_ = true;
    return false;
  }
  void* p = Reserve(n, false);
  if (!p) return false;
  std::memcpy(p, bytes, n);
  return true;
}

bool DataCursor::WriteMark() {
  u8 mark[4];
  PutU32LE(mark, dataPos_);
  return Write(mark, sizeof mark);
}

void* DataCursor::ReserveRecord(u32 n) { return ReserveIn(true, n); }

bool DataCursor::Finish(SavedStateStore* store) {
  if (error_ || !buffer_ || !store) return false;
  DataBuffer** slot = store->Slot(buffer_->playMode, buffer_->levelIndex);
  if (!IsSavedStateSlot(buffer_->playMode, buffer_->levelIndex) || !slot) return false;
  DataBuffer& b = *buffer_;
  b.dataSize = dataPos_;
  b.recordSize = recordPos_;
  b.dataCrc = UpdateCrc32(b.Data(), dataPos_, 0, 0);
  b.recordCrc = UpdateCrc32(b.Records(), recordPos_, 0, 0);
  DataBuffer* previous = *slot;
  *slot = buffer_;
  buffer_ = previous;
  ownsBuffer_ = previous != nullptr;
  return true;
}

bool DataCursor::BeginRead(SavedStateStore* store, u32 playMode, u32 levelIndex) {
  DataBuffer** slot = nullptr;
  if (store && IsSavedStateSlot(playMode, levelIndex)) slot = store->Slot(playMode, levelIndex);
  return BeginRead(slot ? *slot : nullptr);
}

bool DataCursor::BeginRead(DataBuffer* buffer) {
  if (buffer != buffer_) DropBuffer();
  buffer_ = buffer;
  ownsBuffer_ = false;
  dataPos_ = 0;
  recordPos_ = 0;
  // A buffer whose sizes do not match its areas is not read at all.
  error_ = !buffer || buffer->dataSize > buffer->DataCapacity() || buffer->recordSize > buffer->RecordCapacity();
  return !error_;
}

// The next n bytes of the data area in use, or null (and the error flag).
const u8* DataCursor::Take(u32 n) {
  if (error_ || !buffer_) return nullptr;
  const u64 end = static_cast<u64>(dataPos_) + n;
  if (n > kDataBufferLimit || end > buffer_->dataSize) {
    error_ = true;
    return nullptr;
  }
  const u8* p = buffer_->Data() ? buffer_->Data() + dataPos_ : nullptr;
  dataPos_ = static_cast<u32>(end);
  return p;
}

const void* DataCursor::ReadPtr(u32 n) { return Take(n); }

bool DataCursor::Read(void* dest, u32 n) {
  const u8* p = Take(n);
  if (error_) return false;
  if (n && dest && p) std::memcpy(dest, p, n);
  return true;
}

bool DataCursor::CheckMark() {
  const u32 at = dataPos_;
  const u8* p = Take(4);
  return p && GetU32LE(p) == at;
}

const void* DataCursor::ReadSized() {
  const u8* p = Take(4);
  if (!p) return nullptr;
  const u32 len = GetU32LE(p);
  if (len < 4 || len > buffer_->dataSize) {
    error_ = true;
    return nullptr;
  }
  Take(len - 4);
  return error_ ? nullptr : p;
}

const void* DataCursor::ReadBlock() {
  if (error_ || !buffer_) return nullptr;
  const u64 size = buffer_->recordSize;
  const u64 pos = recordPos_;
  if (pos + 4 > size || !buffer_->Records()) {
    error_ = true;
    return nullptr;
  }
  const u8* p = buffer_->Records() + pos;
  const u32 len = GetU32LE(p);
  // A record shorter than its own length word would never advance the walk.
  if (len < 4 || pos + len > size) {
    error_ = true;
    return nullptr;
  }
  recordPos_ = static_cast<u32>(pos + len);
  return p;
}

bool DataCursor::SeekRecord(u32 pos) {
  if (error_ || !buffer_ || pos > buffer_->recordSize) {
    error_ = true;
    return false;
  }
  recordPos_ = pos;
  return true;
}

}  // namespace kis
