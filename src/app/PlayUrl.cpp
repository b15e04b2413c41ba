#include "app/PlayUrl.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "engine/DXLLog.h"
#include "platform/encoding/CodePage.h"
#include "platform/encoding/Utf.h"
#include "platform/os/StdioFile.h"
#include "platform/os/UrlOpener.h"

namespace {

bool StartsWith(const u8* bytes, size_t size, std::initializer_list<u8> prefix) {
  if (size < prefix.size()) return false;
  size_t i = 0;
  for (u8 b : prefix)
    if (bytes[i++] != b) return false;
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

std::string DecodePlayUrl(const u8* bytes, size_t size) {
  if (!bytes || size == 0 || size > kPlayUrlMaxBytes) return {};
  std::u16string text;
  if (StartsWith(bytes, size, {0xFF, 0xFE, 0x00, 0x00}) || StartsWith(bytes, size, {0x00, 0x00, 0xFE, 0xFF}) ||
      StartsWith(bytes, size, {0xFE, 0xFF}))
    return {};  // UTF-32 or big-endian UTF-16: not read
  if (StartsWith(bytes, size, {0xEF, 0xBB, 0xBF})) {
    text = plat::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes) + 3, size - 3));
  } else if (StartsWith(bytes, size, {0xFF, 0xFE})) {
    for (size_t i = 2; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
  } else if (!plat::MultiByteToWide(plat::GetAnsiCodePage(),
                                    std::string_view(reinterpret_cast<const char*>(bytes), size), text)) {
    return {};
  }
  // Up to the first nul, as a C string would end.
  const size_t nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  std::string url = plat::Utf16ToUtf8(text);
  size_t first = 0, last = url.size();
  while (first < last && IsBlank(url[first])) ++first;
  while (last > first && IsBlank(url[last - 1])) --last;
  url = url.substr(first, last - first);
  return plat::IsWebAddress(url) ? url : std::string();
}

bool OpenPlayUrl(const std::string& programFolder) {
  const std::string path = programFolder + "play.url";
  std::FILE* f = plat::FileOpen(plat::Utf8ToUtf16(path), "rb");
  if (!f) {
    DXLLogValueA(0, "play.url", "none");
    return false;
  }
  std::string bytes(kPlayUrlMaxBytes + 1, '\0');
  const size_t size = std::fread(bytes.data(), 1, bytes.size(), f);
  plat::FileClose(f);
  const std::string url = DecodePlayUrl(reinterpret_cast<const u8*>(bytes.data()), size);
  if (url.empty()) {
    DXLLogValueA(0, "play.url", "nothing to open");
    return false;
  }
  const bool opened = plat::OpenWebAddress(url);
  DXLLogValueA(0, "play.url", ((opened ? "opened " : "could not open ") + url).c_str());
  return opened;
}
