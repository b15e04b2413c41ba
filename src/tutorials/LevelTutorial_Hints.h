// The short level tutorials of one hint each:
//
// LevelTutorial_15 (0x800F0000) - level 15's hint on its point 7: an arrow
// and a text with the click line; a click or 7 seconds end it. The level
// runs meanwhile (every level action reaches it).
//
// LevelTutorial_Warehouse (0x802A0000) - the warehouse button: ends when
// the warehouse window opens, by the button or any other way.
//
// LevelTutorial_FullWarehouse (0x802B0000) - made the first time the
// warehouse overflows (after the "warehouse_full_ex" message) in a profile
// with the tutorials on: an arrow on that message, whose id is
// kMessageWarehouseFull + the product's number, then (once the warehouse
// window is open) an arrow on the product's button there (none of it in
// stock: that step ends at once). It is never part
// of a level save and starts at once.
#pragma once

#include "tutorials/LevelTutorial.h"

struct PRODUCT;

constexpr TutorialId kLevelTutorial15 = 0x000F0000u;
constexpr TutorialId kLevelTutorialWarehouse = 0x002A0000u;
constexpr TutorialId kLevelTutorialFullWarehouse = 0x002B0000u;
constexpr u32 kLevelHintFlags = 0x10001FFu;  // windows and every level action
constexpr u32 kLevelHintTime = 7000;        // ms level 15's hint stays

class LevelTutorial_15 : public LevelTutorial {
 public:
  explicit LevelTutorial_15(GameLevel* level);
  void OnStart() override { SetDelay(1000); }
};

class LevelTutorial_Warehouse : public LevelTutorial {
 public:
  explicit LevelTutorial_Warehouse(GameLevel* level);
  void OnStart() override { SetDelay(0); }
};

class LevelTutorial_FullWarehouse : public LevelTutorial {
 public:
  LevelTutorial_FullWarehouse(GameLevel* level, const PRODUCT* product);
  void OnStart() override { SetDelay(0); }
  const PRODUCT* GetProduct() const { return product_; }
  // The message id of the product's full-warehouse notice.
  u32 GetMessageId() const;

 private:
  const PRODUCT* product_;
};
