#include "platform/font/FontKernTable.h"

#include <algorithm>

namespace plat {

namespace {

// Font tables are big-endian.
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// Coverage bits of a Windows subtable.
constexpr uint16_t kHorizontal = 0x0001;
constexpr uint16_t kMinimum = 0x0002;
constexpr uint16_t kCrossStream = 0x0004;
constexpr uint16_t kOverride = 0x0008;

constexpr size_t kTableHeader = 4;     // version, table count
constexpr size_t kSubtableHeader = 6;  // version, length, coverage
constexpr size_t kFormat0Header = 8;   // pair count, search range, entry selector, range shift
constexpr size_t kPairSize = 6;

struct Entry {
  uint32_t key;  // left << 16 | right
  int32_t value;
  bool override;
};

}  // namespace

bool FontKernTable::Parse(const uint8_t* data, size_t size) {
  pairs_.clear();
  if (data == nullptr || size < kTableHeader || Be16(data) != 0) {
    return false;
  }
  const uint16_t tableCount = Be16(data + 2);
  std::vector<Entry> entries;
  size_t offset = kTableHeader;
  for (uint32_t t = 0; t < tableCount; ++t) {
    if (size - offset < kSubtableHeader + kFormat0Header) {
      break;
    }
    const uint8_t* sub = data + offset;
    const uint16_t length = Be16(sub + 2);
    const uint16_t coverage = Be16(sub + 4);
    const uint8_t format = static_cast<uint8_t>(coverage >> 8);
    const uint16_t pairCount = Be16(sub + kSubtableHeader);
    const size_t pairStart = offset + kSubtableHeader + kFormat0Header;
    const size_t available = (size - pairStart) / kPairSize;
    const size_t count = std::min<size_t>(pairCount, available);
    const bool wanted = format == 0 && (coverage & kHorizontal) != 0 &&
                        (coverage & (kMinimum | kCrossStream)) == 0;
    if (wanted) {
      for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = data + pairStart + i * kPairSize;
        const int32_t value = static_cast<int16_t>(Be16(p + 4));
        entries.push_back({static_cast<uint32_t>(Be16(p)) << 16 | Be16(p + 2), value,
                           (coverage & kOverride) != 0});
      }
    }
    // The 16-bit length wraps in fonts with many pairs; a format-0 subtable's
    // true size follows from its pair count, so trust that when it is larger.
    size_t next = length;
    if (format == 0) {
      next = std::max(next, kSubtableHeader + kFormat0Header + pairCount * kPairSize);
    }
    if (next < kSubtableHeader || next > size - offset) {
      break;
    }
    offset += next;
  }

  // A stable sort keeps the subtables' order among equal pairs.
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return a.key < b.key; });
  for (const Entry& e : entries) {
    if (!pairs_.empty() &&
        (static_cast<uint32_t>(pairs_.back().left) << 16 | pairs_.back().right) == e.key) {
      pairs_.back().value = e.override ? e.value : pairs_.back().value + e.value;
      continue;
    }
    pairs_.push_back({static_cast<uint16_t>(e.key >> 16), static_cast<uint16_t>(e.key & 0xFFFF), e.value});
  }
  return true;
}

}  // namespace plat
