// XML cell text comes from language files: decoding any text must stay within
// the buffer, count what it fills, and never leave half a surrogate pair.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/text/XmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text;
  for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
  // Mostly ASCII inputs reach the entity code more often.
  for (size_t i = 0; i < size; ++i) text += static_cast<char16_t>(data[i]);
  const u32 length = static_cast<u32>(text.size());
  const u32 needed = kis::DecodeXmlTextW(text.data(), length, nullptr, 0);
  std::vector<char16_t> full(needed + 1);
  if (kis::DecodeXmlTextW(text.data(), length, full.data(), needed + 1) != needed) __builtin_trap();
  for (u32 cap : {1u, 2u, 3u, 7u}) {
    std::vector<char16_t> buf(cap);
    const u32 n = kis::DecodeXmlTextW(text.data(), length, buf.data(), cap);
    if (n >= cap || buf[n] != 0) __builtin_trap();
    if (n > 0 && buf[n - 1] >= 0xD800 && buf[n - 1] <= 0xDBFF && full[n] >= 0xDC00 && full[n] <= 0xDFFF)
      __builtin_trap();
  }
  kis::SkipBlanksW(text.c_str(), text.c_str() + length);
  if (length) kis::SkipBlanksBackW(text.c_str() + length - 1, text.c_str());
  kis::FindCharW(text.c_str(), u'<', nullptr);
  return 0;
}
