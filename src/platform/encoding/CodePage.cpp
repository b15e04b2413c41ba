#include "platform/encoding/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <mutex>
#include <utility>

#include "platform/encoding/CodePageTables.h"

namespace plat {
namespace {

constexpr uint32_t kDefaultAnsiCodePage = 1252;
uint32_t g_ansiCodePage = kDefaultAnsiCodePage;

struct MultiBytePage {
  uint32_t codePage;
  const char* iconvName;
};

// Multi-byte pages that glibc converts. 52936 (hz-gb2312) has no converter.
constexpr MultiBytePage kMultiBytePages[] = {
    {932, "CP932"},        {936, "CP936"},       {949, "CP949"},    {950, "CP950"},
    {54936, "GB18030"},    {50220, "ISO-2022-JP"}, {50225, "ISO-2022-KR"},
    {51932, "EUC-JP"},     {51949, "EUC-KR"},
};

const char* IconvName(uint32_t codePage) {
  for (const MultiBytePage& page : kMultiBytePages)
    if (page.codePage == codePage) return page.iconvName;
  return nullptr;
}

// Reverse tables (UTF-16 -> byte) of the single-byte pages, built on first use.
using ReverseEntry = std::pair<char16_t, unsigned char>;
constexpr size_t kMaxPages = 40;
std::array<std::vector<ReverseEntry>, kMaxPages> g_reverse;
std::array<std::once_flag, kMaxPages> g_reverseOnce;

const std::vector<ReverseEntry>* ReverseTable(uint32_t codePage) {
  size_t count = 0;
  const SingleBytePage* pages = SingleBytePages(&count);
  for (size_t i = 0; i < count && i < kMaxPages; ++i) {
    if (pages[i].codePage != codePage) continue;
    std::call_once(g_reverseOnce[i], [&] {
      std::vector<ReverseEntry>& rev = g_reverse[i];
      for (int b = 0; b < 256; ++b) {
        const char16_t u = pages[i].table[b];
        if (u != 0xFFFD) rev.emplace_back(u, static_cast<unsigned char>(b));
      }
      // Stable: when two bytes give one character, the lower byte wins.
      std::stable_sort(rev.begin(), rev.end(),
                       [](const ReverseEntry& a, const ReverseEntry& b) { return a.first < b.first; });
    });
    return &g_reverse[i];
  }
  return nullptr;
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // One call; returns errno (0 on success).
  int Run(const char** in, size_t* inLeft, char** out, size_t* outLeft) {
    const size_t r = iconv(cd_, const_cast<char**>(in), inLeft, out, outLeft);
    return r == static_cast<size_t>(-1) ? errno : 0;
  }
  int Flush(char** out, size_t* outLeft) {
    const size_t r = iconv(cd_, nullptr, nullptr, out, outLeft);
    return r == static_cast<size_t>(-1) ? errno : 0;
  }

 private:
  iconv_t cd_;
};

bool MultiByteViaIconv(const char* name, std::string_view text, std::u16string& out,
                       std::vector<uint32_t>* charEnds) {
  Iconv cd("UTF-16LE", name);
  if (!cd.ok()) return false;
  const char* in = text.data();
  size_t inLeft = text.size();
  auto emit = [&](const unsigned char* bytes, size_t n) {
    for (size_t k = 0; k + 1 < n; k += 2) out.push_back(static_cast<char16_t>(bytes[k] | (bytes[k + 1] << 8)));
    if (charEnds) charEnds->push_back(static_cast<uint32_t>(text.size() - inLeft));
  };
  while (inLeft > 0) {
    // Room for exactly one character: one unit first, a surrogate pair if needed.
    unsigned char buf[4];
    char* o = reinterpret_cast<char*>(buf);
    const size_t leftBefore = inLeft;
    size_t room = 2;
    int err = cd.Run(&in, &inLeft, &o, &room);
    if (err == E2BIG && o == reinterpret_cast<char*>(buf)) {
      room = 4;
      err = cd.Run(&in, &inLeft, &o, &room);
    }
    const size_t produced = static_cast<size_t>(o - reinterpret_cast<char*>(buf));
    if (produced > 0) emit(buf, produced);
    if (produced > 0 || (inLeft < leftBefore && (err == 0 || err == E2BIG))) continue;
    if (err == 0) break;
    // A malformed or cut-off sequence: one replacement for its first byte.
    if (err != EINVAL) {
      ++in;
      --inLeft;
    } else {
      inLeft = 0;
    }
    const unsigned char repl[2] = {0xFD, 0xFF};
    emit(repl, 2);
  }
  return true;
}

bool WideViaIconv(const char* name, std::u16string_view text, std::string& out, std::vector<uint32_t>* charEnds) {
  Iconv cd(name, "UTF-16LE");
  if (!cd.ok()) return false;
  size_t i = 0;
  while (i < text.size()) {
    size_t units = 1;
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) units = 2;
    const bool lone = units == 1 && (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]));
    unsigned char src[4];
    for (size_t k = 0; k < units; ++k) {
      src[2 * k] = static_cast<unsigned char>(text[i + k] & 0xFF);
      src[2 * k + 1] = static_cast<unsigned char>(text[i + k] >> 8);
    }
    char buf[32];
    char* o = buf;
    size_t room = sizeof(buf);
    const char* in = reinterpret_cast<const char*>(src);
    size_t inLeft = units * 2;
    const int err = lone ? EILSEQ : cd.Run(&in, &inLeft, &o, &room);
    if (err == 0 && inLeft == 0)
      out.append(buf, static_cast<size_t>(o - buf));
    else
      out.push_back('?');
    i += units;
    if (charEnds) charEnds->push_back(static_cast<uint32_t>(out.size()));
  }
  // Stateful pages (iso-2022) end with the sequence that returns to ASCII.
  char buf[32];
  char* o = buf;
  size_t room = sizeof(buf);
  if (cd.Flush(&o, &room) == 0 && o != buf) {
    out.append(buf, static_cast<size_t>(o - buf));
    if (charEnds && !charEnds->empty()) charEnds->back() = static_cast<uint32_t>(out.size());
  }
  return true;
}

}  // namespace

uint32_t GetAnsiCodePage() { return g_ansiCodePage; }

void SetAnsiCodePage(uint32_t codePage) { g_ansiCodePage = codePage ? codePage : kDefaultAnsiCodePage; }

uint32_t ResolveCodePage(uint32_t codePage) { return codePage ? codePage : g_ansiCodePage; }

const char16_t* SingleByteTable(uint32_t codePage) {
  codePage = ResolveCodePage(codePage);
  size_t count = 0;
  const SingleBytePage* pages = SingleBytePages(&count);
  for (size_t i = 0; i < count; ++i)
    if (pages[i].codePage == codePage) return pages[i].table;
  return nullptr;
}

bool IsSingleByteCodePage(uint32_t codePage) { return SingleByteTable(codePage) != nullptr; }

bool IsKnownCodePage(uint32_t codePage) {
  codePage = ResolveCodePage(codePage);
  if (IsSingleByteCodePage(codePage)) return true;
  const char* name = IconvName(codePage);
  if (!name) return false;
  Iconv cd("UTF-16LE", name);
  return cd.ok();
}

bool MultiByteToWide(uint32_t codePage, std::string_view text, std::u16string& out, std::vector<uint32_t>* charEnds) {
  codePage = ResolveCodePage(codePage);
  if (const char16_t* table = SingleByteTable(codePage)) {
    out.reserve(out.size() + text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      out.push_back(table[static_cast<unsigned char>(text[i])]);
      if (charEnds) charEnds->push_back(static_cast<uint32_t>(i + 1));
    }
    return true;
  }
  const char* name = IconvName(codePage);
  return name && MultiByteViaIconv(name, text, out, charEnds);
}

bool WideToMultiByte(uint32_t codePage, std::u16string_view text, std::string& out, std::vector<uint32_t>* charEnds) {
  codePage = ResolveCodePage(codePage);
  if (const std::vector<ReverseEntry>* rev = ReverseTable(codePage)) {
    for (size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) ++i;  // one "?" per pair
      auto it = std::lower_bound(rev->begin(), rev->end(), c,
                                 [](const ReverseEntry& e, char16_t v) { return e.first < v; });
      out.push_back(it != rev->end() && it->first == c ? static_cast<char>(it->second) : '?');
      if (charEnds) charEnds->push_back(static_cast<uint32_t>(out.size()));
    }
    return true;
  }
  const char* name = IconvName(codePage);
  return name && WideViaIconv(name, text, out, charEnds);
}

}  // namespace plat
