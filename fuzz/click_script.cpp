// Any bytes read as a level player's click script: a refusal names its line,
// a script that reads holds only steps within their bounds, and played on
// frames of any length it runs every click and key once and ends after no
// more frames than its waits allow.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "levelplayer/ClickScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  const u32 frameMs = 1 + data[0] * 1000u;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  player::ClickScript script;
  std::string error;
  if (!script.Parse(text, &error)) {
    if (error.rfind("line ", 0) != 0) __builtin_trap();
    return 0;
  }
  u64 frames = 1;  // the frame that finds the script done
  size_t actions = 0;
  for (const player::ScriptStep& s : script.Steps()) {
    switch (s.kind) {
      case player::ScriptStep::kWait:
        if (s.a < 0 || static_cast<u32>(s.a) > player::ClickScript::kMaxWaitMs) __builtin_trap();
        frames += (static_cast<u64>(s.a) + frameMs - 1) / frameMs;
        break;
      case player::ScriptStep::kClick:
      case player::ScriptStep::kRightClick:
        if (s.a < 0 || s.b < 0 || s.a >= 8192 || s.b >= 8192) __builtin_trap();
        ++actions;
        break;
      case player::ScriptStep::kKey:
        if (s.a != 13 && s.a != 27) __builtin_trap();
        ++actions;
        break;
      case player::ScriptStep::kExpectWon:
        break;
      default:
        __builtin_trap();
    }
  }
  std::vector<player::ScriptStep> run;
  u64 played = 0;
  while (script.Advance(frameMs, [&](const player::ScriptStep& s) { run.push_back(s); }))
    if (++played > frames) __builtin_trap();
  if (run.size() != actions) __builtin_trap();
  for (const player::ScriptStep& s : run)
    if (s.kind == player::ScriptStep::kWait || s.kind == player::ScriptStep::kExpectWon) __builtin_trap();
  return 0;
}
