#include "gametext/DXLLanguage.h"

#include <string>

#include "base/Path.h"
#include "base/Strings.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "gametext/DXLLngFile.h"
#include "gametext/DXLLngRecords.h"
#include "gametext/KGEFont.h"
#include "gametext/TextServices.h"
#include "platform/os/FileSystem.h"

namespace {

bool ParseName(const wchar* text, kis::Identifier* id) {
  return text && id->Parse(text, kis::StrLenW(text), false, nullptr, nullptr);
}

// The full path of a file name: relative names are taken from the current
// folder. False when the result does not fit 260 characters.
bool FullPath(const wchar* path, wchar* out) {
  if (!path || !path[0]) return false;
  std::u16string base = plat::GetCurrentDirectory() + u"/";
  wchar full[DXLLanguage::kPathSize + 1];
  if (!kis::CombinePathW(full, DXLLanguage::kPathSize + 1, base.c_str(), path, false)) return false;
  const u32 n = kis::StrLenW(full);
  if (n == 0 || n >= DXLLanguage::kPathSize) return false;
  kis::StrCopyW(out, DXLLanguage::kPathSize, full);
  return true;
}

}  // namespace

DXLLngResource::DXLLngResource() = default;

DXLLngResource::~DXLLngResource() {
  // The texture goes before the loader that feeds it.
  texture.Unload();
  texture.SetSource(nullptr, false);
}

DXLLanguage::DXLLanguage() = default;

DXLLanguage::~DXLLanguage() {
  while (useCount_ > 0) Release();
  DXLLanguage::FreeData();
  FreeLngText(defaultText_);
  defaultText_ = nullptr;
}

void DXLLanguage::ResetHeader() {
  ident_ = kis::Identifier();
  name_[0] = 0;
}

void DXLLanguage::FreeData() {
  for (u32 i = tables_.count; i-- > 0;) delete static_cast<DXLLngTable*>(tables_.data[i]);
  tables_.count = 0;
  for (u32 i = resources_.count; i-- > 0;) delete static_cast<DXLLngResource*>(resources_.data[i]);
  resources_.count = 0;
  if (cacheFile_) {
    kis::CloseDataFile(cacheFile_);
    cacheFile_ = nullptr;
  }
}

kis::BaseDataFileReader* DXLLanguage::GetCacheFile() const { return cacheFile_; }

bool DXLLanguage::IsCachePath() const {
  const wchar* ext = kis::FindFileExtW(path_, false);
  return ext && kis::StrICompareW(ext, u"dat") == 0;
}

DXLLngText* DXLLanguage::MakeText(const wchar* key, const wchar* value) {
  return MakeLngText(key, kis::kToTerminator, value, kis::kToTerminator);
}

bool DXLLanguage::Open(const wchar* path) {
  damaged_ = false;
  bool ok = FullPath(path, path_);
  if (!ok) path_[0] = 0;
  if (ok) ok = LoadHeader();
  if (!ok) {
    FreeData();
    ResetHeader();
  }
  if (!defaultText_ || defaultText_->Variants()[0].length == 0) {
    FreeLngText(defaultText_);
    defaultText_ = MakeText(u"NF", u"?NF?");
  }
  opened_ = ok;
  return ok;
}

bool DXLLanguage::LoadHeader() {
  if (IsCachePath()) {
    kis::DataFileReaderW* file =
        kis::OpenDataFileReaderW(path_, kLngCacheSignature1, kLngCacheSignature2, kLngCacheVersion);
    if (!file) return false;
    bool ok = false;
    std::u16string ident, name;
    if (file->HasSection(kis::NameId(u"params"), 1) && file->OpenSection(kis::NameId(u"params"), 1) &&
        LngReadString(file, kis::kMaxNameChars + 1, &ident) && LngReadString(file, kNameSize, &name)) {
      kis::Identifier id;
      if (ident.empty() || id.Parse(ident.c_str(), static_cast<u32>(ident.size()), false, nullptr, nullptr)) {
        ident_ = id;
        kis::StrCopyNW(name_, kNameSize, name.c_str(), static_cast<u32>(name.size()));
        DXLLngText* text = LngReadText(file);
        if (text) {
          FreeLngText(defaultText_);
          defaultText_ = text;
        }
        ok = true;
      }
    }
    kis::CloseDataFile(file);
    return ok;
  }
  std::unique_ptr<DXLLngFile> reader(CreateReader(path_));
  if (!reader || !reader->IsOpen()) return false;
  wchar buffer[kNameSize];
  reader->ReadValue(u"Ident", buffer, kNameSize);
  if (reader->GetStatus() == kLngStatusCut) return false;
  ident_.Parse(buffer, kis::StrLenW(buffer), true, nullptr, nullptr);
  reader->ReadValue(u"Name", buffer, kNameSize);
  if (reader->GetStatus() == kLngStatusCut) return false;
  kis::StrCopyW(name_, kNameSize, buffer);
  u32 length = 0;
  const wchar* nf = reader->GetValue(u"NF", &length);
  FreeLngText(defaultText_);
  defaultText_ = nf ? MakeLngText(u"NF", 2, nf, length) : nullptr;
  return true;
}

void DXLLanguage::Acquire() {
  if (useCount_++ != 0) return;
  if (IsCachePath()) {
    LoadCache();
    return;
  }
  std::unique_ptr<DXLLngFile> reader(CreateReader(path_));
  if (reader && reader->IsOpen()) LoadSections(reader.get());
}

// What reads is kept; a fault on the way marks the language damaged. Tables
// end at the first index without a readable section; the sections of the
// derived class are read after them in every case (a file that failed on
// the way answers no more reads, so they then keep their fallbacks).
void DXLLanguage::LoadCache() {
  damaged_ = true;
  cacheFile_ = kis::OpenDataFileReaderW(path_, kLngCacheSignature1, kLngCacheSignature2, kLngCacheVersion);
  if (!cacheFile_) return;
  kis::DataFileReaderW* file = cacheFile_;
  bool whole = true;
  for (u32 i = 0; i < 0x3FFFFFFFu && file->HasSection(kLngTableSection | i, 1); ++i) {
    if (!file->OpenSection(kLngTableSection | i, 1)) break;
    std::u16string name;
    u32 count = 0;
    if (!LngReadString(file, kis::kMaxNameChars + 1, &name) || !LngReadU32(file, &count)) {
      whole = false;
      break;
    }
    DXLLngTable* table = AddTable(name.c_str());
    if (!table) break;
    // A text record takes at least 18 bytes: a count beyond what the section
    // can hold is damage, not a reason to reserve.
    const u32 fits = LngBytesLeft(file) / 18;
    if (table->Reserve(count < fits ? count : fits)) {
      for (u32 k = 0; k < count; ++k) {
        DXLLngText* text = LngReadText(file);
        if (!text) {
          whole = false;
          break;
        }
        table->Append(text);
      }
    } else if (count != 0) {
      whole = false;
    }
    if (!file->IsOk()) break;
    file->CloseSection();
  }
  LoadCacheParams(file);
  damaged_ = !whole || !file->IsOk();
}

void DXLLanguage::Release() {
  if (useCount_ == 0) return;
  if (--useCount_ == 0) FreeData();
}

DXLLngTable* DXLLanguage::FindTable(const wchar* name) const {
  kis::Identifier id;
  if (!ParseName(name, &id)) return nullptr;
  for (u32 i = 0; i < tables_.count; ++i) {
    DXLLngTable* t = static_cast<DXLLngTable*>(tables_.data[i]);
    if (t->GetName().Equals(id)) return t;
  }
  return nullptr;
}

DXLLngTable* DXLLanguage::AddTable(const wchar* name) {
  kis::Identifier id;
  if (!ParseName(name, &id)) return nullptr;
  DXLLngTable* t = new (std::nothrow) DXLLngTable(id, &defaultText_);
  if (t && !AppendItem(&tables_, t)) {
    delete t;
    t = nullptr;
  }
  return t;
}

bool DXLLanguage::AppendItem(kis::GrowBuffer* list, void* item) {
  if (list->count == list->capacity && !kgedetail::AllocationAllowed(sizeof(void*) * list->GrownCapacity()))
    return false;
  return list->Add(item);
}

bool DXLLanguage::ReserveItems(kis::GrowBuffer* list, u32 more) {
  const u64 room = u64{list->count} + more;
  if (room > list->capacity && !kgedetail::AllocationAllowed(sizeof(void*) * room)) return false;
  return list->Reserve(more);
}

DXLLngResource* DXLLanguage::FindResource(const wchar* name) const {
  kis::Identifier id;
  if (!ParseName(name, &id)) return nullptr;
  for (u32 i = 0; i < resources_.count; ++i) {
    DXLLngResource* r = static_cast<DXLLngResource*>(resources_.data[i]);
    if (r->name.Equals(id)) return r;
  }
  return nullptr;
}

DXLLngResource* DXLLanguage::FindResourceByTexture(const DXLTexture* texture) const {
  if (!texture) return nullptr;
  for (u32 i = 0; i < resources_.count; ++i) {
    DXLLngResource* r = static_cast<DXLLngResource*>(resources_.data[i]);
    if (&r->texture == texture) return r;
  }
  return nullptr;
}

DXLTexture* DXLLanguage::GetImage(const wchar* name) const {
  DXLLngResource* r = FindResource(name);
  return r ? &r->texture : nullptr;
}

DXLTexture* DXLLanguage::AddResource(const wchar* name, u32 blendMode) {
  kis::Identifier id;
  if (!ParseName(name, &id)) return nullptr;
  DXLLngResource* r = new (std::nothrow) DXLLngResource;
  if (!r) return nullptr;
  r->name = id;
  r->blendMode = blendMode;
  DXLTexture& t = r->texture;
  t.Unload();
  t.SetImageFilter(1);
  t.SetViewer(GetTextServices().languageViewer);
  DXLDRAWSTATE state;
  DXLMakeSimpleDrawState(&state, 1, 3, blendMode, 4);
  t.SetDrawState(state);
  if (!AppendItem(&resources_, r)) {
    delete r;
    return nullptr;
  }
  return &t;
}

const wchar* DXLLanguage::GetText(const wchar* tableName, const wchar* key, u32 variant, bool fallback) const {
  return GetTableText(FindTable(tableName), key, variant, fallback);
}

const wchar* DXLLanguage::GetTableText(const DXLLngTable* table, const wchar* key, u32 variant,
                                       bool fallback) const {
  if (table) {
    kis::Identifier id;
    if (ParseName(key, &id)) {
      const DXLLngText* t = table->Find(id);
      if (t && variant < t->count) return t->Variant(variant);
    }
  }
  if (fallback) LogTextMiss(table ? table->GetName().name : u"?", key);
  return fallback && defaultText_ ? defaultText_->First() : nullptr;
}

DXLLngResource* DXLLanguage::ReadResource(kis::BaseDataFileReader* file) {
  std::u16string name;
  u32 blend = 0, size = 0;
  if (!LngReadResourceHeader(file, &name, &blend, &size)) return nullptr;
  auto loader = std::make_unique<DXLTextureLoaderDataFile>(file, size);
  if (!file->IsOk()) return nullptr;
  DXLTexture* texture = AddResource(name.c_str(), blend);
  if (!texture) return nullptr;
  DXLLngResource* r = FindResourceByTexture(texture);
  r->loader = std::move(loader);
  texture->SetSource(r->loader.get(), true);
  texture->Load();
  return r;
}

bool DXLLanguage::WriteResource(kis::BaseDataFileWriter* file, const DXLLngResource* resource) {
  if (!resource) return false;
  const DXLTexture& t = resource->texture;
  const wchar* source = t.GetSourceKind() == kTextureSourceFile ? t.GetFileName() : nullptr;
  return LngWriteResource(file, resource->name.name, resource->name.length, resource->blendMode, source);
}

u32 DXLLanguage::WriteCache(kis::BaseDataFileWriter* file) {
  if (!file->BeginSection(kis::NameId(u"params"), 1)) return kLngCacheParamsBegin;
  if (!LngWriteString(file, ident_.name, ident_.length) || !LngWriteString(file, name_, kis::StrLenW(name_)))
    return kLngCacheParamsIdent;
  if (!LngWriteText(file, defaultText_) || !file->EndSection()) return kLngCacheParamsDefault;
  for (u32 i = 0; i < tables_.count; ++i) {
    const DXLLngTable* t = static_cast<const DXLLngTable*>(tables_.data[i]);
    if (!file->BeginSection(kLngTableSection | i, 1)) return kLngCacheTableBegin;
    if (!LngWriteString(file, t->GetName().name, t->GetName().length) || !LngWriteU32(file, t->GetCount()))
      return kLngCacheTableHeader;
    for (u32 k = 0; k < t->GetCount(); ++k)
      if (!LngWriteText(file, t->GetTextAt(k))) return kLngCacheTableTexts;
    if (!file->EndSection()) return kLngCacheTableTexts;
  }
  return 0;
}

// The cache is written through a ".bak" file, so a failed write deletes only
// its own output and a cache that existed before stays as it was.
u32 DXLLanguage::SaveCache(const wchar* path) {
  kis::DataFileWriterW* writer =
      kis::CreateDataFileWriterW(path, kLngCacheSignature1, kLngCacheSignature2, kLngCacheVersion, true);
  if (!writer) return kLngCacheCreateFailed;
  Acquire();
  u32 code = WriteCache(writer);
  if (code != 0) {
    writer->Fail();
    kis::CloseDataFile(writer);
  } else if (!kis::CloseDataFile(writer)) {
    code = kLngCacheCloseFailed;
  }
  Release();
  return code;
}
