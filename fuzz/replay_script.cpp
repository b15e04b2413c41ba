// Any bytes read as a replay: a refusal names its line, a replay that reads
// holds only steps within their bounds, each written back as a line that reads
// as the same step, and a size within the coordinates' bounds (or none) that
// reads back the same; played on frames of any length (its marks passing,
// its awaits never met) it runs every event once and ends after no more
// frames than its waits and awaits allow, or stops at the first await; a
// screenshot mark only ever reads a frame the replay said it may read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/ReplayScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  const u32 frameMs = 1 + data[0] * 1000u;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  ReplayScript script;
  std::string error;
  if (!script.Parse(text, &error)) {
    if (error.rfind("line ", 0) != 0 || !script.Steps().empty()) __builtin_trap();
    return 0;
  }
  const u32 w = script.ScreenWidth(), h = script.ScreenHeight();
  if ((w == 0) != (h == 0) || w >= static_cast<u32>(ReplayScript::kMaxCoordinate) ||
      h >= static_cast<u32>(ReplayScript::kMaxCoordinate))
    __builtin_trap();
  if (w != 0) {
    ReplayScript again;
    if (!again.Parse("screen " + std::to_string(w) + " " + std::to_string(h), &error) ||
        again.ScreenWidth() != w || again.ScreenHeight() != h)
      __builtin_trap();
  }
  u64 frames = 1;  // the frame that finds the replay done
  size_t events = 0;
  bool awaits = false;
  for (const ReplayStep& s : script.Steps()) {
    ReplayScript again;
    if (!again.Parse(ReplayScript::Format(s), &error) || again.Steps().size() != 1 || !(again.Steps()[0] == s))
      __builtin_trap();
    if (s.kind == ReplayStep::kWait) {
      if (s.a < 0 || static_cast<u32>(s.a) > ReplayScript::kMaxWaitMs) __builtin_trap();
      frames += (static_cast<u64>(s.a) + frameMs - 1) / frameMs;
    } else if (s.kind == ReplayStep::kAwait) {
      if (s.b < 1 || static_cast<u32>(s.b) > ReplayScript::kMaxWaitMs) __builtin_trap();
      frames += (static_cast<u64>(s.b) + frameMs - 1) / frameMs + 1;
      awaits = true;
    } else if (!s.IsMark()) {
      if (s.a < 0 || s.b < 0 || s.a >= ReplayScript::kMaxCoordinate || s.b >= ReplayScript::kMaxCoordinate)
        __builtin_trap();
      if (!awaits) ++events;
    }
  }
  std::vector<ReplayStep> run;
  u64 played = 0;
  bool mayRead = true;  // before the first frame nothing is skipped
  ReplayScript::Progress p;
  while ((p = script.Advance(frameMs, [&](const ReplayStep& s) {
            if (!s.IsMark()) run.push_back(s);
            if (s.kind == ReplayStep::kScreenshot && !mayRead) __builtin_trap();
            return s.kind == ReplayStep::kAwait ? ReplayScript::kNotYet : ReplayScript::kPassed;
          })) == ReplayScript::kMore) {
    if (++played > frames) __builtin_trap();
    mayRead = script.NextFrameMayBeRead();
  }
  if ((p == ReplayScript::kStopped) != awaits) __builtin_trap();
  if (awaits && script.Failure().rfind("line ", 0) != 0) __builtin_trap();
  if (run.size() != events) __builtin_trap();
  return 0;
}
