// DXLLanguage - the texts of one language: named tables of keyed texts, a
// default text for everything missing, named images, and the language's
// identifier and display name.
//
// Constructing and opening reads only the header of the language file; the
// tables are loaded by the first Acquire and freed by the last Release. The
// file is a source file, read through a DXLLngFile that the derived class
// makes, or the language cache ("dat" extension) that SaveCache writes: a
// kis::BaseDataFile with the header section ("params"), one section per
// table (0xC0000000 | i, without gaps) and the derived class's sections
// after them. Loading never reports errors: missing parts give empty tables
// and the default text ("?NF?" when the file gives none), which is never
// null once opened. A failed SaveCache leaves no partial file, and a cache
// that existed before stays as it was.
//
// Image resources and their textures are made on the viewer installed in
// TextServices::languageViewer (TextServices.h: the engine's one viewer).
#pragma once

#include <memory>

#include "base/Identifier.h"
#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLTexture.h"
#include "gametext/DXLLngTable.h"
#include "gametext/DXLLngText.h"

class DXLLngFile;
class DXLTextureLoaderDataFile;
class DXLViewer;

namespace kis {
class BaseDataFileReader;
class BaseDataFileWriter;
class DataFileReaderW;
}  // namespace kis

// Signature and version of the language cache.
constexpr u32 kLngCacheSignature1 = 0xA7F17E1Du;
constexpr u32 kLngCacheSignature2 = 0x0000000Du;
constexpr u32 kLngCacheVersion = 1;
constexpr u32 kLngTableSection = 0xC0000000u;

// Results of SaveCache and WriteCache.
constexpr u32 kLngCacheCreateFailed = 1;
constexpr u32 kLngCacheCloseFailed = 2;
constexpr u32 kLngCacheParamsBegin = 10;
constexpr u32 kLngCacheParamsIdent = 11;
constexpr u32 kLngCacheParamsDefault = 12;
constexpr u32 kLngCacheTableBegin = 13;
constexpr u32 kLngCacheTableHeader = 14;
constexpr u32 kLngCacheTableTexts = 15;

// A named image of a language; callers receive its texture.
struct DXLLngResource {
  kis::Identifier name;
  DXLTexture texture;
  std::unique_ptr<DXLTextureLoaderDataFile> loader;  // the texture's source when read from a cache
  u32 blendMode = 0;

  DXLLngResource();
  ~DXLLngResource();
};

class DXLLanguage {
 public:
  static constexpr u32 kPathSize = 260;
  static constexpr u32 kNameSize = 32;

  DXLLanguage();
  DXLLanguage(const DXLLanguage&) = delete;
  DXLLanguage& operator=(const DXLLanguage&) = delete;

  virtual DXLLngFile* CreateReader(const wchar* path) = 0;  // the caller deletes it
  virtual void ResetHeader();
  virtual void LoadSections(DXLLngFile* reader) = 0;
  virtual void LoadCacheParams(kis::BaseDataFileReader* file) = 0;
  virtual void FreeData();
  virtual u32 WriteCache(kis::BaseDataFileWriter* file);
  virtual ~DXLLanguage();
  virtual u32 SaveCache(const wchar* path);

  bool Open(const wchar* path);
  void Acquire();
  void Release();

  DXLLngTable* FindTable(const wchar* name) const;
  DXLLngTable* AddTable(const wchar* name);  // tables and resources belong to the language
  DXLLngResource* FindResource(const wchar* name) const;
  DXLLngResource* FindResourceByTexture(const DXLTexture* texture) const;
  DXLTexture* GetImage(const wchar* name) const;
  DXLTexture* AddResource(const wchar* name, u32 blendMode);
  const wchar* GetText(const wchar* tableName, const wchar* key, u32 variant, bool fallback) const;
  const wchar* GetTableText(const DXLLngTable* table, const wchar* key, u32 variant, bool fallback) const;
  static DXLLngText* MakeText(const wchar* key, const wchar* value);  // freed with FreeLngText

  const wchar* GetPath() const { return path_; }
  const kis::Identifier& GetIdent() const { return ident_; }
  const wchar* GetName() const { return name_; }
  u32 GetUseCount() const { return useCount_; }
  u32 GetTableCount() const { return tables_.count; }
  DXLLngTable* GetTable(u32 i) const { return static_cast<DXLLngTable*>(tables_.Get(i)); }
  u32 GetResourceCount() const { return resources_.count; }
  DXLLngResource* GetResource(u32 i) const { return static_cast<DXLLngResource*>(resources_.Get(i)); }
  const DXLLngText* GetDefaultText() const { return defaultText_; }
  kis::BaseDataFileReader* GetCacheFile() const;
  bool IsCachePath() const;
  // Whether the last Open read the file's header and, for a cache, the
  // first Acquire since read every table and the derived class's sections
  // without a fault. Loading goes on past faults all the same; this is for
  // a caller that would rather stop than show a damaged language.
  bool IsWhole() const { return opened_ && !damaged_; }

 protected:
  // Appends an item to one of the language's lists, or makes room in one
  // for `more` items; false, the list unchanged, when it cannot grow (the
  // caller then frees the item). The tests' allocation hook
  // (TextServices::allocationHook) is asked before the list's slots grow.
  static bool AppendItem(kis::GrowBuffer* list, void* item);
  static bool ReserveItems(kis::GrowBuffer* list, u32 more);

  // Reads one resource record from the open section and adds its image.
  DXLLngResource* ReadResource(kis::BaseDataFileReader* file);
  bool WriteResource(kis::BaseDataFileWriter* file, const DXLLngResource* resource);

  wchar path_[kPathSize] = {};
  kis::Identifier ident_;
  wchar name_[kNameSize] = {};
  u32 useCount_ = 0;
  kis::GrowBuffer tables_;
  kis::GrowBuffer resources_;
  kis::DataFileReaderW* cacheFile_ = nullptr;
  DXLLngText* defaultText_ = nullptr;

 private:
  bool opened_ = false;
  bool damaged_ = false;

  bool LoadHeader();
  void LoadCache();
};
