// The item-description mark-up (ExpandItemTag) on any tag text, object kind
// and output room: the first byte picks the kind (with a record of that kind
// as its object, or none), the next two the room, the rest is the tag as
// UTF-16. The output must stay within its room, end in a zero, and say no
// more characters than it wrote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/Strings.h"
#include "content/AwardTable.h"
#include "content/LevelRegime.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "windows/ItemTag.h"

namespace {

struct Objects {
  Objects() {
    kis::StrCopy(wheat.name, kProductNameSize, u"wheat");
    kis::StrCopy(flour.name, kProductNameSize, u"flour");
    flour.price = 25;
    flour.ingredientCount = 1;
    flour.ingredients[0] = INGREDIENT{1, 2};
    flour.ingredientProducts[0] = &wheat;
    kis::StrCopy(plant.name, kKindNameSize, u"wheat");
    for (i32 i = 0; i < 4; ++i) plant.prices[i] = 10 * (i + 1);
    kis::StrCopy(small.name, kAwardNameSize, u"baker");
    small.tiers[0] = 10;
    small.tiers[1] = 50;
    small.tiers[2] = 100;
    kis::StrCopy(big.name, kAwardNameSize, u"walker");
    big.threshold = 5000;
    task = LEVELTASK{1, 7, 2, 30};
  }
  uintptr_t For(u32 kind) {
    switch (kind) {
      case 0x1000002: return reinterpret_cast<uintptr_t>(&plant);
      case 0x1000003: return reinterpret_cast<uintptr_t>(&wheat);
      case 0x1000004: return reinterpret_cast<uintptr_t>(&flour);
      case 0x1000006: return reinterpret_cast<uintptr_t>(&small);
      case 0x1000007: return reinterpret_cast<uintptr_t>(&big);
      case 0x1000009: return reinterpret_cast<uintptr_t>(&task);
    }
    return 0;
  }
  PRODUCT wheat{};
  PRODUCT flour{};
  PLANT plant{};
  TIEREDAWARD small{};
  RECORDAWARD big{};
  LEVELTASK task{};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3 || size > 4096) return 0;
  static Objects objects;
  const u32 kind = 0x1000000u + data[0] % 12;
  const u32 room = (data[1] | (data[2] << 8)) % 1025;
  std::vector<wchar> text((size - 3) / 2);
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<wchar>(data[3 + 2 * i] | (data[4 + 2 * i] << 8));
  std::vector<wchar> out(room + 8, 0x7777);
  u32 written = 0xFFFFFFFFu;
  const bool expanded = ExpandItemTag(text.data(), static_cast<u32>(text.size()), out.data(), room, &written, kind,
                                      objects.For(kind));
  if (room == 0) {
    if (out[0] != 0x7777) std::abort();
    return 0;
  }
  if (written >= room || (!expanded && written != 0)) std::abort();
  bool terminated = false;
  for (u32 i = 0; i < room && !terminated; ++i) terminated = out[i] == 0;
  if (!terminated || out[room] != 0x7777) std::abort();
  return 0;
}
