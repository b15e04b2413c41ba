#include "ui/GameFontSection.h"

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "content/ContentSections.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "gametext/KGEBitmapFont.h"
#include "gametext/KGEFont.h"
#include "gametext/KGEFontData.h"
#include "gametext/KGEWinFont.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteSet.h"

namespace {

// The next font of the section, or null when it does not read.
KGEFont* ReadGameFont(kis::BaseDataFileReader* reader) {
  u8 kind[8];
  if (!ReadDataSection(reader, kind, sizeof kind)) return nullptr;
  const u32 sig1 = kis::GetU32LE(kind);
  const u32 sig2 = kis::GetU32LE(kind + 4);
  if (sig1 == kKGEBitmapFontSignature1 && sig2 == kKGEBitmapFontSignature2) {
    if (DataSectionBytesLeft(reader) < kTextureHeaderSize) return nullptr;
    DXLTexture* picture = nullptr;
    if (!DXLReadTextureHeader(reader, GetSpriteSetTextures(kGameFontSpriteSet), &picture) || !picture)
      return nullptr;
    KGEBitmapFont* font = nullptr;
    return KGELoadBitmapFont(GetGameViewer(), picture, reader, &font) < 0 ? nullptr : font;
  }
  if (sig1 == kKGEWinFontSignature1 && sig2 == kKGEWinFontSignature2) {
    KGEWinFont* font = nullptr;
    return KGELoadWinFont(GetGameViewer(), reader, &font) < 0 ? nullptr : font;
  }
  return nullptr;
}

}  // namespace

i32 LoadGameFonts(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  if (!BeginCountedSection(reader, cursor, kGameFontSectionId, kGameFontSectionSubId)) return 1;
  if (cursor->total != kGameFontSlots) return EndDataSection(reader, cursor, true);
  ResourceServices& s = GetResourceServices();
  while (cursor->done < cursor->total) {
    KGEFont* font = ReadGameFont(reader);
    if (!font) return EndDataSection(reader, cursor, true);
    delete s.fonts[cursor->done];
    s.fonts[cursor->done] = font;
    ++cursor->done;
    if (StepLoadingProgress(static_cast<float>(cursor->done) / static_cast<float>(cursor->total))) return 0;
  }
  return EndDataSection(reader, cursor, false);
}

void FreeGameFonts() {
  for (KGEFont*& font : GetResourceServices().fonts) {
    delete font;
    font = nullptr;
  }
}

bool WriteGameFontSection(kis::BaseDataFileWriter* writer, const std::vector<GameFontEntry>& fonts) {
  if (!writer) return false;
  u8 count[4];
  kis::PutU32LE(count, static_cast<u32>(fonts.size()));
  if (!writer->Write(count, sizeof count)) return false;
  for (const GameFontEntry& entry : fonts) {
    if (!entry.font) return false;
    u8 head[8 + kTextureHeaderSize] = {};
    kis::PutU32LE(head, entry.font->GetSignature1());
    kis::PutU32LE(head + 4, entry.font->GetSignature2());
    u32 size = 8;
    if (entry.font->GetSignature1() == kKGEBitmapFontSignature1) {
      if (!entry.picture || !entry.picture[0]) return false;
      DXLPutTextureHeader(head + 8, entry.picture);
      size += kTextureHeaderSize;
    }
    if (!writer->Write(head, size) || KGESaveFont(writer, entry.font) != KGE_S_OK) return false;
  }
  return true;
}
