#include "engine/DXLFormatWide.h"

#include <cstdio>
#include <string_view>

#include "base/Strings.h"
#include "platform/encoding/Utf.h"

// Numbers go through the C library's 8-bit printf with the same flags,
// width and precision, so they read exactly as in the 8-bit log lines.
std::u16string DXLFormatWideV(size_t limit, const wchar* format, va_list args) {
  std::u16string out;
  if (!format) return out;
  auto append = [&](std::u16string_view part) {
    if (out.size() < limit) out.append(part.substr(0, limit - out.size()));
  };
  auto pad = [&](std::u16string text, int width, bool left) {
    if (width > 0 && text.size() < static_cast<size_t>(width)) {
      const std::u16string spaces(static_cast<size_t>(width) - text.size(), u' ');
      text = left ? text + spaces : spaces + text;
    }
    append(text);
  };
  const wchar* p = format;
  while (*p && out.size() < limit) {
    if (*p != u'%') {
      const wchar* start = p;
      while (*p && *p != u'%') ++p;
      append(std::u16string_view(start, static_cast<size_t>(p - start)));
      continue;
    }
    const wchar* start = p++;
    std::string flags;
    while (*p == u'-' || *p == u'+' || *p == u' ' || *p == u'#' || *p == u'0') flags += static_cast<char>(*p++);
    int width = -1;
    if (*p == u'*') {
      width = va_arg(args, int);
      if (width < 0) {
        flags += '-';
        width = -width;
      }
      ++p;
    } else {
      while (*p >= u'0' && *p <= u'9' && width < 100000) width = (width < 0 ? 0 : width * 10) + (*p++ - u'0');
    }
    int precision = -1;
    if (*p == u'.') {
      ++p;
      precision = 0;
      if (*p == u'*') {
        precision = va_arg(args, int);
        ++p;
      } else {
        while (*p >= u'0' && *p <= u'9' && precision < 100000) precision = precision * 10 + (*p++ - u'0');
      }
    }
    std::string length;
    while (*p == u'h' || *p == u'l' || *p == u'z') length += static_cast<char>(*p++);
    const wchar conversion = *p;
    if (!conversion) {
      append(std::u16string_view(start, static_cast<size_t>(p - start)));
      break;
    }
    ++p;
    const bool left = flags.find('-') != std::string::npos;
    std::string conv(1, '%');
    conv += flags;
    if (width >= 0) conv += std::to_string(width);
    if (precision >= 0) {
      conv += '.';
      conv += std::to_string(precision);
    }
    char number[512];
    number[0] = 0;
    switch (conversion) {
      case u'%': append(u"%"); break;
      case u'd':
      case u'i': {
        conv += length + static_cast<char>(conversion);
        if (length == "ll") std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, long long));
        else if (length == "l") std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, long));
        else if (length == "z") std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, std::ptrdiff_t));
        else std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, int));
        append(plat::Utf8ToUtf16(number));
        break;
      }
      case u'u':
      case u'x':
      case u'X':
      case u'o': {
        conv += length + static_cast<char>(conversion);
        if (length == "ll") std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, unsigned long long));
        else if (length == "l") std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, unsigned long));
        else if (length == "z") std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, size_t));
        else std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, unsigned));
        append(plat::Utf8ToUtf16(number));
        break;
      }
      case u'f':
      case u'F':
      case u'e':
      case u'E':
      case u'g':
      case u'G': {
        conv += static_cast<char>(conversion);
        std::snprintf(number, sizeof(number), conv.c_str(), va_arg(args, double));
        append(plat::Utf8ToUtf16(number));
        break;
      }
      case u'p': {
        std::snprintf(number, sizeof(number), "%p", va_arg(args, void*));
        pad(plat::Utf8ToUtf16(number), width, left);
        break;
      }
      case u'c': pad(std::u16string(1, static_cast<char16_t>(va_arg(args, int))), width, left); break;
      case u'C': pad(plat::Utf8ToUtf16(std::string(1, static_cast<char>(va_arg(args, int)))), width, left); break;
      case u's': {
        const wchar* s = va_arg(args, const wchar*);
        std::u16string text = s ? std::u16string(s, kis::StrLenW(s)) : std::u16string(u"(null)");
        if (precision >= 0 && text.size() > static_cast<size_t>(precision)) text.resize(static_cast<size_t>(precision));
        pad(text, width, left);
        break;
      }
      case u'S': {
        const char* s = va_arg(args, const char*);
        std::string text = s ? std::string(s) : std::string("(null)");
        if (precision >= 0) plat::CutUtf8(text, static_cast<size_t>(precision));
        pad(plat::Utf8ToUtf16(text), width, left);
        break;
      }
      default: append(std::u16string_view(start, static_cast<size_t>(p - start))); break;
    }
  }
  if (out.size() > limit) out.resize(limit);
  return out;
}

std::u16string DXLFormatWide(size_t limit, const wchar* format, ...) {
  va_list args;
  va_start(args, format);
  std::u16string out = DXLFormatWideV(limit, format, args);
  va_end(args);
  return out;
}
