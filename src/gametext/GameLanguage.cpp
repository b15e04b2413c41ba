#include "gametext/GameLanguage.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "base/Path.h"
#include "base/Strings.h"
#include "base/text/TextScanner.h"
#include "gametext/DXLLngFile.h"
#include "gametext/DXLLngFileXML.h"
#include "gametext/KGEFont.h"

namespace {

// The 29 text tables, in load order.
constexpr const wchar* kTables[] = {
    u"loading",         u"buildings",           u"plants",           u"products",       u"awards",
    u"buttons",         u"bonuses",             u"dialogs",          u"messages",       u"main_screen",
    u"menu_window",     u"options_window",      u"map_interface",    u"level_interface", u"profiles_window",
    u"level_window",    u"level_result_window", u"warehouse_window", u"awards_window",  u"profile_errors",
    u"levels",          u"tutorial",            u"info_panel",       u"bonuses_window", u"regimes",
    u"comix_window",    u"tasks",               u"credits_window",   u"video_options_window"};

constexpr const wchar* kFontKeys[kGameFontCount] = {u"buttons_font", u"caption_font", u"main_font",
                                                    u"main_big_font"};

// A key of 5 to 32 characters that ends in "_pos", in any case.
bool IsPositionKey(const wchar* key, u32 length) {
  if (!key || length < 5 || length > 32) return false;
  return kis::StrICompareNW(key + length - 4, u"_pos", 4) == 0;
}

bool ParseId(const wchar* text, u32 length, kis::Identifier* id) {
  return text && id->Parse(text, length, false, nullptr, nullptr);
}

}  // namespace

CREDITITEM* MakeTextCredit(const wchar* text, u32 length) {
  void* block = std::malloc(sizeof(CREDITITEM) + sizeof(wchar) * (size_t{length} + 1));
  if (!block) return nullptr;
  CREDITITEM* c = static_cast<CREDITITEM*>(block);
  const u32 stored = 14 + 2 * length;
  c->size = stored < 16 ? 16 : stored;
  c->kind = kCreditText;
  c->image = nullptr;
  c->length = length;
  c->text = reinterpret_cast<wchar*>(c + 1);
  if (length) std::memcpy(c->text, text, sizeof(wchar) * length);
  c->text[length] = 0;
  return c;
}

CREDITITEM* MakeImageCredit(DXLTexture* image) {
  CREDITITEM* c = static_cast<CREDITITEM*>(std::malloc(sizeof(CREDITITEM)));
  if (!c) return nullptr;
  *c = CREDITITEM{16, kCreditImage, image, 0, nullptr};
  return c;
}

GameLanguage::GameLanguage(const wchar* path) { Open(path); }

GameLanguage::~GameLanguage() {
  while (useCount_ > 0) Release();
  GameLanguage::FreeData();
}

DXLLngFile* GameLanguage::CreateReader(const wchar* path) {
  const wchar* ext = kis::FindFileExtW(path, false);
  if (ext && kis::StrLenW(ext) == 3 && kis::StrICompareW(ext, u"xml") == 0)
    return new (std::nothrow) DXLLngFileXML(path);
  return new (std::nothrow) DXLLngFileTDR(path);
}

// Besides the data the language loaded, the window title and the logo place
// go too: the title is read again on the next use (kept, it would be lost
// then), and the logo's image is one of the resources freed below.
void GameLanguage::FreeData() {
  std::free(profileChars_);
  profileChars_ = nullptr;
  profileCharsLength_ = 0;
  for (KGEFont*& f : fonts_) {
    delete f;
    f = nullptr;
  }
  for (u32 i = 0; i < comix_.count; ++i) {
    COMIXTEXT* c = static_cast<COMIXTEXT*>(comix_.data[i]);
    FreeLngText(c->text);
    delete c;
  }
  comix_.count = 0;
  missingComix_ = COMIXTEXT{};
  for (u32 i = 0; i < credits_.count; ++i) std::free(credits_.data[i]);
  credits_.count = 0;
  FreeLngText(windowTitle_);
  windowTitle_ = nullptr;
  logo_ = LOGOPLACE{};
  DXLLanguage::FreeData();
}

const wchar* GameLanguage::GetWindowTitle() const {
  if (windowTitle_ && windowTitle_->count > 0) return windowTitle_->First();
  return defaultText_ ? defaultText_->First() : u"";
}

const wchar* GameLanguage::GetText(const DXLLngTable* table, const wchar* key, bool fallback) const {
  if (table) return table->FindText(key, fallback);
  return fallback && defaultText_ ? defaultText_->First() : nullptr;
}

const wchar* GameLanguage::GetTextByName(const wchar* tableName, const wchar* key, bool fallback) const {
  const DXLLngTable* table = FindTable(tableName);
  if (!table && fallback) LogTextMiss(tableName, key);  // a section the language lacks
  return GetText(table, key, fallback);
}

const COMIXTEXT* GameLanguage::FindComix(const wchar* name) const {
  kis::Identifier id;
  if (name && ParseId(name, kis::StrLenW(name), &id)) {
    for (u32 i = 0; i < comix_.count; ++i) {
      const COMIXTEXT* c = static_cast<const COMIXTEXT*>(comix_.data[i]);
      if (c->text && c->text->key.Equals(id)) return c;
    }
  }
  // Never a record without a text, also before the first load and after
  // a load that stopped early.
  missingComix_ = COMIXTEXT{defaultText_, 0, 0, 1.0f};
  return &missingComix_;
}

// --- Loading from a source file ---------------------------------------------------

void GameLanguage::LoadSections(DXLLngFile* reader) {
  const u32 profileLength = reader->ReadValue(u"ProfileChars", nullptr, 0);
  if (profileLength) {
    profileChars_ = static_cast<wchar*>(std::malloc(sizeof(wchar) * (size_t{profileLength} + 1)));
    if (profileChars_) {
      profileCharsLength_ = reader->ReadValue(u"ProfileChars", profileChars_, profileLength + 1);
      profileChars_[profileCharsLength_] = 0;
    }
  }

  u32 titleLength = 0;
  const wchar* title = reader->GetValue(u"WindowTitle", &titleLength);
  windowTitle_ = title ? MakeLngText(u"WindowTitle", kis::kToTerminator, title, titleLength) : nullptr;
  if (!windowTitle_ && defaultText_) windowTitle_ = MakeText(u"WindowTitle", defaultText_->First());

  if (reader->EnterSection(u"images")) {
    LoadImage(reader, u"loading_logo", 1);
    u32 length = 0;
    const wchar* value = reader->GetValue(u"logo", &length);
    if (value) {
      wchar path[260] = {};
      i32 x = 0, y = 0;
      u32 records = 0;
      const u32 r = kis::ScanValuesTypedW(u"Z[260],l,l", 1, value, 0, &records, &path, &x, &y);
      DXLTexture* image = r == kis::kScanOk && records == 1 ? LoadImageFile(u"logo", path, 1) : nullptr;
      logo_ = image ? LOGOPLACE{image, x, y} : LOGOPLACE{};
    }
    reader->LeaveSection();
  }

  // "fonts" is entered again for every font: a font given as a section
  // leaves the reader where that section was, which in the spreadsheet form
  // is the root.
  for (u32 i = 0; i < kGameFontCount; ++i) {
    if (!reader->EnterSection(u"fonts")) break;
    fonts_[i] = LoadFont(reader, kFontKeys[i]);
    reader->LeaveSection();
  }

  for (const wchar* table : kTables) LoadTable(reader, table);
  LoadComix(reader);
  missingComix_ = COMIXTEXT{defaultText_, 0, 0, 1.0f};
  LoadCredits(reader);
}

void GameLanguage::LoadTable(DXLLngFile* reader, const wchar* name) {
  DXLLngTable* table = AddTable(name);
  if (!table || !reader->EnterSection(name)) return;
  do {
    const u32 count = reader->GetCount();
    if (!table->Reserve(count)) continue;
    for (u32 i = 0; i < count; ++i) {
      u32 keyLength = 0, valueLength = 0;
      const wchar* key = reader->GetKey(i, &keyLength);
      const wchar* value = reader->GetValueAt(i, &valueLength);
      table->AddText(key, keyLength, value, valueLength);
    }
  } while (reader->NextSection());
  reader->LeaveSection();
}

void GameLanguage::LoadComix(DXLLngFile* reader) {
  if (!reader->EnterSection(u"comix")) return;
  if (!FindTable(u"comix")) AddTable(u"comix");
  do {
    const u32 count = reader->GetCount();
    ReserveItems(&comix_, count);  // when that room cannot be had, each append still tries to grow
    bool positions = false;
    for (u32 i = 0; i < count; ++i) {
      u32 keyLength = 0, valueLength = 0;
      const wchar* key = reader->GetKey(i, &keyLength);
      if (IsPositionKey(key, keyLength)) {
        positions = true;
        continue;
      }
      const wchar* value = reader->GetValueAt(i, &valueLength);
      DXLLngText* text = MakeLngText(key, keyLength, value, valueLength);
      if (!text) continue;
      COMIXTEXT* c = new (std::nothrow) COMIXTEXT{text, 0, 0, 1.0f};
      if (!c || !AppendItem(&comix_, c)) {
        FreeLngText(text);
        delete c;
        break;
      }
    }
    if (!positions || comix_.count == 0) continue;
    // Places are applied in a second pass, so a "_pos" key may stand before
    // its caption.
    for (u32 i = 0; i < count; ++i) {
      u32 keyLength = 0;
      const wchar* key = reader->GetKey(i, &keyLength);
      if (!IsPositionKey(key, keyLength)) continue;
      u32 nameLength = keyLength - 4;
      if (nameLength > kis::kMaxNameChars) nameLength = kis::kMaxNameChars;
      wchar name[kis::kMaxNameChars + 1];
      kis::StrCopyNW(name, kis::kMaxNameChars + 1, key, nameLength);
      COMIXTEXT* c = const_cast<COMIXTEXT*>(FindComix(name));
      if (c == &missingComix_) continue;
      u32 valueLength = 0;
      const wchar* value = reader->GetValueAt(i, &valueLength);
      i32 x = 0, y = 0;
      u32 records = 0;
      const u32 r = value ? kis::ScanValuesTypedW(u"l,l", 1, value, 0, &records, &x, &y) : kis::kScanMismatch;
      if (r == kis::kScanOk && records == 1) {
        c->x = x;
        c->y = y;
      } else {
        c->x = c->y = 0;
      }
    }
  } while (reader->NextSection());
  reader->LeaveSection();
}

// False for no credit, and for one that cannot be stored, which is freed
// (the source's credits go on with the next, the cache's stop there).
bool GameLanguage::AppendCredit(CREDITITEM* item) {
  if (!item) return false;
  if (AppendItem(&credits_, item)) return true;
  std::free(item);
  return false;
}

void GameLanguage::LoadCredits(DXLLngFile* reader) {
  if (!reader->EnterSection(u"credits")) return;
  const u32 count = reader->GetCount();
  for (u32 i = 0; i < count; ++i) {
    u32 keyLength = 0, valueLength = 0;
    const wchar* key = reader->GetKey(i, &keyLength);
    kis::Identifier id;
    if (!ParseId(key, keyLength, &id)) continue;
    const bool lines = id.id == kis::NameId(u"lines") && kis::StrCompareW(id.name, u"lines") == 0;
    const bool image = id.id == kis::NameId(u"image") && kis::StrCompareW(id.name, u"image") == 0;
    if (!lines && !image) continue;
    const wchar* value = reader->GetValueAt(i, &valueLength);
    DXLLngText* text = MakeLngText(u"credit", kis::kToTerminator, value, valueLength);
    if (!text) continue;
    if (lines) {
      for (u32 v = 0; v < text->count; ++v)
        AppendCredit(MakeTextCredit(text->Variants()[v].text, text->Variants()[v].length));
    } else {
      wchar name[33] = {};
      kis::ExtractFileNameW(name, 33, text->First(), false);
      kis::Identifier imageId;
      if (ParseId(name, kis::StrLenW(name), &imageId)) {
        DXLTexture* texture = GetImage(imageId.name);
        if (!texture) texture = LoadImageFile(imageId.name, text->First(), 1);
        if (texture) AppendCredit(MakeImageCredit(texture));
      }
    }
    FreeLngText(text);
  }
  reader->LeaveSection();
}

DXLTexture* GameLanguage::LoadImage(DXLLngFile* reader, const wchar* name, u32 blendMode) {
  if (DXLTexture* existing = GetImage(name)) return existing;
  wchar path[260] = {};
  const u32 n = reader->ReadValue(name, path, 260);
  if (n == 0 || reader->GetStatus() == kLngStatusCut) return nullptr;
  return LoadImageFile(name, path, blendMode);
}

DXLTexture* GameLanguage::LoadImageFile(const wchar* name, const wchar* path, u32 blendMode) {
  wchar full[260];
  if (!path || !path[0] || !kis::CombinePathW(full, 260, path_, path, true)) return nullptr;
  DXLTexture* texture = AddResource(name, blendMode);
  if (!texture) return nullptr;
  texture->SetFileName(full, true);
  texture->Load();
  return texture;
}

KGEFont* GameLanguage::LoadFont(DXLLngFile* reader, const wchar* name) {
  if (reader->EnterSection(name)) {
    while (reader->NextSection()) {
    }
    reader->LeaveSection();
    return nullptr;
  }
  wchar path[260] = {};
  const u32 n = reader->ReadValue(name, path, 260);
  if (n == 0 || reader->GetStatus() == kLngStatusCut) return nullptr;
  wchar full[260];
  if (!kis::CombinePathW(full, 260, path_, path, true)) return nullptr;
  KGEFont* font = LoadFontFile(full);
  if (font) font->Acquire();
  return font;
}
