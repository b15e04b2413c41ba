#include "app/ReplayScript.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/os/File.h"

namespace {

struct KeyName {
  const char* name;
  i32 scan;
};
constexpr KeyName kKeyNames[] = {{"escape", 0x01}, {"backspace", 0x0E}, {"tab", 0x0F},   {"enter", 0x1C},
                                 {"space", 0x39},  {"up", 0xC8},        {"left", 0xCB},  {"right", 0xCD},
                                 {"down", 0xD0}};
constexpr const char* kButtons[] = {"left", "right", "middle"};
constexpr const char* kModifiers[] = {"shift", "ctrl", "alt"};

// A whole decimal number (or hexadecimal after "0x") within [low, high];
// one above the i32 range (a state) is kept as its bits.
bool Number(const std::string& word, i64 low, i64 high, i32* out) {
  if (word.empty() || word.size() > 20) return false;
  const bool hex = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
  const char* start = word.c_str() + (hex ? 2 : 0);
  if (*start == '+' || *start == ' ') return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(start, &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0' || end == start || v < low || v > high) return false;
  *out = static_cast<i32>(v);
  return true;
}

// A window's id: four letters, digits or "_", the first the high byte.
bool WindowId(const std::string& word, i32* out) {
  if (word.size() != 4) return false;
  u32 id = 0;
  for (char c : word) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    id = id << 8 | static_cast<u8>(c);
  }
  *out = static_cast<i32>(id);
  return true;
}

// The modifier words from `first` on (shift, ctrl, alt; each once) as
// ReplayStep's bits.
bool Modifiers(const std::vector<std::string>& w, size_t first, i32* out) {
  *out = 0;
  for (size_t i = first; i < w.size(); ++i) {
    i32 bit = 0;
    for (i32 m = 0; m < 3; ++m)
      if (w[i] == kModifiers[m]) bit = 1 << m;
    if (bit == 0 || (*out & bit) != 0) return false;
    *out |= bit;
  }
  return true;
}
std::string ModifierWords(i32 bits) {
  std::string words;
  for (i32 m = 0; m < 3; ++m)
    if (bits & (1 << m)) words += std::string(" ") + kModifiers[m];
  return words;
}

bool Button(const std::string& word, i32* out) {
  for (i32 i = 0; i < 3; ++i)
    if (word == kButtons[i]) return *out = i, true;
  return false;
}

// `"TEXT"` with \" and \\ inside, the rest of the line after it blank.
bool Quoted(const std::string& rest, std::string* out) {
  size_t at = rest.find_first_not_of(" \t");
  if (at == std::string::npos || rest[at] != '"') return false;
  out->clear();
  for (++at; at < rest.size(); ++at) {
    char c = rest[at];
    if (c == '"') return rest.find_first_not_of(" \t\r", at + 1) == std::string::npos;
    if (c == '\\') {
      if (++at == rest.size() || (rest[at] != '"' && rest[at] != '\\')) return false;
      c = rest[at];
    }
    out->push_back(c);
  }
  return false;
}

std::string Trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

}  // namespace

bool ReplayScript::Load(const std::string& path, std::string* error) {
  bool notRegular = false;
  const int fd = plat::OpenRegularFile(path, O_RDONLY, &notRegular);
  if (fd < 0) {
    *error = notRegular ? "not a regular file (a replay is a text file under 1 MB)"
                        : std::string("cannot read: ") + std::strerror(errno);
    return false;
  }
  struct stat st;
  std::string text;
  bool ok = ::fstat(fd, &st) == 0;
  bool tooLarge = ok && static_cast<u64>(st.st_size) >= kMaxBytes;
  // Read to the end, yet never past the limit: the file may grow meanwhile.
  while (ok && !tooLarge) {
    char chunk[4096];
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    text.append(chunk, static_cast<size_t>(n));
    tooLarge = text.size() >= kMaxBytes;
  }
  ::close(fd);
  if (tooLarge || !ok) {
    *error = tooLarge ? "too large for a replay (a replay is a text file under 1 MB)" : "cannot read it";
    return false;
  }
  return Parse(text, error);
}

bool ReplayScript::Parse(std::string_view text, std::string* error) {
  steps_.clear();
  next_ = 0;
  waited_ = 0;
  expectWon_ = false;
  failure_.clear();
  clock_ = 0;
  seed_ = 0;
  screenWidth_ = screenHeight_ = 0;
  hasClock_ = hasSeed_ = false;
  std::istringstream lines{std::string(text)};
  std::string line;
  for (u32 number = 1; std::getline(lines, line); ++number) {
    // A comment starts at a "#" outside the quotes of a text line.
    std::string body = line;
    bool quoted = false;
    for (size_t i = 0; i < body.size(); ++i) {
      if (quoted && body[i] == '\\') ++i;
      else if (body[i] == '"') quoted = !quoted;
      else if (!quoted && body[i] == '#') {
        body.resize(i);
        break;
      }
    }
    std::istringstream words(body);
    std::string verb;
    if (!(words >> verb)) continue;
    ReplayStep step;
    step.line = number;
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    const size_t n = w.size();
    constexpr i32 kXY = kMaxCoordinate - 1;
    bool ok = true;
    if (verb == "clock" || verb == "seed") {
      // Seconds as a whole number (up to the year 2106), or a seed word.
      ok = steps_.empty() && n == 1 && w[0].size() <= 10 && w[0].find_first_not_of("0123456789") == std::string::npos;
      if (ok) {
        const u64 value = std::strtoull(w[0].c_str(), nullptr, 10);
        ok = value <= 0xFFFFFFFFull;
        if (verb == "clock") clock_ = value, hasClock_ = ok;
        else seed_ = static_cast<u32>(value), hasSeed_ = ok;
      }
      if (ok) continue;
    } else if (verb == "screen") {
      i32 width = 0, height = 0;
      ok = steps_.empty() && n == 2 && Number(w[0], 1, kXY, &width) && Number(w[1], 1, kXY, &height);
      if (ok) {
        screenWidth_ = static_cast<u32>(width);
        screenHeight_ = static_cast<u32>(height);
        continue;
      }
    } else if (verb == "wait") {
      ok = n == 1 && Number(w[0], 0, kMaxWaitMs, &step.a);
    } else if (verb == "click" || verb == "rclick" || verb == "move") {
      step.kind = verb == "click" ? ReplayStep::kClick : verb == "rclick" ? ReplayStep::kRightClick : ReplayStep::kMove;
      // A click may be made with modifiers held (the map's Shift-click).
      ok = (n == 2 || step.kind != ReplayStep::kMove) && n >= 2 && Number(w[0], 0, kXY, &step.a) &&
           Number(w[1], 0, kXY, &step.b) && Modifiers(w, 2, &step.c);
    } else if (verb == "press" || verb == "release") {
      step.kind = verb == "press" ? ReplayStep::kPress : ReplayStep::kRelease;
      ok = n == 3 && Number(w[0], 0, kXY, &step.a) && Number(w[1], 0, kXY, &step.b) && Button(w[2], &step.c);
    } else if (verb == "wheel") {
      step.kind = ReplayStep::kWheel;
      ok = n == 3 && Number(w[0], 0, kXY, &step.a) && Number(w[1], 0, kXY, &step.b) &&
           Number(w[2], -32768, 32767, &step.c) && step.c != 0;
    } else if (verb == "key") {
      step.kind = ReplayStep::kKey;
      ok = n >= 1;
      if (ok) {
        step.a = 0;
        for (const KeyName& k : kKeyNames)
          if (w[0] == k.name) step.a = k.scan;
        if (step.a == 0) ok = Number(w[0], 1, 255, &step.a);
      }
      ok = ok && Modifiers(w, 1, &step.b);
    } else if (verb == "text") {
      step.kind = ReplayStep::kText;
      ok = Quoted(body.substr(body.find("text") + 4), &step.text) && !step.text.empty();
    } else if (verb == "await") {
      step.kind = ReplayStep::kAwait;
      ok = n == 2 && Number(w[0], 0, 0xFFFFFFFF, &step.a) && Number(w[1], 1, kMaxWaitMs, &step.b);
    } else if (verb == "expect" && n == 2 && w[0] == "window") {
      step.kind = ReplayStep::kExpectWindow;
      ok = WindowId(w[1], &step.a);
      if (ok) step.text = w[1];
    } else if (verb == "expect") {
      step.kind = n == 1 && w[0] == "won" ? ReplayStep::kExpectWon : ReplayStep::kExpectState;
      ok = step.kind == ReplayStep::kExpectWon || (n == 2 && w[0] == "state" && Number(w[1], 0, 0xFFFFFFFF, &step.a));
    } else if (verb == "screenshot") {
      step.kind = ReplayStep::kScreenshot;
      ok = n == 1 && w[0].size() > 4 && w[0].compare(w[0].size() - 4, 4, ".png") == 0;
      if (ok) step.text = w[0];
      struct stat shot;
      if (n == 1 && (w[0].back() == '/' || (::stat(w[0].c_str(), &shot) == 0 && S_ISDIR(shot.st_mode)))) {
        *error = "line " + std::to_string(number) + ": \"" + Trimmed(line) + "\" names a folder (a screenshot is a .png file)";
        steps_.clear();
        return false;
      }
    } else if (verb == "log") {
      step.kind = ReplayStep::kLog;
      step.text = Trimmed(body.substr(body.find("log") + 3));
      ok = !step.text.empty();
    } else {
      ok = false;
    }
    if (!ok) {
      *error = "line " + std::to_string(number) + ": cannot read \"" + Trimmed(line) + "\"";
      steps_.clear();
      return false;
    }
    steps_.push_back(std::move(step));
  }
  return true;
}

bool ReplayScript::NextFrameMayBeRead() const {
  if (!failure_.empty()) return false;
  size_t i = next_;
  if (i < steps_.size() && steps_[i].kind == ReplayStep::kWait) {
    if (waited_ < static_cast<u32>(steps_[i].a)) return false;  // the next frame still waits
    ++i;
  }
  for (; i < steps_.size(); ++i) {
    if (steps_[i].kind == ReplayStep::kScreenshot) return true;
    if (steps_[i].kind == ReplayStep::kWait && steps_[i].a > 0) return false;
  }
  return false;
}

ReplayScript::Progress ReplayScript::Fail(const ReplayStep& s, const char* why) {
  failure_ = "line " + std::to_string(s.line) + ": " + Format(s) + ": " + why;
  return kStopped;
}

std::string ReplayScript::Format(const ReplayStep& s) {
  const std::string xy = std::to_string(s.a) + " " + std::to_string(s.b);
  switch (s.kind) {
    case ReplayStep::kWait: return "wait " + std::to_string(s.a);
    case ReplayStep::kClick: return "click " + xy + ModifierWords(s.c);
    case ReplayStep::kRightClick: return "rclick " + xy + ModifierWords(s.c);
    case ReplayStep::kMove: return "move " + xy;
    case ReplayStep::kPress:
    case ReplayStep::kRelease:
      return (s.kind == ReplayStep::kPress ? "press " : "release ") + xy + " " + kButtons[s.c >= 0 && s.c < 3 ? s.c : 0];
    case ReplayStep::kWheel: return "wheel " + xy + " " + std::to_string(s.c);
    case ReplayStep::kKey: {
      std::string line = "key " + std::to_string(s.a);
      for (const KeyName& k : kKeyNames)
        if (k.scan == s.a) line = std::string("key ") + k.name;
      return line + ModifierWords(s.b);
    }
    case ReplayStep::kText: {
      std::string line = "text \"";
      for (char c : s.text) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
      }
      return line + "\"";
    }
    case ReplayStep::kAwait: return "await " + std::to_string(static_cast<u32>(s.a)) + " " + std::to_string(s.b);
    case ReplayStep::kScreenshot: return "screenshot " + s.text;
    case ReplayStep::kLog: return "log " + s.text;
    case ReplayStep::kExpectWon: return "expect won";
    case ReplayStep::kExpectState: return "expect state " + std::to_string(static_cast<u32>(s.a));
    case ReplayStep::kExpectWindow: return "expect window " + s.text;
  }
  return {};
}

ReplayRecorder::~ReplayRecorder() {
  if (file_) std::fclose(file_);
}

namespace {

// A held recording's path checked without a byte of it changed: a file
// there must open for writing, else its folder must let one be made.
bool Writable(const std::string& path, std::string* why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return *why = "a folder", false;
    if (!S_ISREG(st.st_mode)) return true;  // a device or a pipe takes what comes
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return *why = std::strerror(errno), false;
    ::close(fd);
    return true;
  }
  if (errno != ENOENT) return *why = std::strerror(errno), false;
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return *why = std::strerror(errno), false;
  return true;
}

}  // namespace

bool ReplayRecorder::Open(const std::string& path, u32 replayStepMs, bool held, std::string* why) {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  path_ = path;
  held_.clear();
  lastFrame_ = 0;
  played_ = 0;
  replayed_ = 0;
  failed_ = false;
  pointer_.reset();
  step_ = replayStepMs < 1 ? 1 : replayStepMs > ReplayScript::kMaxWaitMs ? ReplayScript::kMaxWaitMs : replayStepMs;
  std::string reason;
  open_ = held ? Writable(path, &reason) : (file_ = std::fopen(path.c_str(), "w")) != nullptr;
  if (!open_) {
    if (reason.empty()) reason = std::strerror(errno);
    if (why) *why = reason;
    return false;
  }
  Line("# recorded: a wait before each event, and to the end");
  return true;
}

void ReplayRecorder::Line(const std::string& text) {
  if (!file_) {
    held_ += text + "\n";
    return;
  }
  if (std::fprintf(file_, "%s\n", text.c_str()) < 0 || std::fflush(file_) != 0) failed_ = true;
}

bool ReplayRecorder::Commit() {
  if (!open_ || file_) return open_ && !failed_;
  file_ = std::fopen(path_.c_str(), "w");
  if (!file_) {
    failed_ = true;
    return false;
  }
  if (!held_.empty() && (std::fputs(held_.c_str(), file_) < 0 || std::fflush(file_) != 0)) failed_ = true;
  held_.clear();
  held_.shrink_to_fit();
  return !failed_;
}

void ReplayRecorder::Header(u64 clockSeconds, u32 seed, u32 width, u32 height) {
  if (!open_) return;
  Line("clock " + std::to_string(clockSeconds));
  Line("seed " + std::to_string(seed));
  if (width > 0 && height > 0) Line("screen " + std::to_string(width) + " " + std::to_string(height));
}

void ReplayRecorder::Frame(u32 ms) {
  played_ += ms;
  lastFrame_ = ms;
}

// A wait of w ms lets ceil(w / step) frames pass in a replay: the wait
// written brings the replay to the whole frame nearest to `ms`.
void ReplayRecorder::WaitUntil(u64 ms) {
  if (ms <= replayed_) return;
  const u64 frames = (ms - replayed_ + step_ / 2) / step_;
  if (frames == 0) return;
  // A long pause is written as several waits, each within what a replay reads.
  const u64 longest = ReplayScript::kMaxWaitMs / step_ * step_;
  for (u64 left = frames * step_; left > 0;) {
    const u64 wait = left < longest ? left : longest;
    Line("wait " + std::to_string(wait));
    replayed_ += wait;
    left -= wait;
  }
}

// The engine tells the game where the pointer rests on every frame: a move
// to where the lines already leave the pointer is not written (a pointer at
// rest would add a line a frame, and a long session would outgrow what a
// replay may read).
void ReplayRecorder::Event(const ReplayStep& step) {
  if (!open_) return;
  switch (step.kind) {
    case ReplayStep::kMove:
      if (pointer_ == std::pair{step.a, step.b}) return;
      [[fallthrough]];
    case ReplayStep::kClick:
    case ReplayStep::kRightClick:
    case ReplayStep::kPress:
    case ReplayStep::kRelease:
    case ReplayStep::kWheel: pointer_ = std::pair{step.a, step.b}; break;
    default: break;
  }
  WaitUntil(played_);
  Line(ReplayScript::Format(step));
}

void ReplayRecorder::Click(i32 x, i32 y, bool right) {
  ReplayStep s;
  s.kind = right ? ReplayStep::kRightClick : ReplayStep::kClick;
  s.a = x;
  s.b = y;
  Event(s);
}

bool ReplayRecorder::Finish(bool won, std::optional<u32> end) {
  if (!open_) return false;
  ReplayStep mark;
  mark.kind = ReplayStep::kAwait;
  if (end == ReplayScript::kQuitState) {
    // The game quits in a frame of its own timing: the replay waits to a
    // little before the recorded moment, and its await reaches as far past.
    WaitUntil(played_ > kEndLeewayMs ? played_ - kEndLeewayMs : 0);
    mark.b = static_cast<i32>(played_ + kEndLeewayMs - (replayed_ < played_ ? replayed_ : played_));
  } else {
    WaitUntil(played_ - lastFrame_);
    mark.b = static_cast<i32>(kEndLeewayMs);
  }
  if (won) Line("expect won");
  if (end) {
    mark.a = static_cast<i32>(*end);
    Line(ReplayScript::Format(mark));
  }
  Commit();
  const bool closed = file_ && std::fclose(file_) == 0;
  file_ = nullptr;
  open_ = false;
  return closed && !failed_;
}
