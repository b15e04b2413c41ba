// DataCursor - writes a level's saved state into a DataBuffer and reads it
// back: a data position, a record position and a sticky error flag.
//
// The first failure (overrun, oversize request, bad record, no memory) sets
// the error flag; every later operation then returns null or false, so a whole
// save or load is checked once at its end. A new cursor is unusable until
// Begin (writing) or BeginRead (reading) succeeds.
//
// Addresses returned by Reserve and ReserveRecord stay valid only until the
// next reservation in the same area (the area may move when it grows).
#pragma once

#include "base/DataBuffer.h"
#include "base/SavedStateStore.h"
#include "base/Types.h"

namespace kis {

class DataCursor {
 public:
  DataCursor() = default;
  DataCursor(const DataCursor&) = delete;
  DataCursor& operator=(const DataCursor&) = delete;
  ~DataCursor();

  // --- Writing -------------------------------------------------------------
  // Starts a new saved state for `level`: a buffer of at least 32 KB with the
  // level's header fields. A buffer the cursor only borrowed for reading is
  // left alone and a fresh one is made.
  bool Begin(const LevelSaveInfo& level);
  void* Reserve(u32 n, bool zero);
  bool Write(const void* bytes, u32 n);
  bool WriteMark();                  // the data position as a u32
  void* ReserveRecord(u32 n);        // caller fills it; its first u32 is its total length
  // Seals the buffer (sizes and CRCs) and exchanges it with the store's slot
  // for its play mode and level index: the store keeps the new state and the
  // cursor takes the previous one (null when there was none). A failed cursor
  // or a slot outside the table leaves the store untouched.
  bool Finish(SavedStateStore* store);

  // --- Reading -------------------------------------------------------------
  // Sets the cursor on the stored state of (play mode, level index); false,
  // with the error flag set, when the pair is outside the table or no state
  // is stored there. The store keeps ownership.
  bool BeginRead(SavedStateStore* store, u32 playMode, u32 levelIndex);
  bool BeginRead(DataBuffer* buffer);  // a buffer the caller keeps
  const void* ReadPtr(u32 n);
  bool Read(void* dest, u32 n);
  bool CheckMark();                  // a u32 equal to the position it stood at
  // A u32 total length L (at least 4) and the L - 4 bytes after it; returns
  // the address of the length word.
  const void* ReadSized();
  // The next record of the record area (length word at least 4 and within the
  // area), advancing past it.
  const void* ReadBlock();
  // Moves the record position to `pos` of the record area (a place the
  // reader stood at before); outside the area it fails.
  bool SeekRecord(u32 pos);

  // --- State ---------------------------------------------------------------
  bool HasError() const { return error_; }
  u32 GetDataPosition() const { return dataPos_; }
  u32 GetRecordPosition() const { return error_ ? 0 : recordPos_; }
  DataBuffer* GetBuffer() const { return error_ ? nullptr : buffer_; }

 private:
  void* ReserveIn(bool records, u32 n);
  const u8* Take(u32 n);
  void DropBuffer();

  DataBuffer* buffer_ = nullptr;
  bool ownsBuffer_ = false;
  u32 dataPos_ = 0;
  u32 recordPos_ = 0;
  bool error_ = true;
};

}  // namespace kis
