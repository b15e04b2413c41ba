// The "MAPM" section of the level-selection map (see ContentSectionFuzz.h).
// Read in one call; whatever it keeps holds at most 16 items a node, and
// every particle item it keeps has a finite scale other than 0 and at most
// 89 emitters; a characters item's entries read at most 4, with at most 8
// shapes each.
#include <cmath>
#include <memory>

#include "ContentSectionFuzz.h"
#include "content/MapSection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kMapSectionId, kMapSectionSubId, data, size, [](kis::BaseDataFileReader* reader) {
    auto map = std::make_unique<MapSectionData>();
    contentfuzz::ReadAll([&](SectionCursor* c) { return ReadMapSection(reader, c, map.get()); });
    for (const MAPNODE& node : map->nodes) {
      if (node.itemCount > kMapNodeItemSlots) __builtin_trap();
      for (u32 i = 0; i < node.itemCount; ++i) {
        const MAPNODEITEM& item = node.items[i];
        if (item.kind == kMapItemParticles &&
            (!std::isfinite(item.emitterScale) || item.emitterScale == 0.0f || item.emitterCount > kMapNodeEmitterMax))
          __builtin_trap();
        if (item.kind == kMapItemCharacters) {
          MAPCHARENTRY entries[kMapCharEntries];
          const u32 n = ParseMapCharEntries(item, entries);
          if (n > kMapCharEntries) __builtin_trap();
          for (u32 e = 0; e < n; ++e)
            if (entries[e].shapeCount > kMapCharShapes) __builtin_trap();
        }
      }
    }
  });
}
