// The "MNSC" section of the main screen's layers (see ContentSectionFuzz.h).
// A section that reads keeps one record per 2,000 bytes after the count,
// every record made safe (at most 16 entries, blend modes up to 4, names
// ending inside their fields); one that fails keeps nothing.
#include <string>

#include "ContentSectionFuzz.h"
#include "content/MainScreenSection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return contentfuzz::Run(kMainScreenSectionId, kMainScreenSectionSubId, data, size,
                          [size](kis::BaseDataFileReader* reader) {
                            MainScreenLayers layers;
                            SectionCursor cursor;
                            layers.ReadSection(reader, &cursor);
                            if (cursor.error && !layers.Layers().empty()) __builtin_trap();
                            if (!cursor.error && 4 + layers.Layers().size() * kMainScreenLayerSize != size)
                              __builtin_trap();
                            for (const MAINSCREENLAYERINFO& l : layers.Layers()) {
                              if (l.count > kMainScreenMaxEntries) __builtin_trap();
                              for (const MAINSCREENENTRY& e : l.entries)
                                if (std::u16string(e.name).size() > 31) __builtin_trap();
                              for (const MAINSCREENLIGHTINFO& light : l.lights)
                                if (light.blend > 4 || light.minPause > light.maxPause) __builtin_trap();
                            }
                          });
}
