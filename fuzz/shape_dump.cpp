// The failure dump's readers on arbitrary bytes: "$crash.shpf" images (first
// byte even) and "$crash.log" texts (odd). An image that reads back must give
// a world whose own image reads back to the same world.
#include <cstddef>
#include <cstdint>
#include <string>
#include <memory>
#include <string_view>

#include "base/Stream.h"
#include "pathfinding/FailureDump.h"

namespace {

class MemoryStream : public kis::Stream {
 public:
  bool IsOpen() const override { return true; }
  bool SetSize(u64) override { return false; }
  u64 Seek(i64, u32) override { return bytes.size(); }
  u64 Read(void*, u64) override { return 0; }
  u64 Write(const void* buffer, u64 size) override {
    bytes.append(static_cast<const char*>(buffer), static_cast<size_t>(size));
    return size;
  }
  std::string bytes;
};

std::string Image(const shpf::PathFinder& pf) {
  MemoryStream s;
  if (!pf.DumpShapes(&s)) __builtin_trap();
  return s.bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) {
    shpf::CrashRequest r;
    shpf::ReadCrashLog(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), &r);
    return 0;
  }
  std::unique_ptr<shpf::PathFinder> pf = shpf::ReadShapeDump(data + 1, size - 1);
  if (!pf) return 0;
  const std::string once = Image(*pf);
  std::unique_ptr<shpf::PathFinder> again =
      shpf::ReadShapeDump(reinterpret_cast<const u8*>(once.data()), once.size());
  if (!again || Image(*again) != once) __builtin_trap();
  return 0;
}
