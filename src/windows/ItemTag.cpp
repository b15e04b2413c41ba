#include "windows/ItemTag.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/Identifier.h"
#include "base/Strings.h"
#include "content/AwardTable.h"
#include "content/BuildingTable.h"
#include "content/LevelRegime.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "gametext/TextServices.h"
#include "gametext/TextArgs.h"
#include "level/characters/MapPlayer.h"
#include "level/map/LevelMap.h"
#include "level/objects/BasePointPlant.h"
#include "level/objects/PointBuilding.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/scene/LevelScreen.h"
#include "resources/CurrentLevel.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/ItemTagKinds.h"
#include "windows/MapProfile.h"

namespace {

constexpr u32 kSuccess = 0xFF008000u;
constexpr u32 kFailure = 0xFFFF0000u;
constexpr u32 kGrey = 0xFF808080u;
constexpr u32 kWhite = 0xFFFFFFFFu;
constexpr u32 kMedalColours[3] = {0x7C4230u, 0x6A685Du, 0xD0831Fu};  // bronze, silver, gold
constexpr u32 kIconSet = 2;       // product and bonus icons, "small_coin"
constexpr u32 kInterfaceSet = 1;  // "awards_check"
constexpr u32 kDescKeyLength = 36;

// The tag words by name id.
constexpr u32 kWordBuilding = 0x0F23FF60u;   // "MBLDNG"
constexpr u32 kWordPlant = 0x54FCF28Du;      // "plant"
constexpr u32 kWordProduct = 0x2CB5FB52u;    // "product"
constexpr u32 kWordRecipe = 0xD98105B2u;     // "PRDCTN"
constexpr u32 kWordProfile = 0x7EA855F0u;    // "profile"
constexpr u32 kWordSmallAward = 0x8FF2F8C9u; // "SAWARD"
constexpr u32 kWordBigAward = 0x477829F7u;   // "BAWARD"
constexpr u32 kWordFinalAward = 0xDCE96BE1u; // "FAWARD"
constexpr u32 kWordTask = 0xAD8124DAu;       // "task"
constexpr u32 kWordPlantPoint = 0x9776B8B7u; // "MPLANT"
constexpr u32 kWordIcon = 0x9A6BD624u;
constexpr u32 kWordMoney = 0x4820EC1Bu;
constexpr u32 kWordColor = 0x99A9B716u;

// The output: characters go in while one place is left for the zero.
class Out {
 public:
  Out(wchar* out, u32 room) : out_(out), room_(out ? room : 0) {}
  void Put(const wchar* text) {
    for (; text && *text; ++text) Char(*text);
  }
  void Put(std::u16string_view text) {
    for (wchar c : text) Char(c);
  }
  void Ascii(const char* text) {
    for (; *text; ++text) Char(static_cast<wchar>(*text));
  }
  void Char(wchar c) {
    if (n_ + 1 < room_) out_[n_++] = c;
  }
  void Int(i64 v) { Ascii(std::to_string(v).c_str()); }
  void Hex8(u32 v) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (i32 shift = 28; shift >= 0; shift -= 4) Char(static_cast<wchar>(kDigits[(v >> shift) & 15]));
  }
  void Open(u32 colour) {
    if (!colour) return;
    Ascii("<c=");
    Hex8(colour);
    Char(u'>');
  }
  void Close(u32 colour) {
    if (colour) Ascii("</c>");
  }
  void Number(i64 v, u32 colour) {
    Open(colour);
    Int(v);
    Close(colour);
  }
  void Text(const wchar* text, u32 colour) {
    Open(colour);
    Put(text);
    Close(colour);
  }
  u32 Finish() {
    if (room_) out_[n_] = 0;
    return n_;
  }

 private:
  wchar* out_;
  u32 room_;
  u32 n_ = 0;
};

// A text of the language at an index (the default text past the entry's
// texts); the key itself without a language.
const wchar* LangText(const wchar* table, const wchar* key, u32 index) {
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language ? language->GetText(table, key, index, true) : nullptr;
  return text ? text : key;
}

// The running level's rules and map, through its screen; null outside levels.
LevelScreen* RunningLevel() { return dynamic_cast<LevelScreen*>(GetCurrentLevel()); }
LevelRules* RunningRules() {
  LevelScreen* screen = RunningLevel();
  return screen ? &screen->Rules() : nullptr;
}

// A loaded sprite of a set; null when missing or without a texture.
Sprite* LoadedSprite(u32 set, const wchar* name) {
  Sprite* sprite = GetSpriteByName(set, name);
  if (!sprite) return nullptr;
  sprite->Init();
  return sprite->IsLoaded() && sprite->GetTexture() ? sprite : nullptr;
}

// "<image=@HANDLE rect=l, t, w, h" of a sprite's frame; false (nothing
// written) without a texture or outside the frames.
bool ImageHead(Out& o, Sprite* sprite, i32 frame) {
  DXLRECT r{};
  if (!sprite || !sprite->GetTexture() || frame < 0 || !sprite->GetFrameRect(frame, &r)) return false;
  o.Ascii("<image=@");
  o.Hex8(GetTextServices().handles.RegisterTexture(sprite->GetTexture()));
  o.Ascii(" rect=");
  o.Int(r.left);
  o.Ascii(", ");
  o.Int(r.top);
  o.Ascii(", ");
  o.Int(r.right - r.left);
  o.Ascii(", ");
  o.Int(r.bottom - r.top);
  return true;
}

void Icon(Out& o, Sprite* sprite, i32 frame, u32 colour) {
  if (!ImageHead(o, sprite, frame)) return;
  o.Ascii(" w=24 h=22 offset=-5,-5 color=");
  o.Hex8(colour);
  o.Char(u'>');
}

void Coin(Out& o) {
  if (!ImageHead(o, LoadedSprite(kIconSet, u"small_coin"), 0)) return;
  o.Ascii(" w=18 offset=-2,0 color=ffffffff>");
}

void Check(Out& o, bool set) {
  Sprite* sprite = LoadedSprite(kInterfaceSet, u"awards_check");
  if (!sprite || sprite->GetFrameCount() < 2 || !ImageHead(o, sprite, set ? 1 : 0)) return;
  o.Ascii(" w=30 color=ffffffff>");
}

// The coin, then the price in `enough` while the running level's money
// reaches it, else in `short`.
void Price(Out& o, i32 price, u32 enough, u32 shortColour) {
  Coin(o);
  const CurrentLevel* level = GetCurrentLevel();
  o.Number(price, level && level->HasMoney(price) ? enough : shortColour);
}

void Quotient(Out& o, double value, double divisor, u32 colour) {
  o.Open(colour);
  o.Put(FormatItemQuotient(value, divisor));
  o.Close(colour);
}

// The argument readers over the tag's remaining text (TextArgs).
u32 Colour(u32 def) { return TextArgs::NextHex(def); }
u32 Index() { return TextArgs::NextUInt(0); }
double Divisor() { return TextArgs::NextFloat(1.0f); }
// The command letter: one character followed by a blank or the end.
wchar Letter() {
  i32 unused = 0;
  return TextArgs::NextChar(unused) ? TextArgs::GetLastChar() : 0;
}
// The rest of the tag as a label (the blanks before it skipped); the
// cursor stays before it.
std::u16string_view Rest() {
  std::u16string_view rest(TextArgs::GetText() ? TextArgs::GetText() : u"", TextArgs::GetLength());
  const size_t end = rest.find(u'\0');
  if (end != std::u16string_view::npos) rest = rest.substr(0, end);
  while (!rest.empty() && (rest.front() == u' ' || rest.front() == u'\t')) rest.remove_prefix(1);
  return rest;
}

// "N INDEX COLOUR": the name at INDEX in the table, coloured.
void Name(Out& o, const wchar* table, const wchar* key, u32 def) {
  const u32 index = Index();
  o.Text(LangText(table, key, index), Colour(def));
}

// --- Kinds -----------------------------------------------------------------------------------------

// "P LEVEL A B" of a plant or building: the price of the level 1 to 4 (0
// outside), a level of -1 taken as 1.
bool LevelPrice(Out& o, i32 level, const i32* prices, i32 count) {
  TextArgs::NextChar(level);
  if (level == -1) level = 1;
  const u32 a = Colour(kSuccess);
  const u32 b = Colour(kFailure);
  Price(o, level >= 1 && level <= std::min(count, 4) ? prices[level - 1] : 0, a, b);
  return true;
}

bool Plant(Out& o, const PLANT* plant, i32 level) {
  if (!plant) return false;
  switch (Letter()) {
    case u'N':
      Name(o, u"plants", plant->name, 0);
      return true;
    case u'P':
      return LevelPrice(o, level, plant->prices, 4);
  }
  return false;
}

// Animal houses are the buildings with a count and a product of their own
// (the animals are as many as the level; the header names the product).
bool Building(Out& o, const PointBuilding* point) {
  const BUILDING* b = point ? point->GetBuilding() : nullptr;
  if (!b) return false;
  const i32 level = point->GetLevel();
  switch (Letter()) {
    case u'N':
      Name(o, u"buildings", b->name, 0);
      return true;
    case u'P': {
      i32 prices[kMaxBuildingLevels] = {};
      const i32 count = std::clamp(b->levelCount, 0, static_cast<i32>(kMaxBuildingLevels));
      for (i32 i = 0; i < count; ++i) prices[i] = b->levels[i].price;
      return LevelPrice(o, level, prices, count);
    }
    case u'F': {
      if (b->kind != kBuildingAnimalHouse) return false;
      const wchar second = Letter();
      if (second == u'C') {
        o.Number(std::max(level, 1), Colour(kSuccess));
        return true;
      }
      if (second == u'N') {
        const ProductList* products = GetProductList();
        const PRODUCT* p = products ? products->FindById(b->house.producedProduct) : nullptr;
        o.Text(LangText(u"products", p ? p->name : u"", 0), Colour(kSuccess));
        return true;
      }
      return false;
    }
  }
  return false;
}

bool Product(Out& o, const PRODUCT* product) {
  if (!product) return false;
  switch (Letter()) {
    case u'I':
      Icon(o, product->icon, 1, kWhite);
      return true;
    case u'N':
      Name(o, u"products", product->name, 0);
      return true;
    case u'P': {
      const u32 c = Colour(kSuccess);
      Price(o, product->price, c, c);
      return true;
    }
    case u'W': {
      const LevelRules* rules = RunningRules();
      i32 level = rules && rules->IsEntered() && rules->GetWarehouseLevel() > 0 ? rules->GetWarehouseLevel() : 1;
      TextArgs::NextChar(level);
      const ProductList* products = GetProductList();
      o.Number(products ? products->GetCapacity(product, level) : 0, Colour(0));
      return true;
    }
  }
  return false;
}

// An ingredient index at or past the recipe's count is declined.
bool Recipe(Out& o, const PRODUCT* recipe) {
  if (!recipe) return false;
  switch (Letter()) {
    case u'I': {
      const u32 count = std::min(recipe->ingredientCount, kMaxIngredients);
      if (count == 0) {
        o.Text(u"None", kGrey);
        return true;
      }
      const u32 i = Index();
      const PRODUCT* p = i < count ? recipe->ingredientProducts[i] : nullptr;
      if (!p) return false;
      LevelRules* rules = RunningRules();
      const WarehouseStock* stock = rules ? rules->Stock() : nullptr;
      const bool enough = (stock ? stock->GetCount(p) : 0) >= recipe->ingredients[i].amount;
      Icon(o, p->icon, enough ? 1 : 0, kWhite);
      o.Text(LangText(u"products", p->name, 0), enough ? kSuccess : kFailure);
      return true;
    }
    case u'N':
      Name(o, u"products", recipe->name, 0);
      return true;
  }
  return false;
}

bool Task(Out& o, const LEVELTASK* task) {
  if (!task) return false;
  switch (Letter()) {
    case u'N': {
      const u32 index = Index();
      const u32 colour = Colour(0);
      const wchar* table = nullptr;
      const wchar* key = nullptr;
      if (task->kind == kTaskProducts) {
        const ProductList* products = GetProductList();
        const PRODUCT* p = products ? products->FindById(task->item) : nullptr;
        table = u"products";
        key = p ? p->name : nullptr;
      } else if (task->kind == kTaskPlantBeds) {
        const PLANT* p = FindPlant(task->item);
        table = u"plants";
        key = p ? p->name : nullptr;
      } else if (task->kind == kTaskBuildings) {
        const BUILDING* b = FindBuilding(task->item);
        table = u"buildings";
        key = b ? b->name : nullptr;
      }
      if (table) o.Text(LangText(table, key ? key : u"", index), colour);
      return true;
    }
    case u'L':
      o.Number(task->minLevel, Colour(0));
      return true;
    case u'V':
      o.Number(task->target, Colour(0));
      return true;
    case u'R': {
      LevelRules* rules = RunningRules();
      if (!rules) return false;
      LevelTasks& tasks = rules->Tasks();
      for (u32 i = 0; i < tasks.GetTaskCount(); ++i) {
        if (tasks.GetTask(i) != task) continue;
        o.Number(std::max<i64>(0, static_cast<i64>(task->target) - tasks.GetProgress(i)), Colour(0));
        return true;
      }
      return false;
    }
  }
  return false;
}

MapProfile* Profile(uintptr_t object) {
  return object ? reinterpret_cast<MapProfile*>(object) : GetMapProfile();
}

const AWARDCOUNTERS* Counters() {
  MapProfile* profile = GetMapProfile();
  return profile ? profile->GetAwardCounters() : nullptr;
}

// An award record's index in the table's array; -1 for one not in it.
template <class T>
i32 IndexIn(const T* record, const T& first, u32 count) {
  const std::ptrdiff_t i = record - &first;
  return i >= 0 && i < static_cast<std::ptrdiff_t>(count) ? static_cast<i32>(i) : -1;
}

bool SmallAward(Out& o, const TIEREDAWARD* award) {
  const AwardTable* table = GetAwardTable();
  if (!award) return false;
  switch (Letter()) {
    case u'C': {
      const i32 index = static_cast<i32>(std::min(TextArgs::NextUInt(1), 1000u));
      o.Ascii("<color=");
      char six[8];
      std::snprintf(six, sizeof six, "%06X", kMedalColours[std::clamp(index - 1, 0, 2)]);
      o.Ascii(six);
      o.Char(u'>');
      return true;
    }
    case u'N':
      Name(o, u"awards", award->name, kSuccess);
      return true;
    case u'D': {
      const i32 index = table ? IndexIn(award, table->GetTiered(0), kTieredAwardCount) : -1;
      const AWARDCOUNTERS* counters = Counters();
      const i32 counter = counters && index >= 0 ? counters->tiered[index] : 0;
      const i32 tier = table && index >= 0 ? table->GetTier(static_cast<u32>(index), counter) : 0;
      std::u16string key(award->name, kis::StrLenW(award->name));
      key = key.substr(0, kDescKeyLength) + u"_desc";
      o.Put(LangText(u"awards", key.c_str(), 0));
      o.Ascii("\n<color=007e21>");
      o.Put(LangText(u"awards", u"current", 0));
      o.Ascii(": ");
      o.Int(counter);
      o.Ascii("</color>\n<color=d0831f>");
      Check(o, tier == 3);
      o.Put(LangText(u"awards", u"gold", 0));
      o.Ascii(": ");
      o.Int(award->tiers[2]);
      o.Ascii("</color>\n<color=6a685d>");
      Check(o, tier >= 2);
      o.Put(LangText(u"awards", u"silver", 0));
      o.Ascii(": ");
      o.Int(award->tiers[1]);
      o.Ascii("</color>\n<color=7c4230>");
      Check(o, tier >= 1);
      o.Put(LangText(u"awards", u"bronze", 0));
      o.Ascii(": ");
      o.Int(award->tiers[0]);
      o.Ascii("</color>");
      return true;
    }
  }
  return false;
}

// The label copied as it stands, then the number in the label's first word
// read as a colour (none when it is no colour).
void Labelled(Out& o, i64 value) {
  const std::u16string label(Rest());
  const u32 colour = Colour(0);
  o.Put(label);
  o.Number(value, colour);
}

// The running level's value of a record kind: 3 the villains driven off in
// a row, 4 the player's work streak, 5 the distance walked, 6 the best
// building level.
double RunningRecord(u32 kind) {
  LevelScreen* screen = RunningLevel();
  if (!screen) return 0;
  LevelRules& rules = screen->Rules();
  const MapPlayer* player = screen->GetMap() ? dynamic_cast<const MapPlayer*>(screen->GetMap()->GetPlayer()) : nullptr;
  switch (kind) {
    case kAwardRecordVillainsInRow:
      return rules.Hooks().profile ? rules.Hooks().profile->GetVillainsInRow() : 0;
    case kAwardRecordWorkStreak:
      return player ? player->GetWorkStreak() : 0;
    case kAwardRecordWalked:
      return player ? std::trunc(player->GetWalked()) : 0;
    case kAwardRecordBuildingLevel:
      return rules.GetBestBuildingLevel();
  }
  return 0;
}

bool BigAward(Out& o, const RECORDAWARD* award) {
  const AwardTable* table = GetAwardTable();
  if (!award) return false;
  const i32 k = table ? IndexIn(award, table->GetRecord(0), kRecordAwardCount) : -1;
  const AWARDCOUNTERS* counters = Counters();
  const i32 record = counters && k >= 0 ? counters->records[k] : 0;
  switch (Letter()) {
    case u'N':
      Name(o, u"awards", award->name, 0);
      return true;
    case u'C':
      if (k == 5) {
        const double d = Divisor();
        Quotient(o, award->threshold, d, Colour(0));
      } else {
        o.Number(award->threshold, Colour(0));
      }
      return true;
    case u'R':
      if (k == 3 || k == 4 || k == 6) {
        Labelled(o, record);
        return true;
      }
      if (k == 5) {
        const double d = Divisor();
        o.Put(Rest());
        o.Put(FormatItemQuotient(record, d));
        return true;
      }
      return false;
    case u'V':
      if (k >= 3 && k <= 6) {
        if (GetResourceServices().appState != kGameStateLevel) return true;
        if (k == 5) {
          const double d = Divisor();
          o.Put(Rest());
          o.Put(FormatItemQuotient(RunningRecord(5), d));
        } else {
          o.Put(Rest());
          o.Int(static_cast<i64>(RunningRecord(static_cast<u32>(k))));
        }
        return true;
      }
      o.Number(record, Colour(0));
      return true;
  }
  return false;
}

bool Money(Out& o) {
  LevelRules* rules = RunningRules();
  if (!rules) return false;
  const u32 colour = Colour(0);
  Coin(o);
  o.Number(rules->Money().Get(), colour);
  return true;
}

bool IconTag(Out& o) {
  TextArgs::NextUInt(0);
  const kis::Identifier& name = TextArgs::GetLastWord();
  // Only a missing sprite declines the tag; one without a texture (or a
  // frame out of range) expands to nothing.
  Sprite* sprite = name.length ? GetSpriteByName(kIconSet, name.name) : nullptr;
  if (!sprite) return false;
  sprite->Init();
  const i32 frame = static_cast<i32>(std::min(TextArgs::NextUInt(0), 0x7FFFFFFFu));
  const u32 colour = Colour(kWhite);
  if (sprite->IsLoaded() && frame < sprite->GetFrameCount()) Icon(o, sprite, frame, colour);
  return true;
}

bool ColorTag(Out& o) {
  TextArgs::NextUInt(0);
  const kis::Identifier& word = TextArgs::GetLastWord();
  if (word.length == 1 && word.name[0] == u'r') {
    o.Ascii("</color>");
  } else {
    o.Ascii("<color=");
    o.Put(std::u16string_view(word.name, word.length));
    o.Char(u'>');
  }
  return true;
}

bool Expand(Out& o, const wchar* text, u32 length, u32 kind, uintptr_t object) {
  kis::Identifier word;
  u32 used = 0;
  if (!text || !word.Parse(text, length, true, &used, nullptr) || !word.id) return false;
  TextArgs::Set(text + used, length - used);
  switch (word.id) {
    case kWordIcon:
      return word.length == 4 && IconTag(o);
    case kWordMoney:
      return word.length == 5 && Money(o);
    case kWordColor:
      return word.length == 5 && ColorTag(o);
    case kWordBuilding:
      return word.length == 6 && kind == kItemTagBuildingPoint && Building(o, reinterpret_cast<const PointBuilding*>(object));
    case kWordPlant:
      return word.length == 5 && kind == kItemTagPlant && Plant(o, reinterpret_cast<const PLANT*>(object), 1);
    case kWordPlantPoint: {
      if (word.length != 6 || kind != kItemTagPlantPoint || !object) return false;
      const auto* point = reinterpret_cast<const BasePointPlant*>(object);
      return Plant(o, point->GetPlant(), point->GetLevel());
    }
    case kWordProduct:
      return word.length == 7 && kind == kItemTagProduct && Product(o, reinterpret_cast<const PRODUCT*>(object));
    case kWordRecipe:
      return word.length == 6 && kind == kItemTagRecipe && Recipe(o, reinterpret_cast<const PRODUCT*>(object));
    case kWordProfile: {
      if (word.length != 7 || kind != kItemTagProfile || Letter() != u'N') return false;
      const MapProfile* profile = Profile(object);
      if (!profile) return false;
      o.Text(profile->GetName(), Colour(0));
      return true;
    }
    case kWordSmallAward:
      return word.length == 6 && kind == kItemTagSmallAward && SmallAward(o, reinterpret_cast<const TIEREDAWARD*>(object));
    case kWordBigAward:
      return word.length == 6 && kind == kItemTagBigAward && BigAward(o, reinterpret_cast<const RECORDAWARD*>(object));
    case kWordFinalAward:
      if (word.length != 6 || kind != kItemTagFinalAward || Letter() != u'N') return false;
      Name(o, u"awards", u"final", 0);
      return true;
    case kWordTask:
      return word.length == 4 && kind == kItemTagTask && Task(o, reinterpret_cast<const LEVELTASK*>(object));
  }
  return false;
}

}  // namespace

std::u16string FormatItemQuotient(double value, double divisor) {
  if (!(divisor != 0.0) || !std::isfinite(divisor)) divisor = 1.0;
  double q = value / divisor;
  std::u16string s;
  if (!std::isfinite(q)) q = 0.0;
  if (q < 0) {
    s += u'-';
    q = -q;
  }
  q = std::min(q, 2147483647.0);
  i64 whole = static_cast<i64>(q);
  i64 f = static_cast<i64>(std::ceil((q - static_cast<double>(whole)) * 1000.0 - 0.0001));
  f = std::clamp<i64>(f, 0, 1000);
  if (f > 950) {
    f = 0;
    ++whole;
  }
  for (char c : std::to_string(whole)) s += static_cast<wchar>(c);
  const i32 decimals = whole < 10 ? 3 : whole < 100 ? 2 : whole < 500 ? 1 : 0;
  char digits[4];
  std::snprintf(digits, sizeof digits, "%03d", static_cast<i32>(f));
  digits[decimals] = 0;
  if (decimals > 0 && std::atoi(digits) != 0) {
    s += u'.';
    for (i32 i = 0; i < decimals; ++i) s += static_cast<wchar>(digits[i]);
  }
  return s;
}

bool ExpandItemTag(const wchar* text, u32 length, wchar* out, u32 room, u32* written, uintptr_t kind,
                   uintptr_t object) {
  Out o(out, room);
  const bool expanded = Expand(o, text, length, static_cast<u32>(kind), object);
  const u32 n = o.Finish();
  if (written) *written = expanded ? n : 0;
  return expanded;
}
