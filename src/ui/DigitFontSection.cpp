#include "ui/DigitFontSection.h"

#include <memory>

#include "base/LittleEndian.h"
#include "content/ContentSections.h"
#include "engine/text/DigitalFont.h"
#include "resources/SpriteSet.h"
#include "ui/WindowManager.h"

// A finished section answers 1 even when it held no font, so an empty
// section ends the step instead of being opened again on every call.
i32 LoadDigitFonts(kis::BaseDataFileReader* reader, SectionCursor* cursor, WindowManager* manager) {
  if (!cursor) return 1;
  if (!manager) return EndDataSection(reader, cursor, true);
  if (!BeginCountedSection(reader, cursor, kDigitFontSectionId, kDigitFontSectionSubId)) return 1;
  DXLTextures* pictures = GetSpriteSetTextures(kDigitFontSpriteSet);
  while (cursor->done < cursor->total) {
    // An entry needs its header's bytes at least: a count beyond the bytes
    // fails here, before the container's sticky read error.
    if (DataSectionBytesLeft(reader) < DigitalFont::kHeaderSize) return EndDataSection(reader, cursor, true);
    auto font = std::make_unique<DigitalFont>();
    if (!font->Read(reader, pictures)) return EndDataSection(reader, cursor, true);
    manager->AddFont(font.release());
    ++cursor->done;
    if (StepLoadingProgress(static_cast<float>(cursor->done) / static_cast<float>(cursor->total))) return 0;
  }
  return EndDataSection(reader, cursor, false);
}

std::vector<u8> DigitFontSectionBody(const std::vector<const DigitalFont*>& fonts) {
  std::vector<u8> body(4);
  kis::PutU32LE(body.data(), static_cast<u32>(fonts.size()));
  for (const DigitalFont* font : fonts) {
    const std::vector<u8> entry = font->Encode();
    body.insert(body.end(), entry.begin(), entry.end());
  }
  return body;
}
