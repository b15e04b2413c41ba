// LevelWindows - the game windows the level opens: the in-game message
// queue (the warehouse-full message), the warehouse window and the result
// window of a won level. The game windows library (src/windows) will
// implement it; it is optional: without one none of these windows opens.
#pragma once

#include "base/Types.h"

struct LEVELRESULT;
struct PRODUCT;

// Message flags of the warehouse-full message.
constexpr u32 kMessageFlagsWarehouse = 0x1000003u;
// A message's id for a product: the base + the product's number, so each
// product has its own.
constexpr u32 kMessageWarehouseFull = 0x4001000u;

// Where a message's answer goes (answer 1: the player clicked it).
class MessageAnswer {
 public:
  virtual ~MessageAnswer() = default;
  virtual void OnMessageAnswer(u32 answer, const PRODUCT* subject) = 0;
};

class LevelWindows {
 public:
  virtual ~LevelWindows() = default;
  // Shows (or refreshes) a message whose text is the key of the language
  // section "messages", for duration ms (-1: until closed).
  virtual void ShowMessage(u32 id, const wchar* textKey, u32 flags, const PRODUCT* subject, i32 duration,
                           MessageAnswer* answer) = 0;
  virtual void OpenWarehouseWindow(const PRODUCT* selected) = 0;
  virtual void OpenResultWindow(const LEVELRESULT& record) = 0;
};
